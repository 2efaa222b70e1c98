#include "platform/single_instance.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace plat {

namespace {

constexpr char kRaise[] = "raise";

socklen_t MakeAddress(const std::string& name, sockaddr_un* addr) {
    memset(addr, 0, sizeof(*addr));
    addr->sun_family = AF_UNIX;
    // Leading NUL: abstract namespace. The name is cut to what fits.
    size_t n = std::min(name.size(), sizeof(addr->sun_path) - 1);
    memcpy(addr->sun_path + 1, name.data(), n);
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
}

}  // namespace

SingleInstance::~SingleInstance() { Release(); }

SingleInstance::Result SingleInstance::Acquire(const std::string& name) {
    Release();
    sockaddr_un addr;
    socklen_t len = MakeAddress(name, &addr);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return kFailed;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0) {
        if (listen(fd, 4) != 0) {
            close(fd);
            return kFailed;
        }
        fd_ = fd;
        return kOwner;
    }
    int err = errno;
    close(fd);
    if (err != EADDRINUSE) return kFailed;

    // Someone holds the name: ask it to come forward.
    int c = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (c >= 0) {
        if (connect(c, reinterpret_cast<sockaddr*>(&addr), len) == 0) {
            ssize_t sent = send(c, kRaise, sizeof(kRaise) - 1, MSG_NOSIGNAL);
            (void)sent;
        }
        close(c);
    }
    return kAlreadyRunning;
}

bool SingleInstance::PollRaiseRequest() {
    if (fd_ < 0) return false;
    bool raise = false;
    for (;;) {
        int c = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0) break;
        // The request is one short word; wait briefly for it since the
        // sender writes right after connecting.
        char buf[16] = {};
        struct timeval tv = {0, 200000};
        setsockopt(c, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
        ssize_t n = recv(c, buf, sizeof(buf) - 1, 0);
        if (n == static_cast<ssize_t>(sizeof(kRaise) - 1) && memcmp(buf, kRaise, sizeof(kRaise) - 1) == 0) raise = true;
        close(c);
    }
    return raise;
}

void SingleInstance::Release() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

}  // namespace plat
