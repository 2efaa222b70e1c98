#include "app/cursor_type.h"

#include <gtest/gtest.h>

#include "tests/support/test_env.h"

namespace {

std::string DefaultFile() {
    return std::string(
        "****** マウスカーソルの変更が可能です。 ******\r\n"
        "****** 半角で入力して下さい。           ******\r\n"
        "****** (0=通常、1=モノクロ、2=カラー)   ******\r\n"
        "Cursor:\t0\r\n");
}

std::string WithLine4(const std::string& line4) { return "a\r\nb\r\nc\r\n" + line4; }

TEST(CursorTypeTest, MissingFileGivesArrowAndWritesDefault) {
    kutest::TempDir dir;
    EXPECT_EQ(LoadCursorType("cursor.txt"), 0);
    std::string written = dir.Read("cursor.txt");
    EXPECT_EQ(written, DefaultFile());
    // Every header line is 46 bytes before its line end.
    size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        size_t end = written.find("\r\n", start);
        EXPECT_EQ(end - start, 46u) << "line " << i + 1;
        start = end + 2;
    }
    EXPECT_EQ(LoadCursorType("cursor.txt"), 0);
}

TEST(CursorTypeTest, FourthLineChoosesTheCursor) {
    kutest::TempDir dir;
    struct Case {
        const char* line4;
        int want;
    } cases[] = {{"Cursor:2\r\n", 2}, {"Cursor:\t1\r\n", 1}, {"Foo: 2\n", 2}, {"Cursor:\t0", 0}, {"Cursor:1\n", 1}};
    for (const auto& c : cases) {
        dir.Write("cursor.txt", WithLine4(c.line4));
        EXPECT_EQ(LoadCursorType("cursor.txt"), c.want) << c.line4;
        EXPECT_EQ(dir.Read("cursor.txt"), WithLine4(c.line4)) << "a valid file is left alone";
    }
}

TEST(CursorTypeTest, InvalidFilesAreRewritten) {
    kutest::TempDir dir;
    const std::string bad[] = {WithLine4("Cursor:\t3\r\n"),
                               WithLine4("Cursor:\t12\r\n"),
                               "Cursor:\t2\r\n",
                               "",
                               WithLine4("Cursor:22\r\n"),
                               WithLine4(std::string(2000, 'Z')),
                               std::string("\0\0\0\n\0\n\n\n", 8)};
    for (const auto& content : bad) {
        dir.Write("cursor.txt", content);
        EXPECT_EQ(LoadCursorType("cursor.txt"), 0);
        EXPECT_EQ(dir.Read("cursor.txt"), DefaultFile());
    }
}

} // namespace
