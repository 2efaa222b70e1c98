#include <cstring>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"

namespace {

struct Level {
    uint32_t index;
    const char* name;
};

// Device levels from the most capable down.
constexpr Level kLevels[] = {
    {plat::kVideoLevelTnL, "HW T&L"},          {plat::kVideoLevelRaster, "RASTER"},   {plat::kVideoLevel2D, "2D"},
    {plat::kVideoLevelReference, "REFERENCE"}, {plat::kVideoLevelDefault, "DEFAULT"},
};

} // namespace

int KUSPRITE2::CheckVideoMode(uint32_t level, uint32_t width, uint32_t height, uint32_t bpp) {
    uint32_t count = plat::VideoModeCount(level);
    if (count == 0) {
        ErrorPrint("Error: <KUSPRITE2::CheckVideoMode> ビデオモード数の取得に失敗しました\n");
        return -1;
    }
    m_lpVideoMode.reset(new plat::VideoMode[count]);
    m_dwVideoModeNum = count;
    for (uint32_t i = 0; i < count; ++i) {
        if (plat::GetVideoMode(level, i, &m_lpVideoMode[i]) < 0)
            ErrorPrint("Error: <KUSPRITE2::CheckVideoMode> ビデオモードの取得に失敗しました\n");
    }
    for (uint32_t i = 0; i < count; ++i) {
        const plat::VideoMode& m = m_lpVideoMode[i];
        if (m.width == width && m.height == height && m.bpp == bpp) {
            m_dwVideoModeIndex = i;
            return 1;
        }
    }
    return 0;
}

int KUSPRITE2::CreateD3DXContext(plat::WindowHandle /*hWnd*/, uint32_t level, uint32_t width, uint32_t height,
                                 uint32_t bpp, int /*fullScreen*/) {
    // The full-screen field decides, as the callers set it just before.
    m_pDevice = plat::VideoDevice::Create(level, width, height, bpp, m_bFullScreen != 0);
    if (!m_pDevice) {
        ErrorPrint("Error: <KUSPRITE2::CreateD3DXContext> D3DXCreateContextEx関数が失敗しました\n");
        return 0;
    }
    return 1;
}

// The level search shared by start-up and mode change: 1 made, 0 none left.
int KUSPRITE2::StartDevice(const char* tag, uint32_t width, uint32_t height, uint32_t bpp, int fullScreen) {
    for (const Level& lv : kLevels) {
        if (CheckVideoMode(lv.index, width, height, bpp) != 1) {
            ErrorPrintf("Error: <%s> VGAは W:%d H:%d BPP:%d HW LEVEL:%s に対応していません\n", tag, width, height, bpp,
                        lv.name);
            continue;
        }
        ErrorPrintf("Message: <%s> W:%d H:%d BPP:%d HW LEVEL:%s で作成します\n", tag, width, height, bpp, lv.name);
        m_dwBPP = bpp;
        m_dwWidth = width;
        m_dwHeight = height;
        m_bFullScreen = fullScreen;
        if (!CreateD3DXContext(m_hWnd, lv.index, width, height, bpp, fullScreen)) {
            ErrorPrintf("Error: <%s> D3DXCreateContextに失敗しました\n", tag);
            if (lv.index != plat::kVideoLevelDefault)
                ErrorPrintf("Error: <%s> VGAは W:%d H:%d BPP:%d HW LEVEL:%s に対応していません\n", tag, width, height,
                            bpp, lv.name);
            continue;
        }
        uint32_t best = 0;
        for (uint32_t depth : {32u, 24u, 16u}) {
            if (CheckVideoMode(lv.index, width, height, depth) != 0) {
                best = depth;
                break;
            }
        }
        if (best) {
            ErrorPrintf("Message: <%s> W:%d H:%d HW LEVEL:%s の最大解像度は%dです\n", tag, width, height, lv.name,
                        best);
            m_dwBestBPP = best;
        } else {
            // Retrying the same level could never end: keep the asked depth.
            ErrorPrintf("Message: <%s> W:%d H:%d HW LEVEL:%s の最大解像度の取得に失敗しました\n", tag, width, height,
                        lv.name);
            m_dwBestBPP = bpp;
        }
        m_dwHWLevel = lv.index;
        return 1;
    }
    ErrorPrintf("Message: <%s> W:%d H:%d BPP:%d をVGAはサポートしていません\n", tag, width, height, bpp);
    return 0;
}

