#pragma once

// The game folder's files and folders. The program makes the folder that
// holds it the working directory at start, so every path is relative to it.

// Combined archives of the game's data.
constexpr const char kScenarioArchive[] = "dat/Scenario.dat";
constexpr const char kImageArchive[] = "dat/Img.dat";
constexpr const char kMovieArchive[] = "dat/Mov.dat";
// The media slots' own archive (opened where it lies, never extracted).
constexpr const char kMediaArchive[] = "dat/Movie.dat";
constexpr const char kVoiceArchive[] = "dat/VO.dat";
constexpr const char kBgmArchive[] = "dat/BGM.dat";
constexpr const char kSeArchive[] = "dat/SE.dat";

// Members taken out of the archives live here while in use.
constexpr const char kTempFolder[] = "tmp/";
constexpr const char kTempFolderName[] = "tmp";
// Save slots and the cross-play data.
constexpr const char kSaveFolder[] = "sav/";
constexpr const char kIntegrationFile[] = "sav/sav00.sav";

constexpr const char kSettingsFile[] = "env.env";
constexpr const char kCursorFile[] = "cursor.txt";
constexpr const char kTraceFile[] = "trace.txt";
