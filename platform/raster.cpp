#include "platform/raster.h"

#include "platform/raster_pool.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KU_RASTER_AVX2 1
#endif

namespace plat {

namespace {

// Quads smaller than this are not worth handing to the workers.
constexpr int64_t kParallelArea = 131072;

inline uint32_t Ch(uint32_t c, int shift) { return (c >> shift) & 0xFFu; }

inline uint32_t Factor(Blend f, uint32_t s, uint32_t d, uint32_t sa, uint32_t da) {
    switch (f) {
        case Blend::kZero: return 0;
        case Blend::kOne: return 255;
        case Blend::kSrcColor: return s;
        case Blend::kInvSrcColor: return 255 - s;
        case Blend::kSrcAlpha: return sa;
        case Blend::kInvSrcAlpha: return 255 - sa;
        case Blend::kDestAlpha: return da;
        case Blend::kInvDestAlpha: return 255 - da;
        case Blend::kDestColor: return d;
        case Blend::kInvDestColor: return 255 - d;
    }
    return 0;
}

inline bool Keyed(const Surface* tex, bool keyOn, uint32_t texel) {
    return keyOn && tex && tex->hasColorKey && ((texel ^ tex->colorKey) & 0x00FFFFFFu) == 0;
}

// Per-pixel colour of a quad whose vertices differ in colour: the plane of
// each channel over the triangle that holds the pixel.
struct ColourPlanes {
    double a[4], bx[4], by[4];
    void Build(const TLVertex& p0, const TLVertex& p1, const TLVertex& p2) {
        double det = (double(p1.x) - p0.x) * (double(p2.y) - p0.y) - (double(p2.x) - p0.x) * (double(p1.y) - p0.y);
        for (int k = 0; k < 4; ++k) {
            int sh = 24 - 8 * k; // a, r, g, b
            double c0 = Ch(p0.diffuse, sh), c1 = Ch(p1.diffuse, sh), c2 = Ch(p2.diffuse, sh);
            if (det == 0) {
                a[k] = c0;
                bx[k] = by[k] = 0;
                continue;
            }
            bx[k] = ((c1 - c0) * (double(p2.y) - p0.y) - (c2 - c0) * (double(p1.y) - p0.y)) / det;
            by[k] = ((c2 - c0) * (double(p1.x) - p0.x) - (c1 - c0) * (double(p2.x) - p0.x)) / det;
            a[k] = c0 - bx[k] * p0.x - by[k] * p0.y;
        }
    }
    uint32_t At(double x, double y) const {
        uint32_t out = 0;
        for (int k = 0; k < 4; ++k) {
            double v = std::floor(a[k] + bx[k] * x + by[k] * y + 0.5);
            uint32_t c = v <= 0 ? 0u : (v >= 255 ? 255u : static_cast<uint32_t>(v));
            out |= c << (24 - 8 * k);
        }
        return out;
    }
};

inline double Edge(const TLVertex& a, const TLVertex& b, double x, double y) {
    return (double(b.x) - a.x) * (y - a.y) - (double(b.y) - a.y) * (x - a.x);
}

// Top-left rule for an edge of a triangle wound so that inside is positive.
inline bool TopLeft(const TLVertex& a, const TLVertex& b) {
    double dy = double(b.y) - a.y, dx = double(b.x) - a.x;
    return (dy == 0 && dx > 0) || dy < 0;
}

inline void PutPixel(uint32_t* d, uint32_t texel, uint32_t colour, bool white, const RasterState& st) {
    uint32_t s = white ? texel : ModulateTexel(texel, colour);
    *d = st.alphaBlend ? BlendPixel(s, *d, st.src, st.dst) : s;
}

#if defined(__SSE2__)
inline __m128i Div255x16(__m128i x) { // exact rounding for x <= 65025
    return _mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}
inline __m128i AlphaSpread(__m128i px16) { // alpha word of each pixel into all four lanes
    px16 = _mm_shufflelo_epi16(px16, _MM_SHUFFLE(3, 3, 3, 3));
    return _mm_shufflehi_epi16(px16, _MM_SHUFFLE(3, 3, 3, 3));
}
#endif

// The tail (and machines without vectors): the same rules one pixel at a time.
void SpanScalar(uint32_t* d, const uint32_t* t, int i, int n, uint32_t colour, bool white, bool blend, bool key,
                uint32_t keyRgb) {
    for (; i < n; ++i) {
        uint32_t texel = t[i];
        if (key && (texel & 0x00FFFFFFu) == keyRgb)
            continue;
        uint32_t s = white ? texel : ModulateTexel(texel, colour);
        d[i] = blend ? BlendPixel(s, d[i], Blend::kSrcAlpha, Blend::kInvSrcAlpha) : s;
    }
}

#if defined(KU_RASTER_AVX2)
__attribute__((target("avx2"))) inline __m256i Div255x32(__m256i x) {
    return _mm256_mulhi_epu16(_mm256_add_epi16(x, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
}
__attribute__((target("avx2"))) inline __m256i AlphaSpread32(__m256i px16) {
    px16 = _mm256_shufflelo_epi16(px16, _MM_SHUFFLE(3, 3, 3, 3));
    return _mm256_shufflehi_epi16(px16, _MM_SHUFFLE(3, 3, 3, 3));
}

// The vector span below eight pixels at a time, on processors that have it:
// the same integer steps, so the same bytes. Each combination of blend,
// white, key and gathered texels gets a loop of its own.
struct SpanAvx2Consts {
    __m256i zero, c16, rgbMask, keyV, v255, alphaMask;
    bool solidOk;
};

template <bool kMasked>
__attribute__((target("avx2"))) inline __m256i Load8(const uint32_t* p, __m256i mask) {
    if constexpr (kMasked)
        return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), mask);
    else
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Texels i..i+7 of a row: consecutive from t, or t[cols[i]] for a stretched
// picture (kGather); only mask's lanes when kMasked.
template <bool kMasked, bool kGather>
__attribute__((target("avx2"))) inline __m256i Texels8(const uint32_t* t, const int* cols, int i, __m256i mask) {
    if constexpr (!kGather) {
        return Load8<kMasked>(t + i, mask);
    } else {
        const auto* base = reinterpret_cast<const int*>(t);
        if constexpr (kMasked) {
            const __m256i idx = _mm256_maskload_epi32(cols + i, mask);
            return _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), base, idx, mask, 4);
        } else {
            return _mm256_i32gather_epi32(base, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(cols + i)), 4);
        }
    }
}