void KUSPRITE2::SetFixedDeviceState(const char* /*tag*/) {
    // Point filtering, modulate and no culling are what the rasteriser does;
    // the switchable states start off with the usual alpha factors.
    m_pDevice->SetColorKeyEnable(false);
    m_pDevice->SetAlphaBlend(false);
    m_pDevice->SetSrcBlend(plat::Blend::kSrcAlpha);
    m_pDevice->SetDestBlend(plat::Blend::kInvSrcAlpha);
}

// Device, surfaces and fixed state once a context exists: 1, or -1.
int KUSPRITE2::FinishDevice(const char* tag) {
    if (!m_pDevice) {
        ErrorPrintf("Error: <%s> D3DXデバイスポインタ取得に失敗しました\n", tag);
        return -1;
    }
    m_bClipper = 1;
    SetFixedDeviceState(tag);
    if (!m_pDevice->BackBuffer()) {
        ErrorPrintf("Error: <%s> バックサーフェスの取得に失敗しました\n", tag);
        return -1;
    }
    return 1;
}

// What a start-up or a mode change drops before it makes a new device: the
// text run, the device, the frame state and the device and mode tables.
void KUSPRITE2::DropDeviceState() {
    ReleaseTextOutRun();
    m_pDevice.reset();
    m_bClipper = 0;
    m_bInScene = 0;
    m_bGDIMode = 0;
    m_dwFrameStart = 0;
    m_nFrameRate = 0;
    m_dwDeviceNum = 0;
    m_lpVideoMode.reset();
    m_dwVideoModeNum = m_dwVideoModeIndex = 0;
}

int KUSPRITE2::Initialize(KUSYSTEM* sys, plat::WindowHandle hWnd, void* hInstance, uint32_t width, uint32_t height,
                          uint32_t bpp, int fullScreen) {
    const char* tag = "KUSPRITE2::Initialize";
    if (!sys) {
        ErrorPrint("Error: <KUSPRITE2::Initialize> KUSYSTEMクラスポインタが不正です\n");
        return -1;
    }
    m_pKUSys = sys;
    if (!hWnd) {
        ErrorPrint("Error: <KUSPRITE2::Initialize> ウィンドウハンドルが不正です\n");
        return -1;
    }
    if (!hInstance) {
        ErrorPrint("Error: <KUSPRITE2::Initialize> インスタンスハンドルが不正です\n");
        return -1;
    }
    if (!m_bD3DXStarted)
        m_bD3DXStarted = 1;

    DropDeviceState();
    m_lpGraphic.reset();
    m_dwGraphicNum = 0;
    m_bGraphicBuffer = 0;
    m_hWnd = hWnd;

    if (!StartDevice(tag, width, height, bpp, fullScreen))
        return 0;

    m_hWnd = hWnd;
    m_hInstance = hInstance;
    m_dwWidth = width;
    m_dwHeight = height;
    m_dwBPP = bpp;
    m_bFullScreen = fullScreen;
    if (FinishDevice(tag) < 0)
        return -1;
    m_bMMX = CheckMMX();
    // Font smoothing is a Windows desktop setting; the GDI layer here always
    // draws smoothed text, so there is nothing to switch.
    m_bFontSmoothingRead = 0;
    m_bInitialize = 1;
    return 1;
}

