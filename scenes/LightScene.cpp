#include "scenes/LightScene.h"

#include "app/Globals.h"
#include "app/ShowTimes.h"
#include "app/SpeedUps.h"
#include "app/Timeline.h"
#include "camera/PathCamera.h"
#include "effects/HUD.h"
#include "effects/OverlayLayer.h"
#include "scenes/BackFacePoints.h"
#include "scenes/ColourCartoon.h"
#include "scenes/LightTransformCallback.h"
#include "scenes/ModelFile.h"
#include "scenes/OutlineEdges.h"
#include "scenes/Physics.h"
#include "scenes/RenderToTextureCallback.h"

#include <osg/BlendFunc>
#include <osg/CullFace>
#include <osg/LightSource>
#include <osg/Material>
#include <osg/Point>
#include <osg/PolygonMode>
#include <osg/Projection>
#include <osg/ShapeDrawable>
#include <osg/Switch>
#include <osg/TexGen>
#include <osg/Texture2D>
#include <osgUtil/TransformCallback>

namespace {

namespace Segment = ShowTimes::LightScene;

const char* const kTorusModel = "demodata/torus.3ds";
const float kTurnSpeed = 0.34906584f; // 20 degrees per second

const osg::Vec3 kBoxStarts[] = {
    {0, 5, 0},  {2, 5, 0},  {-2, 5, 0},  {0, 5, 2},  {0, 5, -2},
    {0, 8, 0},  {2, 8, 0},  {-2, 8, 0},  {0, 8, 2},  {0, 8, -2},
    {0, 10, 0}, {2, 10, 0}, {-2, 10, 0}, {0, 10, 3}, {0, 10, -3},
};

// Filled in front, dotted behind: back faces drawn as points.
void drawBackFacesAsPoints(osg::StateSet& ss)
{
    const auto onOverride = osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE;
    ss.setAttributeAndModes(new osg::PolygonMode(osg::PolygonMode::BACK, osg::PolygonMode::POINT), onOverride);
}

// The same dots from each corner of the back faces once, the front faces
// filled with the back faces culled.
void speedUpTorus(SpeedUpList& speedUps, osg::Group& torus)
{
    osg::Node* model = torus.getNumChildren() ? torus.getChild(0) : nullptr;
    speedUps.apply("torus: back-face corners as points",
                   [&] { return holdsIf(model && drawsFromModelVertices(*model), "a drawable has no model vertices"); },
                   [&] {
                       addBackFacePoints(*model);
                       osg::StateSet* ss = torus.getStateSet();
                       ss->removeAttribute(osg::StateAttribute::POLYGONMODE);
                       ss->setAttributeAndModes(new osg::CullFace(osg::CullFace::BACK),
                                                osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE);
                   });
}

osg::ref_ptr<osg::Group> makeTorusGroup(SpeedUpList& speedUps)
{
    osg::ref_ptr<osg::Group> torus = new osg::Group;
    osg::StateSet* ss = torus->getOrCreateStateSet();
    const auto onOverride = osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE;
    drawBackFacesAsPoints(*ss);
    if (osg::ref_ptr<osg::Node> model = readSceneModel(kTorusModel))
        torus->addChild(model.get());
    speedUpTorus(speedUps, *torus);
    ss->setAttribute(new osg::Point(g_picture.scaled(2.0f)));
    // The layer's depth range is one unit deep, far thinner than the torus:
    // without clamping only a slice of it would survive clipping. Additive
    // light needs no depth order, and the scene's depths must not hide it.
    ss->setMode(GL_DEPTH_CLAMP, onOverride);
    ss->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF | osg::StateAttribute::OVERRIDE);
    return torus;
}

osg::ref_ptr<osg::Projection> makeTorusOverlay(SpeedUpList& speedUps)
{
    osg::ref_ptr<osg::Group> torus = makeTorusGroup(speedUps);
    osg::ref_ptr<osg::MatrixTransform> turning = new osg::MatrixTransform;
    turning->setReferenceFrame(osg::Transform::ABSOLUTE_RF);
    turning->addChild(torus.get());
    turning->setUpdateCallback(new osgUtil::TransformCallback(torus->getBound().center(),
                                                              osg::Vec3(0.0f, 0.5f, 1.0f), kTurnSpeed));

    osg::ref_ptr<osg::Projection> layer = new osg::Projection(osg::Matrix::ortho2D(-100.0, 0.0, -100.0, 100.0));
    layer->addChild(turning.get());
    setBlending(layer.get(), GL_ONE, GL_ONE);
    osg::StateSet* ss = layer->getOrCreateStateSet();
    ss->setMode(GL_LIGHTING, osg::StateAttribute::OFF | osg::StateAttribute::OVERRIDE);
    ss->setRenderBinDetails(100, "RenderBin", osg::StateSet::USE_RENDERBIN_DETAILS);
    return layer;
}

} // namespace

