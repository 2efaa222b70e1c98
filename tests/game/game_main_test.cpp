#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iterator>
#include <set>
#include <memory>
#include <string>

#include "adv/adv_data.h"
#include "app/env_settings.h"
#include "flow/game_main.h"
#include "game/game_global_data.h"
#include "game/integration_data.h"
#include "game/shell_services.h"
#include "modes/config_mode_data.h"
#include "modes/logo_mode_data.h"
#include "modes/test_mode_data.h"
#include "modes/title_mode_data.h"
#include "platform/dialog_test_hooks.h"
#include "platform/files_test_hooks.h"
#include "platform/local_time.h"
#include "tests/support/fuzz_mutator.h"
#include "tests/modes/mode_harness.h"
#include "platform/local_time_test_hooks.h"
#include "tools/archive_writer.h"
#include "tools/script_writer.h"

namespace {

int CountLines(const std::string& s) {
    int n = 0;
    for (char c : s)
        n += c == '\n';
    return n;
}

class GameMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::SetLocalTimeSource([] {
            plat::LocalTime t;
            t.month = 6;
            t.hour = 23;
            return t;
        });
        SetEnvDefaults();
        g_bLibraryInit = 0;
        fakesvc::g_saveSettings = &SaveEnvData;
    }
    void TearDown() override { plat::SetLocalTimeSource(nullptr); }
    void Start() {
        ASSERT_EQ(game->Initialize(&h.sys, &h.sprite, &h.snd), 1);
        fakesvc::Calls().clear();
    }
    int Step(uint32_t ms, std::initializer_list<std::pair<int, int>> keys = {}) {
        h.Frame(ms, keys);
        return game->GameMainProc();
    }
    // Start -> logo (skipped with Ctrl) -> title with its menu up.
    void ToTitleMenu() {
        Start();
        ASSERT_EQ(Step(16), 1);
        ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeLogo);
        ASSERT_EQ(Step(16, {{17, kHeld}}), 1);
        ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);
        ASSERT_EQ(Step(16), 1);
        ASSERT_EQ(Step(16, {{1, kClickUp}}), 1);
        ASSERT_EQ(game->m_pTitleMode->m_nPhase, 6);
    }
    // Clicks at a point and lets the closing fades run.
    void ChooseAt(int x, int y, int frames = 200) {
        h.sys.SetMousePos(x, y);
        Step(16);
        Step(16, {{1, 2}});
        Step(16, {{1, kClickUp}});
        const int mode = game->GetMode();
        for (int i = 0; i < frames && game->GetMode() == mode; ++i)
            Step(16);
    }

    kutest::TempDir dir;
    ModeHarness h;
    std::unique_ptr<GAME_MAIN> game = std::make_unique<GAME_MAIN>();
};

TEST_F(GameMainTest, MissingEngineObjects) {
    kutest::DebugCapture cap;
    EXPECT_EQ(game->Initialize(nullptr, &h.sprite, &h.snd), 0);
    EXPECT_TRUE(cap.Contains("Error: <GAME_MAIN::Initialize> KUSYSTEMクラスポインタが設定されていません\n"));
    EXPECT_EQ(game->Initialize(&h.sys, &h.sprite, nullptr), 0);
    EXPECT_EQ(game->GameMainProc(), 0);
}

TEST_F(GameMainTest, FreshStartWritesACompleteFileAtRelease) {
    Start();
    EXPECT_TRUE(dir.Exists("sav"));
    EXPECT_FALSE(dir.Exists("sav/sav00.sav"));
    game->GetGlobalData()->SetFlag(2, 3, 0, 32, 1);
    game->Release();
    std::string text = dir.Read("sav/sav00.sav");
    EXPECT_EQ(CountLines(text), 671);
    EXPECT_NE(text.find("0 0 0 \n0 0 0 \n-2147483648 0 0 \n"), std::string::npos);
    EXPECT_FALSE(dir.Exists("sav/sav00.sav.tmp"));
    // A second release (the destructor) writes nothing more.
    dir.Write("sav/sav00.sav", "x");
    game->Release();
    EXPECT_EQ(dir.Read("sav/sav00.sav"), "x");
}

