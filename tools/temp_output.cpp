#include "tools/temp_output.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/files.h"

namespace {

// Names tried for a temporary file before giving up.
constexpr int kTempNames = 100;

// Why path cannot be replaced by a rename: an entry holding its name (in
// any spelling it takes) is no regular file. A link is not looked through:
// what it reaches may change with who opens it (/dev/stdout leads to the
// opener's own output), and replaced, a link to a device or FIFO breaks it
// for every program; a folder cannot be renamed over. Empty when it can.
std::string CheckReplaceable(const std::string& path) {
    for (const std::string& name : plat::NameSpellings(path)) {
        struct stat st {};
        if (lstat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
            return name + " is no regular file; it is left as it is";
    }
    return "";
}

// Once path is in place: removes its other spellings, the engine's read
// finding any of them. An entry that is path itself, on a file system that
// ignores case, stays. False, with *error set, when one could not go.
bool RemoveOtherSpellings(const std::string& path, std::string* error) {
    struct stat made {};
    if (lstat(path.c_str(), &made) != 0)
        return true;
    for (const std::string& name : plat::NameSpellings(path)) {
        struct stat st {};
        if (name == path || lstat(name.c_str(), &st) != 0 || (st.st_dev == made.st_dev && st.st_ino == made.st_ino))
            continue;
        if (unlink(name.c_str()) != 0 && errno != ENOENT) {
            *error = "cannot remove " + name;
            *error += ", another spelling of " + path;
            return false;
        }
    }
    return true;
}

// Makes a new empty file to hold path's content until it is whole: its
// descriptor, open for writing, and its name in *tmp; -1 when none could be
// made, with *error set.
int MakeTemp(const std::string& path, std::string* tmp, std::string* error) {
    for (int i = 0; i < kTempNames; ++i) {
        *tmp = path + ".tmp" + (i > 0 ? std::to_string(i) : "");
        // O_EXCL misses a name taken in another letter case, which the
        // engine's open for writing in dat/ and tmp/ would remove.
        if (PathTaken(*tmp))
            continue;
        const int fd = open(tmp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            break;
    }
    *error = "cannot create a temporary file beside " + path;
    return -1;
}

// Makes the temporary file for path, has write fill it (given it open, to
// close) and renames it over path when write reports it whole; else, or
// when the rename fails, removes it (a link in its place is removed, not
// followed). What cannot be replaced is refused before anything is made,
// and again before the rename, in case it took the name meanwhile.
bool ThroughTemp(const std::string& path, const std::function<bool(int fd, const std::string& tmp)>& write,
                 std::string* error) {
    std::string why = CheckReplaceable(path);
    if (!why.empty()) {
        *error = why;
        return false;
    }
    std::string tmp;
    const int fd = MakeTemp(path, &tmp, error);
    if (fd < 0)
        return false;
    if (write(fd, tmp)) {
        why = CheckReplaceable(path);
        if (why.empty() && rename(tmp.c_str(), path.c_str()) == 0)
            return RemoveOtherSpellings(path, error);
        *error = why.empty() ? "cannot rename " + tmp + " to " + path : why;
    }
    unlink(tmp.c_str());
    return false;
}

} // namespace

bool PathTaken(const std::string& path) { return !plat::NameSpellings(path).empty(); }

std::string CheckInputOutput(const std::string& input, const std::string& output) {
    struct stat in {};
    bool one = input == output;
    if (!one && stat(plat::ResolvePath(input).c_str(), &in) == 0) {
        for (const std::string& name : plat::NameSpellings(output)) {
            struct stat out {};
            one = one || (lstat(name.c_str(), &out) == 0 && in.st_dev == out.st_dev && in.st_ino == out.st_ino);
        }
    }
    return one ? input + " and " + output + " are one file" : "";
}

bool WriteThroughTemp(const std::string& path, const std::function<bool(const std::string& tmp)>& make,
                      std::string* error) {
    return ThroughTemp(
        path,
        [&](int fd, const std::string& tmp) {
            close(fd);
            return make(tmp);
        },
        error);
}

bool FillThroughTemp(const std::string& path, const std::function<bool(FILE* out)>& fill, std::string* error) {
    std::string why;
    const bool ok = ThroughTemp(
        path,
        [&](int fd, const std::string&) {
            FILE* out = fdopen(fd, "wb");
            if (!out) {
                close(fd);
                why = "cannot write " + path;
                return false;
            }
            bool whole = fill(out);
            // The close writes what is still buffered: its failure is a failed write too.
            whole = fclose(out) == 0 && whole;
            if (!whole)
                why = "cannot write " + path;
            return whole;
        },
        &why);
    if (!ok && error->empty())
        *error = why;
    return ok;
}

bool WriteFileThroughTemp(const std::string& path, const std::string& bytes, std::string* error) {
    return FillThroughTemp(
        path, [&](FILE* out) { return fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size(); }, error);
}
