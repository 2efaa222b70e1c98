// Writes 16-bit stereo PCM WAV files.
#pragma once

#include <string>

#include "tools/media/synth.h"

namespace music {

// Samples are clamped to full scale; false when the file cannot be written.
bool WriteWav(const std::string& path, const StereoBuffer& audio);

} // namespace music
