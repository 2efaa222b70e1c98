#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "modes/title_mode_data.h"
#include "platform/gdi_font.h"
#include "tools/pictures/gallery_pictures.h"
#include "tools/pictures/music_room_pictures.h"
#include "tools/pictures/save_load_pictures.h"
#include "tools/pictures/screen_pictures.h"

namespace {

struct Picture {
    int w = 0, h = 0;
    std::vector<uint32_t> px; // ARGB, top row first
    uint32_t At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

uint32_t Get32(const std::string& b, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, &b[at], 4);
    return v;
}

// The two formats the generator writes: 24-bit BMP and 32-bit DDS.
Picture Decode(const std::string& b) {
    Picture p;
    if (b.compare(0, 2, "BM") == 0) {
        p.w = static_cast<int>(Get32(b, 18));
        p.h = static_cast<int>(Get32(b, 22));
        const size_t stride = (static_cast<size_t>(p.w) * 3 + 3) & ~size_t(3);
        p.px.resize(static_cast<size_t>(p.w) * p.h);
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x) {
                const auto* c = reinterpret_cast<const unsigned char*>(&b[54 + stride * (p.h - 1 - y) + 3 * x]);
                p.px[static_cast<size_t>(y) * p.w + x] = 0xFF000000u | c[2] << 16 | c[1] << 8 | c[0];
            }
    } else if (b.compare(0, 4, "DDS ") == 0) {
        p.h = static_cast<int>(Get32(b, 12));
        p.w = static_cast<int>(Get32(b, 16));
        p.px.resize(static_cast<size_t>(p.w) * p.h);
        std::memcpy(p.px.data(), &b[128], p.px.size() * 4);
    }
    return p;
}

struct Rect {
    int l, t, r, b;
};

// Share of a rectangle's pixels that are drawn (not fully transparent); -1
// when the rectangle does not lie inside the picture.
double Drawn(const Picture& p, const Rect& rc) {
    if (rc.l < 0 || rc.t < 0 || rc.r > p.w || rc.b > p.h || rc.l >= rc.r || rc.t >= rc.b)
        return -1;
    int n = 0;
    for (int y = rc.t; y < rc.b; ++y)
        for (int x = rc.l; x < rc.r; ++x)
            n += (p.At(x, y) >> 24) != 0;
    return double(n) / ((rc.r - rc.l) * (rc.b - rc.t));
}

bool Differ(const Picture& p, const Rect& a, const Rect& b) {
    for (int y = 0; y < a.b - a.t; ++y)
        for (int x = 0; x < a.r - a.l; ++x)
            if (p.At(a.l + x, a.t + y) != p.At(b.l + x, b.t + y))
                return true;
    return false;
}

class ScreenPicturesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (auto& [name, bytes] : screens::ScreenPictures())
            pictures[name] = Decode(bytes);
        for (auto& [name, bytes] : screens::SaveLoadPictures())
            pictures[name] = Decode(bytes);
        for (auto& [name, bytes] : screens::MusicRoomPictures())
            pictures[name] = Decode(bytes);
        for (auto& [name, bytes] : screens::GalleryPictures())
            if (name == "CGModeBG.bmp" || name == "CGModeMaterial.dds")
                pictures[name] = Decode(bytes);
    }
    static std::map<std::string, Picture> pictures;
};
std::map<std::string, Picture> ScreenPicturesTest::pictures;

TEST_F(ScreenPicturesTest, SizesAndTheBlackFade) {
    const struct {
        const char* name;
        int w, h;
    } sizes[] = {{"fade.bmp", 800, 600},           {"logo.bmp", 420, 298},          {"TitleBG.bmp", 800, 600},
                 {"TitleBG2.bmp", 800, 600},       {"ConfigBG.bmp", 800, 600},      {"TitleMaterial.dds", 880, 384},
                 {"ConfigMaterial.dds", 440, 192}, {"MessageWindow.dds", 776, 232}, {"Controller.dds", 456, 344}};
    for (const auto& s : sizes) {
        ASSERT_EQ(pictures.count(s.name), 1u) << s.name;
        EXPECT_GE(pictures[s.name].w, s.w) << s.name;
        EXPECT_GE(pictures[s.name].h, s.h) << s.name;
    }
    for (uint32_t c : pictures["fade.bmp"].px)
        ASSERT_EQ(c, 0xFF000000u);
    // The day and night backgrounds are different pictures.
    EXPECT_NE(pictures["TitleBG.bmp"].px, pictures["TitleBG2.bmp"].px);
    if (!plat::FindJapaneseFontFile().empty()) {
        EXPECT_TRUE(screens::CaptionsDrawn());
    }
}

