#include <cstdint>
#include <cstring>

#include "platform/video_image_channel.h"
#include "platform/video_image_formats.h"
#include "platform/video_image_masks.h"

namespace plat {

namespace {

// Pixel format flags of the DDS header.
constexpr uint32_t kAlphaPixels = 0x1;
constexpr uint32_t kAlphaOnly = 0x2;
constexpr uint32_t kFourCC = 0x4;
constexpr uint32_t kPalette4 = 0x8;
constexpr uint32_t kPalette8 = 0x20;
constexpr uint32_t kRgb = 0x40;
constexpr uint32_t kYuv = 0x200;
constexpr uint32_t kLuminance = 0x20000;
constexpr uint32_t kBumpDuDv = 0x80000;

constexpr size_t kHeaderBytes = 128;
constexpr size_t kPaletteBytes = 256 * 4;

bool DecodeBlocks(const std::string& b, uint32_t fourCC, int w, int h, Surface* out) {
    const int kind = fourCC == 0x31545844u ? 1 : fourCC == 0x33545844u ? 3 : fourCC == 0x35545844u ? 5 : 0;
    // Other codes (a DX10 header among them) are formats of later platforms.
    if (!kind || DxtBytes(w, h, kind) > b.size() - kHeaderBytes)
        return false;
    Surface s(w, h);
    if (!DecodeDxt(b, kHeaderBytes, w, h, kind, &s))
        return false;
    *out = std::move(s);
    return true;
}

// 8-bit indices into the 256 entries that follow the header, each red, green,
// blue and alpha.
bool DecodePalette8(const std::string& b, uint32_t bits, int w, int h, Surface* out) {
    const uint64_t pixels = static_cast<uint64_t>(w) * static_cast<uint64_t>(h);
    if (bits != 8 || kPaletteBytes > b.size() - kHeaderBytes || pixels > b.size() - kHeaderBytes - kPaletteBytes)
        return false;
    const uint8_t* entry = reinterpret_cast<const uint8_t*>(b.data()) + kHeaderBytes;
    uint32_t palette[256];
    bool anyAlpha = false;
    for (int i = 0; i < 256; ++i, entry += 4) {
        palette[i] = (uint32_t(entry[3]) << 24) | (uint32_t(entry[0]) << 16) | (uint32_t(entry[1]) << 8) | entry[2];
        anyAlpha = anyAlpha || entry[3];
    }
    // A palette whose every entry says 0 carries no alpha at all (a writer
    // that left the flags byte alone), not an invisible picture.
    if (!anyAlpha)
        for (uint32_t& c : palette)
            c |= 0xFF000000u;
    Surface s(w, h);
    const uint8_t* index = reinterpret_cast<const uint8_t*>(b.data()) + kHeaderBytes + kPaletteBytes;
    for (int y = 0; y < h; ++y) {
        uint32_t* d = s.Row(y);
        for (int x = 0; x < w; ++x)
            d[x] = palette[*index++];
    }
    *out = std::move(s);
    return true;
}

// Packed pixels of 8 to 32 bits described by masks: colour (red, green, blue
// masks), luminance (its mask in the red one, copied to all three), alpha
// only (black), each with or without an alpha mask, cut to the pixel as a
// BMP's are.
bool DecodeMasked(const std::string& b, uint32_t flags, int w, int h, Surface* out) {
    const uint32_t bits = ReadU32(b, 88);
    PixelMasks m{ReadU32(b, 92), ReadU32(b, 96), ReadU32(b, 100), ReadU32(b, 104)};
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    if (!(flags & (kAlphaPixels | kAlphaOnly)))
        m.alpha = 0; // no alpha in this format
    const auto outside = [bits](uint32_t mask) { return mask && !(mask & PixelBitsMask(bits)); };
    if (flags & kLuminance) {
        // Some writers leave luminance masks that miss the pixel: such a
        // file is read by its size, a luminance byte and then an alpha one.
        if ((outside(m.red) || outside(m.alpha)) && (bits == 8 || bits == 16))
            m.red = 0xFF, m.alpha = bits == 16 && (flags & kAlphaPixels) ? 0xFF00u : 0;
        m.green = m.blue = m.red;
    } else if (flags & kAlphaOnly) {
        m.red = m.green = m.blue = 0;
    }
    // Only a file that says neither colour nor luminance may hold alpha alone.
    const bool colour = (flags & kLuminance) || ((flags & kRgb) && !(flags & kAlphaOnly));
    if (!CutMasksToPixel(bits, !colour, &m))
        return false;
    const uint32_t bytes = bits / 8;
    const uint64_t stride = static_cast<uint64_t>(w) * bytes;
    if (stride * static_cast<uint64_t>(h) > b.size() - kHeaderBytes)
        return false;
    Surface s(w, h);
    // Most pictures are stored as the surface holds them.
    const bool asStored = bits == 32 && m.red == 0xFF0000u && m.green == 0xFF00u && m.blue == 0xFFu &&
                          (m.alpha == 0xFF000000u || !m.alpha);
    const ChannelMask alpha(m.alpha, 255), red(m.red, 0), green(m.green, 0), blue(m.blue, 0);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row =
            reinterpret_cast<const uint8_t*>(b.data()) + kHeaderBytes + stride * static_cast<uint64_t>(y);
        uint32_t* d = s.Row(y);
        if (asStored) {
            std::memcpy(d, row, static_cast<size_t>(w) * 4);
            if (!m.alpha)
                for (int x = 0; x < w; ++x)
                    d[x] |= 0xFF000000u;
            continue;
        }
        for (int x = 0; x < w; ++x) {
            uint32_t px = 0;
            std::memcpy(&px, row + static_cast<size_t>(x) * bytes, bytes);
            d[x] = (alpha(px) << 24) | (red(px) << 16) | (green(px) << 8) | blue(px);
        }
    }
    *out = std::move(s);
    return true;
}

} // namespace

bool DecodeDds(const std::string& b, Surface* out) {
    if (b.size() < kHeaderBytes || ReadU32(b, 4) != 124)
        return false;
    const int64_t h = ReadU32(b, 12), w = ReadU32(b, 16);
    if (w <= 0 || h <= 0 || w > kMaxPictureSide || h > kMaxPictureSide)
        return false;
    const uint32_t flags = ReadU32(b, 80);
    // Each decoder sets the picture up only once the file is known to hold
    // all its pixels: a bare header may claim up to 1 GiB of them.
    if (flags & kFourCC)
        return DecodeBlocks(b, ReadU32(b, 84), static_cast<int>(w), static_cast<int>(h), out);
    if (flags & kPalette8)
        return DecodePalette8(b, ReadU32(b, 88), static_cast<int>(w), static_cast<int>(h), out);
    // Not pictures that a texture of colours can show.
    if (flags & (kPalette4 | kYuv | kBumpDuDv))
        return false;
    return DecodeMasked(b, flags, static_cast<int>(w), static_cast<int>(h), out);
}

} // namespace plat
