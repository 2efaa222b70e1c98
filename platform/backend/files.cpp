#include "platform/files.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/sjis.h"
#include "platform/files_test_hooks.h"

namespace plat {

namespace {

UnlinkHook g_unlinkHook = nullptr;

bool IsCaseFoldedArea(const std::string& path) {
    auto starts = [&](const char* p) { return SjisEqualNoCase(std::string_view(path).substr(0, 4), p); };
    return path.size() > 4 && (starts("dat/") || starts("tmp/") || starts("dat\\") || starts("tmp\\"));
}

} // namespace

std::string ResolvePath(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 || !IsCaseFoldedArea(path))
        return path;
    size_t slash = SjisFindLastOf(path, "/");
    std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
    std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
    if (slash != std::string::npos && dir.size() > 3)
        dir = ResolvePath(dir);
    DIR* d = opendir(dir.c_str());
    if (!d)
        return path;
    std::string result = path;
    while (dirent* e = readdir(d)) {
        if (SjisEqualNoCase(e->d_name, leaf)) {
            result = (slash == std::string::npos ? std::string() : dir + "/") + e->d_name;
            break;
        }
    }
    closedir(d);
    return result;
}

FileInfo StatFile(const std::string& path) {
    FileInfo info;
    struct stat st {};
    if (stat(ResolvePath(path).c_str(), &st) == 0) {
        info.exists = true;
        info.isDirectory = S_ISDIR(st.st_mode);
        info.size = static_cast<uint64_t>(st.st_size);
    }
    return info;
}

bool FileExists(const std::string& path) { return StatFile(path).exists; }

int UnlinkFile(const std::string& path) {
    if (g_unlinkHook) {
        int err = g_unlinkHook(path);
        if (err != 0)
            return err;
    }
    return unlink(ResolvePath(path).c_str()) == 0 ? 0 : errno;
}

int MakeDir(const std::string& path) { return mkdir(path.c_str(), 0755) == 0 ? 0 : errno; }

int RemoveDir(const std::string& path) { return rmdir(ResolvePath(path).c_str()) == 0 ? 0 : errno; }

int RenameFile(const std::string& from, const std::string& to) {
    return rename(ResolvePath(from).c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool ListDir(const std::string& path, std::vector<DirEntry>* out) {
    out->clear();
    std::string dir = ResolvePath(path);
    DIR* d = opendir(dir.c_str());
    if (!d)
        return false;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        DirEntry entry;
        entry.name = name;
        struct stat st {};
        std::string full = dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
        // lstat: a link to a folder is removed as a file, never followed.
        entry.isDirectory = lstat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        out->push_back(entry);
    }
    closedir(d);
    return true;
}

FILE* OpenFile(const std::string& path, const char* mode) { return fopen(ResolvePath(path).c_str(), mode); }

bool WriteFileAtomic(const std::string& path, const std::string& bytes) {
    // The temporary file is made fresh: a stale entry of its name (a link
    // planted there, say) is removed, and the create neither follows a link
    // nor reuses a file that appears meanwhile.
    std::string tmp = path + ".tmp";
    if (unlink(tmp.c_str()) != 0 && errno != ENOENT)
        return false;
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = true;
    size_t done = 0;
    while (ok && done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            ok = false;
    }
    ok = (close(fd) == 0) && ok;
    if (ok)
        ok = rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok)
        unlink(tmp.c_str());
    return ok;
}

bool ReadRegularFile(const std::string& path, uint64_t maxSize, std::string* out) {
    out->clear();
    // Non-blocking, so that a FIFO in the file's place cannot stall the open.
    int fd = open(ResolvePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) <= maxSize;
    if (ok) {
        out->resize(static_cast<size_t>(st.st_size));
        size_t done = 0;
        while (ok && done < out->size()) {
            ssize_t n = read(fd, &(*out)[done], out->size() - done);
            if (n > 0)
                done += static_cast<size_t>(n);
            else if (n < 0 && errno == EINTR)
                continue;
            else
                ok = n == 0; // shrunk while being read
        }
        out->resize(done);
    }
    close(fd);
    if (!ok)
        out->clear();
    return ok;
}

bool ReadWholeFile(const std::string& path, std::string* out) {
    out->clear();
    FILE* f = OpenFile(path, "rb");
    if (!f)
        return false;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        out->append(buf, n);
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}

void SetUnlinkHook(UnlinkHook hook) { g_unlinkHook = hook; }

bool GetCurrentDir(char* out, size_t size) { return getcwd(out, size) != nullptr; }

} // namespace plat
