#include "sound/kusnd.h"

// What the release needs of the CD device, the media slots and the video
// window. None of them can be opened yet, so each finds nothing to close.

int KUSND::MCIClose() {
    // The track table goes first, whether or not the device is open.
    m_pCDTrack = nullptr;
    m_dwCDTrackNum = 0;
    if (!m_CD.open)
        return 1;
    m_CD.open = 0;
    m_CD.pause = 0;
    return 1;
}

int KUSND::MMClose(int) { return 1; }

void KUSND::MMDATARelease() {
    m_pMMData = nullptr;
    m_dwMMDataNum = 0;
    m_bMMDataReserve = 0;
}

void KUSND::AVIRelease() {
    m_hAVIWnd = nullptr;
    m_nAVILength = 0;
}