// Every piece the title cuts from its material shows something; the three
// menu items differ between normal, hover and pushed.
TEST_F(ScreenPicturesTest, TitleMaterialPieces) {
    const Picture& p = pictures["TitleMaterial.dds"];
    EXPECT_GT(Drawn(p, {0, 0, 544, 176}), 0.05) << "logo";
    EXPECT_GT(Drawn(p, {0, 176, 544, 352}), 0.05) << "logo shadow";
    EXPECT_GT(Drawn(p, {0, 352, 352, 376}), 0.05) << "footer";
    EXPECT_GT(Drawn(p, {0, 376, 800, 384}), 0.99) << "bar";
    for (int top : {0, 48, 120}) {
        Rect looks[3];
        for (int k = 0; k < 3; ++k) {
            looks[k] = {544 + 112 * k, top, 656 + 112 * k, top + 24};
            EXPECT_GT(Drawn(p, looks[k]), 0.75) << "item row at " << top << " look " << k;
        }
        EXPECT_TRUE(Differ(p, looks[0], looks[1]) && Differ(p, looks[1], looks[2])) << "item row at " << top;
    }
    // Where the screen rests the rows, their boxes start in one column and
    // follow each other at one pitch, in every look.
    for (int k = 0; k < 3; ++k) {
        int firstLeft = -1, firstTop = -1;
        for (int item = 1; item <= 6; ++item) {
            KURECT rest{};
            ASSERT_TRUE(TITLE_MODE_DATA::ItemRect(item, &rest));
            const int cellLeft = 544 + 112 * k, cellTop = (item - 1) * 24;
            int left = cellLeft, top = cellTop;
            while (left < cellLeft + 112 && (p.At(left, cellTop + 12) >> 24) < 0x80)
                ++left;
            while (top < cellTop + 24 && (p.At(cellLeft + 56, top) >> 24) < 0x80)
                ++top;
            const int screenLeft = rest.left + left - cellLeft, screenTop = rest.top + top - cellTop;
            if (item == 1) {
                firstLeft = screenLeft;
                firstTop = screenTop;
            }
            EXPECT_EQ(screenLeft, firstLeft) << "item " << item << " look " << k;
            EXPECT_EQ(screenTop, firstTop + 32 * (item - 1)) << "item " << item << " look " << k;
        }
    }
}

// Every settings cell has a normal and a different selected picture; the
// buttons have their pushed pictures.
TEST_F(ScreenPicturesTest, ConfigMaterialCells) {
    const Picture& p = pictures["ConfigMaterial.dds"];
    const Rect normal[] = {{0, 0, 64, 24},     {64, 0, 176, 24},  {0, 48, 104, 72},   {104, 48, 200, 72},
                           {0, 96, 48, 120},   {48, 96, 96, 120}, {96, 96, 144, 120}, {0, 144, 32, 168},
                           {32, 144, 64, 168}, {176, 0, 216, 24}, {216, 0, 288, 24},  {288, 0, 360, 24},
                           {360, 0, 432, 24}};
    for (const Rect& n : normal) {
        const Rect selected = {n.l, n.t + 24, n.r, n.b + 24};
        EXPECT_GT(Drawn(p, n), 0.75) << n.l << "," << n.t;
        EXPECT_GT(Drawn(p, selected), 0.75) << n.l << "," << selected.t;
        EXPECT_TRUE(Differ(p, n, selected)) << n.l << "," << n.t;
    }
    for (int v = 1; v <= 10; ++v) {
        const int l = 200 + 24 * (v - 1);
        EXPECT_GT(Drawn(p, {l, 48, l + 24, 72}), 0.75) << "volume " << v;
        EXPECT_GT(Drawn(p, {l, 72, l + 24, 96}), 0.75) << "volume " << v << " selected";
        EXPECT_TRUE(Differ(p, {l, 48, l + 24, 72}, {l, 72, l + 24, 96})) << "volume " << v;
    }
    for (int top : {96, 120, 144, 168})
        EXPECT_GT(Drawn(p, {144, top, 408, top + 24}), 0.75) << "button at " << top;
    EXPECT_TRUE(Differ(p, {144, 96, 408, 120}, {144, 144, 408, 168}));
    EXPECT_TRUE(Differ(p, {144, 120, 408, 144}, {144, 168, 408, 192}));
}

