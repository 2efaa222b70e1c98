#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/gdi_font.h"
#include "platform/gdi_font_test_hooks.h"
#include "tests/text/text_test_util.h"

namespace {

std::unique_ptr<plat::GdiFont> Gothic(int height, plat::FontQuality q = plat::FontQuality::kNonAntialiased) {
    plat::FontSpec spec;
    spec.height = height;
    spec.weight = 400;
    spec.quality = q;
    spec.faceName = "ＭＳ ゴシック";
    return plat::GdiFont::Create(spec);
}

#define REQUIRE_FONT()               \
    if (!kutext::HaveJapaneseFont()) \
    GTEST_SKIP() << "no Japanese font installed"

TEST(GdiFont, ResolvesTheJapaneseGothicWithCellHeightMetrics) {
    REQUIRE_FONT();
    EXPECT_NE(plat::FindJapaneseFontFile().find("gothic"), std::string::npos) << plat::FindJapaneseFontFile();
    // ppem = height; ascent = rounded hhea ascender; the rest of the cell is descent.
    const int heights[] = {12, 16, 18, 20};
    const int ascents[] = {11, 14, 16, 18};
    for (int i = 0; i < 4; ++i) {
        auto font = Gothic(heights[i]);
        ASSERT_TRUE(font);
        EXPECT_EQ(font->metrics().height, heights[i]);
        EXPECT_EQ(font->metrics().ascent, ascents[i]) << heights[i];
        EXPECT_EQ(font->metrics().ascent + font->metrics().descent, heights[i]);
    }
}

TEST(GdiFont, GreyGlyphsAreQuantisedToTheOutlineLevels) {
    REQUIRE_FONT();
    auto font = Gothic(16);
    ASSERT_TRUE(font);
    const uint16_t a = 0x82A0; // あ
    const plat::GlyphBitmap* cov = font->GetGlyph(a, plat::GlyphFormat::kCoverage);
    ASSERT_TRUE(cov);
    EXPECT_EQ(cov->width, 14);
    EXPECT_EQ(cov->height, 14);
    EXPECT_EQ(cov->originX, 1);
    EXPECT_EQ(cov->originY, 13);
    EXPECT_EQ(cov->advance, 16);
    const plat::GlyphBitmap coverage = *cov; // the next call may reuse the cache slot
    struct Case {
        plat::GlyphFormat f;
        int top;
    } cases[] = {{plat::GlyphFormat::kGray2, 4}, {plat::GlyphFormat::kGray4, 16}, {plat::GlyphFormat::kGray8, 64}};
    for (const Case& c : cases) {
        const plat::GlyphBitmap* g = font->GetGlyph(a, c.f);
        ASSERT_TRUE(g);
        EXPECT_EQ(g->pitch % 4, 0);
        EXPECT_GE(g->pitch, g->width);
        ASSERT_EQ(g->width, coverage.width);
        int maxV = 0;
        for (int y = 0; y < g->height; ++y) {
            for (int x = 0; x < g->width; ++x) {
                EXPECT_EQ(g->At(x, y), plat::QuantiseCoverage(coverage.At(x, y), c.top));
                maxV = std::max<int>(maxV, g->At(x, y));
            }
        }
        EXPECT_EQ(maxV, c.top);
    }
    EXPECT_EQ(plat::QuantiseCoverage(0, 4), 0);
    EXPECT_EQ(plat::QuantiseCoverage(255, 64), 64);
    EXPECT_EQ(plat::QuantiseCoverage(127, 4), 2);
}

TEST(GdiFont, MonoBlankAndInvalidCodes) {
    REQUIRE_FONT();
    auto font = Gothic(16);
    ASSERT_TRUE(font);
    const plat::GlyphBitmap* mono = font->GetGlyph(0x8ABF, plat::GlyphFormat::kMono);
    ASSERT_TRUE(mono);
    int lit = 0;
    for (int y = 0; y < mono->height; ++y)
        for (int x = 0; x < mono->width; ++x) {
            EXPECT_LE(mono->At(x, y), 1);
            lit += mono->At(x, y);
        }
    EXPECT_GT(lit, 20);
    // The full-width space has no black box but is no failure.
    const plat::GlyphBitmap* space = font->GetGlyph(0x8140, plat::GlyphFormat::kGray8);
    ASSERT_TRUE(space);
    EXPECT_EQ(space->width, 0);
    EXPECT_EQ(space->advance, 16);
    // CP932 extensions convert (SHIFT_JIS would refuse ①); a pair of ASCII bytes is no character.
    EXPECT_TRUE(font->GetGlyph(0x8740, plat::GlyphFormat::kGray8));
    EXPECT_FALSE(font->GetGlyph(0x4142, plat::GlyphFormat::kGray8));
    EXPECT_FALSE(font->GetGlyph(0x81FF, plat::GlyphFormat::kGray8));
    // Single bytes: ASCII and half-width katakana.
    const plat::GlyphBitmap* latin = font->GetGlyph('A', plat::GlyphFormat::kCoverage);
    ASSERT_TRUE(latin);
    EXPECT_EQ(latin->advance, 8);
    EXPECT_TRUE(font->GetGlyph(0xB1, plat::GlyphFormat::kCoverage));
}

TEST(GdiFont, ItalicAndBoldChangeTheGlyph) {
    REQUIRE_FONT();
    plat::FontSpec spec;
    spec.height = 16;
    spec.faceName = "ＭＳ ゴシック";
    auto plain = plat::GdiFont::Create(spec);
    spec.italic = true;
    auto italic = plat::GdiFont::Create(spec);
    spec.italic = false;
    spec.weight = 700;
    auto bold = plat::GdiFont::Create(spec);
    ASSERT_TRUE(plain && italic && bold);
    const int w = plain->GetGlyph(0x8ABF, plat::GlyphFormat::kGray8)->width;
    EXPECT_GT(italic->GetGlyph(0x8ABF, plat::GlyphFormat::kGray8)->width, w);
    EXPECT_GT(bold->GetGlyph(0x8ABF, plat::GlyphFormat::kGray8)->width, w);
}

// Each face used to map the whole file again, and a large CJK font's faulted
// pages stayed resident per size for the run.
TEST(GdiFont, FacesReadTheFileWithoutMappingIt) {
    REQUIRE_FONT();
    auto small = Gothic(13, plat::FontQuality::kAntialiased);
    auto large = Gothic(29);
    ASSERT_TRUE(small && large);
    for (const uint16_t code : {0x82A0, 0x8ABF, 0x41}) {
        const plat::GlyphBitmap* a = small->GetGlyph(code, plat::GlyphFormat::kGray8);
        ASSERT_TRUE(a);
        EXPECT_GT(a->width, 0);
        const plat::GlyphBitmap* b = large->GetGlyph(code, plat::GlyphFormat::kMono);
        ASSERT_TRUE(b);
        EXPECT_GT(b->width, 0);
    }
    // By inode: the configured path may be a link to the file mapped.
    struct stat font;
    ASSERT_EQ(stat(small->filePath().c_str(), &font), 0);
    std::ifstream maps("/proc/self/maps");
    std::string line, address, perms, offset, device;
    unsigned long inode = 0;
    while (std::getline(maps, line)) {
        std::istringstream(line) >> address >> perms >> offset >> device >> inode;
        EXPECT_NE(inode, static_cast<unsigned long>(font.st_ino)) << line;
    }
}

} // namespace

