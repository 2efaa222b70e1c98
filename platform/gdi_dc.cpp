#include "platform/gdi_dc.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#include "platform/sjis.h"

namespace plat {

namespace {

const GdiPen kDefaultPen{PenStyle::kSolid, 1, 0};
const GdiBrush kDefaultBrush{false, 0xFFFFFF};

uint16_t CodeAt(std::string_view s, size_t i, size_t len) {
    const auto b0 = static_cast<uint8_t>(s[i]);
    return len == 2 ? static_cast<uint16_t>(b0 << 8 | static_cast<uint8_t>(s[i + 1])) : b0;
}

// Positions are held well inside int range, so pen and box arithmetic cannot overflow; nothing that far
// out lies on a surface anyway.
constexpr int64_t kFar = 1 << 28;
int Near(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -kFar, kFar)); }

std::string_view Span(const char* text, int count) {
    if (!text)
        return {};
    return count < 0 ? std::string_view(text) : std::string_view(text, static_cast<size_t>(count));
}

// The existing clip list intersected with a rectangle (an empty list stands for the whole surface; an empty
// intersection clips everything away).
std::vector<GdiRect> ClipToRect(const std::vector<GdiRect>& clip, const GdiRect& rect) {
    std::vector<GdiRect> clipped;
    if (clip.empty()) {
        clipped.push_back(rect);
    } else {
        for (const GdiRect& r : clip) {
            GdiRect c{std::max(r.left, rect.left), std::max(r.top, rect.top), std::min(r.right, rect.right),
                      std::min(r.bottom, rect.bottom)};
            if (c.left < c.right && c.top < c.bottom)
                clipped.push_back(c);
        }
        if (clipped.empty())
            clipped.push_back(GdiRect{0, 0, 0, 0});
    }
    return clipped;
}

} // namespace

GdiDc::GdiDc(Surface* target) : target_(target), pen_(&kDefaultPen), brush_(&kDefaultBrush) {}

BkMode GdiDc::SetBkMode(BkMode mode) { return std::exchange(bkMode_, mode); }
ColorRef GdiDc::SetBkColor(ColorRef color) { return std::exchange(bkColor_, color & 0xFFFFFF); }
ColorRef GdiDc::SetTextColor(ColorRef color) { return std::exchange(textColor_, color & 0xFFFFFF); }
const GdiFont* GdiDc::SelectFont(const GdiFont* font) { return std::exchange(font_, font); }
const GdiPen* GdiDc::SelectPen(const GdiPen* pen) { return std::exchange(pen_, pen ? pen : &kDefaultPen); }
const GdiBrush* GdiDc::SelectBrush(const GdiBrush* brush) {
    return std::exchange(brush_, brush ? brush : &kDefaultBrush);
}

bool GdiDc::GetTextMetrics(TextMetrics* out) const {
    if (!font_ || !out)
        return false;
    *out = font_->metrics();
    return true;
}

bool GdiDc::Visible(int x, int y) const {
    if (!target_->Contains(x, y))
        return false;
    if (clip_.empty())
        return true;
    for (const GdiRect& r : clip_) {
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return true;
    }
    return false;
}

void GdiDc::Fill(int left, int top, int right, int bottom, uint32_t argb) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, target_->width);
    bottom = std::min(bottom, target_->height);
    for (int y = top; y < bottom; ++y) {
        uint32_t* row = target_->Row(y);
        for (int x = left; x < right; ++x) {
            if (clip_.empty() || Visible(x, y))
                row[x] = argb;
        }
    }
}

void GdiDc::Blend(int x, int y, uint32_t argb, int coverage) {
    if (coverage <= 0 || !Visible(x, y))
        return;
    uint32_t& px = target_->Row(y)[x];
    if (coverage >= 255) {
        px = argb;
        return;
    }
    const uint32_t inv = static_cast<uint32_t>(255 - coverage);
    const uint32_t cov = static_cast<uint32_t>(coverage);
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t s = (argb >> shift) & 0xFF;
        const uint32_t d = (px >> shift) & 0xFF;
        out |= ((s * cov + d * inv + 127) / 255) << shift;
    }
    px = out;
}

