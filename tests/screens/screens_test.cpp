#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_shell_test_hooks.h"
#include "app/env_settings.h"
#include "engine/kusprite2.h"
#include "engine/kutextgraphic.h"
#include "engine/kusystem.h"
#include "game/game_global_data.h"
#include "flow/game_main.h"
#include "game/integration_data.h"
#include "gallery/cg_mode_data.h"
#include "adv/adv_data.h"
#include "modes/config_mode_data.h"
#include "modes/demo_mode_data.h"
#include "modes/logo_mode_data.h"
#include "modes/title_mode_data.h"
#include "platform/cursor.h"
#include "platform/files.h"
#include "platform/input_state.h"
#include "platform/local_time.h"
#include "sound/kusnd.h"
#include "platform/gdi_font.h"
#include "tests/support/test_env.h"
#include "tools/script_writer.h"
#include "tools/archive_writer.h"
#include "tools/pictures/picture_files.h"
#include "tools/pictures/gallery_pictures.h"
#include "tools/pictures/screen_pictures.h"
#include "platform/local_time_test_hooks.h"
#include "tests/support/confinement.h"

namespace {

plat::WindowHandle FakeWindow() {
    static int token;
    return reinterpret_cast<plat::WindowHandle>(&token);
}

void* FakeInstance() {
    static int token;
    return &token;
}

bool ReadBmp24(const std::string& path, std::vector<uint32_t>* px, int* w, int* h) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string b = ss.str();
    if (b.size() < 54)
        return false;
    std::memcpy(w, &b[18], 4);
    std::memcpy(h, &b[22], 4);
    const size_t stride = (static_cast<size_t>(*w) * 3 + 3) & ~size_t(3);
    if (*w <= 0 || *h <= 0 || b.size() < 54 + stride * *h)
        return false;
    px->assign(static_cast<size_t>(*w) * *h, 0);
    for (int y = 0; y < *h; ++y) {
        const auto* row = reinterpret_cast<const unsigned char*>(&b[54 + stride * (*h - 1 - y)]);
        for (int x = 0; x < *w; ++x)
            (*px)[static_cast<size_t>(y) * *w + x] =
                (uint32_t(row[3 * x + 2]) << 16) | (uint32_t(row[3 * x + 1]) << 8) | row[3 * x];
    }
    return true;
}

// The sample game's screen pictures in dat/Img.dat of the working folder.
bool WriteScreenArchive() {
    plat::MakeDir("dat");
    std::vector<ArchiveMember> members;
    for (auto& [name, bytes] : screens::ScreenPictures())
        members.push_back(ArchiveMember{name, "", bytes});
    std::string error;
    return WriteArchive("dat/Img.dat", members, false, &error);
}

// The pictures' captions and the dialog's text come from the font renderer:
// exact frames hold only for the one they were made with.
bool GoldenRendererMatches(std::string* why) {
    const std::string path = kutest::SourceDir() + "/tests/screens/golden/renderer.txt";
    const std::string id = plat::GlyphRendererId();
    const char* update = std::getenv("KU_UPDATE_GOLDEN");
    if (update && std::strcmp(update, "1") == 0) {
        std::ofstream(path) << id << "\n";
        return true;
    }
    std::string recorded;
    std::ifstream in(path);
    std::getline(in, recorded);
    if (!id.empty() && recorded == id)
        return true;
    *why = "golden frames were made with \"" + recorded + "\", this machine renders with \"" + id +
           "\" (KU_UPDATE_GOLDEN=1 remakes them)";
    return false;
}

