// Damaged settings files: "env.env" and "cursor.txt" read from thousands of
// seeded mutations of good files. The readers must return their documented
// results, leave the settings inside their value sets and write nothing but
// the cursor file's default.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/cursor_type.h"
#include "app/env_settings.h"
#include "engine/kusystem.h"
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
    // The tail of an over-long line is still no line of its own, even when
    // it starts with the LF of a pair.
    std::string tail = "//" + std::string(1021, 'c') + "\n" + bgm;
    dir.Write("env.env", tail);
    ASSERT_EQ(LoadEnvData("env.env"), 1);
    EXPECT_EQ(g_dwBGMVolume, 5u);
}

TEST_F(SettingsFuzzTest, FoldersInPlaceOfTheFilesAreReadErrors) {
    dir.Write("env.env/x", "");
    dir.Write("cursor.txt/x", "");
    kutest::DebugCapture log;
    g_dwScreenBpp = 32;
    EXPECT_EQ(LoadEnvData("env.env"), -1);
    EXPECT_EQ(g_dwScreenBpp, 16u);
    EXPECT_TRUE(log.Contains("Error: <LoadEnvData> CodeFileReadOneLineでエラーが発生しました\n"));
    EXPECT_EQ(LoadCursorType("cursor.txt"), 0);
    EXPECT_TRUE(dir.Exists("cursor.txt/x"));
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
