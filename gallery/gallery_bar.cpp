#include "gallery/gallery_bar.h"

#include <string>

#include "game/game_settings.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/shell_services.h"
#include "modes/mode_common.h"
#include "platform/debug_out.h"

namespace {

constexpr int kVolumeMax = 10;
unsigned* const kVolumes[3] = {&g_dwSEVolume, &g_dwVoiceVolume, &g_dwBGMVolume};

bool AllAtMax() {
    for (unsigned* v : kVolumes)
        if (*v < static_cast<unsigned>(kVolumeMax))
            return false;
    return true;
}

bool AllAtZero() {
    for (unsigned* v : kVolumes)
        if (*v != 0)
            return false;
    return true;
}

// Offset and normal look of each button; the hit rectangle is the look's size
// at the offset, hover lies 224 to the right, pressed 116 below, disabled both.
constexpr int kLayout[GALLERY_BAR::kButtonCount][6] = {
    {112, 3, 72, 116, 72, 24},   {44, 3, 0, 116, 72, 24},     {44, 89, 0, 140, 72, 24},   {70, 20, 112, 164, 56, 40},
    {15, 26, 0, 164, 56, 64},    {125, 26, 56, 164, 56, 64},  {70, 55, 168, 164, 56, 40}, {112, 89, 72, 140, 72, 24},
    {208, 35, 144, 116, 16, 24}, {208, 55, 160, 116, 16, 24},
};

} // namespace

GALLERY_BAR::GALLERY_BAR(const char* tag)
    : m_pKUSprite(nullptr), m_pKUSnd(nullptr), m_pKUSys(nullptr), m_bInit(0), m_pszTag(tag) {
    Clear();
}

void GALLERY_BAR::Log(const char* op, const char* text) const {
    const std::string where = std::string(m_pszTag) + "::" + op;
    modes::ErrorPrint(m_pKUSys, where.c_str(), text);
}

int GALLERY_BAR::Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, int slot, int wl, int wt, int wr, int wb,
                            float x, float y, int pl, int pt, int pr, int pb, float panelX, float panelY,
                            float panelFactor) {
    Clear();
    const char* missing = !sys      ? "KUSYSTEMクラスポインタが不正です"
                          : !sprite ? "KUSPRITE2クラスポインタが不正です"
                          : !snd    ? "KUSNDクラスポインタが不正です"
                          : slot < 0 || static_cast<uint32_t>(slot) >= sprite->GetGraphicDataBufferNum()
                              ? "ウィンドウインデックスナンバーが不正です"
                              : nullptr;
    if (missing) {
        const std::string line = std::string("Error: <") + m_pszTag + "::Initialize> " + missing + "\n";
        plat::DebugOut(line.c_str());
        return 0;
    }
    m_pKUSys = sys;
    m_pKUSprite = sprite;
    m_pKUSnd = snd;
    m_nSlot = slot;
    m_rcWindow = KURECT{wl, wt, wr, wb};
    m_rcPanel = KURECT{pl, pt, pr, pb};
    m_fX = x;
    m_fY = y;
    m_fPanelX = panelX;
    m_fPanelY = panelY;
    m_fPanelFactor = panelFactor;
    m_bInit = 1;
    return 1;
}

void GALLERY_BAR::Clear() {
    m_bVisible = 0;
    for (CTRL_WND_OBJ& b : m_Button)
        b.Clear();
    m_fX = m_fY = m_fPanelX = m_fPanelY = m_fAlpha = m_fPanelFactor = 0.0f;
    m_nSlot = -1;
    m_rcWindow = m_rcPanel = KURECT{0, 0, 0, 0};
    m_nLastHover = 0;
    m_pKUSprite = nullptr;
    m_pKUSnd = nullptr;
    m_pKUSys = nullptr;
    m_bInit = 0;
}

int GALLERY_BAR::SetButton(const CTRL_WND_OBJ* load, const CTRL_WND_OBJ* save, const CTRL_WND_OBJ* config,
                           const CTRL_WND_OBJ* play, const CTRL_WND_OBJ* back, const CTRL_WND_OBJ* next,
                           const CTRL_WND_OBJ* stop, const CTRL_WND_OBJ* hide, const CTRL_WND_OBJ* volumeUp,
                           const CTRL_WND_OBJ* volumeDown) {
    if (!m_bInit) {
        Log("SetButton", "初期化されていません");
        return 0;
    }
    const CTRL_WND_OBJ* given[kButtonCount] = {load, save, config, play, back, next, stop, hide, volumeUp, volumeDown};
    static const char* const kMissing[kButtonCount] = {"ロードボタンが不正です",
                                                       "セーブボタンが不正です",
                                                       "コンフィグボタンが不正です",
                                                       "再生ボタンが不正です",
                                                       "BACKボタンが不正です",
                                                       "NEXTボタンが不正です",
                                                       "FFボタンが不正です",
                                                       "ウィンドウ消去ボタンが不正です",
                                                       "ボリュームアップボタンが不正です",
                                                       "ボリュームダウンボタンが不正です"};
    for (int i = 0; i < kButtonCount; ++i) {
        if (!given[i]) {
            Log("SetButton", kMissing[i]);
            return 0;
        }
        m_Button[i] = *given[i];
    }
    return 1;
}

