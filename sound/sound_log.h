#pragma once
#include <string>

class KUSYSTEM;

namespace snd {

// One log line of the sound engine: kind ("Error", "Warn", "Message"), the
// class and method tag, a blank, the text and a line feed. It goes through the
// system object's trace output, or straight to the debugger output without one.
void LogLine(KUSYSTEM* sys, const char* kind, const char* tag, const char* text);

// The same with a text of its own shape (already ending in "\n").
void LogRaw(KUSYSTEM* sys, const std::string& line);

} // namespace snd
