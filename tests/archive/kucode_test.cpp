#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/kucode.h"
#include "platform/files_test_hooks.h"
#include "platform/sjis.h"
#include "tests/archive/numbered_lines.h"
#include "tests/support/test_env.h"

namespace {

const std::string kPlain = "ab\r\nc";

// Lines as the script readers see them: read, skip headers, unscramble.
std::vector<std::string> ReadLines(const std::string& path, int size) {
    std::vector<std::string> lines;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return lines;
    std::vector<char> line(size), text(size);
    while (CodeFileReadOneLine(f, line.data(), size) == 0) {
        if (KUDecodeOneLine(line.data(), size, text.data()) == 1)
            continue;
        lines.emplace_back(text.data());
    }
    fclose(f);
    return lines;
}

TEST(KuCode, EncodeIsByteExactInBothModes) {
    kutest::TempDir dir;
    dir.Write("plain.txt", kPlain);
    ASSERT_EQ(KUEncode("plain.txt", "ne.spt", kKuCodeNoEncode), 0);
    EXPECT_EQ(dir.Read("ne.spt"), std::string("KUCODE NLINE-NO-ENCODE\n\x9E\x9D\r\n\x9C"));
    ASSERT_EQ(KUEncode("plain.txt", "e.spt", 0), 0);
    EXPECT_EQ(dir.Read("e.spt"), std::string("KUCODE NLINE-ENCODE\n\x9E\x9D\xF2\xF5\x9C"));

    ASSERT_EQ(KUDecode("ne.spt", "ne.txt"), 0);
    EXPECT_EQ(dir.Read("ne.txt"), kPlain);
    ASSERT_EQ(KUDecode("e.spt", "e.txt"), 0);
    EXPECT_EQ(dir.Read("e.txt"), kPlain);
}

TEST(KuCode, LoneLineBreaksAndPairsTakenLeftToRight) {
    kutest::TempDir dir;
    dir.Write("plain.txt", std::string("\rx\ny\r\r\n"));
    ASSERT_EQ(KUEncode("plain.txt", "ne.spt", kKuCodeNoEncode), 0);
    // Lone CR and LF complemented; in CR CR LF the first CR is complemented.
    EXPECT_EQ(dir.Read("ne.spt").substr(23), std::string("\xF2\x87\xF5\x86\xF2\r\n"));
    ASSERT_EQ(KUDecode("ne.spt", "back.txt"), 0);
    EXPECT_EQ(dir.Read("back.txt"), "\rx\ny\r\r\n");

    dir.Write("empty.txt", "");
    ASSERT_EQ(KUEncode("empty.txt", "empty.spt", 0), 0);
    EXPECT_EQ(dir.Read("empty.spt"), "KUCODE NLINE-ENCODE\n");
    ASSERT_EQ(KUDecode("empty.spt", "empty.out"), 0);
    EXPECT_EQ(dir.Read("empty.out"), "");
}

TEST(KuCode, PlainF2F5BecomesALineBreak) {
    kutest::TempDir dir;
    dir.Write("plain.txt", std::string("a\xF2\xF5z\r\n"));
    ASSERT_EQ(KUEncode("plain.txt", "ne.spt", kKuCodeNoEncode), 0);
    EXPECT_EQ(dir.Read("ne.spt").substr(23), std::string("\x9E\r\n\x85\r\n"));
    ASSERT_EQ(KUDecode("ne.spt", "back.txt"), 0);
    EXPECT_EQ(dir.Read("back.txt"), "a\r\nz\r\n");
    // The LF-only header swallows the first line; the second comes back alone.
    EXPECT_EQ(ReadLines("ne.spt", 512), std::vector<std::string>{"z"});
}

TEST(KuCode, DecodeTakesACrLfHeaderWithoutAStrayByte) {
    kutest::TempDir dir;
    dir.Write("crlf.spt", std::string("KUCODE NLINE-NO-ENCODE\r\n\x9E\x9D\r\n"));
    ASSERT_EQ(KUDecode("crlf.spt", "out.txt"), 0);
    EXPECT_EQ(dir.Read("out.txt"), "ab\r\n");
    // The line readers give the header as a line of its own.
    EXPECT_EQ(ReadLines("crlf.spt", 512), std::vector<std::string>{"ab"});
}

TEST(KuCode, DecodeRefusesOtherFiles) {
    kutest::TempDir dir;
    kutest::DebugCapture log;
    dir.Write("plain.txt", "hello world\r\n");
    EXPECT_EQ(KUDecode("plain.txt", "out.txt"), -1);
    EXPECT_TRUE(log.Contains("Error: <KUDecode> KUCodeで暗号化されたファイルではありません\n"));
    EXPECT_TRUE(dir.Exists("out.txt"));
    EXPECT_EQ(dir.Read("out.txt"), "");

    log.Clear();
    dir.Write("bad.spt", "KUCODE NLINE-SOMETHING\n\x9E");
    EXPECT_EQ(KUDecode("bad.spt", "out.txt"), -1);
    EXPECT_TRUE(log.Contains("Error: <KUDecode> ヘッダーが不正です\n"));

    // A first word of 100 bytes or more is no header (and never overflows).
    log.Clear();
    dir.Write("long.spt", "KUCODE" + std::string(200, 'X') + " NLINE-ENCODE\n");
    EXPECT_EQ(KUDecode("long.spt", "out.txt"), -1);
    EXPECT_TRUE(log.Contains("KUCodeで暗号化されたファイルではありません"));

    log.Clear();
    EXPECT_EQ(KUDecode("missing.spt", "out2.txt"), -1);
    EXPECT_TRUE(log.Contains("Error: <KUDecode> 読込ファイルが開けません\n"));
    EXPECT_EQ(KUEncode("missing.txt", "out3.txt", 0), -1);
    EXPECT_TRUE(log.Contains("Error: <KUEncode> 読込先ファイルオープンに失敗\n"));
    EXPECT_EQ(KUEncode("plain.txt", "no/such/dir.spt", 0), -1);
    EXPECT_TRUE(log.Contains("Error: <KUEncode> 書込先ファイルオープンに失敗\n"));
}

// Runs check in a child whose files may not pass limit bytes, as on a disk
// that is full there (the signal of an oversized write ignored); its result
// is the child's exit status.
int OnFullDisk(rlim_t limit, const std::function<int()>& check) {
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit fsize{limit, limit};
        setrlimit(RLIMIT_FSIZE, &fsize);
        _exit(check());
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Both directions: a cut output is a failure with its line, not a success,
// whether a write fails on the way or only the last flush of a small output
// still in the buffer does.
TEST(KuCode, AnOutputThatCannotBeWrittenWholeIsAFailure) {
    kutest::TempDir dir;
    dir.Write("plain.txt", NumberedLines(4000));
    ASSERT_EQ(KUEncode("plain.txt", "whole.spt", kKuCodeNoEncode), 0);
    dir.Write("small.txt", kPlain);
    ASSERT_EQ(KUEncode("small.txt", "small.spt", 0), 0);
    const auto both = [](const char* plainIn, const char* codedIn) {
        return [=] {
            kutest::DebugCapture log;
            const bool encode = KUEncode(plainIn, "cut.spt", kKuCodeNoEncode) == -1 &&
                                log.Contains("Error: <KUEncode> 書込先ファイルへの書き込みに失敗\n");
            const bool decode =
                KUDecode(codedIn, "cut.txt") == -1 && log.Contains("Error: <KUDecode> 書込ファイルに書き込めません\n");
            return (encode ? 0 : 1) | (decode ? 0 : 2);
        };
    };
    EXPECT_EQ(OnFullDisk(4096, both("plain.txt", "whole.spt")), 0) << "1: the encode, 2: the decode passed for done";
    EXPECT_EQ(OnFullDisk(2, both("small.txt", "small.spt")), 0) << "the same with only the close failing";
}

// Inputs whose reading fails part way (as a bad sector does): a failure
// with its line, never a cut output passed for done.
FILE* BrokenInput(const std::string& path, const char* mode) {
    static std::string bytes;
    static size_t at;
    if (mode[0] != 'r' || path.compare(0, 7, "broken.") != 0)
        return nullptr;
    bytes = path == "broken.spt" ? std::string("KUCODE NLINE-ENCODE\n\x9E\x9D") : std::string("ab");
    at = 0;
    cookie_io_functions_t io{};
    io.read = [](void*, char* buf, size_t n) -> ssize_t {
        if (at == bytes.size()) {
            errno = EIO;
            return -1;
        }
        n = std::min(n, bytes.size() - at);
        memcpy(buf, bytes.data() + at, n);
        at += n;
        return static_cast<ssize_t>(n);
    };
    return fopencookie(nullptr, "r", io);
}

TEST(KuCode, AnInputThatCannotBeReadWholeIsAFailure) {
    kutest::TempDir dir;
    kutest::DebugCapture log;
    plat::SetOpenHook(BrokenInput);
    EXPECT_EQ(KUEncode("broken.txt", "out.spt", 0), -1);
    EXPECT_TRUE(log.Contains("Error: <KUEncode> 読込先ファイルの読み込みに失敗\n"));
    EXPECT_EQ(KUDecode("broken.spt", "out.txt"), -1);
    EXPECT_TRUE(log.Contains("Error: <KUDecode> 読込ファイルが読めません\n"));
    plat::SetOpenHook(nullptr);
    // What was read before the failure was passed on.
    EXPECT_EQ(dir.Read("out.txt"), "ab");
}

TEST(KuCode, LineReaderStopsAtCrLfOnly) {
    kutest::TempDir dir;
    dir.Write("f", "one\ntwo\r\nlast");
    FILE* f = fopen("f", "rb");
    ASSERT_NE(f, nullptr);
    char buf[512];
    EXPECT_EQ(CodeFileReadOneLine(f, buf, sizeof(buf)), 0);
    EXPECT_STREQ(buf, "one\ntwo\r\n");
    // A last line without CR LF is the end of the file.
    EXPECT_EQ(CodeFileReadOneLine(f, buf, sizeof(buf)), -1);
    fclose(f);

    kutest::DebugCapture log;
    EXPECT_EQ(CodeFileReadOneLine(nullptr, buf, sizeof(buf)), -1);
    EXPECT_TRUE(log.Contains("Error: <CodeFileReadOneLine> ファイルポインタが設定されていません\n"));
}

TEST(KuCode, LongestLineFitsAndLongerOnesStayTerminated) {
    kutest::TempDir dir;
    std::string line511(509, '\x9E');
    line511 += "\r\n";
    std::string line600(598, '\x9E');
    line600 += "\r\n";
    dir.Write("f", line511 + line600);
    FILE* f = fopen("f", "rb");
    ASSERT_NE(f, nullptr);
    char buf[512];
    char out[512];
    ASSERT_EQ(CodeFileReadOneLine(f, buf, sizeof(buf)), 0);
    EXPECT_EQ(std::string(buf), line511);
    ASSERT_EQ(KUDecodeOneLine(buf, sizeof(buf), out), 0);
    EXPECT_EQ(std::string(out), std::string(509, 'a'));

    // An over-long line comes in pieces, each NUL-terminated inside the buffer,
    // and unscrambling it never writes past the same-sized out buffer.
    ASSERT_EQ(CodeFileReadOneLine(f, buf, sizeof(buf)), 0);
    EXPECT_EQ(strlen(buf), 511u);
    ASSERT_EQ(KUDecodeOneLine(buf, sizeof(buf), out), 0);
    EXPECT_EQ(strlen(out), 511u);
    ASSERT_EQ(CodeFileReadOneLine(f, buf, sizeof(buf)), 0);
    EXPECT_EQ(std::string(buf), line600.substr(511));
    EXPECT_EQ(CodeFileReadOneLine(f, buf, sizeof(buf)), -1);
    fclose(f);
}

TEST(KuCode, HeaderLineRecognisedInPlace) {
    char out[64] = "untouched";
    EXPECT_EQ(KUDecodeOneLine("KUCODE NLINE-NO-ENCODE\r\n", 64, out), 1);
    EXPECT_EQ(KUDecodeOneLine("KUCODE NLINE-NO-ENCODE\n\x9E\x9D\r\n", 64, out), 1);
    EXPECT_EQ(KUDecodeOneLine("  KUCODE\r\n", 64, out), 1);
    EXPECT_STREQ(out, "untouched");
    // Only the whole first word counts.
    EXPECT_EQ(KUDecodeOneLine("KUCODEX\r\n", 64, out), 0);
    EXPECT_EQ(KUDecodeOneLine("\x9E\r\n", 64, out), 0);
    EXPECT_STREQ(out, "a");
    // A line of exactly the word, no terminator inside the maximum.
    EXPECT_EQ(KUDecodeOneLine("KUCODE", 6, out), 1);
}

} // namespace
