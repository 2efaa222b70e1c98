#include "tests/modes/fake_services.h"

#include <algorithm>

#include "flow/game_main.h"
#include "game/engine_services.h"
#include "game/shell_services.h"

namespace fakesvc {

int g_failGraphicSlot = -1;
int g_cursorCount = 0;
int g_menuAttached = 1;
int (*g_saveSettings)(const char*) = nullptr;

std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
}

void Reset() {
    Calls().clear();
    g_failGraphicSlot = -1;
    g_cursorCount = 0;
    g_menuAttached = 1;
    g_saveSettings = nullptr;
    InstallFakes();
}

int Count(const std::string& call) { return static_cast<int>(std::count(Calls().begin(), Calls().end(), call)); }

namespace {
int Rec(const std::string& s) {
    Calls().push_back(s);
    return 1;
}
} // namespace

namespace {

int GraphicLoad(KUSPRITE2*, KUSYSTEM*, int slot) {
    Rec("GraphicLoad " + std::to_string(slot));
    return slot == g_failGraphicSlot ? 0 : 1;
}
int GraphicUnload(KUSPRITE2*, KUSYSTEM*, int slot) { return Rec("GraphicUnload " + std::to_string(slot)); }
int SELoad(KUSND*, KUSYSTEM*, int slot, const char*) { return Rec("SELoad " + std::to_string(slot)); }
int SEUnload(KUSND*, KUSYSTEM*, int slot) { return Rec("SEUnload " + std::to_string(slot)); }
int SESetVolume(KUSND*, KUSYSTEM*, int step) { return Rec("SESetVolume " + std::to_string(step)); }
int SEPlay(KUSND*, KUSYSTEM*, int slot, int) { return Rec("SEPlay " + std::to_string(slot)); }
int VoiceSetVolume(KUSND*, KUSYSTEM*, int step) { return Rec("VoiceSetVolume " + std::to_string(step)); }
int VoicePlay(KUSND*, KUSYSTEM*, const char* file) { return Rec(std::string("VoicePlay ") + file); }
int VoiceStop(KUSND*, KUSYSTEM*) { return Rec("VoiceStop"); }
int BGM_DS_Play(KUSND*, KUSYSTEM*, int loop, const char* file) {
    return Rec("BGM_DS_Play " + std::to_string(loop) + " " + file);
}
int BGM_DS_Stop(KUSND*, KUSYSTEM*) { return Rec("BGM_DS_Stop"); }
int BGM_DS_SetVolume(KUSND*, KUSYSTEM*, int step) { return Rec("BGM_DS_SetVolume " + std::to_string(step)); }
int ChangeScreenMode(int full, int bpp) {
    return Rec("ChangeScreenMode " + std::to_string(full) + " " + std::to_string(bpp));
}
int LibraryRelease() {
    Rec("LibraryRelease");
    return 1;
}
void PostQuitMessage(int code) { Rec("PostQuitMessage " + std::to_string(code)); }
int ShowCursor(int show) {
    g_cursorCount += show ? 1 : -1;
    return g_cursorCount;
}
void SetMenuAttached(int attached) { g_menuAttached = attached; }
void ApplyWindowStyle(unsigned int) { Rec("ApplyWindowStyle"); }
int SaveSettings(const char* path) { return g_saveSettings ? g_saveSettings(path) : 1; }

} // namespace

void InstallFakes(bool engineEffects) {
    SHELL_SERVICES s{};
    s.graphicLoad = &GraphicLoad;
    s.graphicUnload = &GraphicUnload;
    if (!engineEffects) { // a null entry is the engine's
        s.seLoad = &SELoad;
        s.seUnload = &SEUnload;
        s.seSetVolume = &SESetVolume;
        s.sePlay = &SEPlay;
    }
    s.voiceSetVolume = &VoiceSetVolume;
    s.voicePlay = &VoicePlay;
    s.voiceStop = &VoiceStop;
    s.bgmDsPlay = &BGM_DS_Play;
    s.bgmDsStop = &BGM_DS_Stop;
    s.bgmDsSetVolume = &BGM_DS_SetVolume;
    s.changeScreenMode = &ChangeScreenMode;
    s.libraryRelease = &LibraryRelease;
    s.saveSettings = &SaveSettings;
    s.postQuitMessage = &PostQuitMessage;
    s.showCursor = &ShowCursor;
    s.setMenuAttached = &SetMenuAttached;
    s.applyWindowStyle = &ApplyWindowStyle;
    SetShellServices(s);
}

} // namespace fakesvc

int GAME_MAIN::DataSet() { return fakesvc::Rec("DataSet"); }
