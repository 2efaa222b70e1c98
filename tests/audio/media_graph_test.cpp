#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "platform/app_events.h"
#include "platform/audio_mixer.h"
#include "platform/audio_output.h"
#include "platform/files.h"
#include "platform/media_audio_decoder.h"
#include "platform/media_audio_decoder_test_hooks.h"
#include "platform/media_graph.h"
#include "platform/media_video_decoder.h"
#include "tests/audio/audio_fixtures.h"
#include "platform/audio_output_test_hooks.h"

namespace {

using audiotest::AudibleEnd;
using audiotest::Fixture;
using audiotest::WavBytes;

constexpr int kN = 66150; // 1.5 s at 44100 Hz

class MediaGraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::AudioOutputUseManual(true);
        plat::AudioMixer::Get().Reset();
        plat::ClearAppEvents();
        dir_.Write("v.wav", WavBytes(44100, 1, kN, 440));
    }
    void TearDown() override {
        plat::SetAudioKeepCapForTest(0);
        plat::AudioMixer::Get().Reset();
        plat::ClearAppEvents();
    }
    kutest::TempDir dir_;
};

TEST_F(MediaGraphTest, EndOfMediaPostsOneEventAtTheLastFrameAndStaysRunning) {
    plat::MediaGraph g;
    ASSERT_EQ(g.RenderFile("v.wav"), plat::kMediaOk);
    EXPECT_TRUE(g.HasAudio());
    EXPECT_FALSE(g.HasVideo());
    int64_t d = 0;
    g.GetDuration(&d);
    EXPECT_EQ(d, 15000000);
    g.SetNotifyWindow(nullptr, 0x8003, 0);
    g.Run();
    std::vector<float> out;
    plat::AudioManualPump(kN - 1, &out);
    EXPECT_EQ(plat::PendingAppEvents(), 0u);
    plat::AudioManualPump(1, &out);
    ASSERT_EQ(plat::PendingAppEvents(), 1u);
    plat::AudioManualPump(5000, &out);
    EXPECT_EQ(plat::PendingAppEvents(), 1u); // once only
    EXPECT_EQ(AudibleEnd(out), static_cast<size_t>(kN));
    int state = -1;
    g.GetState(0, &state);
    EXPECT_EQ(state, plat::kGraphRunning);
    int32_t code = 0;
    intptr_t p1 = 0;
    intptr_t p2 = 0;
    EXPECT_EQ(g.GetEvent(&code, &p1, &p2, 0), plat::kMediaOk);
    EXPECT_EQ(code, plat::kMediaEventComplete);
    EXPECT_EQ(g.GetEvent(&code, &p1, &p2, 0), plat::kMediaAbort);
    plat::AppEvent e;
    ASSERT_TRUE(plat::PopAppEvent(&e));
    EXPECT_EQ(e.message, 0x8003u);

    // A rewind while running plays it again from the start.
    const int64_t zero = 0;
    g.SetPositions(&zero, nullptr);
    out.clear();
    plat::AudioManualPump(kN, &out);
    EXPECT_EQ(AudibleEnd(out), static_cast<size_t>(kN));
    EXPECT_EQ(plat::PendingAppEvents(), 1u);
}

