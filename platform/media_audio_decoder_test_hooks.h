#pragma once
// Test hooks of platform/media_audio_decoder.h (tests only).
#include <cstdint>

#include "platform/media_audio_decoder.h"

namespace plat {

// Tests: where decoding into memory stops for media opened from now on, as if
// a header had promised less than the media holds (0: the usual limit).
void SetAudioKeepCapForTest(int64_t frames);

// Tests: the bytes all media together may hold decoded ahead (0: the usual
// budget), and what they hold now.
void SetAudioAheadBudgetForTest(int64_t bytes);
int64_t AudioAheadHeldBytesForTest();

} // namespace plat
