#include "platform/gdi_bmp.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace plat {

namespace {

uint32_t U16(std::string_view b, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}
uint32_t U32(std::string_view b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

// Scales a masked channel to 8 bits.
uint32_t Channel(uint32_t value, uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const uint32_t max = mask >> shift;
    return ((value & mask) >> shift) * 255 / max;
}

}  // namespace

bool DecodeBmp(std::string_view b, Surface* out) {
    if (!out || b.size() < 26 || b[0] != 'B' || b[1] != 'M') return false;
    const uint32_t dataOffset = U32(b, 10);
    const uint32_t headerSize = U32(b, 14);
    if (headerSize < 12 || 14 + static_cast<uint64_t>(headerSize) > b.size()) return false;
    int64_t width, height;
    uint32_t bpp, compression = 0, colorsUsed = 0;
    size_t paletteEntry = 4;
    if (headerSize == 12) {
        width = U16(b, 18);
        height = static_cast<int16_t>(U16(b, 20));
        bpp = U16(b, 24);
        paletteEntry = 3;
    } else {
        if (headerSize < 40) return false;
        width = static_cast<int32_t>(U32(b, 18));
        height = static_cast<int32_t>(U32(b, 22));
        bpp = U16(b, 28);
        compression = U32(b, 30);
        colorsUsed = U32(b, 46);
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
    if (compression != 0 && compression != 3) return false;  // RLE is not used by the game's pictures
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;

    uint32_t masks[3] = {0, 0, 0};
    if (bpp == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    if (bpp == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (compression == 3) {
        if (bpp != 16 && bpp != 32) return false;
        const size_t at = 54;  // right after a 40-byte header, or inside a larger one at the same place
        if (at + 12 > b.size()) return false;
        for (int i = 0; i < 3; ++i) masks[i] = U32(b, at + 4 * static_cast<size_t>(i));
    }
    std::vector<uint32_t> palette;
    if (bpp <= 8) {
        size_t count = colorsUsed ? colorsUsed : (1u << bpp);
        if (count > 256) return false;
        const size_t at = 14 + headerSize + (compression == 3 ? 12 : 0);
        if (at + count * paletteEntry > b.size()) return false;
        for (size_t i = 0; i < count; ++i) {
            const size_t p = at + i * paletteEntry;
            palette.push_back(0xFF000000u | static_cast<uint32_t>(static_cast<uint8_t>(b[p + 2])) << 16 |
                              static_cast<uint32_t>(static_cast<uint8_t>(b[p + 1])) << 8 | static_cast<uint8_t>(b[p]));
        }
    }
    const uint64_t stride = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
    if (dataOffset > b.size() || stride * static_cast<uint64_t>(height) > b.size() - dataOffset) return false;

    Surface s(static_cast<int>(width), static_cast<int>(height));
    for (int64_t row = 0; row < height; ++row) {
        const size_t src = dataOffset + static_cast<size_t>(row * static_cast<int64_t>(stride));
        uint32_t* dst = s.Row(static_cast<int>(topDown ? row : height - 1 - row));
        for (int64_t x = 0; x < width; ++x) {
            uint32_t px = 0;
            if (bpp <= 8) {
                const size_t bit = static_cast<size_t>(x) * bpp;
                const uint32_t byte = static_cast<uint8_t>(b[src + bit / 8]);
                const uint32_t index = (byte >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                px = index < palette.size() ? palette[index] : 0xFF000000u;
            } else if (bpp == 24) {
                const size_t p = src + static_cast<size_t>(x) * 3;
                px = 0xFF000000u | static_cast<uint32_t>(static_cast<uint8_t>(b[p + 2])) << 16 |
                     static_cast<uint32_t>(static_cast<uint8_t>(b[p + 1])) << 8 | static_cast<uint8_t>(b[p]);
            } else {
                const uint32_t v = bpp == 16 ? U16(b, src + static_cast<size_t>(x) * 2) : U32(b, src + static_cast<size_t>(x) * 4);
                px = 0xFF000000u | Channel(v, masks[0]) << 16 | Channel(v, masks[1]) << 8 | Channel(v, masks[2]);
            }
            dst[x] = px;
        }
    }
    *out = std::move(s);
    return true;
}

bool LoadBmpFile(const std::string& path, Surface* out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return DecodeBmp(bytes, out);
}

}  // namespace plat
