#pragma once
#include <cstdint>
#include <memory>

#include "scene/select_window.h"

class KUSND;
class KUSPRITE2;
class KUSYSTEM;
class MESSAGE_DATA;

// The set of one or two choice windows: they fade in, the one under the
// pointer pulses and shows its text opaque, and after the caller's click the
// others fade out, the chosen one stays a moment and fades out last.
class SELECT_WINDOW_AGG {
public:
    static constexpr int32_t kSeCursorOn = 7;
    static constexpr int32_t kSePush = 8;
    static constexpr uint32_t kFadeOutTime = 250;
    static constexpr uint32_t kChosenHoldTime = 1500;
    static constexpr uint32_t kTextNormal = 0x7F000000;
    static constexpr uint32_t kShadowNormal = 0x7F7F7F7F;
    static constexpr uint32_t kTextHover = 0xFF000000;
    static constexpr uint32_t kShadowHover = 0xFF7F7F7F;

    SELECT_WINDOW_AGG();
    ~SELECT_WINDOW_AGG();
    SELECT_WINDOW_AGG(const SELECT_WINDOW_AGG&) = delete;
    SELECT_WINDOW_AGG& operator=(const SELECT_WINDOW_AGG&) = delete;

    // Loads the choice picture and sounds and makes count (1 or 2) windows.
    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, uint32_t count);
    // As Initialize, but a set that is up keeps the picture and sounds it
    // holds and only gets count new windows: it cannot lose them to a load
    // that fails. 1 or 0; on 0 the set is as it was.
    int Reopen(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, uint32_t count);
    void Clear();
    // Gives window index its text, centred and half-transparent. 1 or 0.
    int SetText(int32_t index, const MESSAGE_DATA* message, uint32_t antiAlias);
    // Fades window index (-1 all) in: 1 all shown, 0 running, -1 error.
    int AppearWindow(int32_t index, uint32_t start, uint32_t duration);
    // The closing sequence after a choice: 0 running, 1 done, -1 error.
    int DisappearWindow();
    // The window under the pointer (from 0) or -1.
    int HitCheck();
    // 1, or 0 on failure; a cleared set draws nothing and succeeds.
    int DrawProc();

    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    KUSYSTEM* m_pKUSys;
    uint32_t m_bInit;
    uint32_t m_bActive;
    uint32_t m_dwDisappearPhase; // 0..3
    uint32_t m_dwDisappearStart;
    uint32_t m_dwCount;
    std::unique_ptr<SELECT_WINDOW[]> m_pWindow;
    int32_t m_nSelect; // under the pointer; after the click the chosen one
    float m_fPulse;

private:
    // The checks of Initialize, logged under its tag.
    static bool ArgumentsValid(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, uint32_t count);
    void MakeWindows(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, uint32_t count);
    void ClearWindows();
    void SetColors(int32_t index, uint32_t text, uint32_t shadow);
    // Runs one window's fade-out; false after logging its failure.
    bool FadeOut(int32_t index, bool* done);
};
