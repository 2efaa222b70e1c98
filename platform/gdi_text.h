#pragma once
#include <cstdint>
#include <string_view>

#include "platform/gdi_dc.h"
#include "platform/surface.h"

namespace plat {

// Plain text drawing for the shell's own menu bar and dialogs: the engine's
// Japanese gothic face, anti-aliased, transparent background. Text is
// Shift-JIS (the program's literals are); fonts are kept per height/weight.

struct TextStyle {
    int height = 16;
    int weight = 400;
    ColorRef color = 0; // 0x00BBGGRR
    const GdiRect* clip = nullptr; // null: the whole surface
};

// Draws `sjis` with its cell's top-left at (x, y); returns the pen advance in
// pixels, or -1 when no Japanese font is available.
int SurfaceTextOut(Surface* surface, int x, int y, std::string_view sjis, const TextStyle& style);
// The width the same call would advance, -1 without a font.
int SurfaceTextWidth(std::string_view sjis, int height, int weight = 400);
// Text laid out in a rectangle (format: kDt* flags); returns its height, 0 on failure.
int SurfaceDrawText(Surface* surface, GdiRect rect, std::string_view sjis, const TextStyle& style, uint32_t format);

} // namespace plat
