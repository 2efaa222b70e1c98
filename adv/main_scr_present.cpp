#include <cstdio>
#include <cstring>

#include "adv/adv_data.h"
#include "adv/main_scr.h"
#include "game/game_settings.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "scene/graphic_data.h"
#include "game/shell_services.h"
#include "scene/textarea_data.h"
#include "sound/kusnd.h"

// Waits, the movie, pictures and text areas shown and hidden, the typewriter
// reveal of a text area, and the two screen transitions: strip wipe and mosaic.

namespace {

constexpr int kMovieChannel = 2;
constexpr int kStatusStopped = 2;
constexpr uint32_t kDefaultWidth = 800;
constexpr uint32_t kDefaultHeight = 600;
constexpr uint32_t kMinMosaic = 16;
constexpr uint32_t kMaxMosaic = 800;
constexpr int kMosaicWorkSlot = GRAPHIC_DATA::kFirstWorkSlot;
constexpr int kMosaicSurfaceSlot = GRAPHIC_DATA::kLastWorkSlot;

bool Word(const char* arg, const char* word) { return adv::ScriptWordEqual(arg, word); }

int MovieVolume(uint32_t step) {
    static constexpr int kTable[] = {-10000, -3000, -2000, -1500, -1250, -1000, -800, -600, -400, -200, 0};
    return step <= 10 ? kTable[step] : -10000;
}

uint32_t ClampMosaic(int64_t size) {
    return static_cast<uint32_t>(size < kMinMosaic ? kMinMosaic : size > kMaxMosaic ? kMaxMosaic : size);
}

} // namespace

void MAIN_SCR::ScreenSize(uint32_t* width, uint32_t* height) {
    *width = *height = 0;
    m_pKUSprite->GetScreenMode(width, height, nullptr, nullptr, nullptr);
    // A renderer that never started has no mode yet: the game's screen then.
    if (*width == 0 || *height == 0) {
        *width = kDefaultWidth;
        *height = kDefaultHeight;
    }
}

int MAIN_SCR::KeyWaitProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("KeyWaitProc", cmd))
        return 0;
    if (cmd->m_nPhase == 0) {
        cmd->m_dwStartTime = Now();
        cmd->m_bExclusive = 1;
        cmd->m_nPhase = 1;
    }
    if (m_pAdvData->m_MsgWnd.m_nHistoryCursor != -1 || m_pAdvData->m_CtrlWnd.m_nHover != 0 ||
        !m_pAdvData->m_bWindowShown)
        return 1;
    if (PlayerClicked() || SkipKey() || FastForward())
        cmd->Clear();
    return 1;
}

int MAIN_SCR::TimeWaitProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("TimeWaitProc", cmd))
        return 0;
    if (cmd->m_nPhase == 0) {
        ControllerButtons(false);
        cmd->m_bExclusive = 1;
        cmd->m_dwStartTime = Now();
        cmd->m_nPhase = 1;
    }
    if (m_pAdvData->m_MsgWnd.m_nHistoryCursor != -1 || m_pAdvData->m_MsgWnd.m_bVoiceHover ||
        !m_pAdvData->m_bWindowShown)
        return 1;
    // A negative wait would wrap into one of some fifty days.
    const int32_t ms = adv::ScriptInt(cmd->m_szArg[0]);
    const uint32_t wait = ms < 0 ? 0u : static_cast<uint32_t>(ms);
    if (PlayerClicked() || SkipKey() || Now() - cmd->m_dwStartTime > wait || FastForward()) {
        ControllerButtons(true);
        cmd->Clear();
    }
    return 1;
}

void MAIN_SCR::MovieRestore() {
    SetMenuAttached(1);
    while (ShowCursor(1) < 0) {
    }
    g_bMoviePlay = 0;
    ControllerButtons(true);
    m_pKUSnd->DShowStop(kMovieChannel);
    m_pKUSnd->DShowClose(kMovieChannel);
}

int MAIN_SCR::MovieFailed(const char* message) {
    // Left as it was, the shell would draw no frame and show no cursor again.
    MovieRestore();
    HandlerError("MoviePlayProc", message);
    return 0;
}

