#include "scene/controller_window.h"

#include <string>

#include "scene/adv_window_state.h"
#include "game/game_settings.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "scene/message_window.h"
#include "game/shell_services.h"
#include "platform/debug_out.h"

namespace {

constexpr KURECT kEmpty = {0, 0, 0, 0};
constexpr int kVkLButton = 1;
constexpr int kVkReturn = 13;
constexpr int kVkSpace = 32;
constexpr uint32_t kVolumeMax = 10;
// A short click steps once when released within this time of the press; a
// hold steps at this interval for the first second, then every 100 ms.
constexpr uint32_t kFirstRepeat = 500;
constexpr uint32_t kSlowPhase = 1000;
constexpr uint32_t kFastRepeat = 100;

// The keys of the keyed buttons: the second is read when the first is up.
struct Keys {
    int first, second;
};
constexpr Keys kKeys[CONTROLLER_WINDOW::kButtonCount] = {
    {76, 0}, {83, 0}, {67, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {32, 87}, {107, 187}, {109, 189},
};

constexpr const char* kButtonWords[CONTROLLER_WINDOW::kButtonCount] = {
    "ロード", "セーブ", "コンフィグ",     "オートスキップ",   "BACK",
    "NEXT",   "FF",     "ウィンドウ消去", "ボリュームアップ", "ボリュームダウン",
};
constexpr const char* kDrawFailures[CONTROLLER_WINDOW::kButtonCount] = {
    "ロードボタンの描画に失敗しました",           "セーブボタンの描画に失敗しました",
    "コンフィグボタンの描画に失敗しました",       "オートスキップボタンの描画に失敗しました",
    "履歴戻るボタンの描画に失敗しました",         "履歴次へボタンの描画に失敗しました",
    "早送りボタンの描画に失敗しました",           "ウィンドウ消去ボタンの描画に失敗しました",
    "ボリュームアップボタンの描画に失敗しました", "ボリュームダウンボタンの描画に失敗しました",
};

bool IsEmpty(const KURECT& rc) { return rc.left >= rc.right || rc.top >= rc.bottom; }
float ClampUnit(float v) { return v > 1.0f ? 1.0f : v > 0.0f ? v : 0.0f; }
uint32_t AlphaWhite(float alpha) { return static_cast<uint32_t>(ClampUnit(alpha) * 255.0f) << 24 | 0x00FFFFFFu; }
bool Held(int state) { return state == 1 || state == 2; }

float FadeRatio(uint32_t start, uint32_t now, uint32_t duration) {
    if (duration == 0)
        return 1.0f;
    const double elapsed = static_cast<double>(static_cast<int64_t>(now) - static_cast<int64_t>(start));
    return static_cast<float>(elapsed / static_cast<double>(duration));
}

unsigned* const kVolumes[3] = {&g_dwSEVolume, &g_dwVoiceVolume, &g_dwBGMVolume};

bool AllVolumesAtLeast(unsigned v) {
    for (unsigned* p : kVolumes)
        if (*p < v)
            return false;
    return true;
}
bool AllVolumesZero() {
    for (unsigned* p : kVolumes)
        if (*p != 0)
            return false;
    return true;
}

} // namespace

CONTROLLER_WINDOW::CONTROLLER_WINDOW()
    : m_pKUSprite(nullptr), m_pKUSnd(nullptr), m_pKUSys(nullptr), m_pMsgWnd(nullptr), m_bInit(0), m_nSlot(-1) {
    Clear();
}

CONTROLLER_WINDOW::~CONTROLLER_WINDOW() { Clear(); }

void CONTROLLER_WINDOW::Log(const char* op, const char* text) const {
    const std::string line = std::string("Error: <CONTROLLER_WINDOW::") + op + "> " + text + "\n";
    if (m_pKUSys)
        m_pKUSys->TracePrint(line.c_str());
    else
        plat::DebugOut(line.c_str());
}

void CONTROLLER_WINDOW::Clear() {
    m_bVisible = 0;
    m_bSkipHold = 0;
    for (CTRL_WND_OBJ& b : m_Button)
        b.Clear();
    m_dwBackPress = m_dwNextPress = m_dwBackStep = m_dwNextStep = 0;
    m_fX = m_fY = m_fBackX = m_fBackY = 0.0f;
    m_fAlpha = m_fBackFactor = 0.0f;
    if (m_bInit) {
        GraphicUnload(m_pKUSprite, m_pKUSys, m_nSlot);
        SEUnload(m_pKUSnd, m_pKUSys, kSeCursorOn);
        SEUnload(m_pKUSnd, m_pKUSys, kSePush);
    }
    m_nSlot = -1;
    m_rcFrame = m_rcBack = kEmpty;
    m_nHover = 0;
    m_bAutoSkip = g_bAutoSkip ? 1 : 0;
    m_dwAutoSkipSpeed = g_dwAutoSkipSpeed;
    m_pKUSprite = nullptr;
    m_pKUSnd = nullptr;
    m_pKUSys = nullptr;
    m_pMsgWnd = nullptr;
    m_bInit = 0;
    m_bSkipOneClick = 0;
    m_bSaveLoadOff = 0;
    m_bPointerRests = 0;
    m_nRestX = m_nRestY = 0;
}

int CONTROLLER_WINDOW::Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, MESSAGE_WINDOW* msgWnd, int slot,
                                  KURECT frameSrc, float x, float y, KURECT backSrc, float backX, float backY,
                                  float backFactor) {
    Clear();
    if (!sys) {
        Log("Initialize", "KUSYSTEMクラスポインタが不正です");
        return 0;
    }
    m_pKUSys = sys;
    const char* missing = !sprite ? "KUSPRITE2クラスポインタが不正です"
                          : !snd  ? "KUSNDクラスポインタが不正です"
                                  : nullptr;
    if (!missing && !msgWnd)
        Log("Initialize", "MESSAGE_WINDOWクラスポインタが不正です");
    if (!missing && (slot < 0 || static_cast<uint32_t>(slot) >= sprite->GetGraphicDataBufferNum()))
        missing = "ウィンドウインデックスナンバーが不正です";
    if (missing) {
        Log("Initialize", missing);
        m_pKUSys = nullptr;
        return 0;
    }
    if (!GraphicLoad(sprite, sys, slot)) {
        Log("Initialize", "画像のロードに失敗しました");
        m_pKUSys = nullptr;
        return 0;
    }
    if (!SELoad(snd, sys, kSeCursorOn, nullptr) || !SELoad(snd, sys, kSePush, nullptr)) {
        Log("Initialize", "ウィンドウ周りのサウンドのロードに失敗しました");
        GraphicUnload(sprite, sys, slot);
        SEUnload(snd, sys, kSeCursorOn);
        m_pKUSys = nullptr;
        return 0;
    }
    m_pKUSprite = sprite;
    m_pKUSnd = snd;
    m_pMsgWnd = msgWnd;
    m_nSlot = slot;
    m_rcFrame = frameSrc;
    m_fX = x;
    m_fY = y;
    m_rcBack = backSrc;
    m_fBackX = backX;
    m_fBackY = backY;
    m_fBackFactor = backFactor;
    m_bInit = 1;
    return 1;
}

