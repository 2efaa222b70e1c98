#pragma once
#include "platform/dialog.h"

// The three dialogs of the program (font: the Japanese gothic at 12 pixels).
const plat::DialogTemplate& AboutDialogTemplate(); // 106 "バージョン情報"
const plat::DialogTemplate& SoundWarningDialogTemplate(); // 107 "Warning"
const plat::DialogTemplate& ExitConfirmDialogTemplate(); // 108 "確認"
