#pragma once
// Test hooks of platform/gdi_font.h (tests only).
#include <cstddef>

namespace plat {

// FreeType faces open now, in use or kept idle for reuse.
size_t OpenFontFacesForTest();

} // namespace plat
