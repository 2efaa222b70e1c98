#include "adv/adv_data.h"

#include "engine/kusystem.h"
#include "game/shell_services.h"

namespace {

constexpr float kFadeMs = 1000.0f;
constexpr int kFadeSlot = 0; // full-screen fade picture, drawn last

// Result of each fade-out state once it is complete.
int FadeOutResult(int state) {
    switch (state) {
        case 1: return ADV_DATA::kResultTest;
        case 4: return ADV_DATA::kResultConfig;
        case 7: return ADV_DATA::kResultSave;
        case 10: return ADV_DATA::kResultLoad;
        default: return ADV_DATA::kResultEnd;
    }
}

} // namespace

void ADV_DATA::StartFadeOut(int state) {
    const int off = 0;
    m_CtrlWnd.SetDefaultButtonStatus(&off, &off, &off, &off, &off, &off, &off, &off, &off, &off);
    GraphicLoad(m_pKUSprite, m_pKUSys, kFadeSlot);
    m_fFade = 0.0f;
    m_dwPhaseStart = static_cast<uint32_t>(m_pKUSys->GetTime());
    m_nPhase = state;
}

int ADV_DATA::MainProc() {
    if (!m_bInit) {
        ErrorPrint("Error: <ADV_DATA::MainProc> 初期化されていません\n");
        return kResultError;
    }
    const uint32_t now = static_cast<uint32_t>(m_pKUSys->GetTime());
    // Read per frame and written to the field only in the fade states, so the
    // fade picture never covers play.
    const float elapsed = static_cast<float>(now - m_dwPhaseStart) / kFadeMs;
    int result = kResultGoOn;
    switch (m_nPhase) {
        case 0:
            result = m_MainScr.MainProc();
            if (result == kResultError)
                ErrorPrint("Error: <ADV_DATA::MainProc> スクリプトでエラーが発生しました\n");
            {
                int action = CONTROLLER_WINDOW::kActNone;
                if (!m_CtrlWnd.MainProc(&action, this)) {
                    ErrorPrint("Error: <ADV_DATA::MainProc> コントローラーウィンドウ処理でエラーが発生しました\n");
                    result = kResultError;
                }
                if (action == CONTROLLER_WINDOW::kActConfig)
                    StartFadeOut(4);
                else if (action == CONTROLLER_WINDOW::kActSave)
                    StartFadeOut(7);
                else if (action == CONTROLLER_WINDOW::kActLoad)
                    StartFadeOut(10);
                int taken = 0;
                if (!m_MsgWnd.MainProc(&taken, this)) {
                    ErrorPrint("Error: <ADV_DATA::MainProc> メッセージウィンドウ処理でエラーが発生しました\n");
                    result = kResultError;
                }
            }
            // Later checks of the frame win: the end over an exam request.
            if (m_nTestNum >= 0 && m_nTestNum < kTestCount)
                StartFadeOut(1);
            if (m_bEnd)
                StartFadeOut(13);
            return result;
        case 1:
        case 4:
        case 7:
        case 10:
        case 13:
            m_fFade = elapsed;
            if (m_fFade >= 1.0f) {
                m_fFade = 1.0f;
                return FadeOutResult(m_nPhase);
            }
            return kResultGoOn;
        case 2:
        case 5:
        case 8:
        case 11:
            m_fFade = 1.0f;
            m_dwPhaseStart = now;
            m_nPhase += 1;
            return kResultGoOn;
        case 3:
        case 6:
        case 9:
        case 12:
            m_fFade = 1.0f - elapsed;
            if (m_fFade <= 0.0f) {
                m_CtrlWnd.SetDefaultButtonStatus();
                m_fFade = 0.0f;
                m_nPhase = 0;
            }
            return kResultGoOn;
        default: return kResultGoOn;
    }
}

int ADV_DATA::DrawProc() {
    if (!m_bInit) {
        ErrorPrint("Error: <ADV_DATA::MainProc> 初期化されていません\n");
        return 0;
    }
    return 1;
}
