#pragma once
#include <cstdint>

#include "engine/kugraphic2.h"
#include "scene/message_data.h"
#include "scene/textarea_data.h"

class KUSYSTEM;
class KUSPRITE2;
class KUSND;
#include "scene/adv_window_state.h"

// The text box: a framed picture over a translucent back panel, the
// speaker's name and the message typed out character by character, a
// blinking wait icon once the text is complete, and the last 60 messages
// for the controller bar to page through (a voiced entry replays its voice
// when the window is clicked). The menu modes use it as a dialog box.
class MESSAGE_WINDOW {
public:
    static constexpr int kHistoryCount = 60;
    static constexpr int kNameTextSlot = 0;
    static constexpr int kMessageTextSlot = 1;
    static constexpr int kSeCursorOn = 3;
    static constexpr int kSePush = 4;
    static constexpr uint32_t kColorCurrent = 0xFF000000u;
    static constexpr uint32_t kColorHistory = 0xFF7F7F7Fu;
    static constexpr uint32_t kColorVoiceHover = 0xFF3F3FFFu;

    MESSAGE_WINDOW();
    ~MESSAGE_WINDOW();
    MESSAGE_WINDOW(const MESSAGE_WINDOW&) = delete;
    MESSAGE_WINDOW& operator=(const MESSAGE_WINDOW&) = delete;

    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, int slot, KURECT hit, KURECT windowSrc, float x,
                   float y, KURECT backSrc, float backX, float backY, float backFactor, KURECT iconSrc, float iconX,
                   float iconY, float iconAlpha);
    void Clear();
    // Makes the message the current one and builds its name and text areas;
    // nothing of either shows until the caller sets their characters shown.
    int SetText(const MESSAGE_DATA* msg, uint32_t antiAlias);
    // Appends a copy to the history; when full the oldest entry goes.
    int SetHistoryBuf(const MESSAGE_DATA* msg);
    // Types the text: (now - start) / speed characters; speed -1 keeps the
    // window's speed, any other becomes the setting too (0 counts as 1).
    int CountMessageDispNum(uint32_t start, uint32_t now, int speed);
    int DispWindow();
    int HideWindow();
    // Fades over duration ms from start: 1 complete, 0 running, -1 not
    // initialised. A duration of 0 completes at once.
    int AppearWindow(uint32_t start, uint32_t duration);
    int DisappearWindow(uint32_t start, uint32_t duration);
    int DrawProc();
    // Hover colours, voice replay of a voiced history entry and the wait
    // icon's blink; *taken is 1 when this frame's click replayed a voice.
    int MainProc(int* taken, ADV_WINDOW_STATE* adv);

    // The highest history index with text, searching down to 1 (0 when only
    // entry 0 or none has text).
    int NewestHistoryIndex() const;
    // Both areas' text colour and characters shown, as the history buttons set them.
    void SetTextLook(uint32_t colour, float shown);

    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    KUSYSTEM* m_pKUSys;
    uint32_t m_bInit;
    uint32_t m_bVisible;
    int m_nSlot;
    KURECT m_rcHit;
    float m_fX, m_fY;
    float m_fAlpha;
    KURECT m_rcWindow;
    float m_fBackX, m_fBackY;
    float m_fBackFactor;
    KURECT m_rcBack;
    float m_fIconX, m_fIconY;
    float m_fIconAlpha;
    uint32_t m_bIconRising;
    KURECT m_rcIcon;
    MESSAGE_DATA m_History[kHistoryCount];
    MESSAGE_DATA m_Current;
    int m_nHistoryCursor;
    uint32_t m_dwMessageSpeed;
    TEXTAREA_DATA m_NameArea;
    TEXTAREA_DATA m_TextArea;
    KURECT m_rcName, m_rcText;
    uint32_t m_bVoiceHover;

private:
    void Log(const char* op, const char* text) const;
    // The history entry shown, or null while the current message is.
    const MESSAGE_DATA* ShownEntry() const;
    void SetColors(uint32_t colour);
};
