#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat {

// A 32-bit ARGB picture in system memory: what the video device draws into
// and the GDI layer paints on. Pixels are 0xAARRGGBB, row-major, no padding.
struct Surface {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    bool hasColorKey = false;
    uint32_t colorKey = 0; // compared on the RGB bits only
    bool lost = false; // contents gone after a device loss, until restored

    Surface() = default;
    Surface(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), 0) {}

    uint32_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
    const uint32_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

} // namespace plat
