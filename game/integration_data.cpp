#include "game/integration_data.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "game/fixed_string.h"
#include "game/game_global_data.h"
#include "platform/sjis.h"

namespace game {

namespace {

constexpr char kEpisodeStart[] = "---EPISODE_NUM_START---";
constexpr char kEpisodeEnd[] = "---EPISODE_NUM_END---";
constexpr char kCgStart[] = "---CG_FLG_START---";
constexpr char kCgEnd[] = "---CG_FLG_END---";
constexpr char kEventStart[] = "---EVENT_FLG_START---";
constexpr char kEventEnd[] = "---EVENT_FLG_END---";
constexpr char kCharacterStart[] = "---CHARACTER_FLG_START---";
constexpr char kCharacterEnd[] = "---CHARACTER_FLG_END---";
constexpr char kAutoSkipStart[] = "---AUTO_SKIP_FILE_LIST_START---";
constexpr char kAutoSkipEnd[] = "---AUTO_SKIP_FILE_LIST_END---";
constexpr char kNull[] = "NULL";

// Lines as a 1024-byte line buffer reads them: at most 1023 bytes, a longer
// line arriving in pieces.
std::vector<std::string_view> SplitLines(std::string_view text) {
    constexpr size_t kMax = 1023;
    std::vector<std::string_view> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t n = 0;
        while (pos + n < text.size() && n < kMax) {
            ++n;
            if (text[pos + n - 1] == '\n')
                break;
        }
        lines.push_back(text.substr(pos, n));
        pos += n;
    }
    return lines;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// The first `count` blank-separated words of a line (fewer when it has fewer).
std::vector<std::string_view> Words(std::string_view line, size_t count) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (words.size() < count) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        if (i >= line.size())
            break;
        size_t start = i;
        while (i < line.size() && !IsBlank(line[i]) && line[i] != '\0')
            ++i;
        words.push_back(line.substr(start, i - start));
        if (i < line.size() && line[i] == '\0')
            break;
    }
    return words;
}

std::string_view FirstWord(std::string_view line) {
    auto w = Words(line, 1);
    return w.empty() ? std::string_view() : w[0];
}

// Decimal conversion: optional sign and digits, anything after them ignored;
// no digits, or a value outside 32 bits, gives 0.
int32_t ToInt(std::string_view word) {
    size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) {
        negative = word[i] == '-';
        ++i;
    }
    int64_t value = 0;
    bool digits = false;
    for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i) {
        digits = true;
        value = value * 10 + (word[i] - '0');
        if (value > 2147483648LL)
            return 0;
    }
    if (!digits)
        return 0;
    if (negative)
        value = -value;
    if (value > INT32_MAX || value < INT32_MIN)
        return 0;
    return static_cast<int32_t>(value);
}

int32_t WordInt(const std::vector<std::string_view>& words, size_t i) { return i < words.size() ? ToInt(words[i]) : 0; }

// Index of the line after the section's start marker, or -1 when absent.
long FindSection(const std::vector<std::string_view>& lines, const char* marker) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (plat::SjisEqualNoCase(FirstWord(lines[i]), marker))
            return static_cast<long>(i) + 1;
    }
    return -1;
}

bool IsMarker(std::string_view line, const char* marker) { return plat::SjisEqualNoCase(FirstWord(line), marker); }

void Append(std::string* out, const char* text) {
    out->append(text);
    out->push_back('\n');
}

void AppendInt(std::string* out, int32_t value) {
    char buf[16];
    snprintf(buf, sizeof(buf), "%d", value);
    Append(out, buf);
}

} // namespace

std::string FormatIntegrationData(const GAME_GLOBAL_DATA& d) {
    std::string out;
    out.reserve(16384);
    Append(&out, kEpisodeStart);
    AppendInt(&out, d.m_nTopEpisode);
    Append(&out, kEpisodeEnd);
    Append(&out, kCgStart);
    for (int e = 0; e < GAME_GLOBAL_DATA::kEpisodes; ++e) {
        for (int s = 0; s < GAME_GLOBAL_DATA::kScenes; ++s) {
            char buf[48];
            snprintf(buf, sizeof(buf), "%d %d %d ", static_cast<int32_t>(d.m_dwCgFlag[e][s][0]),
                     static_cast<int32_t>(d.m_dwCgFlag[e][s][1]), static_cast<int32_t>(d.m_dwCgFlag[e][s][2]));
            Append(&out, buf);
        }
    }
    Append(&out, kCgEnd);
    Append(&out, kEventStart);
    for (int e = 0; e < GAME_GLOBAL_DATA::kEpisodes; ++e)
        AppendInt(&out, static_cast<int32_t>(d.m_dwEventFlag[e]));
    Append(&out, kEventEnd);
    Append(&out, kCharacterStart);
    AppendInt(&out, static_cast<int32_t>(d.m_dwCharacterFlag));
    Append(&out, kCharacterEnd);
    Append(&out, kAutoSkipStart);
    for (int i = 0; i < GAME_GLOBAL_DATA::kAutoSkipCount; ++i) {
        const AUTOSKIP_FILE_DATA& a = d.m_pAutoSkip[i];
        out.append(a.IsEmpty() ? kNull : a.m_szFile);
        char buf[16];
        snprintf(buf, sizeof(buf), "\t%d", a.IsEmpty() ? 0 : a.m_nLine);
        Append(&out, buf);
    }
    Append(&out, kAutoSkipEnd);
    return out;
}

