#pragma once
#include <string>

namespace kutest {

// Run as root, a test program confines itself at its start: in a mount
// namespace of its own, every file system is read-only, the temporary
// folder is a fresh tmpfs, and each test's folder is a tmpfs of its own, the
// one place a test can write. A removal gone astray then fails where it
// leaves the test's folder and takes nothing of the machine's. Where that is
// not possible (not root, no mount namespaces), tests run unconfined.
bool Confined();

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
