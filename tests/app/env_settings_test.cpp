#include "app/env_settings.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "engine/kusystem.h"
#include "platform/window_metrics.h"
#include "tests/app/app_test_util.h"
#include "tests/support/test_env.h"
#include "platform/files_test_hooks.h"

namespace {

using apptest::GoldenEnv;

class EnvSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvDefaults();
        g_bMaleVoice = 1;
        g_bDebugInfo = 0;
    }
    void TearDown() override {
        SetEnvDefaults();
        g_bMaleVoice = 1;
        g_bDebugInfo = 0;
    }
    int LoadText(const std::string& bytes) {
        dir.Write("env.env", bytes);
        return LoadEnvData("env.env");
    }
    kutest::TempDir dir;
};

TEST_F(EnvSettingsTest, DefaultsSaveToGoldenBytesAndReadBack) {
    ASSERT_EQ(SaveEnvData("env.env"), 1);
    EXPECT_EQ(dir.Read("env.env"), GoldenEnv(false));
    EXPECT_FALSE(dir.Exists("env.env.tmp"));

    g_dwSEVolume = 9;
    g_dwScreenBpp = 32;
    EXPECT_EQ(LoadEnvData("env.env"), 1);
    EXPECT_EQ(g_dwSEVolume, 5u);
    EXPECT_EQ(g_dwScreenBpp, 16u);
    EXPECT_EQ(g_dwAntiAliasLevel, 4u);
}

TEST_F(EnvSettingsTest, EveryValueRoundTrips) {
    g_bSoundWarning = 0;
    g_bFullScreen = 1;
    g_dwScreenBpp = 24;
    g_dwMessageSpeed = 33;
    g_dwAntiAliasLevel = 2;
    g_dwAutoSkipSpeed = 1;
    g_dwSEVolume = 10;
    g_dwVoiceVolume = 0;
    g_dwBGMVolume = 7;
    g_bMaleVoice = 0;
    ASSERT_EQ(SaveEnvData("env.env"), 1);
    SetEnvDefaults();
    g_bMaleVoice = 1;
    ASSERT_EQ(LoadEnvData("env.env"), 1);
    EXPECT_EQ(g_bSoundWarning, 0);
    EXPECT_EQ(g_bFullScreen, 1);
    EXPECT_EQ(g_dwWindowStyle, plat::kStyleFullScreen);
    EXPECT_EQ(g_dwScreenBpp, 24u);
    EXPECT_EQ(g_dwMessageSpeed, 33u);
    EXPECT_EQ(g_dwAntiAliasLevel, 2u);
    EXPECT_EQ(g_dwAutoSkipSpeed, 1u);
    EXPECT_EQ(g_dwSEVolume, 10u);
    EXPECT_EQ(g_dwVoiceVolume, 0u);
    EXPECT_EQ(g_dwBGMVolume, 7u);
    EXPECT_EQ(g_bMaleVoice, 0);
}

TEST_F(EnvSettingsTest, DebugLineOnlyWhileOnAndAbsenceDoesNotClear) {
    g_bDebugInfo = 1;
    ASSERT_EQ(SaveEnvData("env.env"), 1);
    EXPECT_EQ(dir.Read("env.env"), GoldenEnv(true));
    dir.Write("env.env", GoldenEnv(false));
    EXPECT_EQ(LoadEnvData("env.env"), 1);
    EXPECT_EQ(g_bDebugInfo, 1);
}

TEST_F(EnvSettingsTest, SingleLinesAndTheirValueRules) {
    g_dwSEVolume = 1;
    EXPECT_EQ(LoadText(std::string("スクリーンモード: Full\r\n")), 1);
    EXPECT_EQ(g_bFullScreen, 1);
    EXPECT_EQ(g_dwWindowStyle, plat::kStyleFullScreen);
    EXPECT_EQ(g_dwSEVolume, 5u); // everything else back at its default

    LoadText(std::string("画面カラー: 8bit\r\n"));
    EXPECT_EQ(g_dwScreenBpp, 16u);
    LoadText(std::string("アンリエイリアスレベル: レベル3\r\n"));
    EXPECT_EQ(g_dwAntiAliasLevel, 4u);
    LoadText("SE Volume: 7\r\n");
    EXPECT_EQ(g_dwSEVolume, 7u);
    LoadText("SE Volume:7\r\n");
    EXPECT_EQ(g_dwSEVolume, 5u);
    LoadText("Voice Volume: abc\r\n");
    EXPECT_EQ(g_dwVoiceVolume, 0u);
    LoadText("se volume: 3\r\n");
    EXPECT_EQ(g_dwSEVolume, 3u);
    LoadText(std::string("サウンド警告: off\r\n")); // values compare exactly
    EXPECT_EQ(g_bSoundWarning, 1);
    LoadText(std::string("男性ボイス: OFF\r\n"));
    EXPECT_EQ(g_bMaleVoice, 0);
}

