#include "tests/support/test_env.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "platform/debug_out.h"
#include "platform/files_test_hooks.h"
#include "tests/support/confinement.h"

namespace kutest {

namespace {

std::string g_mountPoint;

bool IsMountPoint(const std::string& path) { return path == g_mountPoint; }

} // namespace

MountPointScope::MountPointScope(std::string path) {
    g_mountPoint = std::move(path);
    plat::SetMountPointHook(&IsMountPoint);
}

MountPointScope::~MountPointScope() {
    plat::SetMountPointHook(nullptr);
    g_mountPoint.clear();
}

TempDir::TempDir() {
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof(cwd)))
        oldCwd_ = cwd;
    path_ = MakeTestFolder();
    if (chdir(path_.c_str()) != 0)
        abort();
}

TempDir::~TempDir() {
    if (!oldCwd_.empty() && chdir(oldCwd_.c_str()) != 0) {
    }
    DropTestFolder(path_);
}

void TempDir::Write(const std::string& rel, const std::string& bytes) const {
    std::filesystem::path p = std::filesystem::path(path_) / rel;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

std::string TempDir::Read(const std::string& rel) const {
    std::ifstream in(std::filesystem::path(path_) / rel, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool TempDir::Exists(const std::string& rel) const {
    return std::filesystem::exists(std::filesystem::path(path_) / rel);
}

DebugCapture::DebugCapture() {
    plat::SetDebugSink([this](const std::string& text) { lines_.push_back(text); });
}

DebugCapture::~DebugCapture() { plat::SetDebugSink(nullptr); }

std::string DebugCapture::all() const {
    std::string s;
    for (const auto& l : lines_)
        s += l;
    return s;
}

bool DebugCapture::Contains(const std::string& text) const { return all().find(text) != std::string::npos; }

namespace {

// Every test program runs headless with SDL's dummy drivers and knows the
// project's folders, whether started by ctest or by hand.
struct TestEnvironment {
    TestEnvironment() {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("KU_SOURCE_DIR", KU_SOURCE_DIR_DEFAULT, 0);
        setenv("KU_BINARY_DIR", KU_BINARY_DIR_DEFAULT, 0);
    }
};
const TestEnvironment g_testEnvironment;

} // namespace

std::string SourceDir() {
    const char* s = getenv("KU_SOURCE_DIR");
    return s ? s : KU_SOURCE_DIR_DEFAULT;
}

std::string BinaryDir() {
    const char* s = getenv("KU_BINARY_DIR");
    return s ? s : KU_BINARY_DIR_DEFAULT;
}

bool CopySampleScenario() {
    const std::string scenario = BinaryDir() + "/game/dat/Scenario.dat";
    if (!std::filesystem::exists(scenario))
        return false;
    std::filesystem::create_directories("dat");
    std::filesystem::create_directories("tmp");
    std::filesystem::copy_file(scenario, "dat/Scenario.dat");
    return true;
}

} // namespace kutest
