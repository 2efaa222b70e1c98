#pragma once
#include <cstdint>
#include <string>

#include "platform/surface.h"

// Picture files written by the sample-data tools: BMP (24 bits, opaque),
// DDS (uncompressed A8R8G8B8 with masks) and PNG (RGB, stored deflate blocks).
std::string EncodeBmp24(const plat::Surface& s);
std::string EncodeDds32(const plat::Surface& s);
std::string EncodePng(const plat::Surface& s);
bool WriteBytes(const std::string& path, const std::string& bytes);

// A small block font of our own (5 x 7 cells, upper case, digits, a few
// signs) for labels on the generated pictures.
void DrawLabel(plat::Surface& s, int x, int y, const std::string& text, uint32_t argb, int scale);
