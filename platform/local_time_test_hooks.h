#pragma once
// Test hooks of platform/local_time.h (tests only).
#include "platform/local_time.h"

namespace plat {

// Tests inject a fixed date and time; an empty function restores the real one.
void SetLocalTimeSource(std::function<LocalTime()> source);

} // namespace plat
