#pragma once

#include <osg/Referenced>

#include <memory>

class CalCoreModel;

namespace osgCal {

// The shared, read-only half of a character: one Cal3D core model holding
// the skeleton, animations, meshes and materials that models are made from.
class CoreModel : public osg::Referenced
{
public:
    CoreModel();

    CalCoreModel* getCalCoreModel() const { return m_calCoreModel.get(); }

protected:
    ~CoreModel() override;

private:
    std::unique_ptr<CalCoreModel> m_calCoreModel;
};

} // namespace osgCal
