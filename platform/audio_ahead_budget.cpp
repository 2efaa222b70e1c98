#include "platform/audio_ahead_budget.h"

#include <algorithm>
#include <utility>

namespace plat {

bool AudioAheadBudget::Reserve(Holder* holder, int64_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (bytes < 0 || bytes > limit_)
        return false;
    if (held_ + bytes > limit_) {
        // Idle shares, longest idle first; taken back only when they make room.
        std::vector<std::pair<uint64_t, size_t>> idle;
        int64_t freeable = 0;
        for (size_t i = 0; i < shares_.size(); ++i) {
            if (const uint64_t since = shares_[i].holder->IdleSince()) {
                idle.emplace_back(since, i);
                freeable += shares_[i].bytes;
            }
        }
        if (held_ - freeable + bytes > limit_)
            return false;
        std::sort(idle.begin(), idle.end());
        std::vector<size_t> gone;
        for (const auto& [since, i] : idle) {
            if (held_ + bytes <= limit_)
                break;
            if (shares_[i].holder->GiveBack()) {
                held_ -= shares_[i].bytes;
                gone.push_back(i);
            }
        }
        std::sort(gone.rbegin(), gone.rend());
        for (const size_t i : gone)
            shares_.erase(shares_.begin() + static_cast<std::ptrdiff_t>(i));
        // A holder that was read again meanwhile keeps its share.
        if (held_ + bytes > limit_)
            return false;
    }
    shares_.push_back(Share{holder, bytes});
    held_ += bytes;
    return true;
}

void AudioAheadBudget::Release(Holder* holder) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it =
        std::find_if(shares_.begin(), shares_.end(), [holder](const Share& s) { return s.holder == holder; });
    if (it == shares_.end())
        return;
    held_ -= it->bytes;
    shares_.erase(it);
}

int64_t AudioAheadBudget::HeldBytes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return held_;
}

void AudioAheadBudget::SetLimit(int64_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    limit_ = bytes;
}

} // namespace plat
