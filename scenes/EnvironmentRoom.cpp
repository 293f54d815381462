#include "scenes/EnvironmentRoom.h"

#include "app/Globals.h"
#include "app/ShowTimes.h"
#include "app/SpeedUps.h"
#include "app/Timeline.h"
#include "effects/Flash.h"
#include "effects/OverlaySpeedUps.h"
#include "scenes/HighlightSplit.h"
#include "scenes/ModelFile.h"

#include <osg/TexEnvCombine>
#include <osg/TexGen>
#include <osg/TextureCubeMap>
#include <osgUtil/HighlightMapGenerator>

namespace {

namespace Room = ShowTimes::Room;

const char* const kRoomModel = "ddata/blobroom.3ds";
const char* const kBandsImage = "demodata/tunnel2.jpg";
const char* const kOverlayImage = "ddata/kantig-overlay-igen.png";

const osg::StateAttribute::GLModeValue kOnOverride = osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE;

osg::ref_ptr<osg::TextureCubeMap> makeHighlightCubeMap()
{
    osg::ref_ptr<osg::TextureCubeMap> cubeMap = new osg::TextureCubeMap;
    cubeMap->setWrap(osg::Texture::WRAP_S, osg::Texture::CLAMP);
    cubeMap->setWrap(osg::Texture::WRAP_T, osg::Texture::CLAMP);
    cubeMap->setWrap(osg::Texture::WRAP_R, osg::Texture::CLAMP);
    cubeMap->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR_MIPMAP_LINEAR);
    cubeMap->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);

    osg::ref_ptr<osgUtil::HighlightMapGenerator> generator = new osgUtil::HighlightMapGenerator(
        osg::Vec3(-1.0f, -2.0f, 0.0f), osg::Vec4(1.0f, 0.9f, 0.8f, 1.0f), 8.0f, 64);
    generator->generateMap(true);
    for (int face = 0; face < 6; ++face) {
        const auto cubeFace = static_cast<osg::TextureCubeMap::Face>(face);
        cubeMap->setImage(cubeFace, generator->getImage(cubeFace));
    }
    return cubeMap;
}

// Texture plus the lit fragment colour: the highlight brightens, never
// darkens, whatever the surface's own colour.
osg::ref_ptr<osg::TexEnvCombine> makeAddCombiner()
{
    osg::ref_ptr<osg::TexEnvCombine> combiner = new osg::TexEnvCombine;
    combiner->setCombine_RGB(osg::TexEnvCombine::ADD);
    combiner->setSource0_RGB(osg::TexEnvCombine::TEXTURE);
    combiner->setOperand0_RGB(osg::TexEnvCombine::SRC_COLOR);
    combiner->setSource1_RGB(osg::TexEnvCombine::PRIMARY_COLOR);
    combiner->setOperand1_RGB(osg::TexEnvCombine::SRC_COLOR);
    return combiner;
}

osg::TextureCubeMap* highlightMapOf(osg::Node& room)
{
    osg::StateSet* state = room.getStateSet();
    return state ? dynamic_cast<osg::TextureCubeMap*>(state->getTextureAttribute(0, osg::StateAttribute::TEXTURE))
                 : nullptr;
}

// The drawable with the largest bound: the shell around the air the camera
// flies through, with the bodies inside it. Null when the room is not one
// geode of several drawables.
osg::Drawable* shellOf(osg::Node& room)
{
    osg::Geode* geode = room.asGeode();
    if (!geode || geode->getNumDrawables() < 2)
        return nullptr;
    osg::Drawable* shell = geode->getDrawable(0);
    for (unsigned i = 1; i < geode->getNumDrawables(); ++i)
        if (geode->getDrawable(i)->getBound().radius() > shell->getBound().radius())
            shell = geode->getDrawable(i);
    return shell;
}

// Opaque and depth-tested, the drawables leave the same pixels in any order.
bool drawnInAnyOrder(osg::Node& room)
{
    const auto opaque = [](const osg::StateSet* state) {
        return !state || (!(state->getMode(GL_BLEND) & osg::StateAttribute::ON) &&
                          !(state->getMode(GL_DEPTH_TEST) == osg::StateAttribute::OFF));
    };
    osg::Geode* geode = room.asGeode();
    if (!geode || !opaque(room.getStateSet()))
        return false;
    for (unsigned i = 0; i < geode->getNumDrawables(); ++i)
        if (!opaque(geode->getDrawable(i)->getStateSet()))
            return false;
    return true;
}

bool isSplit(osg::Node& room)
{
    osg::Geode* geode = room.asGeode();
    for (unsigned i = 0; geode && i < geode->getNumDrawables(); ++i)
        if (isHighlightPart(*geode->getDrawable(i)))
            return true;
    return false;
}

