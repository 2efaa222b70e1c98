// Uncompressed DDS layouts, made here byte by byte: one pixel each, or a
// palette picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/video_image.h"

namespace {

void Put(std::string* s, uint32_t v, int bytes = 4) {
    for (int i = 0; i < bytes; ++i)
        s->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

struct Format {
    uint32_t flags, fourCC, bits, r, g, b, a;
};

std::string Dds(int w, int h, const Format& f, const std::string& data) {
    std::string s = "DDS ";
    Put(&s, 124), Put(&s, 0x100F), Put(&s, h), Put(&s, w), Put(&s, w * f.bits / 8), Put(&s, 0), Put(&s, 1);
    for (int i = 0; i < 11; ++i)
        Put(&s, 0);
    Put(&s, 32), Put(&s, f.flags), Put(&s, f.fourCC), Put(&s, f.bits);
    Put(&s, f.r), Put(&s, f.g), Put(&s, f.b), Put(&s, f.a);
    Put(&s, 0x1000);
    for (int i = 0; i < 4; ++i)
        Put(&s, 0);
    return s + data;
}

constexpr uint32_t kAlphaPixels = 0x1, kAlpha = 0x2, kFourCC = 0x4, kPal8 = 0x20, kRgb = 0x40, kYuv = 0x200,
                   kLum = 0x20000;

TEST(DdsDecodeTest, LuminanceAlphaAndMaskLayouts) {
    struct Case {
        const char* name;
        Format f;
        uint32_t stored, expect;
    } cases[] = {
        {"L8", {kLum, 0, 8, 0xFF, 0, 0, 0}, 0x42, 0xFF424242u},
        {"A8L8", {kLum | kAlphaPixels, 0, 16, 0xFF, 0, 0, 0xFF00}, 0x8042, 0x80424242u},
        {"A4L4", {kLum | kAlphaPixels, 0, 8, 0x0F, 0, 0, 0xF0}, 0x5A, 0x55AAAAAAu},
        {"L16", {kLum, 0, 16, 0xFFFF, 0, 0, 0}, 0x1234, 0xFF121212u},
        {"A8", {kAlpha, 0, 8, 0, 0, 0, 0xFF}, 0x99, 0x99000000u},
        {"R3G3B2", {kRgb, 0, 8, 0xE0, 0x1C, 0x03, 0}, 0xE3, 0xFFFF00FFu},
        {"A8R3G3B2", {kRgb | kAlphaPixels, 0, 16, 0xE0, 0x1C, 0x03, 0xFF00}, 0x401C, 0x4000FF00u},
        {"X4R4G4B4", {kRgb, 0, 16, 0xF00, 0xF0, 0xF, 0xF000}, 0x7123, 0xFF112233u},
        {"A2B10G10R10",
         {kRgb | kAlphaPixels, 0, 32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000u},
         0x400FFC00u,
         0x5500FF00u},
        {"G16R16", {kRgb, 0, 32, 0xFFFF, 0xFFFF0000u, 0, 0}, 0x80004000u, 0xFF408000u},
        // Masks that miss the pixel: luminance read by the pixel's size, as
        // a converting library writes it, and an alpha mask that is absent.
        {"L8, masks in the top byte", {kLum, 0, 8, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0}, 0x42, 0xFF424242u},
        {"L8A8, alpha mask in the top byte",
         {kLum | kAlphaPixels, 0, 16, 0xFF, 0xFF, 0xFF, 0xFF000000u},
         0x8042,
         0x80424242u},
        {"R8G8B8, alpha mask in the top byte",
         {kRgb | kAlphaPixels, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u},
         0x102030,
         0xFF102030u},
    };
    for (const Case& c : cases) {
        std::string px;
        Put(&px, c.stored, static_cast<int>(c.f.bits / 8));
        plat::Surface s;
        ASSERT_TRUE(plat::DecodePicture(Dds(1, 1, c.f, px), &s)) << c.name;
        EXPECT_EQ(s.Row(0)[0], c.expect) << c.name;
        // The file one byte short of its pixels is refused.
        px.pop_back();
        EXPECT_FALSE(plat::DecodePicture(Dds(1, 1, c.f, px), &s)) << c.name;
    }
}

TEST(DdsDecodeTest, MasksWithGapsGatherTheirBits) {
    // Red's four bits every other bit: a ramp of all sixteen levels scales
    // as a contiguous four-bit channel does, and never spills over.
    const Format holed{kRgb, 0, 16, 0x5500, 0x00F0, 0x000F, 0};
    std::string px;
    for (uint32_t n = 0; n < 16; ++n) {
        uint32_t red = 0;
        for (int bit = 0; bit < 4; ++bit)
            red |= ((n >> bit) & 1u) << (8 + 2 * bit);
        Put(&px, red | (n << 4) | n, 2);
    }
    plat::Surface s;
    ASSERT_TRUE(plat::DecodePicture(Dds(16, 1, holed, px), &s));
    for (uint32_t n = 0; n < 16; ++n)
        EXPECT_EQ(s.Row(0)[n], 0xFF000000u | n * 0x111111u) << n;
    // Sixteen bits with a gap keep the top eight of the gathered value.
    const Format wide{kRgb | kAlphaPixels, 0, 32, 0xFF00FF00u, 0x00FF0000, 0x000000FF, 0};
    px.clear();
    Put(&px, 0xAB12CD34u);
    ASSERT_TRUE(plat::DecodePicture(Dds(1, 1, wide, px), &s));
    EXPECT_EQ(s.Row(0)[0], 0xFFAB1234u);
}

TEST(DdsDecodeTest, PaletteIndicesTakeColourAndAlphaFromTheirEntries) {
    std::string palette;
    for (int i = 0; i < 256; ++i)
        Put(&palette, i == 2 ? 0x80332211u : i == 0 ? 0x00000000u : 0xFF000000u | uint32_t(i));
    const Format p8 = {kPal8, 0, 8, 0, 0, 0, 0};
    plat::Surface s;
    ASSERT_TRUE(plat::DecodePicture(Dds(3, 1, p8, palette + std::string("\x02\x00\x05", 3)), &s));
    EXPECT_EQ(s.Row(0)[0], 0x80112233u); // entries are red, green, blue, alpha
    EXPECT_EQ(s.Row(0)[1], 0x00000000u); // a transparent entry stays transparent
    EXPECT_EQ(s.Row(0)[2], 0xFF050000u);
    EXPECT_FALSE(plat::DecodePicture(Dds(3, 1, p8, palette + std::string("\x02\x00", 2)), &s));
    EXPECT_FALSE(plat::DecodePicture(Dds(1, 1, p8, palette.substr(0, 1000)), &s)); // cut inside the palette
    // A palette without a single alpha byte set is opaque.
    std::string flat;
    for (int i = 0; i < 256; ++i)
        Put(&flat, uint32_t(i) << 8);
    ASSERT_TRUE(plat::DecodePicture(Dds(1, 1, p8, flat + "\x07"), &s));
    EXPECT_EQ(s.Row(0)[0], 0xFF000700u);
}

TEST(DdsDecodeTest, LayoutsOfLaterPlatformsAndEmptyMasksAreRefused) {
    plat::Surface s;
    const std::string data(64, '\x10');
    EXPECT_FALSE(plat::DecodePicture(Dds(2, 2, {kFourCC, 0x30315844u /* DX10 */, 0, 0, 0, 0, 0}, data), &s));
    EXPECT_FALSE(plat::DecodePicture(Dds(2, 2, {kYuv, 0, 16, 0xFF, 0xFF00, 0, 0}, data), &s));
    EXPECT_FALSE(plat::DecodePicture(Dds(2, 2, {kRgb, 0, 12, 0xF00, 0xF0, 0xF, 0}, data), &s));
    EXPECT_FALSE(plat::DecodePicture(Dds(2, 2, {kRgb, 0, 32, 0, 0, 0, 0}, data), &s));
    // Alpha alone, in a file that says it holds colour.
    EXPECT_FALSE(plat::DecodePicture(Dds(2, 2, {kRgb | kAlphaPixels, 0, 32, 0, 0, 0, 0xFF000000u}, data), &s));
    EXPECT_TRUE(s.pixels.empty());
}

} // namespace