int CONTROLLER_WINDOW::SetButton(const CTRL_WND_OBJ* load, const CTRL_WND_OBJ* save, const CTRL_WND_OBJ* config,
                                 const CTRL_WND_OBJ* autoSkip, const CTRL_WND_OBJ* back, const CTRL_WND_OBJ* next,
                                 const CTRL_WND_OBJ* ff, const CTRL_WND_OBJ* hide, const CTRL_WND_OBJ* volumeUp,
                                 const CTRL_WND_OBJ* volumeDown) {
    if (!m_bInit) {
        Log("SetButton", "初期化されていません");
        return 0;
    }
    const CTRL_WND_OBJ* given[kButtonCount] = {load, save, config, autoSkip, back,
                                               next, ff,   hide,   volumeUp, volumeDown};
    for (int b = 0; b < kButtonCount; ++b) {
        if (!given[b]) {
            Log("SetButton", (std::string(kButtonWords[b]) + "ボタンが不正です").c_str());
            return 0;
        }
        m_Button[b] = *given[b];
    }
    return 1;
}

int CONTROLLER_WINDOW::DispWindow() {
    if (!m_bInit) {
        Log("DispWindow", "初期化されていません");
        return 0;
    }
    m_bVisible = 1;
    return 1;
}

int CONTROLLER_WINDOW::HideWindow() {
    if (!m_bInit) {
        Log("HideWindow", "初期化されていません");
        return 0;
    }
    m_bVisible = 0;
    return 1;
}

