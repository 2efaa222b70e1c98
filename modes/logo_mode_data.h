#pragma once
#include <cstdint>

class KUSYSTEM;
class KUSPRITE2;
class KUSND;

// The logo: fades in from under the fade picture (1000 ms), stays (5000 ms)
// and fades out again (1000 ms); a click, Enter or Ctrl cuts the current
// step short.
class LOGO_MODE_DATA {
public:
    static constexpr int kSlotFade = 0;
    static constexpr int kSlotLogo = 1;

    LOGO_MODE_DATA();
    ~LOGO_MODE_DATA();
    LOGO_MODE_DATA(const LOGO_MODE_DATA&) = delete;
    LOGO_MODE_DATA& operator=(const LOGO_MODE_DATA&) = delete;

    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd);
    void Release();
    int LogoModeDataLoad();
    int LogoModeDataUnload();
    // Result of MainProc once the screen is over.
    static constexpr int kResultDone = 1;
    // -1 not initialised, 0 running, 1 over (kModeFailed, kModeRunning, kResultDone).
    int MainProc();
    int DrawProc();

    int m_bInit;
    KUSYSTEM* m_pKUSys;
    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    int m_nPhase;
    uint32_t m_dwPhaseStart;
    float m_fFade;
};
