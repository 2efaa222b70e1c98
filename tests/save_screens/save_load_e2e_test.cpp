#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "adv/adv_data.h"
#include "app/env_settings.h"
#include "engine/kutextgraphic.h"
#include "flow/game_main.h"
#include "game/game_settings.h"
#include "modes/load_mode_data.h"
#include "modes/save_mode_data.h"
#include "platform/dialog_test_hooks.h"
#include "platform/files.h"
#include "platform/local_time.h"
#include "platform/local_time_test_hooks.h"
#include "tests/modes/mode_harness.h"
#include "tools/archive_writer.h"
#include "tools/script_writer.h"

namespace {

constexpr int kKeyS = 83;
constexpr int kKeyL = 76;
constexpr int kReturn = 13;

// A story saved and loaded through the game object with the real slot
// files: keys S and L over the story, an overwrite, and the title's load row.
class SaveLoadRoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::SetLocalTimeSource([] {
            plat::LocalTime t;
            t.month = 6;
            t.day = 9;
            t.hour = 12;
            t.minute = 34;
            return t;
        });
        SetEnvDefaults();
        std::filesystem::create_directories("dat");
        std::filesystem::create_directories("tmp");
        std::string error;
        ASSERT_TRUE(WriteArchive("dat/Scenario.dat",
                                 {{"Init.spt", "", ScrambleScript("#CREATE_DATA VAR v\r\n#FIRST_EXE_SCR s.spt\r\n")},
                                  {"s.spt", "",
                                   ScrambleScript("// s\r\n#MsgWndOpen 0\r\n#MsgDisp NULL 一行目 NULL\r\n"
                                                  "#MsgDisp NULL 二行目 NULL\r\n#MsgDisp NULL 三行目 NULL\r\n"
                                                  "#MsgDisp NULL 四行目 NULL\r\n#MsgDisp NULL 五行目 NULL\r\n"
                                                  "#MsgDisp NULL 六行目 NULL\r\n#KeyWait\r\n#EndScript\r\n")}},
                                 false, &error))
            << error;
        ASSERT_EQ(h.sprite.Initialize(&h.sys, reinterpret_cast<plat::WindowHandle>(&token), &token, 800, 600, 32, 0),
                  1);
        ASSERT_EQ(h.sprite.CreateGraphicDataBuffer(84), 1);
        ASSERT_EQ(h.sprite.CreateTextureTextBuffer(71), 1);
        ASSERT_EQ(game->Initialize(&h.sys, &h.sprite, &h.snd), 1);
        ASSERT_EQ(Step(16), 1);
        ASSERT_EQ(Step(16, {{17, kHeld}}), 1); // logo skipped
        ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);
    }
    void TearDown() override {
        game.reset();
        h.sprite.Release();
        plat::SetLocalTimeSource(nullptr);
    }
    int Step(uint32_t ms, std::initializer_list<std::pair<int, int>> keys = {}) {
        h.Frame(ms, keys);
        return game->GameMainProc();
    }
    void RunWhile(int mode, int frames = 400) {
        for (int i = 0; i < frames && game->GetMode() == mode; ++i)
            ASSERT_EQ(Step(16), 1) << log.all();
    }
    void Click(int x, int y) {
        h.sys.SetMousePos(x, y);
        ASSERT_EQ(Step(16), 1);
        ASSERT_EQ(Step(16, {{1, kClickUp}}), 1);
    }
    void ChooseTitleRow(int y) {
        Step(16);
        Step(16, {{1, kClickUp}});
        Click(400, y);
        RunWhile(GAME_MAIN::kModeTitle);
    }
    // Return pressed until the story shows its next message in full.
    void NextMessage() {
        h.sys.SetMousePos(300, 300); // Return clicks where the pointer is: off the bar
        const int32_t line = game->m_pAdvData->m_nLine;
        for (int i = 0; i < 200 && game->m_pAdvData->m_nLine == line; ++i)
            ASSERT_EQ(Step(16, {{kReturn, i % 4 == 0 ? kClickUp : 0}}), 1);
        for (int i = 0; i < 200; ++i)
            ASSERT_EQ(Step(16), 1);
        ASSERT_NE(game->m_pAdvData->m_nLine, line);
    }
    // A refused slot: its box, then the slots again after the fade-in.
    void ToTheSlots() {
        for (int i = 0; i < 200 && game->GetMode() == GAME_MAIN::kModeLoad && game->m_pLoadMode->m_nPhase != 2; ++i)
            ASSERT_EQ(Step(16), 1) << log.all();
        ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeLoad) << log.all();
        ASSERT_EQ(game->m_pLoadMode->m_nPhase, 2);
    }
    std::string Shown() const { return game->m_pAdvData->m_MsgWnd.m_TextArea.m_szText; }
    // A controller key over the story, its fade-out and the screen settled.
    void OpenScreen(int key, int mode) {
        ASSERT_EQ(Step(16, {{key, kClickUp}}), 1);
        RunWhile(GAME_MAIN::kModeAdventure, 200);
        ASSERT_EQ(game->GetMode(), mode) << log.all();
        RunWhile(mode, 70);
    }
    // The slot clicked, its question answered Yes.
    void SlotWithQuestion(int mode) {
        Click(100, 70);
        Answer(mode);
    }
    // The question's text shown whole (Ctrl), then Yes.
    void Answer(int mode) {
        RunWhile(mode, 40);
        ASSERT_EQ(Step(16, {{17, kHeld}}), 1);
        Click(200, 324);
    }
    static std::string SlotText() {
        std::string text;
        EXPECT_TRUE(plat::ReadRegularFile("sav/sav01.sav", 1 << 20, &text));
        return text;
    }

    kutest::TempDir dir;
    int token = 0;
    ModeHarness h;
    kutest::DebugCapture log;
    std::unique_ptr<GAME_MAIN> game = std::make_unique<GAME_MAIN>();
};

