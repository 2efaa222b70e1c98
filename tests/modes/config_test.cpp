#include <gtest/gtest.h>

#include <string>

#include "adv/adv_data.h"
#include "app/env_settings.h"
#include "modes/config_mode_data.h"
#include "tests/modes/mode_harness.h"

namespace {

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_bFullScreen = 0;
        g_dwScreenBpp = 32;
        g_dwMessageSpeed = 33;
        g_bAutoSkip = 0;
        g_dwAutoSkipSpeed = 1000;
        g_dwAntiAliasLevel = 2;
        g_dwSEVolume = 7;
        g_dwVoiceVolume = 8;
        g_dwBGMVolume = 9;
    }
    void Open(ADV_DATA* adv = nullptr) {
        ASSERT_EQ(cfg.Initialize(&h.sys, &h.sprite, &h.snd, adv), 1);
        Step(16);
        Step(1000);
        ASSERT_EQ(cfg.m_nPhase, 2);
        fakesvc::Calls().clear();
    }
    int Step(uint32_t ms, std::initializer_list<std::pair<int, int>> keys = {}) {
        h.Frame(ms, keys);
        return cfg.MainProc();
    }
    int ClickAt(int x, int y) {
        h.sys.SetMousePos(x, y);
        Step(16, {{1, 2}});
        return Step(16, {{1, kClickUp}});
    }
    std::pair<int, int> Pointer() {
        int x = 0, y = 0;
        h.sys.GetMousePos(&x, &y);
        return {x, y};
    }
    ModeHarness h;
    CONFIG_MODE_DATA cfg;
};

TEST_F(ConfigTest, WorkingCopyFromTheGlobalsAndReset) {
    Open();
    EXPECT_EQ(cfg.m_Env.bpp, 32);
    EXPECT_EQ(cfg.m_Env.messageSpeed, 33);
    EXPECT_EQ(cfg.m_Env.antiAlias, 2);
    EXPECT_EQ(cfg.m_Env.bgmVolume, 9);
    cfg.Release();
    EXPECT_EQ(cfg.m_Env.fullScreen, 0);
    EXPECT_EQ(cfg.m_Env.bpp, 16);
    EXPECT_EQ(cfg.m_Env.messageSpeed, 100);
    EXPECT_EQ(cfg.m_Env.autoSkipSpeed, 250);
    EXPECT_EQ(cfg.m_Env.antiAlias, 4);
    EXPECT_EQ(cfg.m_Env.seVolume, 5);
    EXPECT_EQ(cfg.m_fFade, 1.0f);
}

TEST_F(ConfigTest, ClickOnACellAppliesAtOnce) {
    Open();
    ClickAt(490, 240); // item 6, message speed 100
    EXPECT_EQ(g_dwMessageSpeed, 100u);
    EXPECT_EQ(fakesvc::Count("SEPlay 22"), 1);
    ClickAt(490, 240); // already selected: nothing
    EXPECT_EQ(fakesvc::Count("SEPlay 22"), 1);
    ClickAt(420, 300); // item 8, auto-skip on
    EXPECT_EQ(g_bAutoSkip, 1);
    ClickAt(525, 340); // item 11, 250 ms
    EXPECT_EQ(g_dwAutoSkipSpeed, 250u);
    ClickAt(470, 180); // item 2, full screen
    EXPECT_EQ(fakesvc::Count("ChangeScreenMode 1 0"), 1);
    ClickAt(480, 210); // item 4, 16 bits
    EXPECT_EQ(fakesvc::Count("ChangeScreenMode 0 16"), 1);
    EXPECT_EQ(cfg.m_Env.bpp, 16);
}

TEST_F(ConfigTest, VolumeCells) {
    Open();
    // Sound-effect value 3 at x = 419 + 29 * 2.
    ClickAt(480, 430);
    EXPECT_EQ(g_dwSEVolume, 3u);
    auto& c = fakesvc::Calls();
    auto vol = std::find(c.begin(), c.end(), "SESetVolume 3");
    ASSERT_NE(vol, c.end());
    EXPECT_NE(std::find(vol, c.end(), "SEPlay 22"), c.end());
    ClickAt(372, 460); // voice 0 (40 wide)
    EXPECT_EQ(g_dwVoiceVolume, 0u);
    EXPECT_EQ(fakesvc::Count("VoiceSetVolume 0"), 1);
    ClickAt(690, 492); // music 10
    EXPECT_EQ(g_dwBGMVolume, 10u);
    EXPECT_EQ(fakesvc::Count("BGM_DS_SetVolume 10"), 1);
}

TEST_F(ConfigTest, PortraitPlaysAVoiceWithoutPushSound) {
    Open();
    h.sys.SetMousePos(100, 100);
    Step(16);
    EXPECT_EQ(cfg.m_nHover, 0);
    ClickAt(100, 100);
    ASSERT_EQ(fakesvc::Calls().size(), 1u);
    const std::string& call = fakesvc::Calls()[0];
    ASSERT_EQ(call.substr(0, 13), "VoicePlay con");
    int n = std::stoi(call.substr(13, 2));
    EXPECT_GE(n, 1);
    EXPECT_LE(n, 5);
}

TEST_F(ConfigTest, BackFadesAndCommitsAntiAlias) {
    Open();
    ClickAt(510, 370); // item 14, anti-alias 1
    EXPECT_EQ(cfg.m_Env.antiAlias, 1);
    EXPECT_EQ(g_dwAntiAliasLevel, 2u); // committed on leaving
    EXPECT_EQ(ClickAt(400, 540), 0);
    EXPECT_EQ(fakesvc::Count("SEPlay 23"), 1);
    EXPECT_EQ(cfg.m_nPhase, 8);
    EXPECT_EQ(Step(999), 0);
    EXPECT_EQ(Step(1), 1);
    EXPECT_EQ(g_dwAntiAliasLevel, 1u);
    EXPECT_EQ(fakesvc::Count("VoiceStop"), 1);
}

