#include "modes/config_mode_data.h"

#include <cstdio>

#include "adv/adv_data.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "engine/virtual_keys.h"
#include "game/game_settings.h"
#include "game/mode_results.h"
#include "game/shell_services.h"
#include "modes/cursor_move.h"
#include "modes/mode_common.h"
#include "platform/debug_out.h"

namespace {

// Items 1..16: draw position, size, source when selected, source otherwise.
struct Cell {
    int x, y, w;
    KURECT selected, normal;
};
constexpr Cell kCells[16] = {
    {385, 174, 64, {0, 24, 64, 48}, {0, 0, 64, 24}},         {469, 174, 112, {64, 24, 176, 48}, {64, 0, 176, 24}},
    {346, 206, 104, {0, 72, 104, 96}, {0, 48, 104, 72}},     {473, 206, 96, {104, 72, 200, 96}, {104, 48, 200, 72}},
    {420, 238, 48, {0, 120, 48, 144}, {0, 96, 48, 120}},     {485, 238, 48, {48, 120, 96, 144}, {48, 96, 96, 120}},
    {550, 238, 48, {96, 120, 144, 144}, {96, 96, 144, 120}}, {419, 300, 32, {0, 168, 32, 192}, {0, 144, 32, 168}},
    {470, 300, 32, {32, 168, 64, 192}, {32, 144, 64, 168}},  {457, 333, 48, {0, 120, 48, 144}, {0, 96, 48, 120}},
    {522, 333, 48, {48, 120, 96, 144}, {48, 96, 96, 120}},   {587, 333, 48, {96, 120, 144, 144}, {96, 96, 144, 120}},
    {442, 363, 40, {176, 24, 216, 48}, {176, 0, 216, 24}},   {508, 363, 72, {216, 24, 288, 48}, {216, 0, 288, 24}},
    {607, 363, 72, {288, 24, 360, 48}, {288, 0, 360, 24}},   {704, 363, 72, {360, 24, 432, 48}, {360, 0, 432, 24}},
};
constexpr int kCellH = 24;
constexpr int kMessageSpeeds[3] = {300, 100, 33};
constexpr int kAutoSkipSpeeds[3] = {1000, 250, 1};
constexpr int kAntiAlias[4] = {0, 1, 2, 4};

constexpr int kBackX = 392, kBackY = 536, kTitleY = 568, kButtonW = 264;
constexpr KURECT kSrcBack = {144, 96, 408, 120}, kSrcBackPushed = {144, 144, 408, 168};
constexpr KURECT kSrcTitle = {144, 120, 408, 144}, kSrcTitlePushed = {144, 168, 408, 192};
constexpr KURECT kSrcYes = {544, 32, 776, 56}, kSrcYesPushed = {544, 80, 776, 104};
constexpr KURECT kSrcNo = {544, 56, 776, 80}, kSrcNoPushed = {544, 104, 776, 128};
constexpr KURECT kSrcWindow = {0, 0, 540, 116};
constexpr KURECT kSrcBackPanel = {0, 116, 540, 232};
constexpr KURECT kSrcWaitIcon = {540, 0, 592, 29};
constexpr float kDialogX = 130.0f, kDialogY = 234.0f;
constexpr float kBackPanelAlpha = 0.8f;
constexpr int kQuestionIndent = 170;
// The question as the script form writes it: backslash and n make the line break.
constexpr char kQuestion[] = "タイトルに戻ります。\\nよろしいですか？";
#ifndef __clang__ // clang (the checker) has no Shift-JIS execution charset
static_assert(sizeof(kQuestion) - 1 == 38, "the question is 38 bytes in Shift-JIS");
#endif
constexpr int kQuestionFontSize = 20;

// Volume rows: 0 sound effects, 1 voices, 2 music.
constexpr int kVolumeY[3] = {426, 458, 489};
int VolumeX(int v) { return v == 0 ? 370 : v == 10 ? 684 : 419 + 29 * (v - 1); }
int VolumeW(int v) { return v == 0 ? 40 : 24; }
KURECT VolumeSource(int v, bool selected) {
    if (v == 0)
        return selected ? KURECT{176, 24, 216, 48} : KURECT{176, 0, 216, 24};
    int left = 200 + 24 * (v - 1);
    return selected ? KURECT{left, 72, left + 24, 96} : KURECT{left, 48, left + 24, 72};
}
// Row (0..2) and value of a volume item, false for other items.
bool VolumeItem(int item, int* row, int* v) {
    for (int r = 0; r < 3; ++r) {
        int base = CONFIG_MODE_DATA::kItemSEBase + 11 * r;
        if (item >= base && item <= base + 10) {
            *row = r;
            *v = item - base;
            return true;
        }
    }
    return false;
}
int VolumeItemOf(int row, int v) { return CONFIG_MODE_DATA::kItemSEBase + 11 * row + v; }

struct Portrait {
    KURECT rc{};
    int first; // first voice number of the five
};
constexpr Portrait kPortraits[6] = {
    {{65, 44, 202, 133}, 1},   {{86, 132, 185, 223}, 6}, {{15, 290, 191, 370}, 11},
    {{93, 523, 135, 600}, 21}, {{27, 553, 90, 600}, 16}, {{141, 555, 214, 600}, 16},
};

// Rows for Left and Right among the cells 1..16 (wrapping).
constexpr int kRows[6][4] = {{1, 2}, {3, 4}, {5, 6, 7}, {8, 9}, {10, 11, 12}, {13, 14, 15, 16}};
constexpr int kRowLen[6] = {2, 2, 3, 2, 3, 4};

bool ConfigMoveTarget(const void* mode, int current, int vk, KURECT* target) {
    auto* self = static_cast<const CONFIG_MODE_DATA*>(mode);
    int to = self->MoveTargetItem(current, vk);
    return to != 0 && self->ItemRect(to, target);
}

} // namespace

