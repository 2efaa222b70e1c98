#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/kusystem.h"
#include "platform/app_events.h"
#include "platform/audio_mixer.h"
#include "platform/audio_output.h"
#include "platform/audio_performance.h"
#include "platform/files.h"
#include "sound/kusnd.h"
#include "tests/audio/audio_fixtures.h"
#include "tests/support/test_env.h"
#include "tools/archive_writer.h"
#include "platform/audio_performance_test_hooks.h"
#include "platform/audio_output_test_hooks.h"

namespace soundtest {

using audiotest::AudibleEnd;
using audiotest::AudibleFrames;
using audiotest::Rms;
using audiotest::WavBytes;

inline std::string ReadFixture(const std::string& name) {
    std::string bytes;
    plat::ReadWholeFile(audiotest::Fixture(name), &bytes);
    return bytes;
}

inline plat::WindowHandle FakeWindow() { return reinterpret_cast<plat::WindowHandle>(0x1000); }
inline void* FakeInstance() { return reinterpret_cast<void*>(0x2000); }

// A game folder with small sound archives, a started system object and a
// sound system on the manual output (acting as a device unless told not to).
class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::AudioOutputUseManual(true);
        plat::AudioMixer::Get().Reset();
        plat::ClearAppEvents();
        plat::SetSoundFault("", 0);
        g_bDebugInfo = 0;
        sys.Initialize(nullptr, 1);
        Pack("dat/SE.dat", {{"beep.wav", WavBytes(44100, 1, 4410, 880)},
                            {"loop.wav", WavBytes(44100, 1, 2205, 440)},
                            {"silent.wav", WavBytes(44100, 1, 44100, 440, 0.0)},
                            {"long.wav", WavBytes(44100, 1, 44100, 1000, 0.8)},
                            {"bad.wav", "XXXXnot a sound at all"},
                            {"trunc.wav", WavBytes(44100, 1, 4410, 880).substr(0, 30)},
                            {"tone.ogg", ReadFixture("tone.ogg")},
                            {"only_se.wav", WavBytes(44100, 1, 4410, 500)}});
        Pack("dat/VO.dat", {{"v.wav", WavBytes(44100, 1, 66150, 440)},
                            {"cut.wav", WavBytes(44100, 1, 4410, 880).substr(0, 30)},
                            {"b.wav", WavBytes(44100, 1, 22050, 660)},
                            {"tone.mp3", ReadFixture("tone.mp3")}});
        Pack("dat/BGM.dat", {{"m.wav", WavBytes(44100, 1, 44100, 330)},
                             {"sine.wav", WavBytes(44100, 2, 44100, 1000, 0.8)},
                             {"tone.mp3", ReadFixture("tone.mp3")}});
        dir.Write("dat/Mov.dat", ReadFixture("movie.mpg"));
        dir.Write("dat/vonly.mpg", ReadFixture("video_only.mpg"));
        dir.Write("dat/broken.mpg", std::string(4000, '\x47'));
    }
    void TearDown() override {
        snd.Release();
        plat::SetSoundFault("", 0);
        plat::ClearAppEvents();
        plat::AudioMixer::Get().Reset();
    }

    void Pack(const std::string& path, const std::vector<std::pair<std::string, std::string>>& members) {
        std::vector<ArchiveMember> list;
        list.reserve(members.size());
        for (const auto& [name, bytes] : members)
            list.push_back(ArchiveMember{name, "", bytes});
        std::string error;
        dir.Write(path, "");
        ASSERT_TRUE(WriteArchive(path, list, false, &error)) << error;
    }

    int Start() { return snd.Initialize(&sys, FakeWindow(), FakeInstance(), 0); }

    std::vector<float> Pump(int frames) {
        std::vector<float> out;
        plat::AudioManualPump(frames, &out);
        return out;
    }

    // What the window procedure does with the channels' messages.
    int DispatchEvents() {
        int n = 0;
        plat::AppEvent e;
        while (plat::PopAppEvent(&e)) {
            if (e.message >= 0x8002 && e.message <= 0x8004)
                snd.DShowEventNotify(static_cast<int>(e.message - 0x8002));
            ++n;
        }
        return n;
    }

    bool Logged(const std::string& text) const { return log.Contains(text); }

    kutest::TempDir dir;
    kutest::FakeClockScope clock;
    kutest::DebugCapture log;
    KUSYSTEM sys;
    KUSND snd;
};

} // namespace soundtest