TEST_F(ConfigTest, BestDepthSixteenActsOnEveryClick) {
    g_dwScreenBpp = 16;
    Open();
    ClickAt(350, 210); // item 3; the unstarted renderer reports a best depth of 0
    ClickAt(350, 210);
    EXPECT_EQ(fakesvc::Count("SEPlay 22"), 2);
}

TEST_F(ConfigTest, NoTitleButtonWithoutAGame) {
    Open();
    h.sys.SetMousePos(400, 570);
    Step(16);
    EXPECT_EQ(cfg.m_nHover, 0);
    EXPECT_EQ(cfg.MoveTargetItem(52, 40), 1);
    EXPECT_EQ(cfg.MoveTargetItem(1, 38), 52);
    EXPECT_EQ(cfg.MoveTargetItem(2, 38), 52);
}

TEST_F(ConfigTest, MoveTable) {
    Open();
    struct Row {
        int from, up, down;
    };
    const Row rows[] = {
        {0, 1, 1},    {3, 1, 5},    {4, 2, 6},    {5, 3, 8},    {6, 4, 9},    {7, 4, 9},    {8, 5, 10},   {9, 6, 10},
        {10, 9, 13},  {11, 9, 14},  {12, 9, 15},  {13, 10, 19}, {14, 11, 22}, {15, 12, 25}, {16, 12, 27}, {17, 13, 28},
        {20, 13, 31}, {21, 14, 32}, {24, 15, 35}, {27, 16, 38}, {30, 19, 41}, {45, 34, 52}, {52, 44, 1},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(cfg.MoveTargetItem(r.from, 38), r.up) << r.from;
        EXPECT_EQ(cfg.MoveTargetItem(r.from, 40), r.down) << r.from;
    }
    EXPECT_EQ(cfg.MoveTargetItem(2, 39), 1);
    EXPECT_EQ(cfg.MoveTargetItem(1, 37), 2);
    EXPECT_EQ(cfg.MoveTargetItem(7, 39), 5);
    EXPECT_EQ(cfg.MoveTargetItem(13, 37), 16);
    EXPECT_EQ(cfg.MoveTargetItem(27, 39), 17);
    EXPECT_EQ(cfg.MoveTargetItem(39, 37), 49);
    EXPECT_EQ(cfg.MoveTargetItem(52, 37), 52);
    EXPECT_EQ(cfg.MoveTargetItem(0, 37), 1);
}

TEST_F(ConfigTest, UpAndDownInOneFrameDownWins) {
    Open();
    h.sys.SetMousePos(490, 240); // item 6
    Step(16);
    Step(16, {{38, kClickUp}, {40, kClickUp}});
    EXPECT_EQ(Pointer(), std::make_pair(486, 312)); // item 9's centre
    EXPECT_EQ(cfg.m_nHover, 9);
}

TEST_F(ConfigTest, ReturnToTitleDialogWithAGame) {
    // The dialog's window needs a renderer with the game's slot tables.
    int window = 0;
    ASSERT_EQ(h.sprite.Initialize(&h.sys, reinterpret_cast<plat::WindowHandle>(&window), &window, 800, 600, 32, 0), 1);
    ASSERT_EQ(h.sprite.CreateGraphicDataBuffer(84), 1);
    ASSERT_EQ(h.sprite.CreateTextureTextBuffer(71), 1);
    ADV_DATA adv;
    Open(&adv);
    EXPECT_EQ(cfg.MoveTargetItem(1, 38), 53);
    EXPECT_EQ(cfg.MoveTargetItem(52, 40), 53);
    h.sys.SetMousePos(400, 570);
    Step(16);
    EXPECT_EQ(fakesvc::Count("SEPlay 21"), 1);
    ClickAt(400, 570);
    EXPECT_EQ(fakesvc::Count("SEPlay 23"), 1);
    EXPECT_EQ(fakesvc::Count("SEPlay 21"), 2); // hover memory cleared in the same frame
    EXPECT_EQ(cfg.m_nPhase, 3);
    EXPECT_EQ(fakesvc::Count("GraphicLoad 2"), 1);
    Step(500);
    EXPECT_EQ(cfg.m_nPhase, 4);
    Step(16, {{17, kHeld}});
    EXPECT_EQ(cfg.m_nPhase, 5);
    // From nothing, Left goes to Yes; Left again to No.
    h.sys.SetMousePos(10, 10);
    Step(16);
    Step(16, {{37, kClickUp}});
    EXPECT_EQ(cfg.m_nHover, 50);
    Step(16, {{39, kClickUp}});
    EXPECT_EQ(cfg.m_nHover, 51);
    Step(16, {{13, kClickUp}});
    EXPECT_EQ(cfg.m_nPhase, 6);
    Step(500);
    EXPECT_EQ(cfg.m_nPhase, 2);
    EXPECT_EQ(fakesvc::Count("GraphicUnload 2"), 1);
    // Again, this time Yes.
    ClickAt(400, 570);
    Step(500);
    Step(16, {{1, kClickUp}});
    ASSERT_EQ(cfg.m_nPhase, 5);
    ClickAt(150 + 20 + 10, 234 + 78 + 5);
    EXPECT_EQ(cfg.m_nPhase, 7);
    EXPECT_EQ(Step(999), 0);
    EXPECT_EQ(Step(1), 2);
}

} // namespace
