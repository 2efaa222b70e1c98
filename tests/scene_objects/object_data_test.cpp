#include <gtest/gtest.h>

#include <cmath>

#include "game/object_data.h"
#include "platform/surface.h"
#include "tests/scene_objects/scene_fixture.h"
#include "tools/pictures/picture_files.h"

namespace {

std::string Strip(int w, int h) {
    plat::Surface s(w, h);
    for (uint32_t& p : s.pixels)
        p = 0xFF808080u;
    return EncodeDds32(s);
}

class ObjectTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        Pack({{"strip.dds", Strip(256, 64)}, {"square.dds", Strip(100, 100)}});
        ASSERT_EQ(obj.Initialize(&sprite, &snd, &sys, "OBJ"), 1);
        ASSERT_EQ(obj.CreateObject("strip.dds", 0, 0, 64, 0, 4, 0, 0, 1), 1);
        obj.m_bRun = 1;
    }
    void Step(int index, float x, float y, uint32_t ms, int32_t type, int32_t a = 0, int32_t b = 0, float x2 = 0,
              float y2 = 0) {
        ASSERT_EQ(obj.AddProcDataBuf(index, x, y, ms, type, a, b, x2, y2), 1);
    }
    int Run(uint32_t t) { return obj.MainLoopProc(&adv, At(t)); }
    OBJECT_DATA obj;
};

TEST_F(ObjectTest, MoveRunsOnTheClockAndAMoveInPlaceLastsItsDuration) {
    Step(0, 100, 50, 1000, OBJECT_DATA::kProcMove);
    Step(1, 100, 50, 400, OBJECT_DATA::kProcMove);
    EXPECT_EQ(Run(0), 0);
    EXPECT_EQ(Run(500), 0);
    EXPECT_FLOAT_EQ(obj.m_fX, 50.0f);
    EXPECT_FLOAT_EQ(obj.m_fY, 25.0f);
    EXPECT_EQ(Run(1000), 1);
    EXPECT_EQ(obj.m_fX, 100.0f);
    EXPECT_EQ(obj.m_fY, 50.0f);
    EXPECT_EQ(obj.m_nNowProc, 1);
    EXPECT_EQ(obj.m_nStepState, 0);
    // Already there: logged, the old velocity kept, over after 400 ms.
    log.Clear();
    EXPECT_EQ(Run(1100), 0);
    EXPECT_TRUE(log.Contains("バッファナンバーが不正です"));
    EXPECT_FLOAT_EQ(obj.m_fVecX, 0.1f);
    EXPECT_EQ(Run(1300), 0);
    EXPECT_EQ(Run(1500), 1);
    EXPECT_EQ(obj.m_fX, 100.0f);
    // Not running: nothing moves.
    obj.m_bRun = 0;
    EXPECT_EQ(Run(2000), 0);
}

TEST_F(ObjectTest, FadesAndZeroDurationsEndAtOnceWithoutNaN) {
    Step(0, 10, 20, 500, OBJECT_DATA::kProcFadeIn, 3);
    Step(1, 0, 0, 0, OBJECT_DATA::kProcFadeMoveIn, 4, 0, 30, 40);
    Step(2, 5, 5, 0, OBJECT_DATA::kProcMove);
    Step(3, 0, 0, 0, OBJECT_DATA::kProcFadeOut);
    EXPECT_EQ(Run(0), 0);
    EXPECT_EQ(obj.m_bShow, 1u);
    EXPECT_EQ(obj.m_nPriority, 3);
    EXPECT_EQ(obj.m_fX, 10.0f);
    EXPECT_EQ(obj.m_fAlpha, 0.0f);
    EXPECT_EQ(Run(250), 0);
    EXPECT_FLOAT_EQ(obj.m_fAlpha, 0.5f);
    EXPECT_EQ(Run(500), 1);
    EXPECT_EQ(obj.m_fAlpha, 1.0f);
    // Zero durations: each step is complete on its first frame.
    EXPECT_EQ(Run(516), 1);
    EXPECT_EQ(obj.m_fAlpha, 1.0f);
    EXPECT_EQ(obj.m_fX, 0.0f);
    EXPECT_EQ(Run(532), 1);
    EXPECT_EQ(obj.m_fX, 5.0f);
    EXPECT_EQ(Run(548), 1);
    EXPECT_EQ(obj.m_fAlpha, 0.0f);
    EXPECT_EQ(obj.m_bShow, 0u);
    EXPECT_EQ(obj.m_bCreate, 1u); // not loaded: kept
}

