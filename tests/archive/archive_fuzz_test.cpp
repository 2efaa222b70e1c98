// Damaged combined archives, damaged ".lst" lists and damaged scrambled text,
// from seeded mutations of good files. Every call must return one of its
// documented results, and extraction may only ever create plain files
// directly inside the out directory.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engine/combine_file.h"
#include "engine/kucode.h"
#include "tests/support/fuzz_mutator.h"
#include "tests/support/test_env.h"
#include "tools/archive_writer.h"

namespace {

namespace fs = std::filesystem;

const std::vector<ArchiveMember> kMembers = {
    {"a.bmp", "", "AAAA"},
    {"b.bmp", "", std::string("B\0B\r\nB", 6)},
    {"画像.bmp", "", std::string(300, 'x')},
    {"empty.txt", "", ""},
    {"z.wav", "", "RIFF....WAVE"},
};

// The game folder lives one level below the test folder, so that a write
// escaping it (say through "../") shows up in the test folder's tree.
class ArchiveFuzzTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.Write("game/tmp/.keep", "");
        dir_.Write("game/dat/.keep", "");
        ASSERT_EQ(chdir("game"), 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(dir_.path().c_str()), 0); }

    static std::string ReadFile(const std::string& path) {
        std::string s;
        FILE* f = fopen(path.c_str(), "rb");
        if (!f)
            return s;
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
            s.append(buf, n);
        fclose(f);
        return s;
    }
    static void WriteFile(const std::string& path, const std::string& bytes) {
        FILE* f = fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
        fclose(f);
    }
    // Everything extraction created: plain files in tmp/ only; they are removed.
    void CheckAndClearOutput(const std::set<std::string>& before, uint64_t seed) {
        std::set<std::string> now = kutest::TreeOf(dir_.path());
        for (const std::string& p : now) {
            if (before.count(p))
                continue;
            ASSERT_EQ(p.rfind("game/tmp/", 0), 0u) << "seed " << seed << " wrote " << p;
            ASSERT_EQ(p.find('/', 9), std::string::npos) << "seed " << seed << " wrote " << p;
            ASSERT_TRUE(fs::is_regular_file(dir_.path() + "/" + p)) << "seed " << seed << " made " << p;
        }
        for (const std::string& p : now) {
            if (!before.count(p))
                fs::remove(dir_.path() + "/" + p);
        }
    }
    void RunArchive(const char* archive, uint64_t seed) {
        const int type = CheckCombineFileType(archive);
        ASSERT_TRUE(type >= -1 && type <= 2) << "seed " << seed;
        const int found = SearchCombineFile(archive, "b.bmp");
        ASSERT_TRUE(found >= -2 && found <= 1) << "seed " << seed;
        const int one = FileDiv(archive, "tmp/", "画像.BMP");
        ASSERT_TRUE(one >= -3 && one <= 1) << "seed " << seed;
        const int all = FileDiv(archive, "tmp/", nullptr);
        ASSERT_TRUE(all >= -3 && all <= 1) << "seed " << seed;
        for (int i = 0; i < kCombineFileListMax && g_CombineFileList[i].name[0]; ++i) {
            ASSERT_NE(memchr(g_CombineFileList[i].name, '\0', sizeof(g_CombineFileList[i].name)), nullptr);
        }
        // A member read directly with the list's damaged offsets.
        uint32_t size = 0;
        const COMBINE_FILE_DATA& row = g_CombineFileList[0];
        CombineDataBlock block = ReadCombineFileData(archive, &size, row.start, row.end);
        if (block) {
            ASSERT_EQ(block->size(), size) << "seed " << seed;
        }
    }

    kutest::TempDir dir_;
};

