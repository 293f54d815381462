#pragma once

#include "tools/contentgen/images/Raster.h"

namespace contentgen::img {

// The part of the screen a logo keeps to, so all six can be on at once.
struct Cell {
    float cx;
    float cy;
    float width;
    float height;
};

// Each greeting logo in its own lettering; everything stays inside the cell.
void drawLumbra(Canvas& canvas, const Cell& cell);
void drawOstra(Canvas& canvas, const Cell& cell);
void drawKvell(Canvas& canvas, const Cell& cell);
void drawTrinna(Canvas& canvas, const Cell& cell);
void drawBolma(Canvas& canvas, const Cell& cell);
void drawSprett(Canvas& canvas, const Cell& cell);

} // namespace contentgen::img
