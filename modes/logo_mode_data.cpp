#include "modes/logo_mode_data.h"

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "engine/virtual_keys.h"
#include "game/mode_results.h"
#include "game/shell_services.h"
#include "modes/mode_common.h"
#include "platform/debug_out.h"

LOGO_MODE_DATA::LOGO_MODE_DATA() : m_bInit(0), m_pKUSys(nullptr), m_pKUSprite(nullptr), m_pKUSnd(nullptr) { Release(); }

LOGO_MODE_DATA::~LOGO_MODE_DATA() { Release(); }

int LOGO_MODE_DATA::Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd) {
    Release();
    if (!modes::EnginePointersGiven(sys, sprite, snd, "LOGO_MODE_DATA::Initialize"))
        return 0;
    m_pKUSys = sys;
    m_pKUSprite = sprite;
    m_pKUSnd = snd;
    if (!LogoModeDataLoad()) {
        modes::ErrorPrint(sys, "LOGO_MODE_DATA::Initialize", "必要データのロードに失敗しました");
        return 0;
    }
    m_bInit = 1;
    return 1;
}

void LOGO_MODE_DATA::Release() {
    LogoModeDataUnload();
    m_nPhase = 0;
    m_dwPhaseStart = 0;
    m_fFade = 1.0f;
    m_bInit = 0;
    m_pKUSys = nullptr;
    m_pKUSprite = nullptr;
    m_pKUSnd = nullptr;
}

int LOGO_MODE_DATA::LogoModeDataLoad() {
    const char* tag = "LOGO_MODE_DATA::LogoModeDataLoad";
    if (!modes::EnginePointersHeld(m_pKUSys, m_pKUSprite, m_pKUSnd, tag))
        return 0;
    for (int slot : {kSlotFade, kSlotLogo}) {
        if (!GraphicLoad(m_pKUSprite, m_pKUSys, slot)) {
            modes::ErrorPrint(m_pKUSys, tag, "画像のロードに失敗しました");
            return 0;
        }
    }
    return 1;
}

int LOGO_MODE_DATA::LogoModeDataUnload() {
    if (!m_pKUSys || !m_pKUSprite || !m_pKUSnd)
        return 1;
    for (int slot : {kSlotFade, kSlotLogo}) {
        if (!GraphicUnload(m_pKUSprite, m_pKUSys, slot))
            modes::ErrorPrint(m_pKUSys, "LOGO_MODE_DATA::LogoModeDataUnload", "画像のアンロードに失敗しました");
    }
    return 1;
}

int LOGO_MODE_DATA::MainProc() {
    if (!m_bInit || !m_pKUSys) {
        modes::ErrorPrint(m_pKUSys, "LOGO_MODE_DATA::MainProc", "初期化されていません");
        return kModeFailed;
    }
    const uint32_t now = static_cast<uint32_t>(m_pKUSys->GetTime());
    const bool ctrl = m_pKUSys->GetKey(kGameKeyControl) != 0;
    const bool skip = ctrl || modes::ClickState(m_pKUSys) == kKeyStateReleased;
    switch (m_nPhase) {
        case 0:
            m_dwPhaseStart = now;
            m_fFade = 1.0f;
            m_nPhase = 1;
            return ctrl ? kResultDone : kModeRunning;
        case 1:
            if (skip) {
                m_fFade = 0.0f;
                m_dwPhaseStart = now;
                m_nPhase = 2;
                return kModeRunning;
            }
            m_fFade = 1.0f - static_cast<float>(now - m_dwPhaseStart) / 1000.0f;
            if (m_fFade <= 0.0f) {
                m_fFade = 0.0f;
                m_dwPhaseStart = now;
                m_nPhase = 2;
            }
            return kModeRunning;
        case 2:
            if (skip || now > m_dwPhaseStart + 5000) {
                m_dwPhaseStart = now;
                m_nPhase = 3;
            }
            return kModeRunning;
        case 3:
            if (skip) {
                m_fFade = 1.0f;
                return kResultDone;
            }
            m_fFade = static_cast<float>(now - m_dwPhaseStart) / 1000.0f;
            if (m_fFade >= 1.0f) {
                m_fFade = 1.0f;
                return kResultDone;
            }
            return kModeRunning;
        default: return kModeRunning;
    }
}

int LOGO_MODE_DATA::DrawProc() {
    const char* tag = "LOGO_MODE_DATA::DrawProc";
    if (!m_bInit || !m_pKUSys || !m_pKUSprite) {
        modes::ErrorPrint(m_pKUSys, tag, "初期化されていません");
        return 0;
    }
    if (m_pKUSprite->D3DXDrawGraphic(kSlotLogo, 190.0f, 151.0f, kDrawTypeAuto, 0, nullptr, 1.0f, 1.0f, nullptr, 0) <
        0) {
        modes::ErrorPrint(m_pKUSys, tag, "描画に失敗しました");
        return 0;
    }
    if (m_fFade > 0.0f) {
        uint32_t colour = modes::AlphaColor(m_fFade);
        if (m_pKUSprite->D3DXDrawGraphic(kSlotFade, 0.0f, 0.0f, kDrawTypeAuto, 0, nullptr, 1.0f, 1.0f, &colour, 0) <
            0) {
            modes::ErrorPrint(m_pKUSys, tag, "描画に失敗しました");
            return 0;
        }
    }
    return 1;
}
