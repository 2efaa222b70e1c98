#pragma once
#include <string>
#include <vector>

// Records the shell service calls the modes make, one line per call, e.g.
// "SEPlay 9", "GraphicLoad 5", "VoicePlay con03.mp3".
namespace fakesvc {

std::vector<std::string>& Calls();
void Reset();
int Count(const std::string& call);
// Reset() installs the fakes as the shell's services; with engineEffects the
// sound-effect calls go to the engine's own services instead.
void InstallFakes(bool engineEffects = false);
// The failing slot for GraphicLoad (-1: none fails).
extern int g_failGraphicSlot;
extern int g_cursorCount;
extern int g_menuAttached;
// Where the quit path writes the settings (null: nowhere).
extern int (*g_saveSettings)(const char*);

} // namespace fakesvc
