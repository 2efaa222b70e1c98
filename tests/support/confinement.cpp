#include "tests/support/confinement.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "tests/support/test_env.h"

namespace kutest {

namespace {

namespace fs = std::filesystem;

struct Confinement {
    bool active = false;
    std::string why; // why not active, as printed at the start
    std::string tests; // a tmpfs holding the tests' folders, read-only but while one is made
    std::string build; // the build folder, bound on itself to be opened alone
};

Confinement& State() {
    static Confinement state;
    return state;
}

// Marks the mount whose root is path read-only or not, in this namespace
// alone: the mark is the mount's, never the file system's, which the rest
// of the machine goes on writing.
bool SetReadOnly(const std::string& path, bool readOnly, unsigned flags = 0) {
    struct mount_attr attr {};
    (readOnly ? attr.attr_set : attr.attr_clr) = MOUNT_ATTR_RDONLY;
    return mount_setattr(AT_FDCWD, path.c_str(), flags, &attr, sizeof(attr)) == 0;
}

bool MountTmpfs(const std::string& path, const char* options) {
    return mount("kutest", path.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options) == 0;
}

std::string Canonical(const std::string& path) {
    std::error_code ec;
    const fs::path p = fs::canonical(path, ec);
    return ec ? std::string() : p.string();
}

bool Inside(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

std::string Failed(const char* what) { return std::string(what) + ": " + strerror(errno); }

// In a mount namespace of this process's own: every mount read-only, then
// fresh tmpfs over the temporary folders, writable: libraries put files
// there (gtest's captured output goes to /tmp whatever TMPDIR says). In
// the first one, the tests' folders are made.
std::string MountAll(Confinement* c, const std::vector<std::string>& temps, const std::string& build) {
    // Before anything is mounted: nothing done here may reach the machine.
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return Failed("mounts stay shared");
    const bool bound = !build.empty() && mount(build.c_str(), build.c_str(), nullptr, MS_BIND, nullptr) == 0;
    if (!SetReadOnly("/", true, AT_RECURSIVE))
        return Failed("mounts cannot be made read-only");
    for (const std::string& temp : temps) {
        if (!MountTmpfs(temp, "mode=1777"))
            return Failed("no tmpfs");
    }
    const std::string tests = temps[0] + "/kutest";
    if (mkdir(tests.c_str(), 0755) != 0 || !MountTmpfs(tests, "mode=0755") || !SetReadOnly(tests, true))
        return Failed("no folder for the tests' folders");
    c->active = true;
    c->tests = tests;
    c->build = bound ? build : "";
    return "";
}

// Confines this process, all or nothing; why it is not, or "" (when not
// root, too: an ordinary user cannot, and runs as before).
std::string Confine(Confinement* c) {
    if (geteuid() != 0)
        return "";
    const char* update = getenv("KU_UPDATE_GOLDEN");
    if (update && strcmp(update, "1") == 0)
        return "golden frames are being written into the source tree";
    std::error_code ec;
    std::vector<std::string> temps{Canonical(fs::temp_directory_path(ec).string())};
    const std::string tmp = Canonical("/tmp");
    if (!tmp.empty() && tmp != temps[0])
        temps.push_back(tmp);
    const std::string build = Canonical(BinaryDir());
    const std::string source = Canonical(SourceDir());
    for (const std::string& temp : temps) {
        if (temp.empty() || temp == "/")
            return "no temporary folder";
        // The fresh tmpfs would hide them.
        if (Inside(build, temp) || Inside(source, temp))
            return "the project lies in the temporary folder";
    }
    const int home = open("/proc/self/ns/mnt", O_RDONLY | O_CLOEXEC);
    if (home < 0 || unshare(CLONE_NEWNS) != 0) {
        std::string why = Failed("no mount namespace");
        if (home >= 0)
            close(home);
        return why;
    }
    std::string why = MountAll(c, temps, build);
    if (!why.empty()) {
        // Back where it started; joining a namespace moves to its root.
        char cwd[PATH_MAX];
        if (!getcwd(cwd, sizeof(cwd)) || setns(home, CLONE_NEWNS) != 0 || chdir(cwd) != 0) {
            fprintf(stderr, "kutest: half confined (%s), and stuck: %s\n", why.c_str(), strerror(errno));
            abort();
        }
    }
    close(home);
    return why;
}

struct ConfineAtStart {
    ConfineAtStart() {
        Confinement& c = State();
        std::string why = Confine(&c);
        if (!why.empty())
            fprintf(stderr, "kutest: tests run unconfined (%s)\n", why.c_str());
        c.why = std::move(why);
    }
};
const ConfineAtStart g_confineAtStart;

[[noreturn]] void Fail(const char* what) {
    fprintf(stderr, "kutest: %s: %s\n", what, strerror(errno));
    abort();
}

// Runs change with the folder of the tests' folders writable for a moment.
template <typename F>
void InTestsFolder(const std::string& tests, F change) {
    if (!SetReadOnly(tests, false))
        Fail("folder of the tests' folders stays read-only");
    change();
    if (!SetReadOnly(tests, true))
        Fail("folder of the tests' folders stays writable");
}

} // namespace

bool Confined() { return State().active; }

std::string WhyUnconfined() {
    const Confinement& c = State();
    if (c.active)
        return "";
    if (geteuid() != 0)
        return "not root";
    return c.why;
}

std::string MakeTestFolder() {
    const Confinement& c = State();
    std::error_code ec;
    const std::string parent = c.active ? c.tests : fs::temp_directory_path(ec).string();
    std::string tmpl = parent + "/kutest-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    bool made = false;
    if (c.active)
        InTestsFolder(c.tests, [&] { made = mkdtemp(buf.data()) != nullptr; });
    else
        made = mkdtemp(buf.data()) != nullptr;
    if (!made)
        Fail("no test folder");
    if (c.active && !MountTmpfs(buf.data(), "mode=0700"))
        Fail("no tmpfs for the test folder");
    return buf.data();
}

void DropTestFolder(const std::string& path) {
    const Confinement& c = State();
    if (!c.active) {
        std::error_code ec;
        fs::remove_all(path, ec);
        return;
    }
    // All it holds goes with its file system, mounts made in it included.
    if (umount2(path.c_str(), MNT_DETACH) == 0)
        InTestsFolder(c.tests, [&] { rmdir(path.c_str()); });
}

TestMount::TestMount(const std::string& at, const std::string& from) {
    std::error_code ec;
    path_ = fs::absolute(at, ec).string();
    if (!Confined() || ec)
        return;
    ok_ =
        from.empty() ? MountTmpfs(path_, nullptr) : mount(from.c_str(), path_.c_str(), nullptr, MS_BIND, nullptr) == 0;
}

TestMount::~TestMount() {
    if (ok_)
        umount2(path_.c_str(), MNT_DETACH);
}

WritableBuildFolder::WritableBuildFolder() {
    if (!State().build.empty())
        SetReadOnly(State().build, false);
}

WritableBuildFolder::~WritableBuildFolder() {
    if (!State().build.empty())
        SetReadOnly(State().build, true);
}

} // namespace kutest