// Exact comparison of the back buffer with tests/screens/golden/<name>.bmp;
// KU_UPDATE_GOLDEN=1 rewrites it. "" when equal (or not comparable here).
std::string CompareGolden(const std::string& name) {
    std::string why;
    if (!GoldenRendererMatches(&why)) {
        std::printf("[ SKIPPED  ] golden %s: %s\n", name.c_str(), why.c_str());
        return "";
    }
    plat::Surface c = *g_KuSprite.GetBackSurface();
    for (uint32_t& p : c.pixels)
        p |= 0xFF000000u;
    const std::string path = kutest::SourceDir() + "/tests/screens/golden/" + name + ".bmp";
    const char* update = std::getenv("KU_UPDATE_GOLDEN");
    if (update && std::strcmp(update, "1") == 0) {
        std::ofstream(path, std::ios::binary) << EncodeBmp24(c);
        return "";
    }
    std::vector<uint32_t> g;
    int w = 0, h = 0;
    if (!ReadBmp24(path, &g, &w, &h))
        return "no golden " + path + " (run with KU_UPDATE_GOLDEN=1)";
    if (w != c.width || h != c.height)
        return "size differs";
    int diffs = 0;
    for (size_t i = 0; i < g.size(); ++i)
        diffs += (g[i] & 0xFFFFFF) != (c.pixels[i] & 0xFFFFFF);
    if (!diffs)
        return "";
    const kutest::WritableBuildFolder writable;
    std::ofstream(kutest::BinaryDir() + "/" + name + ".actual.bmp", std::ios::binary) << EncodeBmp24(c);
    return std::to_string(diffs) + " pixels differ";
}

// The whole program's objects, started as the shell starts them (without a
// window or a sound device), driven one frame at a time.
class ScreensTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetShellState();
        // The frame pacing spins on the clock for its last millisecond.
        clock.clock.SetStepPerRead(1);
        SetLocalTime(6, 12, 0);
        g_bSoundEnable = 0;
        g_dwScreenBpp = 32;
        ASSERT_TRUE(WriteScreenArchive());
        ASSERT_EQ(g_KuSystem.Initialize(FakeWindow(), 1), 1);
        ASSERT_EQ(g_KuSprite.Initialize(&g_KuSystem, FakeWindow(), FakeInstance(), 800, 600, 32, 0), 1);
        ASSERT_EQ(g_GameMain.Initialize(&g_KuSystem, &g_KuSprite, &g_KuSnd), 1);
        g_bLibraryInit = 1;
    }
    void TearDown() override {
        if (g_bLibraryInit)
            LibraryRelease();
        ResetShellState();
        plat::SetLocalTimeSource(nullptr);
    }
    void SetLocalTime(int month, int hour, int minute) {
        plat::SetLocalTimeSource([=] {
            plat::LocalTime t;
            t.year = 2026;
            t.month = month;
            t.day = 1;
            t.hour = hour;
            t.minute = minute;
            return t;
        });
    }
    // One frame as the shell runs it: input, logic, drawing (16 ms apart).
    int Step() {
        g_KuSystem.Update(FakeWindow());
        int r = g_GameMain.GameMainProc();
        if (r && g_bLibraryInit) {
            EXPECT_EQ(g_GameMain.GameMainDraw(), 1);
        }
        ++frames;
        return r;
    }
    // A frame without drawing, for long waits (the clock moves by the frame).
    int StepLogicOnly() {
        clock.clock.Advance(16);
        g_KuSystem.Update(FakeWindow());
        ++frames;
        return g_GameMain.GameMainProc();
    }
    void Steps(int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(Step(), 1);
    }
    void Mouse(int x, int y) { plat::InputState::Get().SetMouse(x, y); }
    // Button down in one frame, up in the next: a click.
    void Click(int x, int y) {
        Mouse(x, y);
        plat::InputState::Get().SetVkDown(1, true);
        Step();
        plat::InputState::Get().SetVkDown(1, false);
        Step();
    }
    // The first frame, then Ctrl held for one frame: the logo is skipped.
    void SkipLogo() {
        ASSERT_EQ(Step(), 1);
        plat::InputState::Get().SetVkDown(17, true);
        Step();
        plat::InputState::Get().SetVkDown(17, false);
    }
    // Through the logo and the title's intro to the options screen.
    void OpenOptionsFromTitle() {
        SkipLogo();
        Click(10, 10);
        Click(350, 340);
        StepsUntilMode(GAME_MAIN::kModeConfig, 300);
    }
    void StepsUntilMode(int mode, int limit) {
        for (int i = 0; i < limit && g_GameMain.GetMode() != mode; ++i)
            ASSERT_EQ(Step(), 1);
        ASSERT_EQ(g_GameMain.GetMode(), mode);
    }

    kutest::TempDir dir;
    kutest::FakeClockScope clock;
    int frames = 0;
};