TEST_F(SaveLoadRoadTest, SavesLoadsOverwritesAndLoadsFromTheTitle) {
    ChooseTitleRow(285); // new game
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeAdventure);
    NextMessage();
    NextMessage();
    const int32_t savedLine = game->m_pAdvData->m_nLine;
    const std::string saved = Shown();
    ASSERT_FALSE(saved.empty());

    OpenScreen(kKeyS, GAME_MAIN::kModeSave);
    ASSERT_FALSE(std::filesystem::exists("sav/sav01.sav"));
    Click(100, 70); // an empty slot is written at once
    RunWhile(GAME_MAIN::kModeSave, 40);
    ASSERT_TRUE(std::filesystem::exists("sav/sav01.sav")) << log.all();
    const SLOT_ITEM_DATA& item = game->m_pSaveMode->m_Item[0];
    EXPECT_EQ(item.m_bData, 1);
    EXPECT_STREQ(item.m_szCaption, "第０話：シーン００\n　　　　　　　　　００．０６．０９／１２：３４");
    const std::string first = SlotText();

    Click(700, 548); // back to the same frame
    RunWhile(GAME_MAIN::kModeSave);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeAdventure);
    RunWhile(GAME_MAIN::kModeAdventure, 60);
    EXPECT_EQ(game->m_pAdvData->m_nLine, savedLine);
    EXPECT_EQ(Shown(), saved);
    NextMessage();
    const int32_t nextLine = game->m_pAdvData->m_nLine;
    const std::string next = Shown();
    ASSERT_NE(next, saved);
    NextMessage();

    OpenScreen(kKeyL, GAME_MAIN::kModeLoad);
    SlotWithQuestion(GAME_MAIN::kModeLoad);
    RunWhile(GAME_MAIN::kModeLoad);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeAdventure) << log.all();
    RunWhile(GAME_MAIN::kModeAdventure, 60);
    EXPECT_EQ(game->m_pAdvData->m_nLine, savedLine);
    EXPECT_EQ(Shown(), saved);
    NextMessage();
    EXPECT_EQ(game->m_pAdvData->m_nLine, nextLine);
    EXPECT_EQ(Shown(), next);

    OpenScreen(kKeyS, GAME_MAIN::kModeSave);
    Click(100, 70); // a slot that holds a save asks first
    RunWhile(GAME_MAIN::kModeSave, 40);
    EXPECT_EQ(SlotText(), first);
    EXPECT_EQ(game->m_pSaveMode->m_nSelect, 1);
    Answer(GAME_MAIN::kModeSave);
    RunWhile(GAME_MAIN::kModeSave, 40);
    EXPECT_NE(SlotText(), first);

    Click(700, 580); // to the title, after its question
    Answer(GAME_MAIN::kModeSave);
    RunWhile(GAME_MAIN::kModeSave);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);

    ChooseTitleRow(317);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeLoad);
    EXPECT_EQ(game->m_pLoadMode->m_nCallMode, LOAD_MODE_DATA::kCallerTitle);
    RunWhile(GAME_MAIN::kModeLoad, 70);
    SlotWithQuestion(GAME_MAIN::kModeLoad);
    RunWhile(GAME_MAIN::kModeLoad);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeAdventure) << log.all();
    RunWhile(GAME_MAIN::kModeAdventure, 60);
    EXPECT_EQ(game->m_pAdvData->m_nLine, nextLine);
    EXPECT_EQ(Shown(), next);
}

