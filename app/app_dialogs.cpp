#include <cstdio>

#include "app/app_shell.h"
#include "app/env_settings.h"
#include "platform/cursor.h"
#include "resources/resource_ids.h"

const char kAboutRightsNotice[] = "この体験版のプログラムと素材はすべて自作のものです。";

namespace {

constexpr int kMaxCursorCalls = 101;

// The cursor is shown while a dialog is up; the count before is kept.
void ShowCursorForDialog(int* saved) {
    *saved = plat::CursorDisplayCount();
    for (int i = 0; i < kMaxCursorCalls && plat::ShowCursor(true) < 0; ++i) {
    }
}

void RestoreCursorAfterDialog(int saved) {
    if (saved >= 0)
        return;
    for (int i = 0; i < kMaxCursorCalls && plat::ShowCursor(false) >= 0; ++i) {
    }
}

} // namespace

intptr_t AboutDlgProc(plat::Dialog* dlg, uint32_t message, uintptr_t wParam) {
    switch (message) {
        case plat::kDlgInit:
            ShowCursorForDialog(&g_nAboutCursorCount);
            g_bDialogOpen = 1;
            plat::SetDialogItemText(dlg, IDC_ABOUT_NAME, "ラークスピン 体験版");
            plat::SetDialogItemText(dlg, IDC_ABOUT_VERSION, "Version 1.1");
            plat::SetDialogItemText(dlg, IDC_ABOUT_RIGHTS, kAboutRightsNotice);
            return 1;
        case plat::kDlgCommand:
            if (wParam != IDOK_BUTTON)
                return 0;
            [[fallthrough]];
        case plat::kDlgClose:
            g_bDialogOpen = 0;
            RestoreCursorAfterDialog(g_nAboutCursorCount);
            plat::EndDialog(dlg, 0);
            return 1;
        default: return 0;
    }
}

intptr_t SoundWarningDlgProc(plat::Dialog* dlg, uint32_t message, uintptr_t wParam) {
    switch (message) {
        case plat::kDlgInit: ShowCursorForDialog(&g_nSoundWarningCursorCount); return 1;
        case plat::kDlgCommand:
            if (wParam != IDOK_BUTTON)
                return 0;
            [[fallthrough]];
        case plat::kDlgClose:
            g_bSoundWarning = plat::IsDialogButtonChecked(dlg, IDC_SOUND_WARNING_CHECK) ? 0 : 1;
            RestoreCursorAfterDialog(g_nSoundWarningCursorCount);
            plat::EndDialog(dlg, 0);
            return 1;
        default: return 0;
    }
}

intptr_t ExitConfirmDlgProc(plat::Dialog* dlg, uint32_t message, uintptr_t wParam) {
    switch (message) {
        case plat::kDlgInit: {
            ShowCursorForDialog(&g_nExitConfirmCursorCount);
            g_bDialogOpen = 1;
            char text[100];
            snprintf(text, sizeof(text), "%s を", "ラークスピン 体験版");
            plat::SetDialogItemText(dlg, IDC_EXIT_CAPTION, text);
            return 1;
        }
        case plat::kDlgCommand:
            if (wParam != IDC_EXIT_YES && wParam != IDC_EXIT_NO)
                return 0;
            g_bDialogOpen = 0;
            RestoreCursorAfterDialog(g_nExitConfirmCursorCount);
            plat::EndDialog(dlg, wParam == IDC_EXIT_YES ? 1 : 0);
            return 1;
        case plat::kDlgClose:
            g_bDialogOpen = 0;
            RestoreCursorAfterDialog(g_nExitConfirmCursorCount);
            plat::EndDialog(dlg, 0);
            return 1;
        default: return 0;
    }
}
