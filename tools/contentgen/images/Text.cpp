#include "tools/contentgen/images/Text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace contentgen::img {

namespace {

struct Glyph {
    int left = 0;  // pixel column of the bitmap's left edge
    int top = 0;   // pixel row of its top edge, baseline at row 0
    int width = 0;
    int rows = 0;
    std::vector<unsigned char> coverage;
};

FT_Long fixed26(float pixels) { return static_cast<FT_Long>(std::lround(pixels * 64.f)); }

Glyph copyBitmap(const FT_GlyphSlot slot, long penPixels)
{
    const FT_Bitmap& bm = slot->bitmap;
    Glyph g;
    g.left = static_cast<int>(penPixels) + slot->bitmap_left;
    g.top = -slot->bitmap_top;
    g.width = static_cast<int>(bm.width);
    g.rows = static_cast<int>(bm.rows);
    g.coverage.resize(static_cast<size_t>(g.width * g.rows));
    for (int r = 0; r < g.rows; ++r)
        for (int c = 0; c < g.width; ++c)
            g.coverage[static_cast<size_t>(r * g.width + c)] = bm.buffer[r * bm.pitch + c];
    return g;
}

FT_Pos kerning(FT_Face face, FT_UInt previous, FT_UInt index)
{
    FT_Vector kern{0, 0};
    if (previous != 0 && FT_HAS_KERNING(face))
        FT_Get_Kerning(face, previous, index, FT_KERNING_UNFITTED, &kern);
    return kern.x;
}

Glyph renderGlyph(FT_Face face, FT_UInt index, FT_Matrix& shear, FT_Long pen)
{
    // The sub-pixel part of the pen goes into the outline so spacing stays
    // even; the whole pixels place the bitmap.
    FT_Vector delta{pen & 63, 0};
    FT_Set_Transform(face, &shear, &delta);
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0)
        throw std::runtime_error("cannot render glyph");
    return copyBitmap(face->glyph, pen >> 6);
}

} // namespace

struct FontFace::Glyphs {
    std::vector<Glyph> list;
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;  // ink box, pixels

    void add(Glyph g)
    {
        x0 = std::min(x0, g.left);
        y0 = std::min(y0, g.top);
        x1 = std::max(x1, g.left + g.width);
        y1 = std::max(y1, g.top + g.rows);
        list.push_back(std::move(g));
    }
};

FontFace::FontFace(const std::string& path)
{
    if (FT_Init_FreeType(&library_) != 0)
        throw std::runtime_error("cannot start FreeType");
    if (FT_New_Face(library_, path.c_str(), 0, &face_) != 0) {
        FT_Done_FreeType(library_);
        throw std::runtime_error("cannot open font " + path);
    }
}

FontFace::~FontFace()
{
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
}

FontFace::Glyphs FontFace::layout(const Grid& grid, const std::string& text,
                                  const TextStyle& style) const
{
    FT_Set_Char_Size(face_, fixed26(style.size * grid.sx() * style.widthScale),
                     fixed26(style.size * grid.sy()), 72, 72);
    // Slant is given in design units; pixels may not be square.
    const float slant = style.slant * grid.sx() / grid.sy();
    FT_Matrix shear{0x10000, static_cast<FT_Fixed>(std::lround(slant * 65536.f)), 0, 0x10000};
    Glyphs out;
    FT_Long pen = 0;
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
        const FT_UInt index = FT_Get_Char_Index(face_, ch);
        pen += kerning(face_, previous, index);
        Glyph g = renderGlyph(face_, index, shear, pen);
        if (g.width > 0 && g.rows > 0)
            out.add(std::move(g));
        pen += face_->glyph->advance.x + fixed26(style.tracking * grid.sx());
        previous = index;
    }
    return out;
}

Mask FontFace::render(const Grid& grid, const std::string& text, const TextStyle& style,
                      float cx, float cy) const
{
    const Glyphs glyphs = layout(grid, text, style);
    Mask out(grid);
    if (glyphs.list.empty())
        return out;
    const int ox = static_cast<int>(std::lround(cx * grid.sx() - 0.5f * (glyphs.x0 + glyphs.x1)));
    const int oy = static_cast<int>(std::lround(cy * grid.sy() - 0.5f * (glyphs.y0 + glyphs.y1)));
    for (const Glyph& g : glyphs.list)
        for (int r = 0; r < g.rows; ++r)
            for (int c = 0; c < g.width; ++c) {
                const int x = ox + g.left + c;
                const int y = oy + g.top + r;
                if (x < 0 || y < 0 || x >= grid.width || y >= grid.height)
                    continue;
                const float v = g.coverage[static_cast<size_t>(r * g.width + c)] / 255.f;
                out.at(x, y) = std::max(out.at(x, y), v);
            }
    return out;
}

Mask FontFace::renderFitted(const Grid& grid, const std::string& text, TextStyle style, float cx,
                            float cy, float maxWidth, float maxHeight) const
{
    const Glyphs glyphs = layout(grid, text, style);
    if (!glyphs.list.empty()) {
        const float w = static_cast<float>(glyphs.x1 - glyphs.x0) / grid.sx();
        const float h = static_cast<float>(glyphs.y1 - glyphs.y0) / grid.sy();
        const float f = std::min({1.f, maxWidth / w, maxHeight / h});
        style.size *= f;
        style.tracking *= f;
    }
    return render(grid, text, style, cx, cy);
}

} // namespace contentgen::img
