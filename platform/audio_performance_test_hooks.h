#pragma once
// Test hooks of platform/audio_performance.h (tests only).
#include "platform/audio_performance.h"

namespace plat {

// Tests can make one named operation fail ("InitAudio", "CreatePath",
// "PathVolume", "LoadSegment", "Play", ...); count picks which call of it
// (1 = the next one). An empty name switches the fault off.
void SetSoundFault(const char* operation, int count);

} // namespace plat