// Eight pixels, or those of mask's lanes when kMasked (a row's last few).
template <bool kMasked, bool kBlend, bool kWhite, bool kKey>
__attribute__((target("avx2"))) inline void Span8(const SpanAvx2Consts& k, uint32_t* d, __m256i tx, __m256i mask) {
    // Texels whose alpha is 0 leave the pixel as it is; with alpha 255 (and
    // the colour's alpha 255) they replace it: the blend gives those bytes
    // exactly, so pictures' clear and solid parts skip the arithmetic.
    if (kBlend && _mm256_testz_si256(tx, k.alphaMask))
        return;
    const bool mix = kBlend && !(k.solidOk && _mm256_testc_si256(tx, k.alphaMask));
    __m256i lo = _mm256_unpacklo_epi8(tx, k.zero), hi = _mm256_unpackhi_epi8(tx, k.zero);
    if constexpr (!kWhite) {
        lo = Div255x32(_mm256_mullo_epi16(lo, k.c16));
        hi = Div255x32(_mm256_mullo_epi16(hi, k.c16));
    }
    __m256i out;
    if (mix) {
        const __m256i dv = Load8<kMasked>(d, mask);
        const __m256i dlo = _mm256_unpacklo_epi8(dv, k.zero), dhi = _mm256_unpackhi_epi8(dv, k.zero);
        const __m256i alo = AlphaSpread32(lo), ahi = AlphaSpread32(hi);
        lo = Div255x32(
            _mm256_add_epi16(_mm256_mullo_epi16(lo, alo), _mm256_mullo_epi16(dlo, _mm256_sub_epi16(k.v255, alo))));
        hi = Div255x32(
            _mm256_add_epi16(_mm256_mullo_epi16(hi, ahi), _mm256_mullo_epi16(dhi, _mm256_sub_epi16(k.v255, ahi))));
        out = _mm256_packus_epi16(lo, hi);
    } else {
        out = kWhite ? tx : _mm256_packus_epi16(lo, hi);
    }
    if constexpr (kKey) {
        const __m256i m = _mm256_cmpeq_epi32(_mm256_and_si256(tx, k.rgbMask), k.keyV);
        out = _mm256_blendv_epi8(out, Load8<kMasked>(d, mask), m);
    }
    if constexpr (kMasked)
        _mm256_maskstore_epi32(reinterpret_cast<int*>(d), mask, out);
    else
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), out);
}

template <bool kBlend, bool kWhite, bool kKey, bool kGather>
__attribute__((target("avx2"))) void SpanAvx2Loop(const SpanAvx2Consts& kIn, uint32_t* d, const uint32_t* t,
                                                  const int* cols, int n) {
    // A copy of its own: the stores through d may alias the caller's, which
    // would reload every constant after each store.
    const SpanAvx2Consts k = kIn;
    const __m256i all = _mm256_set1_epi32(-1);
    int i = 0;
    for (; i + 8 <= n; i += 8)
        Span8<false, kBlend, kWhite, kKey>(k, d + i, Texels8<false, kGather>(t, cols, i, all), all);
    if (i < n) {
        const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
        const __m256i mask = _mm256_cmpgt_epi32(_mm256_set1_epi32(n - i), lanes);
        Span8<true, kBlend, kWhite, kKey>(k, d + i, Texels8<true, kGather>(t, cols, i, mask), mask);
    }
}

using SpanAvx2Fn = void (*)(const SpanAvx2Consts&, uint32_t*, const uint32_t*, const int*, int);

template <int kFlags>
constexpr SpanAvx2Fn SpanAvx2For() {
    return &SpanAvx2Loop<(kFlags & 1) != 0, (kFlags & 2) != 0, (kFlags & 4) != 0, (kFlags & 8) != 0>;
}

