#include <gtest/gtest.h>

#include "platform/gdi_dc.h"
#include "platform/gdi_text.h"
#include "tests/text/text_test_util.h"

namespace {

#define REQUIRE_FONT()               \
    if (!kutext::HaveJapaneseFont()) \
    GTEST_SKIP() << "no Japanese font installed"

std::unique_ptr<plat::GdiFont> Font(int height, plat::FontQuality q) {
    plat::FontSpec spec;
    spec.height = height;
    spec.quality = q;
    spec.faceName = "ＭＳ ゴシック";
    return plat::GdiFont::Create(spec);
}

TEST(GdiDc, TextStaysInItsCellAndUsesTheColour) {
    REQUIRE_FONT();
    for (auto q : {plat::FontQuality::kProof, plat::FontQuality::kNonAntialiased}) {
        plat::Surface s(100, 40);
        plat::GdiDc dc(&s);
        auto font = Font(16, q);
        ASSERT_TRUE(font);
        dc.SelectFont(font.get());
        dc.SetBkMode(plat::BkMode::kTransparent);
        dc.SetTextColor(plat::MakeColorRef(255, 0, 0));
        ASSERT_TRUE(dc.TextOut(10, 5, "漢字", -1));
        EXPECT_EQ(dc.TextWidth("漢字", -1), 32);
        kutext::Ink ink = kutext::FindInk(s, 0);
        EXPECT_GT(ink.count, 40);
        EXPECT_GE(ink.left, 10);
        EXPECT_LT(ink.right, 42);
        EXPECT_GE(ink.top, 5);
        EXPECT_LT(ink.bottom, 21);
        bool full = false;
        for (uint32_t p : s.pixels) {
            if (!p)
                continue;
            EXPECT_EQ(p & 0xFF00FFFFu, 0xFF000000u) << std::hex << p; // red only, opaque
            full |= p == 0xFFFF0000u;
        }
        EXPECT_TRUE(full);
        if (q == plat::FontQuality::kNonAntialiased) {
            for (uint32_t p : s.pixels)
                EXPECT_TRUE(p == 0 || p == 0xFFFF0000u);
        }
    }
}

TEST(GdiDc, OpaqueBackgroundUnderlineAndClipping) {
    REQUIRE_FONT();
    auto font = Font(16, plat::FontQuality::kProof);
    ASSERT_TRUE(font);
    plat::Surface s(64, 32);
    plat::GdiDc dc(&s);
    dc.SelectFont(font.get());
    dc.SetBkMode(plat::BkMode::kOpaque);
    dc.SetBkColor(plat::MakeColorRef(0, 0, 255));
    dc.TextOut(0, 0, "　", -1); // full-width space: only the background
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            EXPECT_EQ(s.Row(y)[x], (x < 16 && y < 16) ? 0xFF0000FFu : 0u) << x << "," << y;

    plat::Surface c(64, 32);
    plat::GdiDc clipped(&c);
    clipped.SelectFont(font.get());
    clipped.SetBkMode(plat::BkMode::kTransparent);
    clipped.SetTextColor(0xFFFFFF);
    clipped.SetClipRects({plat::GdiRect{0, 0, 8, 32}});
    clipped.TextOut(0, 0, "漢漢", -1);
    EXPECT_LE(kutext::FindInk(c, 0).right, 7);
    // Text off the surface is clipped, not written out of bounds.
    EXPECT_TRUE(clipped.TextOut(-10, -10, "漢", -1));
    EXPECT_TRUE(clipped.TextOut(60, 30, "漢", -1));
}

TEST(GdiDc, DrawTextBreaksLinesAndAligns) {
    REQUIRE_FONT();
    auto font = Font(16, plat::FontQuality::kProof);
    ASSERT_TRUE(font);
    plat::Surface s(100, 100);
    plat::GdiDc dc(&s);
    dc.SelectFont(font.get());
    plat::GdiRect r{0, 0, 40, 100};
    EXPECT_EQ(dc.DrawText("あいうえ\nお", -1, &r, plat::kDtCalcRect | plat::kDtWordBreak),
              48); // あいう|え|お... 2 per line
    EXPECT_EQ(r.bottom, 48);
    EXPECT_EQ(r.right, 32);
    plat::GdiRect one{0, 0, 100, 100};
    EXPECT_EQ(dc.DrawText("ab\r\ncd", 4, &one, plat::kDtCalcRect), 32); // count stops before "cd"
    plat::GdiRect words{0, 0, 60, 100};
    EXPECT_EQ(dc.DrawText("abc def ghi", -1, &words, plat::kDtCalcRect | plat::kDtWordBreak), 32);
    // Centred single line, clipped to the rectangle.
    dc.SetBkMode(plat::BkMode::kTransparent);
    dc.SetTextColor(0xFFFFFF);
    plat::GdiRect box{20, 20, 80, 60};
    EXPECT_EQ(dc.DrawText("漢", -1, &box, plat::kDtCenter | plat::kDtVCenter | plat::kDtSingleLine), 16);
    kutext::Ink ink = kutext::FindInk(s, 0);
    EXPECT_GE(ink.left, 42);
    EXPECT_LE(ink.right, 58);
    EXPECT_GE(ink.top, 32);
    EXPECT_LE(ink.bottom, 48);
}

TEST(GdiDc, RectanglesPixelsAndLostSurfaces) {
    plat::Surface s(20, 20);
    plat::GdiDc dc(&s);
    EXPECT_TRUE(dc.FillRect(plat::GdiRect{2, 3, 5, 7}, plat::GdiBrush{false, plat::MakeColorRef(0, 255, 0)}));
    EXPECT_EQ(kutext::FindInk(s, 0).count, 3 * 4); // right and bottom edges left out
    EXPECT_EQ(dc.GetPixel(2, 3), plat::MakeColorRef(0, 255, 0));
    EXPECT_EQ(dc.GetPixel(5, 3), 0u);
    EXPECT_EQ(dc.GetPixel(20, 0), plat::kInvalidColor);
    EXPECT_EQ(dc.SetPixel(-1, 0, 0xFF), plat::kInvalidColor);
    EXPECT_EQ(dc.SetPixel(1, 1, 0x123456), 0x123456u);
    EXPECT_EQ(s.Row(1)[1], 0xFF563412u);

    plat::Surface r(20, 20);
    plat::GdiDc rdc(&r);
    plat::GdiPen pen{plat::PenStyle::kSolid, 2, 0xFFFFFF};
    plat::GdiBrush hollow{true, 0};
    rdc.SelectPen(&pen);
    rdc.SelectBrush(&hollow);
    EXPECT_TRUE(rdc.Rectangle(5, 5, 15, 15));
    EXPECT_EQ(r.Row(10)[10], 0u); // inside untouched
    EXPECT_EQ(r.Row(4)[4], 0xFFFFFFFFu);
    EXPECT_EQ(r.Row(5)[5], 0xFFFFFFFFu);
    EXPECT_EQ(r.Row(6)[6], 0u);
    EXPECT_EQ(r.Row(14)[14], 0xFFFFFFFFu);
    EXPECT_EQ(r.Row(15)[15], 0u);
    EXPECT_EQ(kutext::FindInk(r, 0).count, 11 * 11 - 7 * 7);

    r.lost = true;
    EXPECT_FALSE(rdc.valid());
    EXPECT_FALSE(rdc.Rectangle(0, 0, 5, 5));
    EXPECT_FALSE(rdc.TextOut(0, 0, "a", 1));
}

TEST(GdiText, ShellTextApi) {
    REQUIRE_FONT();
    plat::Surface s(200, 30);
    plat::TextStyle style;
    style.height = 12;
    style.color = 0xFFFFFF;
    EXPECT_EQ(plat::SurfaceTextOut(&s, 2, 2, "ファイル(F)", style), plat::SurfaceTextWidth("ファイル(F)", 12));
    EXPECT_EQ(plat::SurfaceTextWidth("ファイル(F)", 12), 4 * 12 + 3 * 6);
    EXPECT_GT(kutext::FindInk(s, 0).count, 30);
}

// The menus and boxes draw 12 px text: every character that reaches below
// the baseline shows ink there, the underscore of "GAME_MAIN" included.
TEST(GdiText, ShellTextKeepsWhatHangsBelowTheBaseline) {
    REQUIRE_FONT();
    constexpr int kHeight = 12, kTop = 4;
    const int baseline = kTop + Font(kHeight, plat::FontQuality::kProof)->metrics().ascent;
    plat::TextStyle style;
    style.height = kHeight;
    style.color = 0xFFFFFF;
    for (const char* ch : {"_", "g", "j", "p", "q", "y", ",", "、", "。", "」", "）", "］"}) {
        plat::Surface s(40, 30);
        ASSERT_GT(plat::SurfaceTextOut(&s, 10, kTop, ch, style), 0) << ch;
        const kutext::Ink ink = kutext::FindInk(s, 0);
        EXPECT_GE(ink.bottom, baseline) << ch;
    }
}

} // namespace
