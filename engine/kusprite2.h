#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/kugraphic2.h"
#include "platform/surface.h"
#include "platform/video.h"
#include "platform/window_handle.h"

class KUSYSTEM;
class KUTEXTGRAPHIC;

// Draw flags of D3DXDrawGraphic.
constexpr uint32_t kDrawFlagColorKey = 1;
constexpr uint32_t kDrawFlagAdd = 4; // ONE / ONE
constexpr uint32_t kDrawFlagPremultiplied = 8; // ONE / INVSRCALPHA
constexpr uint32_t kDrawFlagKeepBlend = 16; // factors of the previous draw
constexpr uint32_t kDrawFlagMultiply = 32; // ZERO / SRCCOLOR
constexpr uint32_t kDrawFlagInvert = 64; // INVDESTCOLOR / ZERO
constexpr uint32_t kDrawFlagDestAdd = 128; // DESTCOLOR / ONE
constexpr uint32_t kDrawFlagErase = 256; // ZERO / INVSRCALPHA
constexpr uint32_t kDrawTypeAuto = 65535;

// Result codes of the renderer's per-frame operations beside 0/1.
constexpr int32_t kDDErrSurfaceLost = plat::kVideoErrSurfaceLost;
constexpr int32_t kDDErrSurfaceBusy = plat::kVideoErrSurfaceBusy;
constexpr int32_t kDDErrNoExclusiveMode = plat::kVideoErrNoExclusiveMode;

// The renderer: device and screen mode, the graphic slot table, the frame
// cycle and picture drawing (the texture-text slots and GDI drawing share
// this class; their members are in the marked block).
class KUSPRITE2 {
public:
    KUSPRITE2();
    ~KUSPRITE2();
    KUSPRITE2(const KUSPRITE2&) = delete;
    KUSPRITE2& operator=(const KUSPRITE2&) = delete;

    // ---- device and screen modes (kusprite2_device.cpp) ----
    int Initialize(KUSYSTEM* sys, plat::WindowHandle hWnd, void* hInstance, uint32_t width, uint32_t height,
                   uint32_t bpp, int fullScreen);
    void Release();
    int ChangeScreenMode(int fullScreen, uint32_t bpp);
    int CheckVideoMode(uint32_t level, uint32_t width, uint32_t height, uint32_t bpp);
    int CreateD3DXContext(plat::WindowHandle hWnd, uint32_t level, uint32_t width, uint32_t height, uint32_t bpp,
                          int fullScreen);
    int EnumD3DXDevice();
    int CheckPixelFormat();
    int CheckMMX();
    void ErrorNumber(int32_t code);
    void ErrorPrint(const char* message);

    // ---- graphic slot table (kusprite2.cpp) ----
    int CreateGraphicDataBuffer(uint32_t count);
    int SetGraphicData(uint32_t slot, const char* dir, const char* name, uint32_t type, uint32_t vram);
    int CreateGraphicData(uint32_t slot, uint32_t width, uint32_t height, uint32_t divWidth, uint32_t divHeight);
    void ReleaseGraphicData(uint32_t slot);
    int RestoreGraphicData(uint32_t slot);
    uint32_t GetColorKey(plat::Surface* surface, uint32_t colour);
    int GetScreenMode(uint32_t* width, uint32_t* height, uint32_t* bpp, uint32_t* bestBpp, int* fullScreen);
    const char* GetGraphicDataFilePath(uint32_t slot);
    const char* GetGraphicDataFileName(uint32_t slot);
    const char* GetGraphicDataDirPath(uint32_t slot);
    int GetGraphicFormat(uint32_t slot, uint32_t* width, uint32_t* height);
    uint32_t GetGraphicDataBufferNum() const { return m_dwGraphicNum; }
    int GetGraphicDataLoadState(uint32_t slot);
    // Set by a failed CreateGraphicData that no retry can mend: the slot has
    // no file name, or the archive lacks its member or is no archive.
    bool LastLoadFailedForGood() const { return m_bLoadFailedForGood; }
    int GetSurfaceColor(uint32_t slot, int x, int y, uint32_t* colour);

    // ---- frame cycle (kusprite2_frame.cpp) ----
    int32_t D3DXDrawStart();
    int32_t D3DXDrawEnd();
    int32_t D3DXRestore();
    int FPSCtrl(uint32_t interval, int show, int x, int y, int height, uint32_t colour);
    int CheckFrameRate(uint32_t rate, int measure);
    void ResetFrameTimer();

    // ---- picture drawing (kusprite2_draw.cpp) ----
    int32_t D3DXDrawGraphic(uint32_t slot, float x, float y, uint32_t type, uint32_t flags, const KURECT* src,
                            float scaleX, float scaleY, const uint32_t* colour, uint32_t unused);
    int32_t D3DXDrawGraphicEx(uint32_t slot, float x, float y, uint32_t type, uint32_t flags, const KURECT* src,
                              float scaleX, float scaleY, const uint32_t* colour, uint32_t unused, float angle,
                              uint32_t unused2, uint32_t unused3);

