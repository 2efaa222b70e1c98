#pragma once
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/trace_line.h"
#include "platform/log_line.h"

// Helpers the system object's files share.
namespace kusys {

// Formats a message holding one %s argument into a bounded line.
inline std::string FormatPath(const char* format, const std::string& path) {
    char line[kTraceLineBytes];
    plat::FormatLogLine(line, sizeof(line), format, path.c_str());
    return line;
}

// Copies at most size-1 bytes and terminates; the destination holds size bytes.
inline void CopyBounded(char* dest, size_t size, std::string_view src) {
    size_t n = std::min(src.size(), size - 1);
    memcpy(dest, src.data(), n);
    dest[n] = '\0';
}

} // namespace kusys
