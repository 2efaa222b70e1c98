#include <sys/stat.h>
#include <cctype>

#include "engine/kusystem_internal.h"
#include "engine/trace_line.h"
#include "platform/log_line.h"
#include "platform/sjis.h"
#include "tests/system/system_fixture.h"
#include "platform/local_time_test_hooks.h"

namespace {

using kutest::SystemTest;

std::string Convert(KUSYSTEM& sys, const std::string& src, int destSize, StrConvertForm form) {
    std::vector<char> dest(static_cast<size_t>(destSize), '#');
    EXPECT_EQ(1, sys.StrConvert(src.c_str(), static_cast<int>(src.size()) + 1, dest.data(), destSize, form));
    return dest.data();
}

TEST_F(SystemTest, StrConvertScriptAndStorageFormsAreInverse) {
    EXPECT_EQ("a\nb", Convert(sys, "a\\nb", 64, StrConvertForm::kScript));
    EXPECT_EQ("a\\nb", Convert(sys, "a\nb", 64, StrConvertForm::kStorage));
    EXPECT_EQ("\n\n\\x", Convert(sys, "\\n\\n\\x", 64, StrConvertForm::kScript));
    EXPECT_EQ("\\n\\n", Convert(sys, "\n\n", 64, StrConvertForm::kStorage));
    // The default form is the script one.
    char out[8];
    EXPECT_EQ(1, sys.StrConvert("x\\ny", 5, out, sizeof(out)));
    EXPECT_STREQ("x\ny", out);
}

TEST_F(SystemTest, StrConvertStaysInsideTheDestination) {
    EXPECT_EQ("abc", Convert(sys, "abcdef", 4, StrConvertForm::kScript));
    // "ab\n" needs 5 bytes as "ab\\n": with 4 the line feed becomes a lone backslash.
    EXPECT_EQ("ab\\", Convert(sys, "ab\ncd", 4, StrConvertForm::kStorage));
    EXPECT_EQ("a\\nb", Convert(sys, "a\nb", 5, StrConvertForm::kStorage));
    EXPECT_EQ("a\\b", Convert(sys, "a\nb", 4, StrConvertForm::kStorage)); // the rest stays as it was
}

TEST_F(SystemTest, StrConvertKeepsDoubleByteCharactersEndingInBackslash) {
    // "表" is 95 5C: followed by "n" it is no escape.
    EXPECT_EQ("表n\n", Convert(sys, "表n\\n", 64, StrConvertForm::kScript));
    const std::string stored = Convert(sys, "表\nソn", 64, StrConvertForm::kStorage);
    EXPECT_EQ("表\\nソn", stored);
    EXPECT_EQ("表\nソn", Convert(sys, stored, 64, StrConvertForm::kScript));
}

TEST_F(SystemTest, StrConvertRefusesBadArgumentsThroughTheTrace) {
    g_bDebugInfo = 1;
    char out[4];
    kutest::DebugCapture cap;
    EXPECT_EQ(0, sys.StrConvert(nullptr, 4, out, 4));
    EXPECT_EQ(0, sys.StrConvert("a", 0, out, 4));
    EXPECT_EQ(0, sys.StrConvert("a", 2, nullptr, 4));
    EXPECT_EQ(0, sys.StrConvert("a", 2, out, 0, StrConvertForm::kStorage));
    const std::string prefix = "[2024/03/07 09:05:02] Error: <KUSYSTEM::StrConvert> ";
    EXPECT_EQ(
        (std::vector<std::string>{prefix + "変換元文字列が不正です\n", prefix + "変換元文字列サイズが不正です\n",
                                  prefix + "変換先文字列が不正です\n", prefix + "変換先文字列サイズが不正です\n"}),
        cap.lines());
    EXPECT_EQ(cap.all(), dir.Read("trace.txt"));
}

TEST_F(SystemTest, PathHelpersSplitAtTheLastSeparator) {
    const char* p = "dat/Img.dat";
    const int n = 11;
    EXPECT_STREQ("Img.dat", sys.ExtractFilePathToFileName(p, n));
    EXPECT_STREQ("dat", sys.ExtractFilePathToDirectoryPath(p, n));
    EXPECT_STREQ("dat/Img", sys.ExtractFilePathToExtension(p, n));
    EXPECT_STREQ("c.bmp", sys.ExtractFilePathToFileName("a\\b/c.bmp", 9));
    EXPECT_STREQ("a/b", sys.ExtractFilePathToDirectoryPath("a/b\\c.bmp", 9));
    // Only the given length is looked at.
    EXPECT_STREQ("Img", sys.ExtractFilePathToFileName(p, 7));
}

TEST_F(SystemTest, PathHelpersNeverSplitADoubleByteCharacter) {
    // "ソ" is 83 5C and "表" 95 5C.
    const std::string p = "dat/ソ表.bmp";
    const int n = static_cast<int>(p.size());
    EXPECT_EQ("ソ表.bmp", std::string(sys.ExtractFilePathToFileName(p.c_str(), n)));
    EXPECT_STREQ("dat", sys.ExtractFilePathToDirectoryPath(p.c_str(), n));
    kutest::DebugCapture cap;
    EXPECT_EQ("表", std::string(sys.ExtractFilePathToFileName("表", 2)));
    EXPECT_EQ(nullptr, sys.ExtractFilePathToDirectoryPath("表", 2));
}

TEST_F(SystemTest, PathHelpersReportBadPaths) {
    kutest::DebugCapture cap;
    EXPECT_STREQ("Img.dat", sys.ExtractFilePathToFileName("Img.dat", 7));
    EXPECT_EQ(nullptr, sys.ExtractFilePathToDirectoryPath("Img.dat", 7));
    EXPECT_EQ(nullptr, sys.ExtractFilePathToExtension("dat/Img", 7));
    EXPECT_EQ(nullptr, sys.ExtractFilePathToFileName("dat/", 4));
    EXPECT_EQ((std::vector<std::string>{
                  "Warn: <KUSYSTEM::ExtractFilePathToFileName> ファイルパスはディレクトリ構造を持っていません\n",
                  "Warn: <KUSYSTEM::ExtractFilePathToDirectoryPath> ファイルパスはディレクトリ構造を持っていません\n",
                  "Warn: <KUSYSTEM::ExtractFilePathToExtension> ファイルパスはディレクトリ構造を持っていません\n",
                  "Error: <KUSYSTEM::ExtractFilePathToFileName> ファイルパスにファイル名は含まれません\n"}),
              cap.lines());

    cap.Clear();
    const std::string longPath = "dat/" + std::string(300, 'x');
    for (int len : {260, 304}) {
        EXPECT_EQ(nullptr, sys.ExtractFilePathToFileName(longPath.c_str(), len));
        EXPECT_EQ(nullptr, sys.ExtractFilePathToDirectoryPath(longPath.c_str(), len));
        EXPECT_EQ(nullptr, sys.ExtractFilePathToExtension(longPath.c_str(), len));
    }
    EXPECT_EQ(nullptr, sys.ExtractFilePathToFileName(nullptr, 3));
    ASSERT_EQ(7u, cap.lines().size());
    EXPECT_EQ("Error: <KUSYSTEM::ExtractFilePathToFileName> ファイルパスサイズが大きすぎます\n", cap.lines()[0]);
    EXPECT_EQ("Error: <KUSYSTEM::ExtractFilePathToDirectoryPath> ファイルパスサイズが大きすぎます\n", cap.lines()[1]);
    EXPECT_EQ("Error: <KUSYSTEM::ExtractFilePathToExtension> ファイルパスサイズが大きすぎます\n", cap.lines()[2]);
    EXPECT_EQ("Error: <KUSYSTEM::ExtractFilePathToFileName> ファイルパスが不正です\n", cap.lines()[6]);
    EXPECT_STREQ("x", sys.ExtractFilePathToFileName("dat/x", 5)); // 259 is fine, the check is on the size
}

TEST_F(SystemTest, TraceLinesCarryTheTimeAndReachTheFileOnlyInDebugMode) {
    kutest::DebugCapture cap;
    sys.TracePrint("Error: <X::Y> 失敗\n");
    EXPECT_EQ(std::vector<std::string>{"[2024/03/07 09:05:02] Error: <X::Y> 失敗\n"}, cap.lines());
    EXPECT_FALSE(dir.Exists("trace.txt"));

    g_bDebugInfo = 1;
    sys.TracePrint("Message: one\n");
    sys.TracePrint("Message: 二\n");
    // Appended as Shift-JIS bytes, no line break added.
    EXPECT_EQ("[2024/03/07 09:05:02] Message: one\n[2024/03/07 09:05:02] Message: 二\n", dir.Read("trace.txt"));

    // The real local time has the same shape.
    plat::SetLocalTimeSource(nullptr);
    cap.Clear();
    sys.TracePrint("Error: <X::Y> 失敗\n");
    ASSERT_EQ(1u, cap.lines().size());
    const std::string shape = "[dddd/dd/dd dd:dd:dd] ";
    const std::string& line = cap.lines()[0];
    ASSERT_GT(line.size(), shape.size());
    for (size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == 'd') {
            EXPECT_TRUE(isdigit(static_cast<unsigned char>(line[i]))) << line;
        } else {
            EXPECT_EQ(shape[i], line[i]) << line;
        }
    }
    EXPECT_EQ("Error: <X::Y> 失敗\n", line.substr(shape.size()));
}

