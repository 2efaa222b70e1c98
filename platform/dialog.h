#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/window_handle.h"

namespace plat {

// Modal dialogs drawn by us inside the window: static texts, check boxes and
// push buttons with "&" mnemonics and a default button (Enter). Escape or
// closing the window is a close request. The dialog procedure gets the
// messages below and ends the dialog with EndDialog.

struct DialogControl {
    enum Kind { kStatic, kButton, kCheckBox } kind = kStatic;
    int id = 0;
    std::string text; // Shift-JIS; "\n" breaks lines of a static
    int x = 0, y = 0, w = 0, h = 0; // in pixels inside the dialog's client area
    bool isDefault = false;
};

struct DialogTemplate {
    std::string caption;
    int width = 300; // client area
    int height = 120;
    std::vector<DialogControl> controls;
};

enum : uint32_t {
    kDlgInit = 0x0110, // before the first picture
    kDlgCommand = 0x0111, // wParam: the button id
    kDlgClose = 0x0010, // Escape or window close
};

class Dialog;
using DialogProc = intptr_t (*)(Dialog* dialog, uint32_t message, uintptr_t wParam);

// Runs the dialog until its procedure calls EndDialog; returns that result.
// Without a window the dialog cannot be shown: then a queued answer is used,
// or the default button counts as pressed. So it is on a headless window
// once the input already waiting is read.
intptr_t RunDialog(WindowHandle owner, const DialogTemplate& tmpl, DialogProc proc);
void EndDialog(Dialog* dialog, intptr_t result);
void SetDialogItemText(Dialog* dialog, int id, const std::string& text);
std::string GetDialogItemText(Dialog* dialog, int id);
bool IsDialogButtonChecked(Dialog* dialog, int id);
void CheckDialogButton(Dialog* dialog, int id, bool checked);

// A message box with one "OK" button. With a window it is one of our dialogs;
// without one the text goes to standard error.
void MessageBoxOk(WindowHandle owner, const std::string& text, const std::string& caption);

} // namespace plat
