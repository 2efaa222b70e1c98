#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "adv/adv_data.h"
#include "engine/kutextgraphic.h"
#include "game/mode_results.h"
#include "modes/load_mode_data.h"
#include "modes/save_mode_data.h"
#include "platform/dialog_test_hooks.h"
#include "tests/modes/mode_harness.h"

namespace {

constexpr int kLeftX = 156; // centre of the left column's slots
int SlotY(int n) { return 55 + 36 * ((n - 1) % 15) + 18; }

std::string SlotText(int n) { return "sav/sav" + std::string(n < 10 ? "0" : "") + std::to_string(n) + ".sav"; }

// The save and load screens driven frame by frame with recorded services
// over a started renderer (the captions and the dialog's text are rendered).
class SlotScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(h.sprite.Initialize(&h.sys, reinterpret_cast<plat::WindowHandle>(&token), &token, 800, 600, 32, 0),
                  1);
        ASSERT_EQ(h.sprite.CreateGraphicDataBuffer(84), 1);
        ASSERT_EQ(h.sprite.CreateTextureTextBuffer(71), 1);
        std::filesystem::create_directories("sav");
    }
    void TearDown() override {
        save.Release();
        load.Release();
        h.sprite.Release();
    }
    void WriteSlot(int n, const std::string& text) { dir.Write(SlotText(n), text); }
    template <class Screen>
    void Open(Screen& s) {
        ASSERT_EQ(s.MainProc(), 0);
        h.Frame(1000);
        ASSERT_EQ(s.MainProc(), 0);
        ASSERT_EQ(s.m_nPhase, 2);
        fakesvc::Calls().clear();
    }
    void OpenSave() {
        ASSERT_EQ(save.Initialize(&h.sys, &h.sprite, &h.snd, &adv), 1);
        Open(save);
    }
    void OpenLoad(int caller) {
        ASSERT_EQ(load.Initialize(&h.sys, &h.sprite, &h.snd, &adv, caller), 1);
        Open(load);
    }
    template <class Screen>
    int Step(Screen& s, uint32_t ms, std::initializer_list<std::pair<int, int>> keys = {}) {
        h.Frame(ms, keys);
        return s.MainProc();
    }
    template <class Screen>
    int ClickAt(Screen& s, int x, int y) {
        h.sys.SetMousePos(x, y);
        Step(s, 16, {{1, 2}});
        return Step(s, 16, {{1, kClickUp}});
    }
    std::pair<int, int> Pointer() {
        int x = 0, y = 0;
        h.sys.GetMousePos(&x, &y);
        return {x, y};
    }
    std::string DialogText() {
        const KUTEXTGRAPHIC* t = h.sprite.GetTextureTextSlot(MESSAGE_WINDOW::kMessageTextSlot);
        return t && t->initialized() ? std::string(t->text(), t->textLength()) : "";
    }

    kutest::TempDir dir;
    int token = 0;
    ModeHarness h;
    ADV_DATA adv;
    SAVE_MODE_DATA save;
    LOAD_MODE_DATA load;
};

TEST_F(SlotScreenTest, CaptionsFromTheSlotFiles) {
    WriteSlot(1, "2026 12 7 23 30\n1 3\nInit.spt\n");
    WriteSlot(2, "2026 1 2 3 4\n"); // date only
    WriteSlot(3, "garbage\n\x01\x02\n");
    WriteSlot(5, "2000 1 2 3 4\r\n12 5\r\n"); // CR LF lines
    std::filesystem::create_directories(SlotText(4)); // a folder in place of the file
    // Special files in a slot's place neither block the screen nor read on forever.
    std::filesystem::create_symlink("/dev/zero", SlotText(7));
    ASSERT_EQ(mkfifo(SlotText(8).c_str(), 0644), 0);
    kutest::DebugCapture cap;
    OpenSave();
    EXPECT_EQ(save.m_Item[0].m_bData, 1);
    EXPECT_EQ(std::string(save.m_Item[0].m_szCaption),
              "第１話：シーン０３\n　　　　　　　　　２６．１２．０７／２３：３０");
    EXPECT_EQ(save.m_Item[0].m_nTextSlot, 6);
    for (int n : {2, 3, 4, 6, 7, 8})
        EXPECT_EQ(save.m_Item[n - 1].m_bData, 0) << n;
    EXPECT_EQ(save.m_Item[4].m_bData, 1);
    EXPECT_EQ(save.m_Item[4].m_nEpisode, 12);
    EXPECT_EQ(save.m_Item[4].m_nTextSlot, 10);
    EXPECT_FALSE(cap.Contains("Error"));
}

