#include "scene/window_button.h"

#include <string>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "platform/debug_out.h"

namespace {

constexpr KURECT kEmpty = {0, 0, 0, 0};

bool IsEmpty(const KURECT& rc) { return rc.left >= rc.right || rc.top >= rc.bottom; }

} // namespace

WINDOW_BUTTON::WINDOW_BUTTON(const char* tag, const char* ownerMissing)
    : m_pszTag(tag), m_pszOwnerMissing(ownerMissing) {
    Clear();
}

void WINDOW_BUTTON::Log(const char* op, const char* text) const {
    const std::string line = std::string("Error: <") + m_pszTag + "::" + op + "> " + text + "\n";
    if (m_pKUSys)
        m_pKUSys->TracePrint(line.c_str());
    else
        plat::DebugOut(line.c_str());
}

void WINDOW_BUTTON::Clear() {
    m_bInit = 0;
    m_pKUSprite = nullptr;
    m_pKUSys = nullptr;
    m_pOwnerAlpha = nullptr;
    m_rcHit = m_rcNormal = m_rcHover = m_rcPressed = m_rcDisabled = kEmpty;
    m_nState = kDisabled;
    m_fX = m_fY = 0.0f;
    m_nSlot = -1;
}

int WINDOW_BUTTON::Setup(const float* ownerAlpha, KUSPRITE2* sprite, KUSYSTEM* sys, int slot, float x, float y,
                         const KURECT* hit, const KURECT* normal, const KURECT* hover, const KURECT* pressed,
                         const KURECT* disabled) {
    Clear();
    if (!sys) {
        Log("Initialize", "KUSYSTEMクラスポインタが不正です");
        return 0;
    }
    if (!sprite) {
        m_pKUSys = sys;
        Log("Initialize", "KUSPRITE2クラスポインタが不正です");
        m_pKUSys = nullptr;
        return 0;
    }
    if (!ownerAlpha) {
        m_pKUSys = sys;
        Log("Initialize", m_pszOwnerMissing);
        m_pKUSys = nullptr;
        return 0;
    }
    m_pKUSprite = sprite;
    m_pKUSys = sys;
    m_pOwnerAlpha = ownerAlpha;
    m_nSlot = slot;
    m_fX = x;
    m_fY = y;
    const KURECT* given[5] = {hit, normal, hover, pressed, disabled};
    KURECT* field[5] = {&m_rcHit, &m_rcNormal, &m_rcHover, &m_rcPressed, &m_rcDisabled};
    for (int i = 0; i < 5; ++i)
        if (given[i])
            *field[i] = *given[i];
    m_bInit = 1;
    return 1;
}

int WINDOW_BUTTON::ChangeState(int state) {
    if (!m_bInit) {
        Log("ChangeState", "初期化されていません");
        return 0;
    }
    if (state < kDisabled || state > kPressed)
        return 0;
    m_nState = state;
    return 1;
}

int WINDOW_BUTTON::HitCheck(float ownerX, float ownerY) {
    if (!m_bInit) {
        Log("HitCheck", "初期化されていません");
        return -1;
    }
    int mx = 0, my = 0;
    m_pKUSys->GetMousePos(&mx, &my);
    const float x = static_cast<float>(mx), y = static_cast<float>(my);
    return x >= ownerX + m_rcHit.left && x < ownerX + m_rcHit.right && y >= ownerY + m_rcHit.top &&
                   y < ownerY + m_rcHit.bottom
               ? 1
               : 0;
}

int WINDOW_BUTTON::DrawProc(float ownerX, float ownerY) {
    if (!m_bInit) {
        Log("DrawProc", "初期化されていません");
        return 0;
    }
    const KURECT* src = nullptr;
    switch (m_nState) {
        case kDisabled: src = &m_rcDisabled; break;
        case kNormal: src = &m_rcNormal; break;
        case kHover: src = &m_rcHover; break;
        case kPressed: src = &m_rcPressed; break;
        default: Log("DrawProc", "ウィンドウ状態が不正です"); return 0;
    }
    if (IsEmpty(*src))
        return 1;
    float alpha = *m_pOwnerAlpha;
    // A fade slightly past its end must not wrap the alpha byte.
    alpha = alpha > 1.0f ? 1.0f : alpha > 0.0f ? alpha : 0.0f;
    const uint32_t colour = static_cast<uint32_t>(alpha * 255.0f) << 24 | 0x00FFFFFFu;
    if (m_pKUSprite->D3DXDrawGraphic(static_cast<uint32_t>(m_nSlot), ownerX + m_fX, ownerY + m_fY, kDrawTypeAuto, 0,
                                     src, 1.0f, 1.0f, &colour, 0) < 0) {
        Log("DrawProc", "ウィンドウオブジェクトの描画に失敗しました");
        return 0;
    }
    return 1;
}
