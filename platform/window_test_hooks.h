#pragma once
// Test hooks of platform/window.h (tests only).
#include "platform/window.h"

namespace plat {

// Test hook: menu choices waiting to be made. When the menu loop starts and a
// choice waits, it is taken at once (id 0: leave the menu without a choice).
void QueueMenuChoice(int commandId);
// How many times the menu loop ran (tests).
int MenuLoopCount();

} // namespace plat