int MAIN_SCR::MoviePlayProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("MoviePlayProc", cmd))
        return 0;
    if (cmd->m_nPhase == 0) {
        ControllerButtons(false);
        m_pKUSprite->D3DXDrawStart();
        m_pKUSprite->D3DXDrawEnd();
        if (!g_bFullScreen)
            g_bMoviePlayOld = 1;
        g_bMoviePlay = 1;
        while (ShowCursor(0) >= 0) {
        }
        if (g_bFullScreen)
            SetMenuAttached(0);
        if (!m_pKUSnd->DShowIsOpen(kMovieChannel)) {
            uint32_t w, h;
            ScreenSize(&w, &h);
            if (m_pKUSnd->DShowOpen(kMovieChannel, cmd->m_szArg[0], static_cast<int>(w), static_cast<int>(h)) < 0)
                return MovieFailed("ムービーオープンに失敗しました");
        }
        if (m_pKUSnd->DShowPlay(kMovieChannel) < 0)
            return MovieFailed("ムービー再生に失敗しました");
        if (m_pKUSnd->DShowSetVolume(kMovieChannel, MovieVolume(g_dwBGMVolume)) < 0)
            HandlerError("MoviePlayProc", "ムービーの音量設定に失敗しました");
        cmd->m_bExclusive = 1;
        cmd->m_nPhase = 1;
        return 1;
    }
    int status = kStatusStopped;
    if (m_pKUSnd->DShowGetStatus(kMovieChannel, &status) < 0)
        return MovieFailed("ムービーの状態取得に失敗しました");
    if (status == kStatusStopped || PlayerClicked() || SkipKey()) {
        MovieRestore();
        cmd->Clear();
    }
    return 1;
}

int MAIN_SCR::GraphicDispProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "GraphicDispProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    const int i = m_pAdvData->IDSearch(ADV_DATA::kKindGraphic, cmd->m_szArg[0]);
    if (i < 0) {
        HandlerError(kTag, "IDの取得に失敗しました");
        return 0;
    }
    GRAPHIC_DATA& g = m_pAdvData->m_pGraphic[i];
    if (!Word(cmd->m_szArg[1], "NULL"))
        g.m_fX = adv::ScriptFloat(cmd->m_szArg[1]);
    if (!Word(cmd->m_szArg[2], "NULL"))
        g.m_fY = adv::ScriptFloat(cmd->m_szArg[2]);
    if (!Word(cmd->m_szArg[3], "NULL"))
        g.m_nPriority = adv::ScriptInt(cmd->m_szArg[3]);
    if (!Word(cmd->m_szArg[4], "FALSE") && !g.LoadGraphicData()) {
        HandlerError(kTag, "グラフィックのロードに失敗しました");
        return 0;
    }
    g.m_bShow = 1;
    g.m_fAlpha = 1.0f;
    m_pAdvData->DrawObjectSort();
    cmd->Clear();
    return 1;
}

int MAIN_SCR::GraphicHideProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "GraphicHideProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    const int i = m_pAdvData->IDSearch(ADV_DATA::kKindGraphic, cmd->m_szArg[0]);
    if (i < 0) {
        HandlerError(kTag, "IDの取得に失敗しました");
        return 0;
    }
    GRAPHIC_DATA& g = m_pAdvData->m_pGraphic[i];
    if (!Word(cmd->m_szArg[1], "FALSE")) {
        if (!g.UnloadGraphicData()) {
            HandlerError(kTag, "グラフィックのアンロードに失敗しました");
            return 0;
        }
        g.m_nSlot = -1;
    }
    g.m_bShow = 0;
    m_pAdvData->DrawObjectSort();
    cmd->Clear();
    return 1;
}

int MAIN_SCR::TextAreaDispProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "TextAreaDispProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    const int i = m_pAdvData->IDSearch(ADV_DATA::kKindTextArea, cmd->m_szArg[0]);
    if (i < 0) {
        HandlerError(kTag, "IDの取得に失敗しました");
        return 0;
    }
    TEXTAREA_DATA& t = m_pAdvData->m_pTextArea[i];
    if (!Word(cmd->m_szArg[7], "FALSE") && !t.LoadTextData()) {
        HandlerError(kTag, "テキストエリアのロードに失敗しました");
        return 0;
    }
    t.m_rcArea = {adv::ScriptInt(cmd->m_szArg[1]), adv::ScriptInt(cmd->m_szArg[2]), adv::ScriptInt(cmd->m_szArg[3]),
                  adv::ScriptInt(cmd->m_szArg[4])};
    if (!Word(cmd->m_szArg[5], "NULL"))
        t.m_nPriority = adv::ScriptInt(cmd->m_szArg[5]);
    t.m_fDispNum = adv::ScriptFloat(cmd->m_szArg[6]);
    t.m_bShow = 1;
    m_pAdvData->DrawObjectSort();
    cmd->Clear();
    return 1;
}