// Back from the save or load screen, by Enter on the arrow keys' way or by a
// click, the pointer stays where it was and the first Enter or click there
// reads on: the back button lies over the story's controller bar (its
// disabled NEXT would take it), and a screen opened from the bar leaves the
// bar's hover on its button until play looks again. Once the pointer moves,
// the bar takes it again.
TEST_F(SaveLoadRoadTest, TheFirstEnterAfterBackReadsOn) {
    ChooseTitleRow(285); // new game
    NextMessage();
    constexpr int kBarSave = 0; // the bar's save button, clicked
    const struct {
        int open, mode;
        bool byEnter;
        int playFrames; // before the Enter; 0: it comes on the first frame of play
        bool onByClick; // reads on with a click instead of Enter
    } roads[] = {{kKeyS, GAME_MAIN::kModeSave, true, 1, false},
                 {kBarSave, GAME_MAIN::kModeSave, false, 0, true},
                 {kKeyL, GAME_MAIN::kModeLoad, true, 1, false},
                 {kKeyL, GAME_MAIN::kModeLoad, false, 1, false}};
    for (const auto& road : roads) {
        if (road.open == kBarSave) {
            Click(646, 495);
            RunWhile(GAME_MAIN::kModeAdventure, 200);
            RunWhile(road.mode, 70);
        } else {
            OpenScreen(road.open, road.mode);
        }
        ASSERT_EQ(game->GetMode(), road.mode);
        if (road.byEnter) {
            h.sys.SetMousePos(700, 20); // on no target: the first arrow goes to slot 1
            for (int key : {38, 38, 37, 38}) // slot 15, the title button, back
                ASSERT_EQ(Step(16, {{key, kClickUp}}), 1);
            ASSERT_EQ(Step(16, {{kReturn, kClickUp}}), 1);
        } else {
            Click(700, 548);
        }
        int x = 0, y = 0;
        h.sys.GetMousePos(&x, &y);
        RunWhile(road.mode);
        ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeAdventure);
        for (int i = 0; i < 100 && game->m_pAdvData->m_nPhase != 0; ++i)
            ASSERT_EQ(Step(16), 1);
        for (int i = 0; i < road.playFrames; ++i)
            ASSERT_EQ(Step(16), 1);
        const std::string where = "opened by " + std::to_string(road.open) + ", back by Enter " +
                                  std::to_string(road.byEnter);
        int nowX = 0, nowY = 0;
        h.sys.GetMousePos(&nowX, &nowY);
        EXPECT_EQ(std::make_pair(nowX, nowY), std::make_pair(x, y)) << where;
        const int32_t line = game->m_pAdvData->m_nLine;
        ASSERT_EQ(Step(16, {{road.onByClick ? 1 : kReturn, kClickUp}}), 1);
        RunWhile(GAME_MAIN::kModeAdventure, 200);
        EXPECT_NE(game->m_pAdvData->m_nLine, line) << where;
        // Moved, still on the disabled NEXT: the bar's again, and the click stops there.
        const int32_t next = game->m_pAdvData->m_nLine;
        Click(x + 1, y);
        RunWhile(GAME_MAIN::kModeAdventure, 100);
        EXPECT_EQ(game->m_pAdvData->m_nLine, next) << where;
    }
}

// A slot the reader refuses is told in a box over the load screen; from
// play the story goes on as it was, from the title the title comes back.
TEST_F(SaveLoadRoadTest, ARefusedSlotKeepsThePlayOrTheTitle) {
    ChooseTitleRow(285); // new game
    NextMessage();
    OpenScreen(kKeyS, GAME_MAIN::kModeSave);
    Click(100, 70);
    RunWhile(GAME_MAIN::kModeSave, 40);
    const std::string file = SlotText();
    ASSERT_FALSE(file.empty());
    ASSERT_TRUE(plat::WriteFileAtomic("sav/sav01.sav", file.substr(0, file.size() / 2)));
    Click(700, 548);
    RunWhile(GAME_MAIN::kModeSave);
    RunWhile(GAME_MAIN::kModeAdventure, 60);
    NextMessage();
    const int32_t line = game->m_pAdvData->m_nLine;
    const std::string shown = Shown();

    plat::ClearDialogAnswers();
    plat::QueueDialogAnswer({});
    plat::QueueDialogAnswer({});
    const int boxes = plat::DialogRunCount();
    OpenScreen(kKeyL, GAME_MAIN::kModeLoad);
    SlotWithQuestion(GAME_MAIN::kModeLoad);
    ToTheSlots();
    EXPECT_EQ(plat::DialogRunCount(), boxes + 1);
    EXPECT_TRUE(log.Contains("Error: <LOAD_MODE_DATA::LoadProc> セーブファイルが不正です\n"));
    EXPECT_TRUE(log.Contains("Error: <LOAD_MODE_DATA::MainProc> ロード処理に失敗しました\n"));
    Click(700, 548); // back

    RunWhile(GAME_MAIN::kModeLoad);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeAdventure) << log.all();
    RunWhile(GAME_MAIN::kModeAdventure, 100);
    EXPECT_EQ(game->m_pAdvData->m_nLine, line);
    EXPECT_EQ(Shown(), shown);

    OpenScreen(kKeyL, GAME_MAIN::kModeLoad);
    Click(700, 580); // to the title, after its question
    Answer(GAME_MAIN::kModeLoad);
    RunWhile(GAME_MAIN::kModeLoad);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);
    ChooseTitleRow(317);
    RunWhile(GAME_MAIN::kModeLoad, 70);
    SlotWithQuestion(GAME_MAIN::kModeLoad);
    ToTheSlots();
    EXPECT_EQ(plat::DialogRunCount(), boxes + 2);
    Click(700, 580); // the title, without a question from there
    RunWhile(GAME_MAIN::kModeLoad);
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);
    EXPECT_FALSE(log.Contains("GameMainProcが失敗しました"));
}

