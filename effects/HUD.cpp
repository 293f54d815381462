#include "effects/HUD.h"

#include "app/Globals.h"
#include "effects/FileException.h"
#include "effects/OverlayLayer.h"

#include <osg/BlendFunc>

#include <cmath>
#include <fstream>
#include <iostream>
#include <iterator>

namespace Demo {
namespace Text {

namespace {
// "Hej och hå!" with the å as the single Latin-1 byte 0xE5; bytes are taken
// as code points, so it shows as å.
const char kDefaultText[] = "Hej och h\xe5!\nsadf\nsdf";
} // namespace

std::vector<std::string> splitHudLines(const std::string& content)
{
    std::vector<std::string> result;
    std::string current;
    for (char c : content) {
        if (c == '\n') {
            result.push_back(current);
            current.clear();
        }
        if (c == '\t')
            current += "    ";
        else
            current += c;
    }
    return result;
}

std::string visibleLines(const std::vector<std::string>& lines, long long k, int maxLines)
{
    if (lines.empty())
        return {};
    const long long n = static_cast<long long>(lines.size());
    const long long current = ((k % n) + n) % n;
    const long long first = std::max(0LL, current - maxLines);
    std::string shown;
    for (long long i = first; i < current; ++i)
        shown += lines[static_cast<std::size_t>(i)];
    return shown;
}

CHUD::CHUD()
    : geode(new osg::Geode), text(new osgText::Text), stateSet(new osg::StateSet), root(new osg::Group)
{
    text->setText(kDefaultText, osgText::String::ENCODING_ASCII);
    text->setFont("fonts/arial.ttf");
    // Glyphs drawn larger than the virtual screen's are made larger too, so
    // they stay as crisp; at 800 x 600 the font keeps its usual resolution.
    if (g_picture.scale() > 1.0f) {
        const auto across = static_cast<unsigned>(std::ceil(g_picture.scaled(static_cast<float>(text->getFontWidth()))));
        const auto down = static_cast<unsigned>(std::ceil(g_picture.scaled(static_cast<float>(text->getFontHeight()))));
        text->setFontResolution(across, down);
    }
    text->setCharacterSize(25.0f, 1.0f);
    text->setAxisAlignment(osgText::Text::SCREEN);
    text->setPosition(osg::Vec3(100.0f, 100.0f, 0.0f));
    text->setUseDisplayList(false);
    text->setColor(osg::Vec4(1.0f, 1.0f, 1.0f, 0.5f));
    geode->addDrawable(text);
    layer = makeOverlayLayer(geode.get(), 800.0f, 600.0f);
    stateSet->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
    stateSet->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    geode->setStateSet(stateSet);
    root->addChild(layer);
}

void CHUD::loadText(const std::string& path)
{
    std::ifstream in(path);
    if (!in) {
        std::cout << "Error opening file: " << path << std::endl;
        throw CFileException{path};
    }
    root->setName(path);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::string& line : splitHudLines(content))
        lines.push_back(std::move(line));
    shownStep = kNoStep;
}

void CHUD::setPosition(int x, int y)
{
    text->setPosition(osg::Vec3(static_cast<float>(x), static_cast<float>(y), 0.0f));
    textChanged();
}

void CHUD::setMaxLines(int count)
{
    maxLines = count;
    shownStep = kNoStep;
}

void CHUD::setCharacterSize(int height)
{
    text->setCharacterSize(static_cast<float>(height), 1.0f);
    textChanged();
}

void CHUD::setAlpha(double alpha)
{
    text->setColor(osg::Vec4(1.0f, 1.0f, 1.0f, static_cast<float>(alpha)));
    textChanged();
}

void CHUD::textChanged()
{
    if (!bakeTrigger)
        return;
    bakeTrigger->request();
    fitBakedQuad(*bakedQuad, text->getBoundingBox());
}

bool CHUD::canBake() const
{
    const osg::Vec4& colour = text->getColor();
    const osg::StateSet* state = root->getStateSet();
    const auto* blend = state ? dynamic_cast<const osg::BlendFunc*>(state->getAttribute(osg::StateAttribute::BLENDFUNC))
                              : nullptr;
    return colour.r() == 1.0f && colour.g() == 1.0f && colour.b() == 1.0f && blend &&
           blend->getSourceRGB() == GL_SRC_ALPHA && blend->getDestinationRGB() == GL_ONE_MINUS_SRC_ALPHA;
}

void CHUD::bakeText()
{
    osg::ref_ptr<osg::Texture2D> baked = makeBakedScreenTexture();
    bakeTrigger = new BakeOnRequest;
    osg::ref_ptr<osg::Group> baking = makeBakingPass(geode.get(), baked.get(), bakeTrigger.get(), true);
    // Over transparent black, colour times alpha and the alpha itself.
    baking->getOrCreateStateSet()->setAttributeAndModes(
        new osg::BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA));
    osg::ref_ptr<osg::Geode> shown = makeBakedScreenQuad(baked.get());
    shown->getOrCreateStateSet()->setAttributeAndModes(new osg::BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA));
    bakedQuad = shown->getDrawable(0)->asGeometry();
    fitBakedQuad(*bakedQuad, text->getBoundingBox());
    root->removeChild(layer.get());
    root->addChild(baking.get());
    layer = makeOverlayLayer(shown.get(), 800.0f, 600.0f);
    root->addChild(layer.get());
}

void CHUD::update()
{
    // With nothing loaded the HUD keeps the text it has (the default one).
    if (lines.empty())
        return;
    const auto k = static_cast<long long>(std::trunc(time() * rate));
    if (k == shownStep)
        return;
    text->setText(visibleLines(lines, k, maxLines), osgText::String::ENCODING_ASCII);
    shownStep = k;
    textChanged();
}

std::string CHUD::getText() const
{
    std::string result;
    for (unsigned int c : text->getText())
        result += static_cast<char>(c);
    return result;
}

} // namespace Text
} // namespace Demo
