#include "scene/select_window.h"

#include <string>

#include "engine/kusystem.h"
#include "platform/debug_out.h"

namespace {

struct Layout {
    float x, y;
    KURECT frame, back;
};

constexpr Layout kLayout[2] = {
    {142.0f, 174.0f, {0, 0, 516, 68}, {0, 136, 516, 204}},
    {142.0f, 262.0f, {0, 68, 516, 136}, {0, 204, 516, 272}},
};
constexpr KURECT kHit = {0, 0, 516, 68};
// Each picture holds one frame for ever.
constexpr uint32_t kNoTimeLimit = 0xFFFFFFFFu;

} // namespace

SELECT_WINDOW::SELECT_WINDOW() : m_pKUSprite(nullptr), m_pKUSnd(nullptr), m_pKUSys(nullptr) { Clear(); }

SELECT_WINDOW::~SELECT_WINDOW() { Clear(); }

void SELECT_WINDOW::ErrorPrint(const char* method, const char* text) {
    const std::string line = std::string("Error: <SELECT_WINDOW::") + method + "> " + text + "\n";
    if (m_pKUSys)
        m_pKUSys->TracePrint(line.c_str());
    else
        plat::DebugOut(line.c_str());
}

int SELECT_WINDOW::Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, uint32_t number) {
    Clear();
    if (!sys) {
        plat::DebugOut("Error: <SELECT_WINDOW::Initialize> KUSYSTEMクラスポインタが不正です\n");
        return 0;
    }
    if (!sprite) {
        sys->TracePrint("Error: <SELECT_WINDOW::Initialize> KUSPRITE2クラスポインタが不正です\n");
        return 0;
    }
    if (!snd) {
        sys->TracePrint("Error: <SELECT_WINDOW::Initialize> KUSNDクラスポインタが不正です\n");
        return 0;
    }
    if (number != 1 && number != 2) {
        sys->TracePrint("Error: <SELECT_WINDOW::Initialize> ウィンドウナンバーが不正です\n");
        return 0;
    }
    m_pKUSys = sys;
    m_pKUSprite = sprite;
    m_pKUSnd = snd;
    const Layout& l = kLayout[number - 1];
    if (!m_Frame.Initialize(sprite, sys, "SELECT_WND_DATA")) {
        sys->TracePrint("Error: <SELECT_WINDOW::Initialize> ウィンドウフレーム画像の初期化に失敗しました\n");
        return 0;
    }
    if (!m_Back.Initialize(sprite, sys, "SELECT_PTR_DATA")) {
        sys->TracePrint("Error: <SELECT_WINDOW::Initialize> ウィンドウ透過画像の初期化に失敗しました\n");
        return 0;
    }
    if (!m_Frame.SetAnimationData(1, 0)) {
        sys->TracePrint("Error: ウィンドウフレーム画像のアニメーション初期化に失敗しました\n");
        return 0;
    }
    if (!m_Back.SetAnimationData(1, 0)) {
        sys->TracePrint("Error: ウィンドウ透過画像のアニメーション初期化に失敗しました\n");
        return 0;
    }
    if (!m_Frame.SetAnimationFrameData(0, kNoTimeLimit, &l.frame)) {
        sys->TracePrint("Error: ウィンドウフレーム画像のアニメーションセットに失敗しました\n");
        return 0;
    }
    if (!m_Back.SetAnimationFrameData(0, kNoTimeLimit, &l.back)) {
        sys->TracePrint("Error: ウィンドウ透過画像のアニメーションセットに失敗しました\n");
        return 0;
    }
    for (GRAPHIC_DATA* g : {&m_Frame, &m_Back}) {
        g->m_nSlot = static_cast<int32_t>(kGraphicSlot);
        g->m_bColorKey = 0;
        g->m_bShow = 1;
        g->m_fX = l.x;
        g->m_fY = l.y;
    }
    m_Frame.m_fAlpha = 0.0f;
    m_Back.m_fAlpha = kBackAlpha;
    m_rcFrameSrc = l.frame;
    m_rcHit = kHit;
    m_dwNumber = number;
    m_bInit = 1;
    return 1;
}

void SELECT_WINDOW::Clear() {
    m_bInit = 0;
    m_rcHit = KURECT{0, 0, 0, 0};
    m_rcFrameSrc = KURECT{0, 0, 0, 0};
    m_dwNumber = 0;
    m_Frame.Clear();
    m_Frame.m_fAlpha = 0.0f;
    m_Back.Clear();
    m_Text.Clear();
}

int SELECT_WINDOW::Fade(const char* method, uint32_t start, uint32_t duration, bool in) {
    if (!m_bInit) {
        ErrorPrint(method, "初期化されていません");
        return -1;
    }
    const uint32_t now = static_cast<uint32_t>(m_pKUSys->GetTime());
    uint32_t elapsed = now - start;
    if (elapsed > 0x7FFFFFFFu) // a start in the future
        elapsed = 0;
    // A zero duration would divide 0 by 0: it is over at once.
    const float t = elapsed >= duration ? 1.0f : static_cast<float>(elapsed) / static_cast<float>(duration);
    m_Frame.m_fAlpha = in ? t : 1.0f - t;
    if (t >= 1.0f) {
        m_Frame.m_fAlpha = in ? 1.0f : 0.0f;
        return 1;
    }
    return 0;
}

int SELECT_WINDOW::AppearWindow(uint32_t start, uint32_t duration) {
    return Fade("AppearWindow", start, duration, true);
}

int SELECT_WINDOW::DisappearWindow(uint32_t start, uint32_t duration) {
    return Fade("DisappearWindow", start, duration, false);
}

int SELECT_WINDOW::DrawProc(float xOffset, float yOffset) {
    if (!m_bInit) {
        ErrorPrint("DrawProc", "初期化されていません");
        return 0;
    }
    float alpha = m_Frame.m_fAlpha;
    if (!m_Back.DrawProc(&xOffset, &yOffset, &alpha)) {
        m_pKUSys->TracePrint("Error: <SELECT_WINDOW::DrawProc> 選択肢ウィンドウ透過部の描画に失敗しました\n");
        return 0;
    }
    if (!m_Frame.DrawProc(&xOffset, &yOffset, nullptr)) {
        m_pKUSys->TracePrint("Error: <SELECT_WINDOW::DrawProc> 選択肢ウィンドウ本体の描画に失敗しました\n");
        return 0;
    }
    // The text keeps its place while the pictures pulse.
    if (m_Text.m_bInit && !m_Text.DrawProc(&m_Frame.m_fX, &m_Frame.m_fY, &alpha, 0, 0))
        m_pKUSys->TracePrint("Error: <SELECT_WINDOW::DrawProc> メッセージの描画に失敗しました\n");
    return 1;
}

int SELECT_WINDOW::HitCheck() {
    if (!m_bInit) {
        ErrorPrint("HitCheck", "初期化されていません");
        return 0;
    }
    int x = 0, y = 0;
    m_pKUSys->GetMousePos(&x, &y);
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    return fx >= m_Frame.m_fX + m_rcHit.left && fx < m_Frame.m_fX + m_rcHit.right && fy >= m_Frame.m_fY + m_rcHit.top &&
                   fy < m_Frame.m_fY + m_rcHit.bottom
               ? 1
               : 0;
}
