#include "engine/kusprite2.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/combine_file.h"
#include "engine/game_paths.h"
#include "engine/kusystem.h"
#include "platform/clock.h"
#include "platform/debug_out.h"
#include "platform/log_line.h"
#include "platform/video_image.h"

namespace {

constexpr int32_t kD3DErrTextureLoadFailed = static_cast<int32_t>(0x88760000u + 725);

// Where the slot's picture was extracted to.
void PicturePath(KUGRAPHIC2& g, char* path, size_t size) {
    std::snprintf(path, size, "%s%s", g.GetDirPath() ? g.GetDirPath() : "", g.GetFileName() ? g.GetFileName() : "");
}

} // namespace

KUSPRITE2::KUSPRITE2() = default;

KUSPRITE2::~KUSPRITE2() { Release(); }

void KUSPRITE2::ErrorPrint(const char* message) {
    if (m_pKUSys)
        m_pKUSys->TracePrint(message);
    else
        plat::DebugOut(message);
}

void KUSPRITE2::ErrorPrintf(const char* format, ...) {
    char buf[512];
    va_list ap;
    va_start(ap, format);
    plat::FormatLogLineV(buf, sizeof(buf), format, ap);
    va_end(ap);
    ErrorPrint(buf);
}

// The slot a binding or load names, or null after logging why not.
KUGRAPHIC2* KUSPRITE2::TableSlot(const char* tag, uint32_t slot) {
    if (!m_bInitialize) {
        ErrorPrintf("Error: <%s> 初期化されていません\n", tag);
        return nullptr;
    }
    if (slot >= m_dwGraphicNum) {
        ErrorPrintf("Error: <%s> 指定インデックスナンバーが範囲外です\n", tag);
        return nullptr;
    }
    if (!m_lpGraphic || !m_bGraphicBuffer) {
        ErrorPrintf("Error: <%s> グラフィックデータを確保していません\n", tag);
        return nullptr;
    }
    return &m_lpGraphic[slot];
}

// The slot a query names, or null after logging why not.
KUGRAPHIC2* KUSPRITE2::QuerySlot(const char* tag, uint32_t slot) {
    if (!m_bInitialize) {
        ErrorPrintf("Error: <%s> KUSPRITE2クラスは初期化されていません\n", tag);
        return nullptr;
    }
    if (slot >= m_dwGraphicNum || !m_lpGraphic) {
        ErrorPrintf("Error: <%s> 指定インデックス番号は不正です\n", tag);
        return nullptr;
    }
    return &m_lpGraphic[slot];
}

int KUSPRITE2::CreateGraphicDataBuffer(uint32_t count) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUSPRITE2::CreateGraphicDataBuffer> 初期化されていません\n");
        return 0;
    }
    if (count == 0) {
        ErrorPrint("Error: <KUSPRITE2::CreateGraphicDataBuffer> 引数のバッファ数が不正です\n");
        return 0;
    }
    m_lpGraphic.reset();
    m_dwGraphicNum = count;
    m_lpGraphic.reset(new KUGRAPHIC2[count]);
    m_bGraphicBuffer = 1;
    return 1;
}

int KUSPRITE2::SetGraphicData(uint32_t slot, const char* dir, const char* name, uint32_t type, uint32_t vram) {
    KUGRAPHIC2* g = TableSlot("KUSPRITE2::SetGraphicData", slot);
    if (!g)
        return 0;
    if (!g->Initialize(m_pKUSys, dir, name, type, vram)) {
        ErrorPrint("Error: <KUSPRITE2::SetGraphicData> グラフィックデータの初期化に失敗しました\n");
        return 0;
    }
    return 1;
}

