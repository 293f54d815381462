#pragma once

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/Group>
#include <osg/Scissor>
#include <osg/Texture2D>
#include <osgText/Text>

#include <array>
#include <optional>
#include <string>

class BakeOnRequest;

// How far the glyph quads of a font at a size reach above and below their
// line's baseline, over every byte the scroller can show.
struct GlyphReach {
    float above = 0.0f;
    float below = 0.0f;
};
GlyphReach measureReach(const std::string& font, float size);

// The rows a one-line scroll must draw afresh rather than copy, counted up
// from the bottom: the top band [top, the height), where the line that left
// was, and the bottom band [0, bottom), which the copy has no source for and where the new line
// comes in. Each holds only the glyphs of the lines next to it, so drawing
// those lines alone over a cleared band gives the band's pixels exactly.
struct ScrollBands {
    int top;
    int bottom;
};
// For text whose empty first line has its baseline at `baseline`, lines
// `lineHeight` apart and `lines` lines below it; none when the glyphs reach
// so far that a band would hold a third line too.
std::optional<ScrollBands> scrollBands(float baseline, float lineHeight, int lines, GlyphReach reach);
// The same for a baseline, line height and reach in the layer's units, in
// the rows of the picture the show renders (the layer's own at 800 x 600):
// none where the baseline or a line's height is not a whole number of the
// picture's rows, as at 1440 x 1080, where every step then bakes the whole
// text.
std::optional<ScrollBands> pictureScrollBands(float baseline, float lineHeight, int lines, GlyphReach reach);

// The scroller's text baked into a screen texture, kept up to date at a
// one-line scroll by moving the last bake up a line, texel for texel, and
// drawing only the two bands again, and while the screen fills by drawing
// the new line over the last bake: a step then costs a line's glyphs,
// whatever the file holds, where baking the whole text cost up to 60 ms
// for a screen full of dense glyphs. Two textures take turns: the step
// reads the one shown and draws the other.
class ScrollingBake
{
public:
    // `fullText` draws the whole text in the layer's coordinates, its
    // glyphs under `textState`; the passes blend as given to `passes()`'s
    // state.
    ScrollingBake(osg::Geode* fullText, osg::StateSet* textState);

    // The baking passes, to be placed before the shown quad.
    osg::Group* passes() const { return passGroup.get(); }
    // A quad over the layer showing the current bake texel for pixel.
    osg::Geode* shown() const { return shownGeode.get(); }
    osg::Geometry* shownQuad() const { return quad.get(); }

    // Bakes the whole text on the next frame.
    void bakeWhole();
    // Draws `lines` (laid out as in the whole text, the last of it) over the
    // last bake: a line added below the others, as the screen fills.
    void appendLines(const osgText::Text& style, const std::string& lines);
    // Moves the last bake up by `lineHeight` (the layer's units) and draws
    // `topLine` in the top band and `bottomLines` (laid out as in the whole
    // text) in the bottom band, both styled as `style`; the bands are the
    // picture's rows, as pictureScrollBands gives them.
    void scrollOneLine(const osgText::Text& style, float lineHeight, const ScrollBands& bands,
                       const std::string& topLine, const std::string& bottomLines);

    // Asks every pass for a draw on the next frame, over what the textures
    // hold now, and then takes back what was not drawn: a rehearsal of
    // every kind of step, whose pictures the next whole bakes replace.
    void requestEveryPass();
    void cancelRequests();

private:
    struct Band {
        osg::ref_ptr<osg::Group> group;
        osg::ref_ptr<osgText::Text> text;
        osg::ref_ptr<osg::Scissor> scissor;
    };
    Band makeBand(osg::StateSet* textState, int bin);
    void showNext();

    std::array<osg::ref_ptr<osg::Texture2D>, 2> textures;
    std::array<osg::ref_ptr<BakeOnRequest>, 2> wholeTriggers;
    std::array<osg::ref_ptr<BakeOnRequest>, 2> scrollTriggers;
    std::array<osg::ref_ptr<BakeOnRequest>, 2> appendTriggers;
    osg::ref_ptr<osgText::Text> appended;
    std::array<osg::ref_ptr<osg::Geometry>, 2> copies;
    Band topBand;
    Band bottomBand;
    osg::ref_ptr<osg::Group> passGroup;
    osg::ref_ptr<osg::Geode> shownGeode;
    osg::ref_ptr<osg::Geometry> quad;
    int current = 0;
};
