#include "modes/cursor_move.h"
#include "game/integration_data.h"
#include "tests/gallery/gallery_fixture.h"

namespace {

int SceneX(int c) { return 116 + 136 * (c - 1) + 68; }
int CellX(int n) { return 116 + 136 * ((n - 1) % 5) + 68; }
int CellY(int n) { return 228 + 104 * ((n - 1) / 5) + 52; }

} // namespace

// Episode 1: a named scene 1 with pictures on two pages, an unnamed scene 2,
// a locked scene 3.
struct GalleryModeTest : GalleryTest {
    void SetUp() override {
        GalleryTest::SetUp();
        Script({"EPISODE01 第一話", "EPISODE01-SCENE01 opening", "EPISODE01-SCENE02 NULL", "EPISODE01-SCENE03 x",
                "EPISODE01-SCENE01-PAGE01-X01-Y01 a.bmp", "EPISODE01-SCENE01-PAGE01-X02-Y01 b.bmp",
                "EPISODE01-SCENE01-PAGE01-X03-Y01 c.bmp FULL", "EPISODE01-SCENE01-PAGE02-X01-Y01 d.bmp",
                "EPISODE01-SCENE01-PAGE02-X02-Y01 e.bmp", "EPISODE01-SCENE01-PAGE02-X03-Y01 f.bmp",
                "EPISODE01-SCENE02-PAGE01-X01-Y01 g.bmp"});
        global.m_dwEventFlag[0] = 0x3;
        UnlockCG(1, 1, 1, 1);
        UnlockCG(1, 1, 2, 3);
        Start();
        RunTo(2);
    }
    void OpenEpisode1() {
        Click(60, 91);
        RunTo(2);
    }
    void OpenPicturesOfScene1() {
        OpenEpisode1();
        Click(SceneX(1), 152);
        RunTo(2);
        ASSERT_EQ(cg.m_nOpenCell, 1);
        Click(SceneX(1) + 1, 146); // the panel's picture list
        RunTo(2);
    }
};

TEST_F(GalleryModeTest, EpisodesScenesAndPanelAsTheFlagsAllow) {
    EXPECT_EQ(fakesvc::Count("BGM_DS_Play 1 BGM02.mp3"), 1);
    Frame(16, 60, 91 + 72); // episode 2 is not reached yet
    EXPECT_EQ(cg.m_nHoverId, 0);
    Frame(16, 60, 91);
    Frame(16, 60, 92);
    EXPECT_EQ(cg.m_nHoverId, 1);
    EXPECT_EQ(fakesvc::Count("SEPlay 24"), 1); // once per change
    Click(60, 91);
    EXPECT_EQ(cg.m_nState, 3);
    EXPECT_EQ(Bound(77), "TH_SC_EPI01.bmp");
    Frame(499, 0, 0);
    EXPECT_EQ(cg.m_nState, 3);
    Frame(1, 0, 0);
    EXPECT_EQ(cg.m_nState, 2);
    EXPECT_EQ(Bound(76), "TH_SC_EPI01.bmp");
    EXPECT_STREQ(cg.m_szTitle, "第一話");
    Frame(16, 60, 91);
    EXPECT_EQ(cg.m_nHoverId, 0); // the chosen episode is not offered
    Frame(16, SceneX(3), 152);
    EXPECT_EQ(cg.m_nHoverId, 0); // locked scene
    // The unnamed scene opens its list at once.
    Click(SceneX(2), 152);
    EXPECT_EQ(cg.m_nState, 6);
    Frame(16, 0, 0);
    EXPECT_EQ(cg.m_nState, 5);
    EXPECT_EQ(Bound(79), "TH_CG_EPI01_SC02.bmp");
    RunTo(2);
    EXPECT_EQ(cg.m_nCGPage, 1);
    EXPECT_STREQ(cg.m_cgItem[0].szName, "g.bmp");
    // The named scene shows its panel; its list button brings in page 1.
    Click(SceneX(1), 152);
    EXPECT_EQ(cg.m_nState, 4);
    RunTo(2);
    EXPECT_EQ(cg.m_fPanelAlpha, 1.0f);
    Frame(16, SceneX(1), 146);
    EXPECT_EQ(cg.m_nHoverId, CG_MODE_DATA::kIdList);
    Click(SceneX(1), 146);
    RunTo(2);
    EXPECT_EQ(cg.m_nCGPageMax, 2);
    Frame(16, CellX(2), CellY(2));
    EXPECT_EQ(cg.m_nHoverId, 0); // locked picture
    Frame(16, CellX(1), CellY(1));
    EXPECT_EQ(cg.m_nHoverId, 17);
    Click(759, 550); // next picture page
    RunTo(2);
    EXPECT_EQ(cg.m_nCGPage, 2);
    EXPECT_STREQ(cg.m_cgItem[2].szName, "f.bmp");
}

