#include "gallery/staff_roll_mode_data.h"

#include <cstdint>
#include <cstdio>

#include "game/game_settings.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/shell_services.h"
#include "modes/mode_common.h"

namespace {

constexpr float kFadeInMs = 1000.0f;
constexpr float kFadeOutMs = 2000.0f;
constexpr int kScreenH = 600;

} // namespace

STAFF_ROLL_MODE_DATA::STAFF_ROLL_MODE_DATA()
    : m_bInit(0),
      m_pKUSys(nullptr),
      m_pKUSprite(nullptr),
      m_pKUSnd(nullptr),
      m_nDrawObjNum(0),
      m_pDrawObj(nullptr),
      m_nProcNum(0),
      m_pProc(nullptr) {
    Release();
}

STAFF_ROLL_MODE_DATA::~STAFF_ROLL_MODE_DATA() { Release(); }

int STAFF_ROLL_MODE_DATA::Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd) {
    Release();
    if (!modes::EnginePointersGiven(sys, sprite, snd, "STAFF_ROLL_MODE_DATA::Initialize"))
        return 0;
    m_pKUSys = sys;
    m_pKUSprite = sprite;
    m_pKUSnd = snd;
    if (StaffRollModeDataLoad() == 0) {
        modes::ErrorPrint(sys, "STAFF_ROLL_MODE_DATA::Initialize", "必要データのロードに失敗しました");
        return 0;
    }
    m_bInit = 1;
    return 1;
}

int STAFF_ROLL_MODE_DATA::StaffRollModeDataLoad() {
    const char* tag = "STAFF_ROLL_MODE_DATA::StaffRollModeDataLoad";
    if (!modes::EnginePointersHeld(m_pKUSys, m_pKUSprite, m_pKUSnd, tag))
        return 0;
    if (!GraphicLoad(m_pKUSprite, m_pKUSys, kSlotFade)) {
        modes::ErrorPrint(m_pKUSys, tag, "画像のロードに失敗しました");
        return 0;
    }
    if (!GraphicUnload(m_pKUSprite, m_pKUSys, kSlotSheet)) {
        modes::ErrorPrint(m_pKUSys, tag, "画像のアンロードに失敗しました");
        return 0;
    }
    // The roll runs without pictures when its sheet is missing.
    if (!m_pKUSprite->SetGraphicData(kSlotSheet, "tmp/", "StaffRollMaterial.dds", 4, 1)) {
        modes::ErrorPrint(m_pKUSys, tag, "データの設定に失敗しました");
        return -1;
    }
    if (!GraphicLoad(m_pKUSprite, m_pKUSys, kSlotSheet)) {
        modes::ErrorPrint(m_pKUSys, tag, "画像のロードに失敗しました");
        return -1;
    }
    return 1;
}

int STAFF_ROLL_MODE_DATA::StaffRollModeDataUnload() {
    if (m_pKUSys && m_pKUSprite && m_pKUSnd) {
        for (int slot : {kSlotFade, kSlotSheet, kSlotBg, kSlotBgIn})
            GraphicUnload(m_pKUSprite, m_pKUSys, slot);
    }
    return 1;
}

void STAFF_ROLL_MODE_DATA::Release() {
    StaffRollModeDataUnload();
    m_nState = 0;
    m_dwStateTime = 0;
    m_dwScrollTime = 0;
    m_fFade = 1.0f;
    delete[] m_pDrawObj;
    m_pDrawObj = nullptr;
    m_nDrawObjNum = 0;
    delete[] m_pProc;
    m_pProc = nullptr;
    m_nProcNum = 0;
    m_fBgAlpha = m_fBgX = m_fBgY = 0.0f;
    m_fBgInAlpha = m_fBgInX = m_fBgInY = 0.0f;
    m_fBaseY = 0.0f;
    m_fScrollSpeed = 0.0f;
    m_bInit = 0;
    m_pKUSys = nullptr;
    m_pKUSprite = nullptr;
    m_pKUSnd = nullptr;
}

void STAFF_ROLL_MODE_DATA::ScrollStep(uint32_t now) {
    m_fBaseY += static_cast<float>(now - m_dwScrollTime) / 1000.0f * m_fScrollSpeed;
    for (int i = 0; i < m_nDrawObjNum; ++i) {
        STAFF_ROLL_DRAW_OBJ& o = m_pDrawObj[i];
        float top = m_fBaseY + o.m_fY;
        // Wide: the script's rectangle may span the whole int range.
        float height = static_cast<float>(static_cast<int64_t>(o.m_rcSrc.bottom) - o.m_rcSrc.top);
        o.m_bVisible = (top <= kScreenH && top + height >= 0.0f) ? 1 : 0;
    }
}

