#include "platform/underlay_cache.h"

#include <cstring>

namespace plat {

namespace {

size_t Width(const RectI& r) { return static_cast<size_t>(r.right - r.left); }

bool Inside(const RectI& r, const Surface& s) {
    return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= s.width &&
           r.bottom <= s.height;
}

} // namespace

void UnderlayCache::Begin(uint64_t frame) {
    for (Entry& e : last_)
        spare_.push_back(std::move(e.pixels));
    last_.clear();
    if (nextFrame_ + 1 == frame && !next_.empty())
        last_.swap(next_);
    for (Entry& e : next_)
        spare_.push_back(std::move(e.pixels));
    next_.clear();
    frame_ = frame;
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
    for (int y = e.rect.top; y < e.rect.bottom; ++y)
        std::memcpy(dst->pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(dst->width) + e.rect.left,
                    e.pixels.data() + static_cast<size_t>(y - e.rect.top) * w, w * sizeof(uint32_t));
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
    const size_t w = Width(rect);
    e.pixels.resize(w * static_cast<size_t>(rect.bottom - rect.top));
    for (int y = rect.top; y < rect.bottom; ++y)
        std::memcpy(e.pixels.data() + static_cast<size_t>(y - rect.top) * w,
                    src.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(src.width) + rect.left,
                    w * sizeof(uint32_t));
    next_.push_back(std::move(e));
    nextFrame_ = frame_;
}

bool UnderlayCache::Worth(const RectI& rect) const {
    return next_.size() < kMaxEntries && int64_t(rect.right - rect.left) * (rect.bottom - rect.top) <= kMaxPixels;
}

void UnderlayCache::Clear() {
    last_.clear();
    next_.clear();
    spare_.clear();
}

} // namespace plat