// The options background's portrait panel is closed above the screen's
// foot, and each portrait (its warm paper) fills a fair part of its click
// area without leaving it: the paper of the three main ones at least 46 px
// wide.
TEST_F(ScreenPicturesTest, ConfigPortraitPanelIsClosedAndFilled) {
    const Picture& p = pictures["ConfigBG.bmp"];
    auto red = [&](int x, int y) { return static_cast<int>(p.At(x, y) >> 16 & 0xFF); };
    EXPECT_GT(red(116, 599), red(20, 599) + 20) << "bottom rule";
    const Rect areas[6] = {{65, 44, 202, 133}, {86, 132, 185, 223}, {15, 290, 191, 370},
                           {93, 523, 135, 600}, {27, 553, 90, 600},  {141, 555, 214, 600}};
    for (int i = 0; i < 6; ++i) {
        // Searched 3 px round the area: the bottom row stands 6 px apart.
        const Rect& a = areas[i];
        Rect box{800, 600, -1, -1};
        for (int y = std::max(0, a.t - 3); y < std::min(600, a.b + 3); ++y)
            for (int x = a.l - 3; x < a.r + 3; ++x) {
                const uint32_t c = p.At(x, y);
                const int r = c >> 16 & 0xFF, b = c & 0xFF;
                if (r > 0xC8 && r - b > 0x18)
                    box = {std::min(box.l, x), std::min(box.t, y), std::max(box.r, x + 1), std::max(box.b, y + 1)};
            }
        EXPECT_TRUE(box.l >= a.l && box.t >= a.t && box.r <= a.r && box.b <= a.b) << "portrait " << i + 1;
        EXPECT_GE(box.r - box.l, i < 3 ? 46 : 33) << "portrait " << i + 1;
    }
}

// The back buttons are drawn at half strength until the pointer is on them:
// over the background that must read as a live button (white rim, dark blue
// face), and under the pointer, drawn whole, a lighter one. A button the
// screen draws only at times has a plain background under it, so its rim
// can come out only as light as half strength over that ground allows.
TEST_F(ScreenPicturesTest, BackButtonsAtHalfStrengthAreLiveButtons) {
    const struct {
        const char *bg, *material;
        int srcX, srcY, x, y, w;
        bool always;
    } buttons[] = {{"ConfigBG.bmp", "ConfigMaterial.dds", 144, 96, 392, 536, 264, true},
                   {"ConfigBG.bmp", "ConfigMaterial.dds", 144, 120, 392, 568, 264, false},
                   {"SaveBG.bmp", "SaveLoadMaterial.dds", 296, 384, 624, 536, 168, true},
                   {"SaveBG.bmp", "SaveLoadMaterial.dds", 464, 384, 624, 568, 168, true},
                   {"LoadBG.bmp", "SaveLoadMaterial.dds", 296, 384, 624, 536, 168, false},
                   {"LoadBG.bmp", "SaveLoadMaterial.dds", 464, 384, 624, 568, 168, true},
                   {"BGMModeBG.bmp", "BGMModeMaterial.dds", 64, 160, 468, 416, 264, true},
                   {"CGModeBG.bmp", "CGModeMaterial.dds", 0, 264, 284, 568, 264, true}};
    for (const auto& b : buttons) {
        const Picture &m = pictures[b.material], &bg = pictures[b.bg];
        auto drawn = [&](int x, int y, int c, double strength) {
            const uint32_t mp = m.At(b.srcX + x, b.srcY + y), bp = bg.At(b.x + x, b.y + y);
            const double a = (mp >> 24) / 255.0 * strength;
            return (mp >> (8 * c) & 0xFF) * a + (bp >> (8 * c) & 0xFF) * (1 - a);
        };
        const int mid = b.w / 2;
        for (int c = 0; c < 3; ++c) {
            const double lightest = b.always ? 255 : (255 + (bg.At(b.x + mid, b.y + 2) >> (8 * c) & 0xFF)) / 2.0;
            EXPECT_GT(drawn(mid, 2, c, 0.5), lightest - 15) << b.bg << " " << b.y << " rim, channel " << c;
            EXPECT_GT(drawn(mid, 2, c, 1.0), 240) << b.bg << " " << b.y << " rim hovered, channel " << c;
        }
        EXPECT_LT(drawn(18, 12, 2, 0.5), 60) << b.bg << " " << b.y << " face red";
        EXPECT_GT(drawn(18, 12, 0, 0.5), drawn(18, 12, 2, 0.5) + 50) << b.bg << " " << b.y << " face blue";
        EXPECT_GT(drawn(18, 12, 0, 1.0), drawn(18, 12, 0, 0.5) + 30) << b.bg << " " << b.y << " lighter hovered";
        if (!b.always) {
            EXPECT_LT(bg.At(b.x + mid, b.y + 2) >> 16 & 0xFF, 120u) << b.bg << " " << b.y << " plain without it";
        }
    }
}

