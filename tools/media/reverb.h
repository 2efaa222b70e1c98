// A small stereo room (parallel combs into all-passes) for the tunes.
#pragma once

#include "tools/media/synth.h"

namespace music {

// Adds the room's sound to `audio` at `wet`. For a wrapping buffer the room
// first hears the buffer's end, so the echo of the end is heard at the start
// and the loop stays seamless.
void AddReverb(StereoBuffer* audio, float wet);

} // namespace music
