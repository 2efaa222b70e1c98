#include "platform/picture_shrink.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/overlay_blend.h"
#include "platform/raster_pool.h"

namespace plat {

namespace {

// On one axis, output pixel i covers the source span [i * src, (i + 1) * src)
// in units where source pixel j spans [j * out, (j + 1) * out): whole numbers,
// so the weights are exact and add up to src for every output pixel.
struct AxisTaps {
    std::vector<int> first; // per output pixel of the part: its first source pixel
    std::vector<size_t> begin; // per output pixel, and one past: its weights in `weight`
    std::vector<uint32_t> weight;
};

AxisTaps Taps(int src, int out, int from, int to) {
    AxisTaps t;
    t.begin.push_back(0);
    for (int i = from; i < to; ++i) {
        const int64_t lo = int64_t(i) * src, hi = int64_t(i + 1) * src;
        const int64_t j0 = lo / out, j1 = (hi - 1) / out;
        t.first.push_back(static_cast<int>(j0));
        for (int64_t j = j0; j <= j1; ++j)
            t.weight.push_back(static_cast<uint32_t>(std::min((j + 1) * out, hi) - std::max(j * out, lo)));
        t.begin.push_back(t.weight.size());
    }
    return t;
}

enum class Mode {
    kWeighted, // colours weigh by their alpha
    kOpaque, // alpha ignored
    kCovered, // an overlay over an opaque picture, composed first
};

struct Job {
    const Surface* src; // the picture, or the overlay (kCovered)
    const Surface* under; // kCovered: the picture beneath
    int underTop; // kCovered: the canvas row of under's row 0
    int srcW, srcH; // the source's extent: pixels beyond it count as transparent
    Surface* out;
    RectI part;
    AxisTaps xs, ys;
    uint64_t total; // the grid's srcW * srcH: the sum of every output pixel's weights
    Mode mode;
};

// A picture's pixels as they are.
struct PlainSource {
    static constexpr bool kOver = false;
    const Surface* s;
    const uint32_t* row = nullptr;
    void Row(int y) { row = s->Row(y); }
    uint32_t At(int x) const { return row[x]; }
};

// The overlay laid over the picture beneath (opaque black where it has no
// pixel), with the overlay's own alpha kept: it says whether it covered.
struct OverSource {
    static constexpr bool kOver = true;
    const Surface* over;
    const Surface* under;
    int underTop;
    const uint32_t* o = nullptr;
    const uint32_t* u = nullptr;
    void Row(int y) {
        o = y < over->height ? over->Row(y) : nullptr;
        const int uy = y - underTop;
        u = uy >= 0 && uy < under->height ? under->Row(uy) : nullptr;
    }
    uint32_t At(int x) const {
        const uint32_t op = o && x < over->width ? o[x] : 0u;
        const uint32_t up = u && x < under->width ? u[x] : 0xFF000000u;
        return (BlendOver(op, up) & 0xFFFFFFu) | (op & 0xFF000000u);
    }
};

template <class Source>
void ShrinkRows(const Job& job, Source src, int rowFrom, int rowTo) {
    const int w = job.part.right - job.part.left;
    const bool weighted = job.mode == Mode::kWeighted;
    for (int r = rowFrom; r < rowTo; ++r) {
        uint32_t* dst = job.out->Row(job.part.top + r) + job.part.left;
        for (int c = 0; c < w; ++c) {
            // Alpha-weighted sums: a, a * red, a * green, a * blue.
            uint64_t sa = 0, sr = 0, sg = 0, sb = 0;
            uint32_t cover = 0;
            for (size_t ty = job.ys.begin[r]; ty < job.ys.begin[r + 1]; ++ty) {
                const int y = job.ys.first[r] + static_cast<int>(ty - job.ys.begin[r]);
                if (y >= job.srcH)
                    break;
                src.Row(y);
                for (size_t tx = job.xs.begin[c]; tx < job.xs.begin[c + 1]; ++tx) {
                    const int x = job.xs.first[c] + static_cast<int>(tx - job.xs.begin[c]);
                    if (x >= job.srcW)
                        break;
                    const uint32_t p = src.At(x);
                    if constexpr (Source::kOver)
                        cover |= p >> 24;
                    const uint64_t wa = uint64_t(job.ys.weight[ty]) * job.xs.weight[tx] * (weighted ? p >> 24 : 255u);
                    sa += wa;
                    sr += wa * ((p >> 16) & 0xFF);
                    sg += wa * ((p >> 8) & 0xFF);
                    sb += wa * (p & 0xFF);
                }
            }
            if (sa == 0 || (Source::kOver && cover == 0)) {
                dst[c] = 0;
                continue;
            }
            const uint64_t a = weighted ? (sa + job.total / 2) / job.total : 255;
            auto mean = [sa](uint64_t s) { return static_cast<uint32_t>((s + sa / 2) / sa); };
            dst[c] = static_cast<uint32_t>(a << 24) | mean(sr) << 16 | mean(sg) << 8 | mean(sb);
        }
    }
}

// Clipped to the output and the grid; false when nothing is left.
bool ClipPart(const ShrinkGrid& g, const Surface& out, RectI* p) {
    p->left = std::max(p->left, 0);
    p->top = std::max(p->top, 0);
    p->right = std::min({p->right, out.width, g.outW});
    p->bottom = std::min({p->bottom, out.height, g.outH});
    return p->left < p->right && p->top < p->bottom;
}

void Run(Job& job) {
    job.out->Touch();
    const int rows = job.part.bottom - job.part.top;
    const int64_t area = int64_t(job.part.right - job.part.left) * rows;
    RunRasterBands(
        [](void* ctx, int band, int bands) {
            const Job& j = *static_cast<const Job*>(ctx);
            const int n = j.part.bottom - j.part.top;
            const int from = n * band / bands, to = n * (band + 1) / bands;
            if (j.mode == Mode::kCovered)
                ShrinkRows(j, OverSource{j.src, j.under, j.underTop}, from, to);
            else
                ShrinkRows(j, PlainSource{j.src}, from, to);
        },
        &job, area >= 65536 ? std::min(RasterBandCount(), rows) : 1);
}

// Shrinks part of the grid's output from src (over under, for kCovered).
void RunPart(const Surface& src, const Surface* under, int underTop, int srcW, int srcH, const ShrinkGrid& g,
             const RectI& part, Mode mode, Surface* out) {
    if (g.srcW <= 0 || g.srcH <= 0 || g.outW <= 0 || g.outH <= 0)
        return;
    RectI p = part;
    if (!ClipPart(g, *out, &p))
        return;
    Job job{&src,
            under,
            underTop,
            srcW,
            srcH,
            out,
            p,
            Taps(g.srcW, g.outW, p.left, p.right),
            Taps(g.srcH, g.outH, p.top, p.bottom),
            uint64_t(g.srcW) * uint64_t(g.srcH),
            mode};
    Run(job);
}

} // namespace

bool Shrinks(int srcW, int srcH, int outW, int outH) {
    return outW > 0 && outH > 0 && outW <= srcW && outH <= srcH && (outW < srcW || outH < srcH);
}

void ShrinkPart(const Surface& src, const ShrinkGrid& g, const RectI& part, bool opaque, Surface* out) {
    RunPart(src, nullptr, 0, src.width, src.height, g, part, opaque ? Mode::kOpaque : Mode::kWeighted, out);
}

void ShrinkOverPart(const Surface& over, const Surface& under, int underTop, const ShrinkGrid& g, const RectI& part,
                    Surface* out) {
    RunPart(over, &under, underTop, g.srcW, g.srcH, g, part, Mode::kCovered, out);
}

void ShrinkTop(const Surface& src, const ShrinkGrid& g, int rows, bool opaque, Surface* out) {
    if (out->width != g.outW || out->height != rows)
        *out = Surface(g.outW, rows);
    ShrinkPart(src, g, RectI{0, 0, g.outW, rows}, opaque, out);
}

RectI ShrunkRect(const ShrinkGrid& g, const RectI& r) {
    if (g.srcW <= 0 || g.srcH <= 0)
        return RectI{};
    // Output pixel i meets source [a, b) when i * src < b * out and
    // (i + 1) * src > a * out.
    auto lo = [](int a, int src, int out) { return static_cast<int>(int64_t(a) * out / src); };
    auto hi = [](int b, int src, int out) { return static_cast<int>((int64_t(b) * out + src - 1) / src); };
    RectI o{lo(std::max(r.left, 0), g.srcW, g.outW), lo(std::max(r.top, 0), g.srcH, g.outH),
            hi(std::min(r.right, g.srcW), g.srcW, g.outW), hi(std::min(r.bottom, g.srcH), g.srcH, g.outH)};
    if (o.left >= o.right || o.top >= o.bottom)
        return RectI{};
    return o;
}

} // namespace plat