int GdiDc::CharAdvance(uint16_t code, int bytes) const {
    const GlyphBitmap* g = font_->GetGlyph(code, font_->TextFormat());
    if (g)
        return g->advance;
    // An unknown character still takes its cell, half or full width.
    const int h = font_->metrics().height;
    return bytes == 2 ? h : (h + 1) / 2;
}

int GdiDc::TextWidth(const char* text, int count) const {
    if (!font_)
        return 0;
    std::string_view s = Span(text, count);
    int width = 0;
    for (size_t i = 0; i < s.size();) {
        const size_t len = SjisCharLength(s, i);
        width += CharAdvance(CodeAt(s, i, len), static_cast<int>(len));
        i += len;
    }
    return width;
}

bool GdiDc::TextOut(int x, int y, const char* text, int count) {
    if (!valid() || !font_ || !text)
        return false;
    target_->Touch();
    std::string_view s = Span(text, count);
    const TextMetrics& m = font_->metrics();
    const GlyphFormat format = font_->TextFormat();
    const int top = GlyphFormatTop(format);
    const uint32_t ink = ColorRefToArgb(textColor_);
    x = Near(x);
    y = Near(y);
    const int baseline = y + m.ascent;
    int penX = x;
    for (size_t i = 0; i < s.size();) {
        const size_t len = SjisCharLength(s, i);
        const uint16_t code = CodeAt(s, i, len);
        i += len;
        const GlyphBitmap* g = font_->GetGlyph(code, format);
        const int advance = g ? g->advance : CharAdvance(code, static_cast<int>(len));
        if (bkMode_ == BkMode::kOpaque)
            Fill(penX, y, penX + advance, y + m.height, ColorRefToArgb(bkColor_));
        if (g) {
            const int ox = penX + g->originX;
            const int oy = baseline - g->originY;
            for (int gy = 0; gy < g->height; ++gy) {
                for (int gx = 0; gx < g->width; ++gx) {
                    const int v = g->At(gx, gy);
                    if (v)
                        Blend(ox + gx, oy + gy, ink, v * 255 / top);
                }
            }
        }
        penX = Near(static_cast<int64_t>(penX) + advance);
    }
    const int thickness = std::max(1, m.height / 16);
    if (font_->spec().underline)
        Fill(x, baseline + 1, penX, baseline + 1 + thickness, ink);
    if (font_->spec().strikeOut) {
        const int row = baseline - m.ascent / 3;
        Fill(x, row, penX, row + thickness, ink);
    }
    return true;
}

int GdiDc::DrawText(const char* text, int count, GdiRect* rect, uint32_t format) {
    if (!valid() || !font_ || !text || !rect)
        return 0;
    target_->Touch();
    std::string_view s = Span(text, count);
    const TextMetrics& m = font_->metrics();
    const int lineHeight = std::max(1, m.height);
    const int areaWidth = Near(static_cast<int64_t>(rect->right) - rect->left);
    const bool single = (format & kDtSingleLine) != 0;
    const bool wrap = (format & kDtWordBreak) != 0 && !single;

    const std::vector<TextLine> lines = LayoutLines(s, areaWidth, single, wrap);
    const int textHeight = lineHeight * static_cast<int>(lines.size());
    if (format & kDtCalcRect) {
        int widest = 0;
        for (const TextLine& l : lines)
            widest = std::max(widest, l.width);
        rect->right = Near(static_cast<int64_t>(rect->left) + widest);
        rect->bottom = Near(static_cast<int64_t>(rect->top) + textHeight);
        return textHeight;
    }
    int64_t y = rect->top;
    if (single && (format & kDtVCenter))
        y = rect->top + (static_cast<int64_t>(rect->bottom) - rect->top - lineHeight) / 2;
    if (single && (format & kDtBottom))
        y = static_cast<int64_t>(rect->bottom) - lineHeight;

    std::vector<GdiRect> saved = clip_;
    if (!(format & kDtNoClip))
        clip_ = ClipToRect(saved, *rect);
    for (const TextLine& l : lines) {
        int64_t x = rect->left;
        if (format & kDtCenter)
            x = rect->left + (static_cast<int64_t>(areaWidth) - l.width) / 2;
        else if (format & kDtRight)
            x = static_cast<int64_t>(rect->right) - l.width;
        TextOut(Near(x), Near(y), s.data() + l.begin, static_cast<int>(l.end - l.begin));
        y += lineHeight;
    }
    clip_ = std::move(saved);
    return textHeight;
}

