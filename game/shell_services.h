#pragma once

class KUSYSTEM;
class KUSPRITE2;
class KUSND;

// Load, play and volume services and window services that the game object,
// the modes and the scene objects call (1 success, 0 failure; without a
// sound device every sound call succeeds at once). Each forwards to the
// table in use: the load, play and volume services default to the engine's
// (game/engine_services.h); the window services are the shell's (app/),
// which installs its table before the program starts.
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

// Switches between window and full screen and sets the colour depth (0: the
// configured one); 1 done, 0 failure (logged).
int ChangeScreenMode(int fullScreen, int bpp);

// Set while the engine objects are started; the quit path releases them once.
extern int g_bLibraryInit;
// Releases the game object and the engine objects (orderly exit).
int LibraryRelease();
// Writes the player's settings to a file (1 written, 0 not).
int SaveSettings(const char* path);
// Asks the message loop to end after the current frame.
void PostQuitMessage(int exitCode);

// Window state the demo movie changes.
extern int g_bMoviePlay; // a movie covers the window: no frames are drawn
extern int g_bMoviePlayOld; // its value in the last frame
// The cursor's display counter: hide (0) decrements, show (1) increments;
// returns the new count; the cursor is visible while it is 0 or more.
int ShowCursor(int show);
// Detaches (0) or attaches (1) the window's menu bar.
void SetMenuAttached(int attached);
// Applies a window style (the movie's popup style in full screen) and
// redraws the frame without moving or resizing the window.
void ApplyWindowStyle(unsigned int style);

// The table the functions above forward to.
struct SHELL_SERVICES {
    int (*graphicLoad)(KUSPRITE2*, KUSYSTEM*, int);
    int (*graphicUnload)(KUSPRITE2*, KUSYSTEM*, int);
    int (*seLoad)(KUSND*, KUSYSTEM*, int, const char*);
    int (*seUnload)(KUSND*, KUSYSTEM*, int);
    int (*seSetVolume)(KUSND*, KUSYSTEM*, int);
    int (*sePlay)(KUSND*, KUSYSTEM*, int, int);
    int (*voiceSetVolume)(KUSND*, KUSYSTEM*, int);
    int (*voicePlay)(KUSND*, KUSYSTEM*, const char*);
    int (*voiceStop)(KUSND*, KUSYSTEM*);
    int (*bgmDsPlay)(KUSND*, KUSYSTEM*, int, const char*);
    int (*bgmDsStop)(KUSND*, KUSYSTEM*);
    int (*bgmDsSetVolume)(KUSND*, KUSYSTEM*, int);
    int (*changeScreenMode)(int, int);
    int (*libraryRelease)();
    int (*saveSettings)(const char*);
    void (*postQuitMessage)(int);
    int (*showCursor)(int);
    void (*setMenuAttached)(int);
    void (*applyWindowStyle)(unsigned int);
};

// Installs a table (copied); a null entry keeps the built-in one. Built in
// are the engine's load and play services and the platform's quit message
// and cursor counter; the shell's other services fail (0) or do nothing
// until the shell installs its own.
void SetShellServices(const SHELL_SERVICES& services);
