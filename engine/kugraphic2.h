#pragma once
#include <cstdint>
#include <memory>

#include "engine/image_header.h"
#include "platform/video.h"

class KUSYSTEM;
class KUSPRITE2;

// A rectangle in pixels; right and bottom are excluded.
struct KURECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Type flags of a graphic slot.
constexpr uint32_t kGraphicTypeSurface = 1; // a surface loaded from a BMP
constexpr uint32_t kGraphicTypeEmpty = 2; // an empty surface of a given size
constexpr uint32_t kGraphicTypeTexture = 4; // textures loaded from the file in tiles
constexpr uint32_t kGraphicTypeAll = 0xFFFF;

// Image kinds.
constexpr uint32_t kImageKindBmp = 1;
constexpr uint32_t kImageKindDds = 2;
constexpr uint32_t kImageKindNone = 4;

// "No colour given": take the surface's own top-left pixel.
constexpr uint32_t kClrInvalid = 0xFFFFFFFFu;

// One graphic slot of the renderer: the picture it is bound to and the
// surface or tile textures made from it.
class KUGRAPHIC2 {
public:
    KUGRAPHIC2() = default;
    ~KUGRAPHIC2();
    KUGRAPHIC2(const KUGRAPHIC2&) = delete;
    KUGRAPHIC2& operator=(const KUGRAPHIC2&) = delete;

    int Initialize(KUSYSTEM* sys, const char* dir, const char* name, uint32_t type, uint32_t vram);
    int GetGraphicDataInfo(uint32_t width, uint32_t height, uint32_t divWidth, uint32_t divHeight);
    int CreateGraphicData(uint32_t divWidth, uint32_t divHeight);
    void ReleaseGraphicData(uint32_t kinds);
    void Release();

    int SetSrcGraphicSize(uint32_t width, uint32_t height);
    int SetSrcGraphicSize(const char* dir, const char* name);
    int SetVRAMFlg(uint32_t flag);
    int SetColorkey(KUSPRITE2* sprite, uint32_t checkSize, uint32_t colour);
    int SetGraphicType(uint32_t type);

    int GetSrcGraphicSize(uint32_t* width, uint32_t* height);
    int GetDrawGraphicSize(uint32_t* width, uint32_t* height);
    int GetVRAMFlg(uint32_t* flag);
    int GetColorKey(uint32_t* key); // both words
    int GetDivisionSize(uint32_t* width, uint32_t* height);
    int GetDivisionNum(uint32_t* across, uint32_t* down);
    const char* GetFileName();
    const char* GetDirPath();
    char* GetFilePath(char* buffer, uint32_t size);
    int GetGraphicType(uint32_t* type);

    void ErrorPrint(const char* message);

    // Direct access for the renderer (these records are its own data).
    int initialized() const { return m_bInitialize; }
    int created() const { return m_bCreate; }
    void set_created(int v) { m_bCreate = v; }
    uint32_t imageKind() const { return m_dwImageKind; }
    uint32_t type() const { return m_dwType; }
    uint32_t drawWidth() const { return m_dwDrawWidth; }
    uint32_t drawHeight() const { return m_dwDrawHeight; }
    uint32_t srcWidth() const { return m_dwSrcWidth; }
    uint32_t srcHeight() const { return m_dwSrcHeight; }
    uint32_t divWidth() const { return m_dwDivWidth; }
    uint32_t divHeight() const { return m_dwDivHeight; }
    uint32_t tilesAcross() const { return m_dwDivNumX; }
    uint32_t tilesDown() const { return m_dwDivNumY; }
    uint32_t vram() const { return m_dwVRAM; }
    bool hasTextureArray() const { return m_lpTexture != nullptr; }
    plat::DeviceSurfacePtr* textures() { return m_lpTexture.get(); }
    plat::DeviceSurface* texture(uint32_t index) {
        return (m_lpTexture && index < m_dwDivNumX * m_dwDivNumY) ? m_lpTexture[index].get() : nullptr;
    }
    plat::DeviceSurfacePtr& surface() { return m_lpSurface; }

private:
    void FreeTextures();

    KUSYSTEM* m_pKUSys = nullptr;
    int m_bInitialize = 0;
    int m_bCreate = 0;
    char m_szFileName[260] = {};
    char m_szDirPath[260] = {};
    uint32_t m_dwSrcWidth = 0;
    uint32_t m_dwSrcHeight = 0;
    uint32_t m_dwDrawWidth = 0;
    uint32_t m_dwDrawHeight = 0;
    uint32_t m_dwVRAM = 0;
    uint32_t m_dwImageKind = 0;
    uint32_t m_dwType = 0;
    uint32_t m_dwColorKey[2] = {0, 0};
    uint32_t m_dwDivWidth = 0;
    uint32_t m_dwDivHeight = 0;
    uint32_t m_dwDivNumX = 0;
    uint32_t m_dwDivNumY = 0;
    std::unique_ptr<plat::DeviceSurfacePtr[]> m_lpTexture;
    plat::DeviceSurfacePtr m_lpSurface;
};
