#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "adv/adv_data.h"
#include "game/asset_slots.h"
#include "flow/game_main.h"
#include "game/game_settings.h"
#include "game/integration_data.h"
#include "gallery/cg_mode_data.h"
#include "platform/files.h"
#include "tests/modes/mode_harness.h"

namespace {

int Bit(int n) { return 1 << (n - 1); }

// The sample game's story and its gallery, headless on the fake clock with
// Ctrl held and the first choice taken. Needs the built game folder.
class GallerySampleTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!kutest::CopySampleScenario())
            GTEST_SKIP() << "the sample game is not built";
        SetEnvDefaults();
        ASSERT_TRUE(h.StartSprite());
    }
    void TearDown() override { h.sprite.Release(); }
    // Ctrl held, the left button clicked every other frame at the first choice.
    void Frame(int i) {
        h.sys.SetMousePos(400, 208);
        h.Frame(16, {{17, kHeld}, {1, i % 2 ? kClickUp : kHeld}});
    }

    kutest::TempDir dir;
    ModeHarness h;
    kutest::DebugCapture log;
};

TEST_F(GallerySampleTest, PlayingTheStoryFillsTheGallery) {
    auto game = std::make_unique<GAME_MAIN>();
    ASSERT_EQ(game->Initialize(&h.sys, &h.sprite, &h.snd), 1);
    bool played = false;
    for (int i = 0; i < 40000; ++i) {
        const int mode = game->GetMode();
        played = played || mode == GAME_MAIN::kModeAdventure;
        if (played && mode == GAME_MAIN::kModeLogo)
            break;
        if (mode == GAME_MAIN::kModeTitle)
            h.sys.SetMousePos(350, 280); // new game
        else
            h.sys.SetMousePos(400, 208);
        h.Frame(16, {{17, kHeld}, {1, i % 2 ? kClickUp : kHeld}});
        ASSERT_EQ(game->GameMainProc(), 1) << "frame " << i << "\n" << log.all();
    }
    ASSERT_TRUE(played);
    game.reset(); // writes the cross-play file
    std::string text;
    ASSERT_TRUE(plat::ReadWholeFile("sav/sav00.sav", &text));
    GAME_GLOBAL_DATA g;
    game::ParseIntegrationData(text, &g);

    // Episode 1's three scenes and episode 2's first were seen, and the
    // library marked as the way scene 2 went.
    EXPECT_EQ(g.m_dwEventFlag[0], 0x7u | Bit(15));
    EXPECT_EQ(g.m_dwEventFlag[1], 0x1u);
    EXPECT_EQ(g.m_nTopEpisode, 1);
    // Each scene opens the pictures of what it showed: the classroom, the
    // girl and the title; the library and its light (the first choice) and
    // the classroom the two leave; the exam; the corridor and the classroom
    // after the shower.
    EXPECT_EQ(g.m_dwCgFlag[0][0][0], 0x7u);
    EXPECT_EQ(g.m_dwCgFlag[0][1][0], uint32_t(Bit(1) | Bit(3) | Bit(5)));
    EXPECT_EQ(g.m_dwCgFlag[0][2][0], 0x7u);
    EXPECT_EQ(g.m_dwCgFlag[1][0][0], 0xFu);

    // What the gallery lists from them.
    CG_MODE_DATA cg;
    ASSERT_EQ(cg.Initialize(&h.sys, &h.sprite, &h.snd, &g, "CGModeData.spt"), 1);
    EXPECT_EQ(cg.EpisodesListed(), 2);
    ASSERT_EQ(cg.SetDataEpisodeScene(1, 1), 1);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(cg.m_nextSceneItem[c].bSelectFlg, 1) << c;
    EXPECT_STREQ(cg.m_nextSceneItem[0].szName, "Replay0101.spt");
    EXPECT_STREQ(cg.m_nextSceneItem[1].szName, "Replay0102.spt");
    EXPECT_STREQ(cg.m_nextSceneItem[2].szName, "");
    // Every scene lists what it unlocked, each picture once.
    const struct {
        int episode, scene, cells;
    } lists[] = {{1, 1, 3}, {1, 2, 5}, {1, 3, 3}, {2, 1, 4}};
    for (const auto& l : lists) {
        ASSERT_EQ(cg.SetDataSceneCG(l.episode, l.scene, 1), 1);
        for (int n = 0; n < 15; ++n) {
            EXPECT_EQ(cg.m_nextCGItem[n].bDispFlg, n < l.cells ? 1 : 0) << l.episode << "-" << l.scene << " " << n;
            const bool open = (g.m_dwCgFlag[l.episode - 1][l.scene - 1][0] >> n) & 1;
            EXPECT_TRUE(!open || n < l.cells) << "unlocked without a picture " << l.episode << "-" << l.scene << " " << n;
            for (int m = 0; m < n && n < l.cells; ++m)
                EXPECT_STRNE(cg.m_nextCGItem[n].szName, cg.m_nextCGItem[m].szName);
        }
    }
    ASSERT_EQ(cg.SetDataEpisodeScene(2, 1), 1);
    EXPECT_EQ(cg.m_nextSceneItem[0].bSelectFlg, 1);
    cg.Release();
}

