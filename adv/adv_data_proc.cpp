#include "adv/adv_data.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "engine/trace_hold.h"
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

// Runs one draw with what it logs held in `said` (emptied first).
template <class Draw>
int HeldDraw(KUSYSTEM* sys, std::string* said, Draw draw) {
    said->clear();
    TraceHold hold(sys, said);
    return draw();
}

// Calls fn with each line of the held text the first time it occurs.
template <class Fn>
void ForEachDistinctLine(std::string_view said, Fn fn) {
    std::vector<std::string_view> seen;
    ForEachHeldLine(said, [&](std::string_view line) {
        if (std::find(seen.begin(), seen.end(), line) != seen.end())
            return;
        seen.push_back(line);
        fn(line);
    });
}

// 0 for nothing said, else a key of the distinct lines said (never 0),
// whatever their order and number: a part that draws one layer more or less
// with the same fault (a wait icon blinking in and out) keeps its key.
uint64_t SaidKey(const std::string& said) {
    if (said.empty())
        return 0;
    uint64_t key = 0;
    ForEachDistinctLine(said, [&](std::string_view line) {
        uint64_t h = 14695981039346656037ull;
        for (const char c : line)
            h = (h ^ static_cast<uint8_t>(c)) * 1099511628211ull;
        key += h;
    });
    return key | 1;
}

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

int ADV_DATA::DrawItem(const DRAW_ORDER_DATA& e) {
    const uint32_t index = static_cast<uint32_t>(e.GetIndex());
    switch (e.GetKind()) {
        case DRAW_ORDER_DATA::kGraphic: {
            if (!m_pGraphic || index >= m_dwGraphicNum)
                return 1;
            GRAPHIC_DATA& g = m_pGraphic[index];
            if (m_MainScr.m_nTransitionSlot != -1 && g.m_nSlot == m_MainScr.m_nTransitionSlot) {
                // A wipe in progress: only its strips are drawn. A strip
                // refused (the picture is not loaded) fails the item.
                for (int32_t t = 0; m_MainScr.m_pTileRect && t < m_MainScr.m_nTileNum; ++t) {
                    const KURECT& r = m_MainScr.m_pTileRect[t];
                    if (m_pKUSprite->D3DXDrawGraphic(static_cast<uint32_t>(g.m_nSlot), static_cast<float>(r.left),
                                                     static_cast<float>(r.top), kDrawTypeKeep, 0, &r, 1.0f, 1.0f,
                                                     nullptr, 0) != 0)
                        return 0;
                }
                return 1;
            }
            return g.DrawProc();
        }
        case DRAW_ORDER_DATA::kTextArea:
            return m_pTextArea && index < m_dwTextAreaNum ? m_pTextArea[index].DrawProc() : 1;
        case DRAW_ORDER_DATA::kObject: return m_pObject && index < m_dwObjectNum ? m_pObject[index].DrawProc() : 1;
        case 4: ErrorPrint("Warn: <ADV_DATA::DrawProc> 現在作成中のデータ形式です\n"); return 1;
        default: return 1;
    }
}

void ADV_DATA::SayOnce(size_t part, int drawn, const char* failLine) {
    if (!drawn) {
        m_DrawSaid.append(failLine);
        m_DrawSaid.push_back('\0');
    }
    const uint64_t said = SaidKey(m_DrawSaid);
    if (part < m_DrawFailSaid.size()) {
        if (m_DrawFailSaid[part] == said)
            return;
        m_DrawFailSaid[part] = said;
    }
    // Each line once: its layers may all fail alike.
    ForEachDistinctLine(m_DrawSaid, [&](std::string_view line) { ErrorPrint(line.data()); });
}

void ADV_DATA::DrawEntry(uint32_t n) {
    const DRAW_ORDER_DATA& e = m_pDrawOrder[n];
    const int drawn = HeldDraw(m_pKUSys, &m_DrawSaid, [&] { return DrawItem(e); });
    uint32_t item = static_cast<uint32_t>(e.GetIndex());
    if (e.GetKind() == DRAW_ORDER_DATA::kTextArea)
        item += m_dwGraphicNum;
    else if (e.GetKind() == DRAW_ORDER_DATA::kObject)
        item += m_dwGraphicNum + m_dwTextAreaNum;
    SayOnce(item, drawn, "Error: <ADV_DATA::DrawProc> 描画に失敗しました\n");
}

int ADV_DATA::DrawProc() {
    if (!m_bInit) {
        ErrorPrint("Error: <ADV_DATA::MainProc> 初期化されていません\n");
        return 0;
    }
    // Every part that cannot be drawn (a script mistake, a damaged save) is
    // left out of the frame, not the end of play, and what its draw logs is
    // said once per cause: the items, then the three windows and the fade.
    // The held text reuses its buffer, so a frame allocates nothing.
    const size_t items = size_t{m_dwGraphicNum} + m_dwTextAreaNum + m_dwObjectNum;
    if (m_DrawFailSaid.size() != items + kOwnParts)
        m_DrawFailSaid.assign(items + kOwnParts, 0);
    uint32_t n = 0;
    for (; m_pDrawOrder && n < m_dwDrawOrderNum && m_pDrawOrder[n].GetPriority() <= kUnderWindows; ++n)
        DrawEntry(n);
    m_MainScr.MosaicDrawProc();
    if (m_bWindowShown) {
        SayOnce(items, HeldDraw(m_pKUSys, &m_DrawSaid, [&] { return m_MsgWnd.DrawProc(); }),
                "Error: <ADV_DATA::DrawProc> メッセージウィンドウの描画に失敗しました\n");
        SayOnce(items + 1, HeldDraw(m_pKUSys, &m_DrawSaid, [&] { return m_CtrlWnd.DrawProc(); }),
                "Error: <ADV_DATA::DrawProc> コントロールウィンドウの描画に失敗しました\n");
        SayOnce(items + 2, HeldDraw(m_pKUSys, &m_DrawSaid, [&] { return m_SelectWnd.DrawProc(); }),
                "Error: <ADV_DATA::DrawProc> 選択肢ウィンドウの描画に失敗しました\n");
    }
    for (; m_pDrawOrder && n < m_dwDrawOrderNum; ++n)
        DrawEntry(n);
    if (m_fFade > 0.0f) {
        const float fade = m_fFade < 1.0f ? m_fFade : 1.0f;
        const uint32_t colour = (static_cast<uint32_t>(fade * 255.0f) << 24) | 0xFFFFFFu;
        const int drawn = HeldDraw(m_pKUSys, &m_DrawSaid, [&] {
            return m_pKUSprite->D3DXDrawGraphic(kFadeSlot, 0.0f, 0.0f, kDrawTypeKeep, 0, nullptr, 1.0f, 1.0f, &colour,
                                                0) == 0;
        });
        SayOnce(items + 3, drawn, "Error: <ADV_DATA::DrawProc> 描画に失敗しました\n");
    }
    DrawDebugInfo();
    return 1;
}
