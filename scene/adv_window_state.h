#pragma once
#include <cstdint>

// The part of the adventure's state that its windows read and switch: whether
// the message window and the controller bar are shown (the bar's hide button
// clears it, a click on the hidden screen sets it again). The adventure object
// derives from it, so the windows need not know the adventure.
struct ADV_WINDOW_STATE {
    int32_t m_bWindowShown = 0;
};
