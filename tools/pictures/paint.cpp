#include "tools/pictures/paint.h"

#include <algorithm>
#include <cmath>

namespace paint {

namespace {

uint8_t Ch(uint32_t c, int shift) { return static_cast<uint8_t>((c >> shift) & 0xFF); }

} // namespace

uint32_t Mix(uint32_t a, uint32_t b, double t) {
    uint32_t out = 0;
    for (int s = 0; s < 32; s += 8)
        out |= static_cast<uint32_t>(std::lround(Ch(a, s) + (Ch(b, s) - Ch(a, s)) * t)) << s;
    return out;
}

void Blend(uint32_t& dst, uint32_t colour, double coverage) {
    const double sa = Ch(colour, 24) / 255.0 * coverage;
    if (sa <= 0)
        return;
    const double da = Ch(dst, 24) / 255.0;
    const double oa = sa + da * (1 - sa);
    uint32_t out = static_cast<uint32_t>(std::lround(oa * 255)) << 24;
    for (int s = 0; s < 24; s += 8) {
        const double c = (Ch(colour, s) * sa + Ch(dst, s) * da * (1 - sa)) / oa;
        out |= static_cast<uint32_t>(std::lround(std::min(255.0, c))) << s;
    }
    dst = out;
}

void Fill(plat::Surface& s, int l, int t, int r, int b, uint32_t argb) {
    for (int y = std::max(0, t); y < std::min(b, s.height); ++y)
        for (int x = std::max(0, l); x < std::min(r, s.width); ++x)
            s.Row(y)[x] = argb;
}

void Put(plat::Surface& s, int l, int t, const plat::Surface& picture) {
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (s.Contains(l + x, t + y))
                s.Row(t + y)[l + x] = picture.Row(y)[x];
}

void Gradient(plat::Surface& s, int l, int t, int r, int b, uint32_t top, uint32_t bottom) {
    for (int y = t; y < b; ++y)
        Fill(s, l, y, r, y + 1, Mix(top, bottom, double(y - t) / std::max(1, b - t - 1)));
}

void Panel(plat::Surface& s, int l, int t, int r, int b, uint32_t top, uint32_t bottom, uint32_t rim, int radius,
           int rimWidth) {
    for (int y = std::max(0, t); y < std::min(b, s.height); ++y)
        for (int x = std::max(0, l); x < std::min(r, s.width); ++x) {
            const double dx = std::max({double(l + radius) - (x + 0.5), (x + 0.5) - double(r - radius), 0.0});
            const double dy = std::max({double(t + radius) - (y + 0.5), (y + 0.5) - double(b - radius), 0.0});
            const double d = (dx > 0 && dy > 0) ? std::hypot(dx, dy) : std::max(dx, dy);
            if (d > radius)
                continue;
            const double edge = std::min(1.0, radius - d + 0.5); // soft outer edge
            const bool onRim = d > radius - rimWidth ||
                               (dx == 0 && dy == 0 &&
                                (x < l + rimWidth || y < t + rimWidth || x >= r - rimWidth || y >= b - rimWidth));
            Blend(s.Row(y)[x], onRim ? rim : Mix(top, bottom, double(y - t) / std::max(1, b - t - 1)), edge);
        }
}

void Ellipse(plat::Surface& s, double cx, double cy, double rx, double ry, uint32_t argb) {
    for (int y = std::max(0, int(cy - ry) - 1); y <= std::min(s.height - 1, int(cy + ry) + 1); ++y)
        for (int x = std::max(0, int(cx - rx) - 1); x <= std::min(s.width - 1, int(cx + rx) + 1); ++x) {
            const double d = std::hypot((x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry);
            const double edge = std::clamp((1 - d) * std::min(rx, ry), 0.0, 1.0);
            Blend(s.Row(y)[x], argb, edge);
        }
}

namespace {

// Calls f with each character code of a Shift-JIS string.
template <class F>
void ForEachCode(const char* text, F f) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        const bool lead = (*p >= 0x81 && *p <= 0x9F) || (*p >= 0xE0 && *p <= 0xFC);
        if (lead && p[1]) {
            f(static_cast<uint16_t>(p[0] << 8 | p[1]));
            p += 2;
        } else {
            f(static_cast<uint16_t>(*p++));
        }
    }
}

} // namespace

int Captions::Width(const char* text, int height, int weight) {
    plat::GdiFont* f = FontFor(height, weight);
    if (!f)
        return 0;
    int w = 0;
    ForEachCode(text, [&](uint16_t code) {
        if (const plat::GlyphBitmap* g = f->GetGlyph(code, plat::GlyphFormat::kCoverage))
            w += g->advance;
    });
    return w;
}

