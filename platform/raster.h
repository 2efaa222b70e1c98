#pragma once
#include <cstdint>

#include "platform/surface.h"
#include "platform/video.h"

namespace plat {

// The rasteriser's colour rules, shared by every path so that the fast
// paths and the reference path give the same bytes.
//
// - x / 255 is rounded to the nearest whole number (no ties exist).
// - Texel modulate: out = round(texel * diffuse / 255) per channel, alpha too.
// - Blend: out = min(255, round((src * Fs + dst * Fd) / 255)) per channel with
//   the factors as 0..255 (ONE = 255); the alpha channel uses the same factors
//   with colour factors taken from the alpha values.
// - Colour key: a texel whose RGB equals the texture's key RGB is not drawn.
// - Pixel centres lie at integer coordinates; a pixel is covered when its
//   centre lies inside, left and top edges included, right and bottom not.
// - Point sampling: texel = floor(u * width), clamped to the texture.
inline uint32_t Div255(uint32_t x) { return (x + 127u) / 255u; }

uint32_t ModulateTexel(uint32_t texel, uint32_t diffuse);
uint32_t BlendPixel(uint32_t src, uint32_t dst, Blend fs, Blend fd);

// Draws the strip (v0,v1,v2), (v1,v2,v3) onto dst with the texture (null:
// white texels) and the state.
void RasterQuadStrip(Surface& dst, const Surface* texture, const TLVertex v[4], const RasterState& state);

// The same on rows [rowBegin, rowEnd) only, on the calling thread.
void RasterQuadStripRows(Surface& dst, const Surface* texture, const TLVertex v[4], const RasterState& state,
                         int rowBegin, int rowEnd);
// Quads drawn in order, as one job split into row bands for the workers
// (every pixel sees the quads in the same order as when drawn one by one).
void RasterQuadBatch(Surface& dst, const DrawRecord* quads, size_t count);
// The same, leaving every pixel outside clip alone: the pixels inside come
// out as a whole draw would leave them.
void RasterQuadBatchClipped(Surface& dst, const DrawRecord* quads, size_t count, const RectI& clip);

// The pixels of dst a quad writes whatever lies under them (drawn without
// blending or colour key, axis-aligned); an empty rectangle when it is not
// such a quad.
RectI RasterOpaqueCover(const Surface& dst, const DrawRecord& quad);

// Fills the part of clip inside dst with one colour (large areas in bands).
void RasterFill(Surface& dst, const RectI& clip, uint32_t argb);

// Nearest-neighbour stretch copy; rectangles are clipped to both surfaces.
void RasterBlt(Surface& dst, const RectI& dstRect, const Surface& src, const RectI& srcRect, bool keySrc);
void RasterBltClipped(Surface& dst, const RectI& dstRect, const Surface& src, const RectI& srcRect, bool keySrc,
                      const RectI& clip);

} // namespace plat
