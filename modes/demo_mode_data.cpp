#include "modes/demo_mode_data.h"

#include "engine/game_paths.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "engine/virtual_keys.h"
#include "game/game_settings.h"
#include "game/mode_results.h"
#include "game/shell_services.h"
#include "modes/mode_common.h"
#include "platform/debug_out.h"
#include "sound/kusnd.h"

namespace {

constexpr const char* kMovieFile = kMovieArchive;
constexpr unsigned int kPopupStyle = 0x90000000u; // popup, visible
// The display counter loops are bounded so a broken cursor layer cannot hang.
constexpr int kCursorLoopMax = 64;

} // namespace

DEMO_MODE_DATA::DEMO_MODE_DATA() : m_bInit(0), m_pKUSys(nullptr), m_pKUSprite(nullptr), m_pKUSnd(nullptr) { Release(); }

DEMO_MODE_DATA::~DEMO_MODE_DATA() { Release(); }

int DEMO_MODE_DATA::MovieVolume(unsigned step) {
    static constexpr int kTable[11] = {-10000, -3000, -2000, -1500, -1250, -1000, -800, -600, -400, -200, 0};
    return step <= 10 ? kTable[step] : -10000;
}

int DEMO_MODE_DATA::Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd) {
    Release();
    if (!modes::EnginePointersGiven(sys, sprite, snd, "DEMO_MODE_DATA::Initialize"))
        return 0;
    m_pKUSys = sys;
    m_pKUSprite = sprite;
    m_pKUSnd = snd;
    m_bInit = 1;
    return 1;
}

void DEMO_MODE_DATA::Release() {
    m_nPhase = 0;
    m_bInit = 0;
    m_pKUSys = nullptr;
    m_pKUSprite = nullptr;
    m_pKUSnd = nullptr;
}

void DEMO_MODE_DATA::RestoreScreen() {
    SetMenuAttached(1);
    for (int i = 0; i < kCursorLoopMax && ShowCursor(1) < 0; ++i) {
    }
    g_bMoviePlay = 0;
}

int DEMO_MODE_DATA::MainProc() {
    const char* tag = "DEMO_MODE_DATA::MainProc";
    if (!m_bInit || !m_pKUSys || !m_pKUSprite || !m_pKUSnd) {
        modes::ErrorPrint(m_pKUSys, tag, "初期化されていません");
        return kModeFailed;
    }
    const bool ctrl = m_pKUSys->GetKey(kGameKeyControl) != 0;
    if (m_nPhase == 0) {
        if (ctrl)
            return kResultDone;
        m_pKUSprite->D3DXDrawStart();
        m_pKUSprite->D3DXDrawEnd();
        if (!g_bFullScreen)
            g_bMoviePlayOld = 1;
        g_bMoviePlay = 1;
        for (int i = 0; i < kCursorLoopMax && ShowCursor(0) >= 0; ++i) {
        }
        if (g_bFullScreen) {
            SetMenuAttached(0);
            g_dwWindowStyle = kPopupStyle;
            ApplyWindowStyle(kPopupStyle);
        }
        if (m_pKUSnd->DShowIsOpen(kMovieChannel) == 0 && m_pKUSnd->DShowOpen(kMovieChannel, kMovieFile, 800, 600) < 0) {
            modes::ErrorPrint(m_pKUSys, tag, "ムービーオープンに失敗しました");
            // The program ends on -1; it should not leave the cursor hidden.
            RestoreScreen();
            return kModeFailed;
        }
        if (m_pKUSnd->DShowPlay(kMovieChannel) < 0) {
            modes::ErrorPrint(m_pKUSys, tag, "ムービー再生に失敗しました");
            RestoreScreen();
            return kModeFailed;
        }
        if (m_pKUSnd->DShowSetVolume(kMovieChannel, MovieVolume(g_dwBGMVolume)) < 0)
            modes::ErrorPrint(m_pKUSys, tag, "ムービーの音量設定に失敗しました");
        m_nPhase = 1;
        return kModeRunning;
    }
    // A closed channel leaves the status alone: start from neither running nor stopped.
    int status = 0;
    if (m_pKUSnd->DShowGetStatus(kMovieChannel, &status) < 0) {
        modes::ErrorPrint(m_pKUSys, tag, "ムービーの状態取得に失敗しました");
        RestoreScreen();
        return kModeFailed;
    }
    if (status != 2 && modes::ClickState(m_pKUSys) != kKeyStateReleased && !ctrl)
        return kModeRunning;
    RestoreScreen();
    m_pKUSnd->DShowStop(kMovieChannel);
    m_pKUSnd->DShowClose(kMovieChannel);
    return kResultDone;
}

int DEMO_MODE_DATA::DrawProc() {
    if (!m_bInit || !m_pKUSys || !m_pKUSprite) {
        modes::ErrorPrint(m_pKUSys, "DEMO_MODE_DATA::DrawProc", "初期化されていません");
        return 0;
    }
    return 1;
}
