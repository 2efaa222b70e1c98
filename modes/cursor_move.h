#pragma once
#include <initializer_list>

#include "engine/kugraphic2.h"
#include "engine/virtual_keys.h"

class KUSYSTEM;

namespace modes {

// A mode's move table: the target rectangle for (current item, key), false
// when the key does not move from that item.
using MoveTarget = bool (*)(const void* mode, int current, int vk, KURECT* target);

// Keyboard pointer movement shared by the menu screens: every given key that
// was released this frame looks up its target from the same current item and
// puts the pointer on the target's centre, so the last key that moves wins.
// Runs before the frame's hit test, which then hovers the target.
void MoveCursorAllKeys(KUSYSTEM* sys, const void* mode, int current, std::initializer_list<int> keys, MoveTarget table);

} // namespace modes