const char* const kShellLast = "shell drawn last";
const char* const kCullBackFaces = "hidden back faces culled";

// In this order: the shell and the back faces are judged on the room's own
// geometries, which the split then replaces by its parts, leaving out the
// back faces the culling hides.
void speedUpRoom(SpeedUpList& speedUps, osg::Node& room)
{
    osg::TextureCubeMap* map = highlightMapOf(room);
    // Where the map is shrunk (only on the rims of the bodies, where the
    // surface turns away within a pixel or two) one level is enough: the two
    // levels a trilinear lookup blends differ there by a few per cent of a
    // highlight already blurred, and reading one costs the room about a
    // millisecond a frame less.
    speedUps.apply("one highlight level where the map is shrunk", [&] { return holdsIf(map, "the room has no highlight map"); },
                   [&] { map->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR_MIPMAP_NEAREST); });
    // Drawn last, the shell's hidden pixels fail the depth test before the
    // renderer shades them, instead of being shaded and then covered.
    osg::Drawable* shell = shellOf(room);
    speedUps.apply(kShellLast, [&] {
        if (isSplit(room))
            return unmet("the room is already split");
        return holdsIf(shell && drawnInAnyOrder(room), "the room is not one geode of opaque drawables");
    }, [&] { shell->getOrCreateStateSet()->setRenderBinDetails(1, "RenderBin"); });
    speedUps.apply(kCullBackFaces, [&] {
        return isSplit(room) ? unmet("the room is already split") : holdsIf(hasClosedSurface(room), "no surface is closed");
    }, [&] { cullHiddenBackFaces(room); });
    osg::Geode* geode = room.asGeode();
    speedUps.apply("bodies drawn in three parts by their highlight lookups", [&] {
        if (!geode || !map)
            return unmet("the room is not one geode with a highlight map");
        return holdsIf(speedUps.tried(kShellLast) && speedUps.tried(kCullBackFaces),
                       "the shell and the back faces must be settled first");
    }, [&] { splitByHighlight(*geode, *map); });
}

void registerStripe(double start, double end, Demo::CFX* stripe)
{
    g_timeline->addEffect(start, end, g_sceneSwitch.get(), stripe);
}

} // namespace

void createSpecularHighlights(osg::Node* node)
{
    osg::StateSet* stateSet = node->getOrCreateStateSet();
    stateSet->setTextureAttributeAndModes(0, makeHighlightCubeMap(), kOnOverride);
    osg::ref_ptr<osg::TexGen> texGen = new osg::TexGen;
    texGen->setMode(osg::TexGen::REFLECTION_MAP);
    stateSet->setTextureAttributeAndModes(0, texGen, kOnOverride);
    stateSet->setTextureAttributeAndModes(0, makeAddCombiner(), kOnOverride);
}

ContentList environmentRoomContent()
{
    return {{kRoomModel, true}, {kBandsImage, false}, {kOverlayImage, false}};
}

void buildEnvironmentRoom()
{
    SpeedUpList speedUps("the room");
    // Without the room the bands and the overlay still run, over black.
    if (osg::ref_ptr<osg::Node> room = readSceneModel(kRoomModel)) {
        room->setName(kRoomModel);
        createSpecularHighlights(room.get());
        speedUpRoom(speedUps, *room);
        g_sceneParts.push_back(room);
        g_timeline->addNode(Room::kStart, Room::kEnd, g_sceneSwitch.get(), room.get());
    }

    auto* bands = new Demo::Image::Overlays::CStripe(kBandsImage);
    bands->setMode(Demo::Image::CImageFX::SweepS);
    bands->setAnimSpeed(0.1);
    OverlaySpeedUps bandSpeedUps;
    bandSpeedUps.noMipmaps = true;
    bandSpeedUps.leaveOutKeptRows = true;
    speedUpOverlay(speedUps, "bands", *bands, *bands, bandSpeedUps);
    registerStripe(Room::kStart, Room::kBandsEnd, bands);

    auto* overlay = new Demo::Image::Overlays::CStripe(kOverlayImage);
    // Still, and larger than the screen: filtered once. Its white,
    // transparent inside leaves the scene as it is under the stripe's
    // blending, whatever its pulse, and is not drawn where a cell of the
    // screen shows nothing else.
    OverlaySpeedUps overlaySpeedUps;
    overlaySpeedUps.bake = true;
    overlaySpeedUps.leaveOutCells = osg::Vec4ub(255, 255, 255, 0);
    speedUpOverlay(speedUps, "overlay", *overlay, *overlay, overlaySpeedUps);
    registerStripe(Room::kOverlayStart, Room::kEnd, overlay);
}
