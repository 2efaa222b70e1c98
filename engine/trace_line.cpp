#include "engine/trace_line.h"

#include <cstdio>
#include <string_view>

#include "platform/local_time.h"
#include "platform/sjis.h"

void FormatTraceLine(const char* message, char* line, size_t size) {
    if (!line || size == 0)
        return;
    const plat::LocalTime t = plat::GetLocalTime();
    int n = snprintf(line, size, "[%d/%.2d/%.2d %.2d:%.2d:%.2d] %s", t.year, t.month, t.day, t.hour, t.minute,
                     t.second, message ? message : "");
    if (n < 0 || static_cast<size_t>(n) < size)
        return;
    // Cut on a character boundary rather than leave half a double-byte
    // character at the end.
    const std::string_view s(line);
    size_t end = 0;
    while (end < s.size()) {
        size_t next = end + plat::SjisCharLength(s, end);
        if (next > s.size() || (next == s.size() && plat::IsSjisLeadByte(static_cast<uint8_t>(s[end]))))
            break;
        end = next;
    }
    line[end] = '\0';
}