void setUpSourceScroller(Demo::Text::CHUD& hud, const std::string& path)
{
    hud.loadText(path);
    hud.setPosition(50, 598);
    hud.setSpeed(15.0);
    hud.setMaxLines(40);
    hud.setCharacterSize(15);
    hud.setAlpha(0.3);
    setBlending(hud.getNode().get(), GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

namespace {

// The program's own source scrolling up the screen. The timeline drives it
// like any effect, through a switch of its own inside the segment, so each
// visit to the segment starts the scroll from an empty screen.
osg::ref_ptr<osg::Switch> makeSourceScroller(SpeedUpList& speedUps)
{
    auto* hud = new Demo::Text::CHUD;
    setUpSourceScroller(*hud, "main.cpp");
    speedUps.apply("source text baked", [&] { return holdsIf(hud->canBake(), "it is not white text blended by its alpha"); },
                   [&] { hud->bakeText(); });
    osg::ref_ptr<osg::Switch> holder = new osg::Switch;
    g_timeline->addEffect(ShowTimes::SourceScroller::kStart, ShowTimes::SourceScroller::kEnd, holder.get(), hud);
    return holder;
}

osg::ref_ptr<osg::Texture2D> makeDepthTexture()
{
    osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D;
    // 1024 at 800 x 600; at other sizes in proportion, so a shadow's edge
    // is as sharp in the picture's pixels.
    const int size = powerOfTwoAtLeast(g_picture.scaledEdge(1024));
    texture->setTextureSize(size, size);
    texture->setInternalFormat(GL_DEPTH_COMPONENT);
    texture->setShadowComparison(true);
    texture->setShadowTextureMode(osg::Texture::LUMINANCE);
    // Rendered into, never mipmapped: a mipmapping filter would leave the
    // texture incomplete.
    texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR);
    texture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);
    // Floor outside the light's view compares against the farthest depth:
    // lit, rather than smeared with the map's edge.
    texture->setWrap(osg::Texture::WRAP_S, osg::Texture::CLAMP_TO_BORDER);
    texture->setWrap(osg::Texture::WRAP_T, osg::Texture::CLAMP_TO_BORDER);
    texture->setBorderColor(osg::Vec4d(1.0, 1.0, 1.0, 1.0));
    return texture;
}

osg::ref_ptr<osg::Material> makeFloorAndBoxMaterial()
{
    osg::ref_ptr<osg::Material> material = new osg::Material;
    material->setColorMode(osg::Material::DIFFUSE);
    material->setAmbient(osg::Material::FRONT_AND_BACK, osg::Vec4(0.0f, 0.0f, 0.0f, 1.0f));
    material->setSpecular(osg::Material::FRONT_AND_BACK, osg::Vec4(1.0f, 1.0f, 1.0f, 1.0f));
    material->setShininess(osg::Material::FRONT_AND_BACK, 1.0f);
    return material;
}

osg::ref_ptr<osg::Geode> makeLightMarker()
{
    osg::ref_ptr<osg::TessellationHints> hints = new osg::TessellationHints;
    hints->setDetailRatio(0.3f);
    const osg::Vec4 colour(1.0f, 0.5f, 0.5f, 1.0f);
    osg::ref_ptr<osg::ShapeDrawable> bulb = new osg::ShapeDrawable(new osg::Sphere(osg::Vec3(), 0.15f), hints.get());
    bulb->setColor(colour);
    osg::ref_ptr<osg::ShapeDrawable> beam = new osg::ShapeDrawable(
        new osg::Cylinder(osg::Vec3(0.0f, 0.0f, -0.4f), 0.05f, 0.8f), hints.get());
    beam->setColor(colour);
    osg::ref_ptr<osg::Geode> marker = new osg::Geode;
    marker->addDrawable(bulb.get());
    marker->addDrawable(beam.get());
    marker->getOrCreateStateSet()->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    return marker;
}

void registerBoxRain()
{
    g_timeline->addPhysics(Segment::kBoxRainStart, Segment::kEnd, Timeline::StepPhysics);
    for (double restart : Segment::kRestarts)
        g_timeline->addPhysics(restart, restart + Segment::kRestartSeconds, Timeline::RestartBoxRain);
}

} // namespace

void addFloorTile(osg::TessellationHints* hints, osg::Geode* geode, float x, float z)
{
    hints->setDetailRatio(2.0f);
    osg::ref_ptr<osg::ShapeDrawable> tile =
        new osg::ShapeDrawable(new osg::Box(osg::Vec3(x, 0.0f, z), 10.0f, 0.1f, 10.0f), hints);
    tile->setColor(osg::Vec4(0.5f, 0.5f, 0.7f, 1.0f));
    geode->addDrawable(tile.get());
}

void addFloorTiles(osg::TessellationHints* hints, osg::Geode* geode)
{
    for (int x = -50; x <= 50; x += 10)
        for (int z = -50; z <= 50; z += 10)
            addFloorTile(hints, geode, static_cast<float>(x), static_cast<float>(z));
}

