#include <linux/cdrom.h>

#include <mutex>

#include "platform/cd_audio_player.h"
#include "platform/cd_device_test_hooks.h"
#include "tests/sound/sound_fixture.h"

namespace soundtest {
namespace {

constexpr uint32_t kFps = plat::kCdFramesPerSecond;
constexpr int kSpf = static_cast<int>(plat::kCdSamplesPerFrame);

// The known waveform: a sawtooth whose value tells its place on the disc,
// left and right mirrored, never 0, so a gap or a repeat shows as a wrong
// sample and every frame is audible.
int16_t DiscSample(int64_t index, int channel) {
    const int v = static_cast<int>(index % 1999) * 16 - 15992;
    return static_cast<int16_t>(channel ? -v : v);
}

// A drive in the kernel's own terms: a table of contents and audio frames of
// the waveform above, as the CD-ROM ioctls return them.
class ScriptedDrive : public plat::CdDriveIoctl {
public:
    // Track 1 starts at 2 s, track 2 at 6 s, track 3 (data) at 12 s; lead-out 14 s.
    std::vector<uint32_t> starts = {2 * kFps, 6 * kFps, 12 * kFps};
    uint32_t leadOut = 14 * kFps;

    int Ioctl(unsigned long request, void* arg) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (gone_)
            return -1;
        switch (request) {
            case CDROM_GET_CAPABILITY: return CDC_PLAY_AUDIO;
            case CDROM_DRIVE_STATUS: return CDS_DISC_OK;
            case CDROMREADTOCHDR: {
                auto* h = static_cast<cdrom_tochdr*>(arg);
                h->cdth_trk0 = 1;
                h->cdth_trk1 = static_cast<uint8_t>(starts.size());
                return 0;
            }
            case CDROMREADTOCENTRY: {
                auto* e = static_cast<cdrom_tocentry*>(arg);
                const bool out = e->cdte_track == CDROM_LEADOUT;
                const uint32_t f = out ? leadOut : starts.at(e->cdte_track - 1u);
                e->cdte_ctrl = !out && e->cdte_track == 3 ? CDROM_DATA_TRACK : 0;
                e->cdte_addr.msf = {static_cast<uint8_t>(f / kFps / 60), static_cast<uint8_t>(f / kFps % 60),
                                    static_cast<uint8_t>(f % kFps)};
                return 0;
            }
            case CDROMSUBCHNL:
                static_cast<cdrom_subchnl*>(arg)->cdsc_audiostatus =
                    analogPlaying_ ? CDROM_AUDIO_PLAY : CDROM_AUDIO_NO_STATUS;
                return 0;
            case CDROMREADAUDIO: return ReadAudio(static_cast<cdrom_read_audio*>(arg));
            case CDROMPLAYMSF:
                analogPlaying_ = true;
                ++analogPlays_;
                return 0;
            case CDROMSTOP: analogPlaying_ = false; return 0;
            default: return 0;
        }
    }
    void Vanish() { Set(&gone_); }
    // Audio reads that touch frames [from, to) fail; everything else answers.
    void Scratch(uint32_t from, uint32_t to) {
        std::lock_guard<std::mutex> lock(mutex_);
        scratchFrom_ = from;
        scratchTo_ = to;
    }
    void DenyAudioReads() { Set(&noDigital_); }
    int AnalogPlays() {
        std::lock_guard<std::mutex> lock(mutex_);
        return analogPlays_;
    }

private:
    int ReadAudio(cdrom_read_audio* ra) {
        if (noDigital_ || ra->addr_format != CDROM_MSF || ra->nframes < 1 || ra->nframes > CD_FRAMES)
            return -1;
        const cdrom_msf0& m = ra->addr.msf;
        const uint32_t frame = (m.minute * 60u + m.second) * kFps + m.frame;
        if (frame < scratchTo_ && frame + static_cast<uint32_t>(ra->nframes) > scratchFrom_)
            return -1;
        const int64_t first = int64_t{frame} * kSpf;
        for (int64_t i = 0; i < int64_t{ra->nframes} * kSpf; ++i) {
            for (int c = 0; c < 2; ++c) {
                const auto v = static_cast<uint16_t>(DiscSample(first + i, c));
                ra->buf[4 * i + 2 * c] = static_cast<uint8_t>(v & 0xFF);
                ra->buf[4 * i + 2 * c + 1] = static_cast<uint8_t>(v >> 8);
            }
        }
        return 0;
    }
    void Set(bool* flag) {
        std::lock_guard<std::mutex> lock(mutex_);
        *flag = true;
    }
    std::mutex mutex_;
    bool gone_ = false;
    bool noDigital_ = false;
    bool analogPlaying_ = false;
    int analogPlays_ = 0;
    uint32_t scratchFrom_ = 0;
    uint32_t scratchTo_ = 0;
};

// Frames of out that continue the waveform from sample index on, up to the
// first that does not.
size_t Continuing(const std::vector<float>& out, int64_t index, float gain = 1.0f) {
    size_t f = 0;
    for (; 2 * f + 1 < out.size(); ++f) {
        for (int c = 0; c < 2; ++c) {
            if (out[2 * f + c] !=
                static_cast<float>(DiscSample(index + static_cast<int64_t>(f), c)) * (gain / 32768.0f))
                return f;
        }
    }
    return f;
}

class CdDigitalTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_EQ(Start(), 0);
        plat::CdUseDriveIoctl(&drive);
        log.Clear();
    }
    void TearDown() override {
        SoundTest::TearDown();
        plat::CdUseDriveIoctl(nullptr);
    }
    // Pumps in steps the ring always covers once its reader has caught up.
    std::vector<float> PlayOut(int frames) {
        std::vector<float> out;
        while (frames > 0) {
            plat::CdWaitForReaders();
            const int n = std::min(frames, 100 * kSpf);
            plat::AudioManualPump(n, &out);
            frames -= n;
        }
        return out;
    }
    ScriptedDrive drive;
};

