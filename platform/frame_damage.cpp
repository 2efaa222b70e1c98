#include "platform/frame_damage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace plat {

namespace {

// Past these the whole frame is cheaper to draw and show than its parts.
constexpr size_t kMaxRects = 8;
constexpr int64_t kFullShare = 60; // per cent of the screen
// Above this many comparisons the middle of two frames is not matched up.
constexpr size_t kMaxCompares = 16384;
// Two rectangles whose union wastes less than this are drawn as one.
constexpr int64_t kMergeSlack = 4096;

int64_t Area(const RectI& r) { return int64_t(r.right - r.left) * (r.bottom - r.top); }
bool Empty(const RectI& r) { return r.left >= r.right || r.top >= r.bottom; }
RectI Union(const RectI& a, const RectI& b) {
    return RectI{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom)};
}
bool Same(const FrameOp& a, const FrameOp& b) { return std::memcmp(&a, &b, sizeof(FrameOp)) == 0; }

int Clamp(double v, int hi) { return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(hi))); }

// Merges rectangles that overlap or nearly touch, until none do.
void Merge(std::vector<RectI>* rects) {
    for (bool merged = true; merged;) {
        merged = false;
        for (size_t i = 0; i < rects->size() && !merged; ++i)
            for (size_t j = i + 1; j < rects->size() && !merged; ++j) {
                const RectI u = Union((*rects)[i], (*rects)[j]);
                if (Area(u) <= Area((*rects)[i]) + Area((*rects)[j]) + kMergeSlack) {
                    (*rects)[i] = u;
                    rects->erase(rects->begin() + static_cast<std::ptrdiff_t>(j));
                    merged = true;
                }
            }
    }
}

} // namespace

RectI OpBounds(const FrameOp& op, int width, int height) {
    const RectI all{0, 0, width, height};
    if (op.kind == kOpBlt) {
        const auto* g = reinterpret_cast<const int32_t*>(op.geometry);
        RectI r{std::max(g[0], 0), std::max(g[1], 0), std::min(g[2], width), std::min(g[3], height)};
        return Empty(r) ? RectI{} : r;
    }
    if (op.kind != kOpQuad)
        return all;
    TLVertex v[4];
    static_assert(sizeof(v) == sizeof(op.geometry));
    std::memcpy(v, op.geometry, sizeof(v));
    double x0 = v[0].x, x1 = v[0].x, y0 = v[0].y, y1 = v[0].y;
    for (const TLVertex& p : v) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return RectI{}; // the rasteriser draws nothing of it
        x0 = std::min<double>(x0, p.x), x1 = std::max<double>(x1, p.x);
        y0 = std::min<double>(y0, p.y), y1 = std::max<double>(y1, p.y);
    }
    // Pixel centres at integer coordinates: a covered pixel lies within a
    // whole pixel of the vertices' box.
    RectI r{Clamp(std::floor(x0), width), Clamp(std::floor(y0), height), Clamp(std::ceil(x1) + 1, width),
            Clamp(std::ceil(y1) + 1, height)};
    return Empty(r) ? RectI{} : r;
}

FrameDamage DiffFrames(const std::vector<FrameOp>& prev, const std::vector<FrameOp>& cur, int width, int height) {
    FrameDamage d;
    size_t head = 0;
    while (head < prev.size() && head < cur.size() && Same(prev[head], cur[head]))
        ++head;
    size_t pe = prev.size(), ce = cur.size();
    while (pe > head && ce > head && Same(prev[pe - 1], cur[ce - 1]))
        --pe, --ce;
    d.same = head;
    if ((pe - head) * (ce - head) > kMaxCompares) {
        d.full = true;
        return d;
    }
    std::vector<RectI> rects;
    rects.reserve(kMaxRects * 2); // one allocation a frame, not one per growth
    auto add = [&](const FrameOp& op) {
        const RectI r = OpBounds(op, width, height);
        if (!Empty(r))
            rects.push_back(r);
    };
    // The middle: each new draw takes the next equal old one, in order;
    // old draws skipped over and new draws left unmatched changed.
    size_t p = head;
    for (size_t c = head; c < ce; ++c) {
        size_t k = p;
        while (k < pe && !Same(prev[k], cur[c]))
            ++k;
        if (k == pe) {
            add(cur[c]);
            continue;
        }
        for (; p < k; ++p)
            add(prev[p]);
        p = k + 1;
    }
    for (; p < pe; ++p)
        add(prev[p]);
    Merge(&rects);
    if (rects.size() > kMaxRects) {
        RectI u = rects[0];
        for (const RectI& r : rects)
            u = Union(u, r);
        rects.assign(1, u);
    }
    int64_t area = 0;
    for (const RectI& r : rects)
        area += Area(r);
    if (area * 100 > int64_t(width) * height * kFullShare)
        d.full = true;
    else
        d.rects = std::move(rects);
    return d;
}

bool RectsCover(const std::vector<RectI>& rects, const RectI& area) {
    if (area.left >= area.right || area.top >= area.bottom)
        return true;
    // The grid of every edge inside area: each cell is wholly in or out of
    // each rectangle.
    std::vector<int> xs{area.left, area.right}, ys{area.top, area.bottom};
    for (const RectI& r : rects) {
        for (int x : {r.left, r.right})
            if (x > area.left && x < area.right)
                xs.push_back(x);
        for (int y : {r.top, r.bottom})
            if (y > area.top && y < area.bottom)
                ys.push_back(y);
    }
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());
    for (size_t j = 0; j + 1 < ys.size(); ++j) {
        for (size_t i = 0; i + 1 < xs.size(); ++i) {
            if (xs[i] == xs[i + 1] || ys[j] == ys[j + 1])
                continue;
            const bool in = std::any_of(rects.begin(), rects.end(), [&](const RectI& r) {
                return r.left <= xs[i] && r.right >= xs[i + 1] && r.top <= ys[j] && r.bottom >= ys[j + 1];
            });
            if (!in)
                return false;
        }
    }
    return true;
}

} // namespace plat
