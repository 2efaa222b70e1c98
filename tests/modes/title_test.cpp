#include <gtest/gtest.h>

#include "app/env_settings.h"
#include "modes/title_mode_data.h"
#include "platform/local_time.h"
#include "tests/modes/mode_harness.h"
#include "platform/local_time_test_hooks.h"

namespace {

TEST(TitleBackground, DayAndNightByMonth) {
    EXPECT_EQ(TITLE_MODE_DATA::ChooseBackground(1, 7, 0), 6);
    EXPECT_EQ(TITLE_MODE_DATA::ChooseBackground(1, 16, 30), 6);
    EXPECT_EQ(TITLE_MODE_DATA::ChooseBackground(1, 6, 59), 7);
    EXPECT_EQ(TITLE_MODE_DATA::ChooseBackground(1, 16, 31), 7);
    EXPECT_EQ(TITLE_MODE_DATA::ChooseBackground(7, 19, 0), 6);
    // Months outside 1..11 use December's 07:00-16:00.
    EXPECT_EQ(TITLE_MODE_DATA::ChooseBackground(0, 16, 0), 6);
    EXPECT_EQ(TITLE_MODE_DATA::ChooseBackground(13, 16, 1), 7);
    EXPECT_EQ(TITLE_MODE_DATA::ChooseBackground(12, 6, 59), 7);
}

TEST(TitleObj, LinearMoveArrivesOnTime) {
    TITLE_OBJ_DATA o;
    EXPECT_EQ(o.MoveLinear(128, 95, 128, 45, 500, 1000), 0);
    EXPECT_FLOAT_EQ(o.m_fY, 95.0f);
    EXPECT_EQ(o.MoveLinear(128, 95, 128, 45, 500, 1250), 0);
    EXPECT_FLOAT_EQ(o.m_fY, 70.0f);
    EXPECT_EQ(o.MoveLinear(128, 95, 128, 45, 500, 1500), 1);
    EXPECT_FLOAT_EQ(o.m_fY, 45.0f);
    EXPECT_FLOAT_EQ(o.m_fX, 128.0f);
}

TEST(TitleObj, SmoothMoveConstantThenSlowing) {
    TITLE_OBJ_DATA o;
    o.Place(800, 252, 0);
    int frames = 0, done = 0;
    // 60 frames per second at constant speed for the first half.
    while (!done && frames < 1000) {
        done = o.MoveSmooth(800, 252, 0, 252, 1000, 0);
        ++frames;
        if (frames == 1) {
            EXPECT_FLOAT_EQ(o.m_fX, 800.0f - 800.0f / 60.0f);
        }
        if (o.m_nMoveState == 1) {
            EXPECT_GT(o.m_fX, 400.0f - 1e-3f);
        }
    }
    EXPECT_EQ(done, 1);
    EXPECT_FLOAT_EQ(o.m_fX, 0.0f);
    EXPECT_GE(o.m_fSlowDown, 0.1f);
}

TEST(TitleObj, FadeKeepsItsState) {
    TITLE_OBJ_DATA o;
    EXPECT_EQ(o.Fade(1, 0, 100), 0); // a zero duration counts as 1 ms
    EXPECT_EQ(o.Fade(1, 0, 101), 1);
    TITLE_OBJ_DATA p;
    EXPECT_EQ(p.Fade(1, 500, 100), 0);
    EXPECT_EQ(p.Fade(1, 500, 350), 0);
    EXPECT_FLOAT_EQ(p.m_fAlpha, 0.5f);
    EXPECT_EQ(p.Fade(1, 500, 600), 1);
    EXPECT_EQ(p.Fade(1, 500, 700), 1);
    p.m_bFadeStart = 0;
    EXPECT_EQ(p.Fade(0, 500, 1000), 0);
    EXPECT_EQ(p.Fade(0, 500, 1500), 1);
    EXPECT_FLOAT_EQ(p.m_fAlpha, 0.0f);
}

class TitleTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::SetLocalTimeSource([] {
            plat::LocalTime t;
            t.month = 1;
            t.hour = 12;
            return t;
        });
        g_bAutoSkip = 1;
        ASSERT_EQ(title.Initialize(&h.sys, &h.sprite, &h.snd), 1);
    }
    void TearDown() override { plat::SetLocalTimeSource(nullptr); }
    // Skips the intro with a click: the menu is up from this frame on.
    void SkipToMenu() {
        h.Frame(16);
        ASSERT_EQ(title.MainProc(), 0);
        h.Frame(16, {{1, kClickUp}});
        ASSERT_EQ(title.MainProc(), 0);
        ASSERT_EQ(title.m_nPhase, 6);
    }
    int Step(uint32_t ms, std::initializer_list<std::pair<int, int>> keys = {}) {
        h.Frame(ms, keys);
        return title.MainProc();
    }
    ModeHarness h;
    TITLE_MODE_DATA title;
};

TEST_F(TitleTest, InitializeLoadsAndClearsAutoSkip) {
    EXPECT_EQ(title.m_nBGSlot, 6);
    EXPECT_EQ(g_bAutoSkip, 0);
    for (const char* c : {"GraphicLoad 0", "GraphicLoad 6", "GraphicLoad 5", "SELoad 9", "SELoad 10"})
        EXPECT_EQ(fakesvc::Count(c), 1) << c;
    g_bAutoSkip = 1;
    title.Release();
    EXPECT_EQ(g_bAutoSkip, 0);
    EXPECT_EQ(fakesvc::Count("SEUnload 10"), 1);
}

