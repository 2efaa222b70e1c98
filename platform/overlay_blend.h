#pragma once
// The window's overlay (menu bar, drop-down, dialog) laid over the picture
// beneath it, one pixel at a time, by the overlay pixel's alpha.
#include <cstdint>

namespace plat {

inline uint32_t BlendOver(uint32_t over, uint32_t under) {
    const uint32_t a = over >> 24;
    if (a == 0)
        return under;
    auto mix = [a](uint32_t o, uint32_t u) { return (o * a + u * (255 - a)) / 255; };
    const uint32_t r = mix((over >> 16) & 0xFF, (under >> 16) & 0xFF);
    const uint32_t g = mix((over >> 8) & 0xFF, (under >> 8) & 0xFF);
    const uint32_t b = mix(over & 0xFF, under & 0xFF);
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

} // namespace plat