plat::DeviceSurfacePtr KUSPRITE2::MakeSlotSurface(KUGRAPHIC2& g, uint32_t w, uint32_t h) {
    // Retries once in system memory.
    plat::DeviceSurfacePtr s = m_pDevice->CreateSurface(w, h);
    if (!s && g.vram()) {
        ErrorPrint("Warn: <KUSPRITE2::CreateGraphicData> VRAMでの作成に失敗しました。システムメモリで再試行します\n");
        s = m_pDevice->CreateSurface(w, h);
    }
    if (!s)
        ErrorPrint("Error: <KUSPRITE2::CreateGraphicData> サーフェスの作成に失敗しました\n");
    return s;
}

bool KUSPRITE2::ExtractSlotPicture(KUGRAPHIC2& g, uint32_t width, uint32_t height, uint32_t divWidth,
                                   uint32_t divHeight) {
    if (!g.GetFileName()) {
        // No name would extract every member: the picture's size check
        // refuses the slot with its own line instead.
        m_bLoadFailedForGood = true;
        if (!g.GetGraphicDataInfo(width, height, divWidth, divHeight))
            ErrorPrint("Error: <KUSPRITE2::CreateGraphicData> グラフィックデータの情報取得に失敗しました\n");
        return false;
    }
    const int r = FileDiv(kImageArchive, kTempFolder, g.GetFileName());
    m_bLoadFailedForGood = r == 0 || r == -2;
    if (r == -1 || r == -2) {
        ErrorPrint("Error: <KUSPRITE2::CreateGraphicData> ファイルの複合に失敗しました\n");
        return false;
    }
    if (r == 0) {
        ErrorPrintf("Error: <KUSPRITE2::CreateGraphicData> %s内に%sが見つかりません\n", kImageArchive,
                    g.GetFileName() ? g.GetFileName() : "");
        return false;
    }
    if (!g.GetGraphicDataInfo(width, height, divWidth, divHeight)) {
        ErrorPrint("Error: <KUSPRITE2::CreateGraphicData> グラフィックデータの情報取得に失敗しました\n");
        return false;
    }
    return true;
}

int KUSPRITE2::CreateEmptySlot(KUGRAPHIC2& g, uint32_t width, uint32_t height, uint32_t divWidth, uint32_t divHeight) {
    g.surface().reset();
    // Nothing else sizes an empty slot: without a size it takes the one
    // asked for, else the screen's, so work surfaces can hold a frame.
    uint32_t w = 0, h = 0;
    g.GetSrcGraphicSize(&w, &h);
    if (w == 0 || h == 0) {
        w = (width && height) ? width : m_dwWidth;
        h = (width && height) ? height : m_dwHeight;
        g.SetSrcGraphicSize(w, h);
        if (!g.GetFileName())
            g.GetGraphicDataInfo(w, h, divWidth, divHeight);
    }
    plat::DeviceSurfacePtr s = MakeSlotSurface(g, w, h);
    if (!s)
        return 0;
    g.surface() = std::move(s);
    g.set_created(1);
    return 1;
}

bool KUSPRITE2::LoadSlotSurface(KUGRAPHIC2& g) {
    g.surface().reset();
    plat::Surface picture;
    char path[520];
    PicturePath(g, path, sizeof(path));
    if (!plat::LoadPictureFile(path, &picture)) {
        ErrorPrint("Error: <KUSPRITE2::CreateGraphicData> ビットマップハンドルの取得に失敗しました\n");
        return false;
    }
    plat::DeviceSurfacePtr s =
        MakeSlotSurface(g, static_cast<uint32_t>(picture.width), static_cast<uint32_t>(picture.height));
    if (!s)
        return false;
    s->pixels = picture.pixels;
    g.surface() = std::move(s);
    g.set_created(1);
    return true;
}

