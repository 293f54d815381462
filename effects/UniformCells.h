#pragma once

#include <osg/Image>
#include <osg/Vec4ub>

#include <vector>

// A grid over the picture, its cells whole pixels: `across` columns and
// `down` rows of the picture's `width` x `height` pixels, column c spanning
// the pixels [c * width / across, (c + 1) * width / across), rows likewise
// from the bottom.
struct CellGrid {
    int across, down, width, height;
    int left(int column) const { return column * width / across; }
    int bottom(int row) const { return row * height / down; }
};

// For an image spread over the whole picture, which cells, row by row from
// the bottom, show only `texel`: every texel under the cell and `margin`
// texels around it equals it, within the image. None for an image not in
// 8-bit RGBA.
std::vector<bool> uniformCells(const osg::Image& image, const osg::Vec4ub& texel, int margin, const CellGrid& grid);