TEST_F(GameMainTest, DamagedFileGetsDefaultsAndIsRewritten) {
    mkdir("sav", 0755);
    dir.Write("sav/sav00.sav", "---EPISODE_NUM_START---\nseven\n---CHARACTER_FLG_START---\n5");
    Start();
    EXPECT_EQ(game->GetGlobalData()->m_nTopEpisode, 0);
    EXPECT_EQ(game->GetGlobalData()->m_dwCharacterFlag, 5u);
    game->Release();
    std::string text = dir.Read("sav/sav00.sav");
    EXPECT_EQ(CountLines(text), 671);
    EXPECT_NE(text.find("---CHARACTER_FLG_START---\n5\n"), std::string::npos);
}

// Text around whole sections holds nothing the game reads: the file is
// written again at exit with what each play earned.
TEST_F(GameMainTest, StrayLinesNeverStopAPlayFromBeingStored) {
    mkdir("sav", 0755);
    GAME_GLOBAL_DATA d;
    d.m_dwCgFlag[6][19][2] = 5;
    const std::string full = game::FormatIntegrationData(d);
    std::string surplus = full;
    surplus.insert(surplus.find("---CG_FLG_END---"), "1 1 1 \n2 2 2 \n3 3 3 \n4 4 4 \n5 5 5 \n");
    const std::string files[] = {"\xEF\xBB\xBF" + full, full + "x\n", surplus};
    d.SetFlag(1, 1, 0, 1, 1);
    const std::string earned = game::FormatIntegrationData(d);
    for (const std::string& text : files) {
        dir.Write("sav/sav00.sav", text);
        kutest::DebugCapture cap;
        Start();
        game->GetGlobalData()->SetFlag(1, 1, 0, 1, 1);
        game->Release();
        EXPECT_EQ(dir.Read("sav/sav00.sav"), earned);
        EXPECT_FALSE(cap.Contains("sav00.sav"));
        EXPECT_FALSE(dir.Exists("sav/sav00.sav.old1"));
    }
}

// The disks a game folder may lie on: one with every call, and one with
// neither unnamed files, hard links nor a rename that refuses to replace
// (exFAT, FAT, some network shares).
constexpr unsigned kDisks[] = {0, plat::kLacksAll};

// What lies in sav/ but for the folder itself.
std::set<std::string> SaveFolder() {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator("sav"))
        names.insert(e.path().filename().string());
    return names;
}

ino_t InodeOf(const char* path) {
    struct stat st {};
    return lstat(path, &st) == 0 ? st.st_ino : 0;
}

// One damaged byte in a start marker hides a whole section. The file as it
// was is set aside under a name no earlier copy has, then every play is
// stored again, on any disk, and no temporary file stays.
TEST_F(GameMainTest, AHiddenSectionSetsTheFileAsideAndPlayGoesOnBeingStored) {
    mkdir("sav", 0755);
    GAME_GLOBAL_DATA d;
    d.SetEpisode(3, 2);
    d.m_dwCgFlag[6][19][2] = 5;
    std::string text = game::FormatIntegrationData(d);
    text[text.find("---CG_FLG_START---") + 14] = 'R';
    for (unsigned disk : kDisks) {
        plat::SetFileSystemLacks(disk);
        dir.Write("sav/sav00.sav.old1", "an earlier copy");
        dir.Write("sav/sav00.sav", text);
        for (int play = 1; play <= 3; ++play) {
            kutest::DebugCapture cap;
            Start();
            EXPECT_EQ(game->GetGlobalData()->m_nTopEpisode, 2);
            EXPECT_EQ(cap.Contains("Warn: <GAME_MAIN::LoadIntegrationData> sav/sav00.sav の5行目を読めません。"
                                   "元のファイルを sav/sav00.sav.old2 に残し、終了時に書き直します\n"),
                      play == 1)
                << disk;
            game->GetGlobalData()->SetFlag(1, play, 0, 1, 1);
            game->Release();
            GAME_GLOBAL_DATA e;
            EXPECT_EQ(game::ParseIntegrationData(dir.Read("sav/sav00.sav"), &e), 0);
            for (int scene = 1; scene <= play; ++scene)
                EXPECT_EQ(e.GetFlag(1, scene, 0, 1), 1) << disk << " " << play;
        }
        EXPECT_EQ(dir.Read("sav/sav00.sav.old1"), "an earlier copy");
        EXPECT_EQ(dir.Read("sav/sav00.sav.old2"), text);
        EXPECT_EQ(SaveFolder(), (std::set<std::string>{"sav00.sav", "sav00.sav.old1", "sav00.sav.old2"})) << disk;
        std::filesystem::remove("sav/sav00.sav.old2");
    }
    plat::SetFileSystemLacks(0);
}

