#include "scene/msg_wnd_obj.h"

#include "scene/message_window.h"

int MSG_WND_OBJ::Initialize(MESSAGE_WINDOW* owner, KUSPRITE2* sprite, KUSYSTEM* sys, int slot, float x, float y,
                            const KURECT* hit, const KURECT* normal, const KURECT* hover, const KURECT* pressed,
                            const KURECT* disabled) {
    return Setup(owner ? &owner->m_fAlpha : nullptr, sprite, sys, slot, x, y, hit, normal, hover, pressed, disabled);
}
