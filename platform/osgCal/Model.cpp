#include "platform/osgCal/Model.h"

#include "platform/osgCal/SubmeshDrawable.h"

#include <cal3d/cal3d.h>
#include <osg/FrameStamp>
#include <osg/NodeCallback>
#include <osg/NodeVisitor>

#include <algorithm>

namespace osgCal {

namespace {

// Longest step the animation takes in one frame: a stalled frame (a
// debugger, a swapped-out process) does not fling the dance forward, while
// slow software rendering still keeps the dance on the music's beat.
const double kMaxStep = 1.0;

// Drives the node's animation from the viewer's frame stamp.
class AnimationCallback : public osg::NodeCallback
{
public:
    void operator()(osg::Node* node, osg::NodeVisitor* nv) override
    {
        const osg::FrameStamp* stamp = nv->getFrameStamp();
        if (stamp && stamp->getFrameNumber() != m_lastFrame) {
            auto* model = static_cast<Model*>(node);
            const double now = stamp->getSimulationTime();
            // A gap in the frame numbers means the node was out of the scene.
            if (!m_started || stamp->getFrameNumber() != m_lastFrame + 1) {
                model->restartAnimation();
                model->advance(0.0);
            } else {
                model->advance(std::min(kMaxStep, std::max(0.0, now - m_lastTime)));
            }
            m_started = true;
            m_lastFrame = stamp->getFrameNumber();
            m_lastTime = now;
        }
        traverse(node, nv);
    }

private:
    bool m_started = false;
    unsigned m_lastFrame = 0;
    double m_lastTime = 0.0;
};

} // namespace

Model::Model()
{
    setUpdateCallback(new AnimationCallback);
}

Model::~Model() = default;

bool Model::setCoreModel(CoreModel* coreModel)
{
    if (!coreModel || !coreModel->getCalCoreModel()->getCoreSkeleton()) {
        CalError::setLastError(CalError::INVALID_HANDLE, __FILE__, __LINE__, "core model without skeleton");
        return false;
    }
    m_calModel.reset();
    m_coreModel = coreModel;
    m_calModel.reset(new CalModel(coreModel->getCalCoreModel()));
    return true;
}

CalCoreModel* Model::getCalCoreModel() const
{
    return m_coreModel ? m_coreModel->getCalCoreModel() : nullptr;
}

bool Model::create()
{
    if (!m_calModel) {
        CalError::setLastError(CalError::INVALID_HANDLE, __FILE__, __LINE__, "no model to create from");
        return false;
    }
    CalRenderer* renderer = m_calModel->getRenderer();
    if (!renderer->beginRendering())
        return false;
    removeDrawables(0, getNumDrawables());
    m_submeshes.clear();
    TextureCache textures;
    std::vector<CalMesh*>& meshes = m_calModel->getVectorMesh();
    for (int m = 0; m < static_cast<int>(meshes.size()); ++m)
        for (int s = 0; s < meshes[static_cast<size_t>(m)]->getSubmeshCount(); ++s) {
            if (!renderer->selectMeshSubmesh(m, s))
                continue;
            const int materialId = meshes[static_cast<size_t>(m)]->getSubmesh(s)->getCoreMaterialId();
            CalCoreMaterial* material = getCalCoreModel()->getCoreMaterial(materialId);
            osg::ref_ptr<osg::Geometry> geometry = buildSubmeshGeometry(*renderer, material, textures);
            addDrawable(geometry.get());
            m_submeshes.push_back({m, s, geometry,
                                   static_cast<osg::Vec3Array*>(geometry->getVertexArray()),
                                   static_cast<osg::Vec3Array*>(geometry->getNormalArray())});
        }
    renderer->endRendering();
    // The bind pose until the first frame moves it.
    skin();
    return true;
}

void Model::restartAnimation()
{
    if (m_calModel)
        m_calModel->getMixer()->setAnimationTime(0.0f);
}

void Model::advance(double seconds)
{
    if (!m_calModel || m_submeshes.empty())
        return;
    m_calModel->update(static_cast<float>(seconds));
    skin();
}

void Model::applyNormalization()
{
    if (m_appliedNormalization == static_cast<int>(normalizeNormals))
        return;
    m_calModel->getRenderer()->setNormalization(normalizeNormals);
    getOrCreateStateSet()->setMode(GL_NORMALIZE, normalizeNormals ? osg::StateAttribute::OFF
                                                                  : osg::StateAttribute::ON);
    m_appliedNormalization = static_cast<int>(normalizeNormals);
}

void Model::skin()
{
    applyNormalization();
    CalRenderer* renderer = m_calModel->getRenderer();
    if (!renderer->beginRendering())
        return;
    for (SkinnedSubmesh& part : m_submeshes) {
        if (part.vertices->empty() || !renderer->selectMeshSubmesh(part.mesh, part.submesh))
            continue;
        renderer->getVertices(&(*part.vertices)[0].x());
        renderer->getNormals(&(*part.normals)[0].x());
        part.vertices->dirty();
        part.normals->dirty();
        part.geometry->dirtyBound();
    }
    renderer->endRendering();
}

} // namespace osgCal
