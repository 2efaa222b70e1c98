#include <cmath>
#include <cstring>

#include "tests/sound/sound_fixture.h"

namespace soundtest {
namespace {

class SlotTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_EQ(Start(), 0);
        ASSERT_EQ(snd.DADATAReserve(67), 1);
    }
};

TEST_F(SlotTest, PlayStatesFollowTheSoundAndTheCopyGoesWithTheUnload) {
    ASSERT_EQ(snd.DASetData(3, "beep.wav", 2), 1);
    log.Clear();
    EXPECT_EQ(snd.DAGetPlayState(3), -1);
    EXPECT_TRUE(log.lines().empty()); // a slot never loaded is not an error
    ASSERT_EQ(snd.DALoad(3, nullptr, 3, 0), 0);
    EXPECT_EQ(snd.DAGetLoadState(3), 1);
    EXPECT_TRUE(dir.Exists("tmp/beep.wav"));
    EXPECT_EQ(snd.DAGetPlayState(3), 2);
    ASSERT_EQ(snd.DAPlay(3, 0), 0);
    EXPECT_EQ(snd.DAGetPlayState(3), 0);
    Pump(4409);
    EXPECT_EQ(snd.DAGetPlayState(3), 0);
    Pump(1);
    EXPECT_EQ(snd.DAGetPlayState(3), 1);
    EXPECT_EQ(snd.DAUnload(3), 0);
    EXPECT_FALSE(dir.Exists("tmp/beep.wav"));
    EXPECT_EQ(snd.DAGetLoadState(3), 0);
    char name[260];
    EXPECT_STREQ(snd.DAGetWAVEPath(3, name, sizeof(name)), "beep.wav");
}

TEST_F(SlotTest, BadMembersLeaveTheSlotUnloadedWithTheirLines) {
    EXPECT_EQ(snd.DALoad(4, "beep.wav", 3, 0), -1);
    EXPECT_TRUE(Logged("Error: <KUDADATA::Load> サウンドタイプが不正です\n"));
    EXPECT_EQ(snd.DALoad(4, "none.wav", 2, 0), -1);
    EXPECT_TRUE(Logged("Error: <KUDADATA::Load> dat/SE.dat内にnone.wavが見つかりません\n"));
    EXPECT_TRUE(Logged("Error: <KUSND::DALoad> ロードに失敗しました\n"));
    char name[260];
    EXPECT_STREQ(snd.DAGetWAVEPath(4, name, sizeof(name)), "none.wav");
    EXPECT_EQ(snd.DAGetLoadState(4), 0);
    EXPECT_EQ(snd.DALoad(5, "bad.wav", 2, 0), -1);
    EXPECT_TRUE(Logged("Error: <GetFileInfoAudio> 未定義のファイルフォーマットです\n"));
    EXPECT_TRUE(Logged("Error: <KUDADATA::Load> 指定ファイルが無いか、サポート外ファイルです\n"));
    EXPECT_EQ(snd.DAGetLoadState(5), 0);
    EXPECT_EQ(snd.DALoad(5, "trunc.wav", 2, 0), plat::kSoundFail);
    EXPECT_TRUE(Logged("Error: <KUDADATA::Load> ファイルのロードに失敗しました\n"));
    EXPECT_EQ(snd.DAGetLoadState(5), 0);
    EXPECT_EQ(snd.DAPlay(5, 0), -1);
    // A name that cannot fit "tmp/" + name in 260 bytes is refused, not cut.
    const std::string longName(300, 'a');
    EXPECT_EQ(snd.DALoad(6, longName.c_str(), 2, 0), -1);
    EXPECT_TRUE(Logged("Error: <KUDADATA::Load> ファイルパスが不正です\n"));
    // A type of another archive finds nothing there.
    EXPECT_EQ(snd.DALoad(7, "beep.wav", 0, 0), -1);
    EXPECT_TRUE(Logged("dat/VO.dat内にbeep.wavが見つかりません"));
}

