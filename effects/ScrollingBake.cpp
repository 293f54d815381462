#include "effects/ScrollingBake.h"

#include "app/Globals.h"
#include "effects/BakedLayer.h"

#include <osg/BlendFunc>

#include <algorithm>
#include <cmath>

namespace {

const float kScreenWidth = 800.0f;
const float kScreenHeight = 600.0f;
// The passes' draws in the order the pixels' blending needs.
enum Bin { kCopyBin = 1, kTopClearBin, kTopTextBin, kBottomClearBin, kBottomTextBin };

void putInBin(osg::Node& node, int bin)
{
    node.getOrCreateStateSet()->setRenderBinDetails(bin, "RenderBin");
}

// A quad over the whole layer, writing its texels or its colour as they are.
osg::ref_ptr<osg::Geometry> unblendedScreenQuad(const osg::Vec4& colour)
{
    osg::ref_ptr<osg::Vec3Array> corners = new osg::Vec3Array;
    for (const osg::Vec3& corner : {osg::Vec3(0, 0, 0), osg::Vec3(kScreenWidth, 0, 0),
                                    osg::Vec3(kScreenWidth, kScreenHeight, 0), osg::Vec3(0, kScreenHeight, 0)})
        corners->push_back(corner);
    osg::ref_ptr<osg::Vec4Array> colours = new osg::Vec4Array;
    colours->push_back(colour);
    osg::ref_ptr<osg::Geometry> quad = new osg::Geometry;
    quad->setVertexArray(corners.get());
    quad->setColorArray(colours.get(), osg::Array::BIND_OVERALL);
    quad->addPrimitiveSet(new osg::DrawArrays(GL_QUADS, 0, 4));
    quad->setUseDisplayList(false);
    osg::StateSet* state = quad->getOrCreateStateSet();
    state->setMode(GL_BLEND, osg::StateAttribute::OFF);
    state->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
    state->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    return quad;
}

// Reads `from` one line lower than it draws: its texture coordinates are
// set per scroll, for the line height then.
osg::ref_ptr<osg::Geometry> shiftedCopy(osg::Texture2D* from)
{
    osg::ref_ptr<osg::Geometry> copy = unblendedScreenQuad(osg::Vec4(1, 1, 1, 1));
    copy->setTexCoordArray(0, new osg::Vec2Array(4), osg::Array::BIND_PER_VERTEX);
    copy->setDataVariance(osg::Object::DYNAMIC);
    copy->getOrCreateStateSet()->setTextureAttributeAndModes(0, from, osg::StateAttribute::ON);
    return copy;
}

void shiftCopy(osg::Geometry& copy, float rows)
{
    const auto* corners = static_cast<const osg::Vec3Array*>(copy.getVertexArray());
    auto* texels = static_cast<osg::Vec2Array*>(copy.getTexCoordArray(0));
    for (unsigned i = 0; i < 4; ++i)
        (*texels)[i] = bakedTexCoord((*corners)[i] - osg::Vec3(0.0f, rows, 0.0f));
    texels->dirty();
}

void styleLike(osgText::Text& text, const osgText::Text& style)
{
    text.setFont(const_cast<osgText::Font*>(style.getFont()));
    text.setFontResolution(style.getFontWidth(), style.getFontHeight());
    text.setCharacterSize(style.getCharacterHeight(), style.getCharacterAspectRatio());
    text.setLineSpacing(style.getLineSpacing());
    text.setAxisAlignment(style.getAxisAlignment());
    text.setAlignment(style.getAlignment());
    text.setPosition(style.getPosition());
    text.setColor(style.getColor());
    text.setShaderTechnique(const_cast<osgText::Text&>(style).getShaderTechnique());
}

// The picture's rows [from, to) as the baking pass's framebuffer counts them:
// it draws the layer upside down.
void scissorRows(osg::Scissor& scissor, int from, int to)
{
    scissor.setScissor(0, g_picture.height - to, g_picture.width, to - from);
}

} // namespace

GlyphReach measureReach(const std::string& font, float size)
{
    GlyphReach reach;
    osg::ref_ptr<osgText::Text> probe = new osgText::Text;
    probe->setFont(font);
    probe->setCharacterSize(size, 1.0f);
    for (int byte = 1; byte < 256; ++byte) {
        if (byte == '\n')
            continue;
        probe->setText(std::string(1, static_cast<char>(byte)), osgText::String::ENCODING_ASCII);
        probe->getBoundingBox();
        if (const osg::Vec3Array* corners = probe->getCoords())
            for (const osg::Vec3& corner : *corners) {
                reach.above = std::max(reach.above, corner.y());
                reach.below = std::max(reach.below, -corner.y());
            }
    }
    return reach;
}

std::optional<ScrollBands> scrollBands(float baseline, float lineHeight, int lines, GlyphReach reach)
{
    // The copy moves texels by whole rows onto texel centres only.
    if (lines < 3 || lineHeight != std::floor(lineHeight) || baseline != std::floor(baseline))
        return std::nullopt;
    const auto line = [&](int slot) { return baseline - static_cast<float>(slot) * lineHeight; };
    // A row's worth of slack on each side for the rasteriser's edge rules.
    const ScrollBands bands{static_cast<int>(std::floor(line(0) - reach.below)) - 1,
                            std::max(static_cast<int>(lineHeight),
                                     static_cast<int>(std::ceil(line(lines) + reach.above)) + 1)};
    const bool topHoldsOnlyTheFirstLine = bands.top >= static_cast<int>(std::ceil(line(2) + reach.above)) + 1;
    const bool bottomHoldsOnlyTheLastTwo =
        bands.bottom <= static_cast<int>(std::floor(line(lines - 2) - reach.below)) - 1;
    if (!topHoldsOnlyTheFirstLine || !bottomHoldsOnlyTheLastTwo || bands.bottom >= bands.top)
        return std::nullopt;
    return bands;
}

