#include "platform/video_image.h"

#include <cstdint>
#include <cstring>

#include "platform/files.h"

namespace plat {

namespace {

constexpr int64_t kMaxSide = 16384;
// The largest picture file worth reading: the largest 32-bit picture and room
// for its headers, palette and masks.
constexpr uint64_t kMaxPictureFile = static_cast<uint64_t>(kMaxSide * kMaxSide * 4) + 65536;

uint32_t U32(const std::string& b, size_t at) {
    uint32_t v = 0;
    if (at + 4 <= b.size())
        std::memcpy(&v, b.data() + at, 4);
    return v;
}
uint16_t U16(const std::string& b, size_t at) {
    uint16_t v = 0;
    if (at + 2 <= b.size())
        std::memcpy(&v, b.data() + at, 2);
    return v;
}

int LowBit(uint32_t mask) {
    if (!mask)
        return 0;
    int n = 0;
    while (!(mask & 1u))
        mask >>= 1, ++n;
    return n;
}
int BitCount(uint32_t mask) {
    int n = 0;
    for (; mask; mask &= mask - 1)
        ++n;
    return n;
}
// A masked channel widened to 8 bits by bit replication; the mask is taken
// apart once per picture, not per pixel.
class ChannelMask {
public:
    ChannelMask(uint32_t mask, uint32_t absent)
        : mask_(mask), low_(LowBit(mask)), bits_(BitCount(mask)), absent_(absent) {}
    uint32_t operator()(uint32_t px) const {
        if (!mask_)
            return absent_;
        uint32_t v = (px & mask_) >> low_;
        if (bits_ >= 8)
            return v >> (bits_ - 8);
        uint32_t out = 0;
        for (int filled = 0; filled < 8; filled += bits_)
            out = (out << bits_) | v;
        int total = ((8 + bits_ - 1) / bits_) * bits_;
        return (out >> (total - 8)) & 0xFFu;
    }

private:
    uint32_t mask_;
    int low_, bits_;
    uint32_t absent_;
};

bool DecodeBmp(const std::string& b, Surface* out) {
    if (b.size() < 54)
        return false;
    uint32_t dataOff = U32(b, 10), infoSize = U32(b, 14);
    int32_t w = static_cast<int32_t>(U32(b, 18)), h = static_cast<int32_t>(U32(b, 22));
    uint16_t bpp = U16(b, 28);
    uint32_t comp = U32(b, 30), clrUsed = U32(b, 46);
    bool topDown = h < 0;
    int64_t ah = topDown ? -static_cast<int64_t>(h) : h;
    if (w <= 0 || ah <= 0 || w > kMaxSide || ah > kMaxSide)
        return false;
    uint32_t rm = 0, gm = 0, bm = 0;
    if (comp == 3 || comp == 6) { // bit fields
        // Masks follow a 40-byte header, or sit inside a larger one.
        const size_t at = 14 + 40;
        rm = U32(b, at), gm = U32(b, at + 4), bm = U32(b, at + 8);
    } else if (comp != 0) {
        return false; // RLE and embedded JPEG/PNG are not used
    } else if (bpp == 16) {
        rm = 0x7C00, gm = 0x03E0, bm = 0x001F;
    } else if (bpp == 32) {
        rm = 0xFF0000, gm = 0xFF00, bm = 0xFF;
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    uint32_t palette[256] = {};
    if (bpp <= 8) {
        uint32_t n = clrUsed ? clrUsed : (1u << bpp);
        if (n > 256)
            return false;
        size_t at = 14 + infoSize;
        for (uint32_t i = 0; i < n; ++i)
            palette[i] = 0xFF000000u | (U32(b, at + 4 * i) & 0x00FFFFFFu);
    }
    const uint64_t stride = ((static_cast<uint64_t>(w) * bpp + 31) / 32) * 4;
    if (dataOff > b.size() || stride * static_cast<uint64_t>(ah) > b.size() - dataOff)
        return false;
    Surface s(w, static_cast<int>(ah));
    const ChannelMask red(rm, 0), green(gm, 0), blue(bm, 0);
    for (int y = 0; y < ah; ++y) {
        int srcRow = topDown ? y : static_cast<int>(ah - 1 - y);
        const uint8_t* row =
            reinterpret_cast<const uint8_t*>(b.data()) + dataOff + stride * static_cast<uint64_t>(srcRow);
        uint32_t* d = s.Row(y);
        for (int x = 0; x < w; ++x) {
            uint32_t c;
            switch (bpp) {
                case 1: c = palette[(row[x >> 3] >> (7 - (x & 7))) & 1]; break;
                case 4: c = palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF]; break;
                case 8: c = palette[row[x]]; break;
                case 24:
                    c = 0xFF000000u | (uint32_t(row[3 * x + 2]) << 16) | (uint32_t(row[3 * x + 1]) << 8) | row[3 * x];
                    break;
                default: {
                    uint32_t px = 0;
                    std::memcpy(&px, row + static_cast<size_t>(x) * (bpp / 8), bpp / 8);
                    // BMP pixels are opaque: alpha bits, when present, are not used.
                    c = 0xFF000000u | (red(px) << 16) | (green(px) << 8) | blue(px);
                }
            }
            d[x] = c;
        }
    }
    *out = std::move(s);
    return true;
}

uint32_t From565(uint16_t c) {
    uint32_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

// Bytes of a w x h picture in 4 x 4 blocks (8 bytes each for DXT1, else 16).
uint64_t DxtBytes(int64_t w, int64_t h, int kind) {
    return static_cast<uint64_t>((w + 3) / 4) * static_cast<uint64_t>((h + 3) / 4) * (kind == 1 ? 8u : 16u);
}

bool DecodeDxt(const std::string& b, size_t at, int w, int h, int kind, Surface* s) {
    const int bw = (w + 3) / 4, bh = (h + 3) / 4;
    const size_t blockSize = kind == 1 ? 8 : 16;
    if (at > b.size() || DxtBytes(w, h, kind) > b.size() - at)
        return false;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(b.data()) + at;
    for (int by = 0; by < bh; ++by) {
        for (int bx = 0; bx < bw; ++bx, p += blockSize) {
            const uint8_t* colour = kind == 1 ? p : p + 8;
            uint16_t c0 = uint16_t(colour[0] | colour[1] << 8), c1 = uint16_t(colour[2] | colour[3] << 8);
            uint32_t pal[4];
            pal[0] = From565(c0), pal[1] = From565(c1);
            auto mix = [&](int a, int bb, int wa, int wb, int div) {
                uint32_t o = 0;
                for (int sh = 0; sh < 24; sh += 8)
                    o |= ((((pal[a] >> sh) & 0xFF) * wa + ((pal[bb] >> sh) & 0xFF) * wb) / div) << sh;
                return o;
            };
            bool opaque4 = kind != 1 || c0 > c1;
            if (opaque4) {
                pal[2] = mix(0, 1, 2, 1, 3), pal[3] = mix(0, 1, 1, 2, 3);
            } else {
                pal[2] = mix(0, 1, 1, 1, 2), pal[3] = 0;
            }
            uint32_t idx =
                uint32_t(colour[4]) | uint32_t(colour[5]) << 8 | uint32_t(colour[6]) << 16 | uint32_t(colour[7]) << 24;
            uint8_t alpha[16];
            if (kind == 3) {
                for (int i = 0; i < 16; ++i) {
                    uint32_t a4 = (p[i / 2] >> ((i & 1) * 4)) & 0xF;
                    alpha[i] = uint8_t(a4 << 4 | a4);
                }
            } else if (kind == 5) {
                uint32_t a0 = p[0], a1 = p[1], ap[8];
                ap[0] = a0, ap[1] = a1;
                if (a0 > a1) {
                    for (int i = 1; i < 7; ++i)
                        ap[i + 1] = ((7 - i) * a0 + i * a1) / 7;
                } else {
                    for (int i = 1; i < 5; ++i)
                        ap[i + 1] = ((5 - i) * a0 + i * a1) / 5;
                    ap[6] = 0, ap[7] = 255;
                }
                uint64_t bits = 0;
                for (int i = 0; i < 6; ++i)
                    bits |= uint64_t(p[2 + i]) << (8 * i);
                for (int i = 0; i < 16; ++i)
                    alpha[i] = uint8_t(ap[(bits >> (3 * i)) & 7]);
            } else {
                for (int i = 0; i < 16; ++i)
                    alpha[i] = 255;
            }
            for (int i = 0; i < 16; ++i) {
                int x = bx * 4 + (i & 3), y = by * 4 + (i >> 2);
                if (x >= w || y >= h)
                    continue;
                uint32_t sel = (idx >> (2 * i)) & 3;
                uint32_t a = alpha[i];
                if (kind == 1 && !opaque4 && sel == 3)
                    a = 0;
                s->Row(y)[x] = (a << 24) | pal[sel];
            }
        }
    }
    return true;
}

bool DecodeDds(const std::string& b, Surface* out) {
    if (b.size() < 128 || U32(b, 4) != 124)
        return false;
    int64_t h = U32(b, 12), w = U32(b, 16);
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide)
        return false;
    uint32_t pfFlags = U32(b, 80), fourCC = U32(b, 84), bits = U32(b, 88);
    uint32_t rm = U32(b, 92), gm = U32(b, 96), bm = U32(b, 100), am = U32(b, 104);
    // The picture is set up only once the file is known to hold all its
    // pixels: a bare header may claim up to 1 GiB of them.
    if (pfFlags & 0x4) { // four-character code
        int kind = fourCC == 0x31545844u ? 1 : fourCC == 0x33545844u ? 3 : fourCC == 0x35545844u ? 5 : 0;
        if (!kind || DxtBytes(w, h, kind) > b.size() - 128)
            return false;
        Surface s(static_cast<int>(w), static_cast<int>(h));
        if (!DecodeDxt(b, 128, static_cast<int>(w), static_cast<int>(h), kind, &s))
            return false;
        *out = std::move(s);
        return true;
    }
    if (bits != 16 && bits != 24 && bits != 32)
        return false;
    if (!(pfFlags & 0x1))
        am = 0; // no alpha in this format
    const uint64_t stride = static_cast<uint64_t>(w) * (bits / 8);
    if (stride * static_cast<uint64_t>(h) > b.size() - 128)
        return false;
    Surface s(static_cast<int>(w), static_cast<int>(h));
    // Most pictures are stored as the surface holds them.
    const bool asStored = bits == 32 && rm == 0xFF0000u && gm == 0xFF00u && bm == 0xFFu && (am == 0xFF000000u || !am);
    const ChannelMask alpha(am, 255), red(rm, 0), green(gm, 0), blue(bm, 0);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = reinterpret_cast<const uint8_t*>(b.data()) + 128 + stride * static_cast<uint64_t>(y);
        uint32_t* d = s.Row(y);
        if (asStored) {
            std::memcpy(d, row, static_cast<size_t>(w) * 4);
            if (!am)
                for (int x = 0; x < w; ++x)
                    d[x] |= 0xFF000000u;
            continue;
        }
        for (int x = 0; x < w; ++x) {
            uint32_t px = 0;
            std::memcpy(&px, row + static_cast<size_t>(x) * (bits / 8), bits / 8);
            d[x] = (alpha(px) << 24) | (red(px) << 16) | (green(px) << 8) | blue(px);
        }
    }
    *out = std::move(s);
    return true;
}

} // namespace

bool DecodePicture(const std::string& bytes, Surface* out) {
    if (!out)
        return false;
    if (bytes.size() >= 4 && bytes.compare(0, 4, "DDS ") == 0)
        return DecodeDds(bytes, out);
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return DecodeBmp(bytes, out);
    return false;
}

bool LoadPictureFile(const std::string& path, Surface* out) {
    std::string bytes;
    if (!ReadWholeFile(path, &bytes, kMaxPictureFile))
        return false;
    return DecodePicture(bytes, out);
}

} // namespace plat
