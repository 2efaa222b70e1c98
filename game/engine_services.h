#pragma once
#include <cstdint>

// The functions the game calls are declared with the rest of what it asks of
// the shell; the ones below only the shell and the screens' tests use.
#include "game/shell_services.h"

class KUSYSTEM;
class KUSPRITE2;
class KUSND;

// Load, play and volume functions over the renderer and the sound system.
// 1 success, 0 failure (logged). While no sound device is in use
// (g_bSoundEnable clear) every sound function but the movie ones returns 1 at
// once and does nothing.

// Volume step 0..10 to hundredths of a decibel; any other step is silence.
int VolumeStepToDirectMusic(unsigned int step); // silence -9600
int VolumeStepToDirectShow(unsigned int step); // silence -10000

// The engine's own services behind GraphicLoad and the others of
// game/shell_services.h, which reach them unless a test installs its own.
namespace game {
int GraphicLoad(KUSPRITE2* sprite, KUSYSTEM* sys, int slot);
int GraphicUnload(KUSPRITE2* sprite, KUSYSTEM* sys, int slot);
int SELoad(KUSND* snd, KUSYSTEM* sys, int slot, const char* file);
int SEUnload(KUSND* snd, KUSYSTEM* sys, int slot);
int SESetVolume(KUSND* snd, KUSYSTEM* sys, int step);
int SEPlay(KUSND* snd, KUSYSTEM* sys, int slot, int loop);
int VoiceSetVolume(KUSND* snd, KUSYSTEM* sys, int step);
int VoicePlay(KUSND* snd, KUSYSTEM* sys, const char* file);
int VoiceStop(KUSND* snd, KUSYSTEM* sys);
int BGM_DS_Play(KUSND* snd, KUSYSTEM* sys, int loop, const char* file);
int BGM_DS_Stop(KUSND* snd, KUSYSTEM* sys);
int BGM_DS_SetVolume(KUSND* snd, KUSYSTEM* sys, int step);
} // namespace game

int SEStop(KUSND* snd, KUSYSTEM* sys, int slot);

int BGM_DA_Load(KUSND* snd, KUSYSTEM* sys, const char* file, int loadFlag);
int BGM_DA_Unload(KUSND* snd, KUSYSTEM* sys);
int BGM_DA_SetVolume(KUSND* snd, KUSYSTEM* sys, int step);
int BGM_DA_Play(KUSND* snd, KUSYSTEM* sys, int loop, const char* file, int loadFlag);
int BGM_DA_Stop(KUSND* snd, KUSYSTEM* sys);

int MoviePlay(KUSPRITE2* sprite, KUSND* snd, KUSYSTEM* sys, const char* folder, const char* file, int volume);
int MovieStop(KUSND* snd, KUSYSTEM* sys);