CONFIG_MODE_DATA::CONFIG_MODE_DATA()
    : m_bInit(0), m_pKUSys(nullptr), m_pKUSprite(nullptr), m_pKUSnd(nullptr), m_pAdvData(nullptr) {
    Release();
}

CONFIG_MODE_DATA::~CONFIG_MODE_DATA() { Release(); }

int CONFIG_MODE_DATA::Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, ADV_DATA* adv) {
    const char* tag = "CONFIG_MODE_DATA::Initialize";
    Release();
    if (!modes::EnginePointersGiven(sys, sprite, snd, "CONFIG_MODE_DATA::Initialize"))
        return 0;
    m_pKUSys = sys;
    m_pKUSprite = sprite;
    m_pKUSnd = snd;
    m_pAdvData = adv;
    m_nPhase = 0;
    if (!ConfigModeDataLoad()) {
        modes::ErrorPrint(sys, tag, "データのロードに失敗しました");
        return 0;
    }
    if (!GetEnvData()) {
        modes::ErrorPrint(sys, tag, "データの初期値設定に失敗しました");
        return 0;
    }
    m_bInit = 1;
    return 1;
}

void CONFIG_MODE_DATA::Release() {
    ConfigModeDataUnload();
    m_MsgWnd.Clear();
    m_pKUSys = nullptr;
    m_pKUSprite = nullptr;
    m_pKUSnd = nullptr;
    m_pAdvData = nullptr;
    m_nPhase = 0;
    m_dwPhaseStart = 0;
    m_Env = EnvData{0, 16, 100, 0, 250, 4, 5, 5, 5};
    m_nHover = 0;
    m_fFade = 1.0f;
    m_bInit = 0;
}

int CONFIG_MODE_DATA::ConfigModeDataLoad() {
    const char* tag = "CONFIG_MODE_DATA::ConfigModeDataLoad";
    if (!modes::EnginePointersHeld(m_pKUSys, m_pKUSprite, m_pKUSnd, tag))
        return 0;
    for (int slot : {kSlotBG, kSlotFade, kSlotMaterial}) {
        if (!GraphicLoad(m_pKUSprite, m_pKUSys, slot)) {
            modes::ErrorPrint(m_pKUSys, tag, "画像のロードに失敗しました");
            return 0;
        }
    }
    for (int slot : {kSeHover, kSePush, kSeEnd}) {
        if (!SELoad(m_pKUSnd, m_pKUSys, slot, nullptr)) {
            modes::ErrorPrint(m_pKUSys, tag, "SEのロードに失敗しました");
            return 0;
        }
    }
    return 1;
}