// A damaged first marker hides the value on the file's first line.
TEST_F(GameMainTest, AHiddenValueOnTheFirstLineSetsTheFileAside) {
    mkdir("sav", 0755);
    GAME_GLOBAL_DATA d;
    d.SetEpisode(3, 4);
    const std::string text = game::FormatIntegrationData(d).substr(1); // "--EPISODE_NUM_START---"
    dir.Write("sav/sav00.sav", text);
    kutest::DebugCapture cap;
    Start();
    game->Release();
    EXPECT_TRUE(cap.Contains("sav/sav00.sav の1行目を読めません。元のファイルを sav/sav00.sav.old1 に残し"));
    EXPECT_EQ(dir.Read("sav/sav00.sav.old1"), text);
}

// A file larger than the reader takes is read as far as its last whole
// line, kept whole beside itself, and every play is stored again, on any
// disk. The copy is a file of its own at once: where it is a second name of
// the file, the file is replaced straight away by what was read, so an edit
// of it in place after a crash cannot cut the copy. Where it is a copy, a
// run that stops before the write at exit finds and reuses it.
TEST_F(GameMainTest, AnOversizedFileIsSetAsideWholeAndPlayGoesOnBeingStored) {
    mkdir("sav", 0755);
    GAME_GLOBAL_DATA d;
    d.SetEpisode(3, 2);
    const std::string full = game::FormatIntegrationData(d);
    std::string lines;
    for (int i = 0; i < 400000; ++i)
        lines += "x\n";
    const struct {
        std::string text;
        int episode;
        const char* lost;
    } cases[] = {
        {full + std::string(700 * 1024, '\n'), 2, "687104バイトより後"},
        {std::string(1 << 20, '\0'), 0, "0バイトより後"},
        {lines, 0, "1行目"},
    };
    for (unsigned disk : kDisks) {
        plat::SetFileSystemLacks(disk);
        const bool copied = disk != 0;
        for (const auto& c : cases) {
            dir.Write("sav/sav00.sav", c.text);
            const std::string told = std::string("Warn: <GAME_MAIN::LoadIntegrationData> sav/sav00.sav の") +
                                     c.lost + "を読めません。元のファイルを sav/sav00.sav.old1 に残し、終了時に書き直します\n";
            for (int play = 1; play <= 3; ++play) {
                kutest::DebugCapture cap;
                Start();
                EXPECT_EQ(game->GetGlobalData()->m_nTopEpisode, c.episode) << c.lost;
                EXPECT_EQ(cap.Contains(told), play == 1 || (copied && play == 2)) << c.lost << play << disk;
                if (play == 1) {
                    EXPECT_NE(InodeOf("sav/sav00.sav"), InodeOf("sav/sav00.sav.old1")) << c.lost << disk;
                    EXPECT_EQ(dir.Read("sav/sav00.sav") == c.text, copied) << c.lost << disk;
                    game->GetGlobalData()->Clear(); // stops as a crash would, with nothing written
                }
                game->GetGlobalData()->SetFlag(1, play, 0, 1, 1);
                game->Release();
            }
            GAME_GLOBAL_DATA e;
            EXPECT_EQ(game::ParseIntegrationData(dir.Read("sav/sav00.sav"), &e), 0) << c.lost;
            EXPECT_EQ(e.m_nTopEpisode, c.episode) << c.lost;
            EXPECT_EQ(e.GetFlag(1, 1, 0, 1) + e.GetFlag(1, 2, 0, 1) + e.GetFlag(1, 3, 0, 1), 2) << c.lost;
            EXPECT_TRUE(dir.Read("sav/sav00.sav.old1") == c.text) << c.lost;
            EXPECT_EQ(SaveFolder(), (std::set<std::string>{"sav00.sav", "sav00.sav.old1"})) << c.lost << disk;
            std::filesystem::remove("sav/sav00.sav.old1");
        }
    }
    plat::SetFileSystemLacks(0);
}

