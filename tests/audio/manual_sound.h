#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/app_events.h"
#include "platform/audio_mixer.h"
#include "platform/audio_output_test_hooks.h"
#include "sound/kusnd.h"

namespace audiotest {

// Starts a sound system on the manual output, a device the test pumps, for
// tests above the sound layer; Release stops it and the output.
class ManualSound {
public:
    void Start(KUSND* snd, KUSYSTEM* sys) {
        plat::AudioOutputUseManual(true);
        plat::AudioMixer::Get().Reset();
        plat::ClearAppEvents();
        snd_ = snd;
        ASSERT_EQ(snd->Initialize(sys, reinterpret_cast<plat::WindowHandle>(0x1000),
                                  reinterpret_cast<void*>(0x2000), 0),
                  0);
    }
    void Release() {
        if (snd_)
            snd_->Release();
        snd_ = nullptr;
        plat::ClearAppEvents();
        plat::AudioMixer::Get().Reset();
    }
    std::vector<float> Pump(int frames) {
        std::vector<float> out;
        plat::AudioManualPump(frames, &out);
        return out;
    }
    // Pumps a channel's whole length and a little more, then hands its end
    // event to the channel as the window procedure does.
    void PlayOut(int channel) {
        int64_t length = 0;
        snd_->DShowGetLength(channel, &length);
        Pump(static_cast<int>(length * 44100 / 10000000) + 4410);
        plat::AppEvent e;
        while (plat::PopAppEvent(&e))
            if (e.message >= 0x8002 && e.message <= 0x8004)
                snd_->DShowEventNotify(static_cast<int>(e.message - 0x8002));
    }

private:
    KUSND* snd_ = nullptr;
};

} // namespace audiotest