osg::ref_ptr<osg::Group> buildFallingBoxes(SpeedUpList& speedUps)
{
    osg::ref_ptr<osg::Group> boxes = new osg::Group;
    for (const osg::Vec3& start : kBoxStarts) {
        osg::ref_ptr<ColourCartoon> cartoon = new ColourCartoon;
        cartoon->addChild(addPhysicsBox(start));
        speedUpOutline(speedUps, "box", *cartoon);
        boxes->addChild(cartoon.get());
    }
    return boxes;
}

osg::ref_ptr<osg::Group> buildFloorAndBoxes(SpeedUpList& speedUps, osg::Group* boxes)
{
    osg::ref_ptr<osg::Group> group = new osg::Group;
    osg::ref_ptr<osg::Geode> floor = new osg::Geode;
    group->addChild(floor.get());
    osg::ref_ptr<osg::TessellationHints> hints = new osg::TessellationHints;
    hints->setDetailRatio(2.0f);
    addFloorTiles(hints.get(), floor.get());
    group->addChild(boxes);
    group->getOrCreateStateSet()->setAttributeAndModes(makeFloorAndBoxMaterial().get(), osg::StateAttribute::ON);
    // The tiles and the boxes are closed: the light's depth pass still
    // draws the boxes' back faces, which its own state asks for.
    speedUpClosedSurfaces(speedUps, "floor and boxes", *group);
    return group;
}

osg::ref_ptr<osg::MatrixTransform> createLight(osg::StateSet* stateSet)
{
    osg::ref_ptr<osg::MatrixTransform> transform = new osg::MatrixTransform;
    osg::ref_ptr<osg::Light> light = new osg::Light;
    light->setLightNum(0);
    light->setPosition(osg::Vec4(0.0f, 0.0f, 0.0f, 1.0f));
    light->setAmbient(osg::Vec4(0.0f, 0.0f, 0.0f, 1.0f));

    osg::ref_ptr<osg::LightSource> source = new osg::LightSource;
    source->setLight(light.get());
    source->setLocalStateSetModes(osg::StateAttribute::ON);
    osg::ref_ptr<LightTransformCallback> circling = new LightTransformCallback(1.5707964f, 15.0f, 10.0f);
    // Placed before its first update, which moves it on from there: drawn
    // unseen before the scene opens, the depth pass otherwise looked from
    // the origin at the origin, saw nothing and built none of its code.
    transform->setMatrix(circling->currentPlacement());
    transform->setUpdateCallback(circling.get());
    transform->addChild(source.get());
    transform->addChild(makeLightMarker().get());
    source->setStateSetModes(*stateSet, osg::StateAttribute::ON);
    return transform;
}

void buildShadowScene(SpeedUpList& speedUps, osg::ref_ptr<osg::Group> root)
{
    osg::ref_ptr<osg::Group> boxes = buildFallingBoxes(speedUps);
    osg::ref_ptr<osg::Group> scene = buildFloorAndBoxes(speedUps, boxes.get());
    root->addChild(scene.get());
    osg::ref_ptr<osg::MatrixTransform> light = createLight(root->getOrCreateStateSet());
    root->addChild(light.get());

    osg::ref_ptr<osg::Texture2D> depthMap = makeDepthTexture();
    osg::ref_ptr<osg::TexGen> texGen = new osg::TexGen;
    texGen->setMode(osg::TexGen::EYE_LINEAR);
    osg::StateSet* ss = scene->getOrCreateStateSet();
    ss->setTextureAttributeAndModes(0, depthMap.get(), osg::StateAttribute::ON);
    ss->setTextureAttributeAndModes(0, texGen.get(), osg::StateAttribute::ON);
    // Only the boxes go into the depth map. The floor lies below them and
    // would only shade itself, which the map cannot do well: the tiles are
    // thinner than a texel's depth step far from the light, and there their
    // own depths left stray dark pixels. The floor filled the whole map, a
    // million pixels, for nothing else.
    root->setCullCallback(new RenderToTextureCallback(boxes.get(), depthMap.get(), light.get(), texGen.get()));
}

ContentList lightSceneContent()
{
    return {{kTorusModel, true}};
}

void buildLightScene()
{
    SpeedUpList speedUps("the light scene");
    osg::ref_ptr<osg::Group> segment = new osg::Group;
    segment->setName("light scene, " + std::string(kTorusModel));
    segment->addChild(makeTorusOverlay(speedUps).get());

    osg::ref_ptr<osg::Group> shadowRoot = new osg::Group;
    buildShadowScene(speedUps, shadowRoot);
    segment->addChild(shadowRoot.get());

    g_timeline->addCamera(Segment::kStart, Segment::kCameraEnd, new PathCamera("depth.pos"));
    segment->addChild(makeSourceScroller(speedUps).get());

    g_sceneParts.push_back(segment);
    g_timeline->addNode(Segment::kStart, Segment::kEnd, g_sceneSwitch.get(), segment.get());
    registerBoxRain();
}