// Where the read limit falls inside a line, that line is no value: neither
// a number cut short nor a name cut after a lead byte is read or written
// back. The copy keeps the whole line.
TEST_F(GameMainTest, TheLineTheReadLimitCutsIsNotRead) {
    mkdir("sav", 0755);
    constexpr size_t kLimit = 687104;
    const struct {
        std::function<void(GAME_GLOBAL_DATA*)> set;
        const char* line;
        size_t cut;
    } cases[] = {
        {[](GAME_GLOBAL_DATA* g) { g->m_dwEventFlag[0] = 65536; }, "\n65536\n", 3},
        {[](GAME_GLOBAL_DATA* g) { g->m_pAutoSkip[0].SetData("Second.spt", 40); }, "\nSecond.spt\t40\n", 12},
        {[](GAME_GLOBAL_DATA* g) { g->m_pAutoSkip[0].SetData("\x83\x54\x83\x54.spt", 7); }, "\n\x83\x54", 1},
    };
    for (const auto& c : cases) {
        GAME_GLOBAL_DATA d;
        d.SetEpisode(3, 2);
        c.set(&d);
        const std::string data = game::FormatIntegrationData(d);
        const size_t at = data.find(c.line) + 1; // the value's own line
        ASSERT_LT(at + c.cut, kLimit);
        const std::string text = std::string(kLimit - at - c.cut, '\n') + data + std::string(1000, '\n');
        dir.Write("sav/sav00.sav", text);
        Start();
        const GAME_GLOBAL_DATA* g = game->GetGlobalData();
        EXPECT_EQ(g->m_nTopEpisode, 2) << c.line;
        EXPECT_EQ(g->m_dwEventFlag[0], 0u) << c.line;
        EXPECT_TRUE(g->m_pAutoSkip[0].IsEmpty()) << c.line << g->m_pAutoSkip[0].m_szFile;
        game->Release();
        GAME_GLOBAL_DATA e;
        game::ParseIntegrationData(dir.Read("sav/sav00.sav"), &e);
        EXPECT_EQ(e.m_nTopEpisode, 2) << c.line;
        EXPECT_EQ(e.m_dwEventFlag[0], 0u) << c.line;
        EXPECT_TRUE(e.m_pAutoSkip[0].IsEmpty()) << c.line;
        EXPECT_TRUE(dir.Read("sav/sav00.sav.old1") == text) << c.line;
        std::filesystem::remove("sav/sav00.sav.old1");
    }
}

// The temporary files a run killed at start or at exit leaves go at the
// next start, as files: a link under such a name stays, its target too.
TEST_F(GameMainTest, TemporariesAKilledRunLeftGoAtTheNextStart) {
    mkdir("sav", 0755);
    dir.Write("victim", "keep");
    for (const char* left : {"sav/sav00.sav.tmp", "sav/sav00.sav.old1.tmp", "sav/sav00.sav.old99.tmp"})
        dir.Write(left, "cut");
    ASSERT_EQ(0, symlink("../victim", "sav/sav00.sav.old2.tmp"));
    Start();
    EXPECT_EQ(SaveFolder(), (std::set<std::string>{"sav00.sav.old2.tmp"}));
    EXPECT_EQ(dir.Read("victim"), "keep");
}

int FailSync(const std::string&) { return EIO; }

// A run that left its copy but never wrote (a crash) reuses that copy; with
// no copy possible the file is kept as it is, and nothing half-made stays.
TEST_F(GameMainTest, AHiddenSectionWithoutACopyKeepsTheFile) {
    mkdir("sav", 0755);
    std::string text = game::FormatIntegrationData(GAME_GLOBAL_DATA());
    text[text.find("---EVENT_FLG_START---") + 4] = 'X';
    dir.Write("sav/sav00.sav", text);
    dir.Write("sav/sav00.sav.old1", text);
    kutest::DebugCapture cap;
    Start();
    EXPECT_TRUE(cap.Contains("元のファイルを sav/sav00.sav.old1 に残し"));
    EXPECT_FALSE(dir.Exists("sav/sav00.sav.old2"));
    game->Release();
    std::filesystem::remove("sav/sav00.sav.old1");
    dir.Write("sav/sav00.sav", text);
    cap.Clear();
    plat::SetSyncHook(&FailSync);
    Start();
    plat::SetSyncHook(nullptr);
    EXPECT_TRUE(
        cap.Contains("Warn: <GAME_MAIN::LoadIntegrationData> sav/sav00.sav の147行目を読めません。"
                     "読めた分で続け、このファイルは書き換えません\n"));
    game->GetGlobalData()->SetFlag(1, 1, 0, 1, 1);
    game->Release();
    EXPECT_EQ(dir.Read("sav/sav00.sav"), text);
    EXPECT_FALSE(dir.Exists("sav/sav00.sav.old1"));

    // A second name of a file that may not be replaced is no copy of its
    // own: it goes again, and the file is kept as it is.
    const std::string big = text + std::string(700 * 1024, '\n');
    dir.Write("sav/sav00.sav", big);
    cap.Clear();
    plat::SetWriteDenyHook([](const std::string& path) { return path == "sav/sav00.sav"; });
    Start();
    EXPECT_TRUE(cap.Contains("読めた分で続け、このファイルは書き換えません\n"));
    game->Release();
    plat::SetWriteDenyHook(nullptr);
    EXPECT_TRUE(dir.Read("sav/sav00.sav") == big);
    EXPECT_EQ(SaveFolder(), std::set<std::string>{"sav00.sav"});
}

