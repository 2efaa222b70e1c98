#include <gtest/gtest.h>

#include <utility>

#include "scene/object_data.h"
#include "tests/scene_objects/scene_fixture.h"
#include "tools/pictures/picture_files.h"

namespace {

using P = std::pair<float, float>;
using O = OBJECT_DATA;

std::string Grey(int w, int h) {
    plat::Surface s(w, h);
    s.pixels.assign(s.pixels.size(), 0xFF808080u);
    return EncodeDds32(s);
}

class ObjectTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        Pack({{"strip.dds", Grey(256, 64)}, {"square.dds", Grey(100, 100)}});
        ASSERT_EQ(obj.Initialize(&sprite, &snd, &sys, "OBJ"), 1);
        ASSERT_EQ(obj.CreateObject("strip.dds", 0, 0, 64, 0, 4, 0, 0, 1), 1);
        obj.m_bRun = 1;
    }
    void Step(int i, float x, float y, uint32_t ms, int32_t type, int32_t a = 0, float x2 = 0, float y2 = 0) {
        ASSERT_EQ(obj.AddProcDataBuf(i, x, y, ms, type, a, 0, x2, y2), 1);
    }
    int Run(uint32_t t) { return obj.MainLoopProc(&adv, At(t)); }
    P Pos() const { return {obj.m_fX, obj.m_fY}; }
    O obj;
};

TEST_F(ObjectTest, MoveOnTheClockAndAMoveInPlaceLastsItsDuration) {
    Step(0, 100, 50, 1000, O::kProcMove);
    Step(1, 100, 50, 400, O::kProcMove);
    EXPECT_EQ(Run(0), 0);
    EXPECT_EQ(Run(500), 0);
    EXPECT_EQ(Pos(), P(50, 25));
    EXPECT_EQ(Run(1000), 1);
    EXPECT_EQ(Pos(), P(100, 50));
    EXPECT_EQ(obj.m_nNowProc, 1);
    // Already there: logged, the old velocity kept, over after 400 ms.
    EXPECT_EQ(Run(1100), 0);
    EXPECT_TRUE(log.Contains("バッファナンバーが不正です"));
    EXPECT_FLOAT_EQ(obj.m_fVecX, 0.1f);
    EXPECT_EQ(Run(1300), 0);
    EXPECT_EQ(Run(1500), 1);
    EXPECT_EQ(Pos(), P(100, 50));
    obj.m_bRun = 0;
    EXPECT_EQ(Run(2000), 0);
}

TEST_F(ObjectTest, FadesAndZeroDurationsEndAtOnce) {
    Step(0, 10, 20, 500, O::kProcFadeIn, 3);
    Step(1, 0, 0, 0, O::kProcFadeMoveIn, 4, 30, 40);
    Step(2, 5, 5, 0, O::kProcMove);
    Step(3, 0, 0, 0, O::kProcFadeOut);
    EXPECT_EQ(Run(0), 0);
    EXPECT_EQ(obj.m_bShow, 1u);
    EXPECT_EQ(obj.m_nPriority, 3);
    EXPECT_EQ(obj.m_fAlpha, 0.0f);
    EXPECT_EQ(Run(250), 0);
    EXPECT_FLOAT_EQ(obj.m_fAlpha, 0.5f);
    EXPECT_EQ(Run(500), 1);
    EXPECT_EQ(obj.m_fAlpha, 1.0f);
    // Zero durations (0/0 would be NaN) are complete on their first frame.
    EXPECT_EQ(Run(516), 1);
    EXPECT_EQ(obj.m_fAlpha, 1.0f);
    EXPECT_EQ(Run(532), 1);
    EXPECT_EQ(Pos(), P(5, 5));
    EXPECT_EQ(Run(548), 1);
    EXPECT_EQ(obj.m_fAlpha, 0.0f);
    EXPECT_EQ(obj.m_bShow, 0u);
    EXPECT_EQ(obj.m_bCreate, 1u); // not loaded: kept
    // With its load flag a faded-out object is deleted and keeps its ID.
    ASSERT_EQ(obj.CreateObject("strip.dds", 0, 0, 64, 0, 4, 0, 1, 2), 1);
    EXPECT_EQ(fakesvc::Count("GraphicLoad 27"), 1);
    obj.m_bRun = 1;
    Step(0, 0, 0, 200, O::kProcFadeOut);
    Run(600);
    EXPECT_EQ(Run(700), 0);
    EXPECT_FLOAT_EQ(obj.m_fAlpha, 0.5f);
    EXPECT_EQ(Run(800), 1);
    EXPECT_EQ(obj.m_bCreate + obj.m_bRun + static_cast<uint32_t>(obj.m_Proc[0].nType), 0u);
    EXPECT_EQ(obj.m_nSlot, -1);
    EXPECT_STREQ(obj.m_szID, "OBJ");
    const char* bound = sprite.GetGraphicDataFileName(27);
    EXPECT_TRUE(!bound || !bound[0]);
}

