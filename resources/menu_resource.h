#pragma once
#include "platform/menu.h"

// The main menu (resource 101) as the program starts with it: "男性ボイスON"
// checked.
void LoadMainMenu(plat::MenuModel* menu);