TEST_F(GameMainTest, FailedWriteKeepsTheOldFile) {
    mkdir("sav", 0755);
    dir.Write("sav/sav00.sav", "old");
    mkdir("sav/sav00.sav.tmp", 0755);
    Start();
    kutest::DebugCapture cap;
    EXPECT_EQ(game->SaveIntegrationData(GAME_MAIN::kIntegrationFile), 0);
    EXPECT_TRUE(cap.Contains("Error: <GAME_MAIN::SaveIntegrationData> ファイルオープンに失敗しました\n"));
    EXPECT_EQ(dir.Read("sav/sav00.sav"), "old");
    // The rename over a folder fails: reported, and nothing half-written stays.
    rmdir("sav/sav00.sav.tmp");
    EXPECT_EQ(game->SaveIntegrationData("sav"), 0);
    EXPECT_FALSE(dir.Exists("sav.tmp"));
    EXPECT_EQ(game->SaveIntegrationData(GAME_MAIN::kIntegrationFile), 1);
}

bool DenySave(const std::string& path) { return path == "sav/sav00.sav"; }

// A cross-play file that exists but cannot be read gives a clean start and is
// never written over; the temporary file of a write never goes through a link.
TEST_F(GameMainTest, UnreadableFileIsKeptAndTheWriteFollowsNoLink) {
    mkdir("sav", 0755);
    dir.Write("victim", "keep");
    const std::string flags = "---CHARACTER_FLG_START---\n5\n";
    const std::function<void()> plant[] = {
        [&] {
            dir.Write("sav/sav00.sav", flags);
            chmod("sav/sav00.sav", 0); // root reads through this: the hook stands in
            plat::SetReadDenyHook(&DenySave);
        },
        [] { ASSERT_EQ(0, mkfifo("sav/sav00.sav", 0644)); }, // no writer: must not block
        [] { ASSERT_EQ(0, symlink("/dev/zero", "sav/sav00.sav")); },
    };
    for (size_t i = 0; i < std::size(plant); ++i) {
        plant[i]();
        const std::set<std::string> tree = kutest::TreeOf(dir.path());
        const bool regular = i == 0;
        const std::string before = regular ? dir.Read("sav/sav00.sav") : "";
        kutest::DebugCapture cap;
        Start();
        EXPECT_EQ(game->GetGlobalData()->m_dwCharacterFlag, 0u) << i;
        EXPECT_TRUE(cap.Contains("Warn: <GAME_MAIN::LoadIntegrationData> sav/sav00.sav を読み込めません")) << i;
        game->Release();
        plat::SetReadDenyHook(nullptr);
        EXPECT_EQ(kutest::TreeOf(dir.path()), tree) << i;
        if (regular) {
            EXPECT_EQ(dir.Read("sav/sav00.sav"), before) << i;
        }
        std::filesystem::remove("sav/sav00.sav");
    }
    dir.Write("sav/sav00.sav", flags);
    ASSERT_EQ(0, symlink("../victim", "sav/sav00.sav.tmp"));
    Start();
    EXPECT_EQ(game->GetGlobalData()->m_dwCharacterFlag, 5u);
    game->Release();
    EXPECT_EQ(CountLines(dir.Read("sav/sav00.sav")), 671);
    EXPECT_EQ(dir.Read("victim"), "keep");
}

