#include "tools/pictures/save_load_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>

#include "platform/gdi_font.h"
#include "platform/surface.h"
#include "tools/pictures/paint.h"
#include "tools/pictures/picture_files.h"

namespace screens {

namespace {

using paint::Fill;
using paint::Gradient;
using paint::Mix;

// A box: a rim of `width` pixels around an inside gradient.
void Box(plat::Surface& s, int l, int t, int r, int b, uint32_t top, uint32_t bottom, uint32_t rim, int width) {
    Fill(s, l, t, r, b, rim);
    Gradient(s, l + width, t + width, r - width, b - width, top, bottom);
}

// Shift-JIS text through the game's font layer, blended over the surface's
// colour (its alpha kept at least as opaque as the ink).
class Ink {
public:
    void Draw(plat::Surface& s, int x, int y, const char* text, int height, uint32_t argb, int weight = 400) {
        plat::GdiFont* f = Font(height, weight);
        if (!f)
            return;
        const int baseline = y + f->metrics().ascent;
        const auto* p = reinterpret_cast<const unsigned char*>(text);
        while (*p) {
            const bool lead = (*p >= 0x81 && *p <= 0x9F) || (*p >= 0xE0 && *p <= 0xFC);
            const uint16_t code = lead && p[1] ? static_cast<uint16_t>(p[0] << 8 | p[1]) : *p;
            p += lead && p[1] ? 2 : 1;
            const plat::GlyphBitmap* g = f->GetGlyph(code, plat::GlyphFormat::kCoverage);
            if (!g)
                continue;
            for (int gy = 0; gy < g->height; ++gy)
                for (int gx = 0; gx < g->width; ++gx) {
                    const int px = x + g->originX + gx, py = baseline - g->originY + gy;
                    if (s.Contains(px, py) && g->At(gx, gy)) {
                        uint32_t& d = s.Row(py)[px];
                        const uint32_t a = std::max(d >> 24, argb >> 24);
                        d = (Mix(d, argb, g->At(gx, gy) / 255.0) & 0x00FFFFFF) | (a << 24);
                    }
                }
            x += g->advance;
        }
    }
    int Width(const char* text, int height, int weight = 400) {
        plat::GdiFont* f = Font(height, weight);
        int w = 0;
        const auto* p = reinterpret_cast<const unsigned char*>(text);
        while (f && *p) {
            const bool lead = (*p >= 0x81 && *p <= 0x9F) || (*p >= 0xE0 && *p <= 0xFC);
            const uint16_t code = lead && p[1] ? static_cast<uint16_t>(p[0] << 8 | p[1]) : *p;
            p += lead && p[1] ? 2 : 1;
            if (const plat::GlyphBitmap* g = f->GetGlyph(code, plat::GlyphFormat::kCoverage))
                w += g->advance;
        }
        return w;
    }
    void Centred(plat::Surface& s, int l, int t, int r, int b, const char* text, int height, uint32_t argb) {
        plat::GdiFont* f = Font(height, 400);
        if (f)
            Draw(s, l + (r - l - Width(text, height)) / 2, t + (b - t - f->metrics().height) / 2, text, height, argb);
    }

private:
    plat::GdiFont* Font(int height, int weight) {
        auto& slot = fonts_[height * 1000 + weight];
        if (!slot) {
            plat::FontSpec spec;
            spec.height = height;
            spec.weight = weight;
            spec.quality = plat::FontQuality::kAntialiased;
            slot = plat::GdiFont::Create(spec);
        }
        return slot.get();
    }
    std::map<int, std::unique_ptr<plat::GdiFont>> fonts_;
};

// The back button's picture. Both screens cut it from the one sheet; the
// load screen draws it only over a game, so its place in the load
// background stays plain and the picture alone makes up its normal look at
// half strength over that ground. The save background is made to suit it.
paint::ButtonPainter BackLook(paint::Captions& cap) {
    return [&cap](plat::Surface& p, paint::ButtonLook look) { paint::Button(p, cap, 0, 0, 168, "戻る", look); };
}

// The sheet: slot frames (304 x 36 cells, columns of ten), the plates
// (296 x 32: normal, load-hovered, save-hovered) and the two buttons
// (168 x 24: normal above pressed).
plat::Surface Material(paint::Captions& cap, const plat::Surface& back) {
    plat::Surface s(912, 456);
    for (int n = 1; n <= 30; ++n) {
        const int l = (n - 1) / 10 * 304, t = (n - 1) % 10 * 36;
        // A rim with a clear inside: the plate shows through, the caption over it.
        Fill(s, l + 1, t + 1, l + 303, t + 3, 0xFF2A4A8A);
        Fill(s, l + 1, t + 33, l + 303, t + 35, 0xFF2A4A8A);
        Fill(s, l + 1, t + 1, l + 3, t + 35, 0xFF2A4A8A);
        Fill(s, l + 301, t + 1, l + 303, t + 35, 0xFF2A4A8A);
        Fill(s, l + 3, t + 3, l + 303 - 2, t + 4, 0xFFF4C430);
        char label[8];
        std::snprintf(label, sizeof label, "NO.%02d", n);
        DrawLabel(s, l + 8, t + 24, label, 0xFF5A6A8A, 1);
    }
    const uint32_t plates[3][2] = {{0xFFF8F6F0, 0xFFE4E0D4}, {0xFFE8F8D8, 0xFFB8E0A0}, {0xFFE0ECFF, 0xFFA8C4F0}};
    for (int k = 0; k < 3; ++k)
        Box(s, 0, 360 + 32 * k, 296, 392 + 32 * k, plates[k][0], plates[k][1], 0xFFB0B8C8, 1);
    // The buttons' pictures and pushed looks; the backgrounds make up the
    // normal look under the half-strength draw where the button is always
    // drawn.
    const char* labels[2] = {"戻る", "タイトルへ"};
    paint::Put(s, 296, 384, back);
    paint::Button(s, cap, 464, 384, 632, labels[1], paint::ButtonLook::kHover);
    for (int b = 0; b < 2; ++b) {
        const int l = 296 + 168 * b;
        paint::Button(s, cap, l, 408, l + 168, labels[b], paint::ButtonLook::kPushed);
    }
    return s;
}

// A screen's background: its name at the top, a hint on the right beside the
// slots, a panel under the two buttons and, under each button the screen
// always draws, what makes its half-strength draw read as a live button. The
// load screen opened from the title has no back button, so nothing lies in
// its place there; the save screen's lies under `back`, the back button's
// picture.
plat::Surface Background(Ink& ink, paint::Captions& cap, bool load, const plat::Surface* back) {
    plat::Surface s(800, 600);
    Gradient(s, 0, 0, 800, 600, load ? 0xFF2A5A3A : 0xFF2A3A6A, load ? 0xFF102418 : 0xFF101828);
    Fill(s, 0, 0, 800, 50, load ? 0xFF1A3A24 : 0xFF1A2444);
    Fill(s, 0, 48, 800, 50, 0xFFF4C430);
    ink.Draw(s, 16, 6, load ? "ロード" : "セーブ", 36, 0xFFFFFFFF, 700);
    DrawLabel(s, 150, 22, load ? "LOAD" : "SAVE", 0xFFF4C430, 2);
    Box(s, 628, 60, 792, 520, load ? 0xFF3A6A4A : 0xFF3A4A7A, load ? 0xFF1E3A28 : 0xFF202C50, 0xFF8090C0, 1);
    const char* hint[3] = {load ? "読み込む" : "記録する", "データを", "選んでください"};
    for (int i = 0; i < 3; ++i)
        ink.Draw(s, 640, 76 + 26 * i, hint[i], 16, 0xFFFFFFFF);
    ink.Draw(s, 640, 170, "矢印キーでも", 14, 0xFFC0C8E0);
    ink.Draw(s, 640, 190, "選べます", 14, 0xFFC0C8E0);
    Fill(s, 620, 530, 800, 600, load ? 0xFF0C1A10 : 0xFF0C1020);
    if (back)
        paint::HalfStrengthUnder(s, 624, 536, *back, BackLook(cap));
    paint::HalfStrengthUnder(s, 624, 568, 168, 24, [&](plat::Surface& p, paint::ButtonLook look) {
        paint::Button(p, cap, 0, 0, 168, "タイトルへ", look);
    });
    return s;
}

} // namespace

std::vector<std::pair<std::string, std::string>> SaveLoadPictures() {
    Ink ink;
    paint::Captions cap;
    const plat::Surface loadBG = Background(ink, cap, true, nullptr);
    const plat::Surface back = paint::HalfStrengthPicture(loadBG, 624, 536, 168, 24, BackLook(cap));
    return {
        {"SaveBG.bmp", EncodeBmp24(Background(ink, cap, false, &back))},
        {"LoadBG.bmp", EncodeBmp24(loadBG)},
        {"SaveLoadMaterial.dds", EncodeDds32(Material(cap, back))},
    };
}

} // namespace screens