TEST_F(MediaGraphTest, StartAndStopPositionsAreFrameExact) {
    plat::MediaGraph g;
    ASSERT_EQ(g.RenderFile("v.wav"), plat::kMediaOk);
    g.SetNotifyWindow(nullptr, 0x8002, 0);
    const int64_t start = 5000000;
    const int64_t stop = 10000000;
    g.SetPositions(&start, &stop);
    g.Run();
    std::vector<float> out;
    plat::AudioManualPump(22049, &out);
    EXPECT_EQ(plat::PendingAppEvents(), 0u);
    int64_t pos = 0;
    int64_t end = 0;
    g.GetPositions(&pos, &end);
    EXPECT_EQ(end, 10000000);
    plat::AudioManualPump(1001, &out);
    EXPECT_EQ(plat::PendingAppEvents(), 1u);
    EXPECT_EQ(AudibleEnd(out), 22050u);
    g.GetPositions(&pos, nullptr);
    EXPECT_EQ(pos, 10000000);
    // The first sample is the source's sample 22050, not its start.
    dir_.Write("ref.wav", WavBytes(44100, 1, kN, 440));
    plat::PcmBuffer ref;
    ASSERT_TRUE(plat::DecodeAudioFile("ref.wav", &ref));
    EXPECT_FLOAT_EQ(out[200], ref.samples[2 * (22050 + 100)]);

    // A start far beyond the end (any 64-bit value a caller passes) ends the
    // play at once and reads back unchanged.
    const int64_t far = INT64_MAX;
    g.SetPositions(&far, nullptr);
    g.GetPositions(&pos, &end);
    EXPECT_EQ(pos / 10000000, far / 10000000);
    plat::AudioManualPump(100);
    EXPECT_EQ(plat::PendingAppEvents(), 2u);
    EXPECT_EQ(plat::FramesFrom100ns(15000000), kN);
    EXPECT_EQ(plat::FramesTo100ns(kN), 15000000);
    EXPECT_EQ(plat::FramesFrom100ns(-5), 0);
}

TEST_F(MediaGraphTest, PauseHoldsThePositionAndVolumeScalesTheOutput) {
    plat::MediaGraph g;
    ASSERT_EQ(g.RenderFile("v.wav"), plat::kMediaOk);
    g.Run();
    plat::AudioManualPump(22050);
    g.Pause();
    std::vector<float> out;
    plat::AudioManualPump(1000, &out);
    EXPECT_EQ(AudibleEnd(out), 0u);
    int64_t pos = 0;
    g.GetPositions(&pos, nullptr);
    EXPECT_EQ(pos, 5000000);
    EXPECT_EQ(g.PutVolume(-10000), plat::kMediaOk);
    g.Run();
    out.clear();
    plat::AudioManualPump(1000, &out);
    EXPECT_EQ(AudibleEnd(out), 0u); // -10000 is silence
    EXPECT_LT(g.PutVolume(-10001), 0);
    int v = 0;
    g.GetVolume(&v);
    EXPECT_EQ(v, -10000);
}

TEST_F(MediaGraphTest, CompressedFormatsRewindExactly) {
    for (const char* name : {"tone.ogg", "tone.mp3"}) {
        plat::AudioDecoder dec;
        ASSERT_TRUE(dec.Open(Fixture(name))) << name;
        std::vector<float> buf(4096 * 2);
        auto readAll = [&] {
            std::vector<float> all;
            while (int n = dec.Read(buf.data(), 4096))
                all.insert(all.end(), buf.begin(), buf.begin() + n * 2);
            return all;
        };
        const std::vector<float> first = readAll();
        ASSERT_TRUE(dec.Rewind());
        EXPECT_EQ(readAll(), first) << name;
        EXPECT_TRUE(dec.AtEnd());
        // A short media is replayed from memory: a seek lands on the same
        // samples, and the file is no longer read.
        const std::string copy = dir_.path() + "/copy_" + name;
        std::filesystem::copy_file(Fixture(name), copy);
        ASSERT_TRUE(dec.Open(copy));
        EXPECT_EQ(readAll(), first) << name;
        std::filesystem::remove(copy);
        ASSERT_TRUE(dec.SeekToFrame(1000));
        EXPECT_EQ(dec.FramesRead(), 1000);
        ASSERT_EQ(dec.Read(buf.data(), 16), 16);
        EXPECT_TRUE(std::equal(buf.begin(), buf.begin() + 32, first.begin() + 2000)) << name;
        ASSERT_TRUE(dec.Rewind());
        EXPECT_EQ(readAll(), first) << name;
    }
    // A media longer than its header said: what was decoded ahead is read,
    // then the rest streams; a rewind reopens the file.
    plat::PcmBuffer mp3;
    ASSERT_TRUE(plat::DecodeAudioFile(Fixture("tone.mp3"), &mp3));
    plat::SetAudioKeepCapForTest(30000);
    {
        plat::AudioDecoder dec;
        ASSERT_TRUE(dec.Open(Fixture("tone.mp3")));
        for (int pass = 0; pass < 2; ++pass) {
            std::vector<float> all, buf(5000 * 2);
            while (int n = dec.Read(buf.data(), 5000))
                all.insert(all.end(), buf.begin(), buf.begin() + n * 2);
            EXPECT_EQ(all, mp3.samples) << "pass " << pass;
            EXPECT_TRUE(dec.AtEnd());
            ASSERT_TRUE(dec.Rewind());
        }
        ASSERT_TRUE(dec.SeekToFrame(40000));
        std::vector<float> peek(32);
        ASSERT_EQ(dec.Read(peek.data(), 16), 16);
        EXPECT_TRUE(std::equal(peek.begin(), peek.end(), mp3.samples.begin() + 80000));
    }
    EXPECT_NEAR(static_cast<double>(mp3.frames), 88200.0, 1200.0);
}

