#include <sys/stat.h>

#include "tests/support/confinement.h"
#include "tests/system/system_fixture.h"

namespace {

using kutest::SystemTest;

// The removal of tmp/ at exit, over real mounts (the test program runs
// confined, as root): a tmpfs and a bind mount of a folder of the same file
// system keep their files; the rest of the folder holding them goes.
TEST_F(SystemTest, ExitWalkLeavesRealMountsAlone) {
    KUTEST_NEED_CONFINEMENT();
    dir.Write("kept/k", "bound");
    dir.Write("tmp/sub/f", "x");
    ASSERT_EQ(0, mkdir("tmp/mnt", 0755));
    ASSERT_EQ(0, mkdir("tmp/sub/bnd", 0755));
    const kutest::TestMount tmpfs("tmp/mnt");
    const kutest::TestMount bound("tmp/sub/bnd", "kept");
    ASSERT_TRUE(tmpfs.ok() && bound.ok());
    dir.Write("tmp/mnt/m", "mounted");

    sys.RemoveTempFiles();
    EXPECT_FALSE(dir.Exists("tmp/sub/f"));
    EXPECT_EQ("mounted", dir.Read("tmp/mnt/m"));
    EXPECT_EQ("bound", dir.Read("tmp/sub/bnd/k"));
    EXPECT_EQ("bound", dir.Read("kept/k"));
}

} // namespace