int CONTROLLER_WINDOW::AppearWindow(uint32_t start, uint32_t duration) {
    if (!m_bInit) {
        Log("AppearWindow", "初期化されていません");
        return -1;
    }
    const float a = FadeRatio(start, static_cast<uint32_t>(m_pKUSys->GetTime()), duration);
    m_fAlpha = ClampUnit(a);
    return a >= 1.0f ? 1 : 0;
}

int CONTROLLER_WINDOW::DisappearWindow(uint32_t start, uint32_t duration) {
    if (!m_bInit) {
        Log("DisappearWindow", "初期化されていません");
        return -1;
    }
    const float a = 1.0f - FadeRatio(start, static_cast<uint32_t>(m_pKUSys->GetTime()), duration);
    m_fAlpha = ClampUnit(a);
    return a <= 0.0f ? 1 : 0;
}

int CONTROLLER_WINDOW::RestingLook(int button) const {
    const int cursor = m_pMsgWnd ? m_pMsgWnd->m_nHistoryCursor : -1;
    const bool cursorValid = m_pMsgWnd && cursor >= -1 && cursor < MESSAGE_WINDOW::kHistoryCount;
    switch (button) {
        case kAutoSkip: return m_bAutoSkip ? 2 : 0;
        // Load and save rest enabled: with them disabled a player could never
        // reach the save and load screens from the story.
        case kLoad:
        case kSave: return m_bSaveLoadOff ? -1 : 0;
        case kConfig:
        case kHide: return 0;
        case kBack:
            return cursorValid && cursor < MESSAGE_WINDOW::kHistoryCount - 1 &&
                           m_pMsgWnd->m_History[cursor + 1].m_szText[0] != '\0'
                       ? 0
                       : -1;
        case kNext:
        case kFF: return cursorValid && cursor != -1 ? 0 : -1;
        case kVolumeUp: return AllVolumesAtLeast(kVolumeMax) ? -1 : 0;
        case kVolumeDown: return AllVolumesZero() ? -1 : 0;
        default: return -1;
    }
}

void CONTROLLER_WINDOW::DisableSaveLoad() {
    m_bSaveLoadOff = 1;
    for (int b : {kLoad, kSave})
        m_Button[b].m_nState = -1;
}

int CONTROLLER_WINDOW::SetDefaultButtonStatus() {
    if (!m_bInit) {
        Log("SetDefaultButtonStatus", "初期化されていません");
        return 0;
    }
    for (int b = 0; b < kButtonCount; ++b)
        if (m_Button[b].m_bInit)
            m_Button[b].m_nState = RestingLook(b);
    return 1;
}