int CONFIG_MODE_DATA::ConfigModeDataUnload() {
    if (!m_pKUSys || !m_pKUSprite || !m_pKUSnd)
        return 1;
    const char* tag = "CONFIG_MODE_DATA::ConfigModeDataUnload";
    for (int slot : {kSlotBG, kSlotFade, kSlotMaterial}) {
        if (!GraphicUnload(m_pKUSprite, m_pKUSys, slot))
            modes::ErrorPrint(m_pKUSys, tag, "画像のアンロードに失敗しました");
    }
    for (int slot : {kSeHover, kSePush, kSeEnd}) {
        if (!SEUnload(m_pKUSnd, m_pKUSys, slot))
            modes::ErrorPrint(m_pKUSys, tag, "SEのアンロードに失敗しました");
    }
    return 1;
}

int CONFIG_MODE_DATA::GetEnvData() {
    if (!m_pKUSys || !m_pKUSprite) {
        modes::ErrorPrint(m_pKUSys, "CONFIG_MODE_DATA::GetEnvData", "必要データが確保されていません");
        return 0;
    }
    m_Env.fullScreen = g_bFullScreen;
    m_Env.bpp = static_cast<int>(g_dwScreenBpp);
    m_Env.messageSpeed = static_cast<int>(g_dwMessageSpeed);
    m_Env.autoSkip = g_bAutoSkip;
    m_Env.autoSkipSpeed = static_cast<int>(g_dwAutoSkipSpeed);
    m_Env.antiAlias = static_cast<int>(g_dwAntiAliasLevel);
    m_Env.seVolume = static_cast<int>(g_dwSEVolume);
    m_Env.voiceVolume = static_cast<int>(g_dwVoiceVolume);
    m_Env.bgmVolume = static_cast<int>(g_dwBGMVolume);
    return 1;
}

bool CONFIG_MODE_DATA::ItemRect(int item, KURECT* rc) const {
    int row = 0, v = 0;
    if (item >= 1 && item <= 16) {
        const Cell& c = kCells[item - 1];
        *rc = KURECT{c.x, c.y, c.x + c.w, c.y + kCellH};
        return true;
    }
    if (VolumeItem(item, &row, &v)) {
        *rc = KURECT{VolumeX(v), kVolumeY[row], VolumeX(v) + VolumeW(v), kVolumeY[row] + kCellH};
        return true;
    }
    if (item == kItemBack) {
        *rc = KURECT{kBackX, kBackY, kBackX + kButtonW, kBackY + kCellH};
        return true;
    }
    if (item == kItemTitle && m_pAdvData) {
        *rc = KURECT{kBackX, kTitleY, kBackX + kButtonW, kTitleY + kCellH};
        return true;
    }
    if (item == kItemYes || item == kItemNo) {
        int wx = static_cast<int>(m_MsgWnd.m_fX), wy = static_cast<int>(m_MsgWnd.m_fY);
        int dx = item == kItemYes ? 20 : 288;
        *rc = KURECT{wx + dx, wy + 78, wx + dx + 232, wy + 102};
        return true;
    }
    return false;
}

bool CONFIG_MODE_DATA::IsSelected(int item) const {
    int row = 0, v = 0;
    switch (item) {
        case 1:
        case 2: return m_Env.fullScreen == item - 1;
        case 3: return m_Env.bpp == 24 || m_Env.bpp == 32;
        case 4: return m_Env.bpp == 16;
        case 5:
        case 6:
        case 7: return m_Env.messageSpeed == kMessageSpeeds[item - 5];
        case 8: return m_Env.autoSkip == 1;
        case 9: return m_Env.autoSkip == 0;
        case 10:
        case 11:
        case 12: return m_Env.autoSkipSpeed == kAutoSkipSpeeds[item - 10];
        case 13:
        case 14:
        case 15:
        case 16: return m_Env.antiAlias == kAntiAlias[item - 13];
        default: break;
    }
    if (VolumeItem(item, &row, &v)) {
        const int vol[3] = {m_Env.seVolume, m_Env.voiceVolume, m_Env.bgmVolume};
        return vol[row] == v;
    }
    return false;
}