// Each named scene's replay plays its scene alone and ends at the scene's end.
TEST_F(GallerySampleTest, ReplaysEndWithTheirScene) {
    for (const char* script : {"Replay0101.spt", "Replay0102.spt"}) {
        GAME_GLOBAL_DATA g;
        g.Initialize();
        ADV_DATA adv;
        ASSERT_EQ(adv.Initialize(script, &h.sys, &h.sprite, &h.snd, &g), 1) << script;
        int r = 0;
        for (int i = 0; i < 20000 && r == 0; ++i) {
            Frame(i);
            r = adv.MainProc();
        }
        EXPECT_EQ(r, ADV_DATA::kResultEnd) << script << "\n" << log.all();
        EXPECT_EQ(adv.m_nEpisode, 1);
        EXPECT_EQ(adv.m_nScene, script[9] - '0') << script;
        EXPECT_FALSE(log.Contains("定義されていない命令です")) << log.all();
        adv.Release();
    }
}

// Scene 2's replay plays the ways the player went (both, library first,
// when both were seen), as its marks in episode 1's event word say, and
// leaves the cross-play data as it found it.
TEST_F(GallerySampleTest, SceneTwoReplaysTheWaysSeenAndUnlocksNothing) {
    const struct {
        uint32_t events, pictures;
        std::vector<std::string> places;
    } seen[] = {
        {0x3u | Bit(16), uint32_t(Bit(2) | Bit(4) | Bit(5)), {"bg03.bmp"}},
        {0x3u | Bit(15), uint32_t(Bit(1) | Bit(3) | Bit(5)), {"bg02.bmp"}},
        {0x3u | Bit(15) | Bit(16), 0x1Fu, {"bg02.bmp", "bg03.bmp"}},
    };
    for (const auto& c : seen) {
        GAME_GLOBAL_DATA g;
        g.Initialize();
        g.m_dwEventFlag[0] = c.events;
        g.m_dwCgFlag[0][0][0] = 0x7u;
        g.m_dwCgFlag[0][1][0] = c.pictures;
        ADV_DATA adv;
        ASSERT_EQ(adv.Initialize("Replay0102.spt", &h.sys, &h.sprite, &h.snd, &g), 1);
        const int place = adv.IDSearch(ADV_DATA::kKindGraphic, "廊下");
        ASSERT_GE(place, 0);
        std::vector<std::string> shown;
        int r = 0;
        for (int i = 0; i < 40000 && r == 0; ++i) {
            Frame(i);
            r = adv.MainProc();
            const GRAPHIC_DATA& p = adv.m_pGraphic[place];
            if (p.m_bShow && p.m_szFile[0] && (shown.empty() || shown.back() != p.m_szFile))
                shown.emplace_back(p.m_szFile);
        }
        EXPECT_EQ(r, ADV_DATA::kResultEnd) << log.all();
        EXPECT_EQ(shown, c.places) << c.events;
        EXPECT_EQ(g.m_dwEventFlag[0], c.events);
        EXPECT_EQ(g.m_dwCgFlag[0][0][0], 0x7u);
        EXPECT_EQ(g.m_dwCgFlag[0][1][0], c.pictures);
        EXPECT_EQ(g.m_nTopEpisode, 0);
        adv.Release();
    }
}

} // namespace