int GALLERY_BAR::BuildStandardButtons(const char* tag) {
    // Built in the order the view has always built them; the words name them in the log line.
    static const int kOrder[kButtonCount] = {kSave, kLoad, kConfig, kHide,     kBack,
                                             kNext, kStop, kPlay,   kVolumeUp, kVolumeDown};
    static const char* const kWord[kButtonCount] = {"ロード",     "セーブ",    "コンフィグ", "オートスキップ",
                                                    "BACK",       "NEXT",      "FF",         "ウィンドウ消去",
                                                    "音量アップ", "音量ダウン"};
    CTRL_WND_OBJ b[kButtonCount];
    for (int i : kOrder) {
        const int* r = kLayout[i];
        const KURECT hit{r[0], r[1], r[0] + r[4], r[1] + r[5]};
        const KURECT look{r[2], r[3], r[2] + r[4], r[3] + r[5]};
        const KURECT hover{look.left + 224, look.top, look.right + 224, look.bottom};
        const KURECT pressed{look.left, look.top + 116, look.right, look.bottom + 116};
        const KURECT disabled{hover.left, pressed.top, hover.right, pressed.bottom};
        if (b[i].Initialize(this, m_pKUSprite, m_pKUSys, m_nSlot, static_cast<float>(r[0]), static_cast<float>(r[1]),
                            &hit, &look, &hover, &pressed, &disabled) != 1) {
            const std::string text =
                std::string("コントローラーウィンドウの") + kWord[i] + "ボタンの初期化に失敗しました";
            modes::ErrorPrint(m_pKUSys, tag, text.c_str());
            return 0;
        }
    }
    if (SetButton(&b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7], &b[8], &b[9]) != 1) {
        modes::ErrorPrint(m_pKUSys, tag, "コントロールウィンドウへのボタンのセットに失敗しました");
        return 0;
    }
    return 1;
}

int GALLERY_BAR::DrawProc() {
    if (!m_bInit) {
        Log("DrawProc", "初期化されていません");
        return 0;
    }
    if (!m_bVisible)
        return 1;
    if (m_rcPanel.left < m_rcPanel.right && m_rcPanel.top < m_rcPanel.bottom) {
        const uint32_t c = modes::AlphaColor(m_fAlpha * m_fPanelFactor);
        if (m_pKUSprite->D3DXDrawGraphic(m_nSlot, m_fX + m_fPanelX, m_fY + m_fPanelY, kDrawTypeAuto, 0, &m_rcPanel,
                                         1.0f, 1.0f, &c, 0) < 0) {
            Log("DrawProc", "ウィンドウの描画に失敗しました");
            return 0;
        }
    }
    const bool whole = m_rcWindow.left == 0 && m_rcWindow.top == 0 && m_rcWindow.right == 0 && m_rcWindow.bottom == 0;
    const uint32_t c = modes::AlphaColor(m_fAlpha);
    if (m_pKUSprite->D3DXDrawGraphic(m_nSlot, m_fX, m_fY, kDrawTypeAuto, 0, whole ? nullptr : &m_rcWindow, 1.0f, 1.0f,
                                     &c, 0) < 0) {
        Log("DrawProc", "ウィンドウの描画に失敗しました");
        return 0;
    }
    static const char* const kDrawFailed[kButtonCount] = {
        "ロードボタンの描画に失敗しました",           "セーブボタンの描画に失敗しました",
        "コンフィグボタンの描画に失敗しました",       "オートスキップボタンの描画に失敗しました",
        "履歴戻るボタンの描画に失敗しました",         "履歴次へボタンの描画に失敗しました",
        "早送りボタンの描画に失敗しました",           "ウィンドウ消去ボタンの描画に失敗しました",
        "ボリュームアップボタンの描画に失敗しました", "ボリュームダウンボタンの描画に失敗しました"};
    for (int i = 0; i < kButtonCount; ++i)
        if (m_Button[i].m_bInit && m_Button[i].DrawProc(m_fX, m_fY) != 1)
            Log("DrawProc", kDrawFailed[i]);
    return 1;
}

int GALLERY_BAR::FrameStart(int* action, const void* owner) {
    if (!m_bInit) {
        Log("MainProc", "初期化されていません");
        return 0;
    }
    if (!action) {
        Log("MainProc", "アクションボタンポインタが不正です");
        return 0;
    }
    if (!owner) {
        Log("MainProc", "アドベンチャーデータポインタが不正です");
        return 0;
    }
    if (!m_bVisible)
        return -1;
    *action = kActNone;
    return 1;
}

