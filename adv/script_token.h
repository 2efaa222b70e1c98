#pragma once
#include <cstddef>
#include <cstdint>

#include "game/script_command_data.h"

namespace adv {

using ScriptToken = char[SCRIPT_COMMAND_DATA::kTextSize];

// Cuts a script line at blanks, tabs and line breaks into at most
// `maxTokens` tokens, each cut to fit its field without splitting a
// double-byte character. Unused tokens are emptied. Returns the count.
int SplitScriptLine(const char* line, ScriptToken* tokens, int maxTokens);

// Script keywords, IDs and words: ASCII letters fold, double-byte
// characters compare exactly.
bool ScriptWordEqual(const char* a, const char* b);

// A decimal integer as the scripts write them: leading blanks and a sign,
// digits up to the first other byte, 0 for no number. Values beyond the
// 32-bit range stop at its ends instead of wrapping.
int32_t ScriptInt(const char* text);

// A decimal fraction as the scripts write coordinates and scales: 0 for no
// number; values beyond what a float holds stop at +-1e9.
float ScriptFloat(const char* text);

// A line that a block search waits for: its keyword, the token that holds
// the block ID, and for branch lines the token and value of the branch number
// (numberToken 0: not compared).
struct BlockMark {
    const char* keyword;
    int idToken;
    int numberToken;
    int32_t number;
};

} // namespace adv
