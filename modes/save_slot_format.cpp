#include "modes/save_slot_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/sjis.h"

namespace saveslot {

namespace {

constexpr const char* kStartMarkers[kSectionCount] = {
    "---GRAPHIC_DISP_FLG_START---", "---OBJECT_DISP_FLG_START---", "---GRAPHIC_DATA_START---",
    "---SOUND_DATA_START---",       "---VAR_DATA_START---",        "---TEXT_DATA_START---",
    "---OBJECT_DATA_START---",      "---DRAW_ORDER_DATA_START---",
};
constexpr const char* kEndMarkers[kSectionCount] = {
    "---GRAPHIC_DISP_FLG_END---", "---OBJECT_DISP_FLG_END---", "---GRAPHIC_DATA_END---", "---SOUND_DATA_END---",
    "---VAR_DATA_END---",         "---TEXT_DATA_END---",       "---OBJECT_DATA_END---",  "---DRAW_ORDER_DATA_END---",
};

// The blanks of "%s" in the "C" locale; no byte of a double-byte character
// is among them.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

} // namespace

const char* StartMarker(int section) { return kStartMarkers[section]; }
const char* EndMarker(int section) { return kEndMarkers[section]; }

std::string SlotPath(int slot) {
    if (slot < kFirstSlot || slot > kLastSlot)
        return std::string();
    char path[32];
    std::snprintf(path, sizeof(path), "%ssav%02d.sav", kFolder, slot);
    return path;
}

void LineWriter::Int(int32_t v) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof(buf), v);
    m_out->append(buf, r.ptr);
    m_out->push_back(' ');
}

void LineWriter::Float(float v) {
    char buf[64];
    const double d = std::isfinite(v) ? static_cast<double>(v) : 0.0;
    const auto r = std::to_chars(buf, buf + sizeof(buf), d, std::chars_format::fixed, 6);
    m_out->append(buf, r.ptr);
    m_out->push_back(' ');
}

void LineWriter::Text(const char* text) {
    m_out->append(text && text[0] != '\0' ? text : kNullText);
    m_out->push_back(' ');
}

void LineWriter::EndLine() {
    if (!m_out->empty() && m_out->back() == ' ')
        m_out->back() = '\n';
    else
        m_out->push_back('\n');
}

void LineWriter::Marker(const char* text) {
    m_out->append(text);
    m_out->push_back('\n');
}

void TokenLine::Split(std::string_view line) {
    m_count = 0;
    m_oversized = false;
    size_t i = 0;
    while (i < line.size() && m_count < kMaxTokens) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        const size_t start = i;
        while (i < line.size() && !IsBlank(line[i]))
            ++i;
        if (i == start)
            break;
        m_tokens[m_count++] = line.substr(start, i - start);
        if (i - start >= kTokenSize)
            m_oversized = true;
    }
}

std::string_view LineReader::Next() {
    if (m_pos >= m_data.size())
        return std::string_view();
    const size_t limit = std::min(m_data.size() - m_pos, kLineSize - 1);
    std::string_view line = m_data.substr(m_pos, limit);
    const size_t lf = line.find('\n');
    if (lf != std::string_view::npos)
        line = line.substr(0, lf + 1);
    m_pos += line.size();
    const size_t nul = line.find('\0');
    return nul == std::string_view::npos ? line : line.substr(0, nul);
}

bool ParseInt(std::string_view token, int32_t* out) {
    *out = 0;
    size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-'))
        negative = token[i++] == '-';
    int64_t v = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) {
        v = v * 10 + (token[i] - '0');
        if (v > static_cast<int64_t>(INT32_MAX) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > INT32_MAX)
        return false;
    *out = static_cast<int32_t>(v);
    return true;
}

bool ParseFloat(std::string_view token, float* out) {
    *out = 0.0f;
    size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-'))
        negative = token[i++] == '-';
    // Only a decimal number is taken: "inf", "nan" and the like are refused.
    if (i >= token.size() || !((token[i] >= '0' && token[i] <= '9') || token[i] == '.'))
        return i >= token.size() || !(token[i] == 'i' || token[i] == 'I' || token[i] == 'n' || token[i] == 'N');
    float v = 0.0f;
    const auto r = std::from_chars(token.data() + i, token.data() + token.size(), v, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range || !std::isfinite(v))
        return false;
    if (r.ec != std::errc())
        v = 0.0f;
    *out = negative ? -v : v;
    return true;
}

bool IsNullText(std::string_view token) { return plat::SjisEqualNoCase(token, kNullText); }

} // namespace saveslot