// Breaks at line feeds (CR LF counts once) and, when wrapping, before the
// character that would cross the right edge (at the last blank of the line
// when there is one).
std::vector<GdiDc::TextLine> GdiDc::LayoutLines(std::string_view s, int areaWidth, bool single, bool wrap) const {
    std::vector<TextLine> lines;
    TextLine cur{0, 0, 0};
    size_t lastBlank = std::string_view::npos;
    int widthAtBlank = 0;
    for (size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (!single && (c == '\n' || c == '\r')) {
            cur.end = i;
            lines.push_back(cur);
            i += (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ? 2 : 1;
            cur = TextLine{i, i, 0};
            lastBlank = std::string_view::npos;
            continue;
        }
        const size_t len = SjisCharLength(s, i);
        const int adv = CharAdvance(CodeAt(s, i, len), static_cast<int>(len));
        if (wrap && cur.width > 0 && cur.width + adv > areaWidth) {
            if (lastBlank != std::string_view::npos && c != ' ') {
                lines.push_back(TextLine{cur.begin, lastBlank, widthAtBlank});
                cur.begin = lastBlank + 1;
                cur.width -= widthAtBlank + TextWidth(" ", 1);
            } else {
                cur.end = i;
                lines.push_back(cur);
                cur = TextLine{i, i, 0};
            }
            lastBlank = std::string_view::npos;
        }
        if (c == ' ') {
            lastBlank = i;
            widthAtBlank = cur.width;
        }
        cur.width += adv;
        i += len;
        cur.end = i;
    }
    cur.end = s.size();
    lines.push_back(cur);

    return lines;
}

bool GdiDc::Rectangle(int left, int top, int right, int bottom) {
    if (!valid())
        return false;
    target_->Touch();
    left = Near(left), top = Near(top), right = Near(right), bottom = Near(bottom);
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    if (!brush_->hollow)
        Fill(left, top, right, bottom, ColorRefToArgb(brush_->color));
    if (pen_->style == PenStyle::kNull)
        return true;
    // A pen of width w straddles the outline: w/2 outside, the rest inside.
    const int w = std::max(1, pen_->width);
    const int outL = left - w / 2, outT = top - w / 2;
    const int outR = right - 1 + (w - 1) / 2 + 1, outB = bottom - 1 + (w - 1) / 2 + 1;
    const uint32_t ink = ColorRefToArgb(pen_->color);
    Fill(outL, outT, outR, outT + w, ink);
    Fill(outL, outB - w, outR, outB, ink);
    Fill(outL, outT, outL + w, outB, ink);
    Fill(outR - w, outT, outR, outB, ink);
    return true;
}

bool GdiDc::FillRect(const GdiRect& rect, const GdiBrush& brush) {
    if (!valid())
        return false;
    target_->Touch();
    if (!brush.hollow)
        Fill(rect.left, rect.top, rect.right, rect.bottom, ColorRefToArgb(brush.color));
    return true;
}

ColorRef GdiDc::GetPixel(int x, int y) const {
    if (!valid() || !Visible(x, y))
        return kInvalidColor;
    return ArgbToColorRef(target_->Row(y)[x]);
}

ColorRef GdiDc::SetPixel(int x, int y, ColorRef color) {
    if (!valid() || !Visible(x, y))
        return kInvalidColor;
    target_->Touch();
    target_->Row(y)[x] = ColorRefToArgb(color);
    return color & 0xFFFFFF;
}

} // namespace plat
