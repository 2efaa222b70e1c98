#include "platform/backend/font_file_stream.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

namespace plat {

struct FontFileStream::SharedFile {
    int fd = -1;
    unsigned long size = 0;
    ~SharedFile() {
        if (fd >= 0)
            close(fd);
    }
};

namespace {

// The files open now, by the path they were opened under. Never destroyed:
// faces held by other statics may close their streams during exit.
std::map<std::string, std::weak_ptr<FontFileStream::SharedFile>>& OpenFiles() {
    static auto* files = new std::map<std::string, std::weak_ptr<FontFileStream::SharedFile>>;
    return *files;
}

std::shared_ptr<FontFileStream::SharedFile> ShareFile(const std::string& path) {
    auto& files = OpenFiles();
    for (auto it = files.begin(); it != files.end();)
        it = it->second.expired() ? files.erase(it) : std::next(it);
    auto it = files.find(path);
    if (it != files.end())
        return it->second.lock();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    auto file = std::make_shared<FontFileStream::SharedFile>();
    file->fd = fd;
    struct stat st;
    if (fstat(fd, &st) != 0 || st.st_size <= 0)
        return nullptr;
    file->size = static_cast<unsigned long>(st.st_size);
    files[path] = file;
    return file;
}

// FreeType's read callback: a count of 0 is a seek (0 when allowed);
// otherwise the bytes read, fewer only at the end or on an error.
unsigned long ReadAt(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count) {
    if (count == 0)
        return offset > stream->size ? 1 : 0;
    const int fd = static_cast<int>(stream->descriptor.value);
    unsigned long done = 0;
    while (done < count) {
        const ssize_t n = pread(fd, buffer + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<unsigned long>(n);
    }
    return done;
}

} // namespace

FontFileStream::~FontFileStream() = default;

bool FontFileStream::Open(const std::string& path) {
    std::shared_ptr<SharedFile> file = ShareFile(path);
    if (!file)
        return false;
    file_ = std::move(file);
    // Each stream keeps its own place; only the descriptor is shared.
    stream_ = FT_StreamRec{};
    stream_.size = file_->size;
    stream_.descriptor.value = file_->fd;
    stream_.read = ReadAt;
    // No close callback: the descriptor is the shared file's.
    return true;
}

} // namespace plat