bool KUSPRITE2::LoadSlotTextures(uint32_t slot, KUGRAPHIC2& g, uint32_t divWidth, uint32_t divHeight) {
    plat::SleepMs(100);
    if (!g.CreateGraphicData(divWidth, divHeight)) {
        ErrorPrint("Error: <KUSPRITE2::CreateGraphicData> テクスチャデータの再確保に失敗しました\n");
        return false;
    }
    // Decode once; every tile takes its part of the same picture.
    plat::Surface picture;
    char path[520];
    PicturePath(g, path, sizeof(path));
    const bool decoded = plat::LoadPictureFile(path, &picture);
    for (uint32_t r = 0; r < g.tilesDown(); ++r) {
        for (uint32_t c = 0; c < g.tilesAcross(); ++c) {
            if (!LoadTextureTile(slot, g, decoded ? &picture : nullptr, c, r)) {
                // A half-built slot would count as loaded: drop all of it,
                // so the slot reads as not loaded and a retry starts clean.
                g.ReleaseGraphicData(kGraphicTypeAll);
                return false;
            }
        }
    }
    g.set_created(1);
    return true;
}

bool KUSPRITE2::LoadTextureTile(uint32_t slot, KUGRAPHIC2& g, const plat::Surface* picture, uint32_t c, uint32_t r) {
    const uint32_t dw = g.divWidth(), dh = g.divHeight(), across = g.tilesAcross(), down = g.tilesDown();
    plat::DeviceSurfacePtr tex = m_pDevice->CreateTexture(dw, dh);
    if (!tex) {
        ErrorPrint("Error: <KUSPRITE2::CreateGraphicData> テクスチャの作成に失敗しました\n");
        return false;
    }
    uint32_t tw = (c + 1 == across && g.drawWidth() % dw) ? g.drawWidth() % dw : dw;
    uint32_t th = (r + 1 == down && g.drawHeight() % dh) ? g.drawHeight() % dh : dh;
    const uint32_t x0 = c * dw, y0 = r * dh;
    if (!picture || x0 >= static_cast<uint32_t>(picture->width) || y0 >= static_cast<uint32_t>(picture->height)) {
        ErrorPrintf(
            "Error: <KUSPRITE::CreateTexture> D3DXLoadTextureFromFile命令で インデックス:%d x:%d y:%d "
            "位置のテクスチャの読み込みに失敗しました\n",
            static_cast<int>(slot), static_cast<int>(c), static_cast<int>(r));
        ErrorNumber(kD3DErrTextureLoadFailed);
        return false;
    }
    tw = std::min(tw, static_cast<uint32_t>(picture->width) - x0);
    th = std::min(th, static_cast<uint32_t>(picture->height) - y0);
    for (uint32_t y = 0; y < th; ++y)
        std::memcpy(tex->Row(static_cast<int>(y)), picture->Row(static_cast<int>(y0 + y)) + x0, tw * 4u);
    g.textures()[r * across + c] = std::move(tex);
    return true;
}

int KUSPRITE2::CreateGraphicData(uint32_t slot, uint32_t width, uint32_t height, uint32_t divWidth,
                                 uint32_t divHeight) {
    m_bLoadFailedForGood = false;
    KUGRAPHIC2* slotRecord = TableSlot("KUSPRITE2::CreateGraphicData", slot);
    if (!slotRecord)
        return 0;
    KUGRAPHIC2& g = *slotRecord;
    if (!g.initialized()) {
        ErrorPrint(
            "Error: <KUSPRITE2::CreateGraphicData> 指定インデックスナンバーの画像データは初期化されていません\n");
        return 0;
    }
    if (!m_pDevice) {
        // Started without a device (a failed mode change): nothing can be made.
        ErrorPrint("Error: <KUSPRITE2::CreateGraphicData> 初期化されていません\n");
        return 0;
    }
    const uint32_t type = g.type();
    if (type == kGraphicTypeEmpty)
        return CreateEmptySlot(g, width, height, divWidth, divHeight);
    if (type & kGraphicTypeSurface) {
        if (!ExtractSlotPicture(g, width, height, divWidth, divHeight) || !LoadSlotSurface(g))
            return 0;
    }
    if (type & kGraphicTypeTexture) {
        if (!ExtractSlotPicture(g, width, height, divWidth, divHeight) ||
            !LoadSlotTextures(slot, g, divWidth, divHeight))
            return 0;
    }
    if (!g.SetColorkey(this, sizeof(KUSPRITE2), kClrInvalid))
        ErrorPrint("Error: <KUSPRITE2::CreateGraphicData> カラーキー設定に失敗しました\n");
    if (!m_pKUSys) {
        ErrorPrint("Error: <KUSPRITE2::CreateGraphicData> ::m_pKUSysが失われています\n");
    } else if (!m_pKUSys->RemoveFile(g.GetDirPath(), g.GetFileName(), 0)) {
        ErrorPrint("Error: <KUSPRITE2::CreateGraphicData> ファイルの削除に失敗しました\n");
    }
    return 1;
}

