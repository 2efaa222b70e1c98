#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/surface.h"

namespace plat {

// Expands a BMP's run-length coded pixels (4 or 8 bits an index) into a
// surface the picture's size, through its 256-entry palette. Rows are
// stored bottom row first. Runs and absolute groups that pass the end of a
// row are cut there; the pixels the stream never reaches (skipped by a
// delta or an end of line, or left when the stream ends early) keep what
// the surface held.
void ExpandBmpRle(const uint8_t* stream, size_t size, int bitsPerIndex, const uint32_t* palette, Surface* s);

} // namespace plat
