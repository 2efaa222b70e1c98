#pragma once
#include <cstdint>

#include "engine/kugraphic2.h"
#include "scene/graphic_data.h"
#include "scene/textarea_data.h"

class KUSND;
class KUSPRITE2;
class KUSYSTEM;

// One choice window: a frame over a translucent back, both cut from the
// choice picture, and a line of centred text. Window 1 sits above window 2.
class SELECT_WINDOW {
public:
    static constexpr uint32_t kGraphicSlot = 4;
    static constexpr float kBackAlpha = 0.8f;

    SELECT_WINDOW();
    ~SELECT_WINDOW();
    SELECT_WINDOW(const SELECT_WINDOW&) = delete;
    SELECT_WINDOW& operator=(const SELECT_WINDOW&) = delete;

    // number 1 or 2 picks the layout. 1 or 0.
    int Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, uint32_t number);
    void Clear();
    // Fades over the game clock from start: 1 done, 0 running, -1 not
    // initialised. A zero duration is done at once.
    int AppearWindow(uint32_t start, uint32_t duration);
    int DisappearWindow(uint32_t start, uint32_t duration);
    // Back, frame and text, moved by the offsets. 1 or 0.
    int DrawProc(float xOffset, float yOffset);
    // 1 while the pointer is inside the window (half-open), else 0.
    int HitCheck();
    // The frame's source rectangle in the choice picture.
    const KURECT& FrameSource() const { return m_rcFrameSrc; }

    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    KUSYSTEM* m_pKUSys;
    uint32_t m_bInit;
    KURECT m_rcHit; // relative to the frame's position
    uint32_t m_dwNumber; // 1 or 2; 0 when cleared
    GRAPHIC_DATA m_Frame; // its alpha is the window's
    GRAPHIC_DATA m_Back;
    TEXTAREA_DATA m_Text;

private:
    void ErrorPrint(const char* method, const char* text);
    int Fade(const char* method, uint32_t start, uint32_t duration, bool in);
    KURECT m_rcFrameSrc;
};