void KUSPRITE2::ReleaseGraphicData(uint32_t slot) {
    if (slot >= m_dwGraphicNum) {
        ErrorPrint("Error: <KUSPRITE2::ReleaseGraphicData> 指定インデックスナンバーが範囲外です\n");
        return;
    }
    if (m_lpGraphic)
        m_lpGraphic[slot].ReleaseGraphicData(kGraphicTypeAll);
}

int KUSPRITE2::RestoreGraphicData(uint32_t slot) {
    KUGRAPHIC2* slotRecord = QuerySlot("KUSPRITE2::RestoreGraphicData", slot);
    if (!slotRecord)
        return 1;
    KUGRAPHIC2& g = *slotRecord;
    if (!g.created())
        return 0;
    ErrorPrintf("Error: <KUSPRITE2::RestoreGraphicData> %d 番目のサーフェスデータのリストアを開始します\n",
                static_cast<int>(slot));
    const uint32_t type = g.type();
    if (type & kGraphicTypeSurface) {
        if (!CreateGraphicData(slot, g.drawWidth(), g.drawHeight(), g.divWidth(), g.divHeight()))
            ErrorPrintf("Error: <KUSPRITE2::RestoreGraphicData> %d 番目のサーフェスデータのリストアに失敗しました\n",
                        static_cast<int>(slot));
    }
    if (type & kGraphicTypeTexture) {
        if (!CreateGraphicData(slot, g.drawWidth(), g.drawHeight(), g.divWidth(), g.divHeight()))
            ErrorPrintf("Error: <KUSPRITE2::RestoreGraphicData> %d 番目のテクスチャデータのリストアに失敗しました\n",
                        static_cast<int>(slot));
    }
    return 0;
}

uint32_t KUSPRITE2::GetColorKey(plat::Surface* surface, uint32_t colour) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUSPRITE2::GetColorKey> 初期化されていません\n");
        return 0xFFFFFFFFu;
    }
    if (!surface || surface->pixels.empty()) {
        ErrorPrint("Error: <KUSPRITE2::GetColorKey> 画像データがありません\n");
        return 0xFFFFFFFFu;
    }
    uint32_t kept = surface->pixels[0];
    if (colour != kClrInvalid) {
        // A GDI colour 0x00BBGGRR as the surface stores it.
        surface->pixels[0] = ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
    }
    uint32_t value = surface->pixels[0];
    if (colour != kClrInvalid)
        surface->pixels[0] = kept;
    return value;
}

int KUSPRITE2::GetScreenMode(uint32_t* width, uint32_t* height, uint32_t* bpp, uint32_t* bestBpp, int* fullScreen) {
    if (width)
        *width = m_dwWidth;
    if (height)
        *height = m_dwHeight;
    if (bpp)
        *bpp = m_dwBPP;
    if (bestBpp)
        *bestBpp = m_dwBestBPP;
    if (fullScreen)
        *fullScreen = m_bFullScreen;
    return 1;
}