TEST_F(ScreensTest, LogoTitleOptionsVolumeBackQuit) {
    ASSERT_EQ(Step(), 1);
    EXPECT_EQ(g_GameMain.GetMode(), GAME_MAIN::kModeLogo);
    StepsUntilMode(GAME_MAIN::kModeTitle, 600);
    EXPECT_NEAR(frames * 16, 7000, 64); // the logo ran its 7 seconds
    Click(10, 10); // skips the intro
    ASSERT_EQ(g_GameMain.m_pTitleMode->m_nPhase, 6);
    Click(350, 340);
    StepsUntilMode(GAME_MAIN::kModeConfig, 300);
    Steps(70);
    ASSERT_EQ(g_GameMain.m_pConfigMode->m_nPhase, 2);
    Click(690, 492); // music volume 10
    EXPECT_EQ(g_dwBGMVolume, 10u);
    Click(400, 540); // back
    StepsUntilMode(GAME_MAIN::kModeTitle, 300);
    Click(10, 10);
    Click(350, 440); // quit
    for (int i = 0; i < 300 && g_bLibraryInit; ++i)
        Step();
    EXPECT_EQ(g_bLibraryInit, 0);
    EXPECT_EQ(GetShellCounters().libraryRelease, 1);
    EXPECT_EQ(dir.Read("env.env"),
              "//_/_/_/_/_/_/ 環境設定データ _/_/_/_/_/_/\r\n"
              "サウンド警告: ON\r\n"
              "スクリーンモード: Window\r\n"
              "画面カラー: 32bit\r\n"
              "メッセージ速度: 100\r\n"
              "アンリエイリアスレベル: レベル3\r\n"
              "オートスキップ速度: 250\r\n"
              "SE Volume: 5\r\n"
              "Voice Volume: 5\r\n"
              "BGM Volume: 10\r\n"
              "男性ボイス: ON\r\n");
    GAME_GLOBAL_DATA fresh;
    EXPECT_EQ(dir.Read("sav/sav00.sav"), game::FormatIntegrationData(fresh));
    EXPECT_FALSE(dir.Exists("tmp"));
}

TEST_F(ScreensTest, LogoSkippedByClicksAndItsFadeFrame) {
    ASSERT_EQ(Step(), 1);
    Steps(33); // half-way through the fade-in
    LOGO_MODE_DATA* logo = g_GameMain.m_pLogoMode;
    ASSERT_NE(logo, nullptr);
    EXPECT_NEAR(logo->m_fFade, 0.5f, 0.02f);
    EXPECT_EQ(CompareGolden("logo_fade"), "");
    Click(10, 10);
    Click(10, 10);
    Click(10, 10);
    EXPECT_EQ(g_GameMain.GetMode(), GAME_MAIN::kModeTitle);
}

