// BMP files as paint and conversion tools write them, made here byte by byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/video_image.h"

namespace {

void Put(std::string* s, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        s->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A BMP of the given header size (12 for OS/2 1.x), compression, palette
// (0x00RRGGBB entries) and pixel bytes; masks, when given, follow a 40-byte
// header or fill a larger one's mask fields. The colour count is the
// palette's size unless given.
struct BmpSpec {
    uint32_t header = 40;
    int w = 0, h = 0, bpp = 8;
    uint32_t compression = 0;
    std::vector<uint32_t> palette, masks;
    std::string pixels;
    int64_t clrUsed = -1;
};

std::string Bmp(const BmpSpec& b) {
    std::string info;
    if (b.header == 12) {
        Put(&info, 12, 4), Put(&info, b.w, 2), Put(&info, b.h, 2), Put(&info, 1, 2), Put(&info, b.bpp, 2);
    } else {
        Put(&info, b.header, 4), Put(&info, b.w, 4), Put(&info, static_cast<uint32_t>(b.h), 4);
        Put(&info, 1, 2), Put(&info, b.bpp, 2), Put(&info, b.compression, 4), Put(&info, b.pixels.size(), 4);
        Put(&info, 2835, 4), Put(&info, 2835, 4), Put(&info, b.clrUsed < 0 ? b.palette.size() : b.clrUsed, 4);
        Put(&info, 0, 4);
        for (uint32_t m : b.masks)
            Put(&info, m, 4);
        info.resize(std::max<size_t>(info.size(), b.header), '\0');
    }
    for (uint32_t c : b.palette)
        Put(&info, c & 0xFFFFFF, b.header == 12 ? 3 : 4);
    std::string s = "BM";
    Put(&s, 14 + info.size() + b.pixels.size(), 4);
    Put(&s, 0, 4);
    Put(&s, 14 + info.size(), 4);
    return s + info + b.pixels;
}

std::string Bytes(std::initializer_list<int> v) {
    std::string s;
    for (int c : v)
        s.push_back(static_cast<char>(c));
    return s;
}

// The decoded picture as rows of palette indices ('?' for a colour not in it).
std::vector<std::string> Indices(const plat::Surface& s, const std::vector<uint32_t>& palette) {
    std::vector<std::string> rows;
    for (int y = 0; y < s.height; ++y) {
        std::string row;
        for (int x = 0; x < s.width; ++x) {
            char c = '?';
            for (size_t i = 0; i < palette.size(); ++i)
                if (s.Row(y)[x] == (0xFF000000u | palette[i])) {
                    c = static_cast<char>('0' + i);
                    break;
                }
            row += c;
        }
        rows.push_back(row);
    }
    return rows;
}

const std::vector<uint32_t> kPal = {0x101010, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF, 0xFFFFFF};

TEST(BmpDecodeTest, Rle8RunsLinesDeltasAndAbsoluteGroups) {
    BmpSpec b;
    b.w = 6, b.h = 4, b.compression = 1, b.palette = kPal;
    // Bottom row: a run, an absolute group 5 2 3 (padded), a run; end of line.
    b.pixels = Bytes({2, 1, 0, 3, 5, 2, 3, 0, 1, 4, 0, 0});
    b.pixels += Bytes({8, 6, 0, 0}); // a run past the row's end is cut there, not wrapped
    b.pixels += Bytes({1, 7, 0, 2, 3, 1}); // a run, then a delta 3 right and 1 up
    b.pixels += Bytes({2, 5, 0, 1}); // a run at x 4 of the top row; end of the bitmap
    b.pixels += Bytes({9, 9}); // nothing after the end is drawn
    plat::Surface s;
    ASSERT_TRUE(plat::DecodePicture(Bmp(b), &s));
    // Pixels no command reaches show the palette's first colour.
    EXPECT_EQ(Indices(s, kPal), (std::vector<std::string>{"000055", "700000", "666666", "115234"}));
}

TEST(BmpDecodeTest, Rle4AlternatesNibblesAndPadsAbsoluteGroups) {
    BmpSpec b;
    b.w = 7, b.h = 2, b.bpp = 4, b.compression = 2, b.palette = kPal;
    b.pixels = Bytes({5, 0x12, 0, 3, 0x34, 0x50, 0, 0, // bottom: 1 2 1 2 1, absolute 3 4 5 padded past the row
                      0, 5, 0x67, 0x12, 0x30, 0, 2, 0x77, 0, 1});
    plat::Surface s;
    ASSERT_TRUE(plat::DecodePicture(Bmp(b), &s));
    EXPECT_EQ(Indices(s, kPal), (std::vector<std::string>{"6712377", "1212134"}));
}

TEST(BmpDecodeTest, ACutStreamKeepsWhatItDrewAndTheFirstColourElsewhere) {
    BmpSpec b;
    b.w = 4, b.h = 2, b.compression = 1, b.palette = kPal;
    // Cut inside an absolute group, inside a delta, and after half a command.
    for (const std::string& cut :
         {Bytes({3, 2, 0, 0, 0, 4, 1, 2}), Bytes({3, 2, 0, 0, 0, 2, 1}), Bytes({3, 2, 0, 0, 1})}) {
        b.pixels = cut;
        plat::Surface s;
        ASSERT_TRUE(plat::DecodePicture(Bmp(b), &s));
        EXPECT_EQ(Indices(s, kPal)[1], "2220");
        EXPECT_EQ(Indices(s, kPal)[0].substr(2), "00");
    }
    // An absolute group cut inside: the indices that are there, then nothing.
    b.pixels = Bytes({0, 0, 0, 4, 1, 3});
    plat::Surface s;
    ASSERT_TRUE(plat::DecodePicture(Bmp(b), &s));
    EXPECT_EQ(Indices(s, kPal), (std::vector<std::string>{"1300", "0000"}));
}

TEST(BmpDecodeTest, Os2CoreHeaderWithAShortPalette) {
    // 16-bit sizes, 3-byte entries, and only three of sixteen entries stored:
    // the pixel offset tells where the palette ends.
    BmpSpec b;
    b.header = 12, b.w = 3, b.h = 2, b.bpp = 4, b.palette = {kPal[1], kPal[2], kPal[3]};
    b.pixels = Bytes({0x01, 0x20, 0, 0, 0x21, 0x40, 0, 0});
    plat::Surface s;
    ASSERT_TRUE(plat::DecodePicture(Bmp(b), &s));
    ASSERT_EQ(s.width, 3);
    ASSERT_EQ(s.height, 2);
    EXPECT_EQ(s.Row(0)[0], 0xFF0000FFu);
    EXPECT_EQ(s.Row(0)[1], 0xFF00FF00u);
    EXPECT_EQ(s.Row(0)[2], 0xFF000000u); // index 4 would lie on pixel bytes 0 21 40: black
    EXPECT_EQ(s.Row(1)[1], 0xFF00FF00u);
    EXPECT_EQ(s.Row(1)[2], 0xFF0000FFu);
    // 24 bits, rows of a 3-byte pixel padded to 4.
    BmpSpec rgb;
    rgb.header = 12, rgb.w = 1, rgb.h = 2, rgb.bpp = 24, rgb.pixels = Bytes({1, 2, 3, 0, 4, 5, 6, 0});
    ASSERT_TRUE(plat::DecodePicture(Bmp(rgb), &s));
    EXPECT_EQ(s.Row(0)[0], 0xFF060504u);
    EXPECT_EQ(s.Row(1)[0], 0xFF030201u);
}

TEST(BmpDecodeTest, HeaderVersionsMasksAndPalettes) {
    plat::Surface s;
    // 565 masks inside a 124-, 56- or 52-byte header, and after a 40-byte one.
    for (uint32_t header : {124u, 56u, 52u, 40u}) {
        BmpSpec b;
        b.header = header, b.w = 1, b.h = 1, b.bpp = 16, b.compression = 3, b.masks = {0xF800, 0x07E0, 0x001F};
        b.pixels = Bytes({0x1F, 0xF8, 0, 0}); // red 31, green 0, blue 31
        ASSERT_TRUE(plat::DecodePicture(Bmp(b), &s)) << header;
        EXPECT_EQ(s.Row(0)[0], 0xFFFF00FFu) << header;
    }
    // A 32-bit picture with an alpha mask is drawn opaque.
    BmpSpec argb;
    argb.header = 124, argb.w = 1, argb.h = 1, argb.bpp = 32, argb.compression = 3;
    argb.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000u};
    argb.pixels = Bytes({0x30, 0x20, 0x10, 0x00});
    ASSERT_TRUE(plat::DecodePicture(Bmp(argb), &s));
    EXPECT_EQ(s.Row(0)[0], 0xFF102030u);
    // Two bits an index; an index past the two entries given is black.
    BmpSpec two;
    two.w = 4, two.h = 1, two.bpp = 2, two.palette = {kPal[1], kPal[2]}, two.pixels = Bytes({0x1B, 0, 0, 0});
    ASSERT_TRUE(plat::DecodePicture(Bmp(two), &s));
    EXPECT_EQ(s.Row(0)[0], 0xFFFF0000u);
    EXPECT_EQ(s.Row(0)[1], 0xFF00FF00u);
    EXPECT_EQ(s.Row(0)[2], 0xFF000000u);
    EXPECT_EQ(s.Row(0)[3], 0xFF000000u);
    // One bit an index and a single entry stored: index 1 is black.
    BmpSpec one;
    one.w = 2, one.h = 1, one.bpp = 1, one.palette = {kPal[4]}, one.pixels = Bytes({0x40, 0, 0, 0});
    ASSERT_TRUE(plat::DecodePicture(Bmp(one), &s));
    EXPECT_EQ(s.Row(0)[0], 0xFFFFFF00u);
    EXPECT_EQ(s.Row(0)[1], 0xFF000000u);
    // More colours counted and stored than 8 bits can index: the first 256.
    BmpSpec many;
    many.w = 2, many.h = 1, many.pixels = Bytes({0, 255, 0, 0});
    for (uint32_t i = 0; i < 300; ++i)
        many.palette.push_back(0x10000u + i);
    for (int64_t counted : {int64_t{300}, int64_t{0xFFFFFFFF}}) {
        many.clrUsed = counted;
        ASSERT_TRUE(plat::DecodePicture(Bmp(many), &s)) << counted;
        EXPECT_EQ(s.Row(0)[0], 0xFF010000u) << counted;
        EXPECT_EQ(s.Row(0)[1], 0xFF0100FFu) << counted;
    }
}

TEST(BmpDecodeTest, MasksPartlyOutsideThePixelKeepTheBitsInside) {
    // Red 0x1F7C00 at 16 bits is the five bits of 0x7C00: a grey ramp stays grey.
    BmpSpec b;
    b.w = 4, b.h = 1, b.bpp = 16, b.compression = 3, b.masks = {0x1F7C00, 0x03E0, 0x001F};
    for (uint32_t v : {0u, 1u, 16u, 31u})
        Put(&b.pixels, (v << 10) | (v << 5) | v, 2);
    plat::Surface s;
    ASSERT_TRUE(plat::DecodePicture(Bmp(b), &s));
    EXPECT_EQ(s.Row(0)[0], 0xFF000000u);
    EXPECT_EQ(s.Row(0)[1], 0xFF080808u);
    EXPECT_EQ(s.Row(0)[2], 0xFF848484u);
    EXPECT_EQ(s.Row(0)[3], 0xFFFFFFFFu);
}

TEST(BmpDecodeTest, MasksWithGapsStayInTheirChannel) {
    // Red and green each hold their 8 bits in two nibbles apart; a grey ramp
    // stays grey, with nothing carried into the next channel.
    BmpSpec b;
    b.w = 4, b.h = 1, b.bpp = 32, b.compression = 3, b.masks = {0x0F0F0000, 0xF000F000u, 0x000000FF};
    const uint32_t ramp[] = {0x00, 0x0F, 0x5A, 0xFF};
    for (uint32_t v : ramp) {
        const uint32_t lo = v & 0xF, hi = v >> 4;
        Put(&b.pixels, (hi << 24) | (lo << 16) | (hi << 28) | (lo << 12) | v, 4);
    }
    plat::Surface s;
    ASSERT_TRUE(plat::DecodePicture(Bmp(b), &s));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(s.Row(0)[x], 0xFF000000u | ramp[x] * 0x010101u) << x;
}

TEST(BmpDecodeTest, CodingsItCannotReadAreRefused) {
    auto refused = [](const BmpSpec& b) {
        plat::Surface s;
        return !plat::DecodePicture(Bmp(b), &s) && s.pixels.empty();
    };
    BmpSpec b;
    b.w = 2, b.h = 2, b.bpp = 24, b.pixels = std::string(16, '\x40');
    b.compression = 4; // JPEG inside
    EXPECT_TRUE(refused(b));
    b.compression = 5; // PNG inside
    EXPECT_TRUE(refused(b));
    BmpSpec huffman; // OS/2 2.x: code 3 is Huffman coding
    huffman.header = 64, huffman.w = 8, huffman.h = 1, huffman.bpp = 1, huffman.compression = 3;
    huffman.palette = {0, 0xFFFFFF}, huffman.pixels = std::string(8, '\x55');
    EXPECT_TRUE(refused(huffman));
    huffman.palette.clear(), huffman.masks = {0xF800, 0x07E0, 0x001F}; // or 16 and 32 bits that would take masks
    for (int bpp : {16, 32}) {
        huffman.bpp = bpp, huffman.pixels = std::string(8 * bpp / 8, '\x55');
        EXPECT_TRUE(refused(huffman)) << bpp;
    }
    BmpSpec outside; // every colour mask wholly outside a 16-bit pixel
    outside.w = 2, outside.h = 1, outside.bpp = 16, outside.compression = 3;
    outside.masks = {0xFF0000, 0xFF000000u, 0x10000}, outside.pixels = Bytes({0x12, 0x34, 0x56, 0x78});
    EXPECT_TRUE(refused(outside));
    BmpSpec noPalette; // indices, and the pixels start where the palette would
    noPalette.w = 4, noPalette.h = 1, noPalette.pixels = Bytes({1, 2, 3, 4});
    EXPECT_TRUE(refused(noPalette));
    BmpSpec rle;
    rle.w = 2, rle.h = 2, rle.compression = 1, rle.palette = kPal, rle.pixels = Bytes({2, 1, 0, 0, 2, 1, 0, 1});
    rle.bpp = 4; // RLE8 needs 8 bits
    EXPECT_TRUE(refused(rle));
    rle.bpp = 8, rle.h = -2; // coded rows cannot run top-down
    EXPECT_TRUE(refused(rle));
    // A few bytes claiming the largest picture.
    rle.w = 16384, rle.h = 16384;
    EXPECT_TRUE(refused(rle));
}

} // namespace
