#pragma once
#include <cstdint>
#include <memory>

#include "engine/kugraphic2.h"
#include "scene/animation_data.h"

class KUSPRITE2;
class KUSYSTEM;

// A picture that a script declares by ID and binds to an image file. It
// borrows one renderer graphic slot from the scripts' pool, binds its file
// there when loaded and unbinds it when unloaded. The script handlers and the
// adventure mode set the public fields (shown, position, alpha, ...).
class GRAPHIC_DATA {
public:
    static constexpr int kIDSize = 100;
    static constexpr int kFileSize = 260;
    // Pool numbers: n >= 1 is slot n + kPoolBase; -1 the first free slot of
    // kFirstPoolSlot..kLastPoolSlot.
    static constexpr int32_t kPoolBase = 25;
    static constexpr int32_t kFirstPoolSlot = 26;
    static constexpr int32_t kLastPoolSlot = 75;
    static constexpr int32_t kFirstWorkSlot = 82; // the mosaic's work surfaces, 82 and 83
    static constexpr int32_t kLastWorkSlot = 83;
    static constexpr uint32_t kKeepType = 65535;

    GRAPHIC_DATA();
    ~GRAPHIC_DATA();
    GRAPHIC_DATA(const GRAPHIC_DATA&) = delete;
    GRAPHIC_DATA& operator=(const GRAPHIC_DATA&) = delete;

    // Clears, then takes the engine pointers and the ID. 1 done, 0 refused.
    int Initialize(KUSPRITE2* sprite, KUSYSTEM* sys, const char* id);
    // Takes a file and a pool slot (number >= 1, or -1 for a free one),
    // dropping the animation; loads at once when loadFlag is 1 (a failed load
    // is logged, the call still succeeds). 0 for a missing file or bad number.
    int SetGraphicData(const char* file, uint32_t loadFlag, int32_t number);
    // frameCount -1 keeps the frames and only changes the type; type 65535
    // keeps the type. New frames have empty rectangles and times 0.
    int SetAnimationData(int32_t frameCount, uint32_t type);
    // Time and (when given) source rectangle of one frame.
    int SetAnimationFrameData(uint32_t frame, uint32_t time, const KURECT* rect);
    int AnimationProc(uint32_t now);
    // Binds the file to the slot and loads it, unless the slot already holds
    // it loaded; never changes the shown flag. 0 without a slot or on failure.
    int LoadGraphicData();
    // Releases and unbinds the slot (the number stays) and hides. Always 1.
    int UnloadGraphicData();
    void Clear();
    // Draws from the picture's own fields.
    int DrawProc();
    // Draws moved by the offsets and faded by the factor (null: 0, 0, 1).
    int DrawProc(const float* xOffset, const float* yOffset, const float* alphaFactor);

    uint32_t m_bInit;
    KUSPRITE2* m_pKUSprite;
    KUSYSTEM* m_pKUSys;
    char m_szID[kIDSize];
    char m_szFile[kFileSize];
    int32_t m_nSlot;
    uint32_t m_bShow;
    float m_fX;
    float m_fY;
    float m_fScaleX;
    float m_fScaleY;
    float m_fAlpha;
    int32_t m_nPriority;
    int32_t m_nStepState; // animated objects: their current step has started
    uint32_t m_dwAnimationNum;
    std::unique_ptr<KURECT[]> m_pRect; // source rectangle of each frame
    uint32_t m_bColorKey;
    ANIMATION_DATA m_Animation;
    uint32_t m_bLoad;

protected:
    void ErrorPrint(const char* text);
    bool Ready(const char* method);

private:
    int Draw(float x, float y, float alpha, const char* method);
};
