#pragma once

class KUSYSTEM;
class KUSPRITE2;
class KUSND;

// The demo movie: "dat/Mov.dat" on the movie channel over the whole window,
// with the cursor (and in full screen the menu) hidden until it ends or is
// clicked away.
class DEMO_MODE_DATA {
public:
    static constexpr int kMovieChannel = 2;

    DEMO_MODE_DATA();
    ~DEMO_MODE_DATA();
    DEMO_MODE_DATA(const DEMO_MODE_DATA&) = delete;
    DEMO_MODE_DATA& operator=(const DEMO_MODE_DATA&) = delete;

    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd);
    void Release();
    // Result of MainProc once the screen is over.
    static constexpr int kResultDone = 1;
    // -1 error, 0 playing, 1 over (kModeFailed, kModeRunning, kResultDone).
    int MainProc();
    int DrawProc();

    // Movie volume (hundredths of a decibel) for a music volume step.
    static int MovieVolume(unsigned step);

    int m_bInit;
    KUSYSTEM* m_pKUSys;
    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    int m_nPhase;

private:
    // Shows the cursor and the menu again and clears the movie flag.
    void RestoreScreen();
};