template <int... kFlags>
constexpr std::array<SpanAvx2Fn, sizeof...(kFlags)> SpanAvx2Table(std::integer_sequence<int, kFlags...>) {
    return {SpanAvx2For<kFlags>()...};
}

// cols: texel i is t[cols[i]] (a stretched picture); null: t[i].
__attribute__((target("avx2"))) void SpanAvx2(uint32_t* d, const uint32_t* t, int n, uint32_t colour, bool white,
                                              bool blend, bool key, uint32_t keyRgb, const int* cols = nullptr) {
    static constexpr std::array<SpanAvx2Fn, 16> kLoops = SpanAvx2Table(std::make_integer_sequence<int, 16>());
    SpanAvx2Consts k;
    k.zero = _mm256_setzero_si256();
    k.c16 = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(colour)), k.zero);
    k.rgbMask = _mm256_set1_epi32(0x00FFFFFF);
    k.keyV = _mm256_set1_epi32(static_cast<int>(keyRgb));
    k.v255 = _mm256_set1_epi16(255);
    k.alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    k.solidOk = white || (colour >> 24) == 255u;
    const int flags = (blend ? 1 : 0) | (white ? 2 : 0) | (key ? 4 : 0) | (cols ? 8 : 0);
    kLoops[static_cast<size_t>(flags)](k, d, t, cols, n);
}

const bool kHaveAvx2 = __builtin_cpu_supports("avx2");

// Texel columns four at a time: the same double steps as the scalar loop in
// TexelColumns (one rounding each), so the same columns. Returns how many were done.
__attribute__((target("avx2"))) int TexelColumnsAvx2(int* out, int n, int x0, double xs0, double uA, double du,
                                                     double w, double last) {
    const __m256d vxs0 = _mm256_set1_pd(xs0), vuA = _mm256_set1_pd(uA), vdu = _mm256_set1_pd(du);
    const __m256d vw = _mm256_set1_pd(w), lo = _mm256_setzero_pd(), hi = _mm256_set1_pd(last);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i xi = _mm_add_epi32(_mm_set1_epi32(x0 + i), _mm_setr_epi32(0, 1, 2, 3));
        const __m256d c = _mm256_sub_pd(_mm256_cvtepi32_pd(xi), vxs0);
        __m256d t = _mm256_floor_pd(_mm256_add_pd(vuA, _mm256_div_pd(_mm256_mul_pd(c, vdu), vw)));
        t = _mm256_min_pd(_mm256_max_pd(t, lo), hi);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm256_cvttpd_epi32(t));
    }
    return i;
}
#endif

// Texel column of each of the n pixels from x0 on, for a quad spanning
// [xs0, xs1) over texture columns from uA, du wide, tw in all.
void TexelColumns(int* out, int n, int x0, double xs0, double uA, double du, double w, int tw) {
    int i = 0;
#if defined(KU_RASTER_AVX2)
    if (kHaveAvx2)
        i = TexelColumnsAvx2(out, n, x0, xs0, uA, du, w, double(tw - 1));
#endif
    for (; i < n; ++i) {
        double t = std::floor(uA + ((x0 + i) - xs0) * du / w);
        out[i] = static_cast<int>(std::clamp(t, 0.0, double(tw - 1)));
    }
}

// One row of a span whose texels are consecutive, uniform colour, and blending
// off or SRCALPHA/INVSRCALPHA: the paths every picture of the game takes.
void SpanFast(uint32_t* d, const uint32_t* t, int n, uint32_t colour, bool white, bool blend, bool key,
              uint32_t keyRgb) {
    int i = 0;
#if defined(KU_RASTER_AVX2)
    if (kHaveAvx2) {
        SpanAvx2(d, t, n, colour, white, blend, key, keyRgb);
        return;
    }
#endif
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i c16 = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour)), zero);
    const __m128i rgbMask = _mm_set1_epi32(0x00FFFFFF);
    const __m128i keyV = _mm_set1_epi32(static_cast<int>(keyRgb));
    const __m128i v255 = _mm_set1_epi16(255);
    for (; i + 4 <= n; i += 4) {
        __m128i tx = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
        __m128i lo = _mm_unpacklo_epi8(tx, zero), hi = _mm_unpackhi_epi8(tx, zero);
        if (!white) {
            lo = Div255x16(_mm_mullo_epi16(lo, c16));
            hi = Div255x16(_mm_mullo_epi16(hi, c16));
        }
        __m128i out;
        if (blend) {
            __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
            __m128i dlo = _mm_unpacklo_epi8(dv, zero), dhi = _mm_unpackhi_epi8(dv, zero);
            __m128i alo = AlphaSpread(lo), ahi = AlphaSpread(hi);
            lo = Div255x16(_mm_add_epi16(_mm_mullo_epi16(lo, alo), _mm_mullo_epi16(dlo, _mm_sub_epi16(v255, alo))));
            hi = Div255x16(_mm_add_epi16(_mm_mullo_epi16(hi, ahi), _mm_mullo_epi16(dhi, _mm_sub_epi16(v255, ahi))));
            out = _mm_packus_epi16(lo, hi);
        } else {
            out = white ? tx : _mm_packus_epi16(lo, hi);
        }
        if (key) {
            __m128i m = _mm_cmpeq_epi32(_mm_and_si128(tx, rgbMask), keyV);
            __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
            out = _mm_or_si128(_mm_and_si128(m, dv), _mm_andnot_si128(m, out));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), out);
    }