TEST_F(GameMainTest, FirstFrameBindsSlotsThenLogo) {
    Start();
    EXPECT_EQ(game->GetMode(), 0);
    EXPECT_EQ(Step(16), 1);
    EXPECT_EQ(fakesvc::Calls()[0], "DataSet");
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeLogo);
    EXPECT_NE(game->m_pLogoMode, nullptr);
}

TEST_F(GameMainTest, LogoTimesOutToTheTitle) {
    Start();
    Step(16);
    for (int i = 0; i < 500 && game->GetMode() == GAME_MAIN::kModeLogo; ++i)
        Step(16);
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);
    EXPECT_EQ(game->GetOldMode(), GAME_MAIN::kModeLogo);
    EXPECT_EQ(game->m_pLogoMode, nullptr);
    EXPECT_EQ(game->m_pTitleMode->m_nBGSlot, 7); // 23:00 in June is night
}

TEST_F(GameMainTest, TitleToOptionsAndBack) {
    ToTitleMenu();
    ChooseAt(350, 340); // options
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeConfig);
    EXPECT_EQ(game->GetOldMode(), GAME_MAIN::kModeTitle);
    EXPECT_EQ(game->m_pTitleMode, nullptr);
    for (int i = 0; i < 80; ++i)
        Step(16);
    ASSERT_EQ(game->m_pConfigMode->m_nPhase, 2);
    h.sys.SetMousePos(690, 492); // music volume 10
    Step(16, {{1, 2}});
    Step(16, {{1, kClickUp}});
    EXPECT_EQ(g_dwBGMVolume, 10u);
    ChooseAt(400, 540); // back
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);
    EXPECT_EQ(game->GetOldMode(), GAME_MAIN::kModeConfig);
    EXPECT_EQ(game->m_pConfigMode, nullptr);
    EXPECT_NE(game->m_pTitleMode, nullptr);
}

TEST_F(GameMainTest, QuitWritesSettingsAndReleasesOnce) {
    ToTitleMenu();
    g_bLibraryInit = 1;
    ChooseAt(350, 440); // quit
    EXPECT_EQ(fakesvc::Count("BGM_DS_Stop"), 1);
    EXPECT_EQ(fakesvc::Count("LibraryRelease"), 1);
    EXPECT_EQ(fakesvc::Count("PostQuitMessage 0"), 1);
    EXPECT_EQ(g_bLibraryInit, 0);
    EXPECT_TRUE(dir.Exists("env.env"));
}

// New game plays the scenario the initialisation script names, and its end
// leads back to the logo with the script recorded as read.
TEST_F(GameMainTest, NewGamePlaysTheScenarioToItsEnd) {
    std::string error;
    std::filesystem::create_directories("dat");
    std::filesystem::create_directories("tmp");
    ASSERT_TRUE(WriteArchive("dat/Scenario.dat",
                             {{"Init.spt", "", ScrambleScript("#CREATE_DATA VAR v\r\n#FIRST_EXE_SCR s.spt\r\n")},
                              {"s.spt", "", ScrambleScript("#ChangeVar v 3\r\n#EndScript\r\n")}},
                             false, &error))
        << error;
    ToTitleMenu();
    // The new game binds the controller bar's picture: the renderer needs its slot table.
    static int window;
    ASSERT_EQ(h.sprite.Initialize(&h.sys, reinterpret_cast<plat::WindowHandle>(&window), &window, 800, 600, 32, 0), 1);
    ASSERT_EQ(h.sprite.CreateGraphicDataBuffer(84), 1);
    ChooseAt(350, 280);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeAdventure);
    ASSERT_NE(game->m_pAdvData, nullptr);
    EXPECT_STREQ(game->m_pAdvData->m_szScriptName, "s.spt");
    kutest::DebugCapture log;
    for (int i = 0; i < 200 && game->GetMode() == GAME_MAIN::kModeAdventure; ++i)
        ASSERT_EQ(Step(16), 1);
    // The story's end plays the staff roll when the game has one; this one
    // has none and goes to the logo, with one warning.
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeLogo);
    EXPECT_TRUE(log.Contains("Warn: <GAME_MAIN::GameMainProc> dat/Scenario.dat内にStaffRollModeData.sptがありません。ロゴに進みます\n"))
        << log.all();
    EXPECT_EQ(log.all().find("Error:"), std::string::npos) << log.all();
    EXPECT_EQ(game->m_pAdvData, nullptr);
    EXPECT_STREQ(game->m_GlobalData.m_pAutoSkip[0].m_szFile, "s.spt");
    EXPECT_EQ(game->m_GlobalData.m_pAutoSkip[0].m_nLine, -1);
    h.sprite.Release();
}

