#pragma once

// The reader and writer of "env.env", the player's settings file. The
// settings themselves are below the modes that read them.
#include "game/game_settings.h"

// 1 read, 0 no path or no file (defaults stay), -1 read error. Lines end at
// LF or CR LF; a last piece without its LF is not a line. A file that exists
// but cannot be read whole (no permission, not a regular file, too large, a
// read error) is logged by name and left alone by SaveEnvData.
int LoadEnvData(const char* path);
// 1 written, 0 no path, the file cannot be written or is one LoadEnvData
// could not read. CR LF line ends; written to a temporary file that is
// renamed into place.
int SaveEnvData(const char* path);
