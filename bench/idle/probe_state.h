#pragma once

#include <atomic>
#include <cstdint>

// Shared between the measured process (through the present probe) and the
// measuring driver: a small file both map.
struct ProbeState {
    std::atomic<uint64_t> firstPresentNs; // CLOCK_MONOTONIC of the first present, 0 before
    std::atomic<uint64_t> lastChangeNs; // last upload whose pixels differed from the one before
    std::atomic<uint64_t> presents;
    std::atomic<uint64_t> uploads;
    std::atomic<uint64_t> changes;
    char renderer[32];
};

static_assert(std::atomic<uint64_t>::is_always_lock_free, "the state is shared between processes");