TEST_F(GameMainTest, IdleTitleGoesBackToTheLogo) {
    ToTitleMenu();
    for (int i = 0; i < 100 && game->GetMode() == GAME_MAIN::kModeTitle; ++i)
        Step(1000);
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeLogo);
    EXPECT_EQ(game->GetOldMode(), GAME_MAIN::kModeTitle);
    EXPECT_EQ(fakesvc::Count("BGM_DS_Stop"), 1);
}

TEST_F(GameMainTest, UnwiredModesWaitAndMissingObjectsAreFatal) {
    Start();
    game->m_nMode = GAME_MAIN::kModeTest; // no exam object
    EXPECT_EQ(Step(16), 0);
    game->m_nMode = GAME_MAIN::kModeSceneReplay; // neither the gallery nor a scene
    EXPECT_EQ(Step(16), 0);
    game->m_nMode = GAME_MAIN::kModeTitle;
    EXPECT_EQ(Step(16), 0);
}

// The options screen opened over a game: back resumes it, to-title ends it.
TEST_F(GameMainTest, OptionsOverAGame) {
    Start();
    for (int result : {CONFIG_MODE_DATA::kResultBack, CONFIG_MODE_DATA::kResultTitle}) {
        if (!game->m_pAdvData)
            game->m_pAdvData = new ADV_DATA;
        game->m_pConfigMode = new CONFIG_MODE_DATA;
        ASSERT_EQ(game->m_pConfigMode->Initialize(&h.sys, &h.sprite, &h.snd, game->m_pAdvData), 1);
        game->m_nMode = GAME_MAIN::kModeConfig;
        game->m_nOldMode = GAME_MAIN::kModeAdventure;
        game->m_pConfigMode->m_nPhase = result == CONFIG_MODE_DATA::kResultBack ? 8 : 7;
        game->m_pConfigMode->m_dwPhaseStart = h.Now();
        ASSERT_EQ(Step(1000), 1);
        EXPECT_EQ(game->m_pConfigMode, nullptr);
        if (result == CONFIG_MODE_DATA::kResultBack) {
            EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeAdventure);
            EXPECT_EQ(game->GetOldMode(), GAME_MAIN::kModeConfig);
            ASSERT_NE(game->m_pAdvData, nullptr);
            EXPECT_EQ(game->m_pAdvData->m_nPhase, 2);
        } else {
            EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeTitle);
            EXPECT_EQ(game->m_pAdvData, nullptr);
            EXPECT_NE(game->m_pTitleMode, nullptr);
            EXPECT_EQ(fakesvc::Count("BGM_DS_Stop"), 1);
        }
    }
}

} // namespace

