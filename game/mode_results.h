#pragma once

// What every mode object's MainProc may return besides its own results: the
// game object keeps the mode running on kModeRunning and ends the program on
// kModeFailed.
constexpr int kModeRunning = 0;
constexpr int kModeFailed = -1;
