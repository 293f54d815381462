#include "scenes/Character.h"

#include "app/GLWarmUp.h"
#include "app/Globals.h"
#include "app/ShowTimes.h"
#include "app/SpeedUps.h"
#include "app/Timeline.h"
#include "audio/FeedbackTexture.h"
#include "audio/ScopeScene.h"
#include "camera/PathCamera.h"
#include "effects/Flash.h"
#include "effects/OverlaySpeedUps.h"
#include "platform/osgCal/CoreModel.h"
#include "platform/osgCal/Model.h"
#include "scenes/CharacterConfig.h"
#include "scenes/ColourCartoon.h"
#include "scenes/ModelFile.h"

#include <cal3d/cal3d.h>
#include <osg/Material>
#include <osg/MatrixTransform>
#include <osgUtil/TransformCallback>

#include <iostream>

namespace {

// The scope's echo drawn once before its window, then black again.
class EchoRehearsal : public WarmUpRehearsal
{
public:
    bool begin() override { return g_feedbackTexture && g_feedbackTexture->beginRehearsal(); }
    void end() override { g_feedbackTexture->endRehearsal(); }
};

const char* const kTurningModel = "ddata/snorkrka1.osg";
const char* const kTurningBackground = "ddata/nybak1.png";
// The animation the character plays: the fifth of the configuration file.
const int kDanceAnimation = 4;
// Turning speed of the model: 20 degrees per second.
const float kTurnSpeed = 0.34906584f;

std::string lastCalError()
{
    return CalError::getErrorDescription(CalError::getLastErrorCode());
}

void attachAllMeshes(osgCal::Model& model)
{
    CalCoreModel* core = model.getCalCoreModel();
    for (int i = 0; i < core->getCoreMeshCount(); ++i)
        model.getCalModel()->attachMesh(i);
}

void lightModel(osg::StateSet& state)
{
    const auto forced = osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE;
    state.setMode(GL_LIGHTING, forced);
    state.setMode(GL_LIGHT0, forced);
    state.setMode(GL_LIGHT1, osg::StateAttribute::ON);
    state.setMode(GL_LIGHT2, osg::StateAttribute::ON);
    state.setMode(GL_LIGHT3, osg::StateAttribute::ON);
}

// The submeshes' colours drive the diffuse term; a shiny white highlight.
osg::ref_ptr<osg::Material> characterMaterial()
{
    osg::ref_ptr<osg::Material> material = new osg::Material;
    material->setColorMode(osg::Material::DIFFUSE);
    material->setAmbient(osg::Material::FRONT_AND_BACK, osg::Vec4(0, 0, 0, 1));
    material->setSpecular(osg::Material::FRONT_AND_BACK, osg::Vec4(1, 1, 1, 1));
    material->setShininess(osg::Material::FRONT_AND_BACK, 64.0f);
    return material;
}

osg::ref_ptr<osg::Node> turningModel(SpeedUpList& speedUps)
{
    osg::ref_ptr<osg::Node> model = readSceneModel(kTurningModel);
    osg::ref_ptr<ColourCartoon> cartoon = new ColourCartoon;
    if (model) {
        speedUpClosedSurfaces(speedUps, "turning model", *model);
        cartoon->addChild(model.get());
        speedUpOutline(speedUps, "turning model", *cartoon);
    }
    osg::ref_ptr<osg::MatrixTransform> transform = new osg::MatrixTransform;
    transform->setName(kTurningModel);
    transform->addChild(cartoon.get());
    transform->setUpdateCallback(new osgUtil::TransformCallback(cartoon->getBound().center(),
                                                                osg::Vec3(0.0f, 1.0f, 0.2f), kTurnSpeed));
    return transform;
}

void registerNode(double start, double end, osg::Node* node)
{
    g_sceneParts.push_back(node);
    g_timeline->addNode(start, end, g_sceneSwitch.get(), node);
}

} // namespace

osg::ref_ptr<osg::Group> createCharacter()
{
    osg::ref_ptr<osg::Group> group = new osg::Group;
    osg::ref_ptr<osgCal::CoreModel> core = new osgCal::CoreModel;
    if (!LoadCFG("skeleton", "skeleton/skeleton.cfg", core.get())) {
        std::cout << "Cannot load correctly model config file." << std::endl;
        return nullptr;
    }
    osg::ref_ptr<osgCal::Model> model = new osgCal::Model;
    if (!model->setCoreModel(core.get())) {
        std::cerr << "setCoreModel: " << lastCalError() << std::endl;
        return nullptr;
    }
    attachAllMeshes(*model);
    model->setCullingActive(false);
    model->getCalModel()->setMaterialSet(0);
    if (!model->create()) {
        std::cerr << "create: " << lastCalError() << std::endl;
        return nullptr;
    }
    // The cartoon shader normalises per vertex; spare the CPU the work.
    model->normalizeNormals = false;
    model->getCalModel()->getMixer()->blendCycle(kDanceAnimation, 1.0f, 0.0f);
    osg::StateSet* state = model->getOrCreateStateSet();
    lightModel(*state);
    osg::ref_ptr<ColourCartoon> cartoon = new ColourCartoon;
    cartoon->addChild(model.get());
    group->addChild(cartoon.get());
    state->setAttributeAndModes(characterMaterial().get(), osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE);
    return group;
}

ContentList characterSceneContent()
{
    return {{kTurningModel, true}, {kTurningBackground, false}};
}

void buildCharacterScene()
{
    namespace Turning = ShowTimes::TurningModel;
    namespace Dance = ShowTimes::Dance;
    namespace Echo = ShowTimes::ScopeEcho;
    SpeedUpList speedUps("the middle section");

    registerNode(Turning::kStart, Turning::kEnd, turningModel(speedUps).get());
    auto* background = new Demo::Image::CBackgroundStripe(kTurningBackground);
    // Still, and larger than the screen: filtered once.
    OverlaySpeedUps backgroundSpeedUps;
    backgroundSpeedUps.bake = true;
    speedUpOverlay(speedUps, "background", *background, *background, backgroundSpeedUps);
    g_timeline->addEffect(Turning::kStart, Turning::kEnd, g_sceneSwitch.get(), background);
    g_timeline->addCamera(Turning::kCameraStart, Turning::kEnd, new PathCamera("scripts/object1.pos"));

    // Without a character its window stays empty; its camera still flies.
    if (osg::ref_ptr<osg::Group> character = createCharacter()) {
        character->setName("skeleton/skeleton.cfg");
        if (auto* cartoon = dynamic_cast<ColourCartoon*>(character->getChild(0)))
            speedUpOutline(speedUps, "dancer", *cartoon);
        registerNode(Dance::kStart, Dance::kEnd, character.get());
    }
    g_timeline->addCamera(Dance::kStart, Dance::kEnd, new PathCamera("scripts/sk.pos"));

    osg::ref_ptr<osg::Group> scope = buildScopeScene();
    scope->setCullingActive(false);
    scope->setName("feedback scope");
    // Each draw echoes the last: drawn before its window, it would start
    // from another picture unless put back.
    scope->setUserData(new EchoRehearsal);
    speedUpScopeEcho(speedUps);
    registerNode(Echo::kStart, Echo::kEnd, scope.get());
}
