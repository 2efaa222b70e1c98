#include <cmath>
#include <cstdint>

#include "tests/text/renderer_fixture.h"

namespace {

class GdiDrawing : public RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        Begin();
        log.Clear();
    }
};

TEST_F(GdiDrawing, LockedRunKeepsTheFirstFontUntilUnlock) {
    REQUIRE_FONT();
    // A shadow and a line, as the debug display draws them; the second height is ignored.
    ASSERT_EQ(sprite->DDTextOutLock(11, 11, "漢字", 0x000000, 20, 400), 0);
    ASSERT_EQ(sprite->DDTextOutLock(10, 10, "漢字", 0x00FFFF, 20, 400), 0);
    ASSERT_EQ(sprite->DDTextOutLock(10, 100, "漢字", 0x00FFFF, 40, 400), 0);
    EXPECT_TRUE(sprite->HasTextOutRun());
    EXPECT_EQ(sprite->DDTextOutUnLock(), 0);
    EXPECT_FALSE(sprite->HasTextOutRun());
    plat::Surface top(800, 90), bottom(800, 90);
    for (int y = 0; y < 90; ++y) {
        std::copy(Back().Row(y), Back().Row(y) + 800, top.Row(y));
        std::copy(Back().Row(y + 90), Back().Row(y + 90) + 800, bottom.Row(y));
    }
    const kutext::Ink a = kutext::FindInk(top, 0xFF000000u), b = kutext::FindInk(bottom, 0xFF000000u);
    EXPECT_EQ(b.right - b.left, a.right - a.left);
    EXPECT_EQ(b.bottom - b.top, a.bottom - a.top);
    EXPECT_LE(a.right, 10 + 40);
    EXPECT_EQ(Back().Row(a.top)[a.left] & 0xFF, 0u); // yellow: no blue

    // Unlock without a run: nothing to give back.
    EXPECT_EQ(sprite->DDTextOutUnLock(), 0);
    EXPECT_TRUE(log.lines().empty()) << log.all();
    EXPECT_EQ(sprite->DDTextOutLock(0, 0, nullptr, 0, 20, 400), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::DDTextOutLock> 描画文字列が不正です\n"));
}

TEST_F(GdiDrawing, TextOutTargetsAndTheFrameTimeLine) {
    REQUIRE_FONT();
    // The frame-time line of the debug display: red at the bottom left.
    ASSERT_EQ(sprite->DDTextOut(-1, 0, 580, "MS:16 FPS:60", 0x0000FF, 20, 400), 0);
    const kutext::Ink ink = kutext::FindInk(Back(), 0xFF000000u);
    EXPECT_GE(ink.top, 580);
    EXPECT_LE(ink.bottom, 599);
    EXPECT_LT(ink.left, 4);
    bool red = false;
    for (int y = 580; y < 600; ++y)
        for (int x = 0; x < 120; ++x)
            red |= Back().Row(y)[x] == 0xFFFF0000u;
    EXPECT_TRUE(red);

    EXPECT_EQ(sprite->DDTextOut(5, 0, 0, "a", 0, 20, 400), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE::DDTextOut> インデックスナンバーが不正です\n"));
    ASSERT_EQ(sprite->CreateGraphicDataBuffer(4), 1);
    log.Clear();
    EXPECT_EQ(sprite->DDTextOut(2, 0, 0, "a", 0, 20, 400), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::DDTextOut> 出力先インデックスが失われています\n"));
    EXPECT_EQ(sprite->DDTextOut(-1, 0, 0, nullptr, 0, 20, 400), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::DDTextOut> 描画文字列が不正です\n"));
    EXPECT_EQ(sprite->DDTextOutToSurface(nullptr, 0, 0, "a", 0, 20, 400), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::DDTextOutToSurface> 出力先サーフェスが不正です\n"));
    plat::Surface own(64, 32);
    EXPECT_EQ(sprite->DDTextOutToSurface(&own, 0, 0, "字", 0xFFFFFF, 20, 400), 0);
    EXPECT_GT(kutext::FindInk(own, 0).count, 20);
    own.lost = true;
    EXPECT_EQ(sprite->DDTextOutToSurface(&own, 0, 0, "字", 0xFFFFFF, 20, 400), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::DDTextOutToSurface> デバイスコンテキストの取得に失敗しました\n"));
}

TEST_F(GdiDrawing, TextInARectangleTakesTheWholeTextForBadCounts) {
    REQUIRE_FONT();
    std::vector<uint32_t> whole;
    for (int count : {-1, 100, -7}) {
        ASSERT_EQ(sprite->DDFillRect(-1, nullptr, nullptr), 0);
        KURECT r{10, 10, 200, 100};
        EXPECT_EQ(sprite->DDTextOutRange(-1, &r, "あいう", 0xFFFFFF, 16, count, 400, 0), 0);
        if (whole.empty())
            whole = Back().pixels;
        else
            EXPECT_EQ(Back().pixels, whole) << count;
    }
    ASSERT_EQ(sprite->DDFillRect(-1, nullptr, nullptr), 0);
    KURECT r{10, 10, 200, 100};
    sprite->DDTextOutRange(-1, &r, "あいう", 0xFFFFFF, 16, 2, 400, 0);
    EXPECT_LE(kutext::FindInk(Back(), 0xFF000000u).right, 26);
    EXPECT_EQ(sprite->DDTextOutRange(-1, &r, nullptr, 0, 16, -1, 400, 0), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::DDTextOutRange> 表示文字列が不正です\n"));
}

TEST_F(GdiDrawing, RectanglesCoverTheScreenByDefault) {
    const uint32_t green = 0x00FF00;
    ASSERT_EQ(sprite->DDFillRect(-1, nullptr, &green), 0);
    for (uint32_t p : Back().pixels)
        ASSERT_EQ(p, 0xFF00FF00u);
    ASSERT_EQ(sprite->DDFillRect(-1, nullptr, nullptr), 0);
    ASSERT_EQ(sprite->DDRectangle(-1, nullptr, &green), 0);
    EXPECT_EQ(Back().Row(0)[0], 0xFF00FF00u);
    EXPECT_EQ(Back().Row(599)[799], 0xFF00FF00u);
    EXPECT_EQ(Back().Row(300)[400], 0xFF000000u); // outline only
    const KURECT flat{10, 10, 10, 20};
    EXPECT_EQ(sprite->DDRectangle(-1, &flat, &green), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::DDRectangle> 描画範囲が異常です\n"));
    EXPECT_EQ(sprite->DDFillRect(-1, &flat, &green), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::DDFillRect> 描画範囲が異常です\n"));
    EXPECT_EQ(sprite->DDRectangle(9, nullptr, &green), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE::DDRectangle> インデックスナンバーが不正です\n"));
    EXPECT_EQ(sprite->DDFillRect(9, nullptr, &green), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE::DDFillRect> インデックスナンバーが不正です\n"));
    Back().lost = true;
    EXPECT_EQ(sprite->DDFillRect(-1, nullptr, &green), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::DDFillRect> デバイスコンテキストの取得に失敗しました\n"));
    Back().lost = false;

    // Coordinates and heights at the ends of their range draw what lies on the screen and nothing else.
    const KURECT all{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    ASSERT_EQ(sprite->DDFillRect(-1, &all, &green), 0);
    EXPECT_EQ(Back().Row(599)[799], 0xFF00FF00u);
    ASSERT_EQ(sprite->DDFillRect(-1, nullptr, nullptr), 0);
    ASSERT_EQ(sprite->DDRectangle(-1, &all, &green), 0);
    EXPECT_EQ(kutext::FindInk(Back(), 0xFF000000u).count, 0); // the outline lies off the screen
    EXPECT_EQ(sprite->DDTextOut(-1, INT32_MAX, INT32_MAX, "漢字", 0xFFFFFF, 20, 400), 0);
    EXPECT_EQ(sprite->DDTextOut(-1, INT32_MIN, 0, "漢字", 0xFFFFFF, 20, 400), 0);
    EXPECT_EQ(sprite->DDTextOut(-1, 0, 0, "漢字", 0xFFFFFF, INT32_MIN, 400), 1);
    KURECT far{INT32_MAX - 10, INT32_MIN, INT32_MIN, INT32_MAX};
    sprite->DDTextOutRange(-1, &far, "漢字\n漢字", 0xFFFFFF, 20, -1, 400, 0x1 | 0x20 | 0x4);
    sprite->DDTextOutRange(-1, &far, "漢字\n漢字", 0xFFFFFF, 20, -1, 400, 0x2 | 0x10);
    EXPECT_EQ(kutext::FindInk(Back(), 0xFF000000u).count, 0);

    // Outside a scene the fill still works; the outline does not.
    ASSERT_EQ(sprite->D3DXDrawEnd(), 0);
    log.Clear();
    const KURECT box{1, 2, 4, 6};
    ASSERT_EQ(sprite->DDFillRect(-1, &box, &green), 0);
    EXPECT_EQ(Back().Row(2)[1], 0xFF00FF00u);
    EXPECT_EQ(Back().Row(6)[1], 0xFF000000u);
    EXPECT_EQ(Back().Row(2)[4], 0xFF000000u);
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(sprite->DDRectangle(-1, &box, &green), 0);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::DDRectangle> BegineSceneが完了していません\n"));
}

TEST_F(GdiDrawing, SurfaceCompositionClipsToTheScreen) {
    plat::Surface& back = Back();
    for (int x = 0; x < 200; ++x)
        back.Row(0)[x] = 0xFF000000u | static_cast<uint32_t>(x);
    // Off the right edge: nothing.
    EXPECT_EQ(sprite->SurfaceComposition(-1, -1, 801.0f, 0.0f, nullptr, 1, 1, 0), 0);
    EXPECT_EQ(sprite->SurfaceComposition(-1, -1, 0.0f, 0.0f, nullptr, 1, 1, 0), 0);
    // 200 source columns at scale 2 from x = 700 overhang by 300: the source loses trunc(300 / 2) columns.
    const KURECT src{0, 0, 200, 1};
    EXPECT_EQ(sprite->SurfaceComposition(-1, -1, 700.0f, 10.0f, &src, 2.0f, 2.0f, 0), 0);
    EXPECT_EQ(back.Row(10)[700], 0xFF000000u);
    EXPECT_EQ(back.Row(11)[701], 0xFF000000u);
    EXPECT_EQ(back.Row(10)[799], 0xFF000000u | 49u);
    EXPECT_EQ(back.Row(12)[750], 0xFF000000u); // two destination rows for the one source row
    const KURECT empty{5, 0, 5, 1};
    EXPECT_EQ(sprite->SurfaceComposition(-1, -1, 0.0f, 0.0f, &empty, 1, 1, 0), 0);
    EXPECT_TRUE(log.lines().empty()) << log.all();

    // Positions and scales of any size stay in range; a source beyond its surface fails as the blit does.
    const std::vector<uint32_t> before = back.pixels;
    const KURECT huge{INT32_MIN, 0, INT32_MAX, 1};
    EXPECT_EQ(sprite->SurfaceComposition(-1, -1, -1e30f, 0.0f, &src, 1, 1, 0), 0);
    EXPECT_EQ(sprite->SurfaceComposition(-1, -1, 0.0f, 300.0f, &src, 1e-30f, 1e30f, 0), 0);
    EXPECT_EQ(sprite->SurfaceComposition(-1, -1, std::nanf(""), 0.0f, &src, 1, 1, 0), 0);
    EXPECT_EQ(sprite->SurfaceComposition(-1, -1, 0.0f, 0.0f, &src, std::nanf(""), 1, 0), 0);
    EXPECT_EQ(back.pixels, before);
    EXPECT_TRUE(log.lines().empty()) << log.all();
    EXPECT_LT(sprite->SurfaceComposition(-1, -1, 0.0f, 0.0f, &huge, 1, 1, 0), 0);
    const KURECT past{700, 0, 900, 1};
    EXPECT_LT(sprite->SurfaceComposition(-1, -1, 0.0f, 0.0f, &past, 1, 1, 0), 0);
    EXPECT_EQ(log.lines().size(), 2u);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::SurfaceComposition> サーフェスの合成描画に失敗しました\n"));
    EXPECT_EQ(back.pixels, before);
    EXPECT_EQ(sprite->SurfaceComposition(7, -1, 0.0f, 0.0f, &src, 1, 1, 0), 1);
    EXPECT_TRUE(
        log.Contains("Error: <KUSPRITE2::SurfaceComposition> 合成先インデックスナンバーがオーバーしています\n"));
    EXPECT_EQ(sprite->SurfaceComposition(-1, 7, 0.0f, 0.0f, &src, 1, 1, 0), 1);
    EXPECT_TRUE(
        log.Contains("Error: <KUSPRITE2::SurfaceComposition> 合成元インデックスナンバーがオーバーしています\n"));
}

TEST_F(GdiDrawing, GdiSurfaceModeAndAColdRenderer) {
    EXPECT_EQ(sprite->FlipToGDISurface(), 0);
    EXPECT_EQ(sprite->GetGDIMode(), 1);
    sprite->EndGDISurface();
    EXPECT_EQ(sprite->GetGDIMode(), 0);
    sprite->GetVideoDevice()->SimulateSurfaceLoss();
    EXPECT_LT(sprite->FlipToGDISurface(), 0); // a failure leaves the mode as it was
    EXPECT_EQ(sprite->GetGDIMode(), 0);

    KUSPRITE2 cold;
    EXPECT_LT(cold.FlipToGDISurface(), 0);
}

// Every operation refuses before the renderer is started (1) and, where it draws inside a frame, outside a
// scene (0), each under its own tag.
TEST_F(GdiDrawing, RefusalsBeforeStartAndOutsideAScene) {
    KURECT r{0, 0, 10, 10};
    auto everyOperation = [&](KUSPRITE2& s) {
        return std::vector<int>{s.DDTextOut(-1, 0, 0, "a", 0, 20, 400),
                                s.DDTextOutToSurface(&Back(), 0, 0, "a", 0, 20, 400),
                                s.DDTextOutLock(0, 0, "a", 0, 20, 400),
                                s.DDTextOutUnLock(),
                                s.DDTextOutRange(-1, &r, "a", 0, 20, -1, 400, 0),
                                s.DDRectangle(-1, nullptr, nullptr),
                                s.SurfaceComposition(-1, -1, 0, 0, nullptr, 1, 1, 0),
                                s.DDFillRect(-1, nullptr, nullptr),
                                s.SetClipper(nullptr)};
    };
    const char* ops[] = {"DDTextOut",   "DDTextOutToSurface", "DDTextOutLock", "DDTextOutUnLock", "DDTextOutRange",
                         "DDRectangle", "SurfaceComposition", "DDFillRect",    "SetClipper"};
    KUSPRITE2 cold;
    log.Clear();
    EXPECT_EQ(everyOperation(cold), std::vector<int>(9, 1));
    for (const char* op : ops)
        EXPECT_TRUE(log.Contains(std::string("Error: <KUSPRITE2::") + op + "> 初期化されていません\n")) << op;

    ASSERT_EQ(sprite->D3DXDrawEnd(), 0);
    log.Clear();
    EXPECT_EQ(everyOperation(*sprite), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(log.lines().size(), 7u) << log.all();
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(log.Contains(std::string("Error: <KUSPRITE2::") + ops[i] + "> BegineSceneが完了していません\n"))
            << ops[i];
}

TEST_F(GdiDrawing, ClipListKeepsCopiesOntoTheBackSurfaceInsideIt) {
    plat::Surface& back = Back();
    for (int x = 0; x < 40; ++x)
        back.Row(0)[x] = 0xFF000000u | static_cast<uint32_t>(x + 1);
    const KURECT src{0, 0, 40, 1};
    auto copied = [&](int y, int x) { return back.Row(y)[x] == (0xFF000000u | static_cast<uint32_t>(x + 1)); };

    const KURECT rects[2] = {{0, 0, 10, 600}, {20, 0, 30, 600}};
    KUSPRITE2::ClipList list{2, rects};
    EXPECT_EQ(sprite->SetClipper(&list), 0);
    EXPECT_EQ(sprite->GetClipList().size(), 2u);
    ASSERT_EQ(sprite->SurfaceComposition(-1, -1, 0.0f, 10.0f, &src, 1, 1, 0), 0);
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(copied(10, x), x < 10 || (x >= 20 && x < 30)) << x;
    // Other drawing is not clipped: only copies onto the back surface are.
    ASSERT_EQ(sprite->DDFillRect(-1, nullptr, nullptr), 0);
    EXPECT_EQ(back.Row(300)[400], 0xFF000000u);
    for (int x = 0; x < 40; ++x)
        back.Row(0)[x] = 0xFF000000u | static_cast<uint32_t>(x + 1);

    // A list without rectangles lets nothing through; removing the list lets everything through.
    KUSPRITE2::ClipList none{0, rects};
    EXPECT_EQ(sprite->SetClipper(&none), 0);
    ASSERT_EQ(sprite->SurfaceComposition(-1, -1, 0.0f, 12.0f, &src, 1, 1, 0), 0);
    for (int x = 0; x < 40; ++x)
        EXPECT_FALSE(copied(12, x)) << x;
    EXPECT_EQ(sprite->SetClipper(nullptr), 0);
    EXPECT_FALSE(sprite->HasClipList());
    ASSERT_EQ(sprite->SurfaceComposition(-1, -1, 0.0f, 14.0f, &src, 1, 1, 0), 0);
    for (int x = 0; x < 40; ++x)
        EXPECT_TRUE(copied(14, x)) << x;
    EXPECT_TRUE(log.lines().empty()) << log.all();
}

} // namespace