int CONFIG_MODE_DATA::HitItem(int x, int y) const {
    static constexpr int kOrder[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 15, 16, 13};
    KURECT rc{};
    for (int item : kOrder) {
        if (ItemRect(item, &rc) && modes::RectHit(rc, x, y))
            return item;
    }
    for (int row = 0; row < 3; ++row) {
        for (int v = 0; v <= 10; ++v) {
            if (ItemRect(VolumeItemOf(row, v), &rc) && modes::RectHit(rc, x, y))
                return VolumeItemOf(row, v);
        }
    }
    if (ItemRect(kItemBack, &rc) && modes::RectHit(rc, x, y))
        return kItemBack;
    return 0;
}

int CONFIG_MODE_DATA::MoveTargetItem(int current, int vk) const {
    const bool game = m_pAdvData != nullptr;
    int row = 0, v = 0;
    if (m_nPhase == 5) {
        if (vk != plat::kVkLeft && vk != plat::kVkRight)
            return 0;
        return current == kItemYes ? kItemNo : kItemYes;
    }
    if (current == 0)
        return 1;
    if (vk == plat::kVkLeft || vk == plat::kVkRight) {
        const int step = vk == plat::kVkRight ? 1 : -1;
        if (current == kItemBack || current == kItemTitle)
            return current;
        if (VolumeItem(current, &row, &v))
            return VolumeItemOf(row, (v + step + 11) % 11);
        for (int r = 0; r < 6; ++r) {
            for (int i = 0; i < kRowLen[r]; ++i) {
                if (kRows[r][i] == current)
                    return kRows[r][(i + step + kRowLen[r]) % kRowLen[r]];
            }
        }
        return 0;
    }
    const bool up = vk == plat::kVkUp;
    if (vk != plat::kVkUp && vk != plat::kVkDown)
        return 0;
    if (VolumeItem(current, &row, &v)) {
        if (row == 0) {
            if (!up)
                return VolumeItemOf(1, v);
            return v <= 3 ? 13 : v <= 6 ? 14 : v <= 9 ? 15 : 16;
        }
        if (row == 1)
            return up ? VolumeItemOf(0, v) : VolumeItemOf(2, v);
        return up ? VolumeItemOf(1, v) : kItemBack;
    }
    switch (current) {
        case 1:
        case 2: return up ? (game ? kItemTitle : kItemBack) : current + 2;
        case 3: return up ? 1 : 5;
        case 4: return up ? 2 : 6;
        case 5: return up ? 3 : 8;
        case 6:
        case 7: return up ? 4 : 9;
        case 8: return up ? 5 : 10;
        case 9: return up ? 6 : 10;
        case 10:
        case 11:
        case 12: return up ? 9 : current + 3;
        case 13: return up ? 10 : VolumeItemOf(0, 2);
        case 14: return up ? 11 : VolumeItemOf(0, 5);
        case 15: return up ? 12 : VolumeItemOf(0, 8);
        case 16: return up ? 12 : VolumeItemOf(0, 10);
        case kItemBack: return up ? VolumeItemOf(2, 5) : (game ? kItemTitle : 1);
        case kItemTitle: return up ? kItemBack : 1;
        default: return 0;
    }
}

int CONFIG_MODE_DATA::CursorMoveProc() {
    if (!m_bInit || !m_pKUSys) {
        modes::ErrorPrint(m_pKUSys, "CONFIG_MODE_DATA::CursorMoveProc", "初期化されていません");
        return 0;
    }
    modes::MoveCursorAllKeys(m_pKUSys, this, m_nHover, {plat::kVkUp, plat::kVkDown, plat::kVkLeft, plat::kVkRight},
                             ConfigMoveTarget);
    return 1;
}

