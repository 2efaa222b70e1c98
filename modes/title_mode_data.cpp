#include "modes/title_mode_data.h"

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "engine/virtual_keys.h"
#include "game/game_settings.h"
#include "game/mode_results.h"
#include "game/shell_services.h"
#include "modes/cursor_move.h"
#include "modes/mode_common.h"
#include "platform/debug_out.h"
#include "platform/local_time.h"

namespace {

// Record numbers.
constexpr int kObjLogo = 0;
constexpr int kObjBarUpper = 1;
constexpr int kObjBarLower = 2;
constexpr int kObjFooter = 9;
// Records 3..8 carry item rows 1..6.
constexpr int ObjOfItem(int item) { return item + 2; }

struct Rest {
    float x, y;
};
constexpr Rest kRest[TITLE_MODE_DATA::kObjCount] = {
    {128, 45}, {0, 252}, {0, 474}, {345, 273}, {344, 305}, {345, 336}, {346, 368}, {346, 399}, {344, 431}, {224, 569},
};

constexpr KURECT kSrcLogo = {0, 0, 544, 176};
constexpr KURECT kSrcShadow = {0, 176, 544, 352};
constexpr KURECT kSrcFooter = {0, 352, 352, 376};
constexpr KURECT kSrcBar = {0, 376, 800, 384};

// Source rows of the shown items, one 24-pixel row per item: normal, hover
// and pushed side by side.
int ItemSourceTop(int item) { return (item - 1) * 24; }
KURECT ItemSource(int item, int kind) {
    int top = ItemSourceTop(item);
    int left = 544 + 112 * kind;
    return KURECT{left, top, left + 112, top + 24};
}

constexpr int kShownItems[] = {1, 2, 3, 4, 5, 6};

struct DayRange {
    int from, to;
};
constexpr DayRange kDayRange[12] = {
    {420, 990},  {420, 1020}, {390, 1050}, {330, 1080}, {300, 1080}, {270, 1110},
    {270, 1140}, {300, 1110}, {330, 1080}, {360, 1020}, {390, 990},  {420, 960},
};

bool TitleMoveTarget(const void*, int current, int vk, KURECT* target) {
    int to = 0;
    if (vk == plat::kVkUp) {
        to = current == 0   ? 1
             : current == 1 ? 6
             : current == 2 ? 1
             : current == 3 ? 2
             : current == 4 ? 3
             : current == 5 ? 4
             : current == 6 ? 5
                            : 0;
    } else if (vk == plat::kVkDown) {
        to = current == 0   ? 1
             : current == 1 ? 2
             : current == 2 ? 3
             : current == 3 ? 4
             : current == 4 ? 5
             : current == 5 ? 6
             : current == 6 ? 1
                            : 0;
    }
    return to != 0 && TITLE_MODE_DATA::ItemRect(to, target);
}

} // namespace

TITLE_MODE_DATA::TITLE_MODE_DATA()
    : m_bInit(0), m_pKUSys(nullptr), m_pKUSprite(nullptr), m_pKUSnd(nullptr), m_nBGSlot(-1) {
    Release();
}

TITLE_MODE_DATA::~TITLE_MODE_DATA() { Release(); }

int TITLE_MODE_DATA::ChooseBackground(int month, int hour, int minute) {
    int m = hour * 60 + minute;
    const DayRange& r = kDayRange[(month >= 1 && month <= 11) ? month - 1 : 11];
    return (m >= r.from && m <= r.to) ? kSlotDay : kSlotNight;
}

bool TITLE_MODE_DATA::ItemRect(int item, KURECT* rc) {
    switch (item) {
        case 1: *rc = KURECT{345, 273, 457, 297}; return true;
        case 2: *rc = KURECT{344, 305, 456, 329}; return true;
        case 3: *rc = KURECT{345, 336, 457, 360}; return true;
        case 4: *rc = KURECT{346, 368, 458, 392}; return true;
        case 5: *rc = KURECT{346, 399, 458, 423}; return true;
        case 6: *rc = KURECT{344, 431, 456, 455}; return true;
        default: return false;
    }
}

