#include "platform/debug_out.h"

#include <cstdio>
#include <cstring>

#include "platform/log_line.h"
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
    // Without its line end, cut on a character boundary.
    FitLogLine(std::string_view(at, strcspn(at, "\r\n")), g_lastError, sizeof(g_lastError));
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