// From a position to a stop position, longer than the ring, exactly.
TEST_F(CdDigitalTest, PlaysExactlyFromOnePositionToAnother) {
    plat::CdDevice cd;
    ASSERT_TRUE(cd.Open("/dev/sr0"));
    const uint32_t from = 2 * kFps + 7;
    const uint32_t to = 6 * kFps + 30; // into track 2
    ASSERT_TRUE(cd.Play(from, to));
    const std::vector<float> first = PlayOut(10 * kSpf + 5);
    uint32_t absolute = 0, relative = 0;
    unsigned track = 0;
    ASSERT_TRUE(cd.Position(&absolute, &track, &relative));
    EXPECT_EQ(absolute, from + 10);
    EXPECT_EQ(track, 1u);
    EXPECT_EQ(relative, 17u);
    const std::vector<float> rest = PlayOut(static_cast<int>(to - from) * kSpf);
    std::vector<float> all = first;
    all.insert(all.end(), rest.begin(), rest.end());
    EXPECT_EQ(Continuing(all, int64_t{from} * kSpf), size_t{to - from} * kSpf);
    EXPECT_EQ(AudibleFrames(all), size_t{to - from} * kSpf);
    plat::CdMode mode = plat::CdMode::kPlaying;
    ASSERT_TRUE(cd.Mode(&mode));
    EXPECT_EQ(mode, plat::CdMode::kStopped);
    ASSERT_TRUE(cd.Position(&absolute, &track, &relative));
    EXPECT_EQ(absolute, to);
    EXPECT_EQ(track, 2u);
    EXPECT_EQ(drive.AnalogPlays(), 0);
    EXPECT_TRUE(log.lines().empty());
}

// Through the sound system: position, pause and resume without a gap or a
// repeat, the end at the data track, and the CD line's volume.
TEST_F(CdDigitalTest, TrackPlaysThroughTheMixerOnTheCdLine) {
    ASSERT_EQ(snd.MCIInit(nullptr), 1);
    ASSERT_EQ(snd.MixerOpen(0), 1);
    ASSERT_EQ(snd.CDPlay(0, 2, 0, 1), 1); // track 2 at 0:01, frame 1
    const uint32_t from = 6 * kFps + kFps + 1;
    std::vector<float> heard = PlayOut(30 * kSpf);
    unsigned char m = 0, s = 0, f = 0, t = 0;
    ASSERT_EQ(snd.CDGetNowPos(&m, &s, &f, &t), 1);
    EXPECT_EQ(t, 2);
    EXPECT_EQ(s * kFps + f, kFps + 31);
    EXPECT_EQ(snd.CDPause(), 1);
    EXPECT_EQ(snd.CDPlayStatusCheck(), 1);
    EXPECT_EQ(AudibleFrames(PlayOut(5000)), 0u);
    ASSERT_EQ(snd.CDGetNowPos(&m, &s, &f, &t), 1);
    EXPECT_EQ(s * kFps + f, kFps + 31);
    EXPECT_EQ(snd.CDRePlay(), 1);
    EXPECT_EQ(snd.CDPlayStatusCheck(), 0);
    const std::vector<float> more = PlayOut(100 * kSpf);
    heard.insert(heard.end(), more.begin(), more.end());
    EXPECT_EQ(Continuing(heard, int64_t{from} * kSpf), heard.size() / 2);

    // Half the CD line, half the amplitude; the synthesizer and wave lines leave it alone.
    unsigned int v = 32768;
    ASSERT_EQ(snd.MixerSetVolume(3, &v), 1);
    v = 0;
    ASSERT_EQ(snd.MixerSetVolume(2, &v), 1);
    ASSERT_EQ(snd.MixerSetVolume(1, &v), 1);
    const int64_t next = (int64_t{from} + 130) * kSpf;
    const std::vector<float> half = PlayOut(kSpf);
    EXPECT_EQ(Continuing(half, next, 32768.0f / 65535.0f), size_t{kSpf});

    // Track 3 is data: the track plays to its start and stops.
    const std::vector<float> tail = PlayOut(static_cast<int>(12 * kFps - from) * kSpf);
    EXPECT_EQ(AudibleFrames(tail), size_t{12 * kFps - from - 131} * kSpf);
    EXPECT_EQ(snd.CDPlayStatusCheck(), 2);
    EXPECT_EQ(drive.AnalogPlays(), 0);
}