TEST_F(MediaGraphTest, AStreamThatChangesItsChannelsMidwayDecodesWhole) {
    // Stereo for half a second, then mono: the second half keeps its level on
    // both sides instead of being read as the first half's layout.
    plat::PcmBuffer pcm;
    ASSERT_TRUE(plat::DecodeAudioFile(Fixture("switch.mp2"), &pcm));
    EXPECT_NEAR(static_cast<double>(pcm.frames), 44100.0, 2400.0);
    const size_t late = static_cast<size_t>(pcm.frames) - 8000;
    const double left = audiotest::Rms(pcm.samples, late, late + 4000);
    double right = 0;
    for (size_t f = late; f < late + 4000; ++f)
        right += pcm.samples[2 * f + 1] * pcm.samples[2 * f + 1];
    right = std::sqrt(right / 4000);
    // The same sine: the encoder's up-mix put the stereo half 3 dB lower.
    EXPECT_NEAR(left / audiotest::Rms(pcm.samples, 4000, 8000), std::sqrt(2.0), 0.03);
    EXPECT_NEAR(right / left, 1.0, 0.01);
}

TEST_F(MediaGraphTest, MoreChannelsMixDownWithinFullScaleAndStereoAndMonoPassAsStored) {
    // The same full-scale sine on every channel: the most a down-mix can add.
    for (int channels : {6, 4, 2, 1}) {
        const std::string name = "full" + std::to_string(channels) + ".wav";
        dir_.Write(name, WavBytes(44100, channels, 4410, 441, 1.0));
        plat::PcmBuffer pcm;
        ASSERT_TRUE(plat::DecodeAudioFile(name, &pcm)) << channels;
        ASSERT_EQ(pcm.frames, 4410) << channels;
        float peak = 0;
        for (float v : pcm.samples)
            peak = std::max(peak, std::fabs(v));
        EXPECT_LE(peak, 1.0f) << channels;
        EXPECT_GT(peak, 0.99f) << channels;
        if (channels > 2)
            continue;
        // Sample for sample as stored, on both sides.
        for (size_t i = 0; i < pcm.samples.size(); ++i) {
            const size_t frame = i / 2;
            const long v = std::lround(std::sin(2.0 * M_PI * 441 * static_cast<double>(frame) / 44100) * 32767.0);
            ASSERT_EQ(pcm.samples[i], static_cast<float>(v) / 32768.0f) << channels << " at " << i;
        }
    }
}

TEST_F(MediaGraphTest, MoviePositionsCountFromTheMediaStartAndPicturesFollowTheClock) {
    plat::MediaGraph g;
    ASSERT_EQ(g.RenderFile(Fixture("movie.mpg")), plat::kMediaOk);
    EXPECT_TRUE(g.HasAudio());
    EXPECT_TRUE(g.HasVideo());
    int w = 0;
    int h = 0;
    g.GetVideoSize(&w, &h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);
    EXPECT_TRUE(g.UpdatePicture());
    EXPECT_EQ(g.Picture().width, 320);
    const uint32_t first = g.Picture().pixels[320 * 120 + 160];
    EXPECT_FALSE(g.UpdatePicture()); // nothing new at the same time
    g.Run();
    plat::AudioManualPump(44100);
    int64_t pos = 0;
    g.GetPositions(&pos, nullptr);
    EXPECT_EQ(pos, 10000000);
    EXPECT_TRUE(g.UpdatePicture());
    EXPECT_EQ(g.Picture().pixels[0] >> 24, 0xFFu);
    EXPECT_NE(g.Picture().pixels, std::vector<uint32_t>());
    (void)first;
    // Back to the start: the picture decoder rewinds as well.
    const int64_t zero = 0;
    g.SetPositions(&zero, nullptr);
    EXPECT_TRUE(g.UpdatePicture());
}