TEST_F(SystemTest, LongTraceLinesAreCutToFitOnACharacterBoundary) {
    kutest::DebugCapture cap;
    sys.TracePrint(std::string(600, 'a').c_str());
    ASSERT_EQ(1u, cap.lines().size());
    EXPECT_EQ(511u, cap.lines()[0].size());
    cap.Clear();
    // Prefix of 22 bytes, then double-byte characters: byte 511 would be a lead byte.
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "あ";
    sys.TracePrint(text.c_str());
    EXPECT_EQ(510u, cap.lines()[0].size());
    EXPECT_EQ(plat::SjisToUtf8(cap.lines()[0]).find('?'), std::string::npos);
}

// A line cut at the limit keeps its line end, so the next line starts on a
// line of its own, in the output and in trace.txt alike.
TEST_F(SystemTest, TraceLinesCutAtTheLimitKeepTheirLineEnd) {
    const std::string stamp = "[2024/03/07 09:05:02] ";
    const size_t room = kTraceLineBytes - 1 - stamp.size() - 1; // message bytes before the line end
    char line[kTraceLineBytes];
    const std::string exact = std::string(room, 'a') + "\n";
    FormatTraceLine(exact.c_str(), line, sizeof(line));
    EXPECT_EQ(stamp + exact, line);
    FormatTraceLine((std::string(room + 1, 'b') + "\n").c_str(), line, sizeof(line));
    EXPECT_EQ(stamp + std::string(room, 'b') + "\n", line);
    // "あ" would take the last byte before the line end and one past it.
    FormatTraceLine((std::string(room - 1, 'c') + "あ\n").c_str(), line, sizeof(line));
    EXPECT_EQ(stamp + std::string(room - 1, 'c') + "\n", line);

    g_bDebugInfo = 1;
    kutest::DebugCapture cap;
    sys.TracePrint((std::string(600, 'd') + "\n").c_str());
    sys.TracePrint("Message: next\n");
    const std::string cut = stamp + std::string(room, 'd') + "\n";
    EXPECT_EQ((std::vector<std::string>{cut, stamp + "Message: next\n"}), cap.lines());
    EXPECT_EQ(cut + stamp + "Message: next\n", dir.Read("trace.txt"));
}

