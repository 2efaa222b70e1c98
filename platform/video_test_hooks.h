#pragma once
// Test hooks of platform/video.h (tests only).
#include "platform/video.h"

namespace plat {

// Test hooks. A mode source answers the list of a level (false: unreadable);
// a context hook may refuse a device (false). nullptr restores the defaults:
// every level lists 800 x 600 at 32, 24 and 16 bits and every device is made.
using VideoModeSource = std::function<bool(uint32_t level, std::vector<VideoMode>* out)>;
void SetVideoModeSource(VideoModeSource source);
using VideoContextHook =
    std::function<bool(uint32_t level, uint32_t width, uint32_t height, uint32_t bpp, bool fullScreen)>;
void SetVideoContextHook(VideoContextHook hook);
// While set, every presented frame recorded from its clear is drawn again in
// full on a fresh picture and handed over beside the back buffer as drawn
// (partial: drawn only where it differed from the frame before).
using FrameCheckHook = std::function<void(const Surface& drawn, const Surface& full, bool partial)>;
void SetFrameCheckHook(FrameCheckHook hook);
// While set, TestCooperativeLevel answers this code instead of asking the window.
void SetCooperativeLevelOverride(const int32_t* code);

} // namespace plat
