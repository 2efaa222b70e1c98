// Damaged settings files: "env.env" and "cursor.txt" read from thousands of
// seeded mutations of good files. The readers must return their documented
// results, leave the settings inside their value sets and write nothing but
// the cursor file's default.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <iterator>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <string>

#include "app/cursor_type.h"
#include "app/env_settings.h"
#include "engine/kusystem.h"
#include "platform/files_test_hooks.h"
#include "platform/window_metrics.h"
#include "tests/support/fuzz_mutator.h"
#include "tests/support/test_env.h"

namespace {

class SettingsFuzzTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetEnvDefaults();
        g_bMaleVoice = 1;
        g_bDebugInfo = 0;
    }
    kutest::TempDir dir;
};

TEST_F(SettingsFuzzTest, DamagedEnvFilesReadWithinTheValueSets) {
    // A sample with every key, the debug line and non-default values.
    g_bSoundWarning = 0;
    g_bFullScreen = 1;
    g_dwScreenBpp = 32;
    g_dwMessageSpeed = 40;
    g_dwAntiAliasLevel = 1;
    g_dwAutoSkipSpeed = 120;
    g_dwSEVolume = 7;
    g_dwVoiceVolume = 3;
    g_dwBGMVolume = 10;
    g_bMaleVoice = 0;
    g_bDebugInfo = 1;
    ASSERT_EQ(SaveEnvData("env.env"), 1);
    const std::string sample = dir.Read("env.env");
    const std::set<std::string> tree = kutest::TreeOf(dir.path());

    kutest::DebugCapture capture;
    for (uint64_t seed = 0; seed < 3000; ++seed) {
        dir.Write("env.env", kutest::Mutate(sample, seed));
        ASSERT_EQ(LoadEnvData("env.env"), 1) << "seed " << seed;
        ASSERT_TRUE(g_dwScreenBpp == 16 || g_dwScreenBpp == 24 || g_dwScreenBpp == 32) << "seed " << seed;
        ASSERT_TRUE(g_dwAntiAliasLevel <= 2 || g_dwAntiAliasLevel == 4) << "seed " << seed;
        ASSERT_EQ(g_dwWindowStyle, g_bFullScreen ? plat::kStyleFullScreen : plat::kStyleWindowAtStart)
            << "seed " << seed;
        ASSERT_TRUE(g_bSoundWarning == 0 || g_bSoundWarning == 1);
        ASSERT_TRUE(g_bMaleVoice == 0 || g_bMaleVoice == 1);
        ASSERT_TRUE(g_bDebugInfo == 0 || g_bDebugInfo == 1);
    }
    // Reading never writes, and a read that succeeds logs nothing.
    EXPECT_EQ(kutest::TreeOf(dir.path()), tree);
    EXPECT_TRUE(capture.lines().empty()) << capture.all();
}

TEST_F(SettingsFuzzTest, EnvLinesOfEveryLengthAroundTheBuffer) {
    // A key line pushed across the 1024-byte piece boundary by a long comment
    // or long blanks must neither overflow nor turn its tail into a setting.
    for (size_t pad : {1000u, 1011u, 1012u, 1013u, 1020u, 1021u, 1022u, 1023u, 1024u, 2047u, 2048u, 5000u}) {
        std::string text = "//" + std::string(pad, 'x') + "画面カラー: 32bit\r\n";
        text += std::string(pad, ' ') + "SE Volume: 9\r\n";
        text += "BGM Volume: 2\r\n";
        dir.Write("env.env", text);
        ASSERT_EQ(LoadEnvData("env.env"), 1);
        EXPECT_EQ(g_dwScreenBpp, 16u) << pad; // only a comment's tail
        EXPECT_EQ(g_dwBGMVolume, 2u) << pad;
    }
}

TEST_F(SettingsFuzzTest, ADamagedLineCostsNoOtherLine) {
    // A NUL inside a line, and an over-long line whose CR LF falls across
    // the 1023-byte piece boundary, must not swallow the line after them.
    const std::string bgm = "BGM Volume: 2\r\n";
    std::string nul = std::string("SE Volume: 9\0junk\r\n", 19) + bgm;
    dir.Write("env.env", nul);
    ASSERT_EQ(LoadEnvData("env.env"), 1);
    EXPECT_EQ(g_dwSEVolume, 9u);
    EXPECT_EQ(g_dwBGMVolume, 2u);
    for (size_t len : {1021u, 1022u, 1023u, 2045u, 2046u}) {
        std::string longLine = "//" + std::string(len - 2, 'c') + "\r\n";
        dir.Write("env.env", longLine + bgm + "SE Volume: 1\r\n");
        ASSERT_EQ(LoadEnvData("env.env"), 1);
        EXPECT_EQ(g_dwBGMVolume, 2u) << len;
        EXPECT_EQ(g_dwSEVolume, 1u) << len;
    }
    // An LF right after a full piece ends the over-long line: the next line
    // is read, and the tail of a longer one is still no line of its own.
    std::string tail = "//" + std::string(1021, 'c') + "\n" + bgm;
    dir.Write("env.env", tail);
    ASSERT_EQ(LoadEnvData("env.env"), 1);
    EXPECT_EQ(g_dwBGMVolume, 2u);
    dir.Write("env.env", "//" + std::string(1021, 'c') + "BGM Volume: 3\n" + "SE Volume: 4\n");
    ASSERT_EQ(LoadEnvData("env.env"), 1);
    EXPECT_EQ(g_dwBGMVolume, 5u);
    EXPECT_EQ(g_dwSEVolume, 4u);
}

