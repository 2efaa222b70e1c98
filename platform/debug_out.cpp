#include "platform/debug_out.h"

#include <cstdio>

#include "platform/sjis.h"

namespace plat {

namespace {
DebugSink g_sink;
}

void DebugOut(const char* sjisText) {
    if (!sjisText) return;
    if (g_sink) {
        g_sink(sjisText);
        return;
    }
    std::string utf8 = SjisToUtf8(sjisText);
    fputs(utf8.c_str(), stderr);
}

void SetDebugSink(DebugSink sink) { g_sink = std::move(sink); }

}  // namespace plat
