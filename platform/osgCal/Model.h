#pragma once

#include "platform/osgCal/CoreModel.h"

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/ref_ptr>

#include <memory>
#include <vector>

class CalCoreModel;
class CalModel;

namespace osgCal {

// A scene-graph node that owns one Cal3D model. setCoreModel makes the model
// from a core model; the caller then attaches meshes and chooses a material
// set on getCalModel(), and create() builds one drawable per attached
// submesh, coloured and textured from its material.
//
// From then on the node plays its animation by itself: each update traversal
// advances the mixer by the time since the previous frame (from the frame
// stamp) and skins the drawables' vertices and normals on the CPU through
// Cal3D's renderer. When the node comes back into the scene after frames
// without it, its animation starts again from the beginning, so a dance timed
// to the music starts on the same beat every time it is shown.
class Model : public osg::Geode
{
public:
    Model();

    // False, with Cal3D's last error set, when the core model is missing or
    // has no skeleton: a model cannot be made without one.
    bool setCoreModel(CoreModel* coreModel);
    CalCoreModel* getCalCoreModel() const;
    CalModel* getCalModel() const { return m_calModel.get(); }

    // False, with Cal3D's last error set, before setCoreModel or when no
    // mesh is attached. A material's texture image that cannot be read is
    // reported once and left out; a submesh without material draws grey.
    bool create();

    // Advances the animation by the given seconds and skins the drawables.
    void advance(double seconds);
    void restartAnimation();

    // Option, read every frame. On (Cal3D's own default), the renderer
    // renormalises the skinned normals on the CPU. Off saves that work for
    // drawing that normalises by itself (a shader): the node then only asks
    // OpenGL to normalise (GL_NORMALIZE) for fixed-function lighting.
    bool normalizeNormals = true;

protected:
    ~Model() override;

private:
    struct SkinnedSubmesh {
        int mesh;
        int submesh;
        osg::ref_ptr<osg::Geometry> geometry;
        osg::ref_ptr<osg::Vec3Array> vertices;
        osg::ref_ptr<osg::Vec3Array> normals;
    };

    void skin();
    void applyNormalization();

    osg::ref_ptr<CoreModel> m_coreModel;
    std::unique_ptr<CalModel> m_calModel;
    std::vector<SkinnedSubmesh> m_submeshes;
    int m_appliedNormalization = -1;
};

} // namespace osgCal
