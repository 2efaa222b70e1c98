#pragma once
#include <cstddef>

// One line of the log as the system object writes it: the local time in
// brackets, then the message, cut on a character boundary to fit size bytes
// with its line end kept.
// Free functions that speak outside the system object's own log (the work
// folder made again by FileDiv) use it too, so every line reads alike.
constexpr size_t kTraceLineBytes = 512;
void FormatTraceLine(const char* message, char* line, size_t size);
