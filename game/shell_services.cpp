#include "game/shell_services.h"

#include "game/engine_services.h"
#include "platform/cursor.h"
#include "platform/window.h"

int g_bLibraryInit = 0;
int g_bMoviePlay = 0;
int g_bMoviePlayOld = 0;

namespace {

int NoScreenModeChange(int, int) { return 0; }
int NoLibraryRelease() { return 0; }
int NoSettingsFile(const char*) { return 0; }
void QuitMessage(int exitCode) { plat::PostQuitMessage(exitCode); }
int CursorCount(int show) { return plat::ShowCursor(show != 0); }
void NoMenuBar(int) {}
void NoWindowStyle(unsigned int) {}

constexpr SHELL_SERVICES kBuiltIn = {
    &game::GraphicLoad,  &game::GraphicUnload, &game::SELoad,         &game::SEUnload,
    &game::SESetVolume,  &game::SEPlay,        &game::VoiceSetVolume, &game::VoicePlay,
    &game::VoiceStop,    &game::BGM_DS_Play,   &game::BGM_DS_Stop,    &game::BGM_DS_SetVolume,
    &NoScreenModeChange, &NoLibraryRelease,    &NoSettingsFile,       &QuitMessage,
    &CursorCount,        &NoMenuBar,           &NoWindowStyle,
};

// Constant-initialised, so it is in place before any start-up code installs
// another table.
SHELL_SERVICES g_services = kBuiltIn;

template <class F>
void Take(F& to, F from, F builtIn) {
    to = from ? from : builtIn;
}

} // namespace

void SetShellServices(const SHELL_SERVICES& s) {
    const SHELL_SERVICES& b = kBuiltIn;
    SHELL_SERVICES& to = g_services;
    Take(to.graphicLoad, s.graphicLoad, b.graphicLoad);
    Take(to.graphicUnload, s.graphicUnload, b.graphicUnload);
    Take(to.seLoad, s.seLoad, b.seLoad);
    Take(to.seUnload, s.seUnload, b.seUnload);
    Take(to.seSetVolume, s.seSetVolume, b.seSetVolume);
    Take(to.sePlay, s.sePlay, b.sePlay);
    Take(to.voiceSetVolume, s.voiceSetVolume, b.voiceSetVolume);
    Take(to.voicePlay, s.voicePlay, b.voicePlay);
    Take(to.voiceStop, s.voiceStop, b.voiceStop);
    Take(to.bgmDsPlay, s.bgmDsPlay, b.bgmDsPlay);
    Take(to.bgmDsStop, s.bgmDsStop, b.bgmDsStop);
    Take(to.bgmDsSetVolume, s.bgmDsSetVolume, b.bgmDsSetVolume);
    Take(to.changeScreenMode, s.changeScreenMode, b.changeScreenMode);
    Take(to.libraryRelease, s.libraryRelease, b.libraryRelease);
    Take(to.saveSettings, s.saveSettings, b.saveSettings);
    Take(to.postQuitMessage, s.postQuitMessage, b.postQuitMessage);
    Take(to.showCursor, s.showCursor, b.showCursor);
    Take(to.setMenuAttached, s.setMenuAttached, b.setMenuAttached);
    Take(to.applyWindowStyle, s.applyWindowStyle, b.applyWindowStyle);
}

int GraphicLoad(KUSPRITE2* sprite, KUSYSTEM* sys, int slot) { return g_services.graphicLoad(sprite, sys, slot); }
int GraphicUnload(KUSPRITE2* sprite, KUSYSTEM* sys, int slot) { return g_services.graphicUnload(sprite, sys, slot); }
int SELoad(KUSND* snd, KUSYSTEM* sys, int slot, const char* file) { return g_services.seLoad(snd, sys, slot, file); }
int SEUnload(KUSND* snd, KUSYSTEM* sys, int slot) { return g_services.seUnload(snd, sys, slot); }
int SESetVolume(KUSND* snd, KUSYSTEM* sys, int step) { return g_services.seSetVolume(snd, sys, step); }
int SEPlay(KUSND* snd, KUSYSTEM* sys, int slot, int loop) { return g_services.sePlay(snd, sys, slot, loop); }
int VoiceSetVolume(KUSND* snd, KUSYSTEM* sys, int step) { return g_services.voiceSetVolume(snd, sys, step); }
int VoicePlay(KUSND* snd, KUSYSTEM* sys, const char* file) { return g_services.voicePlay(snd, sys, file); }
int VoiceStop(KUSND* snd, KUSYSTEM* sys) { return g_services.voiceStop(snd, sys); }
int BGM_DS_Play(KUSND* snd, KUSYSTEM* sys, int loop, const char* file) {
    return g_services.bgmDsPlay(snd, sys, loop, file);
}
int BGM_DS_Stop(KUSND* snd, KUSYSTEM* sys) { return g_services.bgmDsStop(snd, sys); }
int BGM_DS_SetVolume(KUSND* snd, KUSYSTEM* sys, int step) { return g_services.bgmDsSetVolume(snd, sys, step); }
int ChangeScreenMode(int fullScreen, int bpp) { return g_services.changeScreenMode(fullScreen, bpp); }
int LibraryRelease() { return g_services.libraryRelease(); }
int SaveSettings(const char* path) { return g_services.saveSettings(path); }
void PostQuitMessage(int exitCode) { g_services.postQuitMessage(exitCode); }
int ShowCursor(int show) { return g_services.showCursor(show); }
void SetMenuAttached(int attached) { g_services.setMenuAttached(attached); }
void ApplyWindowStyle(unsigned int style) { g_services.applyWindowStyle(style); }
