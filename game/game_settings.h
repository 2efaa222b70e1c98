#pragma once

// The player's settings the game, the modes and the scene objects read and
// change. The shell loads them from "env.env" before the window exists and
// writes them back at every orderly exit (app/env_settings.h). g_bDebugInfo
// lives in the engine (engine/kusystem.h) since the trace output reads it.

extern int g_bSoundWarning; // show the no-sound-device warning at start
extern int g_bSoundEnable; // a sound device is in use (not reset by the reader)
extern unsigned int g_dwScreenBpp; // 32, 24 or 16
extern int g_bFullScreen;
extern unsigned int g_dwWindowStyle; // kept in step with g_bFullScreen
extern int g_bBGMOn;
extern int g_bVoiceOn;
extern int g_bSEOn;
extern unsigned int g_dwBGMVolume; // volume steps 0..10
extern unsigned int g_dwVoiceVolume;
extern unsigned int g_dwSEVolume;
extern unsigned int g_dwMessageSpeed; // ms per character
extern unsigned int g_dwAutoSkipSpeed; // ms
extern unsigned int g_dwAntiAliasLevel; // 0, 1, 2 or 4
extern int g_bMaleVoice; // not reset by the reader
extern int g_bAutoSkip; // never stored

// Resets what the reader resets (everything but the sound-device, male-voice
// and debug flags) to the start values.
void SetEnvDefaults();

// Sets g_bFullScreen and the window style that goes with it at start.
void SetScreenModeSetting(bool full);
