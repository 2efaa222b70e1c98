#include "tools/pictures/music_room_pictures.h"

#include <cmath>
#include <cstdint>

#include "tools/pictures/paint.h"
#include "tools/pictures/picture_files.h"

namespace screens {

namespace {

using namespace paint;

constexpr uint32_t kGold = 0xFFF4C430, kNavy = 0xFF1A2A48;

// A ring of the given width.
void Ring(plat::Surface& s, double cx, double cy, double r, double width, uint32_t argb) {
    for (int y = static_cast<int>(cy - r) - 1; y <= static_cast<int>(cy + r) + 1; ++y)
        for (int x = static_cast<int>(cx - r) - 1; x <= static_cast<int>(cx + r) + 1; ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const double cover = std::min(std::min(1.0, r - d + 0.5), std::min(1.0, d - (r - width) + 0.5));
            if (cover > 0 && s.Contains(x, y))
                Blend(s.Row(y)[x], argb, cover);
        }
}

// Frame k of the playing mark at (l, t): a disc with three level bars that
// rise and fall from frame to frame; frame 0 is also the still mark.
void Mark(plat::Surface& s, int l, int t, int k) {
    static const int kLevels[4][3] = {{8, 14, 10}, {12, 8, 16}, {16, 12, 8}, {10, 16, 12}};
    Ellipse(s, l + 16, t + 16, 15, 15, kNavy);
    Ring(s, l + 16, t + 16, 15, 2, kGold);
    for (int i = 0; i < 3; ++i) {
        const int x = l + 9 + 6 * i, h = kLevels[k][i];
        Fill(s, x, t + 24 - h, x + 4, t + 24, i == 1 ? kGold : 0xFFFFFFFF);
    }
}

// The row pictures drawn over a plate: a well at the left where the mark
// sits, holding a note (tracks) or a film frame (the movie).
void RowPicture(plat::Surface& s, Captions& cap, int t, bool movie) {
    Ring(s, 20, t + 20, 14, 1.5, 0x80405070);
    if (movie) {
        Panel(s, 11, t + 13, 29, t + 27, 0xC0405070, 0xC0405070, 0xC0405070, 2, 1);
        for (int k = 0; k < 3; ++k) {
            Fill(s, 13 + 5 * k, t + 14, 16 + 5 * k, t + 16, 0xFFFFFFFF);
            Fill(s, 13 + 5 * k, t + 24, 16 + 5 * k, t + 26, 0xFFFFFFFF);
        }
    } else {
        cap.Centred(s, 6, t + 6, 34, t + 34, "♪", 18, 0xA0405070, 0, 700);
    }
    Fill(s, 36, t + 33, 386, t + 34, 0x40405070); // a rule under the text
}

// The exit button in one look, its top at t.
void ExitButton(plat::Surface& s, Captions& cap, int t, ButtonLook look) {
    const bool pressed = look == ButtonLook::kPushed;
    if (pressed)
        Panel(s, 65, t + 1, 327, t + 23, kGold, 0xFFC08A10, 0xFFFFFFFF, 11, 2);
    else if (look == ButtonLook::kHover)
        Panel(s, 65, t + 1, 327, t + 23, 0xFF4A78C8, 0xFF2A4A8A, 0xFFFFFFFF, 11, 2);
    else
        Panel(s, 65, t + 1, 327, t + 23, 0xFF2A4A8A, 0xFF182C5A, 0xFFFFFFFF, 11, 2);
    const uint32_t ink = pressed ? 0xFF1A2232 : 0xFFFFFFFF;
    const int shift = pressed ? 1 : 0, cy = t + 12 + shift;
    Fill(s, 138, cy - 1, 152, cy + 1, ink);
    for (int d = 0; d <= 5; ++d) // arrow head pointing left
        Fill(s, 132 + d, cy - d, 133 + d, cy + d + 1, ink);
    cap.Centred(s, 150, t + shift, 270, t + 24 + shift, "タイトルへ戻る", 14, ink, 0, 700);
}

plat::Surface Material(Captions& cap) {
    plat::Surface s(424, 208);
    RowPicture(s, cap, 0, false);
    RowPicture(s, cap, 40, true);
    // Plates, laid at 80 % under the row: plain, and lit with a gold rim.
    Panel(s, 1, 81, 391, 119, 0xFFF6F8FC, 0xFFD8DEEA, 0xFF8A98B8, 9, 1);
    Panel(s, 1, 121, 391, 159, 0xFFFFFAE8, 0xFFF6E2B0, kGold, 9, 2);
    Mark(s, 0, 160, 0);
    Mark(s, 328, 160, 1);
    Mark(s, 360, 160, 2);
    Mark(s, 392, 160, 3);
    // The exit button's hover and pushed looks; the background makes up the
    // normal look under the half-strength draw.
    ExitButton(s, cap, 160, ButtonLook::kHover);
    ExitButton(s, cap, 184, ButtonLook::kPushed);
    return s;
}

// Background: a title band, faint staff lines, the movie row's heading and
// a hint under the left column.
plat::Surface Background(Captions& cap) {
    plat::Surface s(800, 600);
    Gradient(s, 0, 0, 800, 600, 0xFF22345A, 0xFF0C1424);
    Gradient(s, 0, 0, 800, 46, 0xFF2E4A7E, 0xFF1A2C50);
    Fill(s, 0, 46, 800, 48, kGold);
    cap.Outlined(s, 16, 7, "音楽鑑賞", 30, 0xFFFFFFFF, 0xFF1A2A48, 700, 2);
    cap.Draw(s, 160, 20, "ＭＵＳＩＣ　ＲＯＯＭ", 14, 0xFFB0C4E8);
    for (int i = 0; i < 5; ++i) // staff lines across the free space
        Fill(s, 0, 356 + 10 * i, 396, 357 + 10 * i, 0x30FFFFFF);
    for (int k = 0; k < 5; ++k)
        Ellipse(s, 60 + 70 * k, 386 - 8 * (k % 3), 6, 4.5, 0x50FFFFFF);
    cap.Draw(s, 12, 414, "曲名をクリックすると再生します。", 14, 0xFFD8E0F0);
    cap.Draw(s, 12, 434, "曲が終わると次の曲へ進みます。", 14, 0xFFD8E0F0);
    cap.Draw(s, 410, 346, "ムービー", 16, kGold, 700);
    Fill(s, 480, 355, 796, 356, 0x60F4C430);
    // Under the exit button at (468, 416), cut from (64, 160) of the sheet.
    HalfStrengthUnder(s, 468, 416, 264, 24, [&](plat::Surface& p, ButtonLook look) {
        plat::Surface whole(392, 24);
        ExitButton(whole, cap, 0, look);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 264; ++x)
                Blend(p.Row(y)[x], whole.Row(y)[64 + x], 1.0);
    });
    return s;
}

} // namespace

std::vector<std::pair<std::string, std::string>> MusicRoomPictures() {
    Captions cap;
    return {{"BGMModeBG.bmp", EncodeBmp24(Background(cap))}, {"BGMModeMaterial.dds", EncodeDds32(Material(cap))}};
}

} // namespace screens
