#include "scene/select_window_agg.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/kusystem.h"
#include "scene/message_data.h"
#include "game/shell_services.h"
#include "platform/debug_out.h"

namespace {

constexpr int32_t kTextSlotBase = 2;
constexpr float kPulseStep = 0.2f;
constexpr float kPulseDepth = 0.025f;

// Logs under the set's tag: through the system object, or straight to the
// debugger output without one.
void Log(KUSYSTEM* sys, const char* method, const char* text) {
    char line[256];
    std::snprintf(line, sizeof(line), "Error: <SELECT_WINDOW_AGG::%s> %s\n", method, text);
    if (sys)
        sys->TracePrint(line);
    else
        plat::DebugOut(line);
}

} // namespace

SELECT_WINDOW_AGG::SELECT_WINDOW_AGG()
    : m_pKUSprite(nullptr), m_pKUSnd(nullptr), m_pKUSys(nullptr), m_bInit(0), m_dwCount(0) {
    Clear();
}

SELECT_WINDOW_AGG::~SELECT_WINDOW_AGG() { Clear(); }

bool SELECT_WINDOW_AGG::ArgumentsValid(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, uint32_t count) {
    if (!sys) {
        plat::DebugOut("Error: <SELECT_WINDOW_AGG::Initialize> KUSYSTEMクラスポインタが不正です\n");
        return false;
    }
    if (!sprite) {
        Log(sys, "Initialize", "KUSPRITE2クラスポインタが不正です");
        return false;
    }
    if (!snd) {
        Log(sys, "Initialize", "KUSNDクラスポインタが不正です");
        return false;
    }
    if (count != 1 && count != 2) {
        Log(sys, "Initialize", "選択肢ウィンドウ数が不正です");
        return false;
    }
    return true;
}

int SELECT_WINDOW_AGG::Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, uint32_t count) {
    Clear();
    if (!ArgumentsValid(sys, sprite, snd, count))
        return 0;
    const int slot = static_cast<int>(SELECT_WINDOW::kGraphicSlot);
    if (!GraphicLoad(sprite, sys, slot)) {
        Log(sys, "Initialize", "選択肢ウィンドウの画像のロードに失敗しました");
        return 0;
    }
    if (!SELoad(snd, sys, kSeCursorOn, nullptr) || !SELoad(snd, sys, kSePush, nullptr)) {
        Log(sys, "Initialize", "ウィンドウ周りのサウンドのロードに失敗しました");
        // Nothing stays loaded for a set that did not start.
        GraphicUnload(sprite, sys, slot);
        SEUnload(snd, sys, kSeCursorOn);
        SEUnload(snd, sys, kSePush);
        return 0;
    }
    MakeWindows(sys, sprite, snd, count);
    return 1;
}

int SELECT_WINDOW_AGG::Reopen(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, uint32_t count) {
    if (!m_bInit)
        return Initialize(sys, sprite, snd, count);
    if (!ArgumentsValid(sys, sprite, snd, count))
        return 0;
    ClearWindows();
    MakeWindows(sys, sprite, snd, count);
    return 1;
}

void SELECT_WINDOW_AGG::MakeWindows(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, uint32_t count) {
    m_pKUSys = sys;
    m_pKUSprite = sprite;
    m_pKUSnd = snd;
    m_dwCount = count;
    m_pWindow.reset(new SELECT_WINDOW[count]);
    for (uint32_t i = 0; i < count; ++i)
        m_pWindow[i].Initialize(sys, sprite, snd, i + 1);
    m_bActive = 1;
    m_bInit = 1;
}

void SELECT_WINDOW_AGG::ClearWindows() {
    m_bActive = 0;
    m_dwDisappearPhase = 0;
    m_dwDisappearStart = 0;
    if (m_pWindow) {
        for (uint32_t i = 0; i < m_dwCount; ++i)
            m_pWindow[i].Clear();
    }
    m_pWindow.reset();
    m_fPulse = 0.0f;
    m_dwCount = 0;
    m_nSelect = -1;
}

