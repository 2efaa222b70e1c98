#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/gdi_font.h"
#include "platform/surface.h"

namespace plat {

// Colours as the engine passes them to text and rectangle drawing: 0x00BBGGRR.
using ColorRef = uint32_t;
constexpr ColorRef kInvalidColor = 0xFFFFFFFFu;
constexpr ColorRef MakeColorRef(int r, int g, int b) {
    return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr uint32_t ColorRefToArgb(ColorRef c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr ColorRef ArgbToColorRef(uint32_t argb) {
    return ((argb >> 16) & 0xFFu) | (argb & 0xFF00u) | ((argb & 0xFFu) << 16);
}

struct GdiRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

enum class BkMode : int { kTransparent = 1, kOpaque = 2 };

enum class PenStyle : int { kSolid = 0, kNull = 5 };
struct GdiPen {
    PenStyle style = PenStyle::kSolid;
    int width = 1;
    ColorRef color = 0;
};

struct GdiBrush {
    bool hollow = false;
    ColorRef color = 0xFFFFFF;
};

// Formatting flags of DrawText (the values the engine passes).
enum : uint32_t {
    kDtLeft = 0x0,
    kDtCenter = 0x1,
    kDtRight = 0x2,
    kDtVCenter = 0x4,
    kDtBottom = 0x8,
    kDtWordBreak = 0x10,
    kDtSingleLine = 0x20,
    kDtNoClip = 0x100,
    kDtCalcRect = 0x400,
};

// A device context over a surface: the selected font, pen and brush, text
// colour and background, an optional clip list; drawing goes straight into
// the surface's pixels (alpha set opaque where drawn). Objects selected in are
// not owned.
class GdiDc {
public:
    explicit GdiDc(Surface* target);

    Surface* surface() const { return target_; }
    // A lost surface hands out no device context.
    bool valid() const { return target_ && !target_->lost; }

    BkMode SetBkMode(BkMode mode);
    ColorRef SetBkColor(ColorRef color);
    ColorRef SetTextColor(ColorRef color);
    ColorRef textColor() const { return textColor_; }
    const GdiFont* SelectFont(const GdiFont* font);
    const GdiPen* SelectPen(const GdiPen* pen);
    const GdiBrush* SelectBrush(const GdiBrush* brush);
    const GdiFont* font() const { return font_; }

    // Clip rectangles in surface pixels; empty = the whole surface.
    void SetClipRects(std::vector<GdiRect> rects) { clip_ = std::move(rects); }

    bool GetTextMetrics(TextMetrics* out) const;
    // Width in pixels of `count` bytes of Shift-JIS text (count < 0: up to NUL).
    int TextWidth(const char* text, int count) const;
    // Text with its cell's top-left at (x, y). False without a font or text.
    bool TextOut(int x, int y, const char* text, int count);
    // Text laid out in a rectangle; returns the height of the text, 0 on failure.
    int DrawText(const char* text, int count, GdiRect* rect, uint32_t format);

    // Outline with the pen, inside with the brush; right and bottom exclusive.
    bool Rectangle(int left, int top, int right, int bottom);
    // Fills left..right-1, top..bottom-1.
    bool FillRect(const GdiRect& rect, const GdiBrush& brush);

    ColorRef GetPixel(int x, int y) const;
    ColorRef SetPixel(int x, int y, ColorRef color);

private:
    bool Visible(int x, int y) const;
    void Fill(int left, int top, int right, int bottom, uint32_t argb);
    void Blend(int x, int y, uint32_t argb, int coverage);
    int CharAdvance(uint16_t code, int bytes) const;
    // One laid-out line of DrawText: its bytes and its width in pixels.
    struct TextLine {
        size_t begin;
        size_t end;
        int width;
    };
    std::vector<TextLine> LayoutLines(std::string_view s, int areaWidth, bool single, bool wrap) const;

    Surface* target_;
    const GdiFont* font_ = nullptr;
    const GdiPen* pen_;
    const GdiBrush* brush_;
    ColorRef textColor_ = 0;
    ColorRef bkColor_ = 0xFFFFFF;
    BkMode bkMode_ = BkMode::kOpaque;
    std::vector<GdiRect> clip_;
};

} // namespace plat
