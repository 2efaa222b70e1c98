#pragma once
// Test hooks of platform/gdi_font.h (tests only).
#include <cstddef>

namespace plat {

// FreeType faces open now, in use or kept idle for reuse.
size_t OpenFontFacesForTest();
// Whether a face of that pixel size (a font's height, whatever its sign) is
// open, and the bytes of glyph bitmaps its cache holds (0 when closed).
bool FontFaceOpenForTest(int ppem);
size_t GlyphCacheBytesForTest(int ppem);

} // namespace plat
