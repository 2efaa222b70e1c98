#include "tools/media/song.h"

#include <algorithm>
#include <cmath>

#include "tools/media/reverb.h"
#include "tools/media/score.h"

namespace music {
namespace {

constexpr float kTargetRms = 0.12f; // about -18 dBFS: room for the peaks
constexpr float kPeakCeiling = 0.85f;
constexpr double kEndFadeSeconds = 2.0;

// Frames from eighths, on a grid that rounds each position once so that
// notes never drift against the loop's length.
class Grid {
public:
    explicit Grid(double bpm) : eighth_(60.0 / bpm / 2 * kRate) {}
    size_t At(double eighths) const { return static_cast<size_t>(std::llround(eighths * eighth_)); }
    size_t Span(double from, double eighths) const { return At(from + eighths) - At(from); }

private:
    double eighth_;
};

// Chord tones from G3 up, the root's octave included for arpeggios.
std::vector<int> Voicing(const Chord& chord) {
    std::vector<int> notes;
    for (int iv : chord.intervals) {
        const int pc = (chord.root + iv) % 12;
        notes.push_back(55 + (pc - 55 % 12 + 12) % 12 + (iv >= 12 ? 12 : 0));
    }
    std::sort(notes.begin(), notes.end());
    return notes;
}

int BassRoot(const Chord& chord) { return 36 + chord.root; }

float Accent(int eighthInBar) {
    if (eighthInBar == 0)
        return 1.0f;
    return eighthInBar % 2 == 0 ? 0.9f : 0.8f;
}

class Arranger {
public:
    Arranger(const Song& song, StereoBuffer* out) : song_(song), grid_(song.bpm), out_(out) {}

    void Melody(const std::vector<Note>& notes) {
        const bool sustains = song_.lead == Timbre::kFlute || song_.lead == Timbre::kPad;
        for (const Note& n : notes) {
            const double held = n.length * (sustains ? 0.95 : 0.85);
            RenderNote(song_.lead, MidiFrequency(n.midi), grid_.At(n.start), grid_.Span(n.start, held),
                       0.34f * Accent(n.start % BarEighths()), 0.12f, out_);
        }
    }

    void Chords(const std::vector<Chord>& chords) {
        for (const Chord& c : chords) {
            const std::vector<int> tones = Voicing(c);
            if (song_.pad)
                for (size_t i = 0; i < tones.size(); ++i)
                    RenderNote(Timbre::kPad, MidiFrequency(tones[i]), grid_.At(c.start), grid_.Span(c.start, c.length),
                               0.08f, -0.4f + 0.8f * static_cast<float>(i) / static_cast<float>(tones.size()), out_);
            for (int e = c.start; e < c.start + c.length; ++e)
                Accompany(tones, e, e - c.start);
            Bass(c);
        }
    }

    void Percussion(int totalEighths) {
        for (int e = 0; e < totalEighths; ++e) {
            const int inBar = e % BarEighths();
            switch (song_.drums) {
            case Drums::kNone: break;
            case Drums::kPulse:
                if (inBar % 4 == 0)
                    Hit(Timbre::kKick, e, 0.5f);
                Hit(Timbre::kShaker, e, inBar % 2 ? 0.09f : 0.05f);
                break;
            case Drums::kBrush:
                if (inBar == 0)
                    Hit(Timbre::kKick, e, 0.3f);
                if (inBar % 2)
                    Hit(Timbre::kShaker, e, 0.07f);
                break;
            case Drums::kFestival:
                if (inBar == 0 || inBar == 4)
                    Hit(Timbre::kTaiko, e, 0.55f);
                if (inBar == 3 || inBar == 7)
                    Hit(Timbre::kTaiko, e, 0.3f);
                Hit(Timbre::kShaker, e, inBar % 2 ? 0.08f : 0.05f);
                break;
            }
        }
    }

private:
    int BarEighths() const { return song_.beatsPerBar * 2; }

    void Hit(Timbre drum, int eighth, float gain) {
        RenderNote(drum, 0, grid_.At(eighth), 0, gain, drum == Timbre::kShaker ? 0.35f : 0.0f, out_);
    }

    void Accompany(const std::vector<int>& tones, int eighth, int inChord) {
        const int inBar = eighth % BarEighths();
        const Timbre t = song_.accompanimentTimbre;
        switch (song_.accompaniment) {
        case Accompaniment::kNone: break;
        case Accompaniment::kArpeggio: {
            std::vector<int> run = tones;
            run.push_back(tones.front() + 12);
            const int cycle = 2 * (static_cast<int>(run.size()) - 1);
            int k = inChord % cycle;
            k = k < static_cast<int>(run.size()) ? k : cycle - k;
            RenderNote(t, MidiFrequency(run[static_cast<size_t>(k)]), grid_.At(eighth), grid_.Span(eighth, 2),
                       0.13f * Accent(inBar), -0.3f, out_);
            break;
        }
        case Accompaniment::kOffbeats:
            if (inBar % 2)
                for (int n : tones)
                    RenderNote(t, MidiFrequency(n), grid_.At(eighth), grid_.Span(eighth, 0.8), 0.06f, -0.2f, out_);
            break;
        case Accompaniment::kWaltz:
            if (inBar == 2 || inBar == 4)
                for (int n : tones)
                    RenderNote(t, MidiFrequency(n), grid_.At(eighth), grid_.Span(eighth, 1.5), 0.06f, -0.2f, out_);
            break;
        }
    }