#endif
    SpanScalar(d, t, i, n, colour, white, blend, key, keyRgb);
}

// Screen span [begin, end) of an edge pair at a and b (pixel centres inside).
inline void CoveredRange(double a, double b, int limit, int* begin, int* end) {
    double lo = std::min(a, b), hi = std::max(a, b);
    double cb = std::ceil(lo), ce = std::ceil(hi);
    cb = std::max(cb, 0.0);
    ce = std::min(ce, static_cast<double>(limit));
    *begin = static_cast<int>(cb);
    *end = std::max(*begin, static_cast<int>(ce));
}

// The corners of a quad whose strip makes an axis-aligned rectangle with
// texture coordinates changing along one axis each; false for any other.
struct RectCorners {
    float xs[2], ys[2];
    const TLVertex* corner[2][2]; // [yi][xi]
};
bool FindRectCorners(const TLVertex v[4], RectCorners* c) {
    // Find the two x values and two y values.
    float* xs = c->xs;
    float* ys = c->ys;
    xs[0] = xs[1] = v[0].x, ys[0] = ys[1] = v[0].y;
    for (int k = 1; k < 4; ++k) {
        xs[0] = std::min(xs[0], v[k].x), xs[1] = std::max(xs[1], v[k].x);
        ys[0] = std::min(ys[0], v[k].y), ys[1] = std::max(ys[1], v[k].y);
    }
    c->corner[0][0] = c->corner[0][1] = c->corner[1][0] = c->corner[1][1] = nullptr;
    for (int k = 0; k < 4; ++k) {
        int xi = v[k].x == xs[0] ? 0 : (v[k].x == xs[1] ? 1 : -1);
        int yi = v[k].y == ys[0] ? 0 : (v[k].y == ys[1] ? 1 : -1);
        if (xi < 0 || yi < 0 || c->corner[yi][xi])
            return false;
        c->corner[yi][xi] = &v[k];
    }
    // The strip's diagonal must be v1-v2 between opposite corners for the
    // union of the two triangles to be the rectangle.
    bool v1v2Opposite = v[1].x != v[2].x && v[1].y != v[2].y;
    if (!v1v2Opposite)
        return false;
    const TLVertex &tl = *c->corner[0][0], &tr = *c->corner[0][1], &bl = *c->corner[1][0], &br = *c->corner[1][1];
    return tl.u == bl.u && tr.u == br.u && tl.v == tr.v && bl.v == br.v;
}

// Per-quad state of an axis-aligned quad, prepared once and read by every band.
struct RectJob {
    Surface* dst;
    const Surface* tex;
    const TLVertex* v;
    const RasterState* st;
    const int* tcol; // texel column of each covered pixel
    int x0, n; // first covered column and count
    double vA, dv, h; // texture row mapping: v at the top, its change, height
    double yTop;
    int th;
    bool consecutive, uniform, white, keyOn, fastBlend, gather;
    uint32_t colour, keyRgb;
    const int* alphaRows; // per texture row, [first, end) of texels not fully clear; null: unknown
    ColourPlanes p1{}, p2{};

    void ShadedRow(uint32_t* d, const uint32_t* trow, int y) const;
    void Rows(int ya, int yb) const;
};

constexpr uint32_t kWhiteTexel = 0xFFFFFFFFu;

// Rows are far apart in memory, and a small redrawn rectangle finds them out
// of the cache: the starts of the next rows are asked for ahead of drawing,
// so that the misses overlap (along a row the processor keeps up alone).
constexpr int kAhead = 8;
inline void PrefetchRow(const uint32_t* texels, const uint32_t* pixels, int n) {
    const int lines = std::min(4, (n + 15) / 16);
    for (int i = 0; i < lines; ++i) {
        __builtin_prefetch(texels + 16 * i);
        __builtin_prefetch(pixels + 16 * i, 1);
    }
}

// Per-pixel path: keyed texels, any blend, colours interpolated per triangle.
inline void RectJob::ShadedRow(uint32_t* d, const uint32_t* trow, int y) const {
    for (int i = 0; i < n; ++i) {
        uint32_t texel = trow ? trow[tcol[i]] : kWhiteTexel;
        if (Keyed(tex, st->colorKey, texel))
            continue;
        uint32_t c = colour;
        if (!uniform) {
            double px = x0 + i, py = y;
            // Same side of the diagonal v1-v2 as v0 (or on it): first triangle.
            double e = Edge(v[1], v[2], px, py), e0 = Edge(v[1], v[2], v[0].x, v[0].y);
            c = (e == 0 || (e > 0) == (e0 > 0)) ? p1.At(px, py) : p2.At(px, py);
        }
        PutPixel(d + i, texel, c, c == 0xFFFFFFFFu, *st);
    }
}