TEST_F(SlotTest, OggSlotsSoundButReportAsTheyAreSpecified) {
    ASSERT_EQ(snd.DALoad(8, "tone.ogg", 2, 1), 0);
    EXPECT_EQ(snd.DAGetLoadState(8), 1);
    EXPECT_EQ(snd.DAPlay(8, 0), 0);
    std::vector<float> out = Pump(22050);
    EXPECT_GT(Rms(out, 0, 22050), 0.05);
    Pump(44100); // well past its end
    EXPECT_EQ(snd.DAGetPlayState(8), 0);
    EXPECT_EQ(snd.DASetSoundVolume(2, -600), 0);
    EXPECT_EQ(snd.DAPlay(8, 1), 0);
    EXPECT_EQ(snd.DAStop(8), 0);
    out = Pump(1000);
    EXPECT_EQ(AudibleEnd(out), 0u);
}

TEST_F(SlotTest, LoopsRepeatUntilStopped) {
    ASSERT_EQ(snd.DALoad(9, "loop.wav", 2, 0), 0);
    ASSERT_EQ(snd.DAPlay(9, 1), 0);
    std::vector<float> out = Pump(3 * 2205 + 1000);
    EXPECT_GT(Rms(out, 3 * 2205, 3 * 2205 + 1000), 0.1);
    EXPECT_EQ(snd.DAGetPlayState(9), 0);
    EXPECT_EQ(snd.DAStop(9), 0);
    out = Pump(1000);
    EXPECT_EQ(AudibleEnd(out), 0u);
    EXPECT_EQ(snd.DAGetPlayState(9), 1);
}

TEST_F(SlotTest, VolumesClampWarnAndMatchTheStepTable) {
    EXPECT_EQ(snd.DASetSoundVolume(2, -10000), 0);
    EXPECT_TRUE(Logged("Warn: <KUSND::DASetSoundVolume> 音量が範囲最小値を超えています。最小値に再設定します\n"));
    EXPECT_EQ(snd.DAGetPathVolume(2), -9600);
    EXPECT_EQ(snd.DASetSoundVolume(2, 50), 0);
    EXPECT_TRUE(Logged("Warn: <KUSND::DASetSoundVolume> 音量が範囲最大値を超えています。最大値に再設定します\n"));
    EXPECT_EQ(snd.DAGetPathVolume(2), 0);
    EXPECT_EQ(snd.DASetSoundVolume(3, -100), -1);
    EXPECT_TRUE(Logged("Error: <KUSND::DASetSoundVolume> サウンドタイプが不正です\n"));
    EXPECT_EQ(snd.DAGetPathVolume(3), 0);
    EXPECT_EQ(snd.DASetMasterVolume(-20000), 0);
    EXPECT_TRUE(
        Logged("Warn: <KUSND::DASetMasterVolume> マスター音量が範囲最小値を超えています。最小値に再設定します\n"));
    EXPECT_EQ(snd.DAGetMasterVolume(), -9600);

    ASSERT_EQ(snd.DALoad(10, "long.wav", 2, 0), 0);
    ASSERT_EQ(snd.DASetSoundVolume(2, 0), 0);
    ASSERT_EQ(snd.DAPlay(10, 0), 0);
    const double ref = Rms(Pump(4410), 0, 4410);
    snd.DAStop(10);
    for (int step = 1; step <= 10; ++step) {
        const int cb = KuSndStepToDAVolume(step);
        ASSERT_EQ(snd.DASetSoundVolume(2, cb), 0);
        ASSERT_EQ(snd.DAPlay(10, 0), 0);
        const double rms = Rms(Pump(4410), 0, 4410);
        snd.DAStop(10);
        EXPECT_NEAR(20.0 * std::log10(rms / ref), cb / 100.0, 0.01) << "step " << step;
    }
    EXPECT_EQ(KuSndStepToDAVolume(0), -9600);
    EXPECT_EQ(KuSndStepToDAVolume(11), -9600);
}