// An MP3 carrying cover art (an ID3 picture, which the demuxer lists as a
// one-picture video stream) is sound only: nothing may cover the game.
TEST_F(MediaGraphTest, CoverArtIsNoVideo) {
    static const char kPng[] =
        "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00\x00\x01\x08\x02"
        "\x00\x00\x00\x90\x77\x53\xde\x00\x00\x00\x0c\x49\x44\x41\x54\x78\x9c\x63\xf8\xcf\xc0\x00\x00\x03\x01\x01"
        "\x00\xc9\xfe\x92\xef\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82";
    const std::string apic = std::string("\0image/png\0\x03\0", 13) + std::string(kPng, sizeof kPng - 1);
    auto be32 = [](size_t n, int bits) {
        std::string b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[static_cast<size_t>(i)] = static_cast<char>((n >> ((3 - i) * bits)) & ((1u << bits) - 1));
        return b;
    };
    const std::string frame = "APIC" + be32(apic.size(), 8) + std::string(2, '\0') + apic;
    std::string mp3;
    ASSERT_TRUE(plat::ReadWholeFile(Fixture("tone.mp3"), &mp3));
    dir_.Write("cover.mp3", std::string("ID3\x03\0\0", 6) + be32(frame.size(), 7) + frame + mp3);
    const std::string path = dir_.path() + "/cover.mp3";
    plat::VideoDecoder video;
    EXPECT_FALSE(video.Open(path));
    plat::MediaGraph g;
    ASSERT_EQ(g.RenderFile(path), plat::kMediaOk);
    EXPECT_TRUE(g.HasAudio());
    EXPECT_FALSE(g.HasVideo());
    // Nor is it a stream the sound waits for: it decodes as the bare file does.
    plat::PcmBuffer bare, covered;
    ASSERT_TRUE(plat::DecodeAudioFile(Fixture("tone.mp3"), &bare));
    ASSERT_TRUE(plat::DecodeAudioFile(path, &covered));
    EXPECT_TRUE(covered.samples == bare.samples);
}

TEST_F(MediaGraphTest, VideoOnlyMovieRunsOnTheMixerClock) {
    plat::MediaGraph g;
    ASSERT_EQ(g.RenderFile(Fixture("video_only.mpg")), plat::kMediaOk);
    EXPECT_FALSE(g.HasAudio());
    EXPECT_TRUE(g.HasVideo());
    int64_t d = 0;
    g.GetDuration(&d);
    ASSERT_GT(d, 0);
    const int frames = static_cast<int>(plat::FramesFrom100ns(d));
    g.SetNotifyWindow(nullptr, 0x8004, 0);
    g.Run();
    plat::AudioManualPump(frames - 1);
    EXPECT_EQ(plat::PendingAppEvents(), 0u);
    plat::AudioManualPump(1);
    EXPECT_EQ(plat::PendingAppEvents(), 1u);
    bool visible = true;
    EXPECT_EQ(g.GetVisible(&visible), plat::kMediaOk);
}