namespace {

// The exam over a game: a start that fails on a picture (a full disk) is
// told in a box and the story waits where it was until a click tries again;
// the options trip comes back to the exam at its fade-in, also when the
// options cannot start; its end hands the game back without asking again.
TEST_F(GameMainTest, ExamOverAGame) {
    int token = 0;
    ASSERT_EQ(h.sprite.Initialize(&h.sys, reinterpret_cast<plat::WindowHandle>(&token), &token, 800, 600, 32, 0), 1);
    ASSERT_EQ(h.sprite.CreateGraphicDataBuffer(84), 1);
    ASSERT_EQ(h.sprite.CreateTextureTextBuffer(71), 1);
    Start();
    std::string list = "// questions\r\n";
    for (int n = 1; n <= 15; ++n)
        list += "MT0" + std::string(n < 10 ? "00" : "0") + std::to_string(n) + " q.bmp 1\r\n";
    std::filesystem::create_directories("dat");
    std::filesystem::create_directories("tmp");
    std::string error;
    ASSERT_TRUE(WriteArchive(
        "dat/Scenario.dat",
        {{"question.spt", "", ScrambleScript(list)}, {"after.spt", "", ScrambleScript("// after\r\n#EndScript\r\n")}},
        false, &error))
        << error;
    game->m_pAdvData = new ADV_DATA;
    ADV_DATA& adv = *game->m_pAdvData;
    adv.m_bInit = 1;
    adv.m_pKUSys = &h.sys;
    adv.m_pKUSprite = &h.sprite;
    adv.m_pKUSnd = &h.snd;
    adv.m_nTestSubject = 2;
    snprintf(adv.m_szTestNextScript, sizeof(adv.m_szTestNextScript), "after.spt");
    auto askForExam = [&](int test) {
        adv.m_nTestNum = test;
        adv.m_nPhase = 1;
        adv.m_dwPhaseStart = h.Now() - 1000;
        game->m_nMode = GAME_MAIN::kModeAdventure;
    };
    kutest::DebugCapture cap;
    plat::ClearDialogAnswers();
    const int boxes = plat::DialogRunCount();
    // The window fails before the questions are drawn, the material after.
    for (int slot : {TEST_MODE_DATA::kSlotWindow, TEST_MODE_DATA::kSlotMaterial}) {
        fakesvc::g_failGraphicSlot = slot;
        if (slot == TEST_MODE_DATA::kSlotWindow) {
            askForExam(0);
            // A minute spent reading the box is no game time.
            plat::QueueDialogAnswer({}, [&] { h.clock_.clock.Advance(60000); });
            const uint32_t before = h.Now();
            EXPECT_EQ(Step(16), 1);
            h.sys.UpdateTime();
            EXPECT_EQ(h.Now() - before, 16u);
            EXPECT_NE(plat::LastDialogTexts().find("メッセージウィンドウの初期化に失敗しました"), std::string::npos);
        } else {
            EXPECT_EQ(Step(16, {{1, kClickUp}}), 1); // tries again after the fade-out
            EXPECT_EQ(Step(1000), 1);
        }
        EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeAdventure);
        EXPECT_EQ(game->m_pTestMode, nullptr);
        EXPECT_EQ(adv.m_nTestMask[2], 0); // no question spent
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Step(16), 1); // waits uncovered, asks nothing
        EXPECT_EQ(adv.m_fFade, 0.0f);
    }
    EXPECT_EQ(plat::DialogRunCount(), boxes + 2);
    EXPECT_TRUE(cap.Contains("TEST_MODE_DATAクラスの初期化に失敗しました"));
    fakesvc::g_failGraphicSlot = -1;
    Step(16, {{1, kClickUp}});
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeAdventure);
    ASSERT_EQ(Step(1000), 1);
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeTest);
    ASSERT_NE(game->m_pTestMode, nullptr);
    for (int slot : {CONFIG_MODE_DATA::kSlotBG, -1}) {
        fakesvc::g_failGraphicSlot = slot;
        game->m_pTestMode->m_nPhase = 9;
        game->m_pTestMode->m_dwPhaseStart = h.Now();
        ASSERT_EQ(Step(1000), 1);
        if (slot != -1) {
            EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeTest);
            EXPECT_EQ(game->m_pTestMode->m_nPhase, 10);
            EXPECT_EQ(plat::DialogRunCount(), boxes + 3);
        }
    }
    ASSERT_EQ(game->GetMode(), GAME_MAIN::kModeConfig);
    game->m_pConfigMode->m_nPhase = 8;
    game->m_pConfigMode->m_dwPhaseStart = h.Now();
    fakesvc::Calls().clear();
    ASSERT_EQ(Step(1000), 1);
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeTest);
    EXPECT_EQ(game->m_pTestMode->m_nPhase, 10);
    EXPECT_EQ(fakesvc::Count("GraphicLoad 11"), 1);

    game->m_pTestMode->m_nPhase = 13;
    game->m_pTestMode->m_dwPhaseStart = h.Now();
    ASSERT_EQ(Step(1000), 1) << cap.all();
    EXPECT_EQ(game->GetMode(), GAME_MAIN::kModeAdventure);
    EXPECT_EQ(game->m_pTestMode, nullptr);
    EXPECT_EQ(adv.m_nTestNum, -1);
    EXPECT_EQ(adv.m_nPhase, 2);
    EXPECT_NE(adv.m_pScriptFile, nullptr);
    game.reset();
    h.sprite.Release();
}

} // namespace
