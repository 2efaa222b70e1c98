#include "tools/pictures/select_window_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/pictures/paint.h"

namespace screens {

namespace {

constexpr int kWidth = 516;
constexpr int kRow = 68;

// Distance of a pixel centre outside a rounded rectangle's inner core
// (0 inside the core): the box is everything within radius of the core.
double CornerDistance(int x, int y, int l, int t, int r, int b, int radius) {
    const double dx = std::max({double(l + radius) - (x + 0.5), (x + 0.5) - double(r - radius), 0.0});
    const double dy = std::max({double(t + radius) - (y + 0.5), (y + 0.5) - double(b - radius), 0.0});
    return std::hypot(dx, dy);
}

// A rounded box filled with a vertical gradient, with a rim of rimWidth.
void RoundBox(plat::Surface& s, int l, int t, int r, int b, int radius, uint32_t top, uint32_t bottom, uint32_t rim,
              int rimWidth) {
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x) {
            const double d = CornerDistance(x, y, l, t, r, b, radius);
            if (d > radius + 0.5)
                continue;
            const double edge = std::min(1.0, radius + 0.5 - d);
            const int fromEdge = std::min({x - l, y - t, r - 1 - x, b - 1 - y});
            const bool onRim = d > radius - rimWidth || fromEdge < rimWidth;
            paint::Blend(s.Row(y)[x], onRim ? rim : paint::Mix(top, bottom, double(y - t) / (b - t - 1)), edge);
        }
}

// A small diamond ornament centred at (cx, cy).
void Diamond(plat::Surface& s, int cx, int cy, int size, uint32_t colour) {
    for (int y = cy - size; y <= cy + size; ++y)
        for (int x = cx - size; x <= cx + size; ++x) {
            const double d = std::abs(x + 0.5 - cx) + std::abs(y + 0.5 - cy);
            paint::Blend(s.Row(y)[x], colour, std::clamp(size - d + 0.5, 0.0, 1.0));
        }
}

// A frame: bright rim, a faint inner line and ornaments at both ends; the
// inside stays almost clear so the back and the text show through.
void Frame(plat::Surface& s, int top, uint32_t rim, uint32_t accent) {
    RoundBox(s, 0, top, kWidth, top + kRow, 12, 0x18FFFFFF, 0x08FFFFFF, rim, 3);
    RoundBox(s, 6, top + 6, kWidth - 6, top + kRow - 6, 8, 0x00000000, 0x00000000, 0x90FFFFFF, 1);
    for (int cx : {18, kWidth - 18})
        Diamond(s, cx, top + kRow / 2, 6, accent);
}

// A back: a light panel the black text reads well on (drawn at 80 %).
void Back(plat::Surface& s, int top, uint32_t upper, uint32_t lower) {
    RoundBox(s, 0, top, kWidth, top + kRow, 12, upper, lower, lower, 1);
}

} // namespace

plat::Surface SelectWindowPicture() {
    plat::Surface s(kWidth, 4 * kRow);
    Frame(s, 0, 0xFFF2E6C8, 0xFFE0A030);
    Frame(s, kRow, 0xFFD8E6F8, 0xFF4A8FD8);
    Back(s, 2 * kRow, 0xFFFFFBF0, 0xFFE8DCC0);
    Back(s, 3 * kRow, 0xFFF4F8FF, 0xFFD4E0F0);
    return s;
}

} // namespace screens
