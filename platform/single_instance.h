#pragma once
#include <string>
#include <vector>

namespace plat {

// One running copy per name: the first start binds a local socket named
// after the instance name (Linux abstract namespace, so the kernel releases
// it when the process dies: no stale lock). A later start finds it taken,
// asks the first to restore and raise its window, and leaves.
class SingleInstance {
public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    enum Result { kOwner, kAlreadyRunning, kFailed };
    // kOwner: this process holds the name. kAlreadyRunning: another holds it
    // and has been sent the raise request. kFailed: no socket could be made.
    Result Acquire(const std::string& name);
    // Owner side, once a loop turn: true when a raise request came in. Never
    // waits: a caller that has connected but not yet written is read again at
    // a later turn.
    bool PollRaiseRequest();
    void Release();
    bool owner() const { return fd_ >= 0; }

private:
    struct Caller {
        int fd;
        int turns; // polls it has been waited for
    };
    int fd_ = -1;
    std::vector<Caller> callers_;
};

} // namespace plat