    // ---- access for the texture-text and GDI code, the shell and tests ----
    int IsInitialized() const { return m_bInitialize; }
    int IsInScene() const { return m_bInScene; }
    // Usable means started and holding a complete device (a failed mode
    // change leaves it started without one).
    bool HasDevice() const { return m_bInitialize && m_pDevice != nullptr; }
    KUSYSTEM* GetSystem() const { return m_pKUSys; }
    plat::VideoDevice* GetVideoDevice() const { return m_pDevice.get(); }
    plat::Surface* GetBackSurface() const { return m_pDevice ? m_pDevice->BackBuffer() : nullptr; }
    KUGRAPHIC2* GetGraphicSlot(uint32_t slot) const {
        return (m_lpGraphic && slot < m_dwGraphicNum) ? &m_lpGraphic[slot] : nullptr;
    }
    uint32_t GetScreenWidth() const { return m_dwWidth; }
    uint32_t GetScreenHeight() const { return m_dwHeight; }
    uint32_t GetHardwareLevel() const { return m_dwHWLevel; }
    uint32_t GetFrameStart() const { return m_dwFrameStart; }
    // The frame-time line FPSCtrl formatted last ("MS:%d FPS:%d").
    const char* GetLastFrameTimeText() const { return m_szLastFpsText; }
    int GetGDIMode() const { return m_bGDIMode; }
    void SetGDIMode(int on) { m_bGDIMode = on; }

    // --- texture-text slots and GDI drawing (kusprite2_text.cpp, kusprite2_gdi.cpp) ---
    // Texture-text slot table.
    int CreateTextureTextBuffer(uint32_t count);
    void ReleaseTextureTextBuffer();
    int32_t SetTextureTextData(uint32_t slot, const char* text, uint32_t fontSize, uint32_t weight, uint32_t antiAlias,
                               uint32_t pitchAndFamily, uint32_t style);
    // Changes stored fields only (null: keep); the textures follow at the next restore.
    int32_t SetTextureTextData(uint32_t slot, const char* text, const uint32_t* fontSize, const uint32_t* weight,
                               const uint32_t* antiAlias, const uint32_t* pitchAndFamily, const uint32_t* style);
    void ReleaseTextureTextData(uint32_t slot);
    int32_t D3DXDrawTextureText(uint32_t slot, const KURECT* area, uint32_t colour, float shown, uint32_t revealStyle,
                                int32_t charSpacing, int32_t lineSpacing, float scaleX, float scaleY);
    int32_t D3DXRestoreTextureText(uint32_t slot);
    KUTEXTGRAPHIC* GetTextureTextSlot(uint32_t slot) const;
    // Rebuilds every texture-text slot that was built (after a device loss or
    // a screen-mode change).
    void RestoreAllTextureText();
    // Releases every texture-text slot and the table (renderer release).
    void ReleaseAllTextureText();
    uint32_t GetTextureTextBufferNum() const { return m_dwTextGraphicNum; }

