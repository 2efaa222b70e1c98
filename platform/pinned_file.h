#pragma once
#include <string>

namespace plat {

// A file opened as OpenFile(path, "r") opens it (no link followed in the work
// folder), named for code that can only open by name: the FFmpeg module. Its
// name, "/proc/self/fd/N", reaches the very file opened here, whatever the
// path's folders turn into meanwhile. Held while the module opens its own
// copy; empty name when the file does not open.
class PinnedFile {
public:
    explicit PinnedFile(const std::string& path);
    ~PinnedFile();
    PinnedFile(const PinnedFile&) = delete;
    PinnedFile& operator=(const PinnedFile&) = delete;

    const std::string& name() const { return name_; }

private:
    int fd_ = -1;
    std::string name_;
};

} // namespace plat
