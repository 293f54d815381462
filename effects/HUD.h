#pragma once

#include "effects/BakedLayer.h"
#include "effects/CFX.h"

#include <osg/Geode>
#include <osg/StateSet>
#include <osgText/Text>

#include <array>
#include <memory>
#include <optional>
#include <limits>
#include <string>
#include <vector>

class ScrollingBake;
struct GlyphReach;

namespace Demo {
namespace Text {

// The stored lines a scroll step shows: [first, end).
struct LineWindow {
    long long first;
    long long end;
};

// How far the layout moves on for each byte, in the font at a size.
using GlyphAdvances = std::array<float, 256>;

// Screen-aligned text in the overlay layer. Loaded lines scroll up like a
// console, one line per second of the HUD's clock, and start again from an
// empty screen after the last.
class CHUD : public CFX
{
public:
    CHUD();
    ~CHUD() override;

    // Appends the file's lines; prints and throws CFileException when the
    // file cannot be opened.
    void loadText(const std::string& path);
    void setPosition(int x, int y);
    void setCharacterSize(int height);
    void setAlpha(double alpha);
    void setMaxLines(int count);

    // Draws the text into a screen-sized texture whenever it changes and
    // shows that texture in between: thousands of small glyph quads cost the
    // software renderer far more than one quad over the screen, and the
    // text changes only 15 times a second. For white text blended over the
    // scene by its alpha, as the caller's blending must be: the texture
    // keeps the glyphs' colour already multiplied by their alpha, which for
    // white is the alpha itself, so the screen gets the same pixels.
    void bakeText();
    // Whether bakeText keeps the pixels: white text, blended over the scene
    // by its alpha.
    bool canBake() const;

    void update() override;
    void prepare() override;
    // Lets the warm-up draw every kind of bake step once before the HUD is
    // first shown: the scroll steps set their own states, and the first one
    // built its code in the middle of the light scene (80 ms with Mesa's
    // shader cache empty). Refused once the HUD has been shown.
    bool beginRehearsal();
    void endRehearsal();
    osg::ref_ptr<osg::Group> getNode() override { return root; }

    const std::vector<std::string>& getLines() const { return lines; }
    std::string getText() const;

private:
    void textChanged();
    bool scrollsOneLine(const LineWindow& next) const;
    bool addsOneLine(const LineWindow& next) const;
    void scrollOneLine(const LineWindow& next);

    std::vector<std::string> lines;
    // The same lines cut to what can reach the screen, made by prepare() or,
    // failing that, when first shown: the text is laid out afresh at every
    // scroll step, and a line of half a megabyte laid out whole took 100 ms
    // for the hundred characters it shows.
    std::vector<std::string> shownLines;
    GlyphAdvances advances{};
    float measuredSize = 0.0f;
    void cutLinesToScreen();
    double rate = 1.0;
    osg::ref_ptr<osg::Geode> geode;
    osg::ref_ptr<osgText::Text> text;
    osg::ref_ptr<osg::StateSet> stateSet;
    osg::ref_ptr<osg::Node> layer;
    osg::ref_ptr<osg::Group> root;
    std::unique_ptr<ScrollingBake> baked;
    // What the bake holds when it holds a scroll step's lines.
    std::optional<LineWindow> bakedWindow;
    std::unique_ptr<GlyphReach> reach;
    int maxLines = 20;
    // The scroll step whose lines the text shows. The lines change 15 times
    // a second at most; laying out thousands of glyphs again on every frame
    // in between only cost time.
    long long shownStep = kNoStep;
    static constexpr long long kNoStep = std::numeric_limits<long long>::min();
};

// The lines shown at scroll step k: those before k mod n, at most maxLines
// of them. Empty when there are no lines at all.
std::string visibleLines(const std::vector<std::string>& lines, long long k, int maxLines);
LineWindow visibleWindow(long long lineCount, long long k, int maxLines);

GlyphAdvances measureAdvances(const std::string& font, float size);
// A stored line (its leading line end kept) cut two glyphs after it has
// reached `width`: nothing after that can reach the screen. Zero bytes,
// which the layout drops, are left out.
std::string cutToWidth(const std::string& line, const GlyphAdvances& advances, float width);

// Splits text as the HUD stores it: a line ends at each newline, which then
// starts the next line; tabs become four blanks; text after the last newline
// is dropped.
std::vector<std::string> splitHudLines(const std::string& content);

} // namespace Text
} // namespace Demo