int KUSPRITE2::ChangeScreenMode(int fullScreen, uint32_t bpp) {
    const char* tag = "KUSPRITE2::ChangeScreenMode";
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUSPRITE2::ChangeScreenMode> 初期化されていません\n");
        return 0;
    }
    DropDeviceState();

    // Until a change succeeds the renderer holds no device, and every frame
    // and draw operation answers as when not started (HasDevice()).
    if (!StartDevice(tag, m_dwWidth, m_dwHeight, bpp, fullScreen))
        return 0;
    m_dwBPP = bpp;
    m_bFullScreen = fullScreen;
    if (FinishDevice(tag) < 0) {
        m_pDevice.reset();
        return -1;
    }
    ReloadAllSlots(tag);
    return 1;
}

void KUSPRITE2::ReloadAllSlots(const char* tag) {
    ErrorPrintf("Message: <%s> グラフィックデータのReloadを開始します\n", tag);
    for (uint32_t i = 0; i < m_dwGraphicNum; ++i)
        RestoreGraphicData(i);
    ErrorPrintf("Message: <%s> グラフィックデータのReloadが完了しました\n", tag);
    ErrorPrintf("Message: <%s> グラフィックテキストデータのReloadを開始します\n", tag);
    RestoreAllTextureText();
    ErrorPrintf("Message: <%s> グラフィックテキストデータのReloadが完了しました\n", tag);
}

void KUSPRITE2::Release() {
    m_hWnd = nullptr;
    m_hInstance = nullptr;
    m_pKUSys = nullptr;
    m_bInitialize = 0;
    m_bMMX = 0;
    m_bFullScreen = 0;
    m_dwWidth = m_dwHeight = m_dwBPP = m_dwBestBPP = 0;
    std::memset(m_dwColorMask, 0, sizeof(m_dwColorMask));
    std::memset(m_dwColorShift, 0, sizeof(m_dwColorShift));
    std::memset(m_dwColorBits, 0, sizeof(m_dwColorBits));
    m_bInScene = 0;
    m_bGDIMode = 0;
    m_dwFrameStart = 0;
    m_nFrameRate = 0;
    m_lpGraphic.reset();
    m_dwGraphicNum = 0;
    m_bGraphicBuffer = 0;
    ReleaseAllTextureText();
    m_dwDeviceNum = 0;
    m_dwHWLevel = 0;
    m_lpVideoMode.reset();
    m_dwVideoModeNum = m_dwVideoModeIndex = 0;
    ReleaseTextOutRun();
    m_bFontSmoothingRead = 0;
    m_pDevice.reset();
    m_bClipper = 0;
    m_bD3DXStarted = 0;
}

int KUSPRITE2::EnumD3DXDevice() {
    if (!m_bD3DXStarted) {
        ErrorPrint("Error: <KUSPRITE2::EnumD3DXDevice> D3DXリソースの初期化が済んでいません\n");
        return 0;
    }
    m_dwDeviceNum = sizeof(kLevels) / sizeof(kLevels[0]);
    return 1;
}

int KUSPRITE2::CheckPixelFormat() {
    if (!m_pDevice) {
        ErrorPrint("Error: <KUSPRITE2::CheckPixelFormat> プライマリサーフェスが取得されていません\n");
        return 0;
    }
    // The display is 32-bit X8R8G8B8 for the rasteriser whatever is shown.
    const uint32_t masks[3] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu};
    for (int i = 0; i < 3; ++i) {
        m_dwColorMask[i] = masks[i];
        uint32_t m = masks[i], shift = 0, bits = 0;
        while (!(m & 1u)) {
            m >>= 1;
            if (++shift > 16)
                return 0;
        }
        while (m & 1u) {
            m >>= 1;
            if (++bits > 16)
                return 0;
        }
        m_dwColorShift[i] = shift;
        m_dwColorBits[i] = bits;
    }
    return 1;
}

int KUSPRITE2::CheckMMX() {
#if defined(__x86_64__) || defined(__i386__)
    return __builtin_cpu_supports("mmx") ? 1 : 0;
#else
    return 0;
#endif
}