TEST_F(EnvSettingsTest, KeyCaseFoldNeverTouchesTrailBytes) {
    // "フ" is 83 74, "サ" 83 54: they differ only where an ASCII fold would look.
    std::string key = std::string("サウンド警告:");
    std::string lookalike = key;
    ASSERT_EQ(static_cast<unsigned char>(lookalike[1]), 0x54);
    lookalike[1] = 0x74;
    LoadText(lookalike + " OFF\r\n");
    EXPECT_EQ(g_bSoundWarning, 1);
    LoadText(key + " OFF\r\n");
    EXPECT_EQ(g_bSoundWarning, 0);
}

TEST_F(EnvSettingsTest, BadFilesKeepDefaults) {
    EXPECT_EQ(LoadEnvData("missing.env"), 0);
    EXPECT_EQ(LoadEnvData(nullptr), 0);

    EXPECT_EQ(LoadText(""), 1);
    EXPECT_EQ(g_dwMessageSpeed, 100u);

    // Lines ended by LF alone (what editors here write) read like CR LF ones.
    EXPECT_EQ(LoadText("SE Volume: 9\nBGM Volume: 8\r\n//x\n\nVoice Volume: 7\n"), 1);
    EXPECT_EQ(g_dwSEVolume, 9u);
    EXPECT_EQ(g_dwBGMVolume, 8u);
    EXPECT_EQ(g_dwVoiceVolume, 7u);
    ASSERT_EQ(SaveEnvData("env.env"), 1);
    EXPECT_EQ(dir.Read("env.env").find('\n'), dir.Read("env.env").find("\r\n") + 1); // written CR LF

    // Truncated: the last line lacks its CR LF and is dropped.
    EXPECT_EQ(LoadText("SE Volume: 9\r\nBGM Volume: 9"), 1);
    EXPECT_EQ(g_dwSEVolume, 9u);
    EXPECT_EQ(g_dwBGMVolume, 5u);

    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 37 + 11) & 0xFF);
    EXPECT_EQ(LoadText(binary + "\r\n"), 1);

    EXPECT_EQ(LoadText("Unknown: 1\r\nBGM Volume: 123456\r\n"), 1);
    EXPECT_EQ(g_dwBGMVolume, 123456u);
}

TEST_F(EnvSettingsTest, OverLongLinesAreCutAndTheirRestIgnored) {
    // 3000 bytes of one word: the reader splits it into pieces; none may be
    // taken for a key, nor may the split read past its buffer.
    std::string longLine = "SE" + std::string(1021, ' ') + "Volume: 8" + std::string(2000, 'x') + "\r\n";
    EXPECT_EQ(LoadText(longLine + "BGM Volume: 2\r\n"), 1);
    EXPECT_EQ(g_dwSEVolume, 5u);
    EXPECT_EQ(g_dwBGMVolume, 2u);

    std::string hugeWord(3000, 'A');
    EXPECT_EQ(LoadText(hugeWord + "\r\nVoice Volume: 4\r\n"), 1);
    EXPECT_EQ(g_dwVoiceVolume, 4u);
}

TEST_F(EnvSettingsTest, UnwritableTargetReportsFailureAndLeavesOldFile) {
    EXPECT_EQ(SaveEnvData(nullptr), 0);
    EXPECT_EQ(SaveEnvData("no/such/folder/env.env"), 0);
    dir.Write("env.env", "old");
    dir.Write("env.env.tmp/blocker", "x"); // the temporary name is taken by a folder
    EXPECT_EQ(SaveEnvData("env.env"), 0);
    EXPECT_EQ(dir.Read("env.env"), "old");
    // Settings the player made read-only stay as they are.
    std::filesystem::remove_all("env.env.tmp");
    chmod("env.env", 0444);
    plat::SetWriteDenyHook([](const std::string& path) { return path == "env.env"; }); // root writes through the bits
    EXPECT_EQ(SaveEnvData("env.env"), 0);
    plat::SetWriteDenyHook(nullptr);
    EXPECT_EQ(dir.Read("env.env"), "old");
}

} // namespace
