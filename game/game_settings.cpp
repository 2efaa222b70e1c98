#include "game/game_settings.h"

#include "platform/window_metrics.h"

int g_bSoundWarning = 1;
int g_bSoundEnable = 1;
unsigned int g_dwScreenBpp = 16;
int g_bFullScreen = 0;
unsigned int g_dwWindowStyle = plat::kStyleWindowAtStart;
int g_bBGMOn = 1;
int g_bVoiceOn = 1;
int g_bSEOn = 1;
unsigned int g_dwBGMVolume = 5;
unsigned int g_dwVoiceVolume = 5;
unsigned int g_dwSEVolume = 5;
unsigned int g_dwMessageSpeed = 100;
unsigned int g_dwAutoSkipSpeed = 250;
unsigned int g_dwAntiAliasLevel = 4;
int g_bMaleVoice = 1;
int g_bAutoSkip = 0;

void SetScreenModeSetting(bool full) {
    g_bFullScreen = full ? 1 : 0;
    g_dwWindowStyle = full ? plat::kStyleFullScreen : plat::kStyleWindowAtStart;
}

void SetEnvDefaults() {
    g_bSoundWarning = 1;
    g_dwScreenBpp = 16;
    SetScreenModeSetting(false);
    g_bBGMOn = 1;
    g_bVoiceOn = 1;
    g_bSEOn = 1;
    g_dwBGMVolume = 5;
    g_dwVoiceVolume = 5;
    g_dwSEVolume = 5;
    g_dwMessageSpeed = 100;
    g_dwAutoSkipSpeed = 250;
    g_dwAntiAliasLevel = 4;
}