void CONFIG_MODE_DATA::SetAntiAlias(int level) {
    m_Env.antiAlias = level;
    if (m_pAdvData)
        m_pAdvData->SetAntiAliasLevel(static_cast<uint32_t>(level));
    const uint32_t aa = static_cast<uint32_t>(level);
    const uint32_t n = m_pKUSprite->GetTextureTextBufferNum();
    for (uint32_t slot = 0; slot < n; ++slot)
        m_pKUSprite->SetTextureTextData(slot, nullptr, nullptr, nullptr, &aa, nullptr, nullptr);
}

void CONFIG_MODE_DATA::CommitAntiAlias() {
    if (g_dwAntiAliasLevel == static_cast<uint32_t>(m_Env.antiAlias))
        return;
    g_dwAntiAliasLevel = static_cast<uint32_t>(m_Env.antiAlias);
    const uint32_t n = m_pKUSprite->GetTextureTextBufferNum();
    for (uint32_t slot = 0; slot < n; ++slot) {
        if (m_pKUSprite->D3DXRestoreTextureText(slot) < 0)
            modes::ErrorPrint(m_pKUSys, "CONFIG_MODE_DATA::MainProc",
                              "グラフィックテキストデータのリストアに失敗しました");
    }
}

void CONFIG_MODE_DATA::ClickItem(int item, uint32_t now) {
    int row = 0, v = 0;
    if (item == kItemBack) {
        SEPlay(m_pKUSnd, m_pKUSys, kSeEnd, 0);
        m_dwPhaseStart = now;
        m_fFade = 0.0f;
        m_nPhase = 8;
        return;
    }
    // Item 3 counts as selected only at 24 or 32 bits, so on a device whose
    // best depth is 16 it acts on every click.
    if (IsSelected(item))
        return;
    if (VolumeItem(item, &row, &v)) {
        if (row == 0) {
            m_Env.seVolume = v;
            g_dwSEVolume = static_cast<unsigned>(v);
            SESetVolume(m_pKUSnd, m_pKUSys, v);
        } else if (row == 1) {
            m_Env.voiceVolume = v;
            g_dwVoiceVolume = static_cast<unsigned>(v);
            VoiceSetVolume(m_pKUSnd, m_pKUSys, v);
        } else {
            m_Env.bgmVolume = v;
            g_dwBGMVolume = static_cast<unsigned>(v);
            BGM_DS_SetVolume(m_pKUSnd, m_pKUSys, v);
        }
        SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
        return;
    }
    SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
    switch (item) {
        case 1:
        case 2:
            m_Env.fullScreen = item - 1;
            ChangeScreenMode(m_Env.fullScreen, 0);
            break;
        case 3: {
            uint32_t best = 0;
            m_pKUSprite->GetScreenMode(nullptr, nullptr, nullptr, &best, nullptr);
            m_Env.bpp = static_cast<int>(best);
            ChangeScreenMode(g_bFullScreen, m_Env.bpp);
            break;
        }
        case 4:
            m_Env.bpp = 16;
            ChangeScreenMode(g_bFullScreen, 16);
            break;
        case 5:
        case 6:
        case 7:
            m_Env.messageSpeed = kMessageSpeeds[item - 5];
            g_dwMessageSpeed = static_cast<unsigned>(m_Env.messageSpeed);
            if (m_pAdvData)
                m_pAdvData->SetMessageSpeed(g_dwMessageSpeed);
            break;
        case 8:
        case 9:
            m_Env.autoSkip = item == 8 ? 1 : 0;
            g_bAutoSkip = m_Env.autoSkip;
            if (m_pAdvData)
                m_pAdvData->SetAutoSkip(m_Env.autoSkip);
            break;
        case 10:
        case 11:
        case 12:
            m_Env.autoSkipSpeed = kAutoSkipSpeeds[item - 10];
            g_dwAutoSkipSpeed = static_cast<unsigned>(m_Env.autoSkipSpeed);
            if (m_pAdvData)
                m_pAdvData->SetAutoSkipSpeed(g_dwAutoSkipSpeed);
            break;
        case 13:
        case 14:
        case 15:
        case 16: SetAntiAlias(kAntiAlias[item - 13]); break;
        default: break;
    }
}