void Captions::Draw(plat::Surface& s, int x, int y, const char* text, int height, uint32_t argb, int weight) {
    plat::GdiFont* f = FontFor(height, weight);
    if (!f)
        return;
    const int baseline = y + f->metrics().ascent;
    int pen = x;
    ForEachCode(text, [&](uint16_t code) {
        const plat::GlyphBitmap* g = f->GetGlyph(code, plat::GlyphFormat::kCoverage);
        if (!g)
            return;
        for (int gy = 0; gy < g->height; ++gy)
            for (int gx = 0; gx < g->width; ++gx) {
                const int px = pen + g->originX + gx, py = baseline - g->originY + gy;
                if (s.Contains(px, py) && g->At(gx, gy))
                    Blend(s.Row(py)[px], argb, g->At(gx, gy) / 255.0);
            }
        pen += g->advance;
    });
    drawn_ = true;
}

void Captions::Outlined(plat::Surface& s, int x, int y, const char* text, int height, uint32_t argb, uint32_t outline,
                        int weight, int width) {
    for (int dy = -width; dy <= width; ++dy)
        for (int dx = -width; dx <= width; ++dx)
            if (dx || dy)
                Draw(s, x + dx, y + dy, text, height, outline, weight);
    Draw(s, x, y, text, height, argb, weight);
}

void Captions::Centred(plat::Surface& s, int l, int t, int r, int b, const char* text, int height, uint32_t argb,
                       uint32_t outline, int weight) {
    plat::GdiFont* f = FontFor(height, weight);
    if (!f)
        return;
    const int x = l + (r - l - Width(text, height, weight)) / 2;
    const int y = t + (b - t - f->metrics().height) / 2;
    if (outline)
        Outlined(s, x, y, text, height, argb, outline, weight);
    else
        Draw(s, x, y, text, height, argb, weight);
}

void Button(plat::Surface& s, Captions& cap, int l, int t, int r, const char* text, ButtonLook look) {
    struct Style {
        uint32_t top, bottom, rim, text;
        int shift;
    };
    static constexpr Style kStyles[3] = {{0xFF2A4A8A, 0xFF182C5A, 0xFFFFFFFF, 0xFFFFFFFF, 0},
                                         {0xFF4A78C8, 0xFF2A4A8A, 0xFFFFFFFF, 0xFFFFFFFF, 0},
                                         {0xFFF4C430, 0xFFC08A10, 0xFFFFFFFF, 0xFF1A2232, 1}};
    const Style& st = kStyles[static_cast<int>(look)];
    Panel(s, l + 1, t + 1, r - 1, t + 23, st.top, st.bottom, st.rim, 10, 2);
    cap.Centred(s, l, t + st.shift, r, t + 24 + st.shift, text, 16, st.text);
}

namespace {

// The background at (l, t) with the normal look painted over it.
plat::Surface NormalOver(const plat::Surface& s, int l, int t, int w, int h, const ButtonPainter& look) {
    plat::Surface normal(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            normal.Row(y)[x] = s.Contains(l + x, t + y) ? s.Row(t + y)[l + x] : 0xFF000000u;
    look(normal, ButtonLook::kNormal);
    return normal;
}

} // namespace

void HalfStrengthUnder(plat::Surface& s, int l, int t, int w, int h, const ButtonPainter& look) {
    plat::Surface hover(w, h);
    look(hover, ButtonLook::kHover);
    HalfStrengthUnder(s, l, t, hover, look);
}

void HalfStrengthUnder(plat::Surface& s, int l, int t, const plat::Surface& picture, const ButtonPainter& look) {
    const int w = picture.width, h = picture.height;
    const plat::Surface normal = NormalOver(s, l, t, w, h, look);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!s.Contains(l + x, t + y))
                continue;
            const uint32_t n = normal.Row(y)[x], p = picture.Row(y)[x];
            const double a = (p >> 24) / 255.0 / 2;
            uint32_t out = 0xFF000000;
            for (int shift = 0; shift < 24; shift += 8) {
                const double c = (((n >> shift) & 0xFF) - ((p >> shift) & 0xFF) * a) / (1 - a);
                out |= static_cast<uint32_t>(std::lround(std::clamp(c, 0.0, 255.0))) << shift;
            }
            s.Row(t + y)[l + x] = out;
        }
}

plat::Surface HalfStrengthPicture(const plat::Surface& background, int l, int t, int w, int h,
                                  const ButtonPainter& look) {
    const plat::Surface normal = NormalOver(background, l, t, w, h, look);
    plat::Surface out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t n = normal.Row(y)[x];
            const uint32_t u = background.Contains(l + x, t + y) ? background.Row(t + y)[l + x] : 0xFF000000u;
            if (n == u)
                continue;
            uint32_t px = 0xFF000000;
            for (int shift = 0; shift < 24; shift += 8) {
                const int c = 2 * static_cast<int>((n >> shift) & 0xFF) - static_cast<int>((u >> shift) & 0xFF);
                px |= static_cast<uint32_t>(std::clamp(c, 0, 255)) << shift;
            }
            out.Row(y)[x] = px;
        }
    return out;
}

plat::GdiFont* Captions::FontFor(int height, int weight) {
    auto& slot = fonts_[{height, weight}];
    if (!slot) {
        plat::FontSpec spec;
        spec.height = height;
        spec.weight = weight;
        spec.quality = plat::FontQuality::kAntialiased;
        slot = plat::GdiFont::Create(spec);
    }
    return slot.get();
}

} // namespace paint
