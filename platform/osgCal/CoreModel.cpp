#include "platform/osgCal/CoreModel.h"

#include <cal3d/cal3d.h>

namespace osgCal {

CoreModel::CoreModel() : m_calCoreModel(new CalCoreModel("character")) {}

CoreModel::~CoreModel() = default;

} // namespace osgCal
