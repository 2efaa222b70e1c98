#include "gallery/staff_roll_draw_obj.h"

#include <cstring>

#include "gallery/data_script.h"
#include "modes/mode_common.h"

int STAFF_ROLL_DRAW_OBJ::Initialize(KUSPRITE2* sprite, KUSYSTEM* sys, const char* id, float x, float y,
                                    const KURECT* src) {
    const char* tag = "STAFF_ROLL_DRAW_OBJ::Initialize";
    if (!sys) {
        modes::ErrorPrint(nullptr, tag, "KUSYSTEMクラスポインタが不正です");
        return 0;
    }
    if (!sprite) {
        modes::ErrorPrint(sys, tag, "KUSPRITE2クラスポインタが不正です");
        return 0;
    }
    if (!id) {
        modes::ErrorPrint(sys, tag, "ID名が不正です");
        return 0;
    }
    if (!src) {
        modes::ErrorPrint(sys, tag, "描画範囲が不正です");
        return 0;
    }
    m_pKUSprite = sprite;
    m_pKUSys = sys;
    gallery::CopyText(m_szID, kIdSize, id);
    m_rcSrc = *src;
    m_fX = x;
    m_fY = y;
    m_bVisible = 0;
    m_bInit = 1;
    return 1;
}

void STAFF_ROLL_DRAW_OBJ::Clear() {
    m_bInit = 0;
    m_bVisible = 0;
    m_pKUSprite = nullptr;
    m_pKUSys = nullptr;
    std::memset(m_szID, 0, sizeof(m_szID));
    m_rcSrc = KURECT{0, 0, 0, 0};
    m_fX = 0.0f;
    m_fY = 0.0f;
}