TEST_F(SlotScreenTest, EmptySlotIsSavedAtOnce) {
    OpenSave();
    kutest::DebugCapture cap;
    const int r = ClickAt(save, kLeftX, SlotY(3));
    EXPECT_EQ(fakesvc::Count("SEPlay 12"), 1);
    EXPECT_EQ(fakesvc::Count("SEPlay 14"), 1);
    EXPECT_NE(save.m_nPhase, 3); // no question
    if (r == kModeFailed) {
        // A slot-file writer that cannot write ends the screen.
        EXPECT_TRUE(cap.Contains("Error: <SAVE_MODE_DATA::MainProc> セーブ処理に失敗しました"));
        EXPECT_FALSE(dir.Exists(SlotText(3)));
    } else {
        EXPECT_EQ(r, 0);
        EXPECT_EQ(save.m_nPhase, 2);
        EXPECT_TRUE(dir.Exists(SlotText(3)));
        EXPECT_EQ(save.m_Item[2].m_bData, 1);
    }
}

TEST_F(SlotScreenTest, SlotWithASaveAsksFirst) {
    WriteSlot(1, "2026 12 7 23 30\n1 3\n");
    OpenSave();
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(ClickAt(save, kLeftX, SlotY(1)), 0);
        ASSERT_EQ(save.m_nPhase, 3);
        EXPECT_EQ(save.m_nSelect, 1);
        EXPECT_TRUE(save.m_MsgWnd.m_bVisible);
        Step(save, 250);
        EXPECT_FLOAT_EQ(save.m_MsgWnd.m_fAlpha, 0.5f);
        Step(save, 250);
        ASSERT_EQ(save.m_nPhase, 4);
        EXPECT_EQ(DialogText(), "０１．にセーブします。\nよろしいですか？");
        EXPECT_EQ(save.m_MsgWnd.m_TextArea.m_rcArea.left, 130 + 4 + 150);
        // Round 0 a click, round 1 Ctrl: the whole text and the answer in the same frame.
        if (round == 0)
            ClickAt(save, 10, 10);
        else
            Step(save, 16, {{17, kHeld}});
        ASSERT_EQ(save.m_nPhase, 5);
        EXPECT_EQ(save.m_MsgWnd.m_TextArea.m_fDispNum, -1.0f);
        if (round == 0) {
            EXPECT_EQ(ClickAt(save, 500, 324), 0); // No
            EXPECT_EQ(save.m_nPhase, 6);
            Step(save, 499);
            EXPECT_EQ(save.m_nPhase, 6);
            Step(save, 1);
            EXPECT_EQ(save.m_nPhase, 2);
            EXPECT_FALSE(save.m_MsgWnd.m_bVisible);
        }
    }
    fakesvc::Calls().clear();
    kutest::DebugCapture cap;
    const int r = ClickAt(save, 200, 324); // Yes
    EXPECT_EQ(fakesvc::Count("SEPlay 14"), 1);
    if (r == kModeFailed)
        EXPECT_TRUE(cap.Contains("セーブ処理に失敗しました"));
    else
        EXPECT_EQ(save.m_nPhase, 6);
}

