#pragma once
#include <string>
#include <vector>

namespace plat {

// One running copy per user and name. A later start of the same user finds
// the first, asks it to restore and raise its window, and leaves.
//
// In the user's private runtime folder ($XDG_RUNTIME_DIR, a 0700 folder the
// user owns) the lock is a file lock and the raise channel a socket beside
// it; the kernel drops the lock when the process dies. Without that folder
// the name is a Linux abstract socket that carries the user id; since any
// user may bind an abstract name, a listener or caller of another user is
// ignored (peer credentials), and a name another user took is passed over
// for the next of a few numbered ones.
class SingleInstance {
public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    enum Result { kOwner, kAlreadyRunning, kFailed };
    // kOwner: this process holds the name. kAlreadyRunning: another start of
    // this user holds it and has been sent the raise request. kFailed: no
    // lock could be made (the caller may play on without one).
    Result Acquire(const std::string& name);
    // Owner side, once a loop turn: true when a raise request of this user
    // came in. Never waits: a caller that has connected but not yet written
    // is read again at a later turn.
    bool PollRaiseRequest();
    void Release();
    bool owner() const { return fd_ >= 0; }

private:
    struct Caller {
        int fd;
        int turns; // polls it has been waited for
    };
    Result AcquireInFolder(const std::string& folder, const std::string& name);
    Result AcquireAbstract(const std::string& name);
    int fd_ = -1;
    int lockFd_ = -1;
    std::string socketPath_; // the socket file to remove at release
    std::vector<Caller> callers_;
};

} // namespace plat