// The pictures run 1.13 s, the sound 0.42 s: the movie ends with its last
// picture, the clock carrying the pictures on once the sound is over.
TEST_F(MediaGraphTest, AMovieWhoseSoundEndsFirstRunsToItsLastPicture) {
    plat::MediaGraph g;
    ASSERT_EQ(g.RenderFile(Fixture("short_sound.mpg")), plat::kMediaOk);
    int64_t d = 0;
    g.GetDuration(&d);
    const int frames = static_cast<int>(plat::FramesFrom100ns(d));
    ASSERT_GT(frames, 44100);
    g.SetNotifyWindow(nullptr, 0x8004, 0);
    g.Run();
    EXPECT_TRUE(g.UpdatePicture());
    plat::AudioManualPump(30000); // past the sound's end
    EXPECT_EQ(plat::PendingAppEvents(), 0u);
    plat::AudioManualPump(14100);
    int64_t pos = 0;
    g.GetPositions(&pos, nullptr);
    EXPECT_EQ(pos, 10000000);
    EXPECT_TRUE(g.UpdatePicture()); // a later picture
    plat::AudioManualPump(frames - 44100 - 1);
    EXPECT_EQ(plat::PendingAppEvents(), 0u);
    plat::AudioManualPump(1);
    EXPECT_EQ(plat::PendingAppEvents(), 1u);
}

// The sound starts 0.49 s after the first picture: it is heard then, not
// with the first picture.
TEST_F(MediaGraphTest, ASoundThatStartsAfterThePicturesIsHeardAtItsTime) {
    plat::MediaGraph g;
    ASSERT_EQ(g.RenderFile(Fixture("late_sound.mpg")), plat::kMediaOk);
    g.Run();
    std::vector<float> out;
    plat::AudioManualPump(21168, &out); // 0.48 s
    EXPECT_EQ(audiotest::AudibleFrames(out), 0u);
    plat::AudioManualPump(2205, &out);
    EXPECT_GT(audiotest::AudibleFrames(out), 1000u);
    plat::AudioManualPump(44100, &out);
    EXPECT_NEAR(static_cast<double>(audiotest::AudibleEnd(out)), 0.49 * 44100 + 18432, 600.0);
}

// Played past the sound's end and taken back to the start, the late sound
// is silent up to its time again, held in memory or streamed from its file.
TEST_F(MediaGraphTest, ALateSoundsLeadSilenceComesAgainAfterASeekBack) {
    for (const bool streamed : {false, true}) {
        plat::SetAudioAheadBudgetForTest(streamed ? 1 : 0); // no room: streamed
        plat::MediaGraph g;
        ASSERT_EQ(g.RenderFile(Fixture("late_sound.mpg")), plat::kMediaOk);
        ASSERT_EQ(plat::AudioAheadHeldBytesForTest() == 0, streamed);
        g.Run();
        plat::AudioManualPump(44100);
        const int64_t zero = 0;
        ASSERT_EQ(g.SetPositions(&zero, nullptr), plat::kMediaOk);
        std::vector<float> lead, sound;
        plat::AudioManualPump(21168, &lead); // 0.48 s
        plat::AudioManualPump(2205, &sound);
        EXPECT_EQ(audiotest::AudibleFrames(lead), 0u) << streamed;
        EXPECT_GT(audiotest::AudibleFrames(sound), 1000u) << streamed;
    }
    plat::SetAudioAheadBudgetForTest(0);
}

// The sound starts 0.53 s before the pictures (in the sample's movies it
// leads by 11 ms). The first picture goes up as the window opens and stays
// until the second one's time stamp: the pictures keep their delay.
TEST_F(MediaGraphTest, PicturesThatStartAfterTheSoundKeepTheirDelay) {
    plat::MediaGraph g;
    ASSERT_EQ(g.RenderFile(Fixture("early_sound.mpg")), plat::kMediaOk);
    g.Run();
    EXPECT_TRUE(g.UpdatePicture());
    std::vector<float> out;
    plat::AudioManualPump(22050, &out); // 0.5 s
    EXPECT_GT(audiotest::AudibleFrames(out), 21000u); // the sound from the start
    EXPECT_FALSE(g.UpdatePicture());
    plat::AudioManualPump(1764); // 0.54 s
    EXPECT_FALSE(g.UpdatePicture());
    plat::AudioManualPump(1764); // 0.58 s, past the second picture's 0.571
    EXPECT_TRUE(g.UpdatePicture());
}

