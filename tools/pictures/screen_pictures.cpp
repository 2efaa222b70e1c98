#include "tools/pictures/screen_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include "platform/surface.h"
#include "tools/pictures/exam_pictures.h"
#include "tools/pictures/gallery_bar_pictures.h"
#include "tools/pictures/paint.h"
#include "tools/pictures/picture_files.h"
#include "tools/pictures/select_window_picture.h"

namespace screens {

namespace {

using namespace paint;

bool g_captionsDrawn = false;

plat::Surface Solid(int w, int h, uint32_t argb) {
    plat::Surface s(w, h);
    std::fill(s.pixels.begin(), s.pixels.end(), argb);
    return s;
}

// The studio logo: light shapes on black, as the logo screen is black
// around it.
plat::Surface Logo(Captions& cap) {
    plat::Surface s = Solid(420, 298, 0xFF000000);
    // An emblem: a ring with a flower of five petals inside.
    Ellipse(s, 210, 104, 70, 70, 0xFFB8C8F0);
    Ellipse(s, 210, 104, 62, 62, 0xFF000000);
    for (int k = 0; k < 5; ++k) {
        const double a = k * 2 * M_PI / 5 - M_PI / 2;
        Ellipse(s, 210 + 28 * std::cos(a), 104 + 28 * std::sin(a), 19, 19, 0xFFE07A9A);
    }
    Ellipse(s, 210, 104, 12, 12, 0xFFF4C430);
    cap.Centred(s, 0, 188, 420, 236, "見本工房", 40, 0xFFFFFFFF, 0, 700);
    cap.Centred(s, 0, 240, 420, 264, "ＳＡＭＰＬＥ　ＷＯＲＫＳ", 16, 0xFF9AA8C8);
    return s;
}

plat::Surface TitleBackground(bool day) {
    plat::Surface s(800, 600);
    Gradient(s, 0, 0, 800, 600, day ? 0xFF5FA8E8 : 0xFF050A24, day ? 0xFFD8ECFF : 0xFF24305C);
    if (day) {
        Ellipse(s, 680, 90, 46, 46, 0x60FFFFE0);
        Ellipse(s, 680, 90, 34, 34, 0xFFFFF4C0);
        const int clouds[4][3] = {{110, 120, 60}, {520, 200, 46}, {300, 330, 40}, {700, 380, 52}};
        for (auto& c : clouds) {
            Ellipse(s, c[0], c[1], c[2] * 1.6, c[2] * 0.5, 0xE0FFFFFF);
            Ellipse(s, c[0] - c[2] * 0.5, c[1] - c[2] * 0.25, c[2] * 0.7, c[2] * 0.45, 0xE0FFFFFF);
            Ellipse(s, c[0] + c[2] * 0.4, c[1] - c[2] * 0.35, c[2] * 0.6, c[2] * 0.5, 0xE0FFFFFF);
        }
    } else {
        for (int i = 0; i < 160; ++i) {
            const int x = (i * 173 + 31) % 797, y = (i * 97 + 13) % 470;
            Ellipse(s, x, y, 1.2 + (i % 3) * 0.4, 1.2 + (i % 3) * 0.4, 0xFFFFFFE0);
        }
        // A crescent: the moon's disc less a disc shifted up and right.
        for (int y = 58; y < 142; ++y)
            for (int x = 618; x < 702; ++x) {
                const double inMoon = std::clamp(40.5 - std::hypot(x + 0.5 - 660, y + 0.5 - 100), 0.0, 1.0);
                const double cut = std::clamp(36.5 - std::hypot(x + 0.5 - 676, y + 0.5 - 90), 0.0, 1.0);
                Blend(s.Row(y)[x], 0xFFF8F4D8, inMoon * (1 - cut));
            }
    }
    // Two rows of hills and a small town line on the horizon.
    const uint32_t far = day ? 0xFF7FAF7F : 0xFF1A2A38, nearHill = day ? 0xFF4F8F4F : 0xFF0E1A22;
    for (int x = 0; x < 800; ++x) {
        const int h1 = 470 + static_cast<int>(22 * std::sin(x / 90.0) + 12 * std::sin(x / 31.0));
        const int h2 = 530 + static_cast<int>(18 * std::sin(x / 70.0 + 1.3));
        Fill(s, x, h1, x + 1, 600, far);
        Fill(s, x, h2, x + 1, 600, nearHill);
    }
    for (int i = 0; i < 14; ++i) {
        const int l = 40 + i * 54, w = 26 + (i * 7) % 18, h = 20 + (i * 13) % 34;
        Fill(s, l, 500 - h, l + w, 520, day ? 0xFF9FA8B8 : 0xFF182030);
        if (!day)
            for (int k = 0; k < 3; ++k)
                Fill(s, l + 5 + k * 7, 506 - h + (k % 2) * 8, l + 9 + k * 7, 510 - h + (k % 2) * 8, 0xFFFFE080);
    }
    return s;
}

// The title's material sheet: logo and its shadow, footer, bar and the menu
// rows in their normal, hover and pushed pictures.
plat::Surface TitleMaterial(Captions& cap) {
    plat::Surface s(880, 384);
    // Logo (0,0)-(544,176) and its shadow (0,176)-(544,352): the same shapes.
    for (int shadow = 0; shadow < 2; ++shadow) {
        const int top = shadow * 176;
        const uint32_t ink = shadow ? 0xFF000000 : 0xFFFFFFFF, edge = shadow ? 0xFF000000 : 0xFF2A4A8A;
        Fill(s, 40, top + 130, 504, top + 134, shadow ? 0xFF000000 : 0xFFF4C430);
        cap.Outlined(s, 52, top + 22, "見本の物語", 88, ink, edge, 700, 3);
        cap.Centred(s, 0, top + 138, 544, top + 172, "～　ひと夏のサンプル　～", 24, ink, edge);
    }
    // Footer (0,352)-(352,376).
    cap.Centred(s, 0, 352, 352, 376, "２０２６　見本工房", 16, 0xFFFFFFFF, 0xFF203050);
    // Bar (0,376)-(800,384): bright in the middle, fading to both ends.
    for (int x = 0; x < 800; ++x) {
        const double t = 1 - std::abs(x - 399.5) / 400.0;
        const uint32_t a = static_cast<uint32_t>(std::lround(60 + 195 * t));
        Fill(s, x, 376, x + 1, 378, (a << 24) | 0xFFFFFF);
        Fill(s, x, 378, x + 1, 382, (a << 24) | 0xF4C430);
        Fill(s, x, 382, x + 1, 384, (a << 24) | 0xFFFFFF);
    }
    // Menu rows 1..6 at y 0, 24, ..., 120; columns normal, hover, pushed.
    // The screen rests the rows at (345, 273), (344, 305), (345, 336),
    // (346, 368), (346, 399) and (344, 431): each row is drawn that much
    // further right and up or down in its cell, so that all six line up at
    // x 346 and their tops follow each other 32 px apart from y 273.
    const char* items[6] = {"はじめから", "つづきから", "設定", "ギャラリー", "音楽鑑賞", "終了"};
    const int inCell[6] = {1, 2, 1, 0, 0, 2};
    const int downInCell[6] = {-1, -1, 0, 0, 1, 1};
    for (int row = 0; row < 6; ++row) {
        const int t = row * 24 + downInCell[row];
        struct Look {
            uint32_t top, bottom, rim, text;
        };
        const Look looks[3] = {{0xA0203050, 0xA0101828, 0xC0FFFFFF, 0xFFFFFFFF},
                               {0xE02A4A8A, 0xE0182C5A, 0xFFF4C430, 0xFFFFF0A0},
                               {0xF0F4C430, 0xF0C08A10, 0xFFFFFFFF, 0xFF203050}};
        for (int k = 0; k < 3; ++k) {
            const int l = 544 + 112 * k + inCell[row], shift = k == 2 ? 1 : 0;
            Panel(s, l, t + 1, l + 110, t + 23, looks[k].top, looks[k].bottom, looks[k].rim, 10, 2);
            cap.Centred(s, l, t + shift, l + 110, t + 24 + shift, items[row], 16, looks[k].text);
        }
    }
    return s;
}

// A simple face in a portrait frame: hair, head, eyes, shoulders, kept
// inside the frame.
void Portrait(plat::Surface& s, int l, int t, int r, int b, uint32_t hair, uint32_t clothes) {
    const int w = r - l, h = b - t;
    plat::Surface p(w, h);
    Panel(p, 0, 0, w, h, 0xFFF0E6D8, 0xFFD8C8B4, 0xFF8A6A4A, 6, 2);
    const double cx = w / 2.0, hr = std::min(w, h) * 0.28, cy = std::min(h * 0.45, hr * 1.6);
    Ellipse(p, cx, h + hr * 0.2, hr * 1.6, hr * 1.1, clothes);
    Ellipse(p, cx, cy - hr * 0.15, hr * 1.12, hr * 1.1, hair);
    Ellipse(p, cx, cy + hr * 0.1, hr * 0.92, hr, 0xFFFCE4D0);
    Ellipse(p, cx, cy - hr * 0.6, hr * 0.95, hr * 0.42, hair);
    Ellipse(p, cx - hr * 0.38, cy + hr * 0.15, hr * 0.12, hr * 0.18, 0xFF303040);
    Ellipse(p, cx + hr * 0.38, cy + hr * 0.15, hr * 0.12, hr * 0.18, 0xFF303040);
    Ellipse(p, cx, cy + hr * 0.55, hr * 0.22, hr * 0.07, 0xFFD06070);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (s.Contains(l + x, t + y))
                Blend(s.Row(t + y)[l + x], p.Row(y)[x], 1.0);
}

// The options background: six portraits on the left, a panel with the
// labels of the nine setting rows, the screen's name.
plat::Surface ConfigBackground(Captions& cap) {
    plat::Surface s(800, 600);
    Gradient(s, 0, 0, 800, 600, 0xFF3A4A6A, 0xFF1A2232);
    Panel(s, 222, 140, 792, 524, 0x40FFFFFF, 0x20FFFFFF, 0x80FFFFFF, 12, 2);
    cap.Outlined(s, 560, 40, "設定", 56, 0xFFFFFFFF, 0xFF2A4A8A, 700, 2);
    cap.Draw(s, 560, 102, "ＣＯＮＦＩＧＵＲＡＴＩＯＮ", 14, 0xFFB0C0E0);
    // The portrait panel is closed at the screen's foot. The three main
    // portraits go down its middle on one beat of 121 px, as large as their
    // click areas (65,44)-(202,133), (86,132)-(185,223) and (15,290)-(191,370)
    // allow on that beat; the caption takes the fourth beat. The three small
    // ones sit in a row across the foot, 6 px apart, inside (27,553)-(90,600),
    // (93,523)-(135,600) and (141,555)-(214,600), 4 px above the bottom rule.
    Panel(s, 36, 40, 196, 600, 0x30FFFFFF, 0x18FFFFFF, 0x70FFFFFF, 12, 2);
    constexpr int kLarge = 52, kSmall = 39, kBeat = 121;
    const int places[6][3] = {{90, 50, kLarge},  {90, 50 + kBeat, kLarge}, {90, 50 + 2 * kBeat, kLarge},
                              {96, 555, kSmall}, {51, 555, kSmall},        {141, 555, kSmall}};
    const uint32_t hair[6] = {0xFF402818, 0xFFB03020, 0xFF202020, 0xFFD0A040, 0xFF5060A0, 0xFF805030};
    const uint32_t clothes[6] = {0xFF3050A0, 0xFFE0E0F0, 0xFF40704A, 0xFFA04060, 0xFF606060, 0xFF2A4A8A};
    for (int i = 0; i < 6; ++i)
        Portrait(s, places[i][0], places[i][1], places[i][0] + places[i][2], places[i][1] + places[i][2], hair[i],
                 clothes[i]);
    const int caption = 50 + 3 * kBeat;
    cap.Centred(s, 36, caption + 7, 196, caption + 26, "顔をクリックすると", 14, 0xFFC0C8E0);
    cap.Centred(s, 36, caption + 26, 196, caption + 45, "声が聞けます", 14, 0xFFC0C8E0);
    // Row labels left of the cells; group headings above them.
    const struct {
        int y;
        const char* text;
    } rows[] = {{174, "画面モード"},     {206, "色数"},           {238, "文字の速さ"},
                {300, "オートスキップ"}, {333, "スキップの速さ"}, {363, "文字のなめらかさ"},
                {426, "効果音"},         {458, "音声"},           {489, "音楽"}};
    for (const auto& row : rows)
        cap.Draw(s, 236, row.y + 3, row.text, 16, 0xFFFFFFFF);
    cap.Draw(s, 236, 150, "■表示", 16, 0xFFF4C430);
    cap.Draw(s, 236, 276, "■テキスト", 16, 0xFFF4C430);
    cap.Draw(s, 236, 400, "■音量", 16, 0xFFF4C430);
    // Under the back button, so that its half-strength draw reads as a live
    // button. The return-to-title button below it is drawn only with a game
    // open: nothing may show in its place without one.
    HalfStrengthUnder(s, 392, 536, 264, 24,
                      [&](plat::Surface& p, ButtonLook look) { Button(p, cap, 0, 0, 264, "戻る", look); });
    return s;
}

// One settings cell: normal (dim) and selected (bright) pictures, one above
// the other, each 24 high. The label keeps a margin inside the rim: a label
// too wide for the cell is set smaller, and the selected one bold only when
// it still fits.
void CellPair(plat::Surface& s, Captions& cap, int l, int t, int r, const char* text, int textHeight = 14) {
    constexpr int kMargin = 5;
    const int room = r - l - 2 * kMargin;
    while (textHeight > 9 && cap.Width(text, textHeight) > room)
        --textHeight;
    const int boldWeight = cap.Width(text, textHeight, 700) <= room ? 700 : 400;
    Panel(s, l + 1, t + 1, r - 1, t + 23, 0xE0404858, 0xE0202430, 0xFFA0A8B8, 6, 1);
    cap.Centred(s, l, t, r, t + 24, text, textHeight, 0xFFFFFFFF);
    Panel(s, l + 1, t + 25, r - 1, t + 47, 0xFFF4C430, 0xFFC08A10, 0xFFFFFFFF, 6, 1);
    cap.Centred(s, l, t + 24, r, t + 48, text, textHeight, 0xFF1A2232, 0, boldWeight);
}

// The options material: every settings cell at the rectangles the screen
// cuts, the volume steps, and the back and return-to-title buttons.
plat::Surface ConfigMaterial(Captions& cap, const plat::Surface& background) {
    plat::Surface s(440, 192);
    // Words short enough for the 64 px cell at the size of every other label.
    CellPair(s, cap, 0, 0, 64, "窓表示");
    CellPair(s, cap, 64, 0, 176, "全画面表示");
    CellPair(s, cap, 0, 48, 104, "フルカラー");
    CellPair(s, cap, 104, 48, 200, "１６ビット");
    CellPair(s, cap, 0, 96, 48, "遅い");
    CellPair(s, cap, 48, 96, 96, "普通");
    CellPair(s, cap, 96, 96, 144, "速い");
    CellPair(s, cap, 0, 144, 32, "入");
    CellPair(s, cap, 32, 144, 64, "切");
    // Anti-alias levels; "none" doubles as volume step 0.
    CellPair(s, cap, 176, 0, 216, "なし");
    CellPair(s, cap, 216, 0, 288, "弱い");
    CellPair(s, cap, 288, 0, 360, "普通");
    CellPair(s, cap, 360, 0, 432, "強い");
    for (int v = 1; v <= 10; ++v) {
        const int l = 200 + 24 * (v - 1);
        char digits[4];
        std::snprintf(digits, sizeof(digits), "%d", v);
        CellPair(s, cap, l, 48, l + 24, digits, 12);
    }
    // The back button's hover look: the background makes up its normal look.
    // The return-to-title button is drawn only with a game open, so its
    // place in the background stays plain and its picture alone makes up
    // its normal look at half strength over that plain ground.
    Button(s, cap, 144, 96, 408, "戻る", ButtonLook::kHover);
    Put(s, 144, 120, HalfStrengthPicture(background, 392, 568, 264, 24, [&](plat::Surface& p, ButtonLook look) {
            Button(p, cap, 0, 0, 264, "タイトルへ", look);
        }));
    Button(s, cap, 144, 144, 408, "戻る", ButtonLook::kPushed);
    Button(s, cap, 144, 168, 408, "タイトルへ", ButtonLook::kPushed);
    return s;
}

// The dialogs' Yes and No. Until the pointer is on one it is drawn at half
// strength over the window's light paper, so its face is near black and its
// label bold white: halved, they still read as white on dark grey.
void DialogButton(plat::Surface& s, Captions& cap, int t, const char* text, bool pushed) {
    const int shift = pushed ? 1 : 0;
    if (pushed)
        Panel(s, 545, t + 1, 775, t + 23, 0xFFF4C430, 0xFFC08A10, 0xFFFFFFFF, 10, 2);
    else
        Panel(s, 545, t + 1, 775, t + 23, 0xFF14204A, 0xFF080E26, 0xFFF4C430, 10, 2);
    cap.Centred(s, 544, t + shift, 776, t + 24 + shift, text, 16, pushed ? 0xFF1A2232 : 0xFFFFFFFF, 0, 700);
}

// The message window's frame, its back panel, the wait icon and the Yes/No
// buttons of the dialogs.
plat::Surface MessageWindow(Captions& cap) {
    plat::Surface s(776, 232);
    // Frame (0,0)-(540,116), drawn over the back panel at the window's full
    // alpha: opaque paper of its own, so that the dialogs that use this
    // window hide the screen behind them entirely. The text starts 4 px from
    // the window's left edge, so the frame has no side borders: rules across
    // the top and the bottom, square ends.
    Gradient(s, 0, 0, 540, 116, 0xFFFDFAF2, 0xFFEEE6D2);
    Fill(s, 0, 0, 540, 3, 0xFF2A4A8A);
    Fill(s, 0, 3, 540, 4, 0xFFF4C430);
    Fill(s, 0, 112, 540, 113, 0xFFF4C430);
    Fill(s, 0, 113, 540, 116, 0xFF2A4A8A);
    for (int cx : {508, 520, 532})
        Ellipse(s, cx, 108, 2, 2, 0xFFC08A10);
    // Back panel (0,116)-(540,232): light paper, as the window's text is black.
    Gradient(s, 0, 116, 540, 232, 0xFFFBF7EC, 0xFFE6DDC8);
    // Wait icon (540,0)-(592,29): a downward triangle.
    for (int y = 4; y < 25; ++y) {
        const int half = (25 - y) * 20 / 21;
        Fill(s, 566 - half, y, 566 + half, y + 1, 0xFFF4C430);
    }
    DialogButton(s, cap, 32, "はい", false);
    DialogButton(s, cap, 56, "いいえ", false);
    DialogButton(s, cap, 80, "はい", true);
    DialogButton(s, cap, 104, "いいえ", true);
    return s;
}

// The controller bar's ten buttons in one look, laid out from (ox, oy) as the
// bar cuts them: save, load and the two volume buttons on the first row,
// config and hide on the second, BACK, NEXT, auto-skip and FF below.
void ControllerLook(plat::Surface& s, Captions& cap, int ox, int oy, int look) {
    struct Style {
        uint32_t top, bottom, rim, text;
        int shift;
    };
    const Style styles[4] = {{0xF02A4A8A, 0xF0182C5A, 0xFFE8ECFF, 0xFFFFFFFF, 0},
                             {0xFF4A78C8, 0xFF2A4A8A, 0xFFF4C430, 0xFFFFF0A0, 0},
                             {0xFFF4C430, 0xFFC08A10, 0xFFFFFFFF, 0xFF1A2232, 1},
                             {0xA0606878, 0xA0404850, 0xC0909090, 0xFFA0A0A8, 0}};
    const Style& st = styles[look];
    auto box = [&](int l, int t, int r, int b, int radius) {
        Panel(s, ox + l + 1, oy + t + 1, ox + r - 1, oy + b - 1, st.top, st.bottom, st.rim, radius, 1);
    };
    auto label = [&](int l, int t, int r, int b, const char* text, int height) {
        cap.Centred(s, ox + l, oy + t + st.shift, ox + r, oy + b + st.shift, text, height, st.text);
    };
    // A triangle pointing left (dir -1) or right (dir 1) around (cx, cy).
    auto arrow = [&](int cx, int cy, int half, int dir) {
        const int left = cx - half / 2;
        for (int dy = -half; dy <= half; ++dy) {
            const int len = half - std::abs(dy);
            const int x0 = dir > 0 ? left : left + std::abs(dy);
            const int y = oy + cy + dy + st.shift;
            Fill(s, ox + x0, y, ox + x0 + len, y + 1, st.text);
        }
    };
    const struct {
        int l, t, r, b;
        const char* text;
    } labelled[] = {
        {0, 0, 72, 24, "セーブ"}, {72, 0, 144, 24, "ロード"}, {0, 24, 72, 48, "設定"}, {72, 24, 144, 48, "消す"}};
    for (const auto& k : labelled) {
        box(k.l, k.t, k.r, k.b, 8);
        label(k.l, k.t, k.r, k.b, k.text, 14);
    }
    // Volume up and down: a plus and a minus drawn as bars.
    box(144, 0, 160, 24, 3);
    box(160, 0, 176, 24, 3);
    Fill(s, ox + 148, oy + 11 + st.shift, ox + 156, oy + 13 + st.shift, st.text);
    Fill(s, ox + 151, oy + 8 + st.shift, ox + 153, oy + 16 + st.shift, st.text);
    Fill(s, ox + 164, oy + 11 + st.shift, ox + 172, oy + 13 + st.shift, st.text);
    // BACK and NEXT: tall buttons with an arrow.
    box(0, 48, 56, 112, 10);
    arrow(28, 80, 12, -1);
    box(56, 48, 112, 112, 10);
    arrow(84, 80, 12, 1);
    // Auto-skip and FF.
    box(112, 48, 168, 88, 10);
    label(112, 48, 168, 88, "AUTO", 14);
    box(168, 48, 224, 88, 10);
    arrow(190, 68, 8, 1);
    arrow(202, 68, 8, 1);
}

// The controller bar: frame, back panel, and the buttons in their normal,
// hover, pressed and disabled looks.
plat::Surface Controller(Captions& cap) {
    plat::Surface s(456, 344);
    // Frame (0,0)-(228,116) and back panel (228,0)-(456,116).
    Panel(s, 0, 0, 228, 116, 0x30FFFFFF, 0x10FFFFFF, 0xFFE8ECFF, 14, 3);
    for (int cx : {10, 218})
        for (int cy : {10, 106})
            Ellipse(s, cx, cy, 3, 3, 0xFFF4C430);
    Panel(s, 228, 0, 456, 116, 0xFFFBF7EC, 0xFFE6DDC8, 0xFFD8CCB0, 14, 1);
    ControllerLook(s, cap, 0, 116, 0);
    ControllerLook(s, cap, 224, 116, 1);
    ControllerLook(s, cap, 0, 232, 2);
    ControllerLook(s, cap, 224, 232, 3);
    return s;
}

} // namespace

std::vector<std::pair<std::string, std::string>> ScreenPictures() {
    Captions cap;
    const plat::Surface configBG = ConfigBackground(cap);
    std::vector<std::pair<std::string, std::string>> out = {
        // Black: every screen fades through black, so the story's dark last
        // screen and the staff roll's dark opening meet without a white flash.
        {"fade.bmp", EncodeBmp24(Solid(800, 600, 0xFF000000))},
        {"logo.bmp", EncodeBmp24(Logo(cap))},
        {"TitleBG.bmp", EncodeBmp24(TitleBackground(true))},
        {"TitleBG2.bmp", EncodeBmp24(TitleBackground(false))},
        {"TitleMaterial.dds", EncodeDds32(TitleMaterial(cap))},
        {"ConfigBG.bmp", EncodeBmp24(configBG)},
        {"ConfigMaterial.dds", EncodeDds32(ConfigMaterial(cap, configBG))},
        {"MessageWindow.dds", EncodeDds32(MessageWindow(cap))},
        {"SelectWindow.dds", EncodeDds32(SelectWindowPicture())},
        {"Controller.dds", EncodeDds32(Controller(cap))},
    };
    for (auto& exam : ExamPictures())
        out.push_back(std::move(exam));
    for (auto& bar : GalleryBarPictures())
        out.push_back(std::move(bar));
    g_captionsDrawn = cap.drawn();
    return out;
}

bool CaptionsDrawn() { return g_captionsDrawn; }

} // namespace screens
