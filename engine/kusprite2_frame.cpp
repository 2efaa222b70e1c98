#include <cstdio>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "platform/clock.h"

namespace {

// Last measuring time of CheckFrameRate, shared by the whole program.
uint32_t g_dwLastRateTime = 0;

} // namespace

int32_t KUSPRITE2::D3DXDrawStart() {
    if (!HasDevice()) {
        ErrorPrint("Error: <KUSPRITE2::D3DXDrawStart> 初期化されていません\n");
        return 1;
    }
    if (m_bInScene) {
        ErrorPrint("Error: <KUSPRITE2::D3DXDrawStart> シーンを描画済みです\n");
        return 0;
    }
    int32_t r = m_pDevice->Clear(0xFF000000u);
    if (r < 0) {
        ErrorPrint("Error: <KUSPRITE2::D3DXDrawStart> 画面クリアに失敗しました\n");
        return r;
    }
    r = m_pDevice->BeginScene();
    if (r < 0) {
        ErrorPrint("Error: <KUSPRITE2::D3DXDrawStart> BeginSceneに失敗しました\n");
        return r;
    }
    m_bInScene = 1;
    return 0;
}

int32_t KUSPRITE2::D3DXDrawEnd() {
    if (!HasDevice()) {
        ErrorPrint("Error: <KUSPRITE2::D3DXDrawEnd> 初期化されていません\n");
        return 1;
    }
    if (m_bInScene) {
        int32_t r = m_pDevice->EndScene();
        m_bInScene = 0;
        if (r < 0) {
            ErrorPrint("Error: <KUSPRITE2::D3DXDrawEnd> EndSceneに失敗しました\n");
            return r;
        }
    }
    int32_t r = m_pDevice->Present();
    if (r == kDDErrSurfaceLost || r == kDDErrSurfaceBusy)
        ErrorPrint("Error: <KUSPRITE2::D3DXDrawEnd> テクスチャ/サーフェスを失っています\n");
    return r;
}

int32_t KUSPRITE2::D3DXRestore() {
    // Without a device there is nothing to restore (a failed mode change).
    if (!m_pDevice)
        return plat::kVideoErrGeneric;
    int32_t r = m_pDevice->TestCooperativeLevel();
    for (int tries = 0; r == kDDErrNoExclusiveMode && tries < 3; ++tries) {
        plat::SleepMs(500);
        r = m_pDevice->TestCooperativeLevel();
    }
    if (r < 0)
        return r;
    r = m_pDevice->RestoreAllSurfaces();
    if (r < 0) {
        ErrorPrint("Error: <KUSPRITE2::D3DXRestore> 全サーフェスのリストアに失敗しました\n");
        return r;
    }
    // Primary and back buffer are part of the device and came back with it.
    ReloadAllSlots("KUSPRITE2::D3DXRestore");
    return 0;
}

int KUSPRITE2::FPSCtrl(uint32_t interval, int show, int x, int y, int height, uint32_t colour) {
    int result = 0;
    if (m_dwFrameStart == 0)
        m_dwFrameStart = plat::TimeMs();
    uint32_t now = plat::TimeMs();
    // One sleep to the frame's deadline: the clock reads it on waking, so the
    // frame lasts the interval to the millisecond with no nap or spin. The
    // loop only guards against a wake that came early.
    while (now - m_dwFrameStart < interval) {
        result = 1;
        plat::SleepUntilMs(m_dwFrameStart + interval);
        now = plat::TimeMs();
    }
    uint32_t elapsed = now - m_dwFrameStart;
    if (elapsed == 0)
        elapsed = 1;
    // Re-armed after a wait as well, so that every frame lasts the interval
    // (not re-arming would alternate paced and unpaced frames).
    m_dwFrameStart = result ? now : plat::TimeMs();
    if (show) {
        char text[100];
        std::snprintf(text, sizeof(text), "MS:%d FPS:%d", static_cast<int>(elapsed), static_cast<int>(1000 / elapsed));
        std::snprintf(m_szLastFpsText, sizeof(m_szLastFpsText), "%s", text);
        if (DDTextOut(-1, x, y, text, colour, height, 400) < 0) {
            ErrorPrint("Error: <KUSPRITE2::FPSCtrl> FPS描画に失敗しました\n");
            result = -1;
        }
    }
    return result;
}

int KUSPRITE2::CheckFrameRate(uint32_t rate, int measure) {
    uint32_t now = plat::TimeMs();
    if (measure && now != g_dwLastRateTime) {
        m_nFrameRate = static_cast<int>(1000.0 / static_cast<double>(now - g_dwLastRateTime));
        g_dwLastRateTime = now;
    }
    if (now == m_dwFrameStart)
        return 1;
    int current = static_cast<int>(1000.0 / static_cast<double>(now - m_dwFrameStart));
    return static_cast<int>(rate) <= current ? 1 : 0;
}

void KUSPRITE2::ResetFrameTimer() { m_dwFrameStart = plat::TimeMs(); }