int TITLE_MODE_DATA::Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd) {
    const char* tag = "TITLE_MODE_DATA::Initialize";
    Release();
    if (!modes::EnginePointersGiven(sys, sprite, snd, "TITLE_MODE_DATA::Initialize"))
        return 0;
    m_pKUSys = sys;
    m_pKUSprite = sprite;
    m_pKUSnd = snd;
    plat::LocalTime t = plat::GetLocalTime();
    m_nBGSlot = ChooseBackground(t.month, t.hour, t.minute);
    if (!TitleModeDataLoad()) {
        modes::ErrorPrint(sys, tag, "必要データのロードに失敗しました");
        return 0;
    }
    for (auto& o : m_Obj)
        o.Initialize();
    m_bInit = 1;
    return 1;
}

void TITLE_MODE_DATA::Release() {
    TitleModeDataUnload();
    g_bAutoSkip = 0;
    m_nPhase = 0;
    m_dwPhaseStart = 0;
    m_nBGSlot = -1;
    m_fFade = 1.0f;
    m_nSelect = 0;
    m_pKUSys = nullptr;
    m_pKUSprite = nullptr;
    m_pKUSnd = nullptr;
    m_bInit = 0;
    for (auto& o : m_Obj)
        o.Release();
}

int TITLE_MODE_DATA::TitleModeDataLoad() {
    const char* tag = "TITLE_MODE_DATA::TitleModeDataLoad";
    if (!modes::EnginePointersHeld(m_pKUSys, m_pKUSprite, m_pKUSnd, tag))
        return 0;
    for (int slot : {kSlotFade, m_nBGSlot, kSlotMaterial}) {
        if (slot < 0)
            continue;
        if (!GraphicLoad(m_pKUSprite, m_pKUSys, slot)) {
            modes::ErrorPrint(m_pKUSys, tag, "画像のロードに失敗しました");
            return 0;
        }
    }
    for (int slot : {kSeHover, kSePush}) {
        if (!SELoad(m_pKUSnd, m_pKUSys, slot, nullptr)) {
            modes::ErrorPrint(m_pKUSys, tag, "SEのロードに失敗しました");
            return 0;
        }
    }
    return 1;
}

int TITLE_MODE_DATA::TitleModeDataUnload() {
    if (!m_pKUSys || !m_pKUSprite || !m_pKUSnd)
        return 1;
    const char* tag = "TITLE_MODE_DATA::TitleModeDataUnload";
    for (int slot : {kSlotFade, m_nBGSlot, kSlotMaterial}) {
        if (slot < 0)
            continue;
        if (!GraphicUnload(m_pKUSprite, m_pKUSys, slot))
            modes::ErrorPrint(m_pKUSys, tag, "画像のアンロードに失敗しました");
    }
    for (int slot : {kSeHover, kSePush}) {
        if (!SEUnload(m_pKUSnd, m_pKUSys, slot))
            modes::ErrorPrint(m_pKUSys, tag, "SEのアンロードに失敗しました");
    }
    return 1;
}

void TITLE_MODE_DATA::PlaceAllAtRest() {
    for (int i = 0; i < kObjCount; ++i)
        m_Obj[i].Place(kRest[i].x, kRest[i].y, m_Obj[i].m_fAlpha);
}

int TITLE_MODE_DATA::CursorMoveProc() {
    if (!m_bInit || !m_pKUSys) {
        modes::ErrorPrint(m_pKUSys, "TITLE_MODE_DATA::CursorMoveProc", "初期化されていません");
        return 0;
    }
    modes::MoveCursorAllKeys(m_pKUSys, this, m_nSelect, {plat::kVkUp, plat::kVkDown}, TitleMoveTarget);
    return 1;
}

int TITLE_MODE_DATA::MainProc() {
    if (!m_bInit || !m_pKUSys) {
        modes::ErrorPrint(m_pKUSys, "TITLE_MODE_DATA::MainProc", "初期化されていません");
        return kModeFailed;
    }
    const uint32_t now = static_cast<uint32_t>(m_pKUSys->GetTime());
    const int click = modes::ClickState(m_pKUSys);
    if (m_nPhase >= 1 && m_nPhase <= 5 && (click == kKeyStateReleased || m_pKUSys->GetKey(kGameKeyControl)))
        m_nPhase = 11;
    const float t = static_cast<float>(now - m_dwPhaseStart);

    if (m_nPhase >= 0 && m_nPhase <= 5)
        return OpeningProc(now, t);
    if (m_nPhase == 6)
        return MenuProc(now, click);
    if (m_nPhase >= 7 && m_nPhase <= 10)
        return ClosingProc(now, t);
    if (m_nPhase == 11)
        return SkipToMenuProc(now);
    return kModeRunning;
}

