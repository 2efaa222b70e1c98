#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "platform/raster.h"
#include "platform/video.h"

namespace {

using plat::Blend;
using plat::RasterState;
using plat::Surface;
using plat::TLVertex;

// The strip the renderer sends for a w x h rectangle at (x, y).
void Quad(TLVertex v[4], float x, float y, float w, float h, uint32_t c = 0xFFFFFFFFu, float u0 = 0, float v0 = 0,
          float u1 = 1, float v1 = 1) {
    v[0] = TLVertex{x, y + h, 0, 1, c, 0, u0, v1};
    v[1] = TLVertex{x, y, 0, 1, c, 0, u0, v0};
    v[2] = TLVertex{x + w, y + h, 0, 1, c, 0, u1, v1};
    v[3] = TLVertex{x + w, y, 0, 1, c, 0, u1, v0};
}

int Count(const Surface& s, uint32_t value) {
    int n = 0;
    for (uint32_t p : s.pixels)
        n += p == value;
    return n;
}

TEST(RasterTest, PixelCentresAndTheTopLeftRule) {
    Surface dst(16, 16);
    TLVertex v[4];
    RasterState st;
    // Edges on pixel centres: left/top included, right/bottom excluded.
    Quad(v, 2, 3, 4, 5);
    plat::RasterQuadStrip(dst, nullptr, v, st);
    EXPECT_EQ(Count(dst, 0xFFFFFFFFu), 20);
    EXPECT_EQ(dst.Row(3)[2], 0xFFFFFFFFu);
    EXPECT_EQ(dst.Row(7)[5], 0xFFFFFFFFu);
    EXPECT_EQ(dst.Row(8)[5], 0u);
    EXPECT_EQ(dst.Row(7)[6], 0u);
    // The renderer's half-pixel shift: (x - 0.5 .. x + w - 0.5) covers x .. x + w - 1.
    Surface d2(16, 16);
    Quad(v, -0.5f, -0.5f, 3, 2);
    plat::RasterQuadStrip(d2, nullptr, v, st);
    EXPECT_EQ(Count(d2, 0xFFFFFFFFu), 6);
    EXPECT_EQ(d2.Row(1)[2], 0xFFFFFFFFu);
    // Off the surface on every side: clipped, no write outside.
    Surface d3(4, 4);
    Quad(v, -10, -10, 30, 30);
    plat::RasterQuadStrip(d3, nullptr, v, st);
    EXPECT_EQ(Count(d3, 0xFFFFFFFFu), 16);
}

TEST(RasterTest, PointSamplingMapsTexelsToPixels) {
    Surface tex(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            tex.Row(y)[x] = 0xFF000000u | uint32_t(x) << 8 | uint32_t(y);
    Surface dst(8, 8);
    TLVertex v[4];
    Quad(v, -0.5f, -0.5f, 8, 8); // twice the size
    plat::RasterQuadStrip(dst, &tex, v, RasterState{});
    EXPECT_EQ(dst.Row(0)[0], tex.Row(0)[0]);
    EXPECT_EQ(dst.Row(0)[1], tex.Row(0)[0]);
    EXPECT_EQ(dst.Row(0)[2], tex.Row(0)[1]);
    EXPECT_EQ(dst.Row(7)[7], tex.Row(3)[3]);
    EXPECT_EQ(dst.Row(5)[2], tex.Row(2)[1]);
}

TEST(RasterTest, ModulateAndBlendRules) {
    EXPECT_EQ(plat::ModulateTexel(0xFFC86432u, 0xFFFFFFFFu), 0xFFC86432u);
    EXPECT_EQ(plat::ModulateTexel(0xFFC86432u, 0x80808080u), 0x80643219u);
    const uint32_t s = 0x80C86432u, d = 0xFF0A141Eu;
    auto ch = [](int a, int b) { return uint32_t((a + b + 127) / 255); };
    EXPECT_EQ(plat::BlendPixel(s, d, Blend::kSrcAlpha, Blend::kInvSrcAlpha) & 0xFFFFFF,
              ch(200 * 128, 10 * 127) << 16 | ch(100 * 128, 20 * 127) << 8 | ch(50 * 128, 30 * 127));
    EXPECT_EQ(plat::BlendPixel(0xFFF0F0F0u, d, Blend::kOne, Blend::kOne), 0xFFFAFFFFu); // saturates
    EXPECT_EQ(plat::BlendPixel(s, d, Blend::kZero, Blend::kSrcColor) & 0xFFFFFF,
              ch(10 * 200, 0) << 16 | ch(20 * 100, 0) << 8 | ch(30 * 50, 0));
    EXPECT_EQ(plat::BlendPixel(s, d, Blend::kInvDestColor, Blend::kZero) & 0xFFFFFF,
              ch(200 * 245, 0) << 16 | ch(100 * 235, 0) << 8 | ch(50 * 225, 0));
    EXPECT_EQ(plat::BlendPixel(s, d, Blend::kDestColor, Blend::kOne) & 0xFFFFFF,
              ch(200 * 10, 10 * 255) << 16 | ch(100 * 20, 20 * 255) << 8 | ch(50 * 30, 30 * 255));
    EXPECT_EQ(plat::BlendPixel(s, d, Blend::kZero, Blend::kInvSrcAlpha) & 0xFFFFFF,
              ch(10 * 127, 0) << 16 | ch(20 * 127, 0) << 8 | ch(30 * 127, 0));
    EXPECT_EQ(plat::BlendPixel(s, d, Blend::kOne, Blend::kInvSrcAlpha) & 0xFFFFFF,
              ch(200 * 255, 10 * 127) << 16 | ch(100 * 255, 20 * 127) << 8 | ch(50 * 255, 30 * 127));
}

// The vector span path (in row bands on the workers, for a quad this large)
// and the per-pixel rules must give the same bytes.
TEST(RasterTest, FastSpansMatchThePerPixelRules) {
    Surface tex(256, 128);
    uint32_t seed = 12345;
    for (uint32_t& p : tex.pixels)
        p = (seed = seed * 1103515245u + 12345u);
    // Clear row ends and runs of clear and solid texels, as pictures have.
    for (int y = 0; y < tex.height; ++y)
        for (int x = 0; x < tex.width; ++x) {
            uint32_t& p = tex.Row(y)[x];
            if ((y % 3 == 0 && (x < 40 || x >= 226)) || (y % 4 == 1 && x >= 128 && x < 160) || y == 7)
                p &= 0x00FFFFFFu;
            else if (x >= 64 && x < 128)
                p |= 0xFF000000u;
        }
    tex.hasColorKey = true;
    tex.colorKey = tex.pixels[5];
    // 253 wide: the eight- and four-pixel steps and the one-pixel tail all
    // run; stretched twice across (scale 2) and untextured (scale 0) too.
    for (int scale : {1, 2, 0})
        for (int w : {256, 253}) {
            for (uint32_t colour : {0xFFFFFFFFu, 0x80FFFFFFu, 0xC0A0B0F0u}) {
                for (bool blend : {false, true}) {
                    // Twice at one stamp: the second draw knows where rows are clear.
                    tex.Touch();
                    for (int pass = 0; pass < 4; ++pass) {
                        const bool key = pass % 2 == 1;
                        Surface dst(w, 128);
                        uint32_t s2 = 777;
                        for (uint32_t& p : dst.pixels)
                            p = (s2 = s2 * 1103515245u + 12345u);
                        Surface expect = dst;
                        RasterState st;
                        st.alphaBlend = blend;
                        st.colorKey = key;
                        TLVertex v[4];
                        Quad(v, -0.5f, -0.5f, float(w), 128, colour, 0, 0, float(w) / 256 / std::max(scale, 1), 1);
                        plat::RasterQuadStrip(dst, scale ? &tex : nullptr, v, st);
                        for (size_t i = 0; i < expect.pixels.size(); ++i) {
                            uint32_t t = scale ? tex.Row(int(i) / w)[int(i) % w / scale] : 0xFFFFFFFFu;
                            if (scale && key && ((t ^ tex.colorKey) & 0xFFFFFF) == 0)
                                continue;
                            uint32_t m = plat::ModulateTexel(t, colour);
                            expect.pixels[i] =
                                blend ? plat::BlendPixel(m, expect.pixels[i], Blend::kSrcAlpha, Blend::kInvSrcAlpha)
                                      : m;
                        }
                        ASSERT_EQ(dst.pixels, expect.pixels)
                            << scale << " " << w << " " << std::hex << colour << " blend " << blend << " pass " << pass;
                    }
                }
            }
        }
}

TEST(RasterTest, VertexColoursShadeAcrossTheQuad) {
    Surface dst(10, 1);
    TLVertex v[4];
    Quad(v, -0.5f, -0.5f, 10, 1);
    // Alpha 255 on the left edge, 0 on the right (a reveal wipe).
    v[0].diffuse = v[1].diffuse = 0xFFFFFFFFu;
    v[2].diffuse = v[3].diffuse = 0x00FFFFFFu;
    RasterState st;
    st.alphaBlend = true;
    for (uint32_t& p : dst.pixels)
        p = 0xFF000000u;
    plat::RasterQuadStrip(dst, nullptr, v, st);
    int prev = 256;
    for (int x = 0; x < 10; ++x) {
        int r = int((dst.Row(0)[x] >> 16) & 0xFF);
        EXPECT_LT(r, prev) << x;
        prev = r;
    }
    EXPECT_GT((dst.Row(0)[0] >> 16) & 0xFF, 230u);
    EXPECT_LT((dst.Row(0)[9] >> 16) & 0xFF, 25u);
}

TEST(RasterTest, NonRectangularStripsAndBadVertices) {
    Surface dst(8, 8);
    TLVertex v[4];
    Quad(v, 0, 0, 8, 8);
    v[3].x = 4; // a trapezoid: drawn as two triangles
    plat::RasterQuadStrip(dst, nullptr, v, RasterState{});
    EXPECT_EQ(dst.Row(0)[0], 0xFFFFFFFFu);
    EXPECT_EQ(dst.Row(1)[6], 0u);
    EXPECT_EQ(dst.Row(7)[7], 0xFFFFFFFFu);
    // The shared edge belongs to one triangle only: additive ones never reach 2.
    Surface add(16, 16);
    Quad(v, 0.3f, 0.1f, 13.4f, 12.7f, 0x01010101u);
    v[3].x = 6.2f;
    v[0].y = 15.9f;
    RasterState st;
    st.alphaBlend = true;
    st.src = st.dst = Blend::kOne;
    plat::RasterQuadStrip(add, nullptr, v, st);
    int covered = 0;
    for (uint32_t p : add.pixels) {
        ASSERT_LE(p, 0x01010101u);
        covered += p == 0x01010101u;
    }
    EXPECT_GT(covered, 100);
    Surface d2(8, 8);
    Quad(v, 0, 0, 8, 8);
    v[2].x = std::numeric_limits<float>::quiet_NaN();
    plat::RasterQuadStrip(d2, nullptr, v, RasterState{});
    EXPECT_EQ(Count(d2, 0), 64);
}

TEST(RasterTest, BltStretchesAndKeys) {
    Surface src(2, 2);
    src.pixels = {1, 2, 3, 4};
    src.hasColorKey = true;
    src.colorKey = 2;
    Surface dst(4, 4);
    plat::RasterBlt(dst, plat::RectI{0, 0, 4, 4}, src, plat::RectI{0, 0, 2, 2}, true);
    EXPECT_EQ(dst.Row(0)[0], 1u);
    EXPECT_EQ(dst.Row(0)[3], 0u); // keyed
    EXPECT_EQ(dst.Row(3)[3], 4u);
    plat::RasterBlt(dst, plat::RectI{-2, -2, 2, 2}, src, plat::RectI{0, 0, 2, 2}, false);
    EXPECT_EQ(dst.Row(0)[0], 4u);
}

} // namespace

namespace {

// A batch split into row bands must give exactly what the quads give drawn
// one after another (overlapping, with different blend states).
TEST(RasterTest, BatchedQuadsMatchQuadsDrawnInTurn) {
    Surface tex(128, 128);
    uint32_t seed = 99;
    for (uint32_t& p : tex.pixels)
        p = (seed = seed * 1664525u + 1013904223u);
    std::vector<plat::DrawRecord> quads;
    const RasterState states[] = {{true, false, Blend::kSrcAlpha, Blend::kInvSrcAlpha},
                                  {true, false, Blend::kOne, Blend::kOne},
                                  {false, false, Blend::kSrcAlpha, Blend::kInvSrcAlpha},
                                  {true, false, Blend::kDestColor, Blend::kOne}};
    for (int i = 0; i < 8; ++i) {
        plat::DrawRecord r;
        Quad(r.v, 13.5f * i - 0.5f, 7.25f * i, 200 + 10 * i, 150 - 5 * i, 0xC0FFFFFFu - uint32_t(i) * 0x10101);
        r.texture = &tex;
        r.state = states[i % 4];
        quads.push_back(r);
    }
    Surface a(320, 240), b(320, 240);
    for (size_t i = 0; i < a.pixels.size(); ++i)
        a.pixels[i] = b.pixels[i] = 0xFF000000u | uint32_t(i * 2654435761u);
    for (const plat::DrawRecord& q : quads)
        plat::RasterQuadStripRows(a, q.texture, q.v, q.state, 0, a.height);
    plat::RasterQuadBatch(b, quads.data(), quads.size());
    EXPECT_EQ(a.pixels, b.pixels);
}

} // namespace
