#pragma once
#include <cstdint>

#include "engine/kugraphic2.h"

class KUSYSTEM;
class KUSPRITE2;

// One button of a window: a hit rectangle and four looks (normal, hover,
// pressed, disabled) cut from a graphic slot, drawn relative to its owner's
// position and faded with its owner's alpha. The owner is held as a pointer
// to that alpha, so the bars and the message window can all own buttons and
// a copied button keeps drawing with the window it was built for.
class WINDOW_BUTTON {
public:
    static constexpr int kDisabled = -1;
    static constexpr int kNormal = 0;
    static constexpr int kHover = 1;
    static constexpr int kPressed = 2;

    // 1 when the pointer lies in the hit rectangle moved to (ownerX, ownerY),
    // right and bottom edges excluded; 0 otherwise; -1 when not initialised.
    int HitCheck(float ownerX, float ownerY);
    // 1 for a state from -1 to 2 (stored), 0 otherwise.
    int ChangeState(int state);
    // Draws the look of the state at the owner's position plus the offset.
    int DrawProc(float ownerX, float ownerY);
    void Clear();

    int GetState() const { return m_nState; }

    uint32_t m_bInit;
    KUSPRITE2* m_pKUSprite;
    KUSYSTEM* m_pKUSys;
    const float* m_pOwnerAlpha;
    KURECT m_rcHit;
    KURECT m_rcNormal, m_rcHover, m_rcPressed, m_rcDisabled;
    int m_nState;
    float m_fX, m_fY;
    int m_nSlot;

protected:
    // tag: the class name for log lines; ownerMissing: the text logged for a
    // missing owner.
    WINDOW_BUTTON(const char* tag, const char* ownerMissing);
    ~WINDOW_BUTTON() { Clear(); }
    WINDOW_BUTTON(const WINDOW_BUTTON&) = default;
    WINDOW_BUTTON& operator=(const WINDOW_BUTTON&) = default;

    int Setup(const float* ownerAlpha, KUSPRITE2* sprite, KUSYSTEM* sys, int slot, float x, float y, const KURECT* hit,
              const KURECT* normal, const KURECT* hover, const KURECT* pressed, const KURECT* disabled);

private:
    void Log(const char* op, const char* text) const;

    const char* m_pszTag;
    const char* m_pszOwnerMissing;
};