TEST_F(ArchiveFuzzTest, DamagedListInArchivesNeverWriteOutsideTheOutFolder) {
    std::string error;
    ASSERT_TRUE(WriteArchive("dat/in.dat", kMembers, false, &error)) << error;
    const std::string sample = ReadFile("dat/in.dat");
    ASSERT_EQ(FileDiv("dat/in.dat", "tmp/", nullptr), 1);
    ASSERT_EQ(ReadFile("tmp/画像.bmp"), std::string(300, 'x'));
    const std::set<std::string> before = [&] {
        for (const auto& m : kMembers)
            fs::remove("tmp/" + m.name);
        return kutest::TreeOf(dir_.path());
    }();

    kutest::DebugCapture quiet;
    for (uint64_t seed = 0; seed < 800; ++seed) {
        WriteFile("dat/in.dat", kutest::Mutate(sample, seed));
        RunArchive("dat/in.dat", seed);
        CheckAndClearOutput(before, seed);
        if (HasFatalFailure())
            return;
    }
}

TEST_F(ArchiveFuzzTest, DamagedListFilesNeverWriteOutsideTheOutFolder) {
    std::string error;
    ASSERT_TRUE(WriteArchive("dat/out.dat", kMembers, true, &error)) << error;
    const std::string list = ReadFile("dat/out.lst");
    const std::string archive = ReadFile("dat/out.dat");
    ASSERT_FALSE(list.empty());
    ASSERT_EQ(SearchCombineFile("dat/out.dat", "z.wav"), 1);
    const std::set<std::string> before = kutest::TreeOf(dir_.path());

    kutest::DebugCapture quiet;
    for (uint64_t seed = 0; seed < 800; ++seed) {
        WriteFile("dat/out.lst", kutest::Mutate(list, seed));
        // Every fourth case also damages the archive's own header line.
        WriteFile("dat/out.dat", seed % 4 == 3 ? kutest::Mutate(archive, seed + 1000000) : archive);
        RunArchive("dat/out.dat", seed);
        CheckAndClearOutput(before, seed);
        if (HasFatalFailure())
            return;
    }
}

TEST_F(ArchiveFuzzTest, HostileMemberNamesAreRefused) {
    const char* names[] = {"../up.txt", "..", ".", "sub/x.txt", "/abs.txt", "..\\up.txt", "a\\b", ""};
    kutest::DebugCapture log;
    WriteFile("dat/h.dat", "");
    const std::set<std::string> before = kutest::TreeOf(dir_.path());
    for (const char* name : names) {
        // Offsets count from the archive's start: the data follows the list.
        const std::string tail = "\r\nLIST-END\n";
        std::string head = "FILECMB-DATA-LIST-IN\n" + std::string(name) + " ";
        size_t start = 0;
        std::string offsets;
        for (int i = 0; i < 3; ++i) { // until the digit counts settle
            offsets = std::to_string(start) + " " + std::to_string(start + 4);
            start = head.size() + offsets.size() + tail.size();
        }
        head += offsets;
        const std::string body = head + tail + "DATA";
        ASSERT_EQ(body.size(), start + 4) << name;
        WriteFile("dat/h.dat", body);
        const int r = FileDiv("dat/h.dat", "tmp/", nullptr);
        // Refused (a line without a name is short of its end offset).
        EXPECT_EQ(r, -1) << name;
        CheckAndClearOutput(before, 0);
    }
    EXPECT_TRUE(log.Contains("Error: 復号ファイルを書き込みオープンできない\n"));
}

TEST_F(ArchiveFuzzTest, AnOverLongListLineWithANulInsideIsDamage) {
    // NULs fill the 511-byte line buffer, so the tail after them would read
    // as a member line of its own.
    std::string line = "a.bmp 0 1";
    line += std::string(511 - line.size(), '\0');
    line += "evil.bmp 0 1\n";
    WriteFile("dat/n.dat", "FILECMB-DATA-LIST-IN\n" + line + "LIST-END\n");
    kutest::DebugCapture log;
    EXPECT_EQ(SearchCombineFile("dat/n.dat", "evil.bmp"), -1);
    EXPECT_TRUE(log.Contains("Error: リストの行が不正\n"));
    // A NUL inside a line of normal length only ends what is parsed of it.
    static const char kNul[] = "FILECMB-DATA-LIST-IN\nb.bmp 0 1\0junk\nLIST-END\n";
    WriteFile("dat/n.dat", std::string(kNul, sizeof(kNul) - 1));
    EXPECT_EQ(SearchCombineFile("dat/n.dat", "b.bmp"), 1);
}