// A slot that cannot be written (here a folder holds its temporary name) is
// told in a box; the screen goes on and the old save stays whole.
TEST_F(SlotScreenTest, FailedSaveIsToldAndPlayGoesOn) {
    const std::string old = "2026 12 7 23 30\n1 3\n";
    WriteSlot(1, old);
    std::filesystem::create_directories(SlotText(1) + ".tmp");
    std::filesystem::create_directories(SlotText(3) + ".tmp");
    OpenSave();
    plat::ClearDialogAnswers();
    // The player reads the box for a minute: the game's time stands still meanwhile.
    plat::QueueDialogAnswer({}, [this] { h.clock_.clock.Advance(60000); });
    plat::QueueDialogAnswer({});
    const int boxes = plat::DialogRunCount();
    kutest::DebugCapture cap;
    const uint32_t before = h.Now();
    EXPECT_EQ(ClickAt(save, kLeftX, SlotY(3)), 0); // empty: saved at once
    EXPECT_EQ(save.m_nPhase, 2);
    Step(save, 16);
    EXPECT_EQ(h.Now() - before, 48u);
    EXPECT_EQ(plat::DialogRunCount(), boxes + 1);
    EXPECT_EQ(plat::LastDialogCaption(), "Error");
    EXPECT_FALSE(dir.Exists(SlotText(3)));
    EXPECT_EQ(save.m_Item[2].m_bData, 0);

    ClickAt(save, kLeftX, SlotY(1)); // a save there: the question first
    Step(save, 500);
    ClickAt(save, 10, 10);
    ASSERT_EQ(save.m_nPhase, 5);
    EXPECT_EQ(ClickAt(save, 200, 324), 0); // Yes
    EXPECT_EQ(plat::DialogRunCount(), boxes + 2);
    EXPECT_EQ(save.m_nPhase, 6);
    Step(save, 500);
    EXPECT_EQ(save.m_nPhase, 2);
    EXPECT_EQ(dir.Read(SlotText(1)), old);
    EXPECT_EQ(save.m_Item[0].m_bData, 1);
    const std::string failed = "Error: <SAVE_MODE_DATA::MainProc> セーブ処理に失敗しました";
    EXPECT_EQ(std::count_if(cap.lines().begin(), cap.lines().end(),
                            [&](const std::string& l) { return l.find(failed) != std::string::npos; }),
              2);
}

// A question whose window picture cannot be loaded (a full disk under tmp/)
// is told in a box and the slots go on; once the picture loads, it opens.
TEST_F(SlotScreenTest, QuestionWithoutItsWindowIsToldAndTheSlotsGoOn) {
    WriteSlot(1, "2026 12 7 23 30\n1 3\n");
    OpenSave();
    OpenLoad(4);
    plat::ClearDialogAnswers();
    const int boxes = plat::DialogRunCount();
    fakesvc::g_failGraphicSlot = SLOT_MODE_DATA::kSlotWindow;
    EXPECT_EQ(ClickAt(save, kLeftX, SlotY(1)), 0);
    EXPECT_EQ(ClickAt(save, 700, 580), 0); // the title's question
    EXPECT_EQ(ClickAt(load, kLeftX, SlotY(1)), 0);
    EXPECT_EQ(plat::DialogRunCount(), boxes + 3);
    EXPECT_NE(plat::LastDialogTexts().find("メッセージウィンドウの初期化に失敗しました"), std::string::npos);
    EXPECT_EQ(save.m_nPhase, 2);
    EXPECT_EQ(load.m_nPhase, 2);
    EXPECT_FALSE(save.m_MsgWnd.m_bVisible);
    fakesvc::g_failGraphicSlot = -1;
    EXPECT_EQ(ClickAt(save, kLeftX, SlotY(1)), 0);
    EXPECT_EQ(save.m_nPhase, 3);
    EXPECT_EQ(plat::DialogRunCount(), boxes + 3);
}

