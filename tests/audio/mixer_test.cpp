#include <gtest/gtest.h>

#include <cmath>

#include "platform/app_events.h"
#include "platform/audio_mixer.h"
#include "platform/audio_output.h"
#include "platform/audio_performance.h"
#include "platform/media_audio_decoder.h"
#include "tests/audio/audio_fixtures.h"
#include "platform/audio_output_test_hooks.h"

namespace {

using audiotest::Rms;
using audiotest::WavBytes;

class MixerTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::AudioOutputUseManual(true);
        plat::AudioMixer::Get().Reset();
    }
    void TearDown() override { plat::AudioMixer::Get().Reset(); }
    kutest::TempDir dir_;
};

std::shared_ptr<const plat::PcmBuffer> Decode(const std::string& path) {
    auto pcm = std::make_shared<plat::PcmBuffer>();
    EXPECT_TRUE(plat::DecodeAudioFile(path, pcm.get())) << path;
    return pcm;
}

TEST(GainTest, CentibelsFollowTheDecibelLawAndTheFloorIsSilence) {
    EXPECT_FLOAT_EQ(plat::GainFromCentibels(0, -9600), 1.0f);
    EXPECT_NEAR(plat::GainFromCentibels(-600, -9600), 0.501187, 1e-5);
    EXPECT_NEAR(plat::GainFromCentibels(-2000, -10000), 0.1, 1e-6);
    EXPECT_EQ(plat::GainFromCentibels(-9600, -9600), 0.0f);
    EXPECT_GT(plat::GainFromCentibels(-9600, -10000), 0.0f);
    EXPECT_EQ(plat::GainFromCentibels(-10000, -10000), 0.0f);
}

TEST_F(MixerTest, WavDecodesToExactFrameCountsAtTheOutputRate) {
    dir_.Write("a.wav", WavBytes(44100, 1, 1000, 440));
    dir_.Write("b.wav", WavBytes(44100, 2, 66150, 440));
    dir_.Write("c.wav", WavBytes(22050, 1, 33075, 440));
    EXPECT_EQ(Decode("a.wav")->frames, 1000);
    EXPECT_EQ(Decode("b.wav")->frames, 66150);
    // Resampled from 22050 Hz: 1.5 s stays 1.5 s within a frame or two.
    EXPECT_NEAR(static_cast<double>(Decode("c.wav")->frames), 66150.0, 2.0);
    // Mono keeps its level on both sides.
    auto a = Decode("a.wav");
    EXPECT_NEAR(Rms(a->samples, 0, 1000), 0.5 / std::sqrt(2.0), 0.01);
    EXPECT_FLOAT_EQ(a->samples[200], a->samples[201]);
}

TEST_F(MixerTest, InstancesEndAtTheirLastFrameLoopsDoNotAndStopSilences) {
    dir_.Write("a.wav", WavBytes(44100, 1, 1000, 440));
    auto pcm = Decode("a.wav");
    auto& mixer = plat::AudioMixer::Get();
    const int bus = mixer.CreateBus(0);
    auto once = mixer.PlayBuffer(pcm, bus, false);
    ASSERT_TRUE(once);
    EXPECT_TRUE(once->playing); // playing from the moment it starts
    plat::AudioManualPump(999);
    EXPECT_TRUE(once->playing);
    plat::AudioManualPump(1);
    EXPECT_FALSE(once->playing);
    EXPECT_EQ(once->framesPlayed, 1000);

    auto loop = mixer.PlayBuffer(pcm, bus, true);
    std::vector<float> out;
    plat::AudioManualPump(3000, &out);
    EXPECT_TRUE(loop->playing);
    EXPECT_GT(Rms(out, 2500, 3000), 0.1);
    mixer.StopBuffer(pcm.get());
    EXPECT_FALSE(loop->playing);
    out.clear();
    plat::AudioManualPump(500, &out);
    EXPECT_EQ(Rms(out, 0, 500), 0.0);
}

TEST_F(MixerTest, BusLevelScalesTheRmsAndDestroyingTheBusStopsItsInstances) {
    dir_.Write("a.wav", WavBytes(44100, 2, 44100, 1000, 0.9));
    auto pcm = Decode("a.wav");
    auto& mixer = plat::AudioMixer::Get();
    const int full = mixer.CreateBus(0);
    const int quiet = mixer.CreateBus(-600);
    std::vector<float> ref;
    std::vector<float> low;
    mixer.PlayBuffer(pcm, full, false);
    plat::AudioManualPump(4410, &ref);
    mixer.StopAllBuffers();
    auto rec = mixer.PlayBuffer(pcm, quiet, false);
    plat::AudioManualPump(4410, &low);
    EXPECT_NEAR(Rms(low, 0, 4410) / Rms(ref, 0, 4410), 0.501187, 0.005);
    mixer.DestroyBus(quiet);
    EXPECT_FALSE(rec->playing);
    EXPECT_EQ(mixer.PlayBuffer(pcm, quiet, false), nullptr);
}