int CONTROLLER_WINDOW::SetDefaultButtonStatus(const int* load, const int* save, const int* config, const int* autoSkip,
                                              const int* back, const int* next, const int* ff, const int* hide,
                                              const int* volumeUp, const int* volumeDown) {
    if (!m_bInit) {
        Log("SetDefaultButtonStatus", "初期化されていません");
        return 0;
    }
    const int* flags[kButtonCount] = {load, save, config, autoSkip, back, next, ff, hide, volumeUp, volumeDown};
    for (int b = 0; b < kButtonCount; ++b)
        if (m_Button[b].m_bInit && flags[b])
            m_Button[b].m_nState = *flags[b] ? RestingLook(b) : -1;
    return 1;
}

int CONTROLLER_WINDOW::ClickState() const {
    const int state = m_pKUSys->GetKeyState(kVkLButton);
    return state ? state : m_pKUSys->GetKeyState(kVkReturn);
}

bool CONTROLLER_WINDOW::PagingStep(uint32_t* press, uint32_t* step, uint32_t now, int click) const {
    if (*press == 0)
        *press = *step = now;
    if (Held(click)) {
        const uint32_t interval = now - *press < kSlowPhase ? kFirstRepeat : kFastRepeat;
        if (now - *step < interval)
            return false;
        *step = now;
        return true;
    }
    return click == 3 && now - *press < kFirstRepeat;
}

// Shows history entry `cursor` in grey, whole.
int CONTROLLER_WINDOW::ShowEntry(const char* op, int cursor) {
    if (!m_pMsgWnd->SetText(&m_pMsgWnd->m_History[cursor], m_pMsgWnd->m_TextArea.m_dwAntiAlias)) {
        Log(op, "テキストのセットに失敗しました");
        return 0;
    }
    m_pMsgWnd->SetTextLook(MESSAGE_WINDOW::kColorHistory, -1.0f);
    return 1;
}

int CONTROLLER_WINDOW::BackButtonProc() {
    if (!m_bInit) {
        Log("BackButtonProc", "初期化されていません");
        return -1;
    }
    if (!m_pMsgWnd) {
        Log("BackButtonProc", "MESSAGE_WINDOWクラスポインタが不正です");
        return 0;
    }
    if (m_dwBackPress == 0)
        m_bSkipHold = 1;
    if (!PagingStep(&m_dwBackPress, &m_dwBackStep, static_cast<uint32_t>(m_pKUSys->GetTime()), ClickState()))
        return 1;
    int& cursor = m_pMsgWnd->m_nHistoryCursor;
    const int old = cursor;
    cursor = cursor < 0 || cursor >= MESSAGE_WINDOW::kHistoryCount ? m_pMsgWnd->NewestHistoryIndex() : cursor - 1;
    m_Button[kNext].m_nState = 0;
    m_Button[kFF].m_nState = 0;
    if (cursor < 1) {
        cursor = 0;
        m_Button[kBack].m_nState = -1;
    }
    if (cursor == old)
        return 1;
    SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
    return ShowEntry("BackButtonProc", cursor);
}

int CONTROLLER_WINDOW::NextButtonProc() {
    if (!m_bInit) {
        Log("NextButtonProc", "初期化されていません");
        return -1;
    }
    if (!m_pMsgWnd) {
        Log("NextButtonProc", "MESSAGE_WINDOWクラスポインタが不正です");
        return 0;
    }
    int& cursor = m_pMsgWnd->m_nHistoryCursor;
    if (cursor < 0 || cursor >= MESSAGE_WINDOW::kHistoryCount) {
        m_bSkipHold = 1;
        m_Button[kNext].m_nState = -1;
        m_Button[kFF].m_nState = -1;
        return 1;
    }
    if (m_dwNextPress == 0)
        m_bSkipHold = 1;
    if (!PagingStep(&m_dwNextPress, &m_dwNextStep, static_cast<uint32_t>(m_pKUSys->GetTime()), ClickState()))
        return 1;
    const int old = cursor;
    cursor = cursor + 1 > m_pMsgWnd->NewestHistoryIndex() ? -1 : cursor + 1;
    if (cursor == old)
        return 1;
    SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
    m_Button[kBack].m_nState = 0;
    if (cursor != -1)
        return ShowEntry("NextButtonProc", cursor);
    m_bSkipHold = 1;
    m_Button[kNext].m_nState = -1;
    m_Button[kFF].m_nState = -1;
    if (!m_pMsgWnd->SetText(&m_pMsgWnd->m_Current, m_pMsgWnd->m_TextArea.m_dwAntiAlias)) {
        Log("NextButtonProc", "テキストのセットに失敗しました");
        return 0;
    }
    m_pMsgWnd->SetTextLook(MESSAGE_WINDOW::kColorCurrent, -1.0f);
    return 1;
}

