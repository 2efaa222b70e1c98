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
// Callers that connect and stay silent are dropped after this many polls
// (a few seconds of frames); only a few are kept at once.
constexpr int kMaxTurns = 300;
constexpr size_t kMaxCallers = 8;

socklen_t MakeAddress(const std::string& name, sockaddr_un* addr) {
    memset(addr, 0, sizeof(*addr));
    addr->sun_family = AF_UNIX;
    // Leading NUL: abstract namespace. The name is cut to what fits.
    size_t n = std::min(name.size(), sizeof(addr->sun_path) - 1);
    memcpy(addr->sun_path + 1, name.data(), n);
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
}

} // namespace

SingleInstance::~SingleInstance() { Release(); }

SingleInstance::Result SingleInstance::Acquire(const std::string& name) {
    Release();
    sockaddr_un addr;
    socklen_t len = MakeAddress(name, &addr);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return kFailed;
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
    if (err != EADDRINUSE)
        return kFailed;

    // Someone holds the name: ask it to come forward. Never wait for it: an
    // owner busy starting up or inside a dialog accepts nobody, and once its
    // backlog is full a blocking connect would hang this start for good. A
    // full backlog already holds raise requests, so this one can be dropped.
    int c = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
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
    if (fd_ < 0)
        return false;
    for (;;) {
        int c = accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (c < 0)
            break;
        if (callers_.size() >= kMaxCallers) {
            close(callers_.front().fd);
            callers_.erase(callers_.begin());
        }
        callers_.push_back(Caller{c, 0});
    }
    bool raise = false;
    for (size_t i = 0; i < callers_.size();) {
        Caller& caller = callers_[i];
        char buf[16];
        ssize_t n = recv(caller.fd, buf, sizeof(buf), MSG_DONTWAIT);
        bool waiting = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && ++caller.turns < kMaxTurns;
        if (waiting) {
            ++i;
            continue;
        }
        if (n == static_cast<ssize_t>(sizeof(kRaise) - 1) && memcmp(buf, kRaise, sizeof(kRaise) - 1) == 0)
            raise = true;
        close(caller.fd);
        callers_.erase(callers_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return raise;
}

void SingleInstance::Release() {
    for (const Caller& caller : callers_)
        close(caller.fd);
    callers_.clear();
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
}

} // namespace plat