int MAIN_SCR::TextAreaHideProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "TextAreaHideProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    const int i = m_pAdvData->IDSearch(ADV_DATA::kKindTextArea, cmd->m_szArg[0]);
    if (i < 0) {
        HandlerError(kTag, "IDの取得に失敗しました");
        return 0;
    }
    TEXTAREA_DATA& t = m_pAdvData->m_pTextArea[i];
    if (!Word(cmd->m_szArg[1], "FALSE") && !t.UnloadTextData()) {
        HandlerError(kTag, "テキストエリアのアンロードに失敗しました");
        return 0;
    }
    t.m_fDispNum = 0.0f;
    t.m_bShow = 0;
    m_pAdvData->DrawObjectSort();
    cmd->Clear();
    return 1;
}

int MAIN_SCR::TextScrollProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "TextScrollProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    if (cmd->m_nPhase == 0) {
        ControllerButtons(false);
        cmd->m_dwStartTime = Now();
        cmd->m_bExclusive = 1;
        cmd->m_nPhase = 1;
    }
    int32_t speed =
        Word(cmd->m_szArg[1], "NULL") ? static_cast<int32_t>(g_dwMessageSpeed) : adv::ScriptInt(cmd->m_szArg[1]);
    // No speed, or a negative one, would never reveal anything: one character a millisecond.
    if (speed <= 0)
        speed = 1;
    const int i = m_pAdvData->IDSearch(ADV_DATA::kKindTextArea, cmd->m_szArg[0]);
    if (i < 0) {
        HandlerError(kTag, "IDの取得に失敗しました");
        return 0;
    }
    TEXTAREA_DATA& t = m_pAdvData->m_pTextArea[i];
    float shown = static_cast<float>(Now() - cmd->m_dwStartTime) / static_cast<float>(speed);
    const size_t chars = strlen(t.m_szText) / 2; // double-byte characters
    if (static_cast<float>(chars) < shown)
        shown = -1.0f;
    if (SkipTest())
        shown = -1.0f;
    t.m_fDispNum = shown;
    if (shown < 0.0f) {
        ControllerButtons(true);
        cmd->Clear();
    }
    return 1;
}

void MAIN_SCR::FreeTiles() {
    delete[] m_pTileRect;
    m_pTileRect = nullptr;
    delete[] m_pTileTarget;
    m_pTileTarget = nullptr;
    delete[] m_pTileValue;
    m_pTileValue = nullptr;
    m_nTileNum = 0;
}

int MAIN_SCR::WipeProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "WipeProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    uint32_t screenW, screenH;
    ScreenSize(&screenW, &screenH);
    const int32_t W = static_cast<int32_t>(screenW);
    const int32_t H = static_cast<int32_t>(screenH);
    const bool wave1 = Word(cmd->m_szArg[1], "BLIND_WAVE1");
    if (!wave1 && !Word(cmd->m_szArg[1], "BLIND_WAVE2")) {
        HandlerError(kTag, "エフェクトが定義されていません");
        return 0;
    }
    // A duration below 1 ms would divide by zero: the wipe then takes 1 ms.
    int32_t T = adv::ScriptInt(cmd->m_szArg[3]);
    if (T < 1)
        T = 1;
    if (cmd->m_nPhase == 0)
        return StartWipe(cmd, wave1, W, H, T);
    return StepWipe(cmd, wave1, W, T);
}