int GALLERY_BAR::Step(int button, int key, int altKey, int click, int* hovered, int* action, bool active, bool* held) {
    CTRL_WND_OBJ& b = m_Button[button];
    const int code = button + 1;
    *held = false;
    if (!active) {
        b.m_nState = CTRL_WND_OBJ::kNormal;
        return 0;
    }
    int keyState = m_pKUSys->GetKeyState(key);
    if (keyState == 0 && altKey > 0)
        keyState = m_pKUSys->GetKeyState(altKey);
    int due = 0;
    if (keyState == 3) {
        *action = code;
        due = 1;
    } else if (keyState == 1 || keyState == 2) {
        *held = true;
        b.m_nState = CTRL_WND_OBJ::kPressed;
    }
    if (*action == code)
        return due;
    if (*hovered == 0 && b.HitCheck(m_fX, m_fY) == 1) {
        *hovered = code;
        if (click == 3) {
            *action = code;
            due = 1;
        }
        b.m_nState = (click == 1 || click == 2 || *held) ? CTRL_WND_OBJ::kPressed : CTRL_WND_OBJ::kHover;
    } else {
        b.m_nState = *held ? CTRL_WND_OBJ::kPressed : CTRL_WND_OBJ::kNormal;
    }
    return due;
}

void GALLERY_BAR::VolumeButtons(int click, int* hovered, int* action, int pushSe) {
    static const int kKeys[2][2] = {{107, 187}, {109, 189}};
    for (int button : {kVolumeUp, kVolumeDown}) {
        CTRL_WND_OBJ& b = m_Button[button];
        if (!b.m_bInit)
            continue;
        const bool disabled = b.m_nState == CTRL_WND_OBJ::kDisabled;
        const int* keys = kKeys[button - kVolumeUp];
        int keyState = m_pKUSys->GetKeyState(keys[0]);
        if (keyState == 0)
            keyState = m_pKUSys->GetKeyState(keys[1]);
        // A disabled button still takes the hover but a click does nothing.
        const int effectiveClick = disabled && keyState != 3 ? 0 : click;
        bool held = false;
        int due = Step(button, keys[0], keys[1], effectiveClick, hovered, action, true, &held);
        if (disabled && !due && !held) {
            b.m_nState = CTRL_WND_OBJ::kDisabled;
            continue;
        }
        if (!due)
            continue;
        if (SEPlay(m_pKUSnd, m_pKUSys, pushSe, 0) != 1)
            Log("MainProc", "SEの再生に失敗しました");
        int (*const apply[3])(KUSND*, KUSYSTEM*, int) = {SESetVolume, VoiceSetVolume, BGM_DS_SetVolume};
        for (int i = 0; i < 3; ++i) {
            unsigned& v = *kVolumes[i];
            if (button == kVolumeUp) {
                if (v + 1 <= static_cast<unsigned>(kVolumeMax)) {
                    ++v;
                    apply[i](m_pKUSnd, m_pKUSys, static_cast<int>(v));
                } else {
                    v = kVolumeMax;
                }
            } else {
                if (v > 0)
                    --v;
                apply[i](m_pKUSnd, m_pKUSys, static_cast<int>(v));
            }
        }
        const int acted = (click == 1 || click == 2 || held) ? CTRL_WND_OBJ::kPressed : CTRL_WND_OBJ::kHover;
        m_Button[kVolumeUp].m_nState = AllAtMax()            ? CTRL_WND_OBJ::kDisabled
                                       : button == kVolumeUp ? acted
                                                             : CTRL_WND_OBJ::kNormal;
        m_Button[kVolumeDown].m_nState = AllAtZero()             ? CTRL_WND_OBJ::kDisabled
                                         : button == kVolumeDown ? acted
                                                                 : CTRL_WND_OBJ::kNormal;
    }
}

void GALLERY_BAR::EndFrame(int hovered, int hoverSe) {
    if (hovered == m_nLastHover)
        return;
    m_nLastHover = hovered;
    if (hovered != 0 && SEPlay(m_pKUSnd, m_pKUSys, hoverSe, 0) != 1)
        Log("MainProc", "SEの再生に失敗しました");
}

int GALLERY_BAR::VolumeLook(int button, int value) {
    if (!value)
        return CTRL_WND_OBJ::kDisabled;
    if (button == kVolumeUp)
        return AllAtMax() ? CTRL_WND_OBJ::kDisabled : CTRL_WND_OBJ::kNormal;
    return AllAtZero() ? CTRL_WND_OBJ::kDisabled : CTRL_WND_OBJ::kNormal;
}
