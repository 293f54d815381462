#pragma once

#include <osg/BlendFunc>
#include <osg/Drawable>
#include <osg/Image>
#include <osg/Texture2D>

#include <optional>
#include <vector>

// A blended quad whose texture coordinate down the image depends on the
// window row alone (the bands sweep across, never down) reads, along each
// window row, texels of the same one or two image rows. Where those rows
// only hold texels that leave the frame as it was under the blending (the
// bands' black middle, multiplied in at full opacity), the row's pixels come
// out as they went in, and the quad need not be drawn there at all: it is
// drawn once per run of the other rows, cut by the scissor, which leaves the
// rest of the rasterisation as it was, so the picture is the same to the bit.

// Which of `image`'s rows keep the frame under `blend`: every texel, at full
// opacity, leaves every colour as it was. None for a format this check does
// not read (8-bit RGB and RGBA only).
std::vector<bool> rowsThatKeepTheFrame(const osg::Image& image, const osg::BlendFunc& blend);

// Where the lookups land down the image, in texels (the coordinate times
// the image's height), at the centre of the window row `first` + n:
// atFirstRow + perRow * n.
struct RowMapping {
    double atFirstRow;
    double perRow;
};

struct RowRun {
    int first, count;
};

// The runs of the window rows [first, first + count) whose lookups can read
// a row that does not keep the frame, with nearest or linear filtering and
// room for rounding; with `repeat` the rows wrap, without it they clamp to
// the image's edge. Runs closer than a few rows are joined: a kept row
// drawn costs less than another draw.
std::vector<RowRun> rowsToDraw(const std::vector<bool>& keptRows, const RowMapping& mapping, int first, int count,
                               bool repeat);

// Draws the quad it is set on once per run of rows to draw, each cut by the
// scissor, while the frame and the quad allow it: full opacity, coordinates
// down the image that follow the window row alone, no scissor of the
// state's own. Otherwise it draws the quad whole. The quad's texture on unit
// 0 must be `texture`, filtered without mipmaps.
class LeaveOutKeptRows : public osg::Drawable::DrawCallback
{
public:
    LeaveOutKeptRows(std::vector<bool> keptRows, const osg::Texture2D& texture);
    void drawImplementation(osg::RenderInfo& renderInfo, const osg::Drawable* drawable) const override;

private:
    const std::vector<bool> keptRows;
    const bool repeat;
};