// Cuts the screen into the strips asked for and gives each its own start (wave 1) or duration (wave 2).
int MAIN_SCR::StartWipe(SCRIPT_COMMAND_DATA* cmd, bool wave1, int32_t W, int32_t H, int32_t T) {
    static const char* const kTag = "WipeProc";
    ControllerButtons(false);
    const int i = m_pAdvData->IDSearch(ADV_DATA::kKindGraphic, cmd->m_szArg[0]);
    if (i < 0) {
        HandlerError(kTag, "合致するIDが見つかりませんでした");
        return 0;
    }
    // Strips must be at least one pixel high.
    const int32_t n = adv::ScriptInt(cmd->m_szArg[2]);
    if (n < 1 || n > H) {
        HandlerError(kTag, "分割数が不正です");
        return 0;
    }
    m_nTransitionSlot = m_pAdvData->m_pGraphic[i].m_nSlot;
    FreeTiles();
    m_nTileNum = n;
    m_pTileRect = new KURECT[n];
    m_pTileTarget = new KURECT[n];
    m_pTileValue = new int32_t[n]();
    const int32_t h = H / n;
    for (int32_t k = 0; k < n; ++k) {
        m_pTileTarget[k] = {0, k * h, W, (k + 1) * h};
        m_pTileRect[k] = m_pTileTarget[k];
    }
    if (wave1) {
        const int32_t half = W / 2 > 0 ? W / 2 : 1;
        for (int32_t k = 1; k < n - 1; ++k)
            m_pTileTarget[k].left = -(m_pKUSys->Rand() % half);
        m_pTileTarget[n - 1].left = -(W / 2);
    } else {
        const int32_t fifth = T / 5;
        m_pTileValue[0] = fifth;
        for (int32_t k = 1; k < n - 1; ++k)
            m_pTileValue[k] = m_pKUSys->Rand() % (T - fifth) + fifth;
        m_pTileValue[n - 1] = T;
    }
    cmd->m_bExclusive = 1;
    cmd->m_dwStartTime = Now();
    cmd->m_nPhase = 1;
    return 1;
}

// Moves each strip's left edge on with the time; when the last strip is gone, the picture goes too (unless told
// to stay) and the command ends.
int MAIN_SCR::StepWipe(SCRIPT_COMMAND_DATA* cmd, bool wave1, int32_t W, int32_t T) {
    if (m_nTileNum < 1) {
        // The tiles went with a cleared interpreter: nothing is left to wipe.
        ControllerButtons(true);
        cmd->Clear();
        return 1;
    }
    const double t = static_cast<double>(Now() - cmd->m_dwStartTime);
    for (int32_t k = 0; k < m_nTileNum; ++k) {
        const KURECT& target = m_pTileTarget[k];
        const int32_t ms = wave1 ? T : (m_pTileValue[k] > 0 ? m_pTileValue[k] : 1);
        double left = static_cast<double>(target.left) +
                      static_cast<double>(static_cast<int64_t>(t * (W / static_cast<double>(ms))));
        if (left < 0.0)
            left = 0.0;
        if (left >= target.right)
            left = target.right;
        m_pTileRect[k] = target;
        m_pTileRect[k].left = static_cast<int32_t>(left);
    }
    const KURECT& last = m_pTileRect[m_nTileNum - 1];
    if (last.left < last.right)
        return 1;
    if (!Word(cmd->m_szArg[4], "FALSE")) {
        const int i = m_pAdvData->IDSearch(ADV_DATA::kKindGraphic, cmd->m_szArg[0]);
        if (i >= 0) {
            m_pAdvData->m_pGraphic[i].UnloadGraphicData();
            m_pAdvData->m_pGraphic[i].m_nSlot = -1;
        }
    }
    FreeTiles();
    m_nTransitionSlot = -1;
    ControllerButtons(true);
    m_pAdvData->DrawObjectSort();
    cmd->Clear();
    return 1;
}

void MAIN_SCR::FreeMosaic() {
    delete[] m_pMosaicCell;
    m_pMosaicCell = nullptr;
    delete[] m_pMosaicColor;
    m_pMosaicColor = nullptr;
}

bool MAIN_SCR::BuildMosaic(uint32_t size) {
    FreeMosaic();
    uint32_t W, H;
    ScreenSize(&W, &H);
    const uint32_t columns = W / size + 1;
    const uint32_t rows = H / size + 1;
    m_pMosaicCell = new KURECT[columns * rows];
    m_pMosaicColor = new uint32_t[columns * rows]();
    const int32_t s = static_cast<int32_t>(size);
    for (uint32_t r = 0; r < rows; ++r) {
        for (uint32_t c = 0; c < columns; ++c) {
            const int32_t x = static_cast<int32_t>(c) * s;
            const int32_t y = static_cast<int32_t>(r) * s;
            const uint32_t k = r * columns + c;
            m_pMosaicCell[k] = {x, y, x + s, y + s};
            if (!m_pKUSprite->GetSurfaceColor(kMosaicSurfaceSlot, x + s / 2, y + s / 2, &m_pMosaicColor[k]))
                return false;
        }
    }
    m_bMosaicColorReady = 1;
    return true;
}