// ---- scrambled text ----

std::vector<std::string> ReadAllLines(const char* path, int size) {
    std::vector<std::string> out;
    FILE* f = fopen(path, "rb");
    if (!f)
        return out;
    // Heap buffers of the exact size: a byte written past one is reported.
    std::vector<char> line(static_cast<size_t>(size)), text(static_cast<size_t>(size));
    for (int guard = 0; guard < 100000; ++guard) {
        if (CodeFileReadOneLine(f, line.data(), size) != 0)
            break;
        EXPECT_EQ(line[static_cast<size_t>(size) - 1], '\0');
        if (KUDecodeOneLine(line.data(), size, text.data()) == 1)
            continue;
        EXPECT_NE(memchr(text.data(), '\0', text.size()), nullptr);
        out.emplace_back(text.data());
    }
    fclose(f);
    return out;
}

TEST(KuCodeFuzz, DamagedScrambledFilesDecodeOrAreRefused) {
    kutest::TempDir dir;
    std::string plain;
    for (int i = 0; i < 40; ++i) {
        plain += "行" + std::to_string(i) + " text\\x \x81\x5C";
        plain += (i % 7 == 3) ? "\n" : "\r\n";
    }
    dir.Write("plain.txt", plain);
    ASSERT_EQ(KUEncode("plain.txt", "enc0.spt", 0), 0);
    ASSERT_EQ(KUEncode("plain.txt", "enc1.spt", kKuCodeNoEncode), 0);
    const std::string samples[2] = {dir.Read("enc0.spt"), dir.Read("enc1.spt")};
    ASSERT_EQ(KUDecode("enc1.spt", "dec.txt"), 0);
    ASSERT_EQ(dir.Read("dec.txt"), plain);

    const int sizes[] = {2, 3, 17, 512, 1024};
    kutest::DebugCapture quiet;
    for (uint64_t seed = 0; seed < 2000; ++seed) {
        const std::string damaged = kutest::Mutate(samples[seed % 2], seed);
        dir.Write("d.spt", damaged);
        const int r = KUDecode("d.spt", "d.txt");
        ASSERT_TRUE(r == 0 || r == -1) << "seed " << seed;
        // The output never grows beyond its input.
        ASSERT_LE(dir.Read("d.txt").size(), damaged.size()) << "seed " << seed;
        ReadAllLines("d.spt", sizes[seed % 5]);
        if (HasFailure())
            FAIL() << "seed " << seed;
    }
}

TEST(KuCodeFuzz, LineUnscramblerStaysInsideBothBuffers) {
    kutest::FuzzRng r(11);
    for (int n = 0; n < 3000; ++n) {
        const size_t size = 1 + r.Below(80);
        std::vector<char> line(size), out(size, '\x55');
        // Any bytes, NUL-terminated or not; headers now and then.
        for (char& c : line)
            c = static_cast<char>(r.OneIn(8) ? "\r\n\0 K"[r.Below(5)] : r.Below(256));
        if (r.OneIn(4)) {
            const std::string h = "  KUCODE NLINE";
            memcpy(line.data(), h.data(), std::min(h.size(), size));
        }
        const int res = KUDecodeOneLine(line.data(), static_cast<int>(size), out.data());
        ASSERT_TRUE(res == 0 || res == 1);
        if (res == 0) {
            ASSERT_NE(memchr(out.data(), '\0', size), nullptr) << n;
        }
    }
}

} // namespace