    void Bass(const Chord& c) {
        const int root = BassRoot(c);
        const int fifth = root + 7 > 47 ? root - 5 : root + 7;
        const Timbre b = Timbre::kBass;
        switch (song_.bass) {
        case BassLine::kHeld:
            RenderNote(b, MidiFrequency(root), grid_.At(c.start), grid_.Span(c.start, c.length), 0.34f, 0, out_);
            break;
        case BassLine::kRootFifth:
            for (int e = 0; e < c.length; e += 4)
                RenderNote(b, MidiFrequency((e / 4) % 2 ? fifth : root), grid_.At(c.start + e),
                           grid_.Span(c.start + e, std::min(4, c.length - e) * 0.9), 0.34f, 0, out_);
            break;
        case BassLine::kEighths:
            for (int e = 0; e < c.length; ++e)
                RenderNote(b, MidiFrequency(e % 4 == 3 ? root + 12 : root), grid_.At(c.start + e),
                           grid_.Span(c.start + e, 0.6), 0.3f * Accent((c.start + e) % BarEighths()), 0, out_);
            break;
        case BassLine::kWalking: {
            const int steps[4] = {root, fifth, root + 12, fifth};
            for (int e = 0; e < c.length; e += 2)
                RenderNote(b, MidiFrequency(steps[(e / 2) % 4]), grid_.At(c.start + e),
                           grid_.Span(c.start + e, 1.7), 0.32f, 0, out_);
            break;
        }
        }
    }

    const Song& song_;
    Grid grid_;
    StereoBuffer* out_;
};

void FadeEnd(StereoBuffer* audio) {
    const size_t n = audio->frames();
    const size_t fade = std::min(n, static_cast<size_t>(kEndFadeSeconds * kRate));
    for (size_t i = 0; i < fade; ++i) {
        const float g = static_cast<float>(0.5 * (1 + std::cos(3.14159265358979 * static_cast<double>(i + 1) /
                                                              static_cast<double>(fade))));
        audio->left()[n - fade + i] *= g;
        audio->right()[n - fade + i] *= g;
    }
}

void Level(StereoBuffer* audio) {
    double sum = 0;
    float peak = 0;
    for (const auto* ch : {&audio->left(), &audio->right()})
        for (float s : *ch) {
            sum += static_cast<double>(s) * s;
            peak = std::max(peak, std::fabs(s));
        }
    const double rms = std::sqrt(sum / static_cast<double>(2 * audio->frames()));
    if (rms <= 0)
        return;
    float gain = static_cast<float>(kTargetRms / rms);
    gain = std::min(gain, kPeakCeiling / peak);
    for (auto* ch : {&audio->left(), &audio->right()})
        for (float& s : *ch)
            s *= gain;
}

} // namespace

bool RenderSong(const Song& song, Rendered* out, std::string* error) {
    const int barEighths = song.beatsPerBar * 2;
    std::vector<Note> notes;
    std::vector<Chord> chords;
    int melodyEighths = 0;
    int chordEighths = 0;
    if (!ParseMelody(song.melody, barEighths, &notes, &melodyEighths, error)) {
        *error = std::string(song.name) + " melody, " + *error;
        return false;
    }
    if (!ParseChords(song.chords, barEighths, &chords, &chordEighths, error)) {
        *error = std::string(song.name) + " chords, " + *error;
        return false;
    }
    if (melodyEighths != chordEighths) {
        *error = std::string(song.name) + ": melody and chords differ in length";
        return false;
    }
    const Grid grid(song.bpm);
    const bool loops = song.endSeconds <= 0;
    const size_t frames = loops ? grid.At(melodyEighths) : static_cast<size_t>(song.endSeconds * kRate);
    if (frames < grid.At(melodyEighths)) {
        *error = std::string(song.name) + ": the tune is longer than its end";
        return false;
    }
    out->audio = StereoBuffer(frames, loops);
    out->loops = loops;
    Arranger arranger(song, &out->audio);
    arranger.Chords(chords);
    arranger.Melody(notes);
    arranger.Percussion(melodyEighths);
    AddReverb(&out->audio, 0.3f);
    if (!loops)
        FadeEnd(&out->audio);
    Level(&out->audio);
    return true;
}

} // namespace music