int MAIN_SCR::SetUpMosaic(const char* tag) {
    FreeMosaic();
    GraphicUnload(m_pKUSprite, m_pKUSys, kMosaicWorkSlot);
    GraphicUnload(m_pKUSprite, m_pKUSys, kMosaicSurfaceSlot);
    GraphicLoad(m_pKUSprite, m_pKUSys, kMosaicWorkSlot);
    GraphicLoad(m_pKUSprite, m_pKUSys, kMosaicSurfaceSlot);
    if (!MosaicDummyProc()) {
        HandlerError(tag, "モザイクサーフェスへの合成に失敗しました");
        return 0;
    }
    if (!BuildMosaic(m_dwMosaicSize)) {
        HandlerError(tag, "色の取得に失敗しました");
        return 0;
    }
    return 1;
}

int MAIN_SCR::MosaicReloadProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("MosaicReloadProc", cmd))
        return 0;
    if (m_bMosaicOn) {
        m_dwMosaicSize = ClampMosaic(m_dwMosaicSize);
        if (!SetUpMosaic("MosaicReloadProc"))
            return 0;
        m_bMosaicOn = 1;
    }
    cmd->Clear();
    return 1;
}

int MAIN_SCR::MosaicProc(const char* tag, SCRIPT_COMMAND_DATA* cmd, bool expand) {
    if (!HandlerReady(tag, cmd))
        return 0;
    if (cmd->m_nPhase == 0) {
        ControllerButtons(false);
        // Continuing needs a mosaic to continue from: without one it starts at the smallest cells.
        const bool resume = Word(cmd->m_szArg[0], "NULL") && m_dwMosaicSize != 0;
        if (Word(cmd->m_szArg[0], "NULL"))
            snprintf(cmd->m_szArg[0], sizeof(cmd->m_szArg[0]), "%u", m_dwMosaicSize != 0 ? m_dwMosaicSize : kMinMosaic);
        if (!resume) {
            m_dwMosaicSize = ClampMosaic(adv::ScriptInt(cmd->m_szArg[0]));
            if (!SetUpMosaic(tag))
                return 0;
        }
        m_bMosaicOn = 1;
        const uint32_t target = ClampMosaic(adv::ScriptInt(cmd->m_szArg[1]));
        if (expand ? m_dwMosaicSize < target : m_dwMosaicSize > target) {
            cmd->m_bExclusive = 1;
            cmd->m_dwStartTime = Now();
            cmd->m_nPhase = 1;
        } else {
            cmd->Clear();
        }
        return 1;
    }
    // Sizes beyond the range would never reach their target.
    const int64_t from = ClampMosaic(adv::ScriptInt(cmd->m_szArg[0]));
    const int64_t to = ClampMosaic(adv::ScriptInt(cmd->m_szArg[1]));
    const int64_t ms = adv::ScriptInt(cmd->m_szArg[2]);
    const int64_t span = expand ? to - from : from - to;
    const int64_t step = span > 0 && ms > 0 ? ms / span : 0;
    int64_t size = to;
    if (step > 0) {
        // Milliseconds per pixel of size; a step of 0 jumps to the target.
        const int64_t grown = static_cast<int64_t>(Now() - cmd->m_dwStartTime) / step;
        size = expand ? from + grown : from - grown;
        if (expand ? size > to : size < to)
            size = to;
    }
    if (static_cast<uint32_t>(size) != m_dwMosaicSize) {
        m_dwMosaicSize = ClampMosaic(size);
        if (!BuildMosaic(m_dwMosaicSize)) {
            HandlerError(tag, "色の取得に失敗しました");
            return 0;
        }
    }
    if (expand ? m_dwMosaicSize >= to : m_dwMosaicSize <= to)
        cmd->Clear();
    return 1;
}

int MAIN_SCR::MosaicExpansionProc(SCRIPT_COMMAND_DATA* cmd) { return MosaicProc("MosaicExpansionProc", cmd, true); }

int MAIN_SCR::MosaicReductionProc(SCRIPT_COMMAND_DATA* cmd) { return MosaicProc("MosaicReductionProc", cmd, false); }

int MAIN_SCR::MosaicEndProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("MosaicEndProc", cmd))
        return 0;
    FreeMosaic();
    m_dwMosaicSize = 0;
    m_bMosaicColorReady = 0;
    m_bMosaicOn = 0;
    ControllerButtons(true);
    cmd->Clear();
    return 1;
}