TEST_F(ScreensTest, TitleDayAndNightFrames) {
    SetLocalTime(1, 16, 30);
    SkipLogo();
    ASSERT_EQ(g_GameMain.GetMode(), GAME_MAIN::kModeTitle);
    EXPECT_EQ(g_GameMain.m_pTitleMode->m_nBGSlot, 6);
    Click(10, 10);
    const uint32_t menuStart = g_GameMain.m_pTitleMode->m_dwPhaseStart;
    Mouse(350, 280); // hover new game
    Steps(2);
    EXPECT_EQ(CompareGolden("title_day"), "");
    // Back to the logo by the idle time-out, and a night title after it.
    SetLocalTime(1, 16, 31);
    for (int i = 0; i < 90000 / 16 + 80 && g_GameMain.GetMode() == GAME_MAIN::kModeTitle; ++i)
        StepLogicOnly();
    EXPECT_EQ(g_GameMain.GetMode(), GAME_MAIN::kModeLogo);
    // 90 s of menu (hovering does not count), then a 1 s fade.
    const uint32_t closed = static_cast<uint32_t>(g_KuSystem.GetTime()) - menuStart;
    EXPECT_GE(closed, 91000u);
    EXPECT_LT(closed, 91100u);
    // The idle logo leads to the demo (the game has its movie), which Ctrl skips to the title.
    std::ofstream("dat/Mov.dat") << "movie";
    StepsUntilMode(GAME_MAIN::kModeDemo, 600);
    plat::InputState::Get().SetVkDown(17, true);
    Step();
    plat::InputState::Get().SetVkDown(17, false);
    ASSERT_EQ(g_GameMain.GetMode(), GAME_MAIN::kModeTitle);
    EXPECT_EQ(g_GameMain.m_pTitleMode->m_nBGSlot, 7);
    Click(10, 10);
    Steps(2);
    EXPECT_EQ(CompareGolden("title_night"), "");
}

TEST_F(ScreensTest, OptionsFrame) {
    OpenOptionsFromTitle();
    Steps(70);
    Mouse(400, 540); // hover the back button
    Steps(2);
    EXPECT_EQ(CompareGolden("options"), "");
}

TEST_F(ScreensTest, AntiAliasAppliesToEveryTextSlotAndCommitsOnLeaving) {
    OpenOptionsFromTitle();
    Steps(70);
    ASSERT_GT(g_KuSprite.GetTextureTextBufferNum(), 0u);
    Click(510, 370); // anti-alias 1
    for (uint32_t i = 0; i < g_KuSprite.GetTextureTextBufferNum(); ++i)
        ASSERT_EQ(g_KuSprite.GetTextureTextSlot(i)->antiAlias(), 1u) << i;
    EXPECT_EQ(g_dwAntiAliasLevel, 4u);
    kutest::DebugCapture cap;
    Click(400, 540); // back
    StepsUntilMode(GAME_MAIN::kModeTitle, 300);
    EXPECT_EQ(g_dwAntiAliasLevel, 1u);
    EXPECT_FALSE(cap.Contains("グラフィックテキストデータのリストアに失敗しました"));
}

// With a game open the options screen asks before going back to the title:
// the question types out in the window, No puts the options back, Yes leaves.
TEST_F(ScreensTest, ReturnToTitleDialogAsksItsQuestion) {
    OpenOptionsFromTitle();
    // Opened over a game, as the game object opens it from the adventure.
    ADV_DATA adv;
    CONFIG_MODE_DATA* cfg = g_GameMain.m_pConfigMode;
    ASSERT_EQ(cfg->Initialize(&g_KuSystem, &g_KuSprite, &g_KuSnd, &adv), 1);
    Steps(70);
    ASSERT_EQ(cfg->m_nPhase, 2);
    const KUTEXTGRAPHIC* text = g_KuSprite.GetTextureTextSlot(CONFIG_MODE_DATA::kTextSlot);
    ASSERT_NE(text, nullptr);
    for (int round = 0; round < 2; ++round) {
        Click(400, 572); // return to title
        ASSERT_EQ(cfg->m_nPhase, 3);
        Steps(33); // the window fades in over 500 ms
        ASSERT_EQ(cfg->m_nPhase, 4);
        ASSERT_TRUE(text->initialized());
        EXPECT_EQ(std::string(text->text(), text->textLength()), "タイトルに戻ります。\nよろしいですか？");
        Steps(10); // types at 100 ms a character
        EXPECT_GT(cfg->m_MsgWnd.m_TextArea.m_fDispNum, 0.0f);
        EXPECT_LT(cfg->m_MsgWnd.m_TextArea.m_fDispNum, 18.0f);
        if (round == 0) {
            Steps(120); // typed out by itself
        } else {
            Click(10, 10); // a click shows it whole
        }
        ASSERT_EQ(cfg->m_nPhase, 5);
        EXPECT_EQ(cfg->m_MsgWnd.m_TextArea.m_fDispNum, -1.0f);
        if (round == 0) {
            Mouse(200, 324); // hover Yes
            Steps(2);
            EXPECT_EQ(CompareGolden("options_dialog"), "");
            Click(500, 324); // No
            Steps(33);
            ASSERT_EQ(cfg->m_nPhase, 2);
            EXPECT_FALSE(text->initialized()); // the dialog gave its text slot back
        }
    }
    Click(200, 324); // Yes
    StepsUntilMode(GAME_MAIN::kModeTitle, 100);
}