// The printf-style formatters cut the same way: the line end survives the cut.
TEST(LogLineFormat, FormattedLinesCutAtTheLimitKeepTheirLineEnd) {
    char line[16];
    plat::FormatLogLine(line, sizeof(line), "%s\n", "abcdefghijklmnopqrstuvwxyz");
    EXPECT_STREQ("abcdefghijklmn\n", line);
    plat::FormatLogLine(line, sizeof(line), "%s", "abcdefghijklmnopqrstuvwxyz"); // no line end to keep
    EXPECT_STREQ("abcdefghijklmno", line);
    plat::FormatLogLine(line, sizeof(line), "%s\n", "abcdefghijklmn"); // fits exactly
    EXPECT_STREQ("abcdefghijklmn\n", line);

    const std::string format = "Error: <KUSYSTEM::RemoveFile> ファイル %s が削除出来ません\n";
    const std::string cut = kusys::FormatPath(format.c_str(), "tmp/" + std::string(600, 'p'));
    ASSERT_EQ(kTraceLineBytes - 1, cut.size());
    EXPECT_EQ('\n', cut.back());
    EXPECT_EQ(std::string(40, 'p') + "\n", cut.substr(cut.size() - 41));
}

TEST_F(SystemTest, TraceWriteFailureIsReported) {
    g_bDebugInfo = 1;
    mkdir("trace.txt", 0755); // a folder in the way of the file
    kutest::DebugCapture cap;
    sys.TracePrint("Message: x\n");
    EXPECT_TRUE(cap.Contains("Error: <KUSYSTEM::TracePrint> fprintfに失敗しました\n"));
}

} // namespace
