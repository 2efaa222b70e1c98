#pragma once

namespace plat {
class MciMedia;
}

// MCI types of a media slot.
enum {
    KUMM_TYPE_MPEG = 0,
    KUMM_TYPE_MPEG2 = 1,
    KUMM_TYPE_WAVE = 2,
    KUMM_TYPE_AVI = 3,
    KUMM_TYPE_UNSET = 4,
};

// Play states of a media slot.
enum { KUMM_STATE_PLAY = 0, KUMM_STATE_STOP = 1, KUMM_STATE_PAUSE = 2 };

// One media slot: a file bound with its MCI type, and while open the device
// that plays it.
class KUMMDATA {
public:
    static constexpr int kPathSize = 260;

    KUMMDATA();
    ~KUMMDATA();
    KUMMDATA(const KUMMDATA&) = delete;
    KUMMDATA& operator=(const KUMMDATA&) = delete;

    // Stores the type and the path; false (nothing stored) for a null path or
    // one that does not fit the buffer.
    bool SetData(const char* path, int type);
    void Reset();
    void Clear();

    char szPath[kPathSize];
    int nMCIType;
    int nState;
    int bOpen;
    plat::MciMedia* pDevice;
};