const char* KUSPRITE2::GetGraphicDataFilePath(uint32_t slot) {
    KUGRAPHIC2* slotRecord = QuerySlot("KUSPRITE2::GetGraphicDataFilePath", slot);
    if (!slotRecord)
        return nullptr;
    KUGRAPHIC2& g = *slotRecord;
    const char* name = g.initialized() ? g.GetFileName() : nullptr;
    if (!name) {
        ErrorPrint("Error: <KUSPRITE2::GetGraphicDataFilePath> ファイル名がありません\n");
        return nullptr;
    }
    const char* dir = g.GetDirPath();
    if (!dir) {
        std::snprintf(m_szPathBuffer, sizeof(m_szPathBuffer), "%s", name);
    } else {
        size_t n = std::strlen(dir);
        bool sep = n > 0 && (dir[n - 1] == '/' || dir[n - 1] == '\\');
        std::snprintf(m_szPathBuffer, sizeof(m_szPathBuffer), sep ? "%s%s" : "%s/%s", dir, name);
    }
    return m_szPathBuffer;
}

const char* KUSPRITE2::GetGraphicDataFileName(uint32_t slot) {
    KUGRAPHIC2* slotRecord = QuerySlot("KUSPRITE2::GetGraphicDataFileName", slot);
    if (!slotRecord)
        return nullptr;
    KUGRAPHIC2& g = *slotRecord;
    return g.initialized() ? g.GetFileName() : nullptr;
}

const char* KUSPRITE2::GetGraphicDataDirPath(uint32_t slot) {
    KUGRAPHIC2* slotRecord = QuerySlot("KUSPRITE2::GetGraphicDataFileName", slot);
    if (!slotRecord)
        return nullptr;
    KUGRAPHIC2& g = *slotRecord;
    const char* dir = g.initialized() ? g.GetDirPath() : nullptr;
    if (!dir)
        ErrorPrint("Error: <KUSPRITE2::GetGraphicDataFileName> ディレクトリパスがありません\n");
    return dir;
}

int KUSPRITE2::GetGraphicFormat(uint32_t slot, uint32_t* width, uint32_t* height) {
    KUGRAPHIC2* slotRecord = QuerySlot("KUSPRITE2::GetGraphicFormat", slot);
    if (!slotRecord)
        return 0;
    if (!slotRecord->GetSrcGraphicSize(width, height)) {
        ErrorPrint("Error: <KUSPRITE2::GetGraphicFormat> 画像サイズの取得に失敗しました\n");
        return 0;
    }
    return 1;
}

int KUSPRITE2::GetGraphicDataLoadState(uint32_t slot) {
    KUGRAPHIC2* slotRecord = QuerySlot("KUSPRITE2::GetGraphicDataLoadState", slot);
    if (!slotRecord)
        return -1;
    KUGRAPHIC2& g = *slotRecord;
    if (g.texture(0))
        return 0;
    return g.surface() ? 0 : 1;
}

int KUSPRITE2::GetSurfaceColor(uint32_t slot, int x, int y, uint32_t* colour) {
    KUGRAPHIC2* slotRecord = QuerySlot("KUSPRITE2::GetSurfaceColor", slot);
    if (!slotRecord)
        return 0;
    if (!colour) {
        ErrorPrint("Error: <KUSPRITE2::GetSurfaceColor> 色情報格納ポインタが不正です\n");
        return 0;
    }
    plat::DeviceSurface* s = slotRecord->surface().get();
    if (!s) {
        ErrorPrint("Error: <KUSPRITE2::GetSurfaceColor> サーフェスが失われています\n");
        return 0;
    }
    if (s->lost) {
        ErrorPrint("Error: <KUSPRITE2::GetSurfaceColor> 色の取得に失敗しました\n");
        return 0;
    }
    // GDI answers CLR_INVALID outside the surface; inside, 0x00BBGGRR.
    if (!s->Contains(x, y)) {
        *colour = kClrInvalid;
        return 1;
    }
    uint32_t p = s->Row(y)[x];
    *colour = ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
    return 1;
}
