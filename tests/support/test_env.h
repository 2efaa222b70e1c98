#pragma once
#include <string>
#include <vector>

#include "platform/clock.h"

namespace kutest {

// A fresh folder for one test (its own file system when confined, see
// confinement.h), made the working directory while it lives (the program
// resolves dat/, tmp/ and trace.txt against it).
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    void Write(const std::string& rel, const std::string& bytes) const;
    std::string Read(const std::string& rel) const;
    bool Exists(const std::string& rel) const;

private:
    std::string path_;
    std::string oldCwd_;
};

// Collects everything sent to the debugger output while it lives.
class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    const std::vector<std::string>& lines() const { return lines_; }
    std::string all() const;
    bool Contains(const std::string& sjisText) const;
    void Clear() { lines_.clear(); }

private:
    std::vector<std::string> lines_;
};

// Takes one folder (its path as the program names it, "tmp/x") for a mount
// point while it lives: a folder no removal may take away, as a test process
// cannot mount one.
class MountPointScope {
public:
    explicit MountPointScope(std::string path);
    ~MountPointScope();
    MountPointScope(const MountPointScope&) = delete;
    MountPointScope& operator=(const MountPointScope&) = delete;
};

// Installs a fake clock for the test's lifetime.
class FakeClockScope {
public:
    FakeClockScope() { plat::SetClock(&clock); }
    ~FakeClockScope() { plat::SetClock(nullptr); }
    plat::FakeClock clock;
};

// Source and build folders of the project, from the test environment.
std::string SourceDir();
std::string BinaryDir();

// Copies the built sample game's scenario archive into dat/ of the working
// folder and makes tmp/ beside it; false when the sample game is not built.
bool CopySampleScenario();

} // namespace kutest
