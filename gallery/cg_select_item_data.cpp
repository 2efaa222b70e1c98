#include "gallery/cg_select_item_data.h"

#include "game/fixed_string.h"

void CG_SELECT_ITEM_DATA::Clear() {
    bDispFlg = bSelectFlg = bFullCGFlg = 0;
    szName[0] = '\0';
    fPosX = fPosY = 0.0f;
    rcHit = KURECT{0, 0, 0, 0};
    rcDraw = KURECT{0, 0, 0, 0};
}

void CG_SELECT_ITEM_DATA::SetData(const int* disp, const int* select, const int* full, const float* x, const float* y,
                                  const KURECT* draw, const KURECT* hit, const char* name) {
    if (disp)
        bDispFlg = *disp;
    if (select)
        bSelectFlg = *select;
    if (full)
        bFullCGFlg = *full;
    if (x)
        fPosX = *x;
    if (y)
        fPosY = *y;
    if (draw)
        rcDraw = *draw;
    if (hit)
        rcHit = *hit;
    if (name)
        game::CopyFixed(szName, name);
}

void CG_SELECT_ITEM_DATA::ClearContent() {
    const int zero = 0;
    const KURECT empty{0, 0, 0, 0};
    SetData(&zero, &zero, &zero, nullptr, nullptr, &empty, nullptr, "");
}

int CG_SELECT_ITEM_DATA::HitCheck(int x, int y) const {
    return x >= rcHit.left && x < rcHit.right && y >= rcHit.top && y < rcHit.bottom ? 1 : 0;
}
