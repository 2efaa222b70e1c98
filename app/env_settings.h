#pragma once

// The player's settings, loaded from "env.env" before the window exists and
// written back at every orderly exit. g_bDebugInfo lives in the engine
// (engine/kusystem.h) since the trace output reads it.

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

// 1 read, 0 no path or no file (defaults stay), -1 read error. Lines end at
// CR LF only; a last piece without CR LF is not a line.
int LoadEnvData(const char* path);
// 1 written, 0 no path or the file cannot be written. CR LF line ends; written
// to a temporary file that is renamed into place.
int SaveEnvData(const char* path);
