#pragma once
// Test hooks of platform/video_present.h (tests only).
#include "platform/video_present.h"

namespace plat {

// Number of frames presented since start.
uint64_t PresentedFrameCount();
// 16-bit quantising of one pixel.
uint32_t QuantizePixel(uint32_t argb, uint32_t bpp);

} // namespace plat
