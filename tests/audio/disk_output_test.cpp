#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/audio_mixer.h"
#include "platform/audio_output.h"
#include "platform/files.h"
#include "platform/media_audio_decoder.h"
#include "tests/audio/audio_fixtures.h"

namespace {

// Sets an environment variable for the life of the object.
class EnvScope {
public:
    EnvScope(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            had_ = true;
            old_ = old;
        }
        setenv(name, value.c_str(), 1);
    }
    ~EnvScope() {
        if (had_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

int64_t FileSize(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
}

// SDL's disk driver writes what the device callback mixed, so the real output
// path can be checked sample by sample: a sound started before the device
// opens is the first thing written, at its bus gain, followed by silence.
TEST(DiskOutputTest, DeviceWritesTheMixSampleForSample) {
    kutest::TempDir dir;
    plat::AudioOutputStop();
    plat::AudioMixer& mixer = plat::AudioMixer::Get();
    mixer.Reset();
    dir.Write("tone.wav", audiotest::WavBytes(22050, 1, 2205, 440, 0.8));
    auto pcm = std::make_shared<plat::PcmBuffer>();
    ASSERT_TRUE(plat::DecodeAudioFile("tone.wav", pcm.get()));
    ASSERT_EQ(pcm->frames, 4410);
    const int bus = mixer.CreateBus(-600);
    ASSERT_TRUE(mixer.PlayBuffer(pcm, bus, false));

    const std::string capture = dir.path() + "/out.raw";
    const int64_t wantBytes = (pcm->frames + 8192) * plat::kAudioChannels * static_cast<int64_t>(sizeof(float));
    {
        EnvScope driver("SDL_AUDIODRIVER", "disk");
        EnvScope file("SDL_DISKAUDIOFILE", capture);
        if (plat::AudioOutputStart() != plat::AudioOutputKind::kDevice) {
            plat::AudioOutputStop();
            mixer.Reset();
            GTEST_SKIP() << "SDL has no disk audio driver here";
        }
        // The driver paces itself about like a device; give it ample time.
        for (int i = 0; i < 500 && FileSize(capture) < wantBytes; ++i)
            usleep(10000);
        plat::AudioOutputStop();
    }
    mixer.Reset();

    std::string bytes;
    ASSERT_TRUE(plat::ReadWholeFile(capture, &bytes));
    ASSERT_GE(static_cast<int64_t>(bytes.size()), wantBytes);
    std::vector<float> out(bytes.size() / sizeof(float));
    std::memcpy(out.data(), bytes.data(), out.size() * sizeof(float));
    // SDL opens a device paused, and its thread writes silence until the
    // device runs: under load one such block of 1024 frames comes first.
    const size_t block = 1024 * plat::kAudioChannels;
    while (out.size() >= block + pcm->samples.size() &&
           std::all_of(out.begin(), out.begin() + block, [](float v) { return v == 0.0f; }))
        out.erase(out.begin(), out.begin() + block);

    const float gain = plat::GainFromCentibels(-600, -9600);
    double worst = 0;
    for (size_t i = 0; i < pcm->samples.size(); ++i)
        worst = std::max(worst, static_cast<double>(std::fabs(out[i] - pcm->samples[i] * gain)));
    EXPECT_LT(worst, 1e-6);
    EXPECT_EQ(audiotest::AudibleEnd(out), static_cast<size_t>(pcm->frames));
    EXPECT_NEAR(audiotest::Rms(out, 1000, 4000) / audiotest::Rms(pcm->samples, 1000, 4000), 0.501187, 0.0005);
}

} // namespace
