#include "modes/cursor_move.h"

#include "engine/kusystem.h"
#include "modes/mode_common.h"

namespace modes {

void MoveCursorAllKeys(KUSYSTEM* sys, const void* mode, int current, std::initializer_list<int> keys,
                       MoveTarget table) {
    for (int vk : keys) {
        if (sys->GetKeyState(vk) != kKeyStateReleased)
            continue;
        KURECT target;
        if (table(mode, current, vk, &target))
            MovePointerTo(sys, target);
    }
}

} // namespace modes
