#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/surface.h"

namespace plat {

// Small damaged rectangles as the draws under their first changed one left
// them, kept from one frame to the next. While those draws stay the same (a
// blinking mark over a still page, a line typed over the message window),
// the rectangle is redrawn from them instead of through every layer below.
class UnderlayCache {
public:
    struct Entry {
        RectI rect;
        size_t ops = 0; // the pixels after the frame's first ops operations
        std::vector<uint32_t> pixels; // rect's rows, packed
    };

    // Starts drawing frame `frame`: what frame - 1 kept becomes usable, the
    // rest is dropped.
    void Begin(uint64_t frame);
    // Frame `frame` repeats the one before exactly: what it kept stays usable.
    void Renew(uint64_t frame);
    // Last frame's entry for exactly rect, made from at most `unchanged`
    // operations (the ones of this frame that can reach rect and equal the
    // last frame's); null when there is none.
    const Entry* Find(const RectI& rect, size_t unchanged) const;
    // False, dst untouched, when the entry does not fit it.
    static bool Restore(const Entry& e, Surface* dst);
    // Keeps rect of src, drawn with the first ops operations, for the next frame.
    void Keep(const Surface& src, const RectI& rect, size_t ops);
    // Small enough, and room left this frame.
    bool Worth(const RectI& rect) const;

private:
    static constexpr size_t kMaxEntries = 4;
    // A copy is far cheaper than a redraw, but one made every frame and never
    // used is wasted: only rectangles up to this many pixels are kept.
    static constexpr int64_t kMaxPixels = 128 * 1024;
    std::vector<Entry> last_, next_;
    std::vector<std::vector<uint32_t>> spare_; // pixel buffers to reuse
    uint64_t nextFrame_ = 0; // the frame next_ was kept by
};

} // namespace plat