TEST_F(ObjectTest, GotoLoopsEndReportsAndAFreeStepParks) {
    Step(0, 0, 0, 0, O::kProcSetPos, 2);
    Step(1, 10, 0, 100, O::kProcMove);
    Step(2, 0, 0, 0, O::kProcGoto, 0);
    uint32_t t = 0;
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(Run(t += 16), 1);
        EXPECT_EQ(Pos(), P(0, 0));
        EXPECT_EQ(Run(t += 16), 0);
        EXPECT_EQ(Run(t += 100), 1);
        EXPECT_EQ(Pos(), P(10, 0));
        EXPECT_EQ(Run(t += 16), 1);
        EXPECT_EQ(obj.m_nNowProc, 0);
    }
    Step(2, 0, 0, 0, O::kProcEnd);
    Run(t += 16);
    Run(t += 16);
    Run(t += 100);
    EXPECT_EQ(Run(t += 16), 2);
    EXPECT_EQ(Run(t += 16), 1);
    EXPECT_EQ(Run(t += 16), 1);
    EXPECT_EQ(obj.m_nNowProc, 3);
    // A jump out of the program is caught on the next frame.
    Step(3, 0, 0, 0, O::kProcGoto, 12);
    Run(t += 16);
    EXPECT_EQ(Run(t += 16), -1);
    EXPECT_TRUE(log.Contains("移動参照ナンバーが不正です"));
}

TEST_F(ObjectTest, EndInTheLastStepIdlesWithoutALine) {
    for (int i = 0; i < 9; ++i)
        Step(i, float(i), 0, 0, O::kProcSetPos);
    Step(9, 0, 0, 0, O::kProcEnd);
    log.Clear();
    uint32_t t = 0;
    for (int frame = 0; frame < 1200; ++frame)
        ASSERT_GE(Run(t += 16), 1) << frame;
    EXPECT_TRUE(log.lines().empty()) << log.all();
    EXPECT_EQ(obj.m_nNowProc, 9);
    EXPECT_EQ(Pos(), P(8, 0));
    // Any other step that moves on from the last one still leaves the program.
    Step(9, 5, 5, 0, O::kProcSetPos);
    EXPECT_EQ(Run(t += 16), 1);
    EXPECT_EQ(Run(t += 16), -1);
    EXPECT_TRUE(log.Contains("移動参照ナンバーが不正です"));
}

// Only the last step holds an END: one step earlier it moves on to step 9.
TEST_F(ObjectTest, EndBeforeTheLastStepMovesOn) {
    for (int i = 0; i < 8; ++i)
        Step(i, float(i), 0, 0, O::kProcSetPos);
    Step(8, 0, 0, 0, O::kProcEnd);
    Step(9, 9, 9, 0, O::kProcSetPos);
    uint32_t t = 0;
    for (int i = 0; i < 8; ++i)
        ASSERT_EQ(Run(t += 16), 1);
    EXPECT_EQ(Run(t += 16), 2);
    EXPECT_EQ(obj.m_nNowProc, 9);
    EXPECT_EQ(Run(t += 16), 1);
    EXPECT_EQ(Pos(), P(9, 9));
}

