#include "platform/input_state.h"

namespace plat {

InputState& InputState::Get() {
    static InputState state;
    return state;
}

void InputState::ReleaseAll() {
    for (bool& d : down_)
        d = false;
    for (bool& d : swallowed_)
        d = false;
    for (bool& d : pressed_)
        d = false;
}

void InputState::WarpMouse(int x, int y) {
    SetMouse(x, y);
    if (warp_)
        warp_(x, y);
}

} // namespace plat
