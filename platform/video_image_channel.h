#pragma once
#include <cstdint>

namespace plat {

// One colour channel of a packed pixel, picked out by its bit mask and
// widened to 8 bits by bit replication (wider channels keep their top 8
// bits). The mask is taken apart once per picture, not per pixel.
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
    static int LowBit(uint32_t mask) {
        if (!mask)
            return 0;
        int n = 0;
        while (!(mask & 1u))
            mask >>= 1, ++n;
        return n;
    }
    static int BitCount(uint32_t mask) {
        int n = 0;
        for (; mask; mask &= mask - 1)
            ++n;
        return n;
    }

    uint32_t mask_;
    int low_, bits_;
    uint32_t absent_;
};

} // namespace plat
