#pragma once
#include <string>

// Scrambles plain Shift-JIS text into a "KUCODE NLINE-NO-ENCODE" file whose
// every line the engine's line reader reads back unchanged. The header ends
// in CR LF so that it is a line of its own (an LF-only header would swallow
// the first script line).

constexpr size_t kScriptLineLimit = 511; // bytes per line with its CR LF (512-byte readers)

// Why the text cannot be read back line by line; empty when it can.
std::string CheckScriptText(const std::string& plain, size_t lineLimit = kScriptLineLimit);

// Header + scrambled body. Call CheckScriptText first.
std::string ScrambleScript(const std::string& plain);

// CheckScriptText + ScrambleScript + write (through a temporary file renamed into place).
bool WriteScript(const std::string& path, const std::string& plain, std::string* error,
                 size_t lineLimit = kScriptLineLimit);
