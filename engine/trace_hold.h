#pragma once
#include <algorithm>
#include <string>
#include <string_view>

#include "engine/kusystem.h"

// Holds what the system object traces while it lives (see
// KUSYSTEM::HoldTrace) and puts the previous hold back when it ends, on
// every way out of the step it covers.
class TraceHold {
public:
    TraceHold(KUSYSTEM* sys, std::string* into) : sys_(sys), before_(sys ? sys->HeldTrace() : nullptr) {
        if (sys_)
            sys_->HoldTrace(into);
    }
    ~TraceHold() {
        if (sys_)
            sys_->HoldTrace(before_);
    }
    TraceHold(const TraceHold&) = delete;
    TraceHold& operator=(const TraceHold&) = delete;

private:
    KUSYSTEM* sys_;
    std::string* before_;
};

// Calls fn with each line of held text, in the order said (each line as
// traced, ended by '\0' in the hold).
template <class Fn>
void ForEachHeldLine(std::string_view held, Fn fn) {
    for (size_t at = 0; at < held.size();) {
        const size_t end = std::min(held.find('\0', at), held.size());
        fn(held.substr(at, end - at));
        at = end + 1;
    }
}
