#include "game/integration_data.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "engine/game_paths.h"
#include "game/fixed_string.h"
#include "game/game_global_data.h"
#include "platform/debug_out.h"
#include "platform/log_line.h"
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

bool ParseIntegrationData(std::string_view text, GAME_GLOBAL_DATA* d) {
    const std::vector<std::string_view> lines = SplitLines(text);
    const long n = static_cast<long>(lines.size());
    // Lines some section has read (its markers included).
    std::vector<bool> read(lines.size(), false);
    auto take = [&](long at) { read[static_cast<size_t>(at)] = true; };
    // The end marker after a section's lines belongs to it.
    auto takeEnd = [&](long at, const char* marker) {
        if (at < n && IsMarker(lines[at], marker))
            take(at);
    };

    long i = FindSection(lines, kEpisodeStart);
    if (i >= 0) {
        take(i - 1);
        if (i < n) {
            take(i);
            int32_t episode = ToInt(FirstWord(lines[i]));
            // The top episode only ever rises from 0.
            d->m_nTopEpisode = episode < 0 ? 0 : episode;
            takeEnd(i + 1, kEpisodeEnd);
        }
    }

    i = FindSection(lines, kCgStart);
    if (i >= 0) {
        take(i - 1);
        for (int k = 0; k < GAME_GLOBAL_DATA::kEpisodes * GAME_GLOBAL_DATA::kScenes && i < n; ++k, ++i) {
            if (IsMarker(lines[i], kCgEnd))
                break;
            take(i);
            auto w = Words(lines[i], 3);
            uint32_t* words = d->m_dwCgFlag[k / GAME_GLOBAL_DATA::kScenes][k % GAME_GLOBAL_DATA::kScenes];
            for (size_t j = 0; j < 3; ++j)
                words[j] = static_cast<uint32_t>(WordInt(w, j));
        }
        takeEnd(i, kCgEnd);
    }

    i = FindSection(lines, kEventStart);
    if (i >= 0) {
        take(i - 1);
        for (int k = 0; k < GAME_GLOBAL_DATA::kEpisodes && i < n; ++k, ++i) {
            if (IsMarker(lines[i], kEventEnd))
                break;
            take(i);
            d->m_dwEventFlag[k] = static_cast<uint32_t>(ToInt(FirstWord(lines[i])));
        }
        takeEnd(i, kEventEnd);
    }

    i = FindSection(lines, kCharacterStart);
    if (i >= 0) {
        take(i - 1);
        if (i < n && !IsMarker(lines[i], kCharacterEnd)) {
            take(i);
            d->m_dwCharacterFlag = static_cast<uint32_t>(ToInt(FirstWord(lines[i])));
            ++i;
        }
        takeEnd(i, kCharacterEnd);
    }

    i = FindSection(lines, kAutoSkipStart);
    if (i >= 0) {
        take(i - 1);
        for (int k = 0; k < GAME_GLOBAL_DATA::kAutoSkipCount && i < n; ++k, ++i) {
            if (IsMarker(lines[i], kAutoSkipEnd))
                break;
            take(i);
            auto w = Words(lines[i], 2);
            AUTOSKIP_FILE_DATA& a = d->m_pAutoSkip[k];
            if (w.empty() || w[0].empty() || plat::SjisEqualNoCase(w[0], kNull))
                continue;
            std::string name(w[0]);
            CopyFixed(a.m_szFile, name.c_str());
            int32_t line = WordInt(w, 1);
            // -1 means the whole file; nothing below it is ever written.
            a.m_nLine = line < -1 ? 0 : line;
        }
        takeEnd(i, kAutoSkipEnd);
    }

    // A value no section took is one this play cannot carry: a damaged start
    // marker hides its whole section, and writing the file at exit would put
    // cleared values over the player's. Such a file is kept as it is. A
    // stray or damaged marker on its own holds no value.
    for (long k = 0; k < n; ++k) {
        const std::string_view word = FirstWord(lines[k]);
        if (!read[static_cast<size_t>(k)] && !word.empty() && word.substr(0, 3) != "---") {
            d->m_bFileKept = 1;
            char line[512];
            plat::FormatLogLine(line, sizeof(line),
                                "Warn: <ParseIntegrationData> %s の%ld行目を読めません。読めた分で続け、"
                                "このファイルは書き換えません\n",
                                kIntegrationFile, k + 1);
            plat::DebugOut(line);
            return false;
        }
    }
    return true;
}

} // namespace game
