#pragma once
#include <cstdint>

#include "game/shell_services.h"
#include "platform/dialog.h"
#include "platform/menu.h"
#include "platform/window.h"

class KUSYSTEM;
class KUSPRITE2;
class KUSND;
class GAME_MAIN;

// The four objects that live for the whole run.
extern KUSYSTEM g_KuSystem;
extern KUSPRITE2 g_KuSprite;
extern KUSND g_KuSnd;
extern GAME_MAIN g_GameMain;

// Window state of the shell (the settings are in game/game_settings.h; the
// movie and library flags the game changes are in game/shell_services.h).
extern plat::WindowHandle g_hWnd;
extern plat::MenuModel* g_hMenu;
extern void* g_hInstance;
extern int g_bActive;
extern int g_bMenuOpen;
extern int g_bMenuOpenOld;
extern int g_bDialogOpen;
extern int g_bMenuBarShown;
extern int g_bExitConfirm;
extern int g_nAboutCursorCount;
extern int g_nSoundWarningCursorCount;
extern int g_nExitConfirmCursorCount;

// The program: single instance, settings, window, message loop, orderly exit.
// Returns the exit code: 0 for a quit and when another copy of the user was
// already running, 1 when start-up or play failed (after a box that says so).
int WinMain(void* hInstance, void* hPrevInstance, const char* cmdLine, int showCmd);
// One frame: 1 go on, 0 end the loop.
int AppMain(plat::WindowHandle hWnd);
int AppDraw();
// -1 missing argument, 2 in the demo mode, 1 no menu bar wanted, 0 shown.
int DrawMenuBarFullScreen(plat::WindowHandle hWnd, KUSYSTEM* sys, GAME_MAIN* game);
int LibraryInitialize(plat::WindowHandle hWnd, void* hInstance);
int CenterWindow(plat::WindowHandle hWnd);
int RemoveSysCommandMenuItems(plat::WindowHandle hWnd);
int SetMaleVoiceONMenuProc(plat::WindowHandle hWnd, int on);
intptr_t WndProc(plat::WindowHandle hWnd, uint32_t message, uintptr_t wParam, intptr_t lParam);

// The shell's own LibraryRelease and ChangeScreenMode, which it hands to the
// game through the services of game/shell_services.h.
namespace app {
int LibraryRelease();
int ChangeScreenMode(int fullScreen, int bpp);
} // namespace app
// Installs the shell's services (done before main() runs).
void InstallShellServices();

// Dialog procedures of the three dialogs.
intptr_t AboutDlgProc(plat::Dialog* dlg, uint32_t message, uintptr_t wParam);
intptr_t SoundWarningDlgProc(plat::Dialog* dlg, uint32_t message, uintptr_t wParam);
intptr_t ExitConfirmDlgProc(plat::Dialog* dlg, uint32_t message, uintptr_t wParam);

// The rights notice of the About dialog.
extern const char kAboutRightsNotice[];
