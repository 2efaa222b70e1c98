#include "platform/debug_out.h"

#include <cstdio>

#include "platform/sjis.h"

namespace plat {

namespace {
// Never destroyed: objects destroyed at exit (the global system object empties
// "tmp/" then) may still log after this file's globals would be gone.
DebugSink& Sink() {
    static DebugSink* sink = new DebugSink;
    return *sink;
}
} // namespace

void DebugOut(const char* sjisText) {
    if (!sjisText)
        return;
    if (DebugSink& sink = Sink()) {
        sink(sjisText);
        return;
    }
    std::string utf8 = SjisToUtf8(sjisText);
    fputs(utf8.c_str(), stderr);
}

void SetDebugSink(DebugSink sink) { Sink() = std::move(sink); }

} // namespace plat
