#pragma once
#include <string>

// "line 0" to "line <count - 1>", each ended by CR LF: a text many buffers
// long that every script reader takes.
inline std::string NumberedLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    return text;
}
