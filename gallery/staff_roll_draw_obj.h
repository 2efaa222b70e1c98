#pragma once
#include "engine/kugraphic2.h"

class KUSYSTEM;
class KUSPRITE2;

// One picture of the staff roll: a piece of the roll's sheet at a place on
// the scrolling strip.
class STAFF_ROLL_DRAW_OBJ {
public:
    static constexpr int kIdSize = 100;

    STAFF_ROLL_DRAW_OBJ() { Clear(); }
    ~STAFF_ROLL_DRAW_OBJ() { Clear(); }

    // An ID longer than the record is cut.
    int Initialize(KUSPRITE2* sprite, KUSYSTEM* sys, const char* id, float x, float y, const KURECT* src);
    void Clear();

    int m_bInit;
    int m_bVisible;
    KUSPRITE2* m_pKUSprite;
    KUSYSTEM* m_pKUSys;
    char m_szID[kIdSize];
    KURECT m_rcSrc;
    float m_fX;
    float m_fY;
};
