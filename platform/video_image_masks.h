#pragma once
#include <cstdint>

namespace plat {

// The bit masks of a packed pixel as a BMP or DDS file states them.
struct PixelMasks {
    uint32_t red = 0, green = 0, blue = 0, alpha = 0;
};

// The bits of a pixel of 8 to 32 bits.
constexpr uint32_t PixelBitsMask(uint32_t bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1; }

// Cuts each mask to the pixel's bits; a mask left with no bit is absent, and
// one partly outside keeps the bits inside, read by their own width. False,
// for the file to be refused, when no colour mask is left, unless the format
// may hold alpha alone (alphaAlone) and its alpha mask is left.
bool CutMasksToPixel(uint32_t bits, bool alphaAlone, PixelMasks* masks);

} // namespace plat
