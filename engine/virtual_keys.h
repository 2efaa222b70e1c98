#pragma once
// The keys the game reads from the system object. Virtual keys are the
// platform's codes (plat::kVkReturn and the others); game keys index the
// system object's own table of eleven keys; a key state compares this frame
// with the last.
#include "platform/input_state.h"

// Game keys of KUSYSTEM::GetKey, GetKeyPush and the mouse button flags.
enum GameKey : int {
    kGameKeyReturn = 0,
    kGameKeyControl = 1,
    kGameKeySpace = 2,
    kGameKeyUp = 3,
    kGameKeyDown = 4,
    kGameKeyLeft = 5,
    kGameKeyRight = 6,
    kGameKeyLButton = 7,
    kGameKeyRButton = 8,
    kGameKeyDelete = 9,
    kGameKeyEscape = 10,
};

// What KUSYSTEM::GetKeyState reports for a virtual key.
enum KeyState : int {
    kKeyStateUp = 0, // up in both frames
    kKeyStateHeld = 1, // down in both frames
    kKeyStatePushed = 2, // went down this frame
    kKeyStateReleased = 3, // went up this frame (a click)
};
