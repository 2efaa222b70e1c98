#include "platform/underlay_cache.h"

#include <cstring>

namespace plat {

namespace {

size_t Width(const RectI& r) { return static_cast<size_t>(r.right - r.left); }

bool Inside(const RectI& r, const Surface& s) {
    return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= s.width &&
           r.bottom <= s.height;
}

// The rows of r: between a surface and packed pixels, either way.
void CopyRows(const RectI& r, const uint32_t* from, size_t fromPitch, size_t fromLeft, uint32_t* to, size_t toPitch,
              size_t toLeft) {
    const size_t w = Width(r);
    for (int y = 0; y < r.bottom - r.top; ++y)
        std::memcpy(to + static_cast<size_t>(y) * toPitch + toLeft, from + static_cast<size_t>(y) * fromPitch + fromLeft,
                    w * sizeof(uint32_t));
}

} // namespace

void UnderlayCache::Begin(uint64_t frame) {
    for (Entry& e : last_)
        spare_.push_back(std::move(e.pixels));
    last_.clear();
    if (nextFrame_ + 1 == frame)
        last_.swap(next_);
    for (Entry& e : next_)
        spare_.push_back(std::move(e.pixels));
    next_.clear();
    nextFrame_ = frame; // what Keep adds now
}

void UnderlayCache::Renew(uint64_t frame) {
    if (nextFrame_ + 1 == frame)
        nextFrame_ = frame;
}

const UnderlayCache::Entry* UnderlayCache::Find(const RectI& rect, size_t unchanged) const {
    for (const Entry& e : last_)
        if (e.ops <= unchanged && e.rect.left == rect.left && e.rect.top == rect.top && e.rect.right == rect.right &&
            e.rect.bottom == rect.bottom)
            return &e;
    return nullptr;
}

bool UnderlayCache::Restore(const Entry& e, Surface* dst) {
    const size_t w = Width(e.rect);
    if (!Inside(e.rect, *dst) || e.pixels.size() != w * static_cast<size_t>(e.rect.bottom - e.rect.top))
        return false;
    const size_t pitch = static_cast<size_t>(dst->width);
    CopyRows(e.rect, e.pixels.data(), w, 0, dst->pixels.data() + static_cast<size_t>(e.rect.top) * pitch, pitch,
             static_cast<size_t>(e.rect.left));
    return true;
}

void UnderlayCache::Keep(const Surface& src, const RectI& rect, size_t ops) {
    if (!Inside(rect, src) || !Worth(rect))
        return;
    Entry e;
    e.rect = rect;
    e.ops = ops;
    if (!spare_.empty()) {
        e.pixels = std::move(spare_.back());
        spare_.pop_back();
    }
    const size_t w = Width(rect), pitch = static_cast<size_t>(src.width);
    e.pixels.resize(w * static_cast<size_t>(rect.bottom - rect.top));
    CopyRows(rect, src.pixels.data() + static_cast<size_t>(rect.top) * pitch, pitch, static_cast<size_t>(rect.left),
             e.pixels.data(), w, 0);
    next_.push_back(std::move(e));
}

bool UnderlayCache::Worth(const RectI& rect) const {
    return next_.size() < kMaxEntries && int64_t(rect.right - rect.left) * (rect.bottom - rect.top) <= kMaxPixels;
}

} // namespace plat
