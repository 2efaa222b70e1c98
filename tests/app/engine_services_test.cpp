#include "game/engine_services.h"

#include <gtest/gtest.h>

#include <string>

#include "app/env_settings.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "platform/window.h"
#include "sound/kusnd.h"
#include "tests/support/test_env.h"
#include "tools/archive_writer.h"

namespace {

intptr_t NullProc(plat::WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

// A short 8 kHz mono 16-bit PCM WAV.
std::string Wav(int samples) {
    std::string s;
    auto put = [&s](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            s += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    uint32_t data = static_cast<uint32_t>(samples) * 2;
    s += "RIFF";
    put(36 + data, 4);
    s += "WAVEfmt ";
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(8000, 4);
    put(16000, 4);
    put(2, 2);
    put(16, 2);
    s += "data";
    put(data, 4);
    for (int i = 0; i < samples; ++i)
        put(static_cast<uint32_t>((i % 40) * 400), 2);
    return s;
}

int Count(const std::string& haystack, const std::string& needle) {
    int n = 0;
    for (size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1))
        ++n;
    return n;
}

TEST(VolumeTableTest, StepsMapToHundredthsOfADecibel) {
    const int da[] = {-9600, -3000, -2000, -1500, -1250, -1000, -800, -600, -400, -200, 0};
    for (unsigned step = 0; step <= 10; ++step) {
        EXPECT_EQ(VolumeStepToDirectMusic(step), da[step]) << step;
        EXPECT_EQ(VolumeStepToDirectShow(step), step == 0 ? -10000 : da[step]) << step;
    }
    EXPECT_EQ(VolumeStepToDirectMusic(11), -9600);
    EXPECT_EQ(VolumeStepToDirectShow(11), -10000);
    EXPECT_EQ(VolumeStepToDirectShow(static_cast<unsigned>(-1)), -10000);
}

TEST(EngineServicesTest, WithoutSoundDeviceEverySoundCallSucceedsSilently) {
    g_bSoundEnable = 0;
    kutest::DebugCapture capture;
    EXPECT_EQ(SELoad(nullptr, nullptr, -5, "x.wav"), 1);
    EXPECT_EQ(SEUnload(nullptr, nullptr, 3), 1);
    EXPECT_EQ(SESetVolume(nullptr, nullptr, 5), 1);
    EXPECT_EQ(SEPlay(nullptr, nullptr, 3, 0), 1);
    EXPECT_EQ(SEStop(nullptr, nullptr, -1), 1);
    EXPECT_EQ(VoiceSetVolume(nullptr, nullptr, 5), 1);
    EXPECT_EQ(VoicePlay(nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(VoiceStop(nullptr, nullptr), 1);
    EXPECT_EQ(BGM_DA_Load(nullptr, nullptr, nullptr, 0), 1);
    EXPECT_EQ(BGM_DA_Unload(nullptr, nullptr), 1);
    EXPECT_EQ(BGM_DA_SetVolume(nullptr, nullptr, 5), 1);
    EXPECT_EQ(BGM_DA_Play(nullptr, nullptr, 1, "a.mid", 0), 1);
    EXPECT_EQ(BGM_DA_Stop(nullptr, nullptr), 1);
    EXPECT_EQ(BGM_DS_Play(nullptr, nullptr, 1, nullptr), 1);
    EXPECT_EQ(BGM_DS_Stop(nullptr, nullptr), 1);
    EXPECT_EQ(BGM_DS_SetVolume(nullptr, nullptr, 5), 1);
    EXPECT_TRUE(capture.lines().empty());
    // The movie functions still check their arguments.
    EXPECT_EQ(MoviePlay(nullptr, nullptr, nullptr, nullptr, "m.mpg", 0), 0);
    EXPECT_EQ(MovieStop(nullptr, nullptr), 0);
    EXPECT_TRUE(capture.Contains("Error: <MoviePlay> 引数が不正です\n"));
    EXPECT_TRUE(capture.Contains("Error: <MovieStop> 引数が不正です\n"));
    g_bSoundEnable = 1;
}

TEST(EngineServicesTest, MissingObjectsAreRefusedWithTheirLines) {
    g_bSoundEnable = 1;
    kutest::TempDir dir;
    kutest::DebugCapture capture;
    KUSYSTEM sys;
    EXPECT_EQ(SELoad(nullptr, nullptr, 3, nullptr), 0);
    EXPECT_TRUE(capture.Contains("Error: <SELoad> システムライブラリポインタが確保されていません\n"));
    EXPECT_EQ(SEPlay(nullptr, &sys, 3, 0), 0);
    EXPECT_NE(capture.all().find("Error: <SEPlay> サウンドライブラリポインタが確保されていません\n"),
              std::string::npos);
    EXPECT_EQ(GraphicLoad(nullptr, nullptr, 0), 0);
    EXPECT_TRUE(capture.Contains("Error: <GraphicLoad> システムライブラリポインタが不正です\n"));
    EXPECT_EQ(VoicePlay(nullptr, &sys, "v.mp3"), 0);
    EXPECT_NE(capture.all().find("Error: <VoicePlay> 引数が不正です\n"), std::string::npos);
}

// The renderer and sound system started for real on the headless drivers.
class StartedEnginesTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_bSoundEnable = 1;
        plat::WindowParams p;
        p.proc = &NullProc;
        win = plat::CreateMainWindow(p);
        ASSERT_NE(win, nullptr);
        sys.Initialize(win, 1);
        ASSERT_EQ(sprite.Initialize(&sys, win, &token, 800, 600, 32, 0), 1);
        ASSERT_GE(snd.Initialize(&sys, win, &token, 0), 0);
        ASSERT_EQ(snd.DADATAReserve(67), 1);
    }
    void TearDown() override {
        snd.Release();
        sprite.Release();
        plat::DestroyMainWindow(win);
    }
    kutest::TempDir dir;
    plat::WindowHandle win = nullptr;
    char token = 0;
    KUSYSTEM sys;
    KUSPRITE2 sprite;
    KUSND snd;
};

TEST_F(StartedEnginesTest, NegativeSoundSlotsAreRefusedBeforeTheSoundSystem) {
    kutest::DebugCapture capture;
    EXPECT_EQ(SELoad(&snd, &sys, -1, "se01.wav"), 0);
    EXPECT_EQ(SELoad(&snd, &sys, -100000, nullptr), 0);
    EXPECT_EQ(SEUnload(&snd, &sys, -2), 0);
    EXPECT_EQ(SEPlay(&snd, &sys, -3, 0), 0);
    EXPECT_EQ(SEStop(&snd, &sys, -2), 0);
    EXPECT_EQ(Count(capture.all(), "サウンドスロット番号が不正です"), 5);
    // At or above the table: nothing to do, success.
    EXPECT_EQ(SELoad(&snd, &sys, 67, "se01.wav"), 1);
    EXPECT_EQ(SEUnload(&snd, &sys, 500), 1);
    // -1 stops every effect.
    EXPECT_EQ(SEStop(&snd, &sys, -1), 1);
}

TEST_F(StartedEnginesTest, GraphicLoadRetriesAHundredTimesThenGivesUp) {
    std::string err;
    dir.Write("dat/.keep", "");
    // A member that is no picture: the extraction works, the load does not.
    ASSERT_TRUE(WriteArchive("dat/Img.dat", {{"broken.bmp", "", "not a picture"}}, false, &err)) << err;
    ASSERT_EQ(sprite.CreateGraphicDataBuffer(84), 1);
    ASSERT_EQ(sprite.SetGraphicData(26, "tmp/", "broken.bmp", 4, 1), 1);
    ASSERT_EQ(sprite.SetGraphicData(0, "tmp/", "fade.bmp", 4, 1), 1);
    kutest::DebugCapture capture;
    EXPECT_EQ(GraphicLoad(&sprite, &sys, 26), 0);
    std::string all = capture.all();
    EXPECT_EQ(Count(all, "Error: <GraphicLoad> グラフィックデータのロードに失敗しました\n"), 101);
    EXPECT_EQ(Count(all, "回目の再試行を行います\n"), 100);
    EXPECT_NE(all.find("Message: <GraphicLoad> 100回目の再試行を行います\n"), std::string::npos);
    EXPECT_EQ(Count(all, "アンロードに成功しました\n"), 100);
    EXPECT_EQ(Count(all, "Error: <GraphicLoad> ロード再試行カウントオーバーです\n"), 1);
    // The failure touched no other slot.
    EXPECT_STREQ(sprite.GetGraphicDataFileName(0), "fade.bmp");
    EXPECT_EQ(GraphicUnload(&sprite, &sys, 26), 1);
}

// A load that cannot succeed however often it is tried fails at once; a slot
// without a file name never unpacks the whole archive.
TEST_F(StartedEnginesTest, GraphicLoadGivesUpAtOnceWhenNoTryCanMendIt) {
    std::string err;
    dir.Write("dat/.keep", "");
    ASSERT_TRUE(WriteArchive("dat/Img.dat", {{"a.bmp", "", "x"}, {"b.bmp", "", "y"}}, false, &err)) << err;
    ASSERT_EQ(sprite.CreateGraphicDataBuffer(84), 1);
    ASSERT_EQ(sprite.SetGraphicData(26, "tmp/", nullptr, 4, 1), 1);
    ASSERT_EQ(sprite.SetGraphicData(27, "tmp/", "missing.bmp", 4, 1), 1);
    ASSERT_EQ(sprite.SetGraphicData(28, "tmp/", "missing.bmp", 1, 1), 1);
    for (int slot : {26, 27, 28}) {
        kutest::DebugCapture capture;
        EXPECT_EQ(GraphicLoad(&sprite, &sys, slot), 0) << slot;
        const std::string all = capture.all();
        EXPECT_EQ(Count(all, "Error: <GraphicLoad> グラフィックデータのロードに失敗しました\n"), 1) << slot;
        EXPECT_EQ(Count(all, "再試行"), 0) << slot;
        if (slot == 26) {
            EXPECT_EQ(Count(all, "Error: <KUGRAPHIC2::GetGraphicDataInfo> "
                                 "ファイル名を指定せずにサーフェス及びテクスチャの作成は出来ません\n"),
                      1);
        } else {
            EXPECT_EQ(Count(all, "dat/Img.dat内にmissing.bmpが見つかりません"), 1) << slot;
        }
    }
    EXPECT_FALSE(dir.Exists("tmp/a.bmp"));
    EXPECT_FALSE(dir.Exists("tmp/b.bmp"));
}

// The music slot is loaded again only for another file: with the archive
// gone, the same file still plays and another one cannot load.
TEST_F(StartedEnginesTest, MusicReloadsOnlyForAnotherFile) {
    std::string err;
    dir.Write("dat/.keep", "");
    ASSERT_TRUE(WriteArchive("dat/BGM.dat", {{"a.wav", "", Wav(800)}, {"b.wav", "", Wav(800)}}, false, &err)) << err;
    ASSERT_EQ(BGM_DA_Play(&snd, &sys, 1, "a.wav", 0), 1);
    EXPECT_NE(snd.DAGetLoadState(1), 0);
    ASSERT_EQ(remove("dat/BGM.dat"), 0);
    kutest::DebugCapture capture;
    EXPECT_EQ(BGM_DA_Play(&snd, &sys, 1, "a.wav", 0), 1);
    EXPECT_EQ(capture.all(), "");
    EXPECT_EQ(BGM_DA_Play(&snd, &sys, 1, "b.wav", 0), 0);
    EXPECT_TRUE(capture.Contains("Error: <BGM_DA_Load> サウンドのロードに失敗しました\n"));
    EXPECT_TRUE(capture.Contains("Error: <BGM_DA_Play> BGM再生に失敗しました\n"));
}

} // namespace
