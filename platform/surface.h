#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace plat {

struct Surface;

struct RectI {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// A new content stamp from one process-wide counter: no two writes anywhere
// share one, so two equal stamps mean the same pixels.
inline uint64_t NewSurfaceStamp() {
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

// Told before a surface's pixels change and when a surface goes away (the
// video device draws a still frame lazily and must finish it first).
// Main thread only; defined with the video device.
void NoteSurfaceWrite(const Surface& s);
void NoteSurfaceGone(const Surface& s);

// A 32-bit ARGB picture in system memory: what the video device draws into
// and the GDI layer paints on. Pixels are 0xAARRGGBB, row-major, no padding.
//
// Whoever changes pixels or the key calls Touch() first: the stamp tells
// the video device and the presenter whether a surface changed since they
// last used it. A copy is a new picture with its own stamp.
struct Surface {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    bool hasColorKey = false;
    uint32_t colorKey = 0; // compared on the RGB bits only
    bool lost = false; // contents gone after a device loss, until restored
    uint64_t stamp = NewSurfaceStamp();
    // The rasteriser's note of where each row's non-clear texels lie, valid
    // while alphaRowsStamp equals stamp (see raster.cpp).
    mutable std::vector<int> alphaRows;
    mutable uint64_t alphaRowsStamp = 0;
    mutable uint64_t alphaRowsSeen = 0;

    Surface() = default;
    Surface(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), 0) {}
    Surface(const Surface& o)
        : width(o.width),
          height(o.height),
          pixels(o.pixels),
          hasColorKey(o.hasColorKey),
          colorKey(o.colorKey),
          lost(o.lost) {}
    Surface(Surface&& o) noexcept {
        o.Touch();
        width = o.width, height = o.height, pixels = std::move(o.pixels);
        hasColorKey = o.hasColorKey, colorKey = o.colorKey, lost = o.lost;
    }
    Surface& operator=(const Surface& o) {
        if (this != &o) {
            Touch();
            width = o.width, height = o.height, pixels = o.pixels;
            hasColorKey = o.hasColorKey, colorKey = o.colorKey, lost = o.lost;
        }
        return *this;
    }
    Surface& operator=(Surface&& o) noexcept {
        if (this != &o) {
            Touch();
            o.Touch();
            width = o.width, height = o.height, pixels = std::move(o.pixels);
            hasColorKey = o.hasColorKey, colorKey = o.colorKey, lost = o.lost;
        }
        return *this;
    }
    ~Surface() { NoteSurfaceGone(*this); }

    // Call before changing pixels, size or key.
    void Touch() {
        NoteSurfaceWrite(*this);
        stamp = NewSurfaceStamp();
    }

    uint32_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
    const uint32_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

} // namespace plat