// The sound starts 0.49 s after the pictures. With the container's duration
// damaged to 0.3 s, a gap longer than the whole media is no gap: the sound
// is heard at once instead of after silence.
TEST_F(MediaGraphTest, AStartGapPastTheStatedDurationIsNotApplied) {
    std::string mkv;
    ASSERT_TRUE(plat::ReadWholeFile(Fixture("late_sound.mkv"), &mkv));
    dir_.Write("whole.mkv", mkv);
    // The segment's duration: element 4489, an 8-byte big-endian float of milliseconds.
    const size_t at = mkv.find("\x44\x89\x88");
    ASSERT_NE(at, std::string::npos);
    const double ms = 300.0;
    uint64_t bits = 0;
    std::memcpy(&bits, &ms, sizeof bits);
    for (size_t i = 0; i < 8; ++i)
        mkv[at + 3 + i] = static_cast<char>(bits >> (56 - 8 * i));
    dir_.Write("damaged.mkv", mkv);
    for (const char* name : {"whole.mkv", "damaged.mkv"}) {
        const bool damaged = name[0] == 'd';
        plat::MediaGraph g;
        ASSERT_EQ(g.RenderFile(dir_.path() + "/" + name), plat::kMediaOk);
        int64_t d = 0;
        g.GetDuration(&d);
        EXPECT_EQ(d, damaged ? 3000000 : 10000000);
        g.Run();
        std::vector<float> out;
        plat::AudioManualPump(4410, &out); // 0.1 s
        if (damaged)
            EXPECT_GT(audiotest::AudibleFrames(out), 4000u);
        else
            EXPECT_EQ(audiotest::AudibleFrames(out), 0u);
    }
}

size_t OpenDescriptors() {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

// The decoders open media by a pinned name: what the work folder holds, never
// what a tmp/ swapped for a link leads to, and every descriptor comes back.
TEST_F(MediaGraphTest, DecodersReadTheWorkFolderThroughNoLinkAndKeepNoDescriptor) {
    std::filesystem::create_directory("tmp");
    std::filesystem::copy_file("v.wav", "tmp/v.wav");
    std::filesystem::copy_file(Fixture("movie.mpg"), "tmp/movie.mpg");
    {
        plat::AudioDecoder warm; // the module loads once
        ASSERT_TRUE(warm.Open("tmp/v.wav"));
    }
    const size_t before = OpenDescriptors();
    for (int i = 0; i < 100; ++i) {
        plat::AudioDecoder sound;
        ASSERT_TRUE(sound.Open("tmp/v.wav")) << i;
        plat::VideoDecoder movie;
        ASSERT_TRUE(movie.Open("tmp/movie.mpg")) << i;
    }
    EXPECT_EQ(OpenDescriptors(), before);

    std::filesystem::rename("tmp", "outside");
    std::filesystem::create_directory_symlink("outside", "tmp");
    plat::AudioDecoder sound;
    EXPECT_FALSE(sound.Open("tmp/v.wav"));
    plat::VideoDecoder movie;
    EXPECT_FALSE(movie.Open("tmp/movie.mpg"));
    plat::MediaGraph g;
    EXPECT_LT(g.RenderFile("tmp/movie.mpg"), 0);
    EXPECT_TRUE(movie.Open("outside/movie.mpg")); // real media, refused for the way only
    EXPECT_TRUE(sound.Open("outside/v.wav"));
}

TEST_F(MediaGraphTest, FilesThatAreNotMediaAreRefused) {
    dir_.Write("text.wav", "this is not a sound file at all, only some text\n");
    dir_.Write("empty.wav", "");
    for (const char* name : {"missing.wav", "text.wav", "empty.wav"}) {
        plat::MediaGraph g;
        EXPECT_LT(g.RenderFile(name), 0) << name;
    }
    plat::MediaGraph audio;
    ASSERT_EQ(audio.RenderFile("v.wav"), plat::kMediaOk);
    bool visible = false;
    EXPECT_LT(audio.GetVisible(&visible), 0); // no video window for a sound
    int w = 0;
    int h = 0;
    EXPECT_LT(audio.GetVideoSize(&w, &h), 0);
}

} // namespace