// A stretched picture or a plain colour takes the same span once its texels
// are gathered into a row (each band its own, reused while the texture row
// repeats); with AVX2 the span fetches a stretched picture's texels itself.
void RectJob::Rows(int ya, int yb) const {
#if defined(KU_RASTER_AVX2)
    const bool spanGathers = gather && tex && kHaveAvx2;
#else
    const bool spanGathers = false;
#endif
    uint32_t stackRow[512];
    std::vector<uint32_t> heapRow;
    uint32_t* row = stackRow;
    if (gather && !spanGathers && n > 512) {
        heapRow.resize(static_cast<size_t>(n));
        row = heapRow.data();
    }
    if (gather && !tex)
        std::fill(row, row + n, kWhiteTexel);
    // Locals, not members: the pixel stores could otherwise alias them.
    const bool direct = uniform && tex && consecutive && fastBlend;
    const int count = n, first = x0;
    const int* cols = tcol;
    const uint32_t c = colour, kRgb = keyRgb;
    const bool wh = white, blend = st->alphaBlend, key = keyOn;
    // Blending by source alpha, a clear texel leaves the pixel as it is.
    const int* clearEnds = direct && blend ? alphaRows : nullptr;
    int rowOf = -1;
    int texRows[256];
    for (int chunk = ya; chunk < yb; chunk += 256) {
        const int rows = std::min(256, yb - chunk);
        if (tex) // the same steps as the columns', one rounding each
            TexelColumns(texRows, rows, chunk, yTop, vA, dv, h, th);
        for (int k = 0; direct && k < std::min(kAhead, rows); ++k)
            PrefetchRow(tex->Row(texRows[k]) + cols[0], dst->Row(chunk + k) + first, count);
        for (int k = 0; k < rows; ++k) {
            const int y = chunk + k;
            uint32_t* d = dst->Row(y) + first;
            const int ty = tex ? texRows[k] : 0;
            const uint32_t* trow = tex ? tex->Row(ty) : nullptr;
            if (direct && k + kAhead < rows)
                PrefetchRow(tex->Row(texRows[k + kAhead]) + cols[0], dst->Row(y + kAhead) + first, count);
            if (clearEnds) {
                const int lo = std::max(cols[0], clearEnds[2 * ty]);
                const int hi = std::min(cols[0] + count, clearEnds[2 * ty + 1]);
                if (lo < hi)
                    SpanFast(d + (lo - cols[0]), trow + lo, hi - lo, c, wh, blend, key, kRgb);
            } else if (direct) {
                SpanFast(d, trow + cols[0], count, c, wh, blend, key, kRgb);
            } else if (gather) {
#if defined(KU_RASTER_AVX2)
                if (spanGathers) {
                    SpanAvx2(d, trow, count, c, wh, blend, key, kRgb, cols);
                    continue;
                }
#endif
                if (tex && ty != rowOf) {
                    for (int i = 0; i < count; ++i)
                        row[i] = trow[cols[i]];
                    rowOf = ty;
                }
                SpanFast(d, row, count, c, wh, blend, key, kRgb);
            } else {
                ShadedRow(d, trow, y);
            }
        }
    }
}

// Large quads are split into bands of rows, one per worker: each pixel is
// still written once, by one thread, so the result does not change.
void RunRectRows(const RectJob& job, int y0, int y1, bool allowBands) {
    const int64_t area = static_cast<int64_t>(job.n) * (y1 - y0);
    const int bands = (allowBands && area >= kParallelArea) ? RasterBandCount() : 1;
    if (bands <= 1) {
        job.Rows(y0, y1);
        return;
    }
    struct Ctx {
        const RectJob* job;
        int y0, y1;
    } ctx{&job, y0, y1};
    RunRasterBands(
        [](void* p, int band, int count) {
            const Ctx& c = *static_cast<const Ctx*>(p);
            const int h = c.y1 - c.y0;
            c.job->Rows(c.y0 + h * band / count, c.y0 + h * (band + 1) / count);
        },
        &ctx, bands);
}

// The quad's rectangle in whole pixels, inside dst and clip; false when empty.
bool CoveredRect(const RectCorners& rc, const Surface& dst, const RectI& clip, RectI* out) {
    int x0, x1, y0, y1;
    CoveredRange(rc.xs[0], rc.xs[1], dst.width, &x0, &x1);
    CoveredRange(rc.ys[0], rc.ys[1], dst.height, &y0, &y1);
    *out = RectI{std::max(x0, clip.left), std::max(y0, clip.top), std::min(x1, clip.right), std::min(y1, clip.bottom)};
    return out->left < out->right && out->top < out->bottom;
}

