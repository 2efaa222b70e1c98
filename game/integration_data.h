#pragma once
#include <string>
#include <string_view>

class GAME_GLOBAL_DATA;

namespace game {

// The text of "sav/sav00.sav": 671 lines, each ending in LF.
std::string FormatIntegrationData(const GAME_GLOBAL_DATA& data);

// Reads the text of "sav/sav00.sav" into data, which the caller has cleared.
// A UTF-8 byte-order mark before it is passed over. Each section is found
// by its start marker anywhere in the file; a damaged file is read as far as
// its markers and lines allow, unreadable or out-of-range numbers read as 0.
// The result is the line (from 1) of the first value that may belong to a
// section whose start marker was not found, which writing the file would
// clear; 0 when writing it loses nothing the game reads.
long ParseIntegrationData(std::string_view text, GAME_GLOBAL_DATA* data);

} // namespace game
