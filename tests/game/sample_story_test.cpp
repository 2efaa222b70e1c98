#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>

#include "adv/adv_data.h"
#include "engine/kutextgraphic.h"
#include "game/asset_slots.h"
#include "game/var_data.h"
#include "app/env_settings.h"
#include "flow/game_main.h"
#include "game/shell_services.h"
#include "tests/modes/mode_harness.h"

namespace {

// What the story's less common commands leave in the adventure object, seen
// frame by frame (the object is gone when the story ends).
struct StoryWatch {
    int Var(ADV_DATA& adv, const char* id) {
        const int i = adv.IDSearch(ADV_DATA::kKindVar, id);
        return i >= 0 ? adv.m_pVar[i].GetValue() : -1;
    }
    // Whether the text area's texture is made.
    static bool Made(ADV_DATA& adv, KUSPRITE2& sprite, int area) {
        const KUTEXTGRAPHIC* t = sprite.GetTextureTextSlot(static_cast<uint32_t>(adv.m_pTextArea[area].m_nSlot));
        return t && t->created();
    }
    void See(ADV_DATA& adv, KUSPRITE2& sprite) {
        const bool epilogue = std::strcmp(adv.m_szScriptName, "Epilogue.spt") == 0;
        const int title = adv.IDSearch(ADV_DATA::kKindTextArea, "題名");
        // Made for the title card in the first script, released after it.
        if (title >= 0 && std::strcmp(adv.m_szScriptName, "Start.spt") == 0 && Made(adv, sprite, title))
            titleMade = true;
        if (title >= 0 && titleMade && std::strcmp(adv.m_szScriptName, "Second.spt") == 0 && !Made(adv, sprite, title))
            titleUnloaded = true;
        if (title >= 0 && epilogue && adv.m_pTextArea[title].m_bShow && Made(adv, sprite, title))
            titleShownAgain = true;
        const char* text = adv.m_MsgWnd.m_Current.m_szText;
        skippedShown = skippedShown || std::strstr(text, "まだ見ていない場面") || std::strstr(text, "第一話を終えると");
        promised = promised || Var(adv, "約束") == 1;
        if (epilogue) {
            episode = Var(adv, "話数");
            scenes = Var(adv, "場面");
            total = Var(adv, "合計");
            promiseKept = Var(adv, "約束") == 0;
            math = adv.m_TestResult[0].m_nScore[2];
            english = adv.m_TestResult[0].m_nScore[0];
        }
    }
    bool titleMade = false, titleUnloaded = false, titleShownAgain = false, skippedShown = false, promised = false, promiseKept = false;
    int episode = -1, scenes = -1, total = -1, math = -1, english = -1;
};

// The sample game's story from the title's new game to the logo at its end,
// headless on the fake clock: Ctrl held throughout and the choice at
// `choiceY` clicked. The archive comes from the built game folder.
class SampleStoryTest : public ::testing::Test {
protected:
    static constexpr int kLibrary = 208, kRooftop = 296;

    void SetUp() override {
        if (!kutest::CopySampleScenario())
            GTEST_SKIP() << "the sample game is not built";
        SetEnvDefaults();
        static int window;
        ASSERT_EQ(h.sprite.Initialize(&h.sys, reinterpret_cast<plat::WindowHandle>(&window), &window, 800, 600, 32, 0),
                  1);
        // The slot tables the game binds in its first frame (recorded only here).
        ASSERT_EQ(h.sprite.CreateGraphicDataBuffer(kGraphicSlotCount), 1);
        ASSERT_EQ(h.sprite.CreateTextureTextBuffer(kTextureTextSlotCount), 1);
        game = std::make_unique<GAME_MAIN>();
        ASSERT_EQ(game->Initialize(&h.sys, &h.sprite, &h.snd), 1);
    }
    void TearDown() override {
        game.reset();
        h.sprite.Release();
    }

    // True when the story was played to the logo.
    bool Play(int choiceY) {
        bool played = false;
        for (int i = 0; i < 40000; ++i) {
            const int mode = game->GetMode();
            played = played || mode == GAME_MAIN::kModeAdventure;
            if (played && mode == GAME_MAIN::kModeLogo)
                return true;
            if (mode == GAME_MAIN::kModeTitle)
                h.sys.SetMousePos(350, 280); // new game
            else
                h.sys.SetMousePos(400, choiceY);
            // The title skips its opening on a click and takes the item on the next.
            h.Frame(16, {{17, kHeld}, {1, i % 2 ? kClickUp : kHeld}});
            // A failed frame ends the play: the log is told once, not every frame after.
            if (game->GameMainProc() != 1) {
                ADD_FAILURE() << "frame " << i << "\n" << log.all();
                return false;
            }
            if (game->m_pAdvData && game->m_pAdvData->m_bInit) {
                watch.See(*game->m_pAdvData, h.sprite);
                const int mood = game->m_pAdvData->IDSearch(ADV_DATA::kKindVar, "気分");
                if (mood >= 0 && game->m_pAdvData->m_pVar[mood].GetValue() != 0)
                    way = game->m_pAdvData->m_pVar[mood].GetValue();
            }
        }
        return false;
    }