// The question into the window, typed out from none shown; its area starts
// 170 px right of the window's text column. 0 when the text cannot be
// converted (the caller tries again next frame).
int CONFIG_MODE_DATA::SetDialogText() {
    MESSAGE_DATA msg;
    msg.m_nFontSize = kQuestionFontSize;
    if (!m_pKUSys->StrConvert(kQuestion, static_cast<int>(sizeof(kQuestion) - 1), msg.m_szText,
                              static_cast<int>(sizeof(msg.m_szText))))
        return 0;
    // A question that cannot be set still leaves the dialog answering.
    m_MsgWnd.SetText(&msg, static_cast<uint32_t>(m_Env.antiAlias));
    m_MsgWnd.m_NameArea.m_fDispNum = -1.0f;
    m_MsgWnd.m_TextArea.m_fDispNum = 0.0f;
    m_MsgWnd.m_TextArea.m_rcArea.left += kQuestionIndent;
    return 1;
}

int CONFIG_MODE_DATA::MainProc() {
    const char* tag = "CONFIG_MODE_DATA::MainProc";
    if (!m_bInit || !m_pKUSys) {
        modes::ErrorPrint(m_pKUSys, tag, "初期化されていません");
        return kModeFailed;
    }
    const uint32_t now = static_cast<uint32_t>(m_pKUSys->GetTime());
    const float t = static_cast<float>(now - m_dwPhaseStart);
    if (m_nPhase == 0 || m_nPhase == 1)
        return OpeningProc(now, t);
    if (m_nPhase == 2)
        return MenuProc(now);
    if (m_nPhase >= 3 && m_nPhase <= 6)
        return QuestionProc(now, t);
    if (m_nPhase == 7 || m_nPhase == 8)
        return ClosingProc(now, t);
    return kModeRunning;
}

// Phases 0 and 1: the screen fades in.
int CONFIG_MODE_DATA::OpeningProc(uint32_t now, float t) {
    switch (m_nPhase) {
        case 0:
            m_dwPhaseStart = now;
            m_fFade = 1.0f;
            m_nPhase = 1;
            break;
        case 1:
            m_fFade = 1.0f - t / 1000.0f;
            if (m_fFade <= 0.0f) {
                m_fFade = 0.0f;
                m_dwPhaseStart = now;
                m_nPhase = 2;
            }
            break;
        default: break;
    }
    return kModeRunning;
}

// Phase 2: the items answer the pointer, clicks and arrow keys.
int CONFIG_MODE_DATA::MenuProc(uint32_t now) {
    const char* tag = "CONFIG_MODE_DATA::MainProc";
    switch (m_nPhase) {
        case 2: {
            CursorMoveProc();
            int x = 0, y = 0;
            m_pKUSys->GetMousePos(&x, &y);
            const int click = modes::ClickState(m_pKUSys);
            int hover = HitItem(x, y);
            bool voicePlayed = false;
            if (hover != 0) {
                if (click == kKeyStateReleased)
                    ClickItem(hover, now);
            } else if (click == kKeyStateReleased) {
                // A click on a portrait plays one of its voices and ends the search.
                for (const Portrait& p : kPortraits) {
                    if (!modes::RectHit(p.rc, x, y))
                        continue;
                    char file[16];
                    snprintf(file, sizeof(file), "con%02d.mp3", p.first + m_pKUSys->Rand() % 5);
                    VoicePlay(m_pKUSnd, m_pKUSys, file);
                    voicePlayed = true;
                    break;
                }
            }
            KURECT rc{};
            if (hover == 0 && !voicePlayed && m_pAdvData && ItemRect(kItemTitle, &rc) && modes::RectHit(rc, x, y)) {
                hover = kItemTitle;
                if (click == kKeyStateReleased) {
                    SEPlay(m_pKUSnd, m_pKUSys, kSeEnd, 0);
                    m_dwPhaseStart = now;
                    m_fFade = 0.0f;
                    m_nHover = 0;
                    if (!m_MsgWnd.Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd, kSlotWindow, kSrcWindow, kSrcWindow,
                                             kDialogX, kDialogY, kSrcBackPanel, 0.0f, 0.0f, kBackPanelAlpha,
                                             kSrcWaitIcon, 489.0f, 76.0f, 0.0f)) {
                        modes::ErrorPrint(m_pKUSys, tag, "メッセージウィンドウの初期化に失敗しました");
                        return kModeFailed;
                    }
                    m_MsgWnd.DispWindow();
                    m_nPhase = 3;
                }
            }
            if (hover != m_nHover) {
                m_nHover = hover;
                if (hover != 0)
                    SEPlay(m_pKUSnd, m_pKUSys, kSeHover, 0);
            }
            break;
        }
        default: break;
    }
    return kModeRunning;
}