TEST_F(ObjectTest, DelShiftsTheProgramAndStaysInBounds) {
    for (int i = 0; i < 10; ++i)
        Step(i, float(i), 0, 0, O::kProcSetPos);
    Step(5, 0, 0, 0, O::kProcDel, 2);
    obj.m_nNowProc = 5;
    EXPECT_EQ(Run(0), 1);
    EXPECT_EQ(obj.m_Proc[2].fX, 3.0f);
    EXPECT_EQ(obj.m_Proc[4].nType, O::kProcDel);
    EXPECT_EQ(obj.m_Proc[8].fX, 9.0f);
    EXPECT_EQ(obj.m_Proc[9].nType, 0);
    EXPECT_EQ(Run(16), 1); // the step that followed the DEL
    EXPECT_EQ(obj.m_fX, 6.0f);
    // Deleting itself at step 0 under a waiting command stays at step 0.
    Step(0, 0, 0, 0, O::kProcDel, 0);
    obj.m_nNowProc = 0;
    EXPECT_EQ(obj.OneProc(&adv, 0, At(32), 0), 1);
    EXPECT_EQ(obj.m_nNowProc, 0);
    // A bad index is logged; -1 clears all; both restart at step 0.
    Step(3, 0, 0, 0, O::kProcDel, 77);
    obj.m_nNowProc = 3;
    EXPECT_EQ(Run(48), 1);
    EXPECT_EQ(obj.m_nNowProc, 0);
    EXPECT_EQ(obj.m_Proc[1].nType, O::kProcSetPos);
    Step(0, 0, 0, 0, O::kProcDel, -1);
    EXPECT_EQ(Run(64), 1);
    for (const OBJECT_PROC_DATA& p : obj.m_Proc)
        EXPECT_EQ(p.nType, 0);
}

TEST_F(ObjectTest, ChangeAndNumbersFromScripts) {
    ASSERT_EQ(obj.AddProcDataBuf(0, 0, 0, 0, O::kProcChange, 10, 1, 0, 0), 1);
    ASSERT_EQ(obj.AddProcDataBuf(1, 0, 0, 0, O::kProcChange, 3, -1, 0, 0), 1);
    ASSERT_EQ(obj.AddProcDataBuf(2, 0, 0, 0, O::kProcChange, 3, 4, 0, 0), 1);
    Step(4, 9, 9, 0, O::kProcSetPos, 1);
    EXPECT_EQ(Run(0), 1);
    EXPECT_EQ(Run(16), 1);
    EXPECT_TRUE(log.Contains("バッファナンバーが不正です"));
    EXPECT_EQ(obj.m_Proc[3].nType, 0);
    EXPECT_EQ(Run(32), 1);
    EXPECT_EQ(obj.m_Proc[3].nType, O::kProcSetPos);
    EXPECT_EQ(obj.m_Proc[3].fX, 9.0f);
    EXPECT_EQ(obj.AddProcDataBuf(10, 0, 0, 0, 1, 0, 0, 0, 0), 0);
    EXPECT_EQ(obj.OneProc(&adv, -1, At(48), 0), -1);
    EXPECT_EQ(obj.MainLoopProc(nullptr, At(48)), -1);
    EXPECT_EQ(obj.CreateObject("strip.dds", 0, 0, 64, 0, 4, 0, 0, -3), 0);
    EXPECT_EQ(obj.CreateObject("strip.dds", 0, 0, 64, 0, 4, 0, 0, 57), 0); // a mosaic work surface
    EXPECT_TRUE(log.Contains("グラフィックライブラリインデックスナンバーが不正です"));
    EXPECT_EQ(obj.CreateObject("strip.dds", 0, 0, 64, 0, -4, 0, 0, 1), 1);
    EXPECT_EQ(obj.m_dwAnimationNum, 0u);
}

TEST_F(ObjectTest, OneStepAtATimeAndScalingAboutTheCentre) {
    Step(0, 4, 5, 0, O::kProcSetPos);
    Step(1, 100, 0, 1000, O::kProcMove);
    EXPECT_EQ(obj.OneProc(&adv, 0, At(0), 0), 1);
    EXPECT_EQ(obj.OneProc(&adv, 1, At(0), 0), 0);
    EXPECT_EQ(obj.OneProc(&adv, 1, At(16), 1), 1);
    EXPECT_EQ(Pos(), P(100, 0));
    EXPECT_EQ(obj.m_nNowProc, 0);
    ASSERT_EQ(obj.CreateObject("square.dds", 0, 0, 0, 0, 1, 0, 0, 3), 1);
    LoadSlot(28, "square.dds");
    obj.m_bRun = 1;
    Step(0, 0, 0, 1000, O::kProcExpRed, 0, 2.0f);
    EXPECT_EQ(Run(0), 0);
    EXPECT_EQ(Run(500), 0);
    EXPECT_FLOAT_EQ(obj.m_fScaleX, 1.5f);
    EXPECT_EQ(Pos(), P(-25, -25));
    EXPECT_EQ(Run(1000), 1);
    EXPECT_EQ(obj.m_fScaleY, 2.0f);
    EXPECT_EQ(Pos(), P(-50, -50));
}

