#pragma once
#include "engine/kugraphic2.h"

// One cell of the picture gallery: a scene or a picture thumbnail.
class CG_SELECT_ITEM_DATA {
public:
    CG_SELECT_ITEM_DATA() { Clear(); }
    ~CG_SELECT_ITEM_DATA() { Clear(); }

    void Clear();
    int Release() {
        Clear();
        return 1;
    }
    // Copies each value whose pointer is given; a null pointer keeps the field.
    void SetData(const int* disp, const int* select, const int* full, const float* x, const float* y,
                 const KURECT* draw, const KURECT* hit, const char* name);
    // Empties the flags, the atlas rectangle and the name; position and hit stay.
    void ClearContent();
    int HitCheck(int x, int y) const;

    int bDispFlg;
    int bSelectFlg;
    int bFullCGFlg;
    char szName[260];
    float fPosX, fPosY;
    KURECT rcHit;
    KURECT rcDraw;
};