// Phases 3..6: the question whether to go back to the title opens, types
// out, waits for yes or no, and closes again on no.
int CONFIG_MODE_DATA::QuestionProc(uint32_t now, float t) {
    const char* tag = "CONFIG_MODE_DATA::MainProc";
    switch (m_nPhase) {
        case 3:
            m_MsgWnd.m_fAlpha = t / 500.0f;
            if (m_MsgWnd.m_fAlpha >= 1.0f) {
                m_MsgWnd.m_fAlpha = 1.0f;
                if (!SetDialogText()) {
                    modes::ErrorPrint(m_pKUSys, tag, "メッセージのコンバートに失敗しました");
                    return 0;
                }
                m_dwPhaseStart = now;
                m_nPhase = 4;
            }
            break;
        case 4: {
            // The question types out at the window's speed; a click or Ctrl shows it whole.
            if (!m_MsgWnd.CountMessageDispNum(m_dwPhaseStart, now, -1)) {
                modes::ErrorPrint(m_pKUSys, tag, "表示文字カウントに失敗しました");
                return kModeFailed;
            }
            if (m_pKUSys->GetKey(kGameKeyControl) || modes::ClickState(m_pKUSys) == kKeyStateReleased)
                m_MsgWnd.m_TextArea.m_fDispNum = -1.0f;
            if (m_MsgWnd.m_TextArea.m_fDispNum == -1.0f) {
                m_dwPhaseStart = now;
                m_nPhase = 5;
            }
            break;
        }
        case 5: {
            CursorMoveProc();
            int x = 0, y = 0;
            m_pKUSys->GetMousePos(&x, &y);
            const int click = modes::ClickState(m_pKUSys);
            int hover = 0;
            KURECT rc{};
            if (ItemRect(kItemYes, &rc) && modes::RectHit(rc, x, y))
                hover = kItemYes;
            else if (ItemRect(kItemNo, &rc) && modes::RectHit(rc, x, y))
                hover = kItemNo;
            if (hover != 0 && click == kKeyStateReleased) {
                SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
                m_dwPhaseStart = now;
                m_nPhase = hover == kItemYes ? 7 : 6;
            }
            if (hover != m_nHover) {
                m_nHover = hover;
                if (hover != 0)
                    SEPlay(m_pKUSnd, m_pKUSys, kSeHover, 0);
            }
            break;
        }
        case 6:
            m_MsgWnd.m_fAlpha = 1.0f - t / 500.0f;
            if (m_MsgWnd.m_fAlpha <= 0.0f) {
                m_MsgWnd.Clear();
                m_dwPhaseStart = now;
                m_nPhase = 2;
            }
            break;
        default: break;
    }
    return kModeRunning;
}

// Phases 7 (to the title) and 8 (back): the screen fades out.
int CONFIG_MODE_DATA::ClosingProc(uint32_t now, float t) {
    switch (m_nPhase) {
        case 7:
        case 8:
            m_fFade = t / 1000.0f;
            if (m_fFade >= 1.0f) {
                m_fFade = 1.0f;
                VoiceStop(m_pKUSnd, m_pKUSys);
                CommitAntiAlias();
                m_dwPhaseStart = now;
                return m_nPhase == 7 ? kResultTitle : kResultBack;
            }
            break;
        default: break;
    }
    return kModeRunning;
}

