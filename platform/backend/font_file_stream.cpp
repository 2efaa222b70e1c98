#include "platform/backend/font_file_stream.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

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

FontFileStream::~FontFileStream() {
    if (fd_ >= 0)
        close(fd_);
}

bool FontFileStream::Open(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || st.st_size <= 0) {
        close(fd);
        return false;
    }
    if (fd_ >= 0)
        close(fd_);
    fd_ = fd;
    stream_ = FT_StreamRec{};
    stream_.size = static_cast<unsigned long>(st.st_size);
    stream_.descriptor.value = fd;
    stream_.read = ReadAt;
    // No close callback: the descriptor is this object's.
    return true;
}

} // namespace plat