// Closing the picture list (its scene's panel opens again) takes its page
// arrows with it: none is drawn, hovered or clickable afterwards.
TEST_F(GalleryModeTest, ClosedPictureListLeavesNoPageArrows) {
    OpenPicturesOfScene1();
    Click(759, 550); // next picture page
    RunTo(2);
    ASSERT_EQ(cg.m_nCGPage, 2);
    Click(SceneX(1), 152);
    RunTo(2);
    EXPECT_EQ(cg.m_nCGPage, 0);
    EXPECT_EQ(cg.m_nCGPageMax, 0);
    Frame(16, 145, 550);
    EXPECT_EQ(cg.m_nHoverId, 0);
    Click(145, 550);
    EXPECT_EQ(cg.m_nState, 2);
    EXPECT_EQ(cg.m_nOpenCell, 1);
    EXPECT_EQ(cg.m_fCGAlpha, 0.0f);
}

TEST_F(GalleryModeTest, ReplayLeavesWithAutoSkipOffAndAsksAgain) {
    OpenEpisode1();
    Click(SceneX(1), 152);
    RunTo(2);
    Click(SceneX(1), 166);
    EXPECT_EQ(cg.m_nState, 8);
    int r = 0;
    for (int i = 0; i < 100 && r == 0; ++i)
        r = Frame(50, 0, 0);
    EXPECT_EQ(r, CG_MODE_DATA::kResultReplay);
    EXPECT_EQ(g_bAutoSkip, 0);
    EXPECT_EQ(cg.OpenScene(), 1);
    EXPECT_EQ(Frame(500, 0, 0), 0);
    EXPECT_EQ(Frame(500, 0, 0), CG_MODE_DATA::kResultReplay);
}

TEST_F(GalleryModeTest, ArrowKeysFollowTheTable) {
    Frame(16, 799, 5, {{plat::kVkDown, kUp}}); // nothing under the pointer
    int x = 0, y = 0;
    sys.GetMousePos(&x, &y);
    EXPECT_EQ(x, 60);
    EXPECT_EQ(y, 91);
    OpenEpisode1();
    Frame(16, SceneX(4), 152, {{plat::kVkUp, kUp}});
    sys.GetMousePos(&x, &y);
    EXPECT_EQ(x, 416); // exit
    EXPECT_EQ(y, 580);
    Frame(16, 416, 580, {{plat::kVkDown, kUp}});
    sys.GetMousePos(&x, &y);
    EXPECT_EQ(x, SceneX(3));
    Frame(16, SceneX(1), 152, {{plat::kVkDown, kUp}}); // no scene back: picture cell 1
    sys.GetMousePos(&x, &y);
    EXPECT_EQ(y, CellY(1));
}

TEST_F(GalleryModeTest, FullViewStepsAcrossPagesAndReturnsThere) {
    OpenPicturesOfScene1();
    Click(CellX(1), CellY(1));
    EXPECT_EQ(cg.m_nState, 9);
    RunTo(11);
    CG_CONTROLLER_WINDOW& bar = cg.m_cgCtrlWnd;
    EXPECT_EQ(bar.m_Button[GALLERY_BAR::kBack].GetState(), -1);
    EXPECT_EQ(bar.m_Button[GALLERY_BAR::kNext].GetState(), 0);
    EXPECT_EQ(bar.m_Button[GALLERY_BAR::kPlay].GetState(), -1);
    EXPECT_EQ(Bound(80), "a.bmp");
    Frame(16, 0, 0, {{'N', kUp}});
    EXPECT_EQ(cg.m_nState, 12);
    EXPECT_EQ(Bound(81), "f.bmp");
    RunTo(11);
    EXPECT_EQ(cg.m_nCGPage, 2);
    EXPECT_EQ(cg.m_nCGNum, 3);
    EXPECT_EQ(bar.m_Button[GALLERY_BAR::kNext].GetState(), -1);
    EXPECT_EQ(bar.m_Button[GALLERY_BAR::kBack].GetState(), 0);
    // A hidden bar takes no keys; the first click only shows it again.
    Frame(16, 0, 0, {{'W', kUp}});
    EXPECT_EQ(cg.m_bCtrlWndDisp, 0);
    Frame(16, 0, 0, {{'R', kUp}});
    EXPECT_EQ(cg.m_nState, 11);
    Click(10, 10);
    EXPECT_EQ(cg.m_bCtrlWndDisp, 1);
    EXPECT_EQ(cg.m_nState, 11);
    // Arrow keys go to stop from nothing.
    Frame(16, 10, 10, {{plat::kVkLeft, kUp}});
    int x = 0, y = 0;
    sys.GetMousePos(&x, &y);
    EXPECT_EQ(x, 566 + 98);
    EXPECT_EQ(y, 480 + 75);
    Frame(16, 0, 0, {{'R', kUp}});
    EXPECT_EQ(cg.m_nState, 13);
    RunTo(2);
    EXPECT_EQ(cg.m_nCGPage, 2); // the page of the last picture viewed
    EXPECT_STREQ(cg.m_cgItem[2].szName, "f.bmp");
    EXPECT_EQ(fakesvc::Count("GraphicLoad 21"), 2);
}