int CONTROLLER_WINDOW::FFButtonProc() {
    if (!m_bInit) {
        Log("FFButtonProc", "初期化されていません");
        return -1;
    }
    if (!m_pMsgWnd) {
        Log("FFButtonProc", "MESSAGE_WINDOWクラスポインタが不正です");
        return 0;
    }
    if (ClickState() != 3)
        return 1;
    m_pMsgWnd->m_nHistoryCursor = -1;
    m_bSkipHold = 1;
    m_Button[kBack].m_nState = 0;
    m_Button[kNext].m_nState = -1;
    m_Button[kFF].m_nState = -1;
    if (!m_pMsgWnd->SetText(&m_pMsgWnd->m_History[m_pMsgWnd->NewestHistoryIndex()],
                            m_pMsgWnd->m_TextArea.m_dwAntiAlias)) {
        Log("FFButtonProc", "テキストのセットに失敗しました");
        return 0;
    }
    m_pMsgWnd->SetTextLook(MESSAGE_WINDOW::kColorCurrent, -1.0f);
    return 1;
}

int CONTROLLER_WINDOW::DrawProc() {
    if (!m_bInit) {
        Log("DrawProc", "初期化されていません");
        return 0;
    }
    if (!m_bVisible)
        return 1;
    if (!IsEmpty(m_rcBack)) {
        const uint32_t colour = AlphaWhite(ClampUnit(m_fAlpha) * m_fBackFactor);
        if (m_pKUSprite->D3DXDrawGraphic(static_cast<uint32_t>(m_nSlot), m_fX + m_fBackX, m_fY + m_fBackY,
                                         kDrawTypeAuto, 0, &m_rcBack, 1.0f, 1.0f, &colour, 0) < 0) {
            Log("DrawProc", "ウィンドウの描画に失敗しました");
            return 0;
        }
    }
    const uint32_t colour = AlphaWhite(m_fAlpha);
    if (m_pKUSprite->D3DXDrawGraphic(static_cast<uint32_t>(m_nSlot), m_fX, m_fY, kDrawTypeAuto, 0,
                                     IsEmpty(m_rcFrame) ? nullptr : &m_rcFrame, 1.0f, 1.0f, &colour, 0) < 0) {
        Log("DrawProc", "ウィンドウの描画に失敗しました");
        return 0;
    }
    for (int b = 0; b < kButtonCount; ++b)
        if (m_Button[b].m_bInit && !m_Button[b].DrawProc(m_fX, m_fY))
            Log("DrawProc", kDrawFailures[b]);
    return 1;
}

void CONTROLLER_WINDOW::StepVolumes(int up) {
    int (*const apply[3])(KUSND*, KUSYSTEM*, int) = {SESetVolume, VoiceSetVolume, BGM_DS_SetVolume};
    for (int i = 0; i < 3; ++i) {
        unsigned& v = *kVolumes[i];
        if (up) {
            if (v < kVolumeMax) {
                ++v;
                apply[i](m_pKUSnd, m_pKUSys, static_cast<int>(v));
            } else {
                v = kVolumeMax;
            }
        } else {
            v = v > 1 ? v - 1 : 0;
            apply[i](m_pKUSnd, m_pKUSys, static_cast<int>(v));
        }
    }
}