TEST_F(SlotTest, APlayPutsItsOwnVolumeOnTheSharedPath) {
    ASSERT_EQ(snd.DALoad(11, "long.wav", 2, 0), 0);
    ASSERT_EQ(snd.DASetSoundVolume(2, -1000), 0); // slot 11 keeps -1000
    ASSERT_EQ(snd.DALoad(12, "silent.wav", 2, 0), 0); // loaded later: 0
    ASSERT_EQ(snd.DAPlay(11, 0), 0);
    const double quiet = Rms(Pump(4410), 0, 4410);
    ASSERT_EQ(snd.DAPlay(12, 0), 0);
    const double loud = Rms(Pump(4410), 0, 4410);
    EXPECT_NEAR(quiet / loud, std::pow(10.0, -1000 / 2000.0), 0.002);
}

TEST_F(SlotTest, TypeStopLeavesOtherTypesAndReserveRemovesCopies) {
    ASSERT_EQ(snd.DALoad(1, "m.wav", 1, 0), 0);
    ASSERT_EQ(snd.DALoad(13, "long.wav", 2, 0), 0);
    ASSERT_EQ(snd.DAPlay(1, 1), 0);
    ASSERT_EQ(snd.DAPlay(13, 1), 0);
    Pump(100);
    EXPECT_EQ(snd.DASndTypeStop(2), 0);
    EXPECT_EQ(snd.DAGetPlayState(13), 1);
    EXPECT_EQ(snd.DAGetPlayState(1), 0);
    EXPECT_GT(Rms(Pump(1000), 0, 1000), 0.1);
    EXPECT_TRUE(dir.Exists("tmp/m.wav"));
    EXPECT_TRUE(dir.Exists("tmp/long.wav"));
    ASSERT_EQ(snd.DADATAReserve(67), 1);
    EXPECT_FALSE(dir.Exists("tmp/m.wav"));
    EXPECT_FALSE(dir.Exists("tmp/long.wav"));
    EXPECT_EQ(AudibleEnd(Pump(1000)), 0u);
}

TEST_F(SlotTest, WavePathIsBoundedByTheCallersBuffer) {
    ASSERT_EQ(snd.DASetData(14, "only_se.wav", 2), 1);
    char small[8];
    std::memset(small, 'Z', sizeof(small));
    EXPECT_EQ(snd.DAGetWAVEPath(14, small, 4), small);
    EXPECT_STREQ(small, "onl");
    EXPECT_EQ(small[4], 'Z'); // nothing written past the given size
    EXPECT_EQ(snd.DAGetWAVEPath(14, nullptr, 260), nullptr);
    EXPECT_TRUE(Logged("Error: <KUSND::DAGetWAVEPath> 不正な引数が渡されました\n"));
}

TEST_F(SlotTest, ReloadedPathStopsItsSoundsAndTakesTheVolume) {
    ASSERT_EQ(snd.DALoad(15, "long.wav", 2, 0), 0);
    ASSERT_EQ(snd.DAPlay(15, 1), 0);
    Pump(100);
    EXPECT_EQ(snd.DAReloadPath(2, 50), 1);
    EXPECT_TRUE(Logged("Warn: <KUSND::DAReloadPath> 音量が範囲最大値を超えています。最大値に再設定します\n"));
    EXPECT_EQ(AudibleEnd(Pump(500)), 0u);
    EXPECT_EQ(snd.DAReloadPath(3, 0), 0);
    EXPECT_TRUE(Logged("Error: <KUSND::DAReloadPath> 予期せぬパスが指定されました\n"));
    ASSERT_EQ(snd.DAPlay(15, 0), 0);
    EXPECT_GT(Rms(Pump(500), 0, 500), 0.1);
}

} // namespace
} // namespace soundtest