TEST_F(ObjectTest, DrawsCellsOfTheStripRepeatedAndClamped) {
    LoadSlot(26, "strip.dds");
    obj.m_bShow = 1;
    obj.m_Animation.m_dwNowFrame = 2;
    obj.m_fAlpha = 3.0f; // out of range from a script
    ASSERT_EQ(sprite.D3DXDrawStart(), 0);
    EXPECT_EQ(obj.DrawProc(), 1);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_FLOAT_EQ(quads[0].v[1].u, 0.5f);
    EXPECT_FLOAT_EQ(QuadWidth(0), 64.0f);
    EXPECT_EQ(quads[0].v[0].diffuse >> 24, 0xFFu);
    obj.SetDrawProperty(-1, 3, 1);
    quads.clear();
    EXPECT_EQ(obj.DrawProc(), 1);
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_FLOAT_EQ(quads[2].v[1].x - quads[0].v[1].x, 128.0f);
    obj.SetDrawProperty(-1, 0, 1);
    quads.clear();
    EXPECT_EQ(obj.DrawProc(), 1);
    obj.m_Animation.m_dwNowFrame = 4; // past the strip: nothing, not a turned rectangle
    EXPECT_EQ(obj.DrawProc(), 1);
    obj.m_fAlpha = -0.5f;
    obj.m_Animation.m_dwNowFrame = 0;
    EXPECT_EQ(obj.DrawProc(), 1);
    EXPECT_EQ(quads.size(), 1u);
    sprite.D3DXDrawEnd();
}

// A far position with a huge count: only the copies on the screen are drawn,
// at the places the whole row would put them, and the frame stays cheap.
TEST_F(ObjectTest, RepeatsFromFarOffScreenDrawOnlyTheCopiesShown) {
    LoadSlot(26, "strip.dds");
    obj.m_bShow = 1;
    ASSERT_EQ(sprite.D3DXDrawStart(), 0);
    ASSERT_EQ(obj.DrawProc(), 1); // one copy at 0, 0
    const float left = quads.at(0).v[1].x, top = quads.at(0).v[1].y;
    obj.SetDrawProperty(-1, 2147483647, 1);
    obj.m_fX = -1.0e7f; // a whole number of cells left of the screen
    quads.clear();
    EXPECT_EQ(obj.DrawProc(), 1);
    ASSERT_EQ(quads.size(), 13u); // x 0 to 768 on an 800-wide screen
    EXPECT_FLOAT_EQ(quads[0].v[1].x, left);
    EXPECT_FLOAT_EQ(quads[12].v[1].x, left + 768.0f);
    obj.SetDrawProperty(-1, 2147483647, 0);
    obj.m_fX = 0.0f;
    obj.m_fY = -1.0e7f - 32.0f; // half a cell shows at the top
    quads.clear();
    EXPECT_EQ(obj.DrawProc(), 1);
    ASSERT_EQ(quads.size(), 10u); // y -32 to 544 on a 600-high screen
    EXPECT_FLOAT_EQ(quads[0].v[1].y, top - 32.0f);
    obj.m_fY = -1.0e9f; // past every copy of a short row: nothing
    obj.SetDrawProperty(-1, 1000, 0);
    quads.clear();
    EXPECT_EQ(obj.DrawProc(), 1);
    EXPECT_EQ(quads.size(), 0u);
    // Scaled twice, a copy reaches twice its step: the one at -64 still shows.
    obj.SetDrawProperty(-1, 2147483647, 1);
    obj.m_fX = -1.0e7f;
    obj.m_fY = 0.0f;
    obj.m_fScaleX = obj.m_fScaleY = 2.0f;
    quads.clear();
    EXPECT_EQ(obj.DrawProc(), 1);
    ASSERT_EQ(quads.size(), 14u); // x -64 to 768
    EXPECT_FLOAT_EQ(quads[0].v[1].x, left - 64.0f);
    EXPECT_FLOAT_EQ(QuadWidth(0), 128.0f);
    sprite.D3DXDrawEnd();
}

} // namespace
