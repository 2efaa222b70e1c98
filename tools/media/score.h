// Parses the compact note text the sample game's tunes are written in.
//
// A melody is bars separated by '|', each a list of notes "<name><octave>:<eighths>"
// such as "f#5:2" or "bb4:1", "r:<eighths>" for a rest and "~:<eighths>" to hold
// the previous note on; a note without ":<eighths>" keeps the previous length.
// A chord line is bars of chord symbols with lengths the same way: "C", "Am:4",
// "F#m", "Bbmaj7", "G7", "Dm7", "Esus4". Every bar must fill its metre exactly,
// which catches a slip in a tune before anyone hears it.
#pragma once

#include <string>
#include <vector>

namespace music {

struct Note {
    int start = 0;  // in eighths from the tune's start
    int length = 0; // in eighths
    int midi = 0;   // 60 is middle C
};

struct Chord {
    int start = 0;
    int length = 0;
    int root = 0;                // pitch class, 0 = C
    std::vector<int> intervals;  // semitones above the root, the root's 0 included
};

// Both return false with a message naming the bar on a bad token or a bar
// that does not add up to eighthsPerBar; *totalEighths gets the tune's length.
bool ParseMelody(const std::string& text, int eighthsPerBar, std::vector<Note>* out, int* totalEighths,
                 std::string* error);
bool ParseChords(const std::string& text, int eighthsPerBar, std::vector<Chord>* out, int* totalEighths,
                 std::string* error);

} // namespace music