// Axis-aligned quad: the union of the strip's two triangles is the rectangle,
// and texture coordinates change along one axis each; false for any other.
// Pixels outside clip are left alone; with allowBands a large quad is shared
// out to the band workers.
bool RasterRect(Surface& dst, const Surface* tex, const TLVertex v[4], const RasterState& st, const RectI& clip,
                bool allowBands) {
    RectCorners rc;
    if (!FindRectCorners(v, &rc))
        return false;
    const float* xs = rc.xs;
    const float* ys = rc.ys;
    const TLVertex &tl = *rc.corner[0][0], &tr = *rc.corner[0][1], &bl = *rc.corner[1][0];
    RectI r{};
    if (xs[0] == xs[1] || ys[0] == ys[1] || !CoveredRect(rc, dst, clip, &r))
        return true; // empty

    const int tw = tex ? tex->width : 1, th = tex ? tex->height : 1;
    // Texel columns, computed once per quad.
    const int n = r.right - r.left;
    int stackCols[2048];
    std::vector<int> heapCols;
    int* tcol = stackCols;
    if (n > 2048) {
        heapCols.resize(static_cast<size_t>(n));
        tcol = heapCols.data();
    }
    TexelColumns(tcol, n, r.left, double(xs[0]), double(tl.u) * tw, (double(tr.u) - tl.u) * tw, double(xs[1]) - xs[0],
                 tw);
    RectJob job{};
    job.dst = &dst, job.tex = tex, job.v = v, job.st = &st, job.tcol = tcol, job.x0 = r.left, job.n = n;
    job.vA = double(tl.v) * th, job.dv = (double(bl.v) - tl.v) * th, job.h = double(ys[1]) - ys[0];
    job.yTop = double(ys[0]), job.th = th;
    job.consecutive = true;
    for (int i = 1; i < n && job.consecutive; ++i)
        job.consecutive = tcol[i] == tcol[i - 1] + 1;
    job.uniform = v[0].diffuse == v[1].diffuse && v[0].diffuse == v[2].diffuse && v[0].diffuse == v[3].diffuse;
    job.colour = v[0].diffuse;
    job.white = job.uniform && job.colour == 0xFFFFFFFFu;
    job.keyOn = st.colorKey && tex && tex->hasColorKey;
    job.fastBlend = !st.alphaBlend || (st.src == Blend::kSrcAlpha && st.dst == Blend::kInvSrcAlpha);
    job.gather = job.uniform && job.fastBlend && !(tex && job.consecutive);
    job.keyRgb = tex ? tex->colorKey & 0x00FFFFFFu : 0;
    // The size is checked too: a write that forgot Touch() must not lead
    // past the notes, only to a stale picture.
    const bool notes = tex && tex->alphaRowsStamp == tex->stamp &&
                       tex->alphaRows.size() == 2 * static_cast<size_t>(std::max(tex->height, 0));
    job.alphaRows = notes && !tex->alphaRows.empty() ? tex->alphaRows.data() : nullptr;
    if (!job.uniform) {
        job.p1.Build(v[0], v[1], v[2]);
        job.p2.Build(v[1], v[2], v[3]);
    }
    RunRectRows(job, r.top, r.bottom, allowBands);
    return true;
}

// Any triangle: edge functions with the top-left rule, attributes from
// barycentric weights.
void RasterTriangle(Surface& dst, const Surface* tex, TLVertex a, TLVertex b, TLVertex c, const RasterState& st,
                    const RectI& clip) {
    double area = Edge(a, b, c.x, c.y);
    if (area == 0)
        return;
    if (area < 0) {
        std::swap(b, c);
        area = -area;
    }
    int minX = std::max(clip.left, static_cast<int>(std::ceil(std::min({a.x, b.x, c.x}))));
    int maxX = std::min(clip.right - 1, static_cast<int>(std::floor(std::max({a.x, b.x, c.x}))));
    int minY = std::max(clip.top, static_cast<int>(std::ceil(std::min({a.y, b.y, c.y}))));
    int maxY = std::min(clip.bottom - 1, static_cast<int>(std::floor(std::max({a.y, b.y, c.y}))));
    const bool tlBC = TopLeft(b, c), tlCA = TopLeft(c, a), tlAB = TopLeft(a, b);
    const int tw = tex ? tex->width : 1, th = tex ? tex->height : 1;
    ColourPlanes planes{};
    planes.Build(a, b, c);
    for (int y = minY; y <= maxY; ++y) {
        for (int x = minX; x <= maxX; ++x) {
            double w0 = Edge(b, c, x, y), w1 = Edge(c, a, x, y), w2 = Edge(a, b, x, y);
            if (w0 < 0 || w1 < 0 || w2 < 0)
                continue;
            if ((w0 == 0 && !tlBC) || (w1 == 0 && !tlCA) || (w2 == 0 && !tlAB))
                continue;
            double u = (w0 * a.u + w1 * b.u + w2 * c.u) / area;
            double vv = (w0 * a.v + w1 * b.v + w2 * c.v) / area;
            uint32_t texel = 0xFFFFFFFFu;
            if (tex) {
                int tx = static_cast<int>(std::clamp(std::floor(u * tw), 0.0, double(tw - 1)));
                int ty = static_cast<int>(std::clamp(std::floor(vv * th), 0.0, double(th - 1)));
                texel = tex->Row(ty)[tx];
            }
            if (Keyed(tex, st.colorKey, texel))
                continue;
            uint32_t col = planes.At(x, y);
            PutPixel(dst.Row(y) + x, texel, col, col == 0xFFFFFFFFu, st);
        }
    }
}

bool Finite(const TLVertex& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.u) && std::isfinite(v.v);
}

} // namespace

uint32_t ModulateTexel(uint32_t t, uint32_t c) {
    uint32_t out = 0;
    for (int sh = 0; sh < 32; sh += 8)
        out |= Div255(Ch(t, sh) * Ch(c, sh)) << sh;
    return out;
}