bool DenySettings(const std::string& path) { return path == "env.env" || path == "cursor.txt"; }

// A settings or cursor file that exists but cannot be read (no permission, a
// folder, a FIFO, a device, too large) gives the defaults at once, is named
// in the log and is never written over.
TEST_F(SettingsFuzzTest, UnreadableFilesGiveDefaultsAndAreKept) {
    const std::function<void(const char*)> plant[] = {
        [&](const char* name) {
            dir.Write(name, "mine");
            chmod(name, 0); // root reads through this: the hook stands in
            plat::SetReadDenyHook(&DenySettings);
        },
        [&](const char* name) { dir.Write(std::string(name) + "/x", ""); },
        [](const char* name) { ASSERT_EQ(0, mkfifo(name, 0644)); }, // no writer: must not block
        [](const char* name) { ASSERT_EQ(0, symlink("/dev/zero", name)); },
        [&](const char* name) { dir.Write(name, std::string((1 << 20) + 1, '\n')); },
    };
    for (size_t i = 0; i < std::size(plant); ++i) {
        for (const char* name : {"env.env", "cursor.txt"})
            plant[i](name);
        const std::set<std::string> tree = kutest::TreeOf(dir.path());
        const bool regular = i == 0 || i == 4;
        const std::string before = regular ? dir.Read("env.env") : "";
        kutest::DebugCapture log;
        g_dwScreenBpp = 32;
        EXPECT_EQ(LoadEnvData("env.env"), 0) << i;
        EXPECT_EQ(g_dwScreenBpp, 16u);
        EXPECT_TRUE(log.Contains("Warn: <LoadEnvData> env.env を読み込めません")) << i;
        EXPECT_EQ(SaveEnvData("env.env"), 0) << i;
        if (i != 4) { // the cursor reader reads four lines, whatever the size
            EXPECT_EQ(LoadCursorType("cursor.txt"), 0) << i;
        }
        EXPECT_EQ(kutest::TreeOf(dir.path()), tree) << i;
        if (regular) {
            EXPECT_EQ(dir.Read("env.env"), before) << i;
        }
        plat::SetReadDenyHook(nullptr);
        for (const char* name : {"env.env", "cursor.txt"})
            std::filesystem::remove_all(name);
    }
    // Once missing, both are written again.
    EXPECT_EQ(LoadEnvData("env.env"), 0);
    EXPECT_EQ(SaveEnvData("env.env"), 1);
}

TEST_F(SettingsFuzzTest, DamagedCursorFilesGiveAChoiceOrTheRewrittenDefault) {
    const std::string sample =
        "****** マウスカーソルの変更が可能です。 ******\r\n"
        "****** 半角で入力して下さい。           ******\r\n"
        "****** (0=通常、1=モノクロ、2=カラー)   ******\r\n"
        "Cursor:\t2\r\n";
    dir.Write("cursor.txt", sample);
    ASSERT_EQ(LoadCursorType("cursor.txt"), 2);
    // The default the reader writes back for a file it cannot use.
    dir.Write("cursor.txt", "");
    ASSERT_EQ(LoadCursorType("cursor.txt"), 0);
    const std::string def = dir.Read("cursor.txt");
    const std::set<std::string> tree = kutest::TreeOf(dir.path());

    int rewritten = 0;
    for (uint64_t seed = 0; seed < 3000; ++seed) {
        const std::string damaged = kutest::Mutate(sample, seed);
        dir.Write("cursor.txt", damaged);
        const int c = LoadCursorType("cursor.txt");
        ASSERT_TRUE(c >= 0 && c <= 2) << "seed " << seed;
        const std::string after = dir.Read("cursor.txt");
        // Either the file was usable and is left alone, or it now holds the default.
        ASSERT_TRUE(after == damaged || (c == 0 && after == def)) << "seed " << seed;
        if (after != damaged)
            ++rewritten;
    }
    EXPECT_GT(rewritten, 0);
    EXPECT_EQ(kutest::TreeOf(dir.path()), tree);
}

} // namespace
