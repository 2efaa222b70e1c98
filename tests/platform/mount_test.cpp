#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"
#include "tests/support/confinement.h"
#include "tests/support/test_env.h"

// Real mounts, made where the test program runs confined (as root): the
// mount checks asked of the system itself, with no hook answering for them.

namespace {

// The file name in the folder opened as dirFd, "" when it is not there.
std::string ReadAt(int dirFd, const char* name) {
    const int fd = openat(dirFd, name, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return "";
    char buf[64];
    const ssize_t n = read(fd, buf, sizeof(buf));
    close(fd);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : "";
}

// A removal that strays out of the test's folder fails at its first step.
TEST(Confinement, NothingBeyondTheTestsFolderCanBeWritten) {
    kutest::TempDir dir;
    KUTEST_NEED_CONFINEMENT();
    dir.Write("own", "x");
    EXPECT_EQ("x", dir.Read("own"));
    for (const std::string& path :
         {dir.path() + "-beside", kutest::BinaryDir() + "/kutest-beside", std::string("/kutest-beside")}) {
        errno = 0;
        EXPECT_NE(0, mkdir(path.c_str(), 0700)) << path;
        EXPECT_EQ(EROFS, errno) << path;
    }
}

// A folder in a copy's place goes, but never what is mounted in it, nor a
// folder that is a mount itself. What they hold is looked for through
// descriptors, wherever their folders end up.
TEST(MountedFolders, ACopyTakingAFoldersPlaceLeavesMountsAlone) {
    kutest::TempDir dir;
    KUTEST_NEED_CONFINEMENT();
    dir.Write("kept/k", "bound");
    dir.Write("tmp/b.wav/sub/f", "x");
    ASSERT_EQ(0, mkdir("tmp/b.wav/mnt", 0755));
    ASSERT_EQ(0, mkdir("tmp/b.wav/sub/bnd", 0755));
    ASSERT_EQ(0, mkdir("tmp/c.wav", 0755));
    const kutest::TestMount tmpfs("tmp/b.wav/mnt");
    const kutest::TestMount bound("tmp/b.wav/sub/bnd", "kept");
    const kutest::TestMount whole("tmp/c.wav");
    ASSERT_TRUE(tmpfs.ok() && bound.ok() && whole.ok());
    dir.Write("tmp/b.wav/mnt/m", "mounted");
    dir.Write("tmp/c.wav/m", "whole");
    const int mnt = open("tmp/b.wav/mnt", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int cwav = open("tmp/c.wav", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_TRUE(mnt >= 0 && cwav >= 0);

    FILE* f = plat::BeginReplaceFile("tmp/b.wav");
    ASSERT_NE(nullptr, f);
    plat::FinishReplaceFile(f, "tmp/b.wav", true, plat::Durability::kVolatile);
    if (FILE* c = plat::OpenFile("tmp/c.wav", "wb"))
        fclose(c);

    EXPECT_EQ("mounted", ReadAt(mnt, "m"));
    EXPECT_EQ("bound", dir.Read("kept/k"));
    EXPECT_EQ("whole", ReadAt(cwav, "m"));
    close(mnt);
    close(cwav);
}

} // namespace
