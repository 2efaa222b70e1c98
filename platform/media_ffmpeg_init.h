#pragma once

namespace plat {

// FFmpeg's own log lines would clutter standard error for every damaged or
// foreign file we probe; the program reports failures in its own words.
void EnsureFfmpegQuiet();

}  // namespace plat