// Shades in the glyphs of the story's message strip: the distinct colours
// there clearly darker than the window's panel.
int MessageStripShades() {
    const plat::Surface& frame = *g_KuSprite.GetBackSurface();
    std::set<uint32_t> shades;
    for (int y = 512; y < 548; ++y)
        for (int x = 6; x < 400; ++x)
            if ((frame.Row(y)[x] >> 16 & 0xFF) < 235)
                shades.insert(frame.Row(y)[x] & 0xFFFFFF);
    return static_cast<int>(shades.size());
}

// The story's first line with the options opened over it three times: the
// smoothing chosen there shows on that line as the screen closes. The line's
// textures are given back while the options run and made again on return.
TEST_F(ScreensTest, SmoothingChosenOverTheStoryShowsOnItsLine) {
    namespace fs = std::filesystem;
    const fs::path built = fs::path(kutest::BinaryDir()) / "game" / "dat";
    if (!fs::exists(built / "Scenario.dat"))
        GTEST_SKIP() << "the sample game is not built";
    if (plat::GlyphRendererId().empty())
        GTEST_SKIP() << "no Japanese font installed";
    for (const fs::directory_entry& e : fs::directory_iterator(built)) {
        fs::remove(fs::path("dat") / e.path().filename());
        fs::create_symlink(e.path(), fs::path("dat") / e.path().filename());
    }
    SkipLogo();
    Click(10, 10);
    Click(350, 285); // new game
    StepsUntilMode(GAME_MAIN::kModeAdventure, 300);
    ADV_DATA* adv = g_GameMain.m_pAdvData;
    ASSERT_NE(adv, nullptr);
    for (int i = 0; i < 600 && adv->m_MsgWnd.m_TextArea.m_fDispNum != -1.0f; ++i)
        ASSERT_EQ(Step(), 1);
    const std::string line = "放課後の教室に、夕日が差し込んでいた。";
    ASSERT_EQ(adv->m_MsgWnd.m_Current.m_szText, line);
    const int cells[] = {460, 544, 740}; // none (0), weak (1), strong (4)
    int shades[3] = {};
    for (int i = 0; i < 3; ++i) {
        plat::InputState::Get().SetVkDown('C', true);
        Step();
        plat::InputState::Get().SetVkDown('C', false);
        StepsUntilMode(GAME_MAIN::kModeConfig, 200);
        Steps(70);
        Click(cells[i], 375);
        Click(400, 545); // back
        StepsUntilMode(GAME_MAIN::kModeAdventure, 200);
        for (int f = 0; f < 200 && adv->m_nPhase != 0; ++f)
            ASSERT_EQ(Step(), 1);
        Steps(2);
        ASSERT_EQ(adv->m_MsgWnd.m_Current.m_szText, line);
        shades[i] = MessageStripShades();
    }
    EXPECT_EQ(shades[0], 2) << "black text over its grey shadow";
    EXPECT_LT(shades[0], shades[1]);
    EXPECT_LT(shades[1], shades[2]);
}

