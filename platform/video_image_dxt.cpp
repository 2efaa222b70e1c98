#include <cstdint>

#include "platform/video_image_formats.h"

namespace plat {

namespace {

uint32_t From565(uint16_t c) {
    uint32_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

} // namespace

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

} // namespace plat