// Phases 0..5: the screen fades in, the logo drops, the bars slide in, the
// items and the footer fade in one after another.
int TITLE_MODE_DATA::OpeningProc(uint32_t now, float t) {
    switch (m_nPhase) {
        case 0:
            BGM_DS_Play(m_pKUSnd, m_pKUSys, 1, "BGM13.mp3");
            m_dwPhaseStart = now;
            m_fFade = 1.0f;
            m_nPhase = 1;
            break;
        case 1:
            m_fFade = 1.0f - t / 1000.0f;
            if (m_fFade <= 0.5f) {
                m_fFade = 0.5f;
                m_Obj[kObjLogo].Place(128, 95, 0.0f);
                m_nPhase = 2;
            }
            break;
        case 2: {
            m_fFade = 1.0f - t / 1000.0f;
            TITLE_OBJ_DATA& logo = m_Obj[kObjLogo];
            int moved = logo.MoveLinear(128, 95, 128, 45, 500, now);
            int faded = logo.Fade(1, 500, now);
            if (m_fFade <= 0.0f && moved && faded) {
                m_Obj[kObjBarUpper].Place(800, 252, 0.0f);
                m_Obj[kObjBarLower].Place(-800, 474, 0.0f);
                m_nPhase = 3;
            }
            break;
        }
        case 3: {
            TITLE_OBJ_DATA& up = m_Obj[kObjBarUpper];
            TITLE_OBJ_DATA& low = m_Obj[kObjBarLower];
            int a = up.MoveSmooth(800, 252, 0, 252, 1000, now);
            int b = up.Fade(1, 300, now);
            int c = low.MoveSmooth(-800, 474, 0, 474, 1000, now);
            int d = low.Fade(1, 300, now);
            if (a && b && c && d) {
                for (int i = 3; i < kObjCount; ++i)
                    m_Obj[i].Place(kRest[i].x, kRest[i].y, m_Obj[i].m_fAlpha);
                m_dwPhaseStart = now;
                m_nPhase = 4;
            }
            break;
        }
        case 4: {
            int done = 0;
            for (int k = 0; k < 6; ++k) {
                TITLE_OBJ_DATA& o = m_Obj[ObjOfItem(k + 1)];
                // Each row begins once the time passes its offset; a started fade goes on.
                if (o.m_bFadeStart || now > m_dwPhaseStart + 250u * k)
                    done += o.Fade(1, 500, now);
            }
            if (done == 6)
                m_nPhase = 5;
            break;
        }
        case 5:
            if (m_Obj[kObjFooter].Fade(1, 500, now)) {
                m_dwPhaseStart = now;
                m_nPhase = 6;
            }
            break;
        default: break;
    }
    return kModeRunning;
}

// Phase 6: the menu waits for a choice, or for the player to leave it idle.
int TITLE_MODE_DATA::MenuProc(uint32_t now, int click) {
    CursorMoveProc();
    int x = 0, y = 0;
    m_pKUSys->GetMousePos(&x, &y);
    int hover = 0;
    for (int item : kShownItems) {
        KURECT rc{};
        if (ItemRect(item, &rc) && m_Obj[ObjOfItem(item)].m_bDisp && modes::RectHit(rc, x, y)) {
            hover = item;
            break;
        }
    }
    if (hover != 0 && click == kKeyStateReleased) {
        SEPlay(m_pKUSnd, m_pKUSys, kSePush, 0);
        for (int k = 1; k <= 6; ++k)
            m_Obj[ObjOfItem(k)].m_bFadeStart = 0;
        m_dwPhaseStart = now;
        m_nPhase = 8;
    }
    if (m_nPhase == 6 && m_dwPhaseStart + kIdleMs < now) {
        m_dwPhaseStart = now;
        m_nPhase = 7;
    }
    if (hover != m_nSelect) {
        m_nSelect = hover;
        if (hover != 0)
            SEPlay(m_pKUSnd, m_pKUSys, kSeHover, 0);
    }
    return kModeRunning;
}