// The demo on the sample game's movie: cursor hidden while it plays, a
// click ends it and puts everything back.
TEST_F(ScreensTest, DemoPlaysTheSampleMovieUntilClicked) {
    std::string movie;
    if (!plat::ReadWholeFile(kutest::BinaryDir() + "/game/dat/Mov.dat", &movie))
        GTEST_SKIP() << "no sample game built";
    dir.Write("dat/Mov.dat", movie);
    ASSERT_GE(g_KuSnd.Initialize(&g_KuSystem, FakeWindow(), FakeInstance(), 0), 0);
    DEMO_MODE_DATA demo;
    ASSERT_EQ(demo.Initialize(&g_KuSystem, &g_KuSprite, &g_KuSnd), 1);
    g_KuSystem.Update(FakeWindow());
    ASSERT_EQ(demo.MainProc(), 0);
    EXPECT_EQ(g_bMoviePlay, 1);
    EXPECT_LT(plat::CursorDisplayCount(), 0);
    EXPECT_NE(g_KuSnd.DShowIsOpen(2), 0);
    g_KuSystem.Update(FakeWindow());
    EXPECT_EQ(demo.MainProc(), 0);
    plat::InputState::Get().SetVkDown(1, true);
    g_KuSystem.Update(FakeWindow());
    EXPECT_EQ(demo.MainProc(), 0);
    plat::InputState::Get().SetVkDown(1, false);
    g_KuSystem.Update(FakeWindow());
    EXPECT_EQ(demo.MainProc(), 1);
    EXPECT_EQ(g_bMoviePlay, 0);
    EXPECT_GE(plat::CursorDisplayCount(), 0);
    EXPECT_EQ(g_KuSnd.DShowIsOpen(2), 0);
}

} // namespace

// From the title's gallery row into the gallery, an episode opened, and out
// through its exit back to the title.
TEST_F(ScreensTest, TitleGalleryEpisodeAndBack) {
    std::vector<ArchiveMember> pictures;
    for (auto* set : {&screens::ScreenPictures, &screens::GalleryPictures})
        for (auto& [name, bytes] : (*set)())
            pictures.push_back(ArchiveMember{name, "", bytes});
    std::string error;
    ASSERT_TRUE(WriteArchive("dat/Img.dat", pictures, false, &error)) << error;
    const std::string script =
        "// gallery\r\nEPISODE01 第一話\r\nEPISODE01-SCENE01 NULL\r\n"
        "EPISODE01-SCENE01-PAGE01-X01-Y01 CG_VIEW01.bmp\r\n";
    ASSERT_TRUE(
        WriteArchive("dat/Scenario.dat", {ArchiveMember{"CGModeData.spt", "", ScrambleScript(script)}}, false, &error))
        << error;
    g_GameMain.GetGlobalData()->m_dwEventFlag[0] = 1;
    SkipLogo();
    Click(10, 10);
    Click(402, 380); // the gallery row
    StepsUntilMode(GAME_MAIN::kModeGallery, 300);
    CG_MODE_DATA* cg = g_GameMain.m_pCGMode;
    for (int i = 0; i < 100 && cg->m_nState != 2; ++i)
        Step();
    Click(60, 91); // episode 1
    Steps(40);
    EXPECT_STREQ(cg->m_szTitle, "第一話");
    EXPECT_EQ(cg->m_sceneItem[0].bSelectFlg, 1);
    Click(184, 152); // its unnamed scene opens the list
    Steps(40);
    EXPECT_EQ(cg->m_cgItem[0].bDispFlg, 1);
    Click(416, 580); // exit
    StepsUntilMode(GAME_MAIN::kModeTitle, 200);
    EXPECT_EQ(g_GameMain.m_pCGMode, nullptr);
}