// A script showing text at every size from 2 to 256 once held one open
// descriptor and one FreeType face per size for the whole run: the archives
// then failed to open under a low limit of open files.
TEST(GdiFont, ManySizesShareOneDescriptorAndIdleFacesAreClosed) {
    REQUIRE_FONT();
    auto kept = Gothic(20); // in use throughout: never closed under it
    ASSERT_TRUE(kept);
    for (int height = 2; height <= 256; ++height) {
        auto font = Gothic(height, plat::FontQuality::kAntialiased);
        ASSERT_TRUE(font) << height;
        ASSERT_TRUE(font->GetGlyph(0x8ABF, plat::GlyphFormat::kGray8)) << height;
    }
    struct stat file;
    ASSERT_EQ(stat(kept->filePath().c_str(), &file), 0);
    int descriptors = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        struct stat st;
        if (stat(entry.path().c_str(), &st) == 0 && st.st_ino == file.st_ino && st.st_dev == file.st_dev)
            ++descriptors;
    }
    EXPECT_EQ(descriptors, 1);
    EXPECT_LE(plat::OpenFontFacesForTest(), 16u);
    const plat::GlyphBitmap* g = kept->GetGlyph(0x82A0, plat::GlyphFormat::kCoverage);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->advance, 20);
}

// Idle faces are closed least recently used first, and a face at a large
// size keeps no more than its cap of glyph bitmaps, however many it renders.
TEST(GdiFont, TheOldestIdleFaceClosesFirstAndGlyphBitmapsKeepToTheirCap) {
    REQUIRE_FONT();
    for (int height = 100; height < 112; ++height)
        ASSERT_TRUE(Gothic(-height)) << height;
    ASSERT_TRUE(Gothic(-100)); // used again: now the newest of the twelve
    ASSERT_TRUE(Gothic(-200));
    ASSERT_TRUE(Gothic(-201)); // idle faces are trimmed as a new one opens
    EXPECT_FALSE(plat::FontFaceOpenForTest(101));
    EXPECT_TRUE(plat::FontFaceOpenForTest(100));
    EXPECT_TRUE(plat::FontFaceOpenForTest(102));

    auto big = Gothic(-256, plat::FontQuality::kAntialiased);
    ASSERT_TRUE(big);
    size_t most = 0;
    for (uint16_t code = 0x889F; code < 0x889F + 60; ++code) {
        ASSERT_TRUE(big->GetGlyph(code, plat::GlyphFormat::kGray8)) << code;
        most = std::max(most, plat::GlyphCacheBytesForTest(256));
    }
    EXPECT_LE(most, size_t{2} << 20);
    EXPECT_GT(most, size_t{1} << 20) << "the cache is used up to its cap";
}