// Phases 7..10: the screen fades out, idle (7) or after a choice (8..10:
// the other items fade, a pause, the fade to black).
int TITLE_MODE_DATA::ClosingProc(uint32_t now, float t) {
    switch (m_nPhase) {
        case 7:
            m_fFade = t / 1000.0f;
            if (m_fFade >= 1.0f) {
                m_fFade = 1.0f;
                m_dwPhaseStart = now;
                return kResultIdle;
            }
            break;
        case 8: {
            int total = 0, done = 0;
            for (int k = 1; k <= 6; ++k) {
                TITLE_OBJ_DATA& o = m_Obj[ObjOfItem(k)];
                if (k == m_nSelect || !o.m_bDisp)
                    continue;
                ++total;
                done += o.Fade(0, 500, now);
            }
            if (done == total) {
                m_dwPhaseStart = now;
                m_nPhase = 9;
            }
            break;
        }
        case 9:
            if (now - m_dwPhaseStart > 1000) {
                m_dwPhaseStart = now;
                m_nPhase = 10;
            }
            break;
        case 10:
            m_fFade = t / 1000.0f;
            if (m_fFade >= 1.0f) {
                m_fFade = 1.0f;
                m_dwPhaseStart = now;
                return m_nSelect;
            }
            break;
        default: break;
    }
    return kModeRunning;
}

// Phase 11: a click or Ctrl during the opening puts everything at rest.
int TITLE_MODE_DATA::SkipToMenuProc(uint32_t now) {
    m_fFade = 0.0f;
    for (auto& o : m_Obj)
        o.m_fAlpha = 1.0f;
    PlaceAllAtRest();
    m_dwPhaseStart = now;
    m_nPhase = 6;
    return kModeRunning;
}

int TITLE_MODE_DATA::DrawObj(int slot, float x, float y, const KURECT& src, float alpha) {
    return modes::DrawPiece(m_pKUSys, m_pKUSprite, "TITLE_MODE_DATA::DrawProc", slot, x, y, src, alpha) ? 1 : 0;
}

int TITLE_MODE_DATA::DrawProc() {
    if (!m_bInit || !m_pKUSys || !m_pKUSprite) {
        modes::ErrorPrint(m_pKUSys, "TITLE_MODE_DATA::DrawProc", "初期化されていません");
        return 0;
    }
    uint32_t opaque = 0xFFFFFFFFu;
    if (m_nBGSlot >= 0 &&
        m_pKUSprite->D3DXDrawGraphic(m_nBGSlot, 0, 0, kDrawTypeAuto, 0, nullptr, 1.0f, 1.0f, &opaque, 0) < 0) {
        modes::ErrorPrint(m_pKUSys, "TITLE_MODE_DATA::DrawProc", "描画に失敗しました");
        return 0;
    }
    const TITLE_OBJ_DATA& logo = m_Obj[kObjLogo];
    if (!DrawObj(kSlotMaterial, logo.m_fX + 2, logo.m_fY + 5, kSrcShadow, logo.m_fAlpha * 0.5f))
        return 0;
    if (!DrawObj(kSlotMaterial, logo.m_fX, logo.m_fY, kSrcLogo, logo.m_fAlpha))
        return 0;
    for (int i : {kObjBarUpper, kObjBarLower}) {
        if (!DrawObj(kSlotMaterial, m_Obj[i].m_fX, m_Obj[i].m_fY, kSrcBar, m_Obj[i].m_fAlpha))
            return 0;
    }
    const int click = modes::ClickState(m_pKUSys);
    for (int item : kShownItems) {
        const TITLE_OBJ_DATA& o = m_Obj[ObjOfItem(item)];
        int kind = 0;
        if (item == m_nSelect)
            kind = (m_nPhase < 7 && click == 1) ? 2 : 1;
        if (!DrawObj(kSlotMaterial, o.m_fX, o.m_fY, ItemSource(item, kind), o.m_fAlpha))
            return 0;
    }
    const TITLE_OBJ_DATA& footer = m_Obj[kObjFooter];
    if (!DrawObj(kSlotMaterial, footer.m_fX, footer.m_fY, kSrcFooter, footer.m_fAlpha))
        return 0;
    if (m_fFade > 0.0f) {
        uint32_t colour = modes::AlphaColor(m_fFade);
        if (m_pKUSprite->D3DXDrawGraphic(kSlotFade, 0, 0, kDrawTypeAuto, 0, nullptr, 1.0f, 1.0f, &colour, 0) < 0) {
            modes::ErrorPrint(m_pKUSys, "TITLE_MODE_DATA::DrawProc", "描画に失敗しました");
            return 0;
        }
    }
    return 1;
}
