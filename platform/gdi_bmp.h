#pragma once
#include <string>
#include <string_view>

#include "platform/surface.h"

namespace plat {

// Reads a Windows bitmap file (1, 4, 8, 16, 24 or 32 bits per pixel,
// uncompressed or with bit fields, bottom-up or top-down) into an opaque ARGB
// surface. False, leaving `out` untouched, for a missing or damaged file.
bool LoadBmpFile(const std::string& path, Surface* out);
bool DecodeBmp(std::string_view bytes, Surface* out);

}  // namespace plat
