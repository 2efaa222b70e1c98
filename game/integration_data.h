#pragma once
#include <string>
#include <string_view>

class GAME_GLOBAL_DATA;

namespace game {

// The text of "sav/sav00.sav": 671 lines, each ending in LF.
std::string FormatIntegrationData(const GAME_GLOBAL_DATA& data);

// Reads the text of "sav/sav00.sav" into data, which the caller has cleared.
// Each section is found by its start marker anywhere in the file; a damaged
// file is read as far as its markers and lines allow, unreadable or
// out-of-range numbers read as 0. False, with data->m_bFileKept set and a
// line logged, when a line holding anything lies outside every section read
// (a damaged marker, a line out of place): the file is then not written over.
bool ParseIntegrationData(std::string_view text, GAME_GLOBAL_DATA* data);

} // namespace game