TEST_F(SlotScreenTest, BackAndToTheTitleTakeTheWholeFade) {
    OpenSave();
    EXPECT_EQ(ClickAt(save, 700, 548), 0);
    EXPECT_EQ(fakesvc::Count("SEPlay 13"), 1);
    EXPECT_EQ(save.m_nPhase, 11);
    EXPECT_EQ(Step(save, 999), 0);
    EXPECT_EQ(Step(save, 1), SAVE_MODE_DATA::kResultBack);

    save.m_nPhase = 2;
    ClickAt(save, 700, 580);
    ASSERT_EQ(save.m_nPhase, 7);
    Step(save, 500);
    ASSERT_EQ(save.m_nPhase, 8);
    EXPECT_EQ(DialogText(), "タイトルに戻ります。\nよろしいですか？");
    EXPECT_EQ(save.m_MsgWnd.m_TextArea.m_rcArea.left, 130 + 4 + 170);
    Step(save, 16, {{17, kHeld}});
    ASSERT_EQ(save.m_nPhase, 9);
    EXPECT_EQ(ClickAt(save, 200, 324), 0);
    EXPECT_EQ(save.m_nPhase, 10);
    EXPECT_EQ(save.m_fFade, 0.0f);
    EXPECT_EQ(Step(save, 999), 0);
    EXPECT_EQ(Step(save, 1), SAVE_MODE_DATA::kResultTitle);
}

TEST_F(SlotScreenTest, ArrowKeyGraph) {
    OpenSave();
    h.sys.SetMousePos(700, 20); // over nothing
    Step(save, 16, {{39, kClickUp}});
    EXPECT_EQ(Pointer(), std::make_pair(156, 73)); // slot 1
    EXPECT_EQ(save.m_nSelect, 1);
    Step(save, 16, {{38, kClickUp}});
    EXPECT_EQ(Pointer(), std::make_pair(156, SlotY(15)));
    // The first released key of Up, Down, Left, Right decides.
    Step(save, 16, {{37, kClickUp}, {40, kClickUp}});
    EXPECT_EQ(Pointer(), std::make_pair(156, SlotY(1)));
    struct Row {
        int from, up, down, left, right;
    } rows[] = {{1, 15, 2, 16, 16},   {7, 6, 8, 22, 22},    {14, 13, 15, 31, 29}, {15, 14, 1, 32, 30},
                {16, 30, 17, 1, 1},   {20, 19, 21, 5, 5},   {29, 28, 30, 14, 31}, {30, 29, 16, 15, 32},
                {31, 32, 32, 29, 14}, {32, 31, 31, 30, 15}, {0, 1, 1, 1, 1}};
    for (const Row& r : rows) {
        EXPECT_EQ(save.MoveTarget(r.from, 38), r.up) << r.from;
        EXPECT_EQ(save.MoveTarget(r.from, 40), r.down) << r.from;
        EXPECT_EQ(save.MoveTarget(r.from, 37), r.left) << r.from;
        EXPECT_EQ(save.MoveTarget(r.from, 39), r.right) << r.from;
    }
    // In the dialog: Up or Down only while nothing is hovered, Left and Right toggle.
    WriteSlot(2, "2026 1 1 1 1\n1 1\n");
    save.SaveDataLoadForItemDraw();
    ClickAt(save, kLeftX, SlotY(2));
    Step(save, 500);
    Step(save, 16, {{17, kHeld}});
    ASSERT_EQ(save.m_nPhase, 5);
    h.sys.SetMousePos(10, 10);
    Step(save, 16, {{40, kClickUp}});
    EXPECT_EQ(Pointer(), std::make_pair(534, 324)); // No
    EXPECT_EQ(save.m_nSelectDialog, SLOT_MODE_DATA::kItemNo);
    Step(save, 16, {{38, kClickUp}});
    EXPECT_EQ(Pointer(), std::make_pair(534, 324)); // a button is hovered: nothing
    Step(save, 16, {{37, kClickUp}});
    EXPECT_EQ(Pointer(), std::make_pair(266, 324)); // Yes
    Step(save, 16, {{39, kClickUp}});
    EXPECT_EQ(Pointer(), std::make_pair(534, 324));
}