TEST_F(TitleTest, SkipShowsTheWholeMenu) {
    SkipToMenu();
    EXPECT_EQ(fakesvc::Count("BGM_DS_Play 1 BGM13.mp3"), 1);
    EXPECT_EQ(title.m_fFade, 0.0f);
    for (auto& o : title.m_Obj) {
        EXPECT_EQ(o.m_fAlpha, 1.0f);
        EXPECT_EQ(o.m_bDisp, 1);
    }
    EXPECT_FLOAT_EQ(title.m_Obj[0].m_fY, 45.0f);
    EXPECT_FLOAT_EQ(title.m_Obj[8].m_fX, 344.0f);
}

TEST_F(TitleTest, IntroRunsToTheMenuWithoutInput) {
    int frames = 0;
    while (title.m_nPhase != 6 && frames < 2000) {
        Step(16);
        ++frames;
    }
    EXPECT_EQ(title.m_nPhase, 6);
    EXPECT_LE(title.m_fFade, 0.0f);
    EXPECT_FLOAT_EQ(title.m_Obj[1].m_fX, 0.0f);
    EXPECT_FLOAT_EQ(title.m_Obj[2].m_fX, 0.0f);
    EXPECT_EQ(title.m_Obj[9].m_fAlpha, 1.0f);
}

TEST_F(TitleTest, HoverSoundOnEveryNewItem) {
    SkipToMenu();
    h.sys.SetMousePos(350, 280);
    Step(16);
    h.sys.SetMousePos(350, 340);
    Step(16);
    EXPECT_EQ(fakesvc::Count("SEPlay 9"), 2);
    h.sys.SetMousePos(10, 10);
    Step(16);
    EXPECT_EQ(title.m_nSelect, 0);
    h.sys.SetMousePos(350, 340);
    Step(16);
    EXPECT_EQ(fakesvc::Count("SEPlay 9"), 3);
    // Held in the same place: no further sound.
    Step(16, {{1, kHeld}});
    EXPECT_EQ(fakesvc::Count("SEPlay 9"), 3);
}

TEST_F(TitleTest, ClickOnOptionsFadesAndReports) {
    SkipToMenu();
    h.sys.SetMousePos(350, 340);
    Step(16);
    EXPECT_EQ(Step(16, {{1, kClickUp}}), 0);
    EXPECT_EQ(fakesvc::Count("SEPlay 10"), 1);
    EXPECT_EQ(title.m_nPhase, 8);
    Step(16); // the other rows start fading out
    Step(250);
    EXPECT_EQ(title.m_nPhase, 8);
    EXPECT_EQ(title.m_Obj[5].m_fAlpha, 1.0f); // the chosen row stays
    EXPECT_FLOAT_EQ(title.m_Obj[3].m_fAlpha, 0.5f);
    Step(250);
    EXPECT_EQ(title.m_nPhase, 9);
    EXPECT_EQ(title.m_Obj[3].m_fAlpha, 0.0f);
    Step(1000);
    EXPECT_EQ(title.m_nPhase, 9);
    Step(1);
    EXPECT_EQ(title.m_nPhase, 10);
    EXPECT_EQ(Step(999), 0);
    EXPECT_EQ(Step(1), 3);
}

TEST_F(TitleTest, IdleCloseAfterNinetySecondsDespiteHover) {
    SkipToMenu();
    for (int i = 0; i < 90; ++i) {
        h.sys.SetMousePos(350, i % 2 ? 280 : 340);
        ASSERT_EQ(Step(1000), 0);
    }
    EXPECT_EQ(title.m_nPhase, 6);
    EXPECT_EQ(Step(1), 0);
    EXPECT_EQ(title.m_nPhase, 7);
    EXPECT_EQ(Step(999), 0);
    EXPECT_EQ(Step(1), 7);
}

TEST_F(TitleTest, ArrowKeysMoveBetweenItems) {
    SkipToMenu();
    h.sys.SetMousePos(10, 10);
    Step(16, {{40, kClickUp}});
    int x = 0, y = 0;
    h.sys.GetMousePos(&x, &y);
    EXPECT_EQ(x, 401);
    EXPECT_EQ(y, 285);
    EXPECT_EQ(title.m_nSelect, 1);
    EXPECT_EQ(fakesvc::Count("SEPlay 9"), 1);
    Step(16, {{38, kClickUp}});
    h.sys.GetMousePos(&x, &y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 443);
    Step(16, {{40, kClickUp}});
    h.sys.GetMousePos(&x, &y);
    EXPECT_EQ(y, 285);
    // Held keys do nothing; Left and Right are not handled.
    Step(16, {{40, kHeld}, {37, kClickUp}, {39, kClickUp}});
    h.sys.GetMousePos(&x, &y);
    EXPECT_EQ(y, 285);
    // Enter on the hovered item chooses it.
    Step(16, {{13, kClickUp}});
    EXPECT_EQ(title.m_nPhase, 8);
}

} // namespace
