#pragma once
#include <cstdint>

#include "engine/kugraphic2.h"

class KUSPRITE2;
class KUSYSTEM;

// A block of text drawn in a screen rectangle with a one-pixel drop shadow,
// rendered once into a texture-text slot and drawn from it every frame, in
// full or revealed character by character. Scripts, the message window and
// the choice windows own them; the script handlers set the public fields.
class TEXTAREA_DATA {
public:
    static constexpr int kIDSize = 100;
    static constexpr int kTextSize = 512;
    static constexpr uint32_t kDefaultColor = 0xFF000000;
    static constexpr uint32_t kDefaultShadowColor = 0xFF7F7F7F;
    static constexpr uint32_t kRevealStyle = 4;

    TEXTAREA_DATA();
    ~TEXTAREA_DATA();
    TEXTAREA_DATA(const TEXTAREA_DATA&) = delete;
    TEXTAREA_DATA& operator=(const TEXTAREA_DATA&) = delete;

    // Clears, then takes the engine pointers and the ID. 1 done, 0 refused.
    int Initialize(KUSPRITE2* sprite, KUSYSTEM* sys, const char* id);
    // Stores the slot, text and font; renders at once when loadFlag is 1
    // (a failed render is logged, the call still succeeds). Text longer than
    // the field is cut at a whole character.
    int SetFontData(int32_t slot, const char* text, int32_t fontHeight, int32_t weight, uint32_t antiAlias,
                    uint32_t pitchAndFamily, uint32_t style, uint32_t loadFlag);
    // Copies each value whose pointer is given. 1, or 0 when not initialised.
    int SetDrawData(const int32_t* priority, const KURECT* area, const uint32_t* color, const uint32_t* shadowColor,
                    const uint32_t* shown);
    int LoadTextData();
    // Releases the slot's textures; the slot number stays. Always 1.
    int UnloadTextData();
    void Clear();
    // Reveals the text over game time from start: 1 once all is shown, 0
    // while typing, -1 when not initialised.
    int StringScroll(uint32_t start, uint32_t msPerChar);
    // Adventure-screen form: shadow in the shadow colour, no spacing.
    int DrawProc();
    // Window form: moved by the offsets (whole pixels) and faded by the
    // factor, grey shadow, the given spacing. Null pointers take 0, 0, 1.
    int DrawProc(const float* xOffset, const float* yOffset, const float* alphaFactor, int32_t charSpacing,
                 int32_t lineSpacing);

    uint32_t m_bInit;
    uint32_t m_bFontSet;
    KUSPRITE2* m_pKUSprite;
    KUSYSTEM* m_pKUSys;
    char m_szID[kIDSize];
    char m_szText[kTextSize];
    int32_t m_nSlot;
    uint32_t m_bShow;
    KURECT m_rcArea;
    float m_fAlpha; // alpha factor of both colours
    float m_fDispNum; // characters revealed; negative shows all
    int32_t m_nFontSize;
    int32_t m_nWeight;
    uint32_t m_dwAntiAlias;
    uint32_t m_dwPitchAndFamily;
    uint32_t m_dwStyle;
    int32_t m_nPriority;
    uint32_t m_bLoad;
    uint32_t m_dwColor; // 0xAARRGGBB
    uint32_t m_dwShadowColor;

private:
    void ErrorPrint(const char* text);
    bool Ready(const char* method);
    int DrawPair(const KURECT& area, uint32_t shadowColor, uint32_t color, int32_t charSpacing, int32_t lineSpacing,
                 const char* method);
};