void CONTROLLER_WINDOW::Perform(int button, int* action, ADV_WINDOW_STATE* adv, bool byKey, bool held) {
    switch (button) {
        case kLoad: *action = kActLoad; break;
        case kSave: *action = kActSave; break;
        case kConfig: *action = kActConfig; break;
        case kHide:
            *action = kActHide;
            adv->m_bWindowShown = 0;
            break;
        case kVolumeUp:
        case kVolumeDown: {
            StepVolumes(button == kVolumeUp);
            *action = button == kVolumeUp ? kActVolumeUp : kActVolumeDown;
            const int acted = byKey ? 0 : held ? 2 : 1;
            m_Button[kVolumeUp].m_nState = AllVolumesAtLeast(kVolumeMax) ? -1 : button == kVolumeUp ? acted : 0;
            m_Button[kVolumeDown].m_nState = AllVolumesZero() ? -1 : button == kVolumeDown ? acted : 0;
            break;
        }
        default: break;
    }
}

void CONTROLLER_WINDOW::KeyedButton(int button, int* hovered, int click, int* action, ADV_WINDOW_STATE* adv) {
    CTRL_WND_OBJ& b = m_Button[button];
    int key = m_pKUSys->GetKeyState(kKeys[button].first);
    if (key == 0 && kKeys[button].second)
        key = m_pKUSys->GetKeyState(kKeys[button].second);
    if (key == 3) {
        SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
        b.m_nState = 0;
        Perform(button, action, adv, true, false);
        return;
    }
    const bool keyHeld = Held(key);
    if (*hovered == 0 && PointerOn(b)) {
        *hovered = button + 1;
        if (m_nHover != *hovered)
            SEPlay(m_pKUSnd, m_pKUSys, kSeCursorOn, 0);
        if (click == 3) {
            SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
            b.m_nState = keyHeld ? 2 : 1;
            Perform(button, action, adv, false, keyHeld);
        } else {
            b.m_nState = Held(click) || keyHeld ? 2 : 1;
        }
    } else {
        b.m_nState = keyHeld ? 2 : 0;
    }
}

int CONTROLLER_WINDOW::MainProc(int* action, ADV_WINDOW_STATE* adv) {
    if (!m_bInit) {
        Log("MainProc", "初期化されていません");
        return 0;
    }
    if (!action) {
        Log("MainProc", "アクションボタンポインタが不正です");
        return 0;
    }
    *action = kActNone;
    if (!adv) {
        Log("MainProc", "アドベンチャーデータポインタが不正です");
        return 0;
    }
    ForgetMovedPointer();
    if (!m_bVisible || m_fAlpha < 1.0f)
        return 1;
    if (WaitsToShowWindows(adv)) {
        ShowWindowsOnClick(adv);
        m_nHover = 0;
        return 1;
    }
    const int click = ClickState();
    int hovered = 0;
    for (int button = 0; button < kButtonCount; ++button) {
        CTRL_WND_OBJ& b = m_Button[button];
        if (!b.m_bInit)
            continue;
        if (b.m_nState == -1) {
            // A disabled button still owns its area: the click stops here and
            // does nothing, instead of reaching the story underneath.
            if (hovered == 0 && PointerOn(b))
                hovered = button + 1;
            continue;
        }
        if (kKeys[button].first) {
            KeyedButton(button, &hovered, click, action, adv);
            continue;
        }
        const bool over = hovered == 0 && PointerOn(b);
        if (over) {
            hovered = button + 1;
            if (m_nHover != hovered)
                SEPlay(m_pKUSnd, m_pKUSys, kSeCursorOn, 0);
        }
        if (!PointedButton(button, over, click, action))
            return 0;
    }
    EndAutoSkipOnClick(hovered, click);
    m_nHover = hovered;
    return 1;
}

