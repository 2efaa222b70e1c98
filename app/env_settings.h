#pragma once

// The reader and writer of "env.env", the player's settings file. The
// settings themselves are below the modes that read them.
#include "game/game_settings.h"

// 1 read, 0 no path or no file (defaults stay), -1 read error. Lines end at
// CR LF only; a last piece without CR LF is not a line.
int LoadEnvData(const char* path);
// 1 written, 0 no path or the file cannot be written. CR LF line ends; written
// to a temporary file that is renamed into place.
int SaveEnvData(const char* path);
