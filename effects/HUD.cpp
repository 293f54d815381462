#include "effects/HUD.h"

#include "app/GLWarmUp.h"
#include "app/Globals.h"
#include "effects/FileException.h"
#include "effects/OverlayLayer.h"
#include "effects/ScrollingBake.h"

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
const float kScreenWidth = 800.0f;

class HudRehearsal : public WarmUpRehearsal
{
public:
    explicit HudRehearsal(CHUD& hud) : hud(hud) {}
    bool begin() override { return hud.beginRehearsal(); }
    void end() override { hud.endRehearsal(); }

private:
    CHUD& hud; // owns the node this is the user data of
};
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

GlyphAdvances measureAdvances(const std::string& font, float size)
{
    // As the layout lays them out: the gap a run of one byte opens between
    // two bars, over the run's length. Blanks and bytes the font lacks
    // advance too, which their own bounds would not show.
    // One probe for all: a probe each looked the font file up 511 times
    // (15 ms of the 70 s cut's first frame, against 6.6 ms).
    osg::ref_ptr<osgText::Text> probe = new osgText::Text;
    probe->setFont(font);
    probe->setCharacterSize(size, 1.0f);
    const auto width = [&](const std::string& s) {
        probe->setText(s, osgText::String::ENCODING_ASCII);
        const osg::BoundingBox box = probe->getBoundingBox();
        return box.valid() ? box.xMax() - box.xMin() : 0.0f;
    };
    const int run = 32;
    const float bars = width("||");
    GlyphAdvances advances{};
    for (int byte = 1; byte < 256; ++byte)
        if (byte != '\n')
            advances[byte] = std::max(0.0f, (width("|" + std::string(run, char(byte)) + "|") - bars) / run);
    return advances;
}

std::string cutToWidth(const std::string& line, const GlyphAdvances& advances, float width)
{
    // Two glyphs' slack for a kerned pair or a glyph reaching past its
    // advance.
    // Zero bytes go: the layout drops them, and a line of nothing else would
    // otherwise be kept whole, since they advance nothing.
    std::string cut;
    float reach = 0.0f;
    int past = 0;
    for (std::size_t i = 0; i < line.size() && past < 2; ++i) {
        if (line[i] == '\0')
            continue;
        cut += line[i];
        if (reach >= width)
            ++past;
        if (line[i] != '\n')
            reach += advances[static_cast<unsigned char>(line[i])];
    }
    return cut;
}

LineWindow visibleWindow(long long lineCount, long long k, int maxLines)
{
    if (lineCount == 0)
        return {0, 0};
    const long long end = ((k % lineCount) + lineCount) % lineCount;
    // No lines at all for a count below one.
    return {std::max(0LL, end - std::max(0, maxLines)), end};
}

std::string visibleLines(const std::vector<std::string>& lines, long long k, int maxLines)
{
    const LineWindow window = visibleWindow(static_cast<long long>(lines.size()), k, maxLines);
    std::string shown;
    for (long long i = window.first; i < window.end; ++i)
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

CHUD::~CHUD() = default;

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
    shownLines.clear();
    bakedWindow.reset();
    shownStep = kNoStep;
}

void CHUD::setPosition(int x, int y)
{
    text->setPosition(osg::Vec3(static_cast<float>(x), static_cast<float>(y), 0.0f));
    shownLines.clear();
    textChanged();
}

void CHUD::cutLinesToScreen()
{
    const float size = text->getCharacterHeight();
    if (size != measuredSize) {
        advances = measureAdvances("fonts/arial.ttf", size);
        reach = std::make_unique<GlyphReach>(measureReach("fonts/arial.ttf", size));
        measuredSize = size;
    }
    const float width = kScreenWidth - text->getPosition().x();
    shownLines.clear();
    shownLines.reserve(lines.size());
    for (const std::string& line : lines)
        shownLines.push_back(cutToWidth(line, advances, width));
}

void CHUD::setMaxLines(int count)
{
    maxLines = count;
    bakedWindow.reset();
    shownStep = kNoStep;
}

void CHUD::setCharacterSize(int height)
{
    text->setCharacterSize(static_cast<float>(height), 1.0f);
    shownLines.clear();
    textChanged();
}

void CHUD::setAlpha(double alpha)
{
    text->setColor(osg::Vec4(1.0f, 1.0f, 1.0f, static_cast<float>(alpha)));
    textChanged();
}

