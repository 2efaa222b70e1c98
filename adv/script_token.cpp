#include "adv/script_token.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/sjis.h"

namespace adv {

namespace {

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Copies [begin, begin + length) into a token field, cut on a character
// boundary when it does not fit.
void CopyToken(ScriptToken& dest, const char* begin, size_t length) {
    const std::string_view s(begin, length);
    size_t end = 0;
    while (end < s.size()) {
        size_t next = end + plat::SjisCharLength(s, end);
        if (next > sizeof(dest) - 1)
            break;
        end = next;
    }
    memcpy(dest, begin, end);
    dest[end] = '\0';
}

} // namespace

int SplitScriptLine(const char* line, ScriptToken* tokens, int maxTokens) {
    for (int i = 0; i < maxTokens; ++i)
        tokens[i][0] = '\0';
    if (!line)
        return 0;
    int count = 0;
    const char* p = line;
    while (count < maxTokens) {
        while (*p != '\0' && IsSeparator(*p))
            ++p;
        if (*p == '\0')
            break;
        const char* start = p;
        // Shift-JIS trail bytes are never blanks or line breaks, so a
        // byte-wise scan cannot split a character.
        while (*p != '\0' && !IsSeparator(*p))
            ++p;
        CopyToken(tokens[count++], start, static_cast<size_t>(p - start));
    }
    return count;
}

bool ScriptWordEqual(const char* a, const char* b) {
    if (!a || !b)
        return false;
    return plat::SjisEqualNoCase(a, b);
}

int32_t ScriptInt(const char* text) {
    if (!text)
        return 0;
    long long v = strtoll(text, nullptr, 10);
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

} // namespace adv