TEST_F(GalleryModeTest, MissingAtlasIsLoggedAndTheGalleryGoesOn) {
    fakesvc::g_failGraphicSlot = 77;
    EXPECT_EQ(Click(60, 91), 0);
    EXPECT_TRUE(log.Contains("画像のロードに失敗しました"));
    RunTo(2);
    EXPECT_EQ(cg.m_nEpisode, 1);
    EXPECT_EQ(cg.m_sceneItem[0].bDispFlg, 1); // the cells stay usable
}

// A missing picture atlas or full-view picture is logged; the list and the
// view still open, the view stays empty and steps on.
TEST_F(GalleryModeTest, MissingPicturesAreLoggedAndTheViewGoesOn) {
    fakesvc::g_failGraphicSlot = 79;
    OpenPicturesOfScene1();
    EXPECT_TRUE(log.Contains("CGサムネイルのロードに失敗しました"));
    EXPECT_EQ(cg.m_cgItem[0].bSelectFlg, 1);
    fakesvc::g_failGraphicSlot = 80;
    Click(CellX(1), CellY(1));
    RunTo(11);
    EXPECT_TRUE(log.Contains("<CG_MODE_DATA::CGInspectDataLoad> 画像のロードに失敗しました")) << log.all();
    Frame(16, 0, 0, {{'N', kUp}});
    RunTo(11);
    EXPECT_EQ(cg.m_nCGPage, 2);
    Frame(16, 0, 0, {{'R', kUp}});
    RunTo(2);
}

// Whatever flags "sav/sav00.sav" holds, the gallery lists within its own
// bounds: every episode, scene page and picture page can be walked.
TEST_F(GalleryTest, AnyCrossPlayFileIsWalkedSafely) {
    Script({"EPISODE01 第一話", "EPISODE01-SCENE01 opening", "EPISODE01-SCENE02 NULL", "EPISODE01-SCENE06 NULL",
            "EPISODE07-SCENE01 NULL", "EPISODE01-SCENE01-PAGE01-X01-Y01 a.bmp",
            "EPISODE01-SCENE01-PAGE02-X01-Y01 b.bmp", "EPISODE07-SCENE01-PAGE01-X01-Y01 c.bmp"});
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int32_t top : {-7, 0, 3, 6, 7, 2147483647}) {
        GAME_GLOBAL_DATA file;
        file.m_nTopEpisode = top;
        for (auto& e : file.m_dwCgFlag)
            for (auto& k : e)
                for (uint32_t& w : k)
                    w = top == 7 ? 0xFFFFFFFFu : next();
        for (uint32_t& w : file.m_dwEventFlag)
            w = top == 7 ? 0xFFFFFFFFu : next();
        global.Clear();
        global.Initialize();
        game::ParseIntegrationData(game::FormatIntegrationData(file), &global);
        cg.Release();
        Start();
        RunTo(2);
        const int listed = top <= 0 ? 1 : top >= 6 ? 7 : top + 1;
        EXPECT_EQ(cg.EpisodesListed(), listed) << top;
        for (int e = 1; e <= 7; ++e) {
            Frame(16, 60, 91 + 72 * (e - 1));
            EXPECT_EQ(cg.m_nHoverId, e <= listed && e != cg.m_nEpisode ? e : 0) << top << " " << e;
            Click(60, 91 + 72 * (e - 1));
            RunTo(2);
            for (int c = 1; c <= 5; ++c) { // every scene cell, then every picture cell and page arrow
                Click(SceneX(c), 152);
                RunTo(2);
                Click(SceneX(c) + 1, 146);
                RunTo(2);
                Click(759, 550);
                RunTo(2);
                for (int n = 1; n <= 15; ++n)
                    EXPECT_LE(cg.m_cgItem[n - 1].bSelectFlg, cg.m_cgItem[n - 1].bDispFlg);
            }
            Click(759, 214);
            RunTo(2);
        }
        EXPECT_FALSE(log.Contains("Error")) << log.all();
    }
}
