#pragma once
#include "platform/surface.h"
#include "platform/window.h"

// The program's icon (111) and its two cursors: 110 monochrome, 115 colour.
// Pictures are kept as character art and made into ARGB once.
const plat::Surface& MainIconImage();
plat::CursorImage MonochromeCursor();
plat::CursorImage ColorCursor();
