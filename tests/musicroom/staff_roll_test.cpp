#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "gallery/staff_roll_mode_data.h"
#include "tests/modes/mode_harness.h"
#include "tests/musicroom/script_fixture.h"

namespace {

// A mode started over a script in a fresh game folder.
struct Roll {
    explicit Roll(const std::string& script) {
        WriteScenario(dir, "StaffRollModeData.spt", script);
        EXPECT_EQ(mode.Initialize(&h.sys, &h.sprite, &h.snd), 1);
    }
    int Frame(uint32_t ms, int click = 0) {
        if (click)
            h.Frame(ms, {{1, click}});
        else
            h.Frame(ms);
        return mode.MainProc();
    }
    // Start, then the 1000 ms fade-in: the roll is in state 2 afterwards.
    void Roll_in() {
        ASSERT_EQ(Frame(16), 0);
        ASSERT_EQ(Frame(1000), 0);
        ASSERT_EQ(mode.m_nState, 2);
    }
    kutest::TempDir dir;
    ModeHarness h;
    STAFF_ROLL_MODE_DATA mode;
};

TEST(StaffRollScript, ParsesKeywordsInAnyCaseAndFindsTheOperator) {
    Roll r(
        "// roll\r\n#scroll_speed_1sec -30\r\n#obj_set NAME 0 200 300 240 10 700\r\n"
        "#OBJ_SET " +
        std::string(150, 'L') +
        " 0 0 1 1 0 0\r\nunknown line\r\n"
        "#SET_PROC bg_change > 1 2 3 <= -500\r\n#SET_PROC SCROLL_STOP 500 = 12\r\n");
    ASSERT_EQ(r.mode.ReadScriptData("StaffRollModeData.spt"), 1);
    EXPECT_FLOAT_EQ(r.mode.m_fScrollSpeed, -30.0f);
    ASSERT_EQ(r.mode.m_nDrawObjNum, 2);
    EXPECT_EQ(r.mode.m_pDrawObj[0].m_rcSrc.bottom, 240);
    EXPECT_FLOAT_EQ(r.mode.m_pDrawObj[0].m_fY, 700.0f);
    EXPECT_EQ(std::string(r.mode.m_pDrawObj[1].m_szID).size(), 99u); // cut to the record
    ASSERT_EQ(r.mode.m_nProcNum, 2);
    // The lone ">" among the arguments is the operator; the token after it the position.
    EXPECT_EQ(r.mode.m_pProc[0].m_nOperator, 2);
    EXPECT_FLOAT_EQ(r.mode.m_pProc[0].m_fPosition, 1.0f);
    EXPECT_STREQ(r.mode.m_pProc[0].m_szToken[0], "#SET_PROC");
    EXPECT_EQ(r.mode.m_pProc[1].m_nOperator, 1);
}

TEST(StaffRollScript, BadScripts) {
    {
        Roll r("#SET_PROC SCROLL_STOP 500 12\r\n");
        kutest::DebugCapture cap;
        EXPECT_EQ(r.mode.ReadScriptData("StaffRollModeData.spt"), 0);
        EXPECT_TRUE(cap.Contains("オペレーターが見つかりません"));
    }
    {
        Roll r("// nothing but a speed\r\n#SCROLL_SPEED_1SEC 5\r\n");
        EXPECT_EQ(r.mode.ReadScriptData("StaffRollModeData.spt"), 1);
        EXPECT_EQ(r.mode.m_nDrawObjNum, 0);
        EXPECT_EQ(r.mode.m_pDrawObj, nullptr);
    }
    {
        kutest::TempDir dir;
        ModeHarness h;
        STAFF_ROLL_MODE_DATA mode;
        ASSERT_EQ(mode.Initialize(&h.sys, &h.sprite, &h.snd), 1);
        kutest::DebugCapture cap;
        h.Frame(16);
        EXPECT_EQ(mode.MainProc(), -1);
        EXPECT_TRUE(cap.Contains("スクリプトの読み込みに失敗しました"));
    }
}

TEST(StaffRollScript, NumbersPastTheirRangeAreHeldAtItsEnds) {
    // 4294967396 wrapped to 100; a rectangle from the least to the greatest int overflowed its height.
    Roll r(
        "#SCROLL_SPEED_1SEC 1e300\r\n#OBJ_SET A 0 -2147483648 4294967396 2147483647 0 -5e40\r\n"
        "#SET_PROC SCROLL_STOP 1 >= 1e50\r\n#SET_PROC SCROLL_STOP 4294967396 >= 0\r\n");
    ASSERT_EQ(r.mode.ReadScriptData("StaffRollModeData.spt"), 1);
    EXPECT_EQ(r.mode.m_pDrawObj[0].m_rcSrc.right, INT32_MAX);
    EXPECT_TRUE(std::isfinite(r.mode.m_fScrollSpeed));
    EXPECT_TRUE(std::isfinite(r.mode.m_pDrawObj[0].m_fY));
    EXPECT_TRUE(std::isfinite(r.mode.m_pProc[0].m_fPosition));
    r.mode.m_fScrollSpeed = 0.0f;
    r.mode.m_pDrawObj[0].m_fY = -100.0f;
    r.Roll_in();
    r.Frame(16);
    EXPECT_EQ(r.mode.m_pDrawObj[0].m_bVisible, 1);
    r.Frame(200);
    EXPECT_EQ(r.mode.m_pProc[1].m_bDone, 0); // a stop of 4294967396 ms, not of 100
}

TEST(StaffRollDispatch, SpeedChangeFiresOnceWhenTheTriggerHolds) {
    Roll r("#SCROLL_SPEED_1SEC 1000\r\n#SET_PROC SCROLL_SPEED_CHANGE 60 >= 1200\r\n");
    r.Roll_in();
    r.Frame(1000); // base Y 1000
    EXPECT_FLOAT_EQ(r.mode.m_fScrollSpeed, 1000.0f);
    r.Frame(200); // 1200: fires
    EXPECT_FLOAT_EQ(r.mode.m_fScrollSpeed, 60.0f);
    EXPECT_TRUE(r.mode.m_pProc[0].m_bDone);
    r.mode.m_fScrollSpeed = 5.0f;
    r.Frame(1000);
    EXPECT_FLOAT_EQ(r.mode.m_fScrollSpeed, 5.0f); // never again
}

// A speed read when the command fires is held at the range's ends too.
TEST(StaffRollDispatch, SpeedsReadAtRunTimeAreHeldAtTheirRangesEnds) {
    Roll r(
        "#SCROLL_SPEED_1SEC 0\r\n#SET_PROC SCROLL_SPEED_CHANGE 1e50 >= 0\r\n"
        "#SET_PROC SCROLL_SPEED_CHANGE -1e50 >= 1\r\n");
    r.Roll_in();
    r.Frame(16);
    EXPECT_EQ(r.mode.m_fScrollSpeed, 1e9f);
    r.Frame(16); // 16 ms at 1e9 a second
    EXPECT_TRUE(r.mode.m_pProc[1].m_bDone);
    EXPECT_EQ(r.mode.m_fScrollSpeed, -1e9f);
    r.Frame(16);
    EXPECT_TRUE(std::isfinite(r.mode.m_fBaseY));
}

TEST(StaffRollDispatch, UnknownCommandAndRetriedPictures) {
    {
        Roll r("#SET_PROC JUMP 1 >= 0\r\n");
        r.Roll_in();
        kutest::DebugCapture cap;
        EXPECT_EQ(r.Frame(16), -1);
        EXPECT_TRUE(cap.Contains("定義されていない命令です"));
    }
    {
        // No picture table in the renderer: the bind fails, logged, and the
        // command tries again next frame without ending the roll.
        Roll r("#SET_PROC BG_FADE_IN bg.bmp 0 0 100 >= 0\r\n");
        r.Roll_in();
        kutest::DebugCapture cap;
        EXPECT_EQ(r.Frame(16), 0);
        EXPECT_EQ(r.Frame(16), 0);
        EXPECT_TRUE(cap.Contains("データの設定に失敗しました"));
        EXPECT_EQ(r.mode.m_pProc[0].m_nStep, 0);
        EXPECT_EQ(r.mode.m_pProc[0].m_bRunning, 1);
    }
}

TEST(StaffRollMode, FinalStopWaitsThenClosesOverTwoSeconds) {
    Roll r(
        "#SCROLL_SPEED_1SEC 100\r\n"
        "#SET_PROC STAFF_ROLL_STOP_WAIT_END 500 >= 50\r\n");
    r.Roll_in();
    r.Frame(600); // base Y 60: the final stop takes its position and stops the roll
    EXPECT_FLOAT_EQ(r.mode.m_fBaseY, 50.0f);
    EXPECT_FLOAT_EQ(r.mode.m_fScrollSpeed, 0.0f);
    EXPECT_EQ(r.mode.m_nState, 2);
    r.Frame(500);
    EXPECT_EQ(r.mode.m_nState, 2);
    r.Frame(1);
    EXPECT_EQ(r.mode.m_nState, 3);
    EXPECT_EQ(r.Frame(1999), 0);
    fakesvc::Calls().clear();
    EXPECT_EQ(r.Frame(1), 1);
    EXPECT_EQ(fakesvc::Count("BGM_DS_Stop"), 1);
}

TEST(StaffRollMode, ClickFadesOutWhileRollingAndIsIgnoredDuringTheFadeIn) {
    Roll r("#SCROLL_SPEED_1SEC 0\r\n");
    EXPECT_EQ(r.Frame(16), 0);
    EXPECT_EQ(fakesvc::Count("BGM_DS_Play 0 BGM14_sh.mp3"), 1);
    EXPECT_EQ(r.Frame(500, kClickUp), 0);
    EXPECT_FLOAT_EQ(r.mode.m_fFade, 0.5f);
    EXPECT_EQ(r.mode.m_nState, 1);
    r.Frame(500);
    r.Frame(5000);
    EXPECT_FLOAT_EQ(r.mode.m_fBaseY, 0.0f); // still without speed
    EXPECT_EQ(r.Frame(10, kClickUp), 0);
    EXPECT_EQ(r.mode.m_nState, 4);
    EXPECT_EQ(r.Frame(1999), 0);
    EXPECT_EQ(r.Frame(1), 1);
}

TEST(StaffRollMode, PicturesAtTheScreenEdgesAreVisible) {
    Roll r(
        "#OBJ_SET A 0 0 10 40 0 600\r\n#OBJ_SET B 0 0 10 40 0 -40\r\n#OBJ_SET C 0 0 10 40 0 601\r\n"
        "#OBJ_SET D 0 0 10 40 0 -41\r\n");
    r.Roll_in();
    r.Frame(16);
    EXPECT_EQ(r.mode.m_pDrawObj[0].m_bVisible, 1);
    EXPECT_EQ(r.mode.m_pDrawObj[1].m_bVisible, 1);
    EXPECT_EQ(r.mode.m_pDrawObj[2].m_bVisible, 0);
    EXPECT_EQ(r.mode.m_pDrawObj[3].m_bVisible, 0);
}

} // namespace
