#pragma once
#include <cstdint>

#include "engine/kugraphic2.h"
#include "scene/ctrl_wnd_obj.h"

class KUSYSTEM;
class KUSPRITE2;
class KUSND;
#include "scene/adv_window_state.h"
class MESSAGE_WINDOW;

// The adventure's bar of ten buttons beside the message window. Each frame
// it turns the pointer, the mouse button and a few keys into button looks
// and one action code; it pages the message window's history itself,
// switches auto-skip, hides and shows the windows and steps the volumes.
class CONTROLLER_WINDOW {
public:
    // Buttons in table order; the hover number is the index + 1.
    enum Button { kLoad, kSave, kConfig, kAutoSkip, kBack, kNext, kFF, kHide, kVolumeUp, kVolumeDown, kButtonCount };
    // Action codes of MainProc.
    enum Action {
        kActNone,
        kActLoad,
        kActSave,
        kActConfig,
        kActAutoSkip,
        kActBack,
        kActNext,
        kActFF,
        kActHide,
        kActVolumeUp,
        kActVolumeDown,
    };
    static constexpr int kSeCursorOn = 5;
    static constexpr int kSePush = 6;

    CONTROLLER_WINDOW();
    ~CONTROLLER_WINDOW();
    CONTROLLER_WINDOW(const CONTROLLER_WINDOW&) = delete;
    CONTROLLER_WINDOW& operator=(const CONTROLLER_WINDOW&) = delete;

    // A null message window is logged and the bar still starts: its history
    // buttons then stay disabled and refuse to act.
    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, MESSAGE_WINDOW* msgWnd, int slot, KURECT frameSrc,
                   float x, float y, KURECT backSrc, float backX, float backY, float backFactor);
    void Clear();
    // Copies ten ready buttons in, in table order.
    int SetButton(const CTRL_WND_OBJ* load, const CTRL_WND_OBJ* save, const CTRL_WND_OBJ* config,
                  const CTRL_WND_OBJ* autoSkip, const CTRL_WND_OBJ* back, const CTRL_WND_OBJ* next,
                  const CTRL_WND_OBJ* ff, const CTRL_WND_OBJ* hide, const CTRL_WND_OBJ* volumeUp,
                  const CTRL_WND_OBJ* volumeDown);
    int DispWindow();
    int HideWindow();
    int AppearWindow(uint32_t start, uint32_t duration);
    int DisappearWindow(uint32_t start, uint32_t duration);
    // The resting looks of the buttons.
    int SetDefaultButtonStatus();
    // Per button (table order, null: unchanged): 0 disables it, any other
    // value gives its resting look with load, save, config and hide enabled.
    int SetDefaultButtonStatus(const int* load, const int* save, const int* config, const int* autoSkip,
                               const int* back, const int* next, const int* ff, const int* hide, const int* volumeUp,
                               const int* volumeDown);
    // A scene replayed from the gallery has no save or load: both buttons
    // (and their keys) stay disabled from here on, whatever restores the bar.
    void DisableSaveLoad();
    // History paging: 1, 0 when there is no message window or it refused
    // the text, -1 when not initialised.
    int BackButtonProc();
    int NextButtonProc();
    int FFButtonProc();
    int DrawProc();
    int MainProc(int* action, ADV_WINDOW_STATE* adv);
    // The player hid the windows and the bar waits for the click, Enter or
    // Space that brings them back: this frame's click is its, and no other.
    bool WaitsToShowWindows(const ADV_WINDOW_STATE* adv) const;
    // Back from a screen whose own button lay over the bar: the pointer left
    // there points at no button of the bar until it moves, so a click or
    // Enter there reads on. The pointer itself is never moved.
    void IgnoreRestingPointer();

    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    KUSYSTEM* m_pKUSys;
    MESSAGE_WINDOW* m_pMsgWnd;
    uint32_t m_bInit;
    uint32_t m_bVisible;
    uint32_t m_bSkipHold;
    CTRL_WND_OBJ m_Button[kButtonCount];
    uint32_t m_dwBackPress, m_dwNextPress;
    uint32_t m_dwBackStep, m_dwNextStep;
    float m_fX, m_fY;
    float m_fBackX, m_fBackY;
    float m_fAlpha;
    float m_fBackFactor;
    int m_nSlot;
    KURECT m_rcFrame, m_rcBack;
    int m_nHover; // the button under the pointer, disabled or not (index + 1); 0 none
    uint32_t m_bAutoSkip;
    uint32_t m_dwAutoSkipSpeed;
    uint32_t m_bSkipOneClick;
    uint32_t m_bSaveLoadOff;
    uint32_t m_bPointerRests; // IgnoreRestingPointer's pointer has not moved since
    int m_nRestX, m_nRestY;

private:
    void Log(const char* op, const char* text) const;
    int ClickState() const;
    int RestingLook(int button) const;
    // Whether a press or hold of BACK/NEXT makes a step this frame.
    bool PagingStep(uint32_t* press, uint32_t* step, uint32_t now, int click) const;
    int ShowEntry(const char* op, int cursor);
    void StepVolumes(int up);
    void KeyedButton(int button, int* hovered, int click, int* action, ADV_WINDOW_STATE* adv);
    void Perform(int button, int* action, ADV_WINDOW_STATE* adv, bool byKey, bool held);
    void ShowWindowsOnClick(ADV_WINDOW_STATE* adv);
    bool PointedButton(int button, bool over, int click, int* action);
    bool PointerOn(CTRL_WND_OBJ& button);
    void ForgetMovedPointer();
    void EndAutoSkipOnClick(int hovered, int click);
};
