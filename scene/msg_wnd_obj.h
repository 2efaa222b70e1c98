#pragma once
#include "scene/window_button.h"

class MESSAGE_WINDOW;

// A button owned by a message window, faded with the window's alpha.
class MSG_WND_OBJ : public WINDOW_BUTTON {
public:
    MSG_WND_OBJ() : WINDOW_BUTTON("MSG_WND_OBJ", "MESSAGE_WINDOWクラスポインタが不正です") {}

    int Initialize(MESSAGE_WINDOW* owner, KUSPRITE2* sprite, KUSYSTEM* sys, int slot, float x, float y,
                   const KURECT* hit, const KURECT* normal, const KURECT* hover, const KURECT* pressed,
                   const KURECT* disabled);
};