    kutest::TempDir dir;
    ModeHarness h;
    std::unique_ptr<GAME_MAIN> game;
    kutest::DebugCapture log;
    StoryWatch watch;
    int way = 0; // the choice taken: 1 library, 2 rooftop
};

// Every script command is used somewhere; the rarer ones are checked by
// what they leave.
TEST_F(SampleStoryTest, PlaysFromTheTitleToTheEnd) {
    ASSERT_TRUE(Play(kLibrary));
    EXPECT_EQ(way, 1);
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeLogo);
    const GAME_GLOBAL_DATA& global = game->m_GlobalData;
    EXPECT_STREQ(global.m_pAutoSkip[0].m_szFile, "Start.spt");
    EXPECT_EQ(global.m_pAutoSkip[0].m_nLine, -1);
    EXPECT_STREQ(global.m_pAutoSkip[1].m_szFile, "Second.spt");
    EXPECT_EQ(global.m_pAutoSkip[1].m_nLine, -1);
    // #AddAutoSkipFileList NULL 0 and #FileChange2 record whole scripts.
    bool examAfter = false, epilogue = false;
    for (int i = 0; i < 16; ++i) {
        const auto& r = global.m_pAutoSkip[i];
        examAfter = examAfter || (std::strcmp(r.m_szFile, "ExamAfter.spt") == 0 && r.m_nLine == -1);
        epilogue = epilogue || (std::strcmp(r.m_szFile, "Epilogue.spt") == 0 && r.m_nLine == -1);
    }
    EXPECT_TRUE(examAfter);
    EXPECT_TRUE(epilogue);
    EXPECT_TRUE(watch.titleUnloaded);   // #UnloadData
    EXPECT_TRUE(watch.titleShownAgain); // #LoadData
    EXPECT_FALSE(watch.skippedShown);   // #Jump, #GoTo
    EXPECT_TRUE(watch.promised);
    EXPECT_TRUE(watch.promiseKept);     // #FlgOffVar
    EXPECT_EQ(watch.episode, 1);        // #PutInEpisodeData: episode 1 finished
    EXPECT_EQ(watch.scenes, 7);         // #PutInSceneData: scenes 1 to 3 of episode 1
    EXPECT_EQ(watch.english, 6);        // #ChangeTestResult
    EXPECT_EQ(watch.total, watch.math + 6); // #AddInTestResult
    // Without a sound device, movie channel or loaded work surface only these fail.
    const std::string all = log.all();
    size_t failures = 0;
    for (size_t at = all.find("命令でエラーが発生しました"); at != std::string::npos;
         at = all.find("命令でエラーが発生しました", at + 1))
        ++failures;
    EXPECT_EQ(failures, 4u) << all;
    for (const char* line : {"Start.sptの23行目、#SetData", "Start.sptの24行目、#PlayWave",
                             "Second.sptの56行目、#MosaicExpansion", "Second.sptの61行目、#MoviePlay"})
        EXPECT_TRUE(log.Contains(line)) << line;
}

// The other way leaves its own mark among the scenes seen; the epilogue
// drops it and finds every scene of episode 1 seen.
TEST_F(SampleStoryTest, TheRooftopWayReachesTheEpilogueWithEveryScene) {
    ASSERT_TRUE(Play(kRooftop));
    EXPECT_EQ(way, 2);
    EXPECT_EQ(watch.scenes, 7);
    EXPECT_FALSE(watch.skippedShown);
}

// A folder where a script's copy goes in tmp/ (holding a file and a link to
// a folder outside) is taken away with what it holds: the story's
// #FileChange goes on into Second.spt, and the folder outside is kept.
TEST_F(SampleStoryTest, AFolderInAScriptCopysPlaceDoesNotEndPlay) {
    dir.Write("outside/keep", "keep");
    dir.Write("tmp/Second.spt/old", "old");
    ASSERT_EQ(0, symlink("../../outside", "tmp/Second.spt/link"));
    ASSERT_TRUE(Play(kLibrary));
    EXPECT_STREQ(game->m_GlobalData.m_pAutoSkip[1].m_szFile, "Second.spt");
    EXPECT_FALSE(log.Contains("書き込みエラー発生")) << log.all();
    EXPECT_EQ("keep", dir.Read("outside/keep"));
}

} // namespace