int STAFF_ROLL_MODE_DATA::ClosingFade(uint32_t now) {
    m_fFade = static_cast<float>(now - m_dwStateTime) / kFadeOutMs;
    if (m_fFade < 1.0f)
        return 0;
    m_fFade = 1.0f;
    if (!BGM_DS_Stop(m_pKUSnd, m_pKUSys))
        modes::ErrorPrint(m_pKUSys, "STAFF_ROLL_MODE_DATA::MainProc", "BGMのDShow停止に失敗しました");
    m_dwStateTime = now;
    return 1;
}

int STAFF_ROLL_MODE_DATA::MainProc() {
    const char* tag = "STAFF_ROLL_MODE_DATA::MainProc";
    if (!m_bInit) {
        modes::ErrorPrint(m_pKUSys, tag, "初期化されていません");
        return -1;
    }
    const uint32_t now = static_cast<uint32_t>(m_pKUSys->GetTime());
    const int click = modes::ClickState(m_pKUSys);
    switch (m_nState) {
        case 0:
            m_fFade = 1.0f;
            if (!ReadScriptData(kScript)) {
                modes::ErrorPrint(m_pKUSys, tag, "スクリプトの読み込みに失敗しました");
                return -1;
            }
            if (!BGM_DS_Play(m_pKUSnd, m_pKUSys, 0, kMusic))
                modes::ErrorPrint(m_pKUSys, tag, "BGMのDShow再生に失敗しました");
            m_dwStateTime = now;
            m_nState = 1;
            return 0;
        case 1:
            m_fFade = 1.0f - static_cast<float>(now - m_dwStateTime) / kFadeInMs;
            if (m_fFade > 0.0f)
                return 0;
            m_fFade = 0.0f;
            m_dwStateTime = 0;
            m_dwScrollTime = now;
            m_nState = 2;
            return 0;
        case 2:
            ScrollStep(now);
            if (!DistributionScriptProc()) {
                modes::ErrorPrint(m_pKUSys, tag, "スタッフロールのスクリプト処理に失敗しました");
                return -1;
            }
            m_dwScrollTime = now;
            if (click == 3) {
                if (m_dwStateTime == 0)
                    m_dwStateTime = now;
                m_nState = 4;
            }
            return 0;
        case 3: return ClosingFade(now);
        case 4:
            ScrollStep(now);
            if (!DistributionScriptProc()) {
                modes::ErrorPrint(m_pKUSys, tag, "スタッフロールのスクリプト処理に失敗しました");
                return -1;
            }
            m_dwScrollTime = now;
            return ClosingFade(now);
        default: return 0;
    }
}

int STAFF_ROLL_MODE_DATA::DrawProc() {
    const char* tag = "STAFF_ROLL_MODE_DATA::DrawProc";
    if (!m_bInit || !m_pKUSys || !m_pKUSprite) {
        modes::ErrorPrint(m_pKUSys, tag, "初期化されていません");
        return 0;
    }
    // src null: the whole picture; alpha < 0: the default colour.
    auto draw = [&](int slot, float x, float y, const KURECT* src, float alpha) {
        uint32_t colour = modes::AlphaColor(alpha);
        if (m_pKUSprite->D3DXDrawGraphic(slot, x, y, kDrawTypeAuto, 0, src, 1.0f, 1.0f, alpha < 0 ? nullptr : &colour,
                                         0) < 0) {
            modes::ErrorPrint(m_pKUSys, tag, "描画に失敗しました");
            return false;
        }
        return true;
    };
    if (m_fBgAlpha > 0.0f && !draw(kSlotBg, m_fBgX, m_fBgY, nullptr, m_fBgAlpha))
        return 0;
    if (m_fBgInAlpha > 0.0f && !draw(kSlotBgIn, m_fBgInX, m_fBgInY, nullptr, m_fBgInAlpha))
        return 0;
    for (int i = 0; i < m_nDrawObjNum; ++i) {
        const STAFF_ROLL_DRAW_OBJ& o = m_pDrawObj[i];
        if (o.m_bVisible && !draw(kSlotSheet, o.m_fX, m_fBaseY + o.m_fY, &o.m_rcSrc, -1.0f))
            return 0;
    }
    const KURECT top{0, 0, 800, 100}, bottom{0, 100, 800, 200};
    if (!draw(kSlotSheet, 0, 0, &top, -1.0f) || !draw(kSlotSheet, 0, 500, &bottom, -1.0f))
        return 0;
    if (m_fFade > 0.0f && !draw(kSlotFade, 0, 0, nullptr, m_fFade))
        return 0;
    if (g_bDebugInfo) {
        char text[64];
        std::snprintf(text, sizeof(text), "BASE_Y: %4.1f", static_cast<double>(m_fBaseY));
        m_pKUSprite->DDTextOutLock(1, 1, text, 0, 20, 400);
        m_pKUSprite->DDTextOutLock(0, 0, text, 65280, 20, 400);
        m_pKUSprite->DDTextOutUnLock();
    }
    return 1;
}
