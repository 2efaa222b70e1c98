#pragma once
#include "platform/surface.h"

namespace screens {

// The choice windows' picture (516 x 272): the frames of windows 1 and 2
// (rows 0-68 and 68-136) and their backs (rows 136-204 and 204-272).
plat::Surface SelectWindowPicture();

} // namespace screens
