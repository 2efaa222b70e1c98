#include "platform/debug_out.h"

#include <cstdio>
#include <cstring>

#include "platform/sjis.h"

namespace plat {

namespace {
// Never destroyed: objects destroyed at exit (the global system object empties
// "tmp/" then) may still log after this file's globals would be gone.
DebugSink& Sink() {
    static DebugSink* sink = new DebugSink;
    return *sink;
}

// A plain buffer: it outlives every object that may still log at exit.
char g_lastError[512];

void RememberError(const char* text) {
    const char* at = text;
    if (*at == '[') {
        const char* close = strstr(at, "] ");
        if (!close)
            return;
        at = close + 2;
    }
    if (strncmp(at, "Error:", 6) != 0)
        return;
    size_t n = strcspn(at, "\r\n");
    if (n >= sizeof(g_lastError))
        n = sizeof(g_lastError) - 1;
    // Never end on the lead byte of a cut double-byte character.
    size_t end = 0;
    while (end < n) {
        size_t len = IsSjisLeadByte(static_cast<uint8_t>(at[end])) ? 2 : 1;
        if (end + len > n)
            break;
        end += len;
    }
    memcpy(g_lastError, at, end);
    g_lastError[end] = '\0';
}
} // namespace

void DebugOut(const char* sjisText) {
    if (!sjisText)
        return;
    RememberError(sjisText);
    if (DebugSink& sink = Sink()) {
        sink(sjisText);
        return;
    }
    std::string utf8 = SjisToUtf8(sjisText);
    fputs(utf8.c_str(), stderr);
}

std::string LastErrorLine() { return g_lastError; }
void ClearLastErrorLine() { g_lastError[0] = '\0'; }

void SetDebugSink(DebugSink sink) { Sink() = std::move(sink); }

} // namespace plat
