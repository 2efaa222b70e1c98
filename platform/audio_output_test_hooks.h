#pragma once
// Test hooks of platform/audio_output.h (tests only).
#include "platform/audio_output.h"

namespace plat {

// Tests: stops any running output and switches to the manual pump.
// actsAsDevice decides what AudioOutputHasDevice reports.
void AudioOutputUseManual(bool actsAsDevice);
// Renders frames stereo frames on the calling thread; appends them to capture
// when given. Only while the manual output is active.
void AudioManualPump(int frames, std::vector<float>* capture = nullptr);

} // namespace plat
