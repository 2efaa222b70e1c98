#pragma once
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/surface.h"

// The picture decoders behind DecodePicture, one per file format, and what
// they share. Each returns false and leaves the output alone for a file it
// does not take.
namespace plat {

constexpr int64_t kMaxPictureSide = 16384;

bool DecodeBmp(const std::string& bytes, Surface* out);
bool DecodeDds(const std::string& bytes, Surface* out);

// Block-compressed pixels: kind 1, 3 or 5 for DXT1, DXT3, DXT5. DxtBytes is
// what a w x h picture takes; DecodeDxt fills s (already w x h) from the
// blocks at byte at, false when the file holds fewer.
uint64_t DxtBytes(int64_t w, int64_t h, int kind);
bool DecodeDxt(const std::string& bytes, size_t at, int w, int h, int kind, Surface* s);

// Little-endian fields; 0 past the end of the file.
inline uint32_t ReadU32(const std::string& b, uint64_t at) {
    uint32_t v = 0;
    if (at <= b.size() && b.size() - at >= 4)
        std::memcpy(&v, b.data() + at, 4);
    return v;
}
inline uint16_t ReadU16(const std::string& b, uint64_t at) {
    uint16_t v = 0;
    if (at <= b.size() && b.size() - at >= 2)
        std::memcpy(&v, b.data() + at, 2);
    return v;
}

} // namespace plat
