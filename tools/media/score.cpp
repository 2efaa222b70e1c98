#include "tools/media/score.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace music {
namespace {

// C D E F G A B as semitones above C.
int PitchClass(char letter) {
    static const int kClass[7] = {9, 11, 0, 2, 4, 5, 7}; // a..g
    return letter >= 'a' && letter <= 'g' ? kClass[letter - 'a'] : -1;
}

// Splits "name:len" and reads the length; keeps *length when there is none.
bool SplitLength(const std::string& token, std::string* name, int* length) {
    const size_t colon = token.find(':');
    *name = token.substr(0, colon);
    if (colon == std::string::npos)
        return true;
    char* end = nullptr;
    const long n = std::strtol(token.c_str() + colon + 1, &end, 10);
    if (end == token.c_str() + colon + 1 || *end != '\0' || n <= 0 || n > 64)
        return false;
    *length = static_cast<int>(n);
    return true;
}

// "f#5" -> 78; -1 when it is not a note.
int NoteNumber(const std::string& name) {
    if (name.size() < 2)
        return -1;
    int pc = PitchClass(static_cast<char>(std::tolower(static_cast<unsigned char>(name[0]))));
    if (pc < 0)
        return -1;
    size_t at = 1;
    if (name.size() == 3 && (name[1] == '#' || name[1] == 'b')) {
        pc += name[1] == '#' ? 1 : -1;
        at = 2;
    }
    if (at + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[at])))
        return -1;
    return 12 * (name[at] - '0' + 1) + pc;
}

// "Bbmaj7" -> root 10, {0, 4, 7, 11}.
bool ChordSymbol(const std::string& name, Chord* chord) {
    if (name.empty())
        return false;
    int pc = PitchClass(static_cast<char>(std::tolower(static_cast<unsigned char>(name[0]))));
    if (pc < 0)
        return false;
    size_t at = 1;
    if (at < name.size() && (name[at] == '#' || name[at] == 'b')) {
        pc += name[at] == '#' ? 1 : -1;
        ++at;
    }
    static const struct {
        const char* suffix;
        std::vector<int> intervals;
    } kQualities[] = {{"", {0, 4, 7}},         {"m", {0, 3, 7}},         {"7", {0, 4, 7, 10}},
                      {"maj7", {0, 4, 7, 11}}, {"m7", {0, 3, 7, 10}},    {"sus4", {0, 5, 7}},
                      {"dim", {0, 3, 6}},      {"add9", {0, 4, 7, 14}}};
    const std::string suffix = name.substr(at);
    for (const auto& q : kQualities) {
        if (suffix == q.suffix) {
            chord->root = (pc + 12) % 12;
            chord->intervals = q.intervals;
            return true;
        }
    }
    return false;
}

// Walks the bars of a line, handing each token and its length to `take`.
// A melody's note without a length keeps the previous one's; a chord without
// one fills its bar.
template <typename Take>
bool WalkBars(const std::string& text, int eighthsPerBar, bool sticky, int* totalEighths, std::string* error,
              Take take) {
    std::stringstream bars(text);
    std::string bar;
    int barIndex = 0;
    int position = 0;
    int length = 2;
    while (std::getline(bars, bar, '|')) {
        std::stringstream tokens(bar);
        std::string token;
        int filled = 0;
        bool any = false;
        while (tokens >> token) {
            any = true;
            std::string name;
            if (!sticky)
                length = eighthsPerBar;
            if (!SplitLength(token, &name, &length) || !take(name, position, length)) {
                *error = "bar " + std::to_string(barIndex + 1) + ": bad token \"" + token + "\"";
                return false;
            }
            filled += length;
            position += length;
        }
        if (!any && bars.eof())
            break; // a trailing '|'
        if (filled != eighthsPerBar) {
            *error = "bar " + std::to_string(barIndex + 1) + " holds " + std::to_string(filled) + " eighths, not " +
                     std::to_string(eighthsPerBar);
            return false;
        }
        ++barIndex;
    }
    *totalEighths = position;
    if (position == 0)
        *error = "no bars";
    return position > 0;
}

} // namespace

bool ParseMelody(const std::string& text, int eighthsPerBar, std::vector<Note>* out, int* totalEighths,
                 std::string* error) {
    out->clear();
    return WalkBars(text, eighthsPerBar, true, totalEighths, error, [out](const std::string& name, int at, int length) {
        if (name == "r")
            return true;
        if (name == "~") {
            if (out->empty() || out->back().start + out->back().length != at)
                return false;
            out->back().length += length;
            return true;
        }
        const int midi = NoteNumber(name);
        if (midi < 0)
            return false;
        out->push_back(Note{at, length, midi});
        return true;
    });
}

bool ParseChords(const std::string& text, int eighthsPerBar, std::vector<Chord>* out, int* totalEighths,
                 std::string* error) {
    out->clear();
    return WalkBars(text, eighthsPerBar, false, totalEighths, error, [out](const std::string& name, int at, int length) {
        Chord chord;
        if (!ChordSymbol(name, &chord))
            return false;
        chord.start = at;
        chord.length = length;
        out->push_back(chord);
        return true;
    });
}

} // namespace music
