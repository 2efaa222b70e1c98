#include <tuple>

#include "gallery/bgm_controller_window.h"
#include "tests/gallery/gallery_fixture.h"

struct GalleryBarTest : GalleryTest {
    template <class Bar>
    void Open(Bar& bar, int slot) {
        ASSERT_EQ(bar.Initialize(&sys, &sprite, &snd, slot, 0, 0, 228, 116, 566.0f, 480.0f, 228, 0, 456, 116, 0.0f,
                                 0.0f, 0.5f),
                  1);
        ASSERT_EQ(bar.BuildStandardButtons("test"), 1);
        const int on = 1;
        bar.SetDefaultButtonStatus(&on, &on, &on, &on, &on, &on, &on, &on, &on, &on);
        bar.m_bVisible = 1;
        bar.m_fAlpha = 1.0f;
    }
    // Key states for one frame without running the gallery.
    void Keys(int x, int y, std::initializer_list<std::pair<int, int>> keys) {
        for (int vk = 0; vk < 256; ++vk)
            sys.SetKeyState(vk, 0);
        for (auto& k : keys)
            sys.SetKeyState(k.first, k.second);
        sys.SetMousePos(x, y);
    }
    // Centre of a button on the screen.
    static int BX(int b) {
        static const int kX[10] = {148, 80, 80, 98, 43, 153, 98, 148, 216, 216};
        return 566 + kX[b];
    }
    static int BY(int b) {
        static const int kY[10] = {15, 15, 101, 40, 58, 58, 75, 101, 47, 67};
        return 480 + kY[b];
    }
};

TEST_F(GalleryBarTest, VolumesStepTogetherAndKeepTheirDifferences) {
    CG_CONTROLLER_WINDOW bar;
    Open(bar, 20);
    g_dwSEVolume = g_dwVoiceVolume = g_dwBGMVolume = 10;
    const int on = 1;
    bar.SetDefaultButtonStatus(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &on, &on);
    EXPECT_EQ(bar.m_Button[GALLERY_BAR::kVolumeUp].GetState(), -1);
    cg.m_nHoverId = 0; // volume buttons act whatever the owner's state
    int action = -1;
    Keys(BX(GALLERY_BAR::kVolumeUp), BY(GALLERY_BAR::kVolumeUp),
         {{1, kUp}}); // a disabled button takes the hover, not the click
    bar.MainProc(&action, &cg);
    EXPECT_EQ(action, 0);
    EXPECT_EQ(g_dwSEVolume, 10u);
    EXPECT_EQ(fakesvc::Count("SEPlay 24"), 1);
    Keys(BX(GALLERY_BAR::kVolumeDown), BY(GALLERY_BAR::kVolumeDown), {{1, kUp}});
    bar.MainProc(&action, &cg);
    EXPECT_EQ(action, GALLERY_BAR::kActVolumeDown);
    EXPECT_EQ(g_dwSEVolume + g_dwVoiceVolume + g_dwBGMVolume, 27u);
    EXPECT_EQ(bar.m_Button[GALLERY_BAR::kVolumeUp].GetState(), 0);
    g_dwSEVolume = 3;
    g_dwVoiceVolume = 7;
    g_dwBGMVolume = 10;
    fakesvc::Calls().clear();
    Keys(0, 0, {{0, 0}, {187, kUp}}); // the main keyboard's '+' when keypad + is up
    bar.MainProc(&action, &cg);
    EXPECT_EQ(g_dwSEVolume, 4u);
    EXPECT_EQ(g_dwVoiceVolume, 8u);
    EXPECT_EQ(g_dwBGMVolume, 10u);
    EXPECT_EQ(fakesvc::Count("BGM_DS_SetVolume 10"), 0); // a capped value is not applied again
}

TEST_F(GalleryBarTest, GalleryKeysNeedTheOwnersHoverAndEnabledButtons) {
    CG_CONTROLLER_WINDOW bar;
    Open(bar, 20);
    const int off = 0;
    bar.SetDefaultButtonStatus(nullptr, nullptr, nullptr, nullptr, &off, nullptr, nullptr, nullptr, nullptr, nullptr);
    int action = -1;
    cg.m_nHoverId = 0;
    Keys(0, 0, {{'N', kUp}});
    bar.MainProc(&action, &cg);
    EXPECT_EQ(action, 0);
    cg.m_nHoverId = 17;
    const std::pair<int, int> cases[5] = {{'N', 6}, {'B', 0}, {'R', 7}, {'W', 8}, {109, 10}};
    for (auto [key, want] : cases) {
        Keys(0, 0, {{key, kUp}});
        bar.MainProc(&action, &cg);
        EXPECT_EQ(action, want) << key;
    }
    Keys(0, 0, {{'N', kHeld}});
    bar.MainProc(&action, &cg);
    EXPECT_EQ(bar.m_Button[GALLERY_BAR::kNext].GetState(), 2);
}

TEST_F(GalleryBarTest, MusicRowsStayWithinTheTable) {
    BGM_CONTROLLER_WINDOW bar;
    Open(bar, 24);
    const char* tracks[14] = {"t01.mp3", "t02.mp3", "t03.mp3", "t04.mp3", "t05.mp3", "t06.mp3", "t07.mp3",
                              "t08.mp3", "t09.mp3", "t10.mp3", "t11.mp3", "t12.mp3", "t13.mp3", "t14.mp3"};
    int action = -1, row = 0;
    Keys(0, 0, {{'N', kUp}, {'P', kUp}});
    bar.MainProc(&action, &row, tracks);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(bar.m_Button[GALLERY_BAR::kPlay].GetState(), -1);
    for (auto [from, key, to] : {std::tuple{14, 'N', 1}, {15, 'N', 1}, {1, 'B', 14}}) {
        row = from;
        Keys(0, 0, {{key, kUp}});
        bar.MainProc(&action, &row, tracks);
        EXPECT_EQ(row, to) << from;
    }
    // No channel open: not running, so play starts the row's track once.
    row = 3;
    Keys(BX(GALLERY_BAR::kPlay), BY(GALLERY_BAR::kPlay), {{1, kUp}});
    bar.MainProc(&action, &row, tracks);
    EXPECT_EQ(action, GALLERY_BAR::kActPlay);
    EXPECT_EQ(fakesvc::Count("BGM_DS_Play 0 t03.mp3"), 1);
    EXPECT_EQ(bar.m_Button[GALLERY_BAR::kStop].GetState(), -1);
}