std::optional<ScrollBands> pictureScrollBands(float baseline, float lineHeight, int lines, GlyphReach reach)
{
    const float scale = g_picture.scale();
    return scrollBands(baseline * scale, lineHeight * scale, lines, {reach.above * scale, reach.below * scale});
}

ScrollingBake::ScrollingBake(osg::Geode* fullText, osg::StateSet* textState)
    : passGroup(new osg::Group)
{
    topBand = makeBand(textState, kTopClearBin);
    bottomBand = makeBand(textState, kBottomClearBin);
    appended = new osgText::Text;
    appended->setUseDisplayList(false);
    osg::ref_ptr<osg::Geode> appendedGlyphs = new osg::Geode;
    appendedGlyphs->setStateSet(textState);
    appendedGlyphs->addDrawable(appended.get());
    for (int i = 0; i < 2; ++i)
        textures[i] = makeBakedScreenTexture();
    for (int i = 0; i < 2; ++i) {
        // Only the first whole bake is pending at the start.
        wholeTriggers[i] = new BakeOnRequest(i == 0);
        scrollTriggers[i] = new BakeOnRequest(false);
        passGroup->addChild(makeBakingPass(fullText, textures[i].get(), wholeTriggers[i].get(), true));
        copies[i] = shiftedCopy(textures[1 - i].get());
        osg::ref_ptr<osg::Geode> copy = new osg::Geode;
        copy->addDrawable(copies[i].get());
        putInBin(*copy, kCopyBin);
        osg::ref_ptr<osg::Group> step = new osg::Group;
        step->addChild(copy.get());
        step->addChild(topBand.group.get());
        step->addChild(bottomBand.group.get());
        passGroup->addChild(makeBakingPass(step.get(), textures[i].get(), scrollTriggers[i].get(), false));
        appendTriggers[i] = new BakeOnRequest(false);
        passGroup->addChild(makeBakingPass(appendedGlyphs.get(), textures[i].get(), appendTriggers[i].get(), false));
    }
    // Over transparent black, colour times alpha and the alpha itself.
    passGroup->getOrCreateStateSet()->setAttributeAndModes(
        new osg::BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA));
    shownGeode = makeBakedScreenQuad(textures[0].get());
    shownGeode->getOrCreateStateSet()->setAttributeAndModes(new osg::BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA));
    quad = shownGeode->getDrawable(0)->asGeometry();
}

ScrollingBake::Band ScrollingBake::makeBand(osg::StateSet* textState, int bin)
{
    Band band;
    band.group = new osg::Group;
    band.scissor = new osg::Scissor;
    band.group->getOrCreateStateSet()->setAttributeAndModes(band.scissor.get(), osg::StateAttribute::ON);
    osg::ref_ptr<osg::Geode> clear = new osg::Geode;
    clear->addDrawable(unblendedScreenQuad(osg::Vec4(0, 0, 0, 0)));
    putInBin(*clear, bin);
    band.text = new osgText::Text;
    band.text->setUseDisplayList(false);
    osg::ref_ptr<osg::Geode> glyphs = new osg::Geode;
    glyphs->setStateSet(textState);
    glyphs->addDrawable(band.text.get());
    osg::ref_ptr<osg::Group> glyphsInBin = new osg::Group;
    glyphsInBin->addChild(glyphs.get());
    putInBin(*glyphsInBin, bin + 1);
    band.group->addChild(clear.get());
    band.group->addChild(glyphsInBin.get());
    return band;
}

void ScrollingBake::showNext()
{
    current = 1 - current;
    quad->getOrCreateStateSet()->setTextureAttributeAndModes(0, textures[current].get(), osg::StateAttribute::ON);
}

void ScrollingBake::bakeWhole()
{
    showNext();
    wholeTriggers[current]->request();
}

void ScrollingBake::requestEveryPass()
{
    for (const auto* triggers : {&wholeTriggers, &scrollTriggers, &appendTriggers})
        for (const osg::ref_ptr<BakeOnRequest>& trigger : *triggers)
            trigger->request();
}

void ScrollingBake::cancelRequests()
{
    for (const auto* triggers : {&wholeTriggers, &scrollTriggers, &appendTriggers})
        for (const osg::ref_ptr<BakeOnRequest>& trigger : *triggers)
            trigger->cancel();
}

void ScrollingBake::appendLines(const osgText::Text& style, const std::string& lines)
{
    styleLike(*appended, style);
    appended->setText(lines, osgText::String::ENCODING_ASCII);
    appendTriggers[current]->request();
}

void ScrollingBake::scrollOneLine(const osgText::Text& style, float lineHeight, const ScrollBands& bands,
                                  const std::string& topLine, const std::string& bottomLines)
{
    showNext();
    shiftCopy(*copies[current], lineHeight);
    styleLike(*topBand.text, style);
    topBand.text->setText(topLine, osgText::String::ENCODING_ASCII);
    scissorRows(*topBand.scissor, bands.top, g_picture.height);
    styleLike(*bottomBand.text, style);
    bottomBand.text->setText(bottomLines, osgText::String::ENCODING_ASCII);
    scissorRows(*bottomBand.scissor, 0, bands.bottom);
    scrollTriggers[current]->request();
}
