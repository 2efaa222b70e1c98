#include "game/shell_services.h"

#include "app/app_shell.h"
#include "app/env_settings.h"
#include "platform/window.h"

// The shell's side of what the game object and the modes ask of it; the
// load and play services and the cursor counter are the game's built-in ones.

namespace {

void SetWindowMenuAttached(int attached) {
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
void RedrawWithStyle(unsigned int) { plat::RedrawWindow(g_hWnd); }

} // namespace

void InstallShellServices() {
    SHELL_SERVICES s{};
    s.changeScreenMode = &app::ChangeScreenMode;
    s.libraryRelease = &app::LibraryRelease;
    s.saveSettings = &SaveEnvData;
    s.setMenuAttached = &SetWindowMenuAttached;
    s.applyWindowStyle = &RedrawWithStyle;
    SetShellServices(s);
}
