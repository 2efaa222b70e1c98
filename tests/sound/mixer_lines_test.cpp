#include <cmath>

#include "tests/sound/sound_fixture.h"

namespace soundtest {
namespace {

class MixerTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_EQ(Start(), 0);
    }
    uint32_t Level(int line) { return plat::AudioMixer::Get().OutputLevel(line); }
};

TEST_F(MixerTest, OpensOnlyWithASoundDeviceAndFindsTheProgramsLines) {
    unsigned int v = 100;
    int d = 100;
    EXPECT_EQ(snd.MixerSetVolume(1, &v), 0);
    EXPECT_EQ(snd.MixerAddVolume(1, &d), 0);
    EXPECT_EQ(snd.MixerAddVolumeFromDefault(1, &d), 0);
    EXPECT_EQ(snd.MixerSetAllVolume(), 0);
    EXPECT_EQ(v, 100u);
    EXPECT_EQ(d, 100);
    EXPECT_EQ(Level(1), 65535u);

    plat::AudioOutputUseManual(false);
    EXPECT_EQ(snd.MixerOpen(0), 0);
    EXPECT_TRUE(Logged("Error: <KUSND::MixerOpen> ミキサー数が得られませんでした\n"));
    plat::AudioOutputUseManual(true);
    EXPECT_EQ(snd.MixerOpen(1), 0);
    EXPECT_TRUE(Logged("Error: <KUSND::MixerOpen> ミキサーオープンに失敗しました\n"));
    ASSERT_EQ(snd.MixerOpen(0), 1);
    // All four lines, and none past them.
    v = 1000;
    EXPECT_EQ(snd.MixerSetVolume(4, &v), 0);
    for (int line = 0; line < 4; ++line) {
        v = 1000u + static_cast<unsigned>(line);
        EXPECT_EQ(snd.MixerSetVolume(line, &v), 1);
        EXPECT_EQ(Level(line), v);
    }
}

TEST_F(MixerTest, VolumesClampInPlaceAndTheSavedOnesComeBack) {
    plat::AudioMixer::Get().SetOutputLevel(1, 50000);
    ASSERT_EQ(snd.MixerOpen(0), 1);
    unsigned int v = 70000;
    EXPECT_EQ(snd.MixerSetVolume(1, &v), 1);
    EXPECT_EQ(v, 65535u);
    EXPECT_EQ(Level(1), 65535u);
    v = static_cast<unsigned int>(-5);
    EXPECT_EQ(snd.MixerSetVolume(1, &v), 1);
    EXPECT_EQ(v, 0u);
    EXPECT_EQ(Level(1), 0u);
    int d = -1000;
    EXPECT_EQ(snd.MixerAddVolumeFromDefault(1, &d), 1);
    EXPECT_EQ(Level(1), 49000u);
    d = 70000;
    EXPECT_EQ(snd.MixerAddVolume(1, &d), 1);
    EXPECT_EQ(d, 65535);
    EXPECT_EQ(Level(1), 65535u);
    d = -20000;
    EXPECT_EQ(snd.MixerAddVolume(1, &d), 1);
    EXPECT_EQ(Level(1), 45535u);
    EXPECT_EQ(snd.MixerSetAllVolume(), 1);
    EXPECT_EQ(Level(1), 50000u);
    EXPECT_EQ(Level(0), 65535u);
}

// The program's line scales everything it plays.
TEST_F(MixerTest, ProgramLineScalesTheOutput) {
    ASSERT_EQ(snd.MMDATAReserve(1), 1);
    ASSERT_EQ(snd.MMOpen(0, 2, "sine.wav"), 1);
    ASSERT_EQ(snd.MixerOpen(0), 1);
    ASSERT_EQ(snd.MMPlay(0), 1);
    const std::vector<float> full = Pump(4410);
    unsigned int v = 32768;
    ASSERT_EQ(snd.MixerSetVolume(1, &v), 1);
    const std::vector<float> half = Pump(4410);
    EXPECT_NEAR(Rms(half, 0, 4410) / Rms(full, 0, 4410), 0.5, 1e-3);
    v = 0;
    ASSERT_EQ(snd.MixerSetVolume(0, &v), 1);
    EXPECT_EQ(AudibleFrames(Pump(4410)), 0u);
}

// The synthesizer line carries the sound slots and nothing else.
TEST_F(MixerTest, SynthesizerLineScalesOnlyTheSoundSlots) {
    ASSERT_EQ(snd.DADATAReserve(2), 1);
    ASSERT_EQ(snd.DALoad(1, "long.wav", 2, 0), 0);
    ASSERT_EQ(snd.MMDATAReserve(1), 1);
    ASSERT_EQ(snd.MMOpen(0, 2, "sine.wav"), 1);
    ASSERT_EQ(snd.MixerOpen(0), 1);
    ASSERT_EQ(snd.DAPlay(1, 0), 0);
    const double full = Rms(Pump(4410), 0, 4410);
    unsigned int v = 32768;
    ASSERT_EQ(snd.MixerSetVolume(2, &v), 1);
    EXPECT_NEAR(Rms(Pump(4410), 0, 4410) / full, 0.5, 1e-3);
    v = 0;
    ASSERT_EQ(snd.MixerSetVolume(2, &v), 1);
    EXPECT_EQ(AudibleFrames(Pump(4410)), 0u);
    ASSERT_EQ(snd.MMPlay(0), 1);
    EXPECT_NEAR(Rms(Pump(4410), 0, 4410), 0.8 / std::sqrt(2.0), 1e-2);
}

// The wave line carries the streamed channels and the media files, never the
// sound slots (the CD's own test covers the CD).
TEST_F(MixerTest, WaveLineScalesOnlyTheStreamedChannelsAndMedia) {
    ASSERT_EQ(snd.DADATAReserve(2), 1);
    ASSERT_EQ(snd.DALoad(1, "long.wav", 2, 0), 0);
    ASSERT_EQ(snd.MixerOpen(0), 1);
    ASSERT_EQ(snd.DAPlay(1, 0), 0);
    const double slot = Rms(Pump(4410), 0, 4410);
    unsigned int v = 0;
    ASSERT_EQ(snd.MixerSetVolume(1, &v), 1);
    EXPECT_NEAR(Rms(Pump(4410), 0, 4410) / slot, 1.0, 1e-3);
    ASSERT_EQ(snd.DAStop(1), 0);
    // The sine at full scale: its level after the line tells the line's gain.
    ASSERT_GE(snd.DShowOpen(1, "sine.wav", 9999, 9999), 0);
    ASSERT_GE(snd.DShowPlay(1), 0);
    EXPECT_EQ(AudibleFrames(Pump(4410)), 0u);
    v = 32768;
    ASSERT_EQ(snd.MixerSetVolume(1, &v), 1);
    EXPECT_NEAR(Rms(Pump(4410), 0, 4410), 0.4 / std::sqrt(2.0), 1e-3);
}

} // namespace
} // namespace soundtest