bool CONTROLLER_WINDOW::WaitsToShowWindows(const ADV_WINDOW_STATE* adv) const {
    return m_bInit && adv && m_bVisible && m_fAlpha >= 1.0f && !adv->m_bWindowShown;
}

void CONTROLLER_WINDOW::IgnoreRestingPointer() {
    if (!m_pKUSys)
        return;
    m_pKUSys->GetMousePos(&m_nRestX, &m_nRestY);
    m_bPointerRests = 1;
    m_nHover = 0;
}

void CONTROLLER_WINDOW::ForgetMovedPointer() {
    if (!m_bPointerRests)
        return;
    int x = 0, y = 0;
    m_pKUSys->GetMousePos(&x, &y);
    if (x != m_nRestX || y != m_nRestY)
        m_bPointerRests = 0;
}

bool CONTROLLER_WINDOW::PointerOn(CTRL_WND_OBJ& button) {
    return !m_bPointerRests && button.HitCheck(m_fX, m_fY) == 1;
}

// Hidden windows come back on a click, Enter or Space, and nothing else happens.
void CONTROLLER_WINDOW::ShowWindowsOnClick(ADV_WINDOW_STATE* adv) {
    int click = m_pKUSys->GetKeyState(kVkLButton);
    if (click == 0)
        click = m_pKUSys->GetKeyState(kVkReturn);
    if (click == 0)
        click = m_pKUSys->GetKeyState(kVkSpace);
    if (click == 3) {
        SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
        if (m_Button[kHide].m_bInit)
            m_Button[kHide].m_nState = 0;
        adv->m_bWindowShown = 1;
    }
}

// A pointer-only button under the pointer or not, pressed, held or released; false when paging failed.
bool CONTROLLER_WINDOW::PointedButton(int button, bool over, int click, int* action) {
    CTRL_WND_OBJ& b = m_Button[button];
    switch (button) {
        case kAutoSkip:
            if (!over) {
                b.m_nState = m_bAutoSkip ? 2 : 0;
            } else if (click == 3) {
                SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
                b.m_nState = 1;
                g_bAutoSkip = g_bAutoSkip ? 0 : 1;
                m_bAutoSkip = static_cast<uint32_t>(g_bAutoSkip);
                *action = kActAutoSkip;
            } else {
                b.m_nState = Held(click) ? 2 : 1;
            }
            break;
        case kBack:
        case kNext: {
            uint32_t& press = button == kBack ? m_dwBackPress : m_dwNextPress;
            uint32_t& step = button == kBack ? m_dwBackStep : m_dwNextStep;
            if (!over || !(click == 3 || Held(click))) {
                b.m_nState = over ? 1 : 0;
                press = step = 0;
                break;
            }
            b.m_nState = click == 3 ? 1 : 2;
            const int r = button == kBack ? BackButtonProc() : NextButtonProc();
            if (click == 3)
                *action = button == kBack ? kActBack : kActNext;
            if (r != 1) {
                Log("MainProc", "メッセージ戻しの処理に失敗しました");
                return false;
            }
            break;
        }
        case kFF:
            if (!over) {
                b.m_nState = 0;
            } else if (click == 3) {
                SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
                b.m_nState = 2;
                *action = kActFF;
                FFButtonProc();
            } else {
                b.m_nState = Held(click) ? 2 : 1;
            }
            break;
        default: break;
    }
    return true;
}

// A click outside the buttons (and not replaying a voice) ends auto-skip,
// except the first one after the options screen.
void CONTROLLER_WINDOW::EndAutoSkipOnClick(int hovered, int click) {
    const bool voiceHover = m_pMsgWnd && m_pMsgWnd->m_bVoiceHover;
    if (hovered == 0 && !voiceHover && click == 3) {
        if (m_bSkipOneClick) {
            m_bSkipOneClick = 0;
        } else if (g_bAutoSkip || m_bAutoSkip) {
            g_bAutoSkip = 0;
            m_bAutoSkip = 0;
        }
    }
}
