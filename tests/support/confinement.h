#pragma once
#include <string>

#include <gtest/gtest.h>

// For a test that needs the confinement: it runs confined, skips when
// unconfined for a reason told, and fails when root was left unconfined with
// none, so a broken confinement cannot pass as a machine that cannot confine.
#define KUTEST_NEED_CONFINEMENT()                                                           \
    do {                                                                                    \
        if (kutest::Confined())                                                             \
            break;                                                                          \
        const std::string why_ = kutest::WhyUnconfined();                                   \
        if (why_.empty())                                                                   \
            FAIL() << "run as root, yet neither confined nor told why";                     \
        GTEST_SKIP() << "not confined: " << why_;                                           \
    } while (0)

namespace kutest {

// Run as root, a test program confines itself at its start: in a mount
// namespace of its own, every file system is read-only, the temporary
// folder is a fresh tmpfs, and each test's folder is a tmpfs of its own, the
// one place a test can write. A removal gone astray then fails where it
// leaves the test's folder and takes nothing of the machine's. Where that is
// not possible (not root, no mount namespaces), tests run unconfined.
bool Confined();

// Why this program runs unconfined: the reason it printed at its start, or
// "not root". "" while confined, and "" when root neither confined it nor
// said why: a fault of the confinement, never a reason to skip.
std::string WhyUnconfined();

// A fresh folder for one test (its own tmpfs when confined); aborts when
// none can be made.
std::string MakeTestFolder();

// Takes a folder of MakeTestFolder away with all it holds.
void DropTestFolder(const std::string& path);

// A file system mounted at the folder at while it lives, confined only: a
// fresh tmpfs, or the folder from bound there. ok() tells it is mounted.
class TestMount {
public:
    explicit TestMount(const std::string& at, const std::string& from = "");
    ~TestMount();
    TestMount(const TestMount&) = delete;
    TestMount& operator=(const TestMount&) = delete;
    bool ok() const { return ok_; }

private:
    std::string path_;
    bool ok_ = false;
};

// While it lives, a confined test may write into the build folder too: a
// frame that differs from its golden one is kept there for a person to see.
class WritableBuildFolder {
public:
    WritableBuildFolder();
    ~WritableBuildFolder();
    WritableBuildFolder(const WritableBuildFolder&) = delete;
    WritableBuildFolder& operator=(const WritableBuildFolder&) = delete;
};

} // namespace kutest
