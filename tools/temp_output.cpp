#include "tools/temp_output.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"

namespace {

// Names tried for a temporary file before giving up.
constexpr int kTempNames = 100;

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
// followed).
bool ThroughTemp(const std::string& path, const std::function<bool(int fd, const std::string& tmp)>& write,
                 std::string* error) {
    std::string tmp;
    const int fd = MakeTemp(path, &tmp, error);
    if (fd < 0)
        return false;
    const bool whole = write(fd, tmp);
    if (whole && rename(tmp.c_str(), path.c_str()) == 0)
        return true;
    if (whole)
        *error = "cannot rename " + tmp + " to " + path;
    unlink(tmp.c_str());
    return false;
}

} // namespace

bool PathTaken(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 || plat::ResolvePath(path) != path;
}

std::string CheckInputOutput(const std::string& input, const std::string& output) {
    struct stat in {};
    struct stat out {};
    const bool one = input == output || (stat(plat::ResolvePath(input).c_str(), &in) == 0 &&
                                         lstat(plat::ResolvePath(output).c_str(), &out) == 0 &&
                                         in.st_dev == out.st_dev && in.st_ino == out.st_ino);
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