// The gallery lays a scene's number plate over the lower middle of its lock
// tile, (34, 77)-(102, 93) of the tile for one or two digits: nothing of
// the tile's own may lie there, or it would show through the plate.
TEST_F(ScreenPicturesTest, GalleryLockTileLeavesTheNumberPlateClear) {
    const Picture& m = pictures["CGModeMaterial.dds"];
    const int l = 136, t = 144;
    const uint32_t inside = m.At(l + 5, t + 5);
    int under = 0, beside = 0;
    for (int y = 3; y < 101; ++y)
        for (int x = 3; x < 133; ++x) {
            const bool band = x >= 34 && x < 102 && y >= 77 && y < 93;
            (band ? under : beside) += m.At(l + x, t + y) != inside;
        }
    EXPECT_EQ(under, 0);
    EXPECT_GT(beside, 0);
}

TEST_F(ScreenPicturesTest, MessageWindowPieces) {
    const Picture& p = pictures["MessageWindow.dds"];
    // The frame's paper is opaque, so a dialog hides the screen behind it.
    for (int y = 0; y < 116; ++y)
        for (int x = 0; x < 540; ++x)
            ASSERT_EQ(p.At(x, y) >> 24, 0xFFu) << x << "," << y;
    EXPECT_GT(Drawn(p, {0, 116, 540, 232}), 0.75) << "back panel";
    EXPECT_GT(Drawn(p, {540, 0, 592, 29}), 0.2) << "wait icon";
    EXPECT_GT(Drawn(p, {544, 0, 592, 29}), 0.2) << "wait icon of the adventure";
    for (int top : {32, 56, 80, 104})
        EXPECT_GT(Drawn(p, {544, top, 776, top + 24}), 0.75) << "button at " << top;
    EXPECT_TRUE(Differ(p, {544, 32, 776, 56}, {544, 80, 776, 104}));
    EXPECT_TRUE(Differ(p, {544, 56, 776, 80}, {544, 104, 776, 128}));
}

// The controller bar: frame, back panel, and each button's four looks at
// the rectangles the bar cuts, every look different from the others.
TEST_F(ScreenPicturesTest, ControllerPieces) {
    const Picture& p = pictures["Controller.dds"];
    EXPECT_GT(Drawn(p, {0, 0, 228, 116}), 0.75) << "frame";
    EXPECT_GT(Drawn(p, {228, 0, 456, 116}), 0.75) << "back panel";
    // Normal looks; hover is 224 to the right, pressed 116 below, disabled both.
    const Rect normal[10] = {{72, 116, 144, 140},  {0, 116, 72, 140},   {0, 140, 72, 164},    {112, 164, 168, 204},
                             {0, 164, 56, 228},    {56, 164, 112, 228}, {168, 164, 224, 204}, {72, 140, 144, 164},
                             {144, 116, 160, 140}, {160, 116, 176, 140}};
    for (const Rect& n : normal) {
        const Rect looks[4] = {n,
                               {n.l + 224, n.t, n.r + 224, n.b},
                               {n.l, n.t + 116, n.r, n.b + 116},
                               {n.l + 224, n.t + 116, n.r + 224, n.b + 116}};
        for (int a = 0; a < 4; ++a) {
            EXPECT_GT(Drawn(p, looks[a]), 0.6) << n.l << "," << n.t << " look " << a;
            for (int b = a + 1; b < 4; ++b)
                EXPECT_TRUE(Differ(p, looks[a], looks[b])) << n.l << "," << n.t << " looks " << a << " " << b;
        }
    }
}

} // namespace