uint32_t BlendPixel(uint32_t s, uint32_t d, Blend fs, Blend fd) {
    const uint32_t sa = s >> 24, da = d >> 24;
    uint32_t out = 0;
    for (int sh = 0; sh < 32; sh += 8) {
        uint32_t sc = Ch(s, sh), dc = Ch(d, sh);
        uint32_t v = Div255(sc * Factor(fs, sc, dc, sa, da) + dc * Factor(fd, sc, dc, sa, da));
        out |= std::min(v, 255u) << sh;
    }
    return out;
}

namespace {

// clip must lie inside dst.
void QuadClipped(Surface& dst, const Surface* texture, const TLVertex v[4], const RasterState& state, const RectI& clip,
                 bool allowBands) {
    if (dst.pixels.empty() || clip.left >= clip.right || clip.top >= clip.bottom)
        return;
    if (texture && (texture->width <= 0 || texture->height <= 0 || texture->pixels.empty()))
        return;
    for (int k = 0; k < 4; ++k)
        if (!Finite(v[k]))
            return;
    // Keep coordinates where doubles and ints stay exact.
    for (int k = 0; k < 4; ++k)
        if (std::fabs(v[k].x) > 1e7f || std::fabs(v[k].y) > 1e7f)
            return;
    if (RasterRect(dst, texture, v, state, clip, allowBands))
        return;
    RasterTriangle(dst, texture, v[0], v[1], v[2], state, clip);
    RasterTriangle(dst, texture, v[1], v[2], v[3], state, clip);
}

// Where each row's texels that are not fully clear lie, for pictures drawn
// blended: spans then leave a row's clear ends unread (characters stand in
// the middle of wide clear pictures). Worked out on the drawing thread before
// any band starts, and only on the second draw at one stamp, so that a
// picture rewritten for every frame never pays for it.
void NoteAlphaRows(const Surface* tex, const RasterState& st) {
    if (!tex || !st.alphaBlend || tex->alphaRowsStamp == tex->stamp || tex->pixels.empty())
        return;
    if (tex->alphaRowsSeen != tex->stamp) {
        tex->alphaRowsSeen = tex->stamp;
        return;
    }
    tex->alphaRows.resize(2 * static_cast<size_t>(tex->height));
    for (int y = 0; y < tex->height; ++y) {
        const uint32_t* r = tex->Row(y);
        int lo = 0, hi = tex->width;
        while (lo < hi && (r[lo] >> 24) == 0)
            ++lo;
        while (hi > lo && (r[hi - 1] >> 24) == 0)
            --hi;
        tex->alphaRows[2 * static_cast<size_t>(y)] = lo;
        tex->alphaRows[2 * static_cast<size_t>(y) + 1] = hi;
    }
    tex->alphaRowsStamp = tex->stamp;
}

RectI Inside(const Surface& s, const RectI& r) {
    return RectI{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, s.width), std::min(r.bottom, s.height)};
}

} // namespace

void RasterQuadStrip(Surface& dst, const Surface* texture, const TLVertex v[4], const RasterState& state) {
    NoteAlphaRows(texture, state);
    QuadClipped(dst, texture, v, state, RectI{0, 0, dst.width, dst.height}, true);
}

void RasterQuadStripRows(Surface& dst, const Surface* texture, const TLVertex v[4], const RasterState& state,
                         int rowBegin, int rowEnd) {
    QuadClipped(dst, texture, v, state, Inside(dst, RectI{0, rowBegin, dst.width, rowEnd}), false);
}

void RasterQuadBatch(Surface& dst, const DrawRecord* quads, size_t count) {
    RasterQuadBatchClipped(dst, quads, count, RectI{0, 0, dst.width, dst.height});
}