    // GDI drawing on surfaces. Targets: -1 the back surface, else a graphic
    // slot's surface. Colours are 0x00BBGGRR.
    struct ClipList {
        uint32_t count = 0;
        const KURECT* rects = nullptr;
    };
    int DDTextOut(int32_t target, int x, int y, const char* text, uint32_t colour, int height, int weight);
    int DDTextOutToSurface(plat::Surface* surface, int x, int y, const char* text, uint32_t colour, int height,
                           int weight);
    int DDTextOutLock(int x, int y, const char* text, uint32_t colour, int height, int weight);
    int DDTextOutUnLock();
    int DDTextOutRange(int32_t target, KURECT* rect, const char* text, uint32_t colour, int height, int count,
                       int weight, uint32_t format);
    int DDRectangle(int32_t target, const KURECT* rect, const uint32_t* colour);
    int DDFillRect(int32_t target, const KURECT* rect, const uint32_t* colour);
    int32_t SetClipper(const ClipList* clipList);
    // The clip list on the back surface (copies by SurfaceComposition onto it stay inside it).
    const std::vector<KURECT>& GetClipList() const { return m_ClipList; }
    bool HasClipList() const { return m_bClipList != 0; }
    int32_t SurfaceComposition(int32_t dest, int32_t src, float x, float y, const KURECT* srcRect, float scaleX,
                               float scaleY, uint32_t flags);
    int32_t FlipToGDISurface();
    void EndGDISurface();
    // Gives back the device context and font held by a run of locked text
    // output (start-up, mode change, release and the frame's end call it).
    void ReleaseTextOutRun();
    bool HasTextOutRun() const { return m_pTextRun != nullptr; }

private:
    struct TextSlotsFree {
        void operator()(KUTEXTGRAPHIC* p) const;
    };
    struct TextRun; // text device context, text font, previous font
    struct TextRunFree {
        void operator()(TextRun* p) const;
    };
    plat::Surface* GdiTarget(int32_t target, const char* lostMessage, const char* indexMessage);
    plat::Surface* RectTarget(const char* op, int32_t target, const KURECT* rect, KURECT* out);
    bool TextSlotChecked(const char* op, uint32_t slot, bool reportNoTable);
    bool TextDrawReady(uint32_t slot, const KURECT* area, int32_t* refusal);
    int SceneRefusal(const char* op);
    plat::Surface* CompositionSurface(int32_t target, const char* badMessage);
    int32_t BlitComposition(plat::Surface* dst, int32_t dest, plat::Surface* source, const KURECT& rs,
                            const plat::RectI& rd, uint32_t flags);
    std::unique_ptr<KUTEXTGRAPHIC[], TextSlotsFree> m_lpTextGraphic;
    uint32_t m_dwTextGraphicNum = 0;
    int m_bTextGraphicBuffer = 0;
    std::unique_ptr<TextRun, TextRunFree> m_pTextRun;
    std::vector<KURECT> m_ClipList; // the back surface's clip list while m_bClipList is set
    int m_bClipList = 0;

public:
    // --- end texture-text ---

private:
    KUGRAPHIC2* TableSlot(const char* tag, uint32_t slot);
    KUGRAPHIC2* QuerySlot(const char* tag, uint32_t slot);
    void DropDeviceState();
    int StartDevice(const char* tag, uint32_t width, uint32_t height, uint32_t bpp, int fullScreen);
    int FinishDevice(const char* tag);
    void SetFixedDeviceState(const char* tag);
    void ReloadAllSlots(const char* tag);
    void ErrorPrintf(const char* format, ...);
    plat::DeviceSurfacePtr MakeSlotSurface(KUGRAPHIC2& g, uint32_t w, uint32_t h);
    bool ExtractSlotPicture(KUGRAPHIC2& g, uint32_t width, uint32_t height, uint32_t divWidth, uint32_t divHeight);
    int CreateEmptySlot(KUGRAPHIC2& g, uint32_t width, uint32_t height, uint32_t divWidth, uint32_t divHeight);
    bool LoadSlotSurface(KUGRAPHIC2& g);
    bool LoadSlotTextures(uint32_t slot, KUGRAPHIC2& g, uint32_t divWidth, uint32_t divHeight);
    bool LoadTextureTile(uint32_t slot, KUGRAPHIC2& g, const plat::Surface* picture, uint32_t c, uint32_t r);
    int32_t DrawGraphicCommon(const char* tag, uint32_t slot, float x, float y, uint32_t type, uint32_t flags,
                              const KURECT* src, float scaleX, float scaleY, const uint32_t* colour);
    int32_t DrawSurfacePath(const char* tag, KUGRAPHIC2& g, float x, float y, uint32_t flags, const KURECT* src,
                            float scaleX, float scaleY);
    int32_t DrawTexturePath(const char* tag, KUGRAPHIC2& g, float x, float y, uint32_t flags, const KURECT* src,
                            float scaleX, float scaleY, const uint32_t* colour);
    int32_t DrawTextureTiles(const char* tag, KUGRAPHIC2& g, const KURECT& S, float x, float y, float scaleX,
                             float scaleY, uint32_t c);
    int32_t DrawTextureTile(const char* tag, plat::DeviceSurface* tex, const plat::TLVertex v[4]);

    plat::WindowHandle m_hWnd = nullptr;
    void* m_hInstance = nullptr;
    KUSYSTEM* m_pKUSys = nullptr;
    int m_bInitialize = 0;
    int m_bD3DXStarted = 0;
    int m_bMMX = 0;
    std::unique_ptr<plat::VideoDevice> m_pDevice; // context, device, primary and back surface in one
    int m_bClipper = 0;
    int m_bFullScreen = 0;
    uint32_t m_dwWidth = 0;
    uint32_t m_dwHeight = 0;
    uint32_t m_dwBPP = 0;
    uint32_t m_dwBestBPP = 0;
    uint32_t m_dwColorMask[3] = {0, 0, 0};
    uint32_t m_dwColorShift[3] = {0, 0, 0};
    uint32_t m_dwColorBits[3] = {0, 0, 0};
    int m_bInScene = 0;
    int m_bGDIMode = 0;
    bool m_bLoadFailedForGood = false;
    int m_bFontSmoothingRead = 0;
    uint32_t m_dwFrameStart = 0;
    int m_nFrameRate = 0;
    std::unique_ptr<KUGRAPHIC2[]> m_lpGraphic;
    uint32_t m_dwGraphicNum = 0;
    int m_bGraphicBuffer = 0;
    uint32_t m_dwDeviceNum = 0;
    uint32_t m_dwHWLevel = plat::kVideoLevelDefault;
    uint32_t m_dwVideoModeNum = 0;
    uint32_t m_dwVideoModeIndex = 0;
    std::unique_ptr<plat::VideoMode[]> m_lpVideoMode;
    char m_szPathBuffer[520] = {};
    char m_szLastFpsText[100] = {};
};
