#pragma once
#include <string>

#include "platform/surface.h"

namespace kutext {

// True when fontconfig finds the Japanese gothic the engine asks for.
bool HaveJapaneseFont();

// Writes an uncompressed RGB PNG of the surface (for looking at results).
bool WritePng(const std::string& path, const plat::Surface& s);

// Exact comparison with a golden picture under tests/text/golden/ (a BMP).
// KU_UPDATE_GOLDEN=1 rewrites the file instead. Returns "" when equal,
// otherwise what differs.
std::string CompareGolden(const std::string& name, const plat::Surface& s);

// True when the golden pictures were made with this machine's glyph renderer
// (font file and FreeType version, recorded in golden/renderer.txt); else
// `why` says what differs. KU_UPDATE_GOLDEN=1 records the renderer in use.
bool GoldenRendererMatches(std::string* why);

// Number of pixels differing from `background`, and their bounding box.
struct Ink {
    int count = 0;
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1; // inclusive
};
Ink FindInk(const plat::Surface& s, uint32_t background);

} // namespace kutext
