#pragma once
#include <string>

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
