#include "adv/adv_data.h"

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "scene/draw_order_data.h"
#include "scene/graphic_data.h"
#include "scene/object_data.h"
#include "game/shell_services.h"
#include "scene/textarea_data.h"

namespace {

constexpr float kFadeMs = 1000.0f;
constexpr int kFadeSlot = 0; // full-screen fade picture, drawn last
constexpr int32_t kUnderWindows = 100; // priorities up to this are drawn under the windows
constexpr uint32_t kDrawTypeKeep = 65535;

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
                if (m_bWindowShown)
                    CursorMoveProc();
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

bool ADV_DATA::DrawEntry(uint32_t n) {
    const DRAW_ORDER_DATA& e = m_pDrawOrder[n];
    const uint32_t index = static_cast<uint32_t>(e.GetIndex());
    int drawn = 1;
    switch (e.GetKind()) {
        case DRAW_ORDER_DATA::kGraphic: {
            if (!m_pGraphic || index >= m_dwGraphicNum)
                break;
            GRAPHIC_DATA& g = m_pGraphic[index];
            if (m_MainScr.m_nTransitionSlot != -1 && g.m_nSlot == m_MainScr.m_nTransitionSlot) {
                // A wipe in progress: only its strips are drawn. A strip
                // refused (the picture is not loaded) fails the item as below.
                for (int32_t t = 0; drawn && m_MainScr.m_pTileRect && t < m_MainScr.m_nTileNum; ++t) {
                    const KURECT& r = m_MainScr.m_pTileRect[t];
                    drawn = m_pKUSprite->D3DXDrawGraphic(static_cast<uint32_t>(g.m_nSlot), static_cast<float>(r.left),
                                                         static_cast<float>(r.top), kDrawTypeKeep, 0, &r, 1.0f, 1.0f,
                                                         nullptr, 0) == 0;
                }
                break;
            }
            drawn = g.DrawProc();
            break;
        }
        case DRAW_ORDER_DATA::kTextArea:
            if (m_pTextArea && index < m_dwTextAreaNum)
                drawn = m_pTextArea[index].DrawProc();
            break;
        case DRAW_ORDER_DATA::kObject:
            if (m_pObject && index < m_dwObjectNum)
                drawn = m_pObject[index].DrawProc();
            break;
        case 4: ErrorPrint("Warn: <ADV_DATA::DrawProc> 現在作成中のデータ形式です\n"); break;
        default: break;
    }
    // A script mistake (a shown item that is not loaded) would otherwise
    // end the program: the item is skipped, and said once.
    uint32_t item = index;
    if (e.GetKind() == DRAW_ORDER_DATA::kTextArea)
        item += m_dwGraphicNum;
    else if (e.GetKind() == DRAW_ORDER_DATA::kObject)
        item += m_dwGraphicNum + m_dwTextAreaNum;
    if (!drawn && item < m_DrawFailLogged.size() && !m_DrawFailLogged[item]) {
        m_DrawFailLogged[item] = 1;
        ErrorPrint("Error: <ADV_DATA::DrawProc> 描画に失敗しました\n");
    }
    return true;
}

int ADV_DATA::DrawProc() {
    if (!m_bInit) {
        ErrorPrint("Error: <ADV_DATA::MainProc> 初期化されていません\n");
        return 0;
    }
    if (m_DrawFailLogged.size() != m_dwDrawOrderNum)
        m_DrawFailLogged.assign(m_dwDrawOrderNum, 0);
    int result = 1;
    uint32_t n = 0;
    for (; m_pDrawOrder && n < m_dwDrawOrderNum && m_pDrawOrder[n].GetPriority() <= kUnderWindows; ++n)
        if (!DrawEntry(n))
            return 0;
    m_MainScr.MosaicDrawProc();
    if (m_bWindowShown) {
        if (!m_MsgWnd.DrawProc()) {
            ErrorPrint("Error: <ADV_DATA::DrawProc> メッセージウィンドウの描画に失敗しました\n");
            result = 0;
        }
        if (!m_CtrlWnd.DrawProc()) {
            ErrorPrint("Error: <ADV_DATA::DrawProc> コントロールウィンドウの描画に失敗しました\n");
            result = 0;
        }
        if (!m_SelectWnd.DrawProc()) {
            ErrorPrint("Error: <ADV_DATA::DrawProc> 選択肢ウィンドウの描画に失敗しました\n");
            result = 0;
        }
    }
    for (; m_pDrawOrder && n < m_dwDrawOrderNum; ++n)
        if (!DrawEntry(n))
            return 0;
    if (m_fFade > 0.0f) {
        const float fade = m_fFade < 1.0f ? m_fFade : 1.0f;
        const uint32_t colour = (static_cast<uint32_t>(fade * 255.0f) << 24) | 0xFFFFFFu;
        if (m_pKUSprite->D3DXDrawGraphic(kFadeSlot, 0.0f, 0.0f, kDrawTypeKeep, 0, nullptr, 1.0f, 1.0f, &colour, 0) !=
            0) {
            ErrorPrint("Error: <ADV_DATA::DrawProc> 描画に失敗しました\n");
            return 0;
        }
    }
    DrawDebugInfo();
    return result;
}
