// The sample game's fourteen tunes and the staff roll's version of the last.
// Each is a melody over chords, 20 to 40 seconds, suited to where the game
// plays it: the title's theme (BGM13) calm, the exam's (BGM10) tense, the
// gallery's (BGM02) a walk, the staff roll's (BGM14_sh) a closing reprise
// that ends with the roll (1 s fade-in, 20 s of rolling, 3 s held, 2 s fade).
#include "tools/media/song.h"

namespace music {

const std::vector<Song>& SampleSongs() {
    using A = Accompaniment;
    using B = BassLine;
    using D = Drums;
    using T = Timbre;
    static const std::vector<Song> kSongs = {
        {"BGM01", 96, 4, // spring morning: a flute over a plucked arpeggio
         "D | A | Bm | F#m | G | D | Em | A | G | A | D:4 Bm:4 | Em:4 A:4",
         "f#5:2 a5 a5 f#5:1 e5 | e5:4 c#5:2 a4 | d5:2 f#5 b5:3 a5:1 | a5:4 c#5 | b4:2 d5 g5 f#5:1 e5 |"
         " f#5:4 d5:2 a4 | g5:2 f#5 e5 d5 | e5:6 r:2 | b5:3 a5:1 g5:2 f#5 | e5:3 f#5:1 g5:2 a5 |"
         " f#5:2 d5 d5 b4 | e5:4 c#5:2 e5",
         T::kFlute, true, A::kArpeggio, T::kPluck, B::kRootFifth, D::kNone, 0},
        {"BGM02", 112, 4, // the way to school: a walking bass and a light step
         "G | Em | C | D | G | Em | Am | D | C | D | Bm:4 Em:4 | Am:4 D:4",
         "d5:1 g5 r g5 b5:2 a5:1 g5 | a5:2 g5:1 e5 e5:4 | e5:1 g5 r g5 c6:2 b5:1 a5 | a5:6 r:2 |"
         " d5:1 g5 r g5 b5:2 d6:1 b5 | b5:2 a5:1 g5 e5:4 | a5:2 c6 b5 a5 | f#5:6 r:2 | e5:2 g5 c6:3 b5:1 |"
         " a5:2 f#5 d5:4 | d5:2 f#5 g5 b5 | a5:4 f#5:2 d5",
         T::kKeys, false, A::kArpeggio, T::kPluck, B::kWalking, D::kPulse, 0},
        {"BGM03", 80, 4, // the classroom window: soft seventh chords
         "Fmaj7 | Am7 | Bbmaj7 | C7 | Fmaj7 | Dm7 | Gm7 | C7",
         "a4:2 c5 e5:4 | g5:3 e5:1 c5:4 | d5:2 f5 a5:3 g5:1 | g5:6 r:2 | c6:3 a5:1 f5:2 e5 | f5:2 a5 c5:4 |"
         " bb4:2 d5 f5 a5 | g5:4 bb4:2 c5",
         T::kKeys, true, A::kNone, T::kKeys, B::kHeld, D::kBrush, 0},
        {"BGM04", 132, 4, // lunch break: bouncy, chords on the off-beats
         "C | Am | Dm | G | C | Am | F | G | F | G | Em | Am | Dm | G | C | G7",
         "c5:1 e5 g5:2 e5:1 g5 c6:2 | a5:2 g5 e5:4 | d5:1 f5 a5:2 f5:1 a5 d6:2 | b5:2 a5 g5:4 |"
         " c5:1 e5 g5:2 e5:1 g5 c6:2 | e6:2 d6 c6 a5 | a5:1 g5 f5:2 a5 c6 | d6:4 r | c6:2 a5:1 f5 c5:2 f5 |"
         " b5:2 g5:1 d5 b4:2 g5 | e5:2 g5 b5 e6 | c6:4 a5 | f5:1 e5 d5:2 a5 f5 | g5:1 a5 b5:2 d6 b5 |"
         " c6:2 g5 e5 g5 | f5:2 d5 b4 g4",
         T::kPluck, false, A::kOffbeats, T::kKeys, B::kWalking, D::kPulse, 0},
        {"BGM05", 92, 4, // after school: a nostalgic piano
         "Bb | F | Gm | Dm | Eb | Bb | Cm | F | Eb | F | Dm:4 Gm:4 | Cm:4 F:4",
         "d5:3 c5:1 bb4:2 f5 | c5:3 d5:1 c5:2 a4 | bb4:2 d5 g5:3 f5:1 | f5:6 r:2 | g5:3 f5:1 eb5:2 bb4 |"
         " d5:4 f5 | eb5:2 d5 c5 g5 | f5:6 r:2 | bb5:3 g5:1 eb5:2 g5 | a5:3 f5:1 c5:2 f5 | f5:2 d5 g5 bb4 |"
         " c5:4 a4:2 c5",
         T::kPiano, true, A::kArpeggio, T::kPluck, B::kRootFifth, D::kBrush, 0},
        {"BGM06", 84, 3, // the library: a music box in three
         "A | C#m | D | E | F#m | C#m | D | E | A | F#m | Bm | E",
         "e5:2 c#5 a4 | c#5:2 e5 g#5 | a5:4 f#5:2 | e5:4 b4:2 | c#5:2 f#5 a5 | g#5:4 e5:2 | f#5:2 a5 d6 |"
         " b5:6 | c#6:3 b5:1 a5:2 | a5:2 f#5 c#5 | b4:2 d5 f#5 | e5:4 r:2",
         T::kBell, true, A::kWaltz, T::kKeys, B::kHeld, D::kNone, 0},
        {"BGM07", 76, 4, // sunset: a slow flute over piano and strings
         "Eb | Bb | Cm | Ab | Eb | Ab | Fm:4 Bb:4 | Eb:4 Bb:4",
         "g5:3 f5:1 eb5:2 bb4 | f5:4 d5 | eb5:2 g5 c6:3 bb5:1 | ab5:6 r:2 | bb5:3 g5:1 eb5:2 g5 |"
         " ab5:2 c6 eb5:4 | f5:2 ab5 g5 f5 | eb5:4 d5:2 f5",
         T::kFlute, true, A::kArpeggio, T::kPiano, B::kHeld, D::kNone, 0},
        {"BGM08", 100, 4, // the way home: an easy walk
         "A | E | F#m | D | A | E | D | E | F#m | D | A:4 E:4 | D:4 E:4",
         "c#5:2 e5 a5 g#5:1 a5 | b5:4 g#5:2 e5 | a5:2 f#5 c#5 e5 | f#5:4 d5:2 r | c#5:2 e5 a5 c#6 |"
         " b5:3 a5:1 g#5:2 e5 | f#5:2 a5 d6 c#6:1 b5 | b5:6 r:2 | a5:3 g#5:1 f#5:2 c#5 | d5:2 f#5 a5:4 |"
         " c#6:2 a5 b5 g#5 | a5:2 f#5 e5:4",
         T::kKeys, false, A::kArpeggio, T::kPluck, B::kRootFifth, D::kBrush, 0},
        {"BGM09", 72, 4, // a rainy day: minor piano, bell drops
         "Am | Fmaj7 | Dm | E | Am | F | Dm:4 E:4 | Am:4 E:4",
         "e5:3 d5:1 c5:2 b4 | a4:4 c5:2 e5 | f5:3 e5:1 d5:2 a4 | b4:2 g#4:4 r:2 | a4:2 c5 e5 a5 |"
         " a5:3 g5:1 f5:2 c5 | d5:2 f5 e5 g#4 | a4:4 b4",
         T::kPiano, true, A::kArpeggio, T::kBell, B::kHeld, D::kNone, 0},
        {"BGM10", 116, 4, // the night before the exam: a pulsing bass, repeated notes
         "Dm | Dm | Bb | A | Dm | Dm | Gm | A | Bb | C | Gm:4 A:4 | A7",
         "d5:1 d5 f5 d5 a5:2 g5:1 f5 | e5:2 f5 d5:4 | d5:1 d5 f5 d5 bb5:2 a5:1 g5 | a5:4 c#5 |"
         " d6:2 c6:1 bb5 a5:2 f5 | g5:1 f5 e5:2 d5:4 | g5:2 bb5 d6 c6:1 bb5 | a5:4 e5 | f5:2 d5 bb5:3 a5:1 |"
         " g5:2 e5 c6:3 bb5:1 | bb5:2 g5 a5 e5 | c#5:2 e5 g5 e5",
         T::kPiano, true, A::kNone, T::kKeys, B::kEighths, D::kPulse, 0},
        {"BGM11", 132, 4, // the summer festival: a flute and drums
         "G | G | C | G | Em | D | C:4 D:4 | G | G | Em | C | D | Em | C | D | G",
         "g5:1 a5 b5:2 d6 b5 | a5:1 b5 a5 g5 e5:4 | g5:1 a5 b5:2 e6 d6 | b5:4 d5 | e5:2 g5 a5:1 b5 a5:2 |"
         " d6:2 b5:1 a5 a5:4 | g5:2 e5 d5 e5 | g5:6 r:2 | d6:1 e6 d6:2 b5 a5 | b5:1 d6 b5:2 g5 e5 |"
         " e5:1 g5 a5:2 e6 d6 | d6:4 a5 | b5:2 a5:1 g5 e5:2 g5 | a5:2 g5:1 e5 g5:4 | a5:1 b5 a5:2 d5 e5 |"
         " g5:4 r",
         T::kFlute, false, A::kArpeggio, T::kBell, B::kRootFifth, D::kFestival, 0},
        {"BGM12", 66, 4, // the starry sky: slow bells over strings
         "E | C#m | A | B | G#m | C#m | A | B",
         "b5:4 g#5:2 e5 | c#6:3 b5:1 g#5:4 | a5:2 c#6 e6:4 | d#6:6 r:2 | d#6:3 c#6:1 b5:4 | g#5:2 b5 e6:4 |"
         " c#6:3 b5:1 a5:2 c#6 | b5:6 r:2",
         T::kBell, true, A::kArpeggio, T::kKeys, B::kHeld, D::kNone, 0},
        {"BGM13", 88, 4, // the promise, the title's theme: a calm piano
         "C | G | Am | Em | F | C | Dm | G | C | Am | F:4 G:4 | C",
         "e5:3 d5:1 c5:2 g4 | d5:4 b4:2 g4 | c5:3 b4:1 a4:2 e5 | b4:6 r:2 | a4:2 c5 f5:3 e5:1 |"
         " e5:2 d5 c5 e5 | d5:2 f5 a5 g5:1 f5 | g5:4 f5:2 d5 | e5:3 g5:1 g5:2 c6 | a5:3 g5:1 e5:2 c5 |"
         " d5:2 f5 e5 d5 | c5:8",
         T::kPiano, true, A::kArpeggio, T::kKeys, B::kHeld, D::kNone, 0},
        {"BGM14", 100, 4, // setting out: the fullest arrangement, warm and rising
         "D | A | Bm | G | D | A | G | A | Bm | G | Em:4 A:4 | D",
         "a4:2 d5 f#5 a5 | a5:3 g5:1 e5:4 | f#5:2 b5 a5 f#5 | g5:6 r:2 | f#5:2 a5 d6:3 c#6:1 |"
         " c#6:2 b5 a5:4 | b5:3 a5:1 g5:2 b5 | a5:6 r:2 | d6:3 c#6:1 b5:2 f#5 | g5:2 b5 d6 b5 |"
         " e6:3 d6:1 c#6:2 e5 | f#5:2 e5 d5:4",
         T::kFlute, true, A::kArpeggio, T::kPluck, B::kRootFifth, D::kPulse, 0},
        {"BGM14_sh", 120, 4, // the staff roll: setting out again, ending on a held chord
         "D | A | Bm | G | D | A | G | A | Bm | G | Em:4 A:4 | D",
         "a4:2 d5 f#5 a5 | a5:3 g5:1 e5:4 | f#5:2 b5 a5 f#5 | g5:6 r:2 | f#5:2 a5 d6:3 c#6:1 |"
         " c#6:2 b5 a5:4 | b5:3 a5:1 g5:2 b5 | a5:6 r:2 | d6:3 c#6:1 b5:2 f#5 | g5:2 b5 d6 b5 |"
         " e6:3 d6:1 c#6:2 e5 | d5:8",
         T::kFlute, true, A::kArpeggio, T::kPluck, B::kRootFifth, D::kPulse, 26},
    };
    return kSongs;
}

} // namespace music