// A drive that is gone stops the track after what was read, with one error.
TEST_F(CdDigitalTest, ADriveThatVanishesStopsTheTrack) {
    ASSERT_EQ(snd.MCIInit(nullptr), 1);
    ASSERT_EQ(snd.CDPlay(0, 1, 0, 0), 1);
    PlayOut(10 * kSpf);
    drive.Vanish();
    const std::vector<float> out = PlayOut(300 * kSpf);
    EXPECT_LE(AudibleFrames(out), size_t{plat::CdAudioPlayer::kRingFrames} * kSpf);
    EXPECT_EQ(snd.CDPlayStatusCheck(), -1);
    EXPECT_TRUE(Logged("Error: <KUSND::CDPlayStatusCheck> 再生状態取得に失敗しました\n"));
    EXPECT_EQ(AudibleFrames(PlayOut(kSpf)), 0u);
    EXPECT_EQ(snd.MCIClose(), 1);
}

// Stopped, paused then stopped, closed, released: each in the middle of a
// track whose reader waits on a full ring, each wakes it and silences it.
TEST_F(CdDigitalTest, StopPauseAndCloseEndATrackInItsMiddle) {
    auto playing = [&] {
        ASSERT_EQ(snd.MCIInit(nullptr), 1);
        ASSERT_EQ(snd.CDPlay(0, 1, 0, 0), 1);
        ASSERT_EQ(AudibleFrames(PlayOut(10 * kSpf)), size_t{10} * kSpf);
        plat::CdWaitForReaders();
    };
    auto silent = [&] { return AudibleFrames(PlayOut(200 * kSpf)) == 0; };
    playing();
    EXPECT_EQ(snd.CDStop(), 1);
    EXPECT_EQ(snd.CDPlayStatusCheck(), 2);
    EXPECT_TRUE(silent());
    playing();
    EXPECT_EQ(snd.CDPause(), 1);
    EXPECT_EQ(snd.CDStop(), 1);
    EXPECT_EQ(snd.CDPlayStatusCheck(), 2);
    EXPECT_TRUE(silent());
    playing();
    EXPECT_EQ(snd.MCIClose(), 1);
    EXPECT_TRUE(silent());
    playing();
    EXPECT_GE(snd.Release(), 0);
    EXPECT_TRUE(silent());
    EXPECT_TRUE(log.lines().empty());
}

// A scratch the drive cannot read, while it still answers everything else:
// the track plays up to it and stops, and the next status check reports the
// failure once; the drive plays on elsewhere.
TEST_F(CdDigitalTest, AnUnreadableStretchStopsTheTrackWithAnError) {
    ASSERT_EQ(snd.MCIInit(nullptr), 1);
    const uint32_t from = 2 * kFps + 1;
    const uint32_t scratch = from + 3 * plat::CdAudioPlayer::kRingFrames;
    drive.Scratch(scratch, scratch + 10);
    ASSERT_EQ(snd.CDPlay(0, 1, 0, 0), 1);
    const std::vector<float> out = PlayOut(static_cast<int>(4 * plat::CdAudioPlayer::kRingFrames) * kSpf);
    EXPECT_GT(AudibleFrames(out), size_t{scratch - from - plat::CdAudioPlayer::kChunkFrames} * kSpf);
    EXPECT_EQ(Continuing(out, int64_t{from} * kSpf), AudibleFrames(out));
    EXPECT_EQ(snd.CDPlayStatusCheck(), -1);
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(Logged("Error: <KUSND::CDPlayStatusCheck> 再生状態取得に失敗しました\n"));
    EXPECT_EQ(snd.CDPlayStatusCheck(), 2);
    ASSERT_EQ(snd.CDPlay(0, 2, 0, 0), 1);
    EXPECT_EQ(AudibleFrames(PlayOut(10 * kSpf)), size_t{10} * kSpf);
}

// A drive that cannot read audio digitally plays through its analog output.
TEST_F(CdDigitalTest, WithoutDigitalReadsTheDrivePlaysItself) {
    drive.DenyAudioReads();
    ASSERT_EQ(snd.MCIInit(nullptr), 1);
    log.Clear();
    ASSERT_EQ(snd.CDPlay(0, 1, 0, 0), 1);
    ASSERT_EQ(snd.CDPlay(0, 2, 0, 0), 1);
    EXPECT_EQ(drive.AnalogPlays(), 2);
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(Logged("Warn: <CdDevice::Play> デジタルで読み出せないため、ドライブのアナログ出力で再生します\n"));
    EXPECT_EQ(snd.CDPlayStatusCheck(), 0);
    EXPECT_EQ(AudibleFrames(Pump(kSpf)), 0u);
}

} // namespace
} // namespace soundtest
