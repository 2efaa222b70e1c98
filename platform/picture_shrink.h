#pragma once
// Showing a picture smaller than it is: every output pixel is the average of
// the source area it covers, so thin lines and text strokes turn lighter
// instead of vanishing in the columns and rows that dropping pixels would skip.
#include "platform/surface.h"

namespace plat {

// A srcW x srcH picture shown in outW x outH, neither larger than the source.
struct ShrinkGrid {
    int srcW = 0, srcH = 0, outW = 0, outH = 0;
};

// Whether a srcW x srcH picture shown in outW x outH is shrunk (not shown 1:1
// and not enlarged).
bool Shrinks(int srcW, int srcH, int outW, int outH);

// Fills `part` (output pixels, clipped to out) of out from src, whose pixel
// (x, y) is the grid's source pixel (x, y); source pixels outside src count as
// transparent. Opaque ignores alpha (and gives full alpha); otherwise colours
// weigh by their alpha, so a transparent neighbour darkens nothing. Each
// output pixel depends on the source only: redrawing a part gives the pixels
// a whole redraw gives.
void ShrinkPart(const Surface& src, const ShrinkGrid& g, const RectI& part, bool opaque, Surface* out);

// Fills `part` of out with overlay `over` laid over the opaque picture `under`
// on the grid's source canvas, then shrunk: under's row 0 lies at canvas row
// underTop, the canvas is black where under has no pixel, and over is
// transparent past its edges. Only output pixels whose area over covers in
// part are filled (opaque); the others are left transparent (0) for under
// shrunk on its own to show through.
void ShrinkOverPart(const Surface& over, const Surface& under, int underTop, const ShrinkGrid& g, const RectI& part,
                    Surface* out);

// Makes out the shrunk picture's first `rows` rows (its size changed to fit).
void ShrinkTop(const Surface& src, const ShrinkGrid& g, int rows, bool opaque, Surface* out);

// The output pixels that source rectangle r contributes to.
RectI ShrunkRect(const ShrinkGrid& g, const RectI& r);

} // namespace plat