int CONFIG_MODE_DATA::DrawRect(int slot, float x, float y, const KURECT& src, float alpha) {
    return modes::DrawPiece(m_pKUSys, m_pKUSprite, "CONFIG_MODE_DATA::DrawProc", slot, x, y, src, alpha) ? 1 : 0;
}

int CONFIG_MODE_DATA::DrawCell(int item, float) {
    KURECT rc{};
    ItemRect(item, &rc);
    const bool selected = IsSelected(item);
    int row = 0, v = 0;
    KURECT src;
    if (VolumeItem(item, &row, &v))
        src = VolumeSource(v, selected);
    else
        src = selected ? kCells[item - 1].selected : kCells[item - 1].normal;
    float alpha = (selected || item == m_nHover) ? 1.0f : 0.5f;
    return DrawRect(kSlotMaterial, static_cast<float>(rc.left), static_cast<float>(rc.top), src, alpha);
}

int CONFIG_MODE_DATA::DrawProc() {
    const char* tag = "CONFIG_MODE_DATA::DrawProc";
    if (!m_bInit || !m_pKUSys || !m_pKUSprite) {
        modes::ErrorPrint(m_pKUSys, tag, "初期化されていません");
        return 0;
    }
    if (m_pKUSprite->D3DXDrawGraphic(kSlotBG, 0, 0, kDrawTypeAuto, 0, nullptr, 1.0f, 1.0f, nullptr, 0) < 0) {
        modes::ErrorPrint(m_pKUSys, tag, "描画に失敗しました");
        return 0;
    }
    for (int item = 1; item <= 16; ++item)
        if (!DrawCell(item, 1.0f))
            return 0;
    for (int row : {0, 2, 1}) {
        for (int v = 0; v <= 10; ++v)
            if (!DrawCell(VolumeItemOf(row, v), 1.0f))
                return 0;
    }
    const int click = modes::ClickState(m_pKUSys);
    for (int item : {kItemBack, kItemTitle}) {
        if (item == kItemTitle && !m_pAdvData)
            continue;
        const bool hovered = item == m_nHover;
        const bool pushed = hovered && m_nPhase == 2 && click == 1;
        const KURECT& src =
            item == kItemBack ? (pushed ? kSrcBackPushed : kSrcBack) : (pushed ? kSrcTitlePushed : kSrcTitle);
        if (!DrawRect(kSlotMaterial, kBackX, item == kItemBack ? kBackY : kTitleY, src, hovered ? 1.0f : 0.5f))
            return 0;
    }
    if (m_MsgWnd.m_bVisible && m_MsgWnd.m_fAlpha > 0.0f && !DrawDialog(click))
        return 0;
    if (m_fFade > 0.0f) {
        uint32_t colour = modes::AlphaColor(m_fFade);
        if (m_pKUSprite->D3DXDrawGraphic(kSlotFade, 0, 0, kDrawTypeAuto, 0, nullptr, 1.0f, 1.0f, &colour, 0) < 0) {
            modes::ErrorPrint(m_pKUSys, tag, "描画に失敗しました");
            return 0;
        }
    }
    return 1;
}

// The dialog window with its question, then Yes and No.
int CONFIG_MODE_DATA::DrawDialog(int click) {
    if (!m_MsgWnd.DrawProc()) {
        modes::ErrorPrint(m_pKUSys, "CONFIG_MODE_DATA::DrawProc", "メッセージウィンドウの描画に失敗しました");
        return 0;
    }
    const float a = m_MsgWnd.m_fAlpha;
    for (int item : {kItemYes, kItemNo}) {
        const bool hovered = item == m_nHover;
        const bool pushed = hovered && m_nPhase == 5 && click == 1;
        const KURECT& src = item == kItemYes ? (pushed ? kSrcYesPushed : kSrcYes) : (pushed ? kSrcNoPushed : kSrcNo);
        if (!DrawRect(kSlotWindow, item == kItemYes ? 150.0f : 418.0f, 312.0f, src, hovered ? a : a * 0.5f))
            return 0;
    }
    return 1;
}
