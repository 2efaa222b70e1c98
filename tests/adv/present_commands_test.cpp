#include "scene/draw_order_data.h"
#include "game/shell_services.h"
#include "tests/adv/command_fixture.h"
#include "tests/graphics/graphics_util.h"

namespace {

using PresentTest = CommandTest;

TEST_F(PresentTest, WaitsEndOnTimeOnClickAndOnlyWhileTheWindowIsShown) {
    PlayDeclared({"#MsgWndClose 0", "#TimeWait 100", "#ChangeVar v 1", "#TimeWait -5", "#ChangeVar v 2",
                  "#TimeWait 100000", "#ChangeVar v 3", "#KeyWait", "#ChangeVar v 4", "#EndScript"});
    RunToLine(3);
    EXPECT_TRUE(adv.m_bWindowShown);
    Frame(100); // 100 ms after the start: not yet past it
    EXPECT_TRUE(Busy());
    Frame(1);
    EXPECT_FALSE(Busy());
    RunToLine(5); // a negative wait counts as none
    Frame();
    Frame();
    EXPECT_EQ(Var("v"), 2);
    RunToLine(7);
    Step(16, {{kVkLButton, kClickUp}});
    EXPECT_FALSE(Busy());
    RunToLine(9);
    adv.m_bWindowShown = 0; // hidden by the player: not even Ctrl ends it
    Step(16, {{kVkControl, kHeld}});
    EXPECT_TRUE(Busy());
    adv.m_bWindowShown = 1;
    Step(16, {{kVkControl, kHeld}});
    Frame();
    EXPECT_EQ(Var("v"), 4);
    EXPECT_TRUE(NoErrors()) << log.all();
}

TEST_F(PresentTest, PicturesShowAndHideInPriorityOrder) {
    PlayDeclared({"#SetData GRAPHIC BG bg.bmp TRUE FALSE", "#SetData GRAPHIC CH ch.bmp", "#GraphicDisp BG 0 0 20 FALSE",
                  "#GraphicDisp CH 10 20 5", "#GraphicDisp BG NULL NULL NULL FALSE", "#GraphicHide CH",
                  "#GraphicHide BG FALSE", "#GraphicDisp XX", "#EndScript"});
    RunToLine(6);
    EXPECT_EQ(Pic("CH").m_fX, 10.0f);
    std::string pictures; // CH (5) under BG (20)
    for (uint32_t i = 0; i < adv.m_dwDrawOrderNum; ++i)
        if (adv.m_pDrawOrder[i].GetKind() == DRAW_ORDER_DATA::kGraphic)
            pictures += std::to_string(adv.m_pDrawOrder[i].GetIndex());
    EXPECT_EQ(pictures, "10");
    EXPECT_EQ(Pic("BG").m_nPriority, 20);
    EXPECT_EQ(Pic("BG").m_fAlpha, 1.0f);
    EXPECT_TRUE(Pic("BG").m_bShow);
    const int32_t bgSlot = Pic("BG").m_nSlot;
    RunToLine(8);
    EXPECT_EQ(Pic("CH").m_nSlot, -1);
    EXPECT_FALSE(Pic("CH").m_bShow);
    EXPECT_EQ(Pic("BG").m_nSlot, bgSlot);
    EXPECT_FALSE(Pic("BG").m_bShow);
    RunToResult();
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::GraphicDispProc> IDの取得に失敗しました\n"));
}

TEST_F(PresentTest, TextScrollRevealsAtItsSpeed) {
    PlayDeclared({"#SetData TEXTAREA TX 31 x 20", "#SetData TEXTAREA TX 3 あいうえおかきくけこ 20 FALSE",
                  "#TextDisp TX 0 0 400 40 NULL 0 FALSE", "#TextScroll TX 100", "#TextHide TX FALSE", "#EndScript"});
    RunToLine(5);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::SetDataProc> テキストエリアナンバーが範囲外です\n"));
    EXPECT_EQ(Area().m_nSlot, 39);
    EXPECT_EQ(Area().m_fDispNum, 0.0f);
    Frame(500);
    EXPECT_FLOAT_EQ(Area().m_fDispNum, 5.0f);
    Frame(500);
    EXPECT_FLOAT_EQ(Area().m_fDispNum, 10.0f);
    EXPECT_TRUE(Busy());
    Frame(1);
    EXPECT_EQ(Area().m_fDispNum, -1.0f);
    EXPECT_FALSE(Busy());
    Frame();
    EXPECT_FALSE(Area().m_bShow);
}

TEST_F(PresentTest, WipeShavesStripsAndUnloadsThePicture) {
    PlayDeclared({"#SetData GRAPHIC BG bg.bmp", "#GraphicDisp BG 0 0 10", "#Wipe BG BLIND_WAVE2 4 1000",
                  "#SetData GRAPHIC BG bg.bmp", "#Wipe BG BLIND_WAVE1 1 1000 FALSE", "#Wipe BG BLIND_WAVE2 3 0",
                  "#EndScript"});
    RunToLine(4);
    const MAIN_SCR& scr = adv.m_MainScr;
    ASSERT_EQ(scr.m_nTileNum, 4);
    EXPECT_EQ(scr.m_nTransitionSlot, Pic("BG").m_nSlot);
    EXPECT_EQ(scr.m_pTileTarget[1].top, 150);
    EXPECT_EQ(scr.m_pTileTarget[1].bottom, 300);
    Frame(500);
    EXPECT_EQ(scr.m_pTileRect[3].left, 400); // the last strip takes the whole 1000 ms
    EXPECT_EQ(scr.m_pTileRect[0].left, 800); // the first one a fifth of it
    Frame(500);
    EXPECT_EQ(scr.m_nTileNum, 0);
    EXPECT_EQ(scr.m_nTransitionSlot, -1);
    EXPECT_EQ(Pic("BG").m_nSlot, -1);
    RunToLine(6); // one strip of the first style starts half a screen late
    Frame(1000);
    EXPECT_EQ(scr.m_pTileRect[0].left, 400);
    Frame(499);
    EXPECT_EQ(scr.m_nTileNum, 1);
    Frame(1);
    EXPECT_EQ(scr.m_nTileNum, 0);
    EXPECT_NE(Pic("BG").m_nSlot, -1);
    EXPECT_EQ(RunToResult(), ADV_DATA::kResultEnd); // no time at all ends at once
    EXPECT_TRUE(NoErrors()) << log.all();
}

TEST_F(PresentTest, BadWipesFailAndPlayGoesOn) {
    PlayDeclared({"#Wipe BG BLIND_WAVE3 2 100", "#Wipe BG BLIND_WAVE1 0 100", "#Wipe BG BLIND_WAVE1 601 100",
                  "#Wipe XX BLIND_WAVE1 2 100", "#ChangeVar v 1", "#EndScript"});
    EXPECT_EQ(RunToResult(), ADV_DATA::kResultEnd);
    EXPECT_EQ(Var("v"), 1);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::WipeProc> エフェクトが定義されていません\n"));
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::WipeProc> 合致するIDが見つかりませんでした\n"));
    EXPECT_EQ(log.all().find("分割数が不正です") != std::string::npos, true);
}

TEST_F(PresentTest, MosaicGrowsToItsTargetAndEnds) {
    PlayDeclared({"#MosaicExpansion 8 64 480", "#MosaicExpansion NULL 9000 7360", "#MosaicReduction 64 16 0",
                  "#MosaicEnd", "#EndScript"});
    // The mosaic samples its work surface: give the renderer one.
    ASSERT_EQ(h.sprite.Initialize(&h.sys, kugfx::FakeWindow(), kugfx::FakeInstance(), 800, 600, 32, 0), 1);
    h.sprite.CreateGraphicDataBuffer(84);
    h.sprite.SetGraphicData(83, "tmp/", nullptr, 2, 0);
    ASSERT_TRUE(h.sprite.CreateGraphicData(83, 0, 0, 0, 0));
    RunToLine(2);
    const MAIN_SCR& scr = adv.m_MainScr;
    ASSERT_EQ(scr.m_dwMosaicSize, 16u) << log.all(); // 8 counts as the smallest cells
    EXPECT_EQ(scr.m_pMosaicCell[1 * 51 + 2].left, 32);
    EXPECT_EQ(scr.m_pMosaicCell[1 * 51 + 2].top, 16);
    Frame(100);
    EXPECT_EQ(scr.m_dwMosaicSize, 26u); // 10 ms a pixel
    Frame(400);
    EXPECT_EQ(scr.m_dwMosaicSize, 64u);
    EXPECT_FALSE(Busy());
    Frame(); // continues from 64 towards the largest cells
    Frame(7360);
    EXPECT_EQ(scr.m_dwMosaicSize, 800u);
    Frame();
    Frame(); // no time: straight to the target
    EXPECT_EQ(scr.m_dwMosaicSize, 16u);
    EXPECT_TRUE(scr.m_bMosaicOn);
    Frame();
    EXPECT_FALSE(scr.m_bMosaicOn);
    EXPECT_EQ(scr.m_pMosaicCell, nullptr);
    EXPECT_TRUE(NoErrors()) << log.all();
    h.sprite.Release();
}

// The frame that starts a mosaic is composed into its surface; each cell is
// then drawn in that surface's colour at the cell's centre, over the scene.
TEST_F(PresentTest, MosaicIsDrawnOverTheSceneHalfWayInAndOut) {
    PlayDeclared({"#MosaicExpansion 16 48 320", "#MosaicReduction 64 16 480", "#EndScript"});
    ASSERT_EQ(h.sprite.Initialize(&h.sys, kugfx::FakeWindow(), kugfx::FakeInstance(), 800, 600, 32, 0), 1);
    h.sprite.CreateGraphicDataBuffer(84);
    h.sprite.SetGraphicData(83, "tmp/", nullptr, 2, 0);
    ASSERT_TRUE(h.sprite.CreateGraphicData(83, 0, 0, 0, 0));
    kugfx::PackArchive("dat/Img.dat", {{"scene.bmp", kugfx::MakeBmp(800, 600, [](int x, int y) {
                                            return 0xFF000000u | (x * 255 / 799) << 16 | (y * 255 / 599) << 8 |
                                                   ((x / 100 + y / 75) % 2 ? 0xE0u : 0x20u);
                                        })}});
    h.sprite.SetGraphicData(5, "tmp/", "scene.bmp", 4, 1);
    ASSERT_TRUE(h.sprite.CreateGraphicData(5, 0, 0, 0, 0));
    GRAPHIC_DATA& bg = Pic("BG");
    bg.m_nSlot = 5;
    bg.m_bShow = 1;
    bg.m_fAlpha = 1.0f;
    adv.DrawObjectSort();
    adv.m_bWindowShown = 0;
    const plat::Surface& back = *h.sprite.GetBackSurface();
    auto draw = [&] {
        h.sprite.D3DXDrawStart();
        adv.DrawProc();
        h.sprite.D3DXDrawEnd();
    };
    const MAIN_SCR& scr = adv.m_MainScr;
    RunToLine(2);
    draw();
    Frame(160);
    ASSERT_EQ(scr.m_dwMosaicSize, 32u);
    draw();
    EXPECT_EQ(back.Row(40)[40], back.Row(63)[33]); // one cell, one colour
    EXPECT_NE(back.Row(40)[40], back.Row(40)[64]);
    EXPECT_EQ(kugfx::CompareGolden("mosaic_half_in", back), "");
    bg.m_fX = 50.0f; // the reduction composes the scene as it is when it starts
    RunToLine(3);
    draw();
    Frame(240);
    ASSERT_EQ(scr.m_dwMosaicSize, 40u);
    draw();
    EXPECT_EQ(kugfx::CompareGolden("mosaic_half_out", back), "");
    EXPECT_TRUE(NoErrors()) << log.all();
    h.sprite.Release();
}

TEST_F(PresentTest, MovieThatCannotOpenGivesEverythingBack) {
    PlayDeclared({"#MsgWndOpen 0", "#MoviePlay dat/none.mpg", "#ChangeVar v 1", "#EndScript"});
    EXPECT_EQ(RunToResult(), ADV_DATA::kResultEnd);
    EXPECT_TRUE(log.Contains("Error: <MAIN_SCR::MoviePlayProc> ムービーオープンに失敗しました\n"));
    EXPECT_EQ(g_bMoviePlay, 0);
    EXPECT_GE(fakesvc::g_cursorCount, 0);
    EXPECT_EQ(fakesvc::g_menuAttached, 1);
    EXPECT_EQ(Var("v"), 1);
}

} // namespace