void SELECT_WINDOW_AGG::Clear() {
    if (m_bInit) {
        GraphicUnload(m_pKUSprite, m_pKUSys, static_cast<int>(SELECT_WINDOW::kGraphicSlot));
        SEUnload(m_pKUSnd, m_pKUSys, kSeCursorOn);
        SEUnload(m_pKUSnd, m_pKUSys, kSePush);
    }
    ClearWindows();
    m_pKUSprite = nullptr;
    m_pKUSnd = nullptr;
    m_pKUSys = nullptr;
    m_bInit = 0;
}

void SELECT_WINDOW_AGG::SetColors(int32_t index, uint32_t text, uint32_t shadow) {
    TEXTAREA_DATA& t = m_pWindow[index].m_Text;
    t.m_dwColor = text;
    t.m_dwShadowColor = shadow;
}

int SELECT_WINDOW_AGG::SetText(int32_t index, const MESSAGE_DATA* message, uint32_t antiAlias) {
    if (!m_bInit) {
        Log(m_pKUSys, "SetText", "初期化されていません");
        return 0;
    }
    if (!message) {
        Log(m_pKUSys, "SetText", "メッセージデータが不正です");
        return 0;
    }
    if (index < 0 || static_cast<uint32_t>(index) >= m_dwCount) {
        Log(m_pKUSys, "SetText", "対象ウィンドウナンバーが不正です");
        return 0;
    }
    TEXTAREA_DATA& t = m_pWindow[index].m_Text;
    t.Clear();
    if (!t.Initialize(m_pKUSprite, m_pKUSys, "SLC_WND_MSG")) {
        Log(m_pKUSys, "SetText", "対象ウィンドウナンバーのテキスト初期化に失敗しました");
        return 0;
    }
    if (!t.SetFontData(index + kTextSlotBase, message->m_szText, message->m_nFontSize, 400, antiAlias, 17, 0, 1)) {
        Log(m_pKUSys, "SetText", "フォントのセットに失敗しました");
        return 0;
    }
    // Every character is two bytes wide: n bytes take n x f / 2 pixels.
    const double f = message->m_nFontSize;
    const double n = static_cast<double>(std::strlen(t.m_szText));
    const KURECT area{static_cast<int32_t>(258.0 - n * f / 4.0), static_cast<int32_t>(34.0 - f / 2.0),
                      static_cast<int32_t>(258.0 + n * f / 4.0), static_cast<int32_t>(34.0 + f / 2.0)};
    const uint32_t shown = 1;
    t.SetDrawData(nullptr, &area, &kTextNormal, &kShadowNormal, &shown);
    t.m_fDispNum = -1.0f;
    return 1;
}

int SELECT_WINDOW_AGG::AppearWindow(int32_t index, uint32_t start, uint32_t duration) {
    if (!m_bInit) {
        Log(m_pKUSys, "AppearWindow", "初期化されていません");
        return -1;
    }
    if (index < -1 || (index >= 0 && static_cast<uint32_t>(index) >= m_dwCount)) {
        Log(m_pKUSys, "AppearWindow", "指定ウィンドウが不正です");
        return -1;
    }
    int result = 1;
    for (uint32_t i = 0; i < m_dwCount; ++i) {
        if (index >= 0 && static_cast<uint32_t>(index) != i)
            continue;
        const int r = m_pWindow[i].AppearWindow(start, duration);
        if (r == -1)
            Log(m_pKUSys, "AppearWindow", "ウィンドウの出現に失敗しました");
        else if (r == 0)
            result = 0;
    }
    return result;
}

bool SELECT_WINDOW_AGG::FadeOut(int32_t index, bool* done) {
    const int r = m_pWindow[index].DisappearWindow(m_dwDisappearStart, kFadeOutTime);
    if (r == -1) {
        Log(m_pKUSys, "DisappearWindow", "ウィンドウの消去に失敗しました");
        return false;
    }
    *done = *done && r == 1;
    return true;
}

