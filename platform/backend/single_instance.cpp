#include "platform/single_instance.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace plat {

namespace {

constexpr char kRaise[] = "raise";
// Callers that connect and stay silent are dropped after this many polls
// (a few seconds of frames); only a few are kept at once.
constexpr int kMaxTurns = 300;
constexpr size_t kMaxCallers = 8;
// Abstract names tried in turn when another user holds the first ones.
constexpr int kAbstractTries = 8;

// The user id of the process at the other end of a connected socket.
bool PeerIsThisUser(int fd) {
    ucred cred;
    socklen_t len = sizeof(cred);
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || len != sizeof(cred))
        return false;
    return cred.uid == geteuid();
}

// A folder only this user can enter: then nobody else can take the lock
// or listen in its place.
bool IsPrivateFolder(const char* dir) {
    if (!dir || dir[0] != '/')
        return false;
    struct stat st;
    if (lstat(dir, &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    return st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

socklen_t MakeAbstractAddress(const std::string& name, int index, sockaddr_un* addr) {
    memset(addr, 0, sizeof(*addr));
    addr->sun_family = AF_UNIX;
    char suffix[40];
    if (index == 0)
        snprintf(suffix, sizeof(suffix), ".%u", static_cast<unsigned>(geteuid()));
    else
        snprintf(suffix, sizeof(suffix), ".%u.%d", static_cast<unsigned>(geteuid()), index);
    // Leading NUL: abstract namespace. The name is cut, never the user id.
    const size_t room = sizeof(addr->sun_path) - 1;
    const size_t suffixLen = strlen(suffix);
    const size_t n = std::min(name.size(), room - suffixLen);
    memcpy(addr->sun_path + 1, name.data(), n);
    memcpy(addr->sun_path + 1 + n, suffix, suffixLen);
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n + suffixLen);
}

int NewSocket() { return socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0); }

// Sends the raise request over a connected socket and closes it.
void SendRaise(int c) {
    ssize_t sent = send(c, kRaise, sizeof(kRaise) - 1, MSG_NOSIGNAL);
    (void)sent;
    close(c);
}

} // namespace

SingleInstance::~SingleInstance() { Release(); }

SingleInstance::Result SingleInstance::Acquire(const std::string& name) {
    Release();
    const char* runtime = getenv("XDG_RUNTIME_DIR");
    if (IsPrivateFolder(runtime) && name.find('/') == std::string::npos &&
        strlen(runtime) + 1 + name.size() + 5 < sizeof(sockaddr_un{}.sun_path))
        return AcquireInFolder(runtime, name);
    return AcquireAbstract(name);
}

SingleInstance::Result SingleInstance::AcquireInFolder(const std::string& folder, const std::string& name) {
    const std::string base = folder + "/" + name;
    int lock = open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lock < 0)
        return kFailed;
    sockaddr_un addr;
    memset(&addr, 0, sizeof(addr));
    addr.sun_family = AF_UNIX;
    const std::string path = base + ".sock";
    memcpy(addr.sun_path, path.c_str(), path.size()); // fits: checked by the caller
    const socklen_t len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);

    if (flock(lock, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        close(lock);
        if (err != EWOULDBLOCK)
            return kFailed;
        // Held by a running start: ask it to come forward. Never wait for it
        // (an owner inside a dialog accepts nobody); a lost request is fine.
        int c = NewSocket();
        if (c >= 0) {
            if (connect(c, reinterpret_cast<sockaddr*>(&addr), len) == 0 && PeerIsThisUser(c))
                SendRaise(c);
            else
                close(c);
        }
        return kAlreadyRunning;
    }
    // The lock is ours: a socket file left by a copy that died is stale.
    unlink(path.c_str());
    int fd = NewSocket();
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || listen(fd, SOMAXCONN) != 0) {
        if (fd >= 0)
            close(fd);
        close(lock);
        return kFailed;
    }
    fd_ = fd;
    lockFd_ = lock;
    socketPath_ = path;
    return kOwner;
}

SingleInstance::Result SingleInstance::AcquireAbstract(const std::string& name) {
    for (int index = 0; index < kAbstractTries; ++index) {
        sockaddr_un addr;
        socklen_t len = MakeAbstractAddress(name, index, &addr);
        int fd = NewSocket();
        if (fd < 0)
            return kFailed;
        if (bind(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0) {
            // A backlog deep enough that starts made while this one accepts
            // nobody never find it full (a full one would look like a
            // stranger's).
            if (listen(fd, SOMAXCONN) != 0) {
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
        // Taken: by a start of this user, or by anyone else squatting it.
        int c = NewSocket();
        if (c < 0)
            return kFailed;
        if (connect(c, reinterpret_cast<sockaddr*>(&addr), len) == 0 && PeerIsThisUser(c)) {
            SendRaise(c);
            return kAlreadyRunning;
        }
        close(c);
    }
    return kFailed;
}

bool SingleInstance::PollRaiseRequest() {
    if (fd_ < 0)
        return false;
    // Asked every frame: a zero-timeout poll is far cheaper than an accept
    // that finds nobody (the kernel makes and drops a socket for that).
    pollfd listening{fd_, POLLIN, 0};
    const bool pending = poll(&listening, 1, 0) > 0 && (listening.revents & POLLIN) != 0;
    while (pending) {
        int c = accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (c < 0)
            break;
        if (!PeerIsThisUser(c)) {
            close(c); // another user's caller
            continue;
        }
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
    // The socket file goes while the lock is still held, so that it never
    // removes the next owner's.
    if (!socketPath_.empty())
        unlink(socketPath_.c_str());
    socketPath_.clear();
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
    if (lockFd_ >= 0)
        close(lockFd_);
    lockFd_ = -1;
}

} // namespace plat