// Saved over an open choice at strong smoothing, then loaded from the title
// once the options set another level: the text area, the message and both
// choices are drawn at the setting, not at the level the slot was saved at.
TEST_F(SaveLoadRoadTest, ALoadFromTheTitleDrawsTheTextsAtTheSmoothingSet) {
    std::string error;
    ASSERT_TRUE(WriteArchive(
        "dat/Scenario.dat",
        {{"Init.spt", "", ScrambleScript("#CREATE_DATA TEXTAREA TX\r\n#CREATE_DATA VAR v\r\n#FIRST_EXE_SCR s.spt\r\n")},
         {"s.spt", "",
          ScrambleScript("// s\r\n#SetData TEXTAREA TX 3 見出し 20\r\n#TextDisp TX 40 40 400 120 30 -1\r\n"
                         "#MsgWndOpen 0\r\n#MsgDisp NULL 一行目 NULL\r\n#SelectStart 2 10 散歩に出る 部屋に残る\r\n"
                         "#SelectBranch 1 10\r\n#SelectBranch 2 10\r\n#SelectEnd 10\r\n#EndScript\r\n")}},
        false, &error))
        << error;
    g_dwAntiAliasLevel = 4;
    ChooseTitleRow(285); // new game
    h.sys.SetMousePos(300, 500);
    for (int i = 0; i < 300 && game->m_pAdvData->m_SelectWnd.m_dwCount == 0; ++i)
        ASSERT_EQ(Step(16, {{kReturn, i % 20 == 19 ? kClickUp : 0}}), 1);
    ASSERT_EQ(game->m_pAdvData->m_SelectWnd.m_dwCount, 2u);
    RunWhile(GAME_MAIN::kModeAdventure, 60);
    OpenScreen(kKeyS, GAME_MAIN::kModeSave);
    Click(100, 70);
    RunWhile(GAME_MAIN::kModeSave, 40);
    ASSERT_TRUE(std::filesystem::exists("sav/sav01.sav")) << log.all();
    Click(700, 580); // to the title
    Answer(GAME_MAIN::kModeSave);
    RunWhile(GAME_MAIN::kModeSave);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);

    g_dwAntiAliasLevel = 1; // chosen on the options screen
    ChooseTitleRow(317);
    RunWhile(GAME_MAIN::kModeLoad, 70);
    SlotWithQuestion(GAME_MAIN::kModeLoad);
    RunWhile(GAME_MAIN::kModeLoad);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeAdventure) << log.all();
    RunWhile(GAME_MAIN::kModeAdventure, 60);
    ADV_DATA& adv = *game->m_pAdvData;
    ASSERT_EQ(adv.m_SelectWnd.m_dwCount, 2u);
    std::string levels = std::to_string(adv.m_dwAntiAliasLevel);
    for (const TEXTAREA_DATA* t : {&adv.m_pTextArea[0], &adv.m_MsgWnd.m_TextArea, &adv.m_SelectWnd.m_pWindow[0].m_Text,
                                   &adv.m_SelectWnd.m_pWindow[1].m_Text}) {
        const KUTEXTGRAPHIC* made = h.sprite.GetTextureTextSlot(static_cast<uint32_t>(t->m_nSlot));
        levels += " " + std::to_string(t->m_dwAntiAlias) + "/" +
                  (made && made->created() ? std::to_string(made->antiAlias()) : "-");
    }
    EXPECT_EQ(levels, "1 1/1 1/1 1/1 1/1");
}

} // namespace
