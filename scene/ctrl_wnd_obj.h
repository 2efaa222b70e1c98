#pragma once
#include "scene/window_button.h"

// A button of a controller bar. The adventure's bar and the gallery bars
// all own them: any bar with a float m_fAlpha can be the owner.
class CTRL_WND_OBJ : public WINDOW_BUTTON {
public:
    CTRL_WND_OBJ() : WINDOW_BUTTON("CTRL_WND_OBJ", "MESSクラスポインタが不正です") {}

    // Rectangles relative to the bar; a null rectangle stays empty. The
    // state stays disabled (-1) until the bar sets it.
    template <class Bar>
    int Initialize(Bar* owner, KUSPRITE2* sprite, KUSYSTEM* sys, int slot, float x, float y, const KURECT* hit,
                   const KURECT* normal, const KURECT* hover, const KURECT* pressed, const KURECT* disabled) {
        return Setup(owner ? &owner->m_fAlpha : nullptr, sprite, sys, slot, x, y, hit, normal, hover, pressed,
                     disabled);
    }
};
