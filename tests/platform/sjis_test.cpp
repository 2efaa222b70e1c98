#include <gtest/gtest.h>

#include <cstring>

#include "platform/sjis.h"

namespace {

TEST(Charset, JapaneseLiteralsAreShiftJisAtRunTime) {
    // "初期化に失敗しました" in code page 932.
    const unsigned char expected[] = {0x8F, 0x89, 0x8A, 0xFA, 0x89, 0xBB, 0x82, 0xC9, 0x8E, 0xB8,
                                      0x94, 0x73, 0x82, 0xB5, 0x82, 0xDC, 0x82, 0xB5, 0x82, 0xBD};
    const char* text = "初期化に失敗しました";
    ASSERT_EQ(strlen(text), sizeof(expected));
    EXPECT_EQ(0, memcmp(text, expected, sizeof(expected)));
}

TEST(Sjis, CompareIgnoresAsciiCaseButNeverTrailBytes) {
    EXPECT_TRUE(plat::SjisEqualNoCase("dat/IMG.dat", "DAT/img.DAT"));
    EXPECT_FALSE(plat::SjisEqualNoCase("サ", "フ")); // 83 54 vs 83 74
    EXPECT_TRUE(plat::SjisEqualNoCase("サa", "サA"));
    EXPECT_FALSE(plat::SjisEqualNoCase("ab", "abc"));
}

TEST(Sjis, FindLastSkipsTrailBackslash) {
    // "表" is 95 5C: its trail byte is no separator.
    std::string path = "dir\\表";
    EXPECT_EQ(3u, plat::SjisFindLastOf(path, "/\\"));
    EXPECT_EQ(std::string::npos, plat::SjisFindLastOf("表", "\\"));
}

TEST(Sjis, ConvertsBothWays) {
    std::string sjis = "①ゲーム";
    std::string utf8 = plat::SjisToUtf8(sjis);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(u8"①ゲーム")), utf8);
    EXPECT_EQ(sjis, plat::Utf8ToSjis(utf8));
    std::string out;
    EXPECT_FALSE(plat::Utf8ToSjisStrict("\xF0\x9F\x98\x80", &out));
    EXPECT_EQ(U'あ', plat::SjisCodeToUnicode(0x82A0));
}

} // namespace
