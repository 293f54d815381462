#include "platform/osgCal/CoreModel.h"
#include "platform/osgCal/CoreTracks.h"

#include <cal3d/cal3d.h>

namespace osgCal {

CoreModel::CoreModel() : m_calCoreModel(new CalCoreModel("character")) {}

CoreModel::~CoreModel()
{
    for (int id = 0; id < m_calCoreModel->getCoreAnimationCount(); ++id)
        if (CalCoreAnimation* animation = m_calCoreModel->getCoreAnimation(id))
            releaseCoreTracks(*animation);
}

} // namespace osgCal
