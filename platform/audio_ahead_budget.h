#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

namespace plat {

// The memory that media decoded ahead into memory may hold, one budget shared
// by every open media. A media asks for its share before it decodes; when the
// rest does not fit, media whose readers are done with their memory give
// theirs back, the least recently used first; a media that still finds no
// room streams from its file instead.
class AudioAheadBudget {
public:
    // What holds a share. Its calls come with the budget's lock held.
    class Holder {
    public:
        // 0 while its reader may still read the memory; else a stamp that
        // grows with the time its reader last used it (lowest: longest idle).
        virtual uint64_t IdleSince() = 0;
        // Drops the memory if it is still idle; true when it did.
        virtual bool GiveBack() = 0;

    protected:
        ~Holder() = default;
    };

    explicit AudioAheadBudget(int64_t limitBytes) : limit_(limitBytes) {}
    AudioAheadBudget(const AudioAheadBudget&) = delete;
    AudioAheadBudget& operator=(const AudioAheadBudget&) = delete;

    // Grants holder a share of bytes, taking shares back from idle holders
    // when needed. False, with nothing taken back, when it cannot fit.
    bool Reserve(Holder* holder, int64_t bytes);
    // The holder's share is free again (nothing when it has none).
    void Release(Holder* holder);

    int64_t HeldBytes();
    // Shares already granted stay until they are released.
    void SetLimit(int64_t bytes);

private:
    struct Share {
        Holder* holder = nullptr;
        int64_t bytes = 0;
    };

    std::mutex mutex_;
    std::vector<Share> shares_;
    int64_t limit_;
    int64_t held_ = 0;
};

} // namespace plat
