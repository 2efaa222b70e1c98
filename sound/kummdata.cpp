#include "sound/kummdata.h"

#include <cstring>

#include "platform/mci_media.h"

KUMMDATA::KUMMDATA() : szPath{}, nMCIType(KUMM_TYPE_UNSET), nState(KUMM_STATE_STOP), bOpen(0), pDevice(nullptr) {}

KUMMDATA::~KUMMDATA() { Clear(); }

bool KUMMDATA::SetData(const char* path, int type) {
    if (!path || std::strlen(path) >= sizeof(szPath))
        return false;
    nMCIType = type;
    std::memset(szPath, 0, sizeof(szPath));
    std::memcpy(szPath, path, std::strlen(path));
    return true;
}

void KUMMDATA::Reset() {
    delete pDevice;
    pDevice = nullptr;
    nMCIType = KUMM_TYPE_UNSET;
    nState = KUMM_STATE_STOP;
    bOpen = 0;
    std::memset(szPath, 0, sizeof(szPath));
}

void KUMMDATA::Clear() { Reset(); }