void RasterQuadBatchClipped(Surface& dst, const DrawRecord* quads, size_t count, const RectI& clipIn) {
    const RectI clip = Inside(dst, clipIn);
    if (count == 0 || clip.left >= clip.right || clip.top >= clip.bottom)
        return;
    for (size_t i = 0; i < count; ++i)
        NoteAlphaRows(quads[i].texture, quads[i].state);
    if (count == 1) {
        QuadClipped(dst, quads[0].texture, quads[0].v, quads[0].state, clip, true);
        return;
    }
    // Each quad's vertex box, and only the quads whose box meets the clip:
    // with several damaged rectangles and bands a frame's quads are gone
    // through many times, mostly far from the rows at hand. A margin of a
    // pixel keeps every quad that could cover a pixel centre there.
    struct Live {
        size_t index;
        float top, bottom;
    };
    std::vector<Live> live;
    live.reserve(count);
    double area = 0;
    for (size_t i = 0; i < count; ++i) {
        const TLVertex* v = quads[i].v;
        const float x0 = std::min({v[0].x, v[1].x, v[2].x, v[3].x}), x1 = std::max({v[0].x, v[1].x, v[2].x, v[3].x});
        const float y0 = std::min({v[0].y, v[1].y, v[2].y, v[3].y}), y1 = std::max({v[0].y, v[1].y, v[2].y, v[3].y});
        const bool meets = x1 >= float(clip.left - 1) && x0 <= float(clip.right) && y1 >= float(clip.top - 1) &&
                           y0 <= float(clip.bottom);
        if (!meets)
            continue; // also every quad with a vertex that is not a number: drawn as nothing
        live.push_back(Live{i, y0, y1});
        area += std::max(0.0, std::min<double>(x1, clip.right) - std::max<double>(x0, clip.left)) *
                std::max(0.0, std::min<double>(y1, clip.bottom) - std::max<double>(y0, clip.top));
    }
    const int bands = area >= kParallelArea ? RasterBandCount() : 1;
    if (bands <= 1) {
        for (const Live& q : live)
            QuadClipped(dst, quads[q.index].texture, quads[q.index].v, quads[q.index].state, clip, false);
        return;
    }
    // Every band replays the quads in order over its own rows.
    struct Ctx {
        Surface* dst;
        const DrawRecord* quads;
        const std::vector<Live>* live;
        RectI clip;
    } ctx{&dst, quads, &live, clip};
    RunRasterBands(
        [](void* p, int band, int total) {
            Ctx& c = *static_cast<Ctx*>(p);
            const int h = c.clip.bottom - c.clip.top;
            RectI rows = c.clip;
            rows.top = c.clip.top + h * band / total;
            rows.bottom = c.clip.top + h * (band + 1) / total;
            for (const Live& q : *c.live) {
                if (q.bottom < float(rows.top - 1) || q.top > float(rows.bottom))
                    continue;
                const DrawRecord& r = c.quads[q.index];
                QuadClipped(*c.dst, r.texture, r.v, r.state, rows, false);
            }
        },
        &ctx, bands);
}

RectI RasterOpaqueCover(const Surface& dst, const DrawRecord& q) {
    const Surface* tex = q.texture;
    if (q.state.alphaBlend || (q.state.colorKey && tex && tex->hasColorKey) ||
        (tex && (tex->width <= 0 || tex->height <= 0 || tex->pixels.empty())))
        return RectI{};
    for (const TLVertex& v : q.v)
        if (!Finite(v) || std::fabs(v.x) > 1e7f || std::fabs(v.y) > 1e7f)
            return RectI{};
    RectCorners rc;
    if (!FindRectCorners(q.v, &rc) || rc.xs[0] == rc.xs[1] || rc.ys[0] == rc.ys[1])
        return RectI{};
    // The rows and columns the rectangle path writes, every pixel of them.
    RectI r;
    CoveredRange(rc.xs[0], rc.xs[1], dst.width, &r.left, &r.right);
    CoveredRange(rc.ys[0], rc.ys[1], dst.height, &r.top, &r.bottom);
    return r;
}

void RasterFill(Surface& dst, const RectI& clipIn, uint32_t argb) {
    const RectI clip = Inside(dst, clipIn);
    if (dst.pixels.empty() || clip.left >= clip.right || clip.top >= clip.bottom)
        return;
    struct Ctx {
        Surface* dst;
        RectI clip;
        uint32_t argb;
    } ctx{&dst, clip, argb};
    auto fill = [](void* p, int band, int total) {
        const Ctx& c = *static_cast<const Ctx*>(p);
        const int h = c.clip.bottom - c.clip.top;
        for (int y = c.clip.top + h * band / total; y < c.clip.top + h * (band + 1) / total; ++y)
            std::fill(c.dst->Row(y) + c.clip.left, c.dst->Row(y) + c.clip.right, c.argb);
    };
    const int64_t area = int64_t(clip.right - clip.left) * (clip.bottom - clip.top);
    if (area >= kParallelArea)
        RunRasterBands(fill, &ctx, RasterBandCount());
    else
        fill(&ctx, 0, 1);
}

void RasterBlt(Surface& dst, const RectI& dr, const Surface& src, const RectI& sr, bool keySrc) {
    RasterBltClipped(dst, dr, src, sr, keySrc, RectI{0, 0, dst.width, dst.height});
}

void RasterBltClipped(Surface& dst, const RectI& dr, const Surface& src, const RectI& sr, bool keySrc,
                      const RectI& clipIn) {
    const RectI clip = Inside(dst, clipIn);
    const int dw = dr.right - dr.left, dh = dr.bottom - dr.top;
    const int sw = sr.right - sr.left, sh = sr.bottom - sr.top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    const bool key = keySrc && src.hasColorKey;
    for (int y = std::max(dr.top, clip.top); y < std::min(dr.bottom, clip.bottom); ++y) {
        int sy = sr.top + static_cast<int>((2LL * (y - dr.top) + 1) * sh / (2LL * dh));
        if (sy < 0 || sy >= src.height)
            continue;
        uint32_t* d = dst.Row(y);
        const uint32_t* s = src.Row(sy);
        for (int x = std::max(dr.left, clip.left); x < std::min(dr.right, clip.right); ++x) {
            int sx = sr.left + static_cast<int>((2LL * (x - dr.left) + 1) * sw / (2LL * dw));
            if (sx < 0 || sx >= src.width)
                continue;
            uint32_t p = s[sx];
            if (key && ((p ^ src.colorKey) & 0x00FFFFFFu) == 0)
                continue;
            d[x] = p;
        }
    }
}

} // namespace plat