TEST_F(MixerTest, PerformanceNeedsADeviceAndKeepsInstancesApart) {
    plat::AudioOutputUseManual(false);
    plat::SoundPerformance noDevice;
    EXPECT_LT(noDevice.InitAudio(), 0);
    plat::AudioOutputUseManual(true);

    dir_.Write("a.wav", WavBytes(44100, 1, 500, 440));
    dir_.Write("riff.avi", std::string("RIFF\x10\0\0\0AVI LIST", 16));
    plat::SoundPerformance perf;
    ASSERT_EQ(perf.InitAudio(), plat::kSoundOk);
    plat::SoundLoader loader;
    plat::SoundSegment* seg = nullptr;
    plat::SoundSegment* bad = nullptr;
    ASSERT_EQ(loader.LoadWave("a.wav", &seg), plat::kSoundOk);
    EXPECT_LT(loader.LoadWave("riff.avi", &bad), 0); // RIFF, but not WAVE
    EXPECT_EQ(bad, nullptr);
    plat::SoundPath* path = nullptr;
    ASSERT_EQ(perf.CreateStandardPath(&path), plat::kSoundOk);
    plat::SoundSegmentState* first = nullptr;
    plat::SoundSegmentState* second = nullptr;
    ASSERT_EQ(perf.PlaySegment(seg, path, &first), plat::kSoundOk);
    plat::AudioManualPump(250);
    ASSERT_EQ(perf.PlaySegment(seg, path, &second), plat::kSoundOk);
    plat::AudioManualPump(250);
    EXPECT_EQ(perf.IsPlaying(seg, first), plat::kSoundFalse);
    EXPECT_EQ(perf.IsPlaying(seg, second), plat::kSoundOk);
    int64_t seek = 0;
    second->GetSeek(&seek);
    EXPECT_EQ(seek, 250);
    perf.StopSegment(seg);
    EXPECT_EQ(perf.IsPlaying(seg, second), plat::kSoundFalse);
    delete first;
    delete second;
    delete path;
    delete seg;
}

TEST(ClockOutputTest, OwesExactlyTheFramesOfTheElapsedTime) {
    EXPECT_EQ(plat::ClockFramesDue(0, 0), 0);
    EXPECT_EQ(plat::ClockFramesDue(1000, 0), 44100);
    EXPECT_EQ(plat::ClockFramesDue(1000, 44000), 100);
    EXPECT_EQ(plat::ClockFramesDue(10, 441), 0);
    // A whole hour adds up without drift.
    EXPECT_EQ(plat::ClockFramesDue(3600000, 0), 44100LL * 3600);
}

TEST(AppEventsTest, PostedMessagesComeOutInOrder) {
    plat::ClearAppEvents();
    plat::PostAppEvent(0x8002, 0, 7);
    plat::PostAppEvent(0x8004, 1, 0);
    EXPECT_EQ(plat::PendingAppEvents(), 2u);
    plat::AppEvent e;
    ASSERT_TRUE(plat::PopAppEvent(&e));
    EXPECT_EQ(e.message, 0x8002u);
    EXPECT_EQ(e.lParam, 7);
    ASSERT_TRUE(plat::PopAppEvent(&e));
    EXPECT_EQ(e.message, 0x8004u);
    EXPECT_FALSE(plat::PopAppEvent(&e));
}

TEST(DeviceOutputTest, DummyDriverOpensAsADevice) {
    // The tests run with SDL's dummy audio driver; without one there is no device.
    plat::AudioOutputStop();
    const plat::AudioOutputKind kind = plat::AudioOutputStart();
    if (kind != plat::AudioOutputKind::kDevice) {
        plat::AudioOutputStop();
        GTEST_SKIP() << "no SDL audio device here";
    }
    EXPECT_TRUE(plat::AudioOutputHasDevice());
    plat::AudioOutputStop();
    EXPECT_EQ(plat::AudioOutputCurrent(), plat::AudioOutputKind::kNone);
}

} // namespace