int SELECT_WINDOW_AGG::DisappearWindow() {
    if (!m_bInit) {
        Log(m_pKUSys, "DisappearWindow", "初期化されていません");
        return -1;
    }
    const uint32_t now = static_cast<uint32_t>(m_pKUSys->GetTime());
    switch (m_dwDisappearPhase) {
        case 0:
            if (m_nSelect < 0 || static_cast<uint32_t>(m_nSelect) >= m_dwCount) {
                Log(m_pKUSys, "DisappearWindow", "ウィンドウが選択されずに呼び出されました");
                return -1;
            }
            m_dwDisappearStart = now;
            m_dwDisappearPhase = 1;
            return 0;
        case 1: {
            bool done = true, failed = false;
            for (uint32_t i = 0; i < m_dwCount; ++i)
                if (static_cast<int32_t>(i) != m_nSelect && !FadeOut(static_cast<int32_t>(i), &done))
                    failed = true;
            if (failed)
                return -1;
            if (done) {
                m_dwDisappearStart = now;
                m_dwDisappearPhase = 2;
            }
            return 0;
        }
        case 2:
            if (now - m_dwDisappearStart > kChosenHoldTime) {
                m_dwDisappearStart = now;
                m_dwDisappearPhase = 3;
            }
            return 0;
        default: {
            // A set restored from a save in its closing steps has no choice
            // on record: there is no window to fade.
            if (m_nSelect < 0 || static_cast<uint32_t>(m_nSelect) >= m_dwCount) {
                Log(m_pKUSys, "DisappearWindow", "ウィンドウが選択されずに呼び出されました");
                return -1;
            }
            bool done = true;
            if (!FadeOut(m_nSelect, &done))
                return -1;
            if (!done)
                return 0;
            m_dwDisappearPhase = 0;
            return 1;
        }
    }
}

int SELECT_WINDOW_AGG::HitCheck() {
    if (!m_bInit) {
        Log(m_pKUSys, "HitCheck", "初期化されていません");
        return -1;
    }
    int32_t hit = -1;
    for (uint32_t i = 0; i < m_dwCount && hit < 0; ++i)
        if (m_pWindow[i].HitCheck() == 1)
            hit = static_cast<int32_t>(i);
    if (hit == m_nSelect)
        return hit;
    if (hit >= 0) {
        m_fPulse = 0.0f;
        if (!SEPlay(m_pKUSnd, m_pKUSys, kSeCursorOn, 0))
            Log(m_pKUSys, "HitCheck", "SEの再生に失敗しました");
        SetColors(hit, kTextHover, kShadowHover);
    }
    if (m_nSelect >= 0 && static_cast<uint32_t>(m_nSelect) < m_dwCount)
        SetColors(m_nSelect, kTextNormal, kShadowNormal);
    m_nSelect = hit;
    return hit;
}

int SELECT_WINDOW_AGG::DrawProc() {
    // The adventure draws the set every frame, chosen or not: a cleared set
    // is quiet about it.
    if (!m_bActive)
        return 1;
    if (!m_bInit) {
        Log(m_pKUSys, "DrawProc", "初期化されていません");
        return 0;
    }
    int result = 1;
    for (uint32_t i = 0; i < m_dwCount; ++i) {
        SELECT_WINDOW& w = m_pWindow[i];
        float scale = 1.0f, dx = 0.0f, dy = 0.0f;
        if (static_cast<int32_t>(i) == m_nSelect) {
            scale = 1.0f + kPulseDepth * (std::sin(m_fPulse) + 1.0f);
            const float fw = static_cast<float>(w.FrameSource().right - w.FrameSource().left);
            const float fh = static_cast<float>(w.FrameSource().bottom - w.FrameSource().top);
            dx = (fw - fw * scale) / 2.0f;
            dy = (fh - fh * scale) / 2.0f;
        }
        for (GRAPHIC_DATA* g : {&w.m_Frame, &w.m_Back})
            g->m_fScaleX = g->m_fScaleY = scale;
        if (!w.DrawProc(dx, dy)) {
            Log(m_pKUSys, "DrawProc", "選択肢ウィンドウの描画に失敗しました");
            result = 0;
        }
    }
    m_fPulse += kPulseStep;
    return result;
}
