#pragma once
#include <cstdint>

namespace plat {

// One colour channel of a packed pixel, picked out by its bit mask and
// widened to 8 bits by bit replication (wider channels keep their top 8
// bits). A mask with gaps has its set bits gathered, lowest first, into one
// value of as many bits: shifting the whole span down would carry bits past
// the channel's top. The mask is taken apart once per picture, not per pixel.
class ChannelMask {
public:
    ChannelMask(uint32_t mask, uint32_t absent)
        : mask_(mask), low_(LowBit(mask)), bits_(BitCount(mask)), absent_(absent),
          contiguous_(!mask || ((mask >> low_) & ((mask >> low_) + 1)) == 0) {}
    uint32_t operator()(uint32_t px) const {
        if (!mask_)
            return absent_;
        const uint32_t v = contiguous_ ? (px & mask_) >> low_ : Gather(px);
        if (bits_ >= 8)
            return v >> (bits_ - 8);
        uint32_t out = 0;
        for (int filled = 0; filled < 8; filled += bits_)
            out = (out << bits_) | v;
        int total = ((8 + bits_ - 1) / bits_) * bits_;
        return (out >> (total - 8)) & 0xFFu;
    }

private:
    uint32_t Gather(uint32_t px) const {
        uint32_t v = 0, to = 1;
        for (uint32_t m = mask_; m; m &= m - 1, to <<= 1)
            if (px & m & (~m + 1))
                v |= to;
        return v;
    }
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
    bool contiguous_;
};

} // namespace plat