TEST_F(SlotScreenTest, LoadFromTheTitle) {
    WriteSlot(1, "2026 12 7 23 30\n1 3\n");
    OpenLoad(LOAD_MODE_DATA::kCallerTitle);
    EXPECT_EQ(load.m_Item[0].m_bData, 1);
    EXPECT_EQ(load.m_Item[1].m_bInit, 1); // a missing file keeps the empty entry
    EXPECT_EQ(load.m_Item[1].m_bData, 0);
    // Empty slots neither hover nor react; the arrow keys still reach them.
    EXPECT_EQ(ClickAt(load, kLeftX, SlotY(2)), 0);
    EXPECT_EQ(load.m_nSelect, 0);
    EXPECT_EQ(load.m_nPhase, 2);
    Step(load, 16, {{40, kClickUp}});
    EXPECT_EQ(Pointer(), std::make_pair(156, SlotY(3)));
    // No back button: not hovered, not a target.
    h.sys.SetMousePos(700, 548);
    Step(load, 16);
    EXPECT_EQ(load.m_nSelect, 0);
    EXPECT_EQ(load.MoveTarget(32, 38), 32);
    EXPECT_EQ(load.MoveTarget(14, 37), 29);
    EXPECT_EQ(load.MoveTarget(29, 39), 14);
    // The title button leaves without a question.
    EXPECT_EQ(ClickAt(load, 700, 580), 0);
    EXPECT_EQ(load.m_nPhase, 10);
    EXPECT_FALSE(load.m_MsgWnd.m_bVisible);
    EXPECT_EQ(Step(load, 999), 0);
    EXPECT_EQ(Step(load, 1), LOAD_MODE_DATA::kResultTitle);
}

TEST_F(SlotScreenTest, LoadOverAGameAsksAndReadsAfterTheFade) {
    WriteSlot(1, "2026 12 7 23 30\n1 3\n"); // the captions only: no game to read
    OpenLoad(4);
    EXPECT_EQ(ClickAt(load, kLeftX, SlotY(1)), 0);
    ASSERT_EQ(load.m_nPhase, 3);
    EXPECT_EQ(fakesvc::Count("SEPlay 12"), 1);
    Step(load, 500);
    EXPECT_EQ(DialogText(), "０１．をロードします。\nよろしいですか？");
    ClickAt(load, 10, 10);
    ASSERT_EQ(load.m_nPhase, 5);
    h.sys.SetMousePos(200, 324);
    Step(load, 16);
    EXPECT_EQ(fakesvc::Count("SEPlay 11"), 2); // the slot, then Yes
    kutest::DebugCapture cap;
    EXPECT_EQ(ClickAt(load, 200, 324), 0);
    EXPECT_EQ(fakesvc::Count("SEPlay 15"), 1);
    EXPECT_EQ(load.m_nPhase, 12);
    EXPECT_EQ(Step(load, 500), 0);
    EXPECT_FLOAT_EQ(load.m_fFade, 0.5f);
    EXPECT_FALSE(cap.Contains("LoadProc"));
    // The slot is refused: the box, then the slots again from under the fade.
    plat::ClearDialogAnswers();
    plat::QueueDialogAnswer({});
    const int boxes = plat::DialogRunCount();
    EXPECT_EQ(Step(load, 500), 0);
    EXPECT_TRUE(cap.Contains("Error: <LOAD_MODE_DATA::MainProc> ロード処理に失敗しました"));
    EXPECT_EQ(plat::DialogRunCount(), boxes + 1);
    EXPECT_EQ(load.m_fFade, 1.0f);
    EXPECT_FALSE(load.m_MsgWnd.m_bVisible);
    Step(load, 16);
    EXPECT_EQ(load.m_nPhase, 1); // the fade-in runs again, from covered
    EXPECT_EQ(ClickAt(load, kLeftX, SlotY(1)), 0); // the covered slots do not answer
    EXPECT_EQ(load.m_nPhase, 1);
    Step(load, 468);
    EXPECT_FLOAT_EQ(load.m_fFade, 0.5f);
    Step(load, 500);
    EXPECT_EQ(load.m_nPhase, 2);
    EXPECT_EQ(load.m_fFade, 0.0f);
    EXPECT_EQ(load.m_Item[0].m_bData, 1);
    EXPECT_EQ(ClickAt(load, kLeftX, SlotY(1)), 0); // asks again
    EXPECT_EQ(load.m_nPhase, 3);
}