void CHUD::textChanged()
{
    bakedWindow.reset();
    if (!baked)
        return;
    baked->bakeWhole();
    fitBakedQuad(*baked->shownQuad(), text->getBoundingBox());
}

bool CHUD::scrollsOneLine(const LineWindow& next) const
{
    // Lines after the file's first start with their line end, so the text
    // opens with an empty line and each moves up by exactly one line.
    const auto startsALine = [&](long long i) { return shownLines[static_cast<std::size_t>(i)][0] == '\n'; };
    return baked && bakedWindow && reach && next.first == bakedWindow->first + 1 &&
           next.end == bakedWindow->end + 1 && next.end - next.first == maxLines && maxLines >= 3 &&
           startsALine(bakedWindow->first) && startsALine(next.first);
}

bool CHUD::addsOneLine(const LineWindow& next) const
{
    // Drawn last, as the whole text would draw it; lines after the file's
    // first start with their line end, so the new one takes a line of its
    // own below the others.
    return baked && bakedWindow && next.first == 0 && bakedWindow->first == 0 && next.end == bakedWindow->end + 1 &&
           next.end >= 2 && shownLines[static_cast<std::size_t>(next.end - 1)][0] == '\n';
}

void CHUD::scrollOneLine(const LineWindow& next)
{
    const float lineHeight = text->getCharacterHeight() * (1.0f + text->getLineSpacing());
    const std::optional<ScrollBands> bands =
        pictureScrollBands(text->getPosition().y(), lineHeight, maxLines, *reach);
    if (!bands) {
        textChanged();
        return;
    }
    const auto line = [&](long long i) -> const std::string& { return shownLines[static_cast<std::size_t>(i)]; };
    baked->scrollOneLine(*text, lineHeight, *bands, line(next.first),
                         std::string(static_cast<std::size_t>(maxLines - 2), '\n') + line(next.end - 2) + line(next.end - 1));
    fitBakedQuad(*baked->shownQuad(), text->getBoundingBox());
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
    baked = std::make_unique<ScrollingBake>(geode.get(), stateSet.get());
    fitBakedQuad(*baked->shownQuad(), text->getBoundingBox());
    root->removeChild(layer.get());
    root->addChild(baked->passes());
    layer = makeOverlayLayer(baked->shown(), 800.0f, 600.0f);
    root->addChild(layer.get());
    root->setUserData(new HudRehearsal(*this));
}

bool CHUD::beginRehearsal()
{
    if (!baked || !reach || shownStep != kNoStep)
        return false;
    // Steps with glyphs in them, as the real ones have; which texture ends
    // up shown does not matter, since both are baked whole before either is
    // shown again.
    const float lineHeight = text->getCharacterHeight() * (1.0f + text->getLineSpacing());
    if (const std::optional<ScrollBands> bands = pictureScrollBands(text->getPosition().y(), lineHeight, maxLines, *reach))
        baked->scrollOneLine(*text, lineHeight, *bands, "\nx", "\nx");
    baked->appendLines(*text, "\nx");
    baked->requestEveryPass();
    return true;
}

void CHUD::endRehearsal()
{
    baked->cancelRequests();
}

void CHUD::prepare()
{
    // The font's measuring costs several milliseconds: a frame of the
    // opening has them to spare, the light scene's first frame has not.
    if (!lines.empty() && shownLines.size() != lines.size())
        cutLinesToScreen();
}

void CHUD::update()
{
    // With nothing loaded the HUD keeps the text it has (the default one).
    if (lines.empty())
        return;
    const auto k = static_cast<long long>(std::trunc(time() * rate));
    if (k == shownStep)
        return;
    if (shownLines.size() != lines.size())
        cutLinesToScreen();
    const LineWindow window = visibleWindow(static_cast<long long>(shownLines.size()), k, maxLines);
    text->setText(visibleLines(shownLines, k, maxLines), osgText::String::ENCODING_ASCII);
    shownStep = k;
    if (scrollsOneLine(window)) {
        scrollOneLine(window);
    } else if (addsOneLine(window)) {
        const auto lineCount = static_cast<std::size_t>(window.end - window.first);
        baked->appendLines(*text, std::string(lineCount - 2, '\n') + shownLines[static_cast<std::size_t>(window.end - 1)]);
        fitBakedQuad(*baked->shownQuad(), text->getBoundingBox());
    } else {
        textChanged();
    }
    if (baked)
        bakedWindow = window;
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
