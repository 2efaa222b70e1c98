#pragma once
#include <string>

#include "platform/surface.h"

namespace plat {

// Decodes a picture file into 32-bit ARGB: BMP (Windows and OS/2 headers; 1,
// 2, 4, 8, 16, 24 and 32 bits, uncompressed, bit-field masks, RLE8 and RLE4)
// and DDS (8 to 32 bits with colour, luminance or alpha masks, 8-bit
// palette, and DXT1/3/5). BMP pixels are opaque; DDS keep their alpha
// (opaque when the format has none). False for anything else, a file
// shorter than its header promises, or pixels with no colour stored (no
// colour mask, no palette entry).
bool LoadPictureFile(const std::string& path, Surface* out);
bool DecodePicture(const std::string& bytes, Surface* out);

} // namespace plat
