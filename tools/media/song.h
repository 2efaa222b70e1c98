// A tune of the sample game: its melody and chords in the compact text of
// score.h, and how they are played (tempo, instruments, accompaniment).
#pragma once

#include <string>
#include <vector>

#include "tools/media/synth.h"

namespace music {

enum class Accompaniment { kNone, kArpeggio, kOffbeats, kWaltz };
enum class BassLine { kHeld, kRootFifth, kEighths, kWalking };
enum class Drums { kNone, kPulse, kBrush, kFestival };

struct Song {
    const char* name;  // file name without ".wav"
    double bpm;        // quarter notes a minute
    int beatsPerBar;   // quarter notes a bar
    const char* chords;
    const char* melody;
    Timbre lead;
    bool pad;          // sustained chords under everything
    Accompaniment accompaniment;
    Timbre accompanimentTimbre;
    BassLine bass;
    Drums drums;
    double endSeconds; // 0: a loop; else played once, cut to this length with a fade
};

// The rendered tune; a loop's last frame runs on into its first.
struct Rendered {
    StereoBuffer audio{0, false};
    bool loops = false;
};

// Renders a song, levelled to the same loudness as the others; false with a
// message when its text does not parse.
bool RenderSong(const Song& song, Rendered* out, std::string* error);

// The sample game's tunes, in file-name order.
const std::vector<Song>& SampleSongs();

} // namespace music
