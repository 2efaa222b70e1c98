#pragma once
#include <cstdint>

#include "platform/cd_device.h"

namespace plat {

// A scripted disc in a scripted drive for tests. While one is installed,
// CdDevice::Open uses it instead of the system's drive. The drive cannot read
// audio digitally, so it plays through its analog output; its position moves
// only when the test says so.
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

// A drive that answers the kernel's CD-ROM requests itself, to test the Linux
// backend without a drive. Ioctl gets what ioctl(2) would (the request and its
// argument pointer, or the integer argument cast to one) and returns a
// negative value to fail. Calls come from the main and the reader thread.
class CdDriveIoctl {
public:
    virtual ~CdDriveIoctl() = default;
    virtual int Ioctl(unsigned long request, void* arg) = 0;
};

// While set (and no fake disc is), the system drive opened is this one, for
// any drive name. Null removes it. Not owned.
void CdUseDriveIoctl(CdDriveIoctl* drive);

// Blocks until every CD reader thread has filled its ring, read to its end
// or given up, so that a manual pump right after finds all it can play.
void CdWaitForReaders();

} // namespace plat
