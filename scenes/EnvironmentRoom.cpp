#include "scenes/EnvironmentRoom.h"

#include "app/Globals.h"
#include "app/Timeline.h"
#include "effects/Flash.h"
#include "scenes/HighlightSplit.h"
#include "scenes/ModelFile.h"

#include <osg/TexEnvCombine>
#include <osg/TexGen>
#include <osg/TextureCubeMap>
#include <osgUtil/HighlightMapGenerator>

namespace {

const char* const kRoomModel = "ddata/blobroom.3ds";
const double kRoomStart = 29.09090909090909;
const double kRoomEnd = 58.0;
const double kBandsEnd = 58.2;
const double kOverlayStart = 33.0;

const osg::StateAttribute::GLModeValue kOnOverride = osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE;

osg::ref_ptr<osg::TextureCubeMap> makeHighlightCubeMap()
{
    osg::ref_ptr<osg::TextureCubeMap> cubeMap = new osg::TextureCubeMap;
    cubeMap->setWrap(osg::Texture::WRAP_S, osg::Texture::CLAMP);
    cubeMap->setWrap(osg::Texture::WRAP_T, osg::Texture::CLAMP);
    cubeMap->setWrap(osg::Texture::WRAP_R, osg::Texture::CLAMP);
    // Where the map is shrunk (only on the rims of the bodies, where the
    // surface turns away within a pixel or two) one level is enough: the two
    // levels a trilinear lookup blends differ there by a few per cent of a
    // highlight already blurred, and reading one costs the room about a
    // millisecond a frame less.
    cubeMap->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR_MIPMAP_NEAREST);
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

// The room's shell encloses the camera and the bodies stand in front of it.
// Drawn last, its hidden pixels fail the depth test before the renderer
// shades them, instead of being shaded and then covered.
void drawShellLast(osg::Node& room)
{
    osg::Geode* geode = room.asGeode();
    if (!geode || geode->getNumDrawables() < 2)
        return;
    unsigned shell = 0;
    for (unsigned i = 1; i < geode->getNumDrawables(); ++i)
        if (geode->getDrawable(i)->getBound().radius() > geode->getDrawable(shell)->getBound().radius())
            shell = i;
    geode->getDrawable(shell)->getOrCreateStateSet()->setRenderBinDetails(1, "RenderBin");
}

void splitByHighlightLookups(osg::Node& room)
{
    osg::Geode* geode = room.asGeode();
    const auto* map = dynamic_cast<const osg::TextureCubeMap*>(
        room.getStateSet()->getTextureAttribute(0, osg::StateAttribute::TEXTURE));
    if (geode && map)
        splitByHighlight(*geode, *map);
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

void buildEnvironmentRoom()
{
    // Without the room the bands and the overlay still run, over black.
    if (osg::ref_ptr<osg::Node> room = readSceneModel(kRoomModel)) {
        createSpecularHighlights(room.get());
        drawShellLast(*room);
        cullHiddenBackFaces(*room);
        splitByHighlightLookups(*room);
        g_sceneParts.push_back(room);
        g_timeline->addNode(kRoomStart, kRoomEnd, g_sceneSwitch.get(), room.get());
    }

    auto* bands = new Demo::Image::Overlays::CStripe("demodata/tunnel2.jpg");
    bands->setMode(Demo::Image::CImageFX::SweepS);
    bands->setAnimSpeed(0.1);
    registerStripe(kRoomStart, kBandsEnd, bands);

    auto* overlay = new Demo::Image::Overlays::CStripe("ddata/kantig-overlay-igen.png");
    overlay->bakeFiltering();
    overlay->leaveOutUntintedMiddle();
    registerStripe(kOverlayStart, kRoomEnd, overlay);
}
