#pragma once
#include <cstdint>

#include "platform/cd_device.h"

namespace plat {

// A scripted disc in a scripted drive for tests. While one is installed,
// CdDevice::Open uses it instead of the system's drive. Position moves only
// when the test says so.
struct FakeCdDisc {
    bool noDrive = false; // opening finds no drive at all
    bool present = true;
    bool doorOpen = false;
    CdToc toc;
    CdMode mode = CdMode::kStopped;
    uint32_t position = 0;
    uint32_t lastPlayFrom = 0;
    int opens = 0;
    // The next call of this name fails ("toc", "status", "play", "stop",
    // "pause", "resume", "door", "media"); empty for none.
    const char* failNext = "";
};

// Null removes it. Not owned; it must outlive every device opened on it.
void CdUseFakeDisc(FakeCdDisc* disc);

} // namespace plat
