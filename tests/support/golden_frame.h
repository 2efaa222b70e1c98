#pragma once
#include <string>

#include "platform/surface.h"

namespace kutest {

// Golden frames: exact pictures in tests/<folder>/golden/, beside the glyph
// renderer they were made with (renderer.txt). Text makes a frame exact only
// for that renderer. KU_UPDATE_GOLDEN=1 rewrites the frames and the renderer.

// True when this machine renders glyphs as the recorded renderer did (always
// while rewriting).
bool GoldenFramesComparable(const std::string& folder);

// "" when the frame, taken opaque, equals golden/<name>.bmp or cannot be
// compared here; else what differs, the frame then written into the build
// folder as <name>.actual.bmp.
std::string CompareGoldenFrame(const std::string& folder, const plat::Surface& frame, const std::string& name);

} // namespace kutest
