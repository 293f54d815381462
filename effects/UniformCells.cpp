#include "effects/UniformCells.h"

#include <algorithm>
#include <cmath>

namespace {

// Counts of the texels unlike the one sought in every rectangle from the
// image's corner: any rectangle's count from four of them.
class UnlikeCounts
{
public:
    UnlikeCounts(const osg::Image& image, const osg::Vec4ub& texel)
        : width(image.s()), counts(size_t(image.s() + 1) * (image.t() + 1), 0)
    {
        for (int y = 0; y < image.t(); ++y) {
            const auto* row = reinterpret_cast<const osg::Vec4ub*>(image.data(0, y));
            const int* below = &counts[size_t(y) * (width + 1)];
            int* here = &counts[size_t(y + 1) * (width + 1)];
            // The row's own count so far, plus everything below it.
            int inRow = 0;
            for (int x = 0; x < width; ++x) {
                inRow += row[x] != texel ? 1 : 0;
                here[x + 1] = below[x + 1] + inRow;
            }
        }
    }
    // In the texels [x0, x1) x [y0, y1), all inside the image.
    int in(int x0, int y0, int x1, int y1) const { return get(x1, y1) - get(x0, y1) - get(x1, y0) + get(x0, y0); }

private:
    int get(int x, int y) const { return counts[size_t(y) * (width + 1) + x]; }
    const int width;
    std::vector<int> counts;
};

} // namespace

std::vector<bool> uniformCells(const osg::Image& image, const osg::Vec4ub& texel, int margin, const CellGrid& grid)
{
    if (image.getPixelFormat() != GL_RGBA || image.getDataType() != GL_UNSIGNED_BYTE || image.s() == 0 ||
        image.t() == 0 || grid.across <= 0 || grid.down <= 0)
        return {};
    const UnlikeCounts unlike(image, texel);
    const double texelsPerPixelX = double(image.s()) / grid.width, texelsPerPixelY = double(image.t()) / grid.height;
    std::vector<bool> cells(size_t(grid.across) * grid.down, false);
    for (int row = 0; row < grid.down; ++row)
        for (int column = 0; column < grid.across; ++column) {
            const int x0 = int(std::floor(grid.left(column) * texelsPerPixelX)) - margin;
            const int x1 = int(std::ceil(grid.left(column + 1) * texelsPerPixelX)) + margin;
            const int y0 = int(std::floor(grid.bottom(row) * texelsPerPixelY)) - margin;
            const int y1 = int(std::ceil(grid.bottom(row + 1) * texelsPerPixelY)) + margin;
            if (x0 < 0 || y0 < 0 || x1 > image.s() || y1 > image.t())
                continue;
            cells[size_t(row) * grid.across + column] = unlike.in(x0, y0, x1, y1) == 0;
        }
    return cells;
}