namespace {

// The lines of the file and which of them some section has read (its
// markers included).
class SectionReader {
public:
    explicit SectionReader(std::string_view text) : lines_(SplitLines(text)), read_(lines_.size(), false) {}

    long Size() const { return static_cast<long>(lines_.size()); }
    std::string_view Line(long at) const { return lines_[static_cast<size_t>(at)]; }
    bool IsEnd(long at, const char* marker) const { return at < Size() && IsMarker(Line(at), marker); }
    void Take(long at) { read_[static_cast<size_t>(at)] = true; }
    bool Taken(long at) const { return read_[static_cast<size_t>(at)]; }

    // The index of the line after the section's start marker, taken, or -1
    // when the file has no such marker.
    long Open(const char* marker) {
        const long at = FindSection(lines_, marker);
        if (at >= 0)
            Take(at - 1);
        return at;
    }
    // The end marker right after a section's lines belongs to it.
    void Close(long at, const char* marker) {
        if (IsEnd(at, marker))
            Take(at);
    }

private:
    std::vector<std::string_view> lines_;
    std::vector<bool> read_;
};

// Reads up to count lines after a section's start marker, each through
// read(k, line), until its end marker. False when the file has no start marker.
template <class Read>
bool ReadSection(SectionReader* r, const char* start, const char* end, int count, Read read) {
    long i = r->Open(start);
    if (i < 0)
        return false;
    for (int k = 0; k < count && i < r->Size() && !r->IsEnd(i, end); ++k, ++i) {
        r->Take(i);
        read(k, r->Line(i));
    }
    r->Close(i, end);
    return true;
}

bool ReadEpisode(SectionReader* r, GAME_GLOBAL_DATA* d) {
    return ReadSection(r, kEpisodeStart, kEpisodeEnd, 1, [d](int, std::string_view line) {
        const int32_t episode = ToInt(FirstWord(line));
        // The top episode only ever rises from 0.
        d->m_nTopEpisode = episode < 0 ? 0 : episode;
    });
}

bool ReadPictures(SectionReader* r, GAME_GLOBAL_DATA* d) {
    constexpr int kScenes = GAME_GLOBAL_DATA::kScenes;
    return ReadSection(r, kCgStart, kCgEnd, GAME_GLOBAL_DATA::kEpisodes * kScenes, [d](int k, std::string_view line) {
        const auto w = Words(line, 3);
        uint32_t* words = d->m_dwCgFlag[k / kScenes][k % kScenes];
        for (size_t j = 0; j < 3; ++j)
            words[j] = static_cast<uint32_t>(WordInt(w, j));
    });
}

bool ReadEvents(SectionReader* r, GAME_GLOBAL_DATA* d) {
    return ReadSection(r, kEventStart, kEventEnd, GAME_GLOBAL_DATA::kEpisodes, [d](int k, std::string_view line) {
        d->m_dwEventFlag[k] = static_cast<uint32_t>(ToInt(FirstWord(line)));
    });
}

bool ReadCharacter(SectionReader* r, GAME_GLOBAL_DATA* d) {
    return ReadSection(r, kCharacterStart, kCharacterEnd, 1, [d](int, std::string_view line) {
        d->m_dwCharacterFlag = static_cast<uint32_t>(ToInt(FirstWord(line)));
    });
}

bool ReadAutoSkip(SectionReader* r, GAME_GLOBAL_DATA* d) {
    return ReadSection(r, kAutoSkipStart, kAutoSkipEnd, GAME_GLOBAL_DATA::kAutoSkipCount,
                       [d](int k, std::string_view line) {
                           const auto w = Words(line, 2);
                           if (w.empty() || w[0].empty() || plat::SjisEqualNoCase(w[0], kNull))
                               return;
                           AUTOSKIP_FILE_DATA& a = d->m_pAutoSkip[k];
                           const std::string name(w[0]);
                           CopyFixed(a.m_szFile, name.c_str());
                           const int32_t at = WordInt(w, 1);
                           // -1 means the whole file; nothing below it is ever written.
                           a.m_nLine = at < -1 ? 0 : at;
                       });
}

// The first line holding a value that no section read (a stray or damaged
// marker on its own holds none), 1-based; 0 when there is none.
long FirstUnreadValue(const SectionReader& r) {
    for (long k = 0; k < r.Size(); ++k) {
        const std::string_view word = FirstWord(r.Line(k));
        if (!r.Taken(k) && !word.empty() && word.substr(0, 3) != "---")
            return k + 1;
    }
    return 0;
}

} // namespace

long ParseIntegrationData(std::string_view text, GAME_GLOBAL_DATA* d) {
    // An editor may put a UTF-8 byte-order mark before the first marker.
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (text.substr(0, kBom.size()) == kBom)
        text.remove_prefix(kBom.size());
    SectionReader r(text);
    bool whole = ReadEpisode(&r, d);
    whole = ReadPictures(&r, d) && whole;
    whole = ReadEvents(&r, d) && whole;
    whole = ReadCharacter(&r, d) && whole;
    whole = ReadAutoSkip(&r, d) && whole;
    // Lines past a section's count or outside every section hold nothing the
    // game reads and are simply not written again. But with a start marker
    // not found, a value no section took may be that section's own, hidden
    // by a damaged marker: writing the file would clear it.
    return whole ? 0 : FirstUnreadValue(r);
}

} // namespace game
