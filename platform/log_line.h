#pragma once
#include <cstdarg>
#include <cstddef>
#include <string_view>

namespace plat {

// Log lines in bounded buffers. A text too long for its line is cut on a
// character boundary before its line end ("\n"), which is kept: the next line
// never runs into a cut one. A text without a line end (a line the next
// message goes on) is cut without one.

// Copies text into line, which holds size bytes.
void FitLogLine(std::string_view text, char* line, size_t size);

// Formats into line like snprintf, cut as FitLogLine cuts.
void FormatLogLine(char* line, size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));
void FormatLogLineV(char* line, size_t size, const char* format, va_list ap) __attribute__((format(printf, 3, 0)));

} // namespace plat
