#include "tools/contentgen/images/TitleArt.h"

#include "tools/contentgen/images/MaskOps.h"
#include "tools/contentgen/images/Text.h"

namespace contentgen::img {

namespace {

// Sky above a bright horizon line, warm ground below: the classic chrome.
Paint chrome(const Bounds& box)
{
    return verticalRamp({{0.00f, {0.35f, 0.70f, 1.00f}},
                         {0.42f, {0.96f, 0.99f, 1.00f}},
                         {0.50f, {0.98f, 1.00f, 1.00f}},
                         {0.52f, {0.10f, 0.12f, 0.42f}},
                         {0.70f, {0.85f, 0.30f, 0.70f}},
                         {1.00f, {1.00f, 0.86f, 0.45f}}},
                        box.y0, box.y1);
}

} // namespace

void drawTitleLettering(Canvas& canvas, float cx, float cy, float maxWidth, float maxHeight)
{
    const Grid& grid = canvas.grid;
    const FontFace font(fonts::sansBold);
    TextStyle style;
    style.size = maxHeight * 1.5f;
    style.widthScale = 1.15f;
    style.tracking = maxHeight * 0.06f;
    const Mask letters = font.renderFitted(grid, "VELMO", style, cx, cy, maxWidth, maxHeight);
    const Bounds box = inkBounds(letters);
    const Mask rimMask = dilated(letters, maxHeight * 0.035f);

    paintOver(canvas, blurred(dilated(letters, maxHeight * 0.05f), maxHeight * 0.08f),
              verticalRamp({{0.f, {0.2f, 0.5f, 1.f}}, {1.f, {1.f, 0.2f, 0.7f}}}, box.y0, box.y1), 0.85f);
    paintOver(canvas, rimMask, solid({0.03f, 0.02f, 0.10f}));
    paintOver(canvas, letters, chrome(box));
    // A lit top edge gives the letters some depth.
    paintOver(canvas, without(letters, shifted(letters, 0.f, maxHeight * 0.02f)), solid({1.f, 1.f, 1.f}), 0.8f);
}

} // namespace contentgen::img