TEST_F(ObjectTest, FadeOutOfALoadedObjectDeletesItKeepingItsID) {
    ASSERT_EQ(obj.CreateObject("strip.dds", 0, 0, 64, 0, 4, 0, 1, 2), 1);
    EXPECT_EQ(fakesvc::Count("GraphicLoad 27"), 1);
    EXPECT_STREQ(sprite.GetGraphicDataFileName(27), "strip.dds");
    obj.m_bRun = 1;
    Step(0, 0, 0, 200, OBJECT_DATA::kProcFadeOut);
    Step(1, 7, 7, 0, OBJECT_DATA::kProcSetPos);
    Run(0);
    EXPECT_EQ(Run(100), 0);
    EXPECT_FLOAT_EQ(obj.m_fAlpha, 0.5f);
    EXPECT_EQ(Run(200), 1);
    EXPECT_EQ(obj.m_bCreate, 0u);
    EXPECT_EQ(obj.m_bRun, 0u);
    EXPECT_EQ(obj.m_nSlot, -1);
    EXPECT_EQ(obj.m_Proc[1].nType, 0);
    EXPECT_STREQ(obj.m_szID, "OBJ");
    const char* bound = sprite.GetGraphicDataFileName(27);
    EXPECT_TRUE(!bound || !bound[0]);
}

TEST_F(ObjectTest, GotoLoopsForEverAndAFreeStepParks) {
    Step(0, 0, 0, 0, OBJECT_DATA::kProcSetPos, 2);
    Step(1, 10, 0, 100, OBJECT_DATA::kProcMove);
    Step(2, 0, 0, 0, OBJECT_DATA::kProcGoto, 0);
    uint32_t t = 0;
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(Run(t), 1);
        EXPECT_EQ(obj.m_fX, 0.0f);
        EXPECT_EQ(Run(t += 16), 0);
        EXPECT_EQ(Run(t += 100), 1);
        EXPECT_EQ(obj.m_fX, 10.0f);
        EXPECT_EQ(Run(t += 16), 1);
        EXPECT_EQ(obj.m_nNowProc, 0);
        t += 16;
    }
    // An END reports 2; then the free step parks the program.
    Step(2, 0, 0, 0, OBJECT_DATA::kProcEnd);
    Run(t);
    Run(t += 16);
    EXPECT_EQ(Run(t += 100), 1);
    EXPECT_EQ(Run(t += 16), 2);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Run(t += 16), 1);
        EXPECT_EQ(obj.m_nNowProc, 3);
    }
    // A jump out of the program is caught on the next frame.
    Step(3, 0, 0, 0, OBJECT_DATA::kProcGoto, 12);
    EXPECT_EQ(Run(t += 16), 1);
    log.Clear();
    EXPECT_EQ(Run(t += 16), -1);
    EXPECT_TRUE(log.Contains("移動参照ナンバーが不正です"));
}

TEST_F(ObjectTest, DelShiftsTheProgramAndStaysInBounds) {
    for (int i = 0; i < 10; ++i)
        Step(i, float(i), 0, 0, OBJECT_DATA::kProcSetPos);
    Step(5, 0, 0, 0, OBJECT_DATA::kProcDel, 2);
    obj.m_nNowProc = 5;
    EXPECT_EQ(Run(0), 1);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(obj.m_Proc[i].nType, i == 4 ? OBJECT_DATA::kProcDel : OBJECT_DATA::kProcSetPos) << i;
    EXPECT_EQ(obj.m_Proc[2].fX, 3.0f);
    EXPECT_EQ(obj.m_Proc[8].fX, 9.0f);
    EXPECT_EQ(obj.m_Proc[9].nType, 0);
    EXPECT_EQ(obj.m_nNowProc, 5); // the step that followed the DEL
    EXPECT_EQ(Run(16), 1);
    EXPECT_EQ(obj.m_fX, 6.0f);
    // A step deleting itself at step 0, run by a waiting command, leaves the
    // program at step 0.
    Step(0, 0, 0, 0, OBJECT_DATA::kProcDel, 0);
    obj.m_nNowProc = 0;
    EXPECT_EQ(obj.OneProc(&adv, 0, At(32), 0), 1);
    EXPECT_EQ(obj.m_nNowProc, 0);
    // DEL -1 clears everything and restarts; a bad index is only logged.
    Step(0, 0, 0, 0, OBJECT_DATA::kProcDel, 77);
    obj.m_nNowProc = 0;
    log.Clear();
    EXPECT_EQ(Run(48), 1);
    EXPECT_TRUE(log.Contains("バッファナンバーが不正です"));
    EXPECT_EQ(obj.m_Proc[1].nType, OBJECT_DATA::kProcSetPos);
    Step(3, 0, 0, 0, OBJECT_DATA::kProcDel, -1);
    obj.m_nNowProc = 3;
    EXPECT_EQ(Run(64), 1);
    for (const OBJECT_PROC_DATA& p : obj.m_Proc)
        EXPECT_EQ(p.nType, 0);
    EXPECT_EQ(obj.m_nNowProc, 0);
}