TEST_F(SlotScreenTest, LoadOverAGameTitleQuestionAndBack) {
    OpenLoad(4);
    ClickAt(load, 700, 580);
    ASSERT_EQ(load.m_nPhase, 7);
    Step(load, 500);
    EXPECT_EQ(DialogText(), "タイトルに戻ります。\nよろしいですか？");
    Step(load, 16, {{17, kHeld}});
    ClickAt(load, 200, 324);
    EXPECT_EQ(load.m_nPhase, 10);
    EXPECT_EQ(Step(load, 1000), LOAD_MODE_DATA::kResultTitle);
    load.m_nPhase = 2;
    ClickAt(load, 700, 548);
    EXPECT_EQ(load.m_nPhase, 11);
    EXPECT_EQ(Step(load, 1000), LOAD_MODE_DATA::kResultBack);
}

TEST_F(SlotScreenTest, RefusedStartsAndCalls) {
    kutest::DebugCapture cap;
    EXPECT_EQ(save.SaveProc(1), 0);
    EXPECT_TRUE(cap.Contains("Error: <SAVE_MODE_DATA::SaveProc> 初期化されていません"));
    EXPECT_EQ(load.LoadProc(1), 0);
    EXPECT_TRUE(cap.Contains("Error: <LOAD_MODE_DATA::LoadProc> 初期化されていません"));
    EXPECT_EQ(save.MainProc(), kModeFailed);
    EXPECT_EQ(load.Initialize(&h.sys, &h.sprite, nullptr, &adv, 3), 0);
    EXPECT_TRUE(cap.Contains("Error: <LOAD_MODE_DATA::Initialize> KUSPRITE2クラスポインタの引数が不正です"));
    EXPECT_EQ(save.Initialize(&h.sys, &h.sprite, &h.snd, nullptr), 0);
    EXPECT_TRUE(cap.Contains("Error: <SAVE_MODE_DATA::Initialize> ADV_DATAクラスポインタの引数が不正です"));
    fakesvc::g_failGraphicSlot = 8;
    EXPECT_EQ(save.Initialize(&h.sys, &h.sprite, &h.snd, &adv), 0);
    EXPECT_TRUE(cap.Contains("Error: <SAVE_MODE_DATA::SaveModeDataLoad> 画像のロードに失敗しました"));
    EXPECT_TRUE(cap.Contains("Error: <SAVE_MODE_DATA::Initialize> 必要データのロードに失敗しました"));
    fakesvc::g_failGraphicSlot = -1;
    fakesvc::Calls().clear();
    ASSERT_EQ(load.Initialize(&h.sys, &h.sprite, &h.snd, &adv, 3), 1);
    for (const char* call : {"GraphicLoad 0", "GraphicLoad 10", "GraphicLoad 8", "SELoad 15"})
        EXPECT_EQ(fakesvc::Count(call), 1) << call;
    load.Release();
    EXPECT_EQ(fakesvc::Count("GraphicUnload 10"), 1);
    EXPECT_EQ(load.m_nCallMode, 0);
}

} // namespace
