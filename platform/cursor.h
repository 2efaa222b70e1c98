#pragma once
#include "platform/window.h"

namespace plat {

// The cursor display counter: shown while the count is 0 or more. Returns
// the count after the change, as its Windows counterpart did.
int ShowCursor(bool show);
int CursorDisplayCount();
// Back to the start state (count 0), as a new start of the shell finds it.
void ResetCursorCount();

// The window's cursor: an image or, with a null image, the standard arrow.
// False when the image cannot be made (the arrow stays).
bool SetWindowCursor(const CursorImage& cursor);

} // namespace plat
