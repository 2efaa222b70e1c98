#include "game/shell_services.h"

#include "app/app_shell.h"
#include "platform/cursor.h"
#include "platform/window.h"

// What the game object and the modes ask of the shell beyond the load and
// play functions.

void PostQuitMessage(int exitCode) { plat::PostQuitMessage(exitCode); }

int ShowCursor(int show) { return plat::ShowCursor(show != 0); }

void SetMenuAttached(int attached) {
    static plat::MenuModel* detached = nullptr;
    if (!g_hWnd)
        return;
    if (attached) {
        if (detached)
            plat::SetWindowMenu(g_hWnd, detached);
        detached = nullptr;
    } else if (plat::GetWindowMenu(g_hWnd)) {
        detached = plat::GetWindowMenu(g_hWnd);
        plat::SetWindowMenu(g_hWnd, nullptr);
    }
}

// Styles only decide window or full screen here, which the screen-mode
// switch owns; the frame is shown again as it stands.
void ApplyWindowStyle(unsigned int) { plat::RedrawWindow(g_hWnd); }
