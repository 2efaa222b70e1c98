#include "tools/pictures/gallery_bar_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/pictures/paint.h"
#include "tools/pictures/picture_files.h"

namespace screens {

namespace {

using namespace paint;

enum Look { kNormal, kHover, kPressed, kDisabled };

struct Style {
    uint32_t top, bottom, rim, ink;
    int shift; // a pressed button's content sits one pixel lower
};

Style StyleOf(Look look, bool warm) {
    switch (look) {
        case kHover:
            return warm ? Style{0xFFD86A48, 0xFFA83A20, 0xFFF4C430, 0xFFFFF4D0, 0}
                        : Style{0xFF4A78C8, 0xFF2A4A8A, 0xFFF4C430, 0xFFFFF0A0, 0};
        case kPressed: return {0xFFF4C430, 0xFFC08A10, 0xFFFFFFFF, 0xFF1A2232, 1};
        case kDisabled: return {0xA0606878, 0xA0404850, 0xC0909090, 0xFFA0A0A8, 0};
        default:
            return warm ? Style{0xF0A04830, 0xF0702818, 0xFFFFE8D8, 0xFFFFFFFF, 0}
                        : Style{0xF02A4A8A, 0xF0182C5A, 0xFFE8ECFF, 0xFFFFFFFF, 0};
    }
}

// Fills a triangle with 4 x 4 samples a pixel, for soft edges.
void Triangle(plat::Surface& s, double ax, double ay, double bx, double by, double cx, double cy, uint32_t argb) {
    auto side = [](double px, double py, double x0, double y0, double x1, double y1) {
        return (x1 - x0) * (py - y0) - (y1 - y0) * (px - x0);
    };
    const int l = static_cast<int>(std::floor(std::min({ax, bx, cx})));
    const int r = static_cast<int>(std::ceil(std::max({ax, bx, cx})));
    const int t = static_cast<int>(std::floor(std::min({ay, by, cy})));
    const int b = static_cast<int>(std::ceil(std::max({ay, by, cy})));
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x) {
            int inside = 0;
            for (int k = 0; k < 16; ++k) {
                const double px = x + (k % 4 + 0.5) / 4, py = y + (k / 4 + 0.5) / 4;
                const double d0 = side(px, py, ax, ay, bx, by), d1 = side(px, py, bx, by, cx, cy),
                             d2 = side(px, py, cx, cy, ax, ay);
                inside += (d0 >= 0 && d1 >= 0 && d2 >= 0) || (d0 <= 0 && d1 <= 0 && d2 <= 0);
            }
            if (inside && s.Contains(x, y))
                Blend(s.Row(y)[x], argb, inside / 16.0);
        }
}

// One look of a bar's buttons, drawn from (ox, oy) at the places the bar
// cuts them (save, load, volume up and down on the first row, config and
// window-hide on the second, BACK, NEXT, play and stop below).
class BarLook {
public:
    BarLook(plat::Surface& s, Captions& cap, int ox, int oy, Look look) : s_(s), cap_(cap), ox_(ox), oy_(oy), look_(look) {}

    // BACK or NEXT (dir -1 / 1): a skip arrow over its caption.
    void Step(int dir, const char* caption) {
        const int l = dir < 0 ? 0 : 56;
        const Style st = Box(l + 2, 50, l + 54, 110, 10, false);
        const double cx = ox_ + l + 28, cy = oy_ + 70 + st.shift;
        const double bar = cx + dir * 11;
        Fill(s_, static_cast<int>(bar) - 2, static_cast<int>(cy) - 9, static_cast<int>(bar) + 1,
             static_cast<int>(cy) + 10, st.ink);
        Triangle(s_, cx - dir * 8, cy - 10, cx - dir * 8, cy + 10, cx + dir * 9, cy, st.ink);
        Caption(l, 86, l + 56, 106, caption, st);
    }

    // Play: a right-pointing triangle and its caption, clear of the stop
    // button that overlaps the bottom of its piece.
    void Play() {
        const Style st = Box(115, 49, 165, 82, 8, false);
        const double cy = oy_ + 65.5 + st.shift;
        Triangle(s_, ox_ + 122, cy - 7, ox_ + 122, cy + 7, ox_ + 134, cy, st.ink);
        Caption(134, 49, 164, 82, "再生", st);
    }

    // Stop: a square and its caption.
    void Stop() {
        const Style st = Box(171, 54, 221, 81, 8, false);
        const int cy = oy_ + 67 + st.shift;
        Fill(s_, ox_ + 177, cy - 6, ox_ + 189, cy + 6, st.ink);
        Caption(190, 54, 220, 81, "停止", st);
    }