TEST_F(ObjectTest, ChangeRefusesBuffersOutsideTheProgram) {
    Step(0, 0, 0, 0, OBJECT_DATA::kProcChange, 10, 1);
    Step(1, 0, 0, 0, OBJECT_DATA::kProcChange, 3, -1);
    Step(2, 0, 0, 0, OBJECT_DATA::kProcChange, 3, 4);
    Step(4, 9, 9, 0, OBJECT_DATA::kProcSetPos, 1);
    EXPECT_EQ(Run(0), 1);
    EXPECT_TRUE(log.Contains("バッファナンバーが不正です"));
    EXPECT_EQ(Run(16), 1);
    EXPECT_EQ(obj.m_Proc[3].nType, 0);
    EXPECT_EQ(Run(32), 1);
    EXPECT_EQ(obj.m_Proc[3].nType, OBJECT_DATA::kProcSetPos);
    EXPECT_EQ(obj.m_Proc[3].fX, 9.0f);
    EXPECT_EQ(obj.m_nNowProc, 3);
    // Step indexes and numbers from scripts.
    EXPECT_EQ(obj.AddProcDataBuf(10, 0, 0, 0, 1, 0, 0, 0, 0), 0);
    EXPECT_EQ(obj.OneProc(&adv, -1, At(48), 0), -1);
    EXPECT_EQ(obj.MainLoopProc(nullptr, At(48)), -1);
    EXPECT_EQ(obj.CreateObject("strip.dds", 0, 0, 64, 0, 4, 0, 0, -3), 0);
    EXPECT_EQ(obj.CreateObject("strip.dds", 0, 0, 64, 0, 4, 0, 0, 57), 0); // a mosaic work surface
    EXPECT_TRUE(log.Contains("グラフィックライブラリインデックスナンバーが不正です"));
    EXPECT_EQ(obj.CreateObject("strip.dds", 0, 0, 64, 0, -4, 0, 0, 1), 1);
    EXPECT_EQ(obj.m_dwAnimationNum, 0u);
}

TEST_F(ObjectTest, OneStepAtATime) {
    Step(0, 4, 5, 0, OBJECT_DATA::kProcSetPos);
    Step(1, 100, 0, 1000, OBJECT_DATA::kProcMove);
    EXPECT_EQ(obj.OneProc(&adv, 0, At(0), 0), 1);
    EXPECT_EQ(obj.m_fX, 4.0f);
    EXPECT_EQ(obj.OneProc(&adv, 1, At(0), 0), 0);
    EXPECT_EQ(obj.OneProc(&adv, 1, At(16), 1), 1);
    EXPECT_EQ(obj.m_fX, 100.0f);
    EXPECT_EQ(obj.m_nNowProc, 0);
    EXPECT_EQ(obj.m_nStepState, 0);
}

TEST_F(ObjectTest, ScalingStaysCentred) {
    ASSERT_EQ(obj.CreateObject("square.dds", 0, 0, 0, 0, 1, 0, 0, 3), 1);
    LoadSlot(28, "square.dds");
    obj.m_bRun = 1;
    Step(0, 0, 0, 1000, OBJECT_DATA::kProcExpRed, 0, 0, 2.0f);
    EXPECT_EQ(Run(0), 0);
    EXPECT_EQ(Run(500), 0);
    EXPECT_FLOAT_EQ(obj.m_fScaleX, 1.5f);
    EXPECT_FLOAT_EQ(obj.m_fX, -25.0f);
    EXPECT_FLOAT_EQ(obj.m_fY, -25.0f);
    EXPECT_EQ(Run(1000), 1);
    EXPECT_EQ(obj.m_fScaleY, 2.0f);
    EXPECT_FLOAT_EQ(obj.m_fX, -50.0f);
    EXPECT_EQ(obj.m_nNowProc, 1);
}

TEST_F(ObjectTest, DrawsCellsOfTheStripRepeatedAndClamped) {
    ASSERT_EQ(obj.CreateObject("strip.dds", 10, 20, 64, 0, 4, 0, 0, 1), 1);
    LoadSlot(26, "strip.dds");
    obj.m_bShow = 1;
    obj.m_Animation.m_dwNowFrame = 2;
    obj.m_fAlpha = 3.0f; // out of range from a script
    ASSERT_EQ(sprite.D3DXDrawStart(), 0);
    EXPECT_EQ(obj.DrawProc(), 1);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_FLOAT_EQ(quads[0].v[1].u, 128.0f / 256.0f);
    EXPECT_FLOAT_EQ(QuadWidth(0), 64.0f);
    EXPECT_EQ(quads[0].v[0].diffuse >> 24, 0xFFu);
    quads.clear();
    obj.SetDrawProperty(-1, 3, 1);
    obj.m_fAlpha = -0.5f;
    EXPECT_EQ(obj.DrawProc(), 1);
    EXPECT_TRUE(quads.empty());
    obj.m_fAlpha = 1.0f;
    EXPECT_EQ(obj.DrawProc(), 1);
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_FLOAT_EQ(quads[2].v[1].x - quads[0].v[1].x, 128.0f);
    quads.clear();
    obj.SetDrawProperty(-1, 0, 1);
    EXPECT_EQ(obj.DrawProc(), 1);
    EXPECT_EQ(quads.size(), 1u);
    // A frame past the strip shows nothing rather than a turned rectangle.
    quads.clear();
    obj.m_Animation.m_dwNowFrame = 4;
    EXPECT_EQ(obj.DrawProc(), 1);
    EXPECT_TRUE(quads.empty());
    sprite.D3DXDrawEnd();
}

} // namespace
