#pragma once

#include "tools/contentgen/images/Raster.h"

#include <string>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace contentgen::img {

// Free fonts from Debian's font packages.
namespace fonts {
inline const char* const sansRegular = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
inline const char* const sansBold = "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf";
inline const char* const narrowBold = "/usr/share/fonts/truetype/liberation/LiberationSansNarrow-Bold.ttf";
inline const char* const monoBold = "/usr/share/fonts/truetype/liberation/LiberationMono-Bold.ttf";
inline const char* const serifBold = "/usr/share/fonts/truetype/liberation/LiberationSerif-Bold.ttf";
inline const char* const dejaSerifBoldItalic = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-BoldItalic.ttf";
inline const char* const dejaSansBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
inline const char* const dejaCondensedBoldOblique =
    "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-BoldOblique.ttf";
} // namespace fonts

struct TextStyle {
    float size = 48.f;       // em height, design units
    float tracking = 0.f;    // extra space after each letter, design units
    float slant = 0.f;       // horizontal shift per unit of height
    float widthScale = 1.f;  // stretches letters sideways
};

// One FreeType face. Text is laid out on the grid's (possibly non-square)
// pixels so it looks right once the image is stretched over the screen.
class FontFace {
public:
    explicit FontFace(const std::string& path);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // Coverage of the text with the centre of its ink box at (cx, cy).
    Mask render(const Grid& grid, const std::string& text, const TextStyle& style, float cx,
                float cy) const;
    // As render, with the size reduced where needed so the ink fits the box.
    Mask renderFitted(const Grid& grid, const std::string& text, TextStyle style, float cx,
                      float cy, float maxWidth, float maxHeight) const;

private:
    struct Glyphs;
    Glyphs layout(const Grid& grid, const std::string& text, const TextStyle& style) const;

    FT_LibraryRec_* library_ = nullptr;
    FT_FaceRec_* face_ = nullptr;
};

} // namespace contentgen::img