    // The gallery's way back out of the full view, in a warm colour: a
    // hooked arrow and "戻る".
    void Return() {
        const Style st = Box(171, 52, 221, 82, 8, true);
        const int cy = oy_ + 67 + st.shift, x = ox_ + 176;
        Fill(s_, x + 4, cy - 7, x + 15, cy - 4, st.ink);
        Fill(s_, x + 12, cy - 7, x + 15, cy + 4, st.ink);
        Fill(s_, x + 7, cy + 1, x + 15, cy + 4, st.ink);
        Triangle(s_, x + 7, cy - 3.5, x + 7, cy + 8.5, x, cy + 2.5, st.ink);
        Caption(190, 52, 221, 82, "戻る", st);
    }

    void Hide() {
        const Style st = Box(73, 25, 143, 47, 8, false);
        Caption(72, 24, 144, 48, "隠す", st);
    }

    // Volume up and down: plus and minus; the two pieces overlap on the bar
    // by four rows, so each keeps to its own part.
    void Volume() {
        Style st = Box(145, 1, 159, 20, 3, false);
        const int cx = ox_ + 152, up = oy_ + 10 + st.shift;
        Fill(s_, cx - 4, up - 1, cx + 4, up + 1, st.ink);
        Fill(s_, cx - 1, up - 4, cx + 1, up + 4, st.ink);
        st = Box(161, 5, 175, 24, 3, false);
        const int down = oy_ + 14 + st.shift;
        Fill(s_, cx + 16 - 4, down - 1, cx + 16 + 4, down + 1, st.ink);
    }

private:
    Style Box(int l, int t, int r, int b, int radius, bool warm) {
        const Style st = StyleOf(look_, warm);
        Panel(s_, ox_ + l, oy_ + t, ox_ + r, oy_ + b, st.top, st.bottom, st.rim, radius, 1);
        return st;
    }
    void Caption(int l, int t, int r, int b, const char* text, const Style& st) {
        cap_.Centred(s_, ox_ + l, oy_ + t + st.shift, ox_ + r, oy_ + b + st.shift, text, 12, st.ink, 0, 700);
    }

    plat::Surface& s_;
    Captions& cap_;
    int ox_, oy_;
    Look look_;
};

// Frame (0,0)-(228,116) with the bar's name in its top strip, where the
// unused save and load pieces would be, and a darker back panel
// (228,0)-(456,116) that the bar lays under it at half strength.
void Frame(plat::Surface& s, Captions& cap, const char* name) {
    Panel(s, 0, 0, 228, 116, 0xC0203456, 0xC0101a2c, 0xFFE8ECFF, 12, 2);
    Fill(s, 12, 21, 196, 22, 0x80F4C430);
    cap.Draw(s, 12, 4, name, 14, 0xFFF4C430, 700);
    cap.Centred(s, 196, 82, 228, 98, "音量", 10, 0xFFC8D0E8);
    Panel(s, 228, 0, 456, 116, 0xFF0A1020, 0xFF0A1020, 0xFF0A1020, 12, 1);
}

plat::Surface GalleryBar(Captions& cap) {
    plat::Surface s(456, 344);
    Frame(s, cap, "ギャラリー");
    const int at[4][2] = {{0, 116}, {224, 116}, {0, 232}, {224, 232}};
    for (int k = 0; k < 4; ++k) {
        BarLook look(s, cap, at[k][0], at[k][1], static_cast<Look>(k));
        look.Step(-1, "前へ");
        look.Step(1, "次へ");
        look.Return();
        look.Hide();
        look.Volume();
    }
    return s;
}

plat::Surface MusicBar(Captions& cap) {
    plat::Surface s(456, 344);
    Frame(s, cap, "♪ 音楽鑑賞");
    const int at[4][2] = {{0, 116}, {224, 116}, {0, 232}, {224, 232}};
    for (int k = 0; k < 4; ++k) {
        BarLook look(s, cap, at[k][0], at[k][1], static_cast<Look>(k));
        look.Step(-1, "前の曲");
        look.Step(1, "次の曲");
        look.Play();
        look.Stop();
        look.Volume();
    }
    return s;
}

} // namespace

std::vector<std::pair<std::string, std::string>> GalleryBarPictures() {
    Captions cap;
    return {{"CGReplay_Controller.dds", EncodeDds32(GalleryBar(cap))},
            {"BGM_Controller.dds", EncodeDds32(MusicBar(cap))}};
}

} // namespace screens
