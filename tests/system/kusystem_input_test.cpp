#include "tests/system/system_fixture.h"

namespace {

using kutest::SystemTest;
using plat::InputState;

class KeyTest : public SystemTest {
protected:
    void Frame() { sys.Update(nullptr); }
    void Press(int vk, bool down) { InputState::Get().SetVkDown(vk, down); }
};

TEST_F(KeyTest, StatesFollowPressHoldReleaseOneFrameEach) {
    Frame();
    EXPECT_EQ(0, sys.GetKeyState(plat::kVkSpace));
    Press(plat::kVkSpace, true);
    Frame();
    EXPECT_EQ(2, sys.GetKeyState(plat::kVkSpace));
    EXPECT_EQ(1, sys.GetKey(2));
    EXPECT_EQ(0, sys.GetKeyPush(2));
    Frame();
    EXPECT_EQ(1, sys.GetKeyState(plat::kVkSpace));
    Press(plat::kVkSpace, false);
    Frame();
    EXPECT_EQ(3, sys.GetKeyState(plat::kVkSpace));
    EXPECT_EQ(0, sys.GetKey(2));
    EXPECT_EQ(1, sys.GetKeyPush(2)); // "pushed" means released this frame
    Frame();
    EXPECT_EQ(0, sys.GetKeyState(plat::kVkSpace));
    EXPECT_EQ(0, sys.GetKeyPush(2));
}

// A tap or an injected click comes and goes between two frames: it reads as
// pressed on the next frame and released on the one after, once.
TEST_F(KeyTest, PressAndReleaseBetweenPollsCountsOnce) {
    Frame();
    Press(plat::kVkLButton, true);
    Press(plat::kVkLButton, false);
    Frame();
    EXPECT_EQ(2, sys.GetKeyState(plat::kVkLButton));
    Frame();
    EXPECT_EQ(3, sys.GetKeyState(plat::kVkLButton));
    EXPECT_EQ(1, sys.GetKeyPush(7));
    Frame();
    EXPECT_EQ(0, sys.GetKeyState(plat::kVkLButton));
    // A press a menu or dialog took is not latched for the game.
    Press(plat::kVkReturn, true);
    InputState::Get().Swallow(plat::kVkReturn);
    Press(plat::kVkReturn, false);
    Frame();
    EXPECT_EQ(0, sys.GetKeyState(plat::kVkReturn));
}

TEST_F(KeyTest, MouseButtonsAreKeysAndGameKeysMapToVirtualKeys) {
    const int vks[] = {13, 17, 32, 38, 40, 37, 39, 1, 2, 46, 27};
    for (int key = 0; key < 11; ++key) {
        Press(vks[key], true);
        Frame();
        EXPECT_EQ(1, sys.GetKey(key)) << key;
        Press(vks[key], false);
        Frame();
        EXPECT_EQ(1, sys.GetKeyPush(key)) << key;
    }
    EXPECT_EQ(3, sys.GetKeyState(plat::kVkEscape));
}

TEST_F(KeyTest, LatchedPushStaysUntilCleared) {
    // Set from construction and kept by Initialize.
    EXPECT_EQ(1, sys.GetKeyPushLatched(0));
    sys.ClearKeyPush();
    EXPECT_EQ(0, sys.GetKeyPushLatched(0));
    Press(plat::kVkReturn, true);
    Frame();
    Press(plat::kVkReturn, false);
    Frame();
    Frame();
    Frame();
    EXPECT_EQ(0, sys.GetKeyPush(0));
    EXPECT_EQ(1, sys.GetKeyPushLatched(0));
    sys.ClearKeyPush();
    EXPECT_EQ(0, sys.GetKeyPushLatched(0));
}

TEST_F(KeyTest, UndefinedGameKeysIncludingNegativeWarnAndGiveZero) {
    Press(plat::kVkReturn, true);
    Frame();
    g_bDebugInfo = 1;
    kutest::DebugCapture cap;
    for (int key : {11, -1, -2147483647 - 1, 1000}) {
        cap.Clear();
        EXPECT_EQ(0, sys.GetKey(key));
        EXPECT_EQ(std::vector<std::string>{"Warn: <KUSYSTEM::GetKey> 定義されていない列挙名です\n"}, cap.lines());
        cap.Clear();
        EXPECT_EQ(0, sys.GetKeyPush(key));
        EXPECT_EQ(0, sys.GetKeyPushLatched(key));
        EXPECT_EQ(2u, cap.lines().size());
        EXPECT_EQ("Warn: <KUSYSTEM::GetKeyPush> 定義されていない列挙名です\n", cap.lines()[1]);
    }
    // Debugger output only: nothing reaches trace.txt.
    EXPECT_FALSE(dir.Exists("trace.txt"));
}

TEST_F(KeyTest, BadVirtualKeysAreRefusedAndTraced) {
    kutest::DebugCapture cap;
    EXPECT_EQ(0, sys.GetKeyState(256));
    EXPECT_EQ(0, sys.GetKeyState(-1));
    sys.SetKeyState(-5, 1);
    ASSERT_EQ(6u, cap.lines().size());
    EXPECT_EQ("Error: <KUSYSTEM::GetKeyState> 仮想キーコードが不正です\n", cap.lines()[0]);
    EXPECT_EQ("[2024/03/07 09:05:02] Error: <KUSYSTEM::GetKeyState> 仮想キーコードが不正です\n", cap.lines()[1]);
    EXPECT_EQ("[2024/03/07 09:05:02] Error: <KUSYSTEM::SetKeyState> 仮想キーコードが不正です\n", cap.lines()[5]);
}

TEST_F(KeyTest, SetKeyStateForcesEachState) {
    for (int state : {0, 1, 2, 3}) {
        sys.SetKeyState(65, state);
        EXPECT_EQ(state, sys.GetKeyState(65));
    }
    sys.SetKeyState(65, 7);
    EXPECT_EQ(0, sys.GetKeyState(65));
}

std::pair<int, int> g_warped;
void RecordWarp(int x, int y) { g_warped = {x, y}; }

TEST_F(KeyTest, MouseIsSampledOncePerFrameWithTheOffset) {
    InputState::Get().SetMouse(100, 50);
    sys.SetMouseOffsetY(20);
    int x = -1;
    int y = -1;
    sys.GetMousePos(&x, &y);
    EXPECT_EQ(0, x); // not yet polled
    Frame();
    InputState::Get().SetMouse(1, 1); // moves after the poll are not seen
    sys.GetMousePos(&x, &y);
    EXPECT_EQ(100, x);
    EXPECT_EQ(70, y);

    InputState::Get().SetWarpHook(&RecordWarp);
    sys.SetMousePos(300, 200);
    EXPECT_EQ(std::make_pair(300, 180), g_warped);
    sys.GetMousePos(&x, &y);
    EXPECT_EQ(300, x);
    EXPECT_EQ(200, y);
    Frame();
    sys.GetMousePos(&x, &y);
    EXPECT_EQ(300, x);
    EXPECT_EQ(200, y);
}

// ---------------------------------------------------------------------------
// Clock

TEST_F(SystemTest, TimeChangesOnlyOncePerFrame) {
    sys.Update(nullptr);
    const int t0 = sys.GetTime();
    clock.clock.Advance(40);
    EXPECT_EQ(t0, sys.GetTime());
    sys.Update(nullptr);
    EXPECT_EQ(t0 + 40, sys.GetTime());
}

TEST_F(SystemTest, NestedPausesFreezeTheClockUntilTheOutermostEnds) {
    clock.clock.Advance(10);
    sys.Update(nullptr);
    const int atStop = sys.GetTime();
    sys.StopTime();
    clock.clock.Advance(100);
    sys.StopTime();
    clock.clock.Advance(100);
    sys.StartTime();
    sys.Update(nullptr);
    EXPECT_EQ(atStop, sys.GetTime()); // still paused
    clock.clock.Advance(100);
    sys.StartTime();
    EXPECT_EQ(atStop, sys.GetTime()); // continues from the first StopTime
    clock.clock.Advance(25);
    sys.Update(nullptr);
    EXPECT_EQ(atStop + 25, sys.GetTime());
}

TEST_F(SystemTest, UnmatchedStartTimeNeverMovesTimeBackwards) {
    sys.Update(nullptr);
    sys.StartTime(); // no pause running
    const int before = sys.GetTime();
    sys.StopTime();
    clock.clock.Advance(200);
    sys.Update(nullptr);
    EXPECT_EQ(before, sys.GetTime()); // the pause still freezes the clock
    sys.StartTime();
    clock.clock.Advance(5);
    sys.Update(nullptr);
    EXPECT_EQ(before + 5, sys.GetTime());
}

TEST_F(SystemTest, FrameWaitWaitsOneIntervalAndReportsTheRate) {
    clock.clock.SetStepPerRead(1);
    sys.FrameWait(50);
    const uint32_t start = clock.clock.Peek();
    EXPECT_EQ(50, sys.FrameWait(50));
    EXPECT_EQ(20u, clock.clock.Peek() - start);
    EXPECT_EQ(1, sys.FrameWait(0)); // clamped to one frame a second
}

TEST_F(SystemTest, RandStaysInTheClassicRange) {
    for (int i = 0; i < 2000; ++i) {
        int r = sys.Rand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}

} // namespace
