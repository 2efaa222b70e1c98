#include "platform/log_line.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/sjis.h"

namespace plat {

void FitLogLine(std::string_view text, char* line, size_t size) {
    if (!line || size == 0)
        return;
    if (text.size() < size) {
        memcpy(line, text.data(), text.size());
        line[text.size()] = '\0';
        return;
    }
    const size_t end = (text.ends_with('\n') && size > 1) ? 1 : 0;
    const std::string_view body = text.substr(0, text.size() - end);
    const size_t room = size - 1 - end;
    // Never half a double-byte character before the line end.
    size_t cut = 0;
    while (cut < body.size()) {
        const size_t next = cut + SjisCharLength(body, cut);
        if (next > room)
            break;
        cut = next;
    }
    memcpy(line, body.data(), cut);
    if (end)
        line[cut++] = '\n';
    line[cut] = '\0';
}

void FormatLogLineV(char* line, size_t size, const char* format, va_list ap) {
    if (!line || size == 0)
        return;
    va_list again;
    va_copy(again, ap);
    const int n = vsnprintf(line, size, format, ap);
    if (n < 0) {
        line[0] = '\0';
    } else if (static_cast<size_t>(n) >= size) {
        // Whole, to see its line end, then cut.
        std::string whole(static_cast<size_t>(n) + 1, '\0');
        vsnprintf(whole.data(), whole.size(), format, again);
        whole.pop_back();
        FitLogLine(whole, line, size);
    }
    va_end(again);
}

void FormatLogLine(char* line, size_t size, const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    FormatLogLineV(line, size, format, ap);
    va_end(ap);
}

} // namespace plat
