#include "engine/kugraphic2.h"

#include <cstdio>
#include <cstring>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "platform/debug_out.h"

namespace {

// Copies a NUL-terminated string into a fixed field, cut to fit.
void CopyField(char* field, size_t size, const char* text) {
    std::memset(field, 0, size);
    if (text)
        std::strncpy(field, text, size - 1);
}

uint32_t CeilDiv(uint32_t a, uint32_t b) { return b ? (a / b + (a % b ? 1u : 0u)) : 0u; }

} // namespace

KUGRAPHIC2::~KUGRAPHIC2() { Release(); }

void KUGRAPHIC2::ErrorPrint(const char* message) {
    if (m_pKUSys)
        m_pKUSys->TracePrint(message);
    else
        plat::DebugOut(message);
}

void KUGRAPHIC2::FreeTextures() { m_lpTexture.reset(); }

int KUGRAPHIC2::Initialize(KUSYSTEM* sys, const char* dir, const char* name, uint32_t type, uint32_t vram) {
    if (!sys) {
        ErrorPrint("Error: <KUGRAPHIC2::Initialize> KUSYSTEMクラスポインタが不正です\n");
        return 0;
    }
    m_pKUSys = sys;
    if (type == 0 || type == kGraphicTypeAll) {
        ErrorPrint("Error: <KUGRAPHIC2::Initialize> 指定画像タイプが不明か無効です\n");
        return 0;
    }
    CopyField(m_szFileName, sizeof(m_szFileName), name);
    CopyField(m_szDirPath, sizeof(m_szDirPath), dir);
    size_t len = std::strlen(m_szDirPath);
    if (len > 0 && m_szDirPath[len - 1] != '/') {
        if (len + 1 < sizeof(m_szDirPath))
            m_szDirPath[len] = '/';
        else
            m_szDirPath[len - 1] = '/'; // a full field keeps its separator
    }
    m_dwType = type;
    m_dwVRAM = vram;
    m_dwColorKey[0] = m_dwColorKey[1] = 0;
    FreeTextures();
    m_lpSurface.reset();
    m_dwDivNumX = m_dwDivNumY = 0;
    m_bCreate = 0;
    m_bInitialize = 1;
    return 1;
}

int KUGRAPHIC2::GetGraphicDataInfo(uint32_t width, uint32_t height, uint32_t divWidth, uint32_t divHeight) {
    char path[520];
    std::snprintf(path, sizeof(path), "%s%s", m_szDirPath, m_szFileName);
    if (m_szFileName[0]) {
        uint32_t w = 0, h = 0;
        int kind = GetFileInfoGraphics(path, &w, &h, nullptr);
        if (kind == 0) {
            ErrorPrint("Error: <KUGRAPHIC2::GetGraphicDataInfo> 画像タイプが不明です\n");
            return 0;
        }
        m_dwImageKind = static_cast<uint32_t>(kind);
        m_dwSrcWidth = w;
        m_dwSrcHeight = h;
    } else {
        if (m_dwType & (kGraphicTypeSurface | kGraphicTypeTexture)) {
            ErrorPrint(
                "Error: <KUGRAPHIC2::GetGraphicDataInfo> "
                "ファイル名を指定せずにサーフェス及びテクスチャの作成は出来ません\n");
            return 0;
        }
        if (width == 0 || height == 0) {
            ErrorPrint(
                "Error: <KUGRAPHIC2::GetGraphicDataInfo> 空サーフェス指定では描画サイズにデフォルト指定は出来ません\n");
            return 0;
        }
        m_dwSrcWidth = width;
        m_dwSrcHeight = height;
        m_dwImageKind = kImageKindNone;
    }
    if ((m_dwType & kGraphicTypeSurface) && m_dwImageKind == kImageKindDds) {
        ErrorPrint("Error: <KUGRAPHIC2::GetGraphicDataInfo> 画像タイプがDDSの場合はサーフェスに指定出来ません\n");
        return 0;
    }
    if (m_dwType == kGraphicTypeEmpty)
        m_dwImageKind = kImageKindNone;
    m_dwDrawWidth = width ? width : m_dwSrcWidth;
    m_dwDrawHeight = height ? height : m_dwSrcHeight;
    m_dwDivWidth = divWidth ? divWidth : 256;
    m_dwDivHeight = divHeight ? divHeight : 256;
    return 1;
}

int KUGRAPHIC2::CreateGraphicData(uint32_t /*divWidth*/, uint32_t /*divHeight*/) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUGRAPHIC2::CreateGraphicData> 初期化されていません\n");
        return 0;
    }
    if (!m_szFileName[0] || m_dwImageKind == kImageKindNone) {
        ErrorPrint("Error: <KUGRAPHIC2::CreateGraphicData> 空サーフェスなので画像からサイズを取得できません\n");
        return 0;
    }
    FreeTextures();
    if (m_dwType & kGraphicTypeTexture) {
        m_dwDivNumX = CeilDiv(m_dwSrcWidth, m_dwDivWidth);
        m_dwDivNumY = CeilDiv(m_dwSrcHeight, m_dwDivHeight);
        // The header readers cap the picture size, so the grid stays small.
        m_lpTexture.reset(new plat::DeviceSurfacePtr[static_cast<size_t>(m_dwDivNumX) * m_dwDivNumY]);
    }
    return 1;
}

void KUGRAPHIC2::ReleaseGraphicData(uint32_t kinds) {
    if (kinds & kGraphicTypeTexture)
        FreeTextures();
    if (kinds & (kGraphicTypeSurface | kGraphicTypeEmpty))
        m_lpSurface.reset();
    m_bCreate = 0;
}

void KUGRAPHIC2::Release() {
    FreeTextures();
    m_lpSurface.reset();
    m_pKUSys = nullptr;
    m_bInitialize = 0;
    m_bCreate = 0;
    std::memset(m_szFileName, 0, sizeof(m_szFileName));
    std::memset(m_szDirPath, 0, sizeof(m_szDirPath));
    m_dwSrcWidth = m_dwSrcHeight = m_dwDrawWidth = m_dwDrawHeight = 0;
    m_dwVRAM = m_dwImageKind = m_dwType = 0;
    m_dwColorKey[0] = m_dwColorKey[1] = 0;
    m_dwDivWidth = m_dwDivHeight = m_dwDivNumX = m_dwDivNumY = 0;
}

int KUGRAPHIC2::SetSrcGraphicSize(uint32_t width, uint32_t height) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUGRAPHIC2::SetSrcGraphicSize> 初期化されていません\n");
        return 0;
    }
    m_dwSrcWidth = width;
    m_dwSrcHeight = height;
    return 1;
}

int KUGRAPHIC2::SetSrcGraphicSize(const char* dir, const char* name) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUGRAPHIC2::SetSrcGraphicSize> 初期化されていません\n");
        return 0;
    }
    char path[520];
    if (name) {
        std::snprintf(path, sizeof(path), "%s%s", dir ? dir : "", name);
    } else {
        if (!m_szFileName[0]) {
            ErrorPrint("Error: <KUGRAPHIC2::SetSrcGraphicSize> 取得画像ファイルパスが無効です\n");
            return 0;
        }
        std::snprintf(path, sizeof(path), "%s%s", m_szDirPath, m_szFileName);
    }
    uint32_t w = 0, h = 0;
    int kind = GetFileInfoGraphics(path, &w, &h, nullptr);
    if (kind == 0) {
        ErrorPrint("Error: <KUGRAPHIC2::SetSrcGraphicSize> 画像タイプが不明です\n");
        return 0;
    }
    m_dwSrcWidth = w;
    m_dwSrcHeight = h;
    m_dwImageKind = static_cast<uint32_t>(kind);
    return 1;
}

int KUGRAPHIC2::SetVRAMFlg(uint32_t flag) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUGRAPHIC2::SetVRAMFlg> 初期化されていません\n");
        return 0;
    }
    m_dwVRAM = flag;
    return 1;
}

int KUGRAPHIC2::SetColorkey(KUSPRITE2* sprite, uint32_t checkSize, uint32_t colour) {
    if (!sprite || checkSize != sizeof(KUSPRITE2)) {
        ErrorPrint("Error: <KUGRAPHIC2> 引数のポインタはKUSPRITE2クラスではありません\n");
        return 0;
    }
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUGRAPHIC2::SetColorKey> 初期化されていません\n");
        return 0;
    }
    if (m_lpSurface) {
        uint32_t key = sprite->GetColorKey(m_lpSurface.get(), colour);
        m_dwColorKey[0] = m_dwColorKey[1] = key;
        if (m_lpSurface->lost) {
            ErrorPrint("Error: <KUGRAPHIC2::SetColorkey> カラーキー設定に失敗しました\n");
            return 0;
        }
        m_lpSurface->hasColorKey = true;
        m_lpSurface->colorKey = key;
        return 1;
    }
    if (!m_lpTexture || !m_lpTexture[0])
        return 1;
    uint32_t key = sprite->GetColorKey(m_lpTexture[0].get(), colour);
    m_dwColorKey[0] = m_dwColorKey[1] = key;
    const size_t n = static_cast<size_t>(m_dwDivNumX) * m_dwDivNumY;
    for (size_t i = 0; i < n; ++i) {
        plat::DeviceSurface* t = m_lpTexture[i].get();
        if (!t) {
            ErrorPrint("Error: <KUSPRITE2::SetColorKey> テクスチャが失われています\n");
            return 0;
        }
        if (t->lost) {
            ErrorPrint("Error: <KUGRAPHIC2::SetColorkey> カラーキー設定に失敗しました\n");
            return 0;
        }
        t->hasColorKey = true;
        t->colorKey = key;
    }
    return 1;
}

int KUGRAPHIC2::SetGraphicType(uint32_t type) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUGRAPHIC2::SetGraphicType> 初期化されていません\n");
        return 0;
    }
    if (type == 0 || type == kGraphicTypeAll) {
        ErrorPrint("Error: <KUGRAPHIC2::SetGraphicType> 画像タイプの指定が不正か無効です\n");
        return 0;
    }
    m_dwType = type;
    return 1;
}

int KUGRAPHIC2::GetSrcGraphicSize(uint32_t* width, uint32_t* height) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUGRAPHIC2::GetSrcGraphicSize> 初期化されていません\n");
        return 0;
    }
    if (width)
        *width = m_dwSrcWidth;
    if (height)
        *height = m_dwSrcHeight;
    return 1;
}

int KUGRAPHIC2::GetDrawGraphicSize(uint32_t* width, uint32_t* height) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUGRAPHIC2::GetDrawGraphicSize> 初期化されていません\n");
        return 0;
    }
    if (width)
        *width = m_dwDrawWidth;
    if (height)
        *height = m_dwDrawHeight;
    return 1;
}

int KUGRAPHIC2::GetVRAMFlg(uint32_t* flag) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUGRAPHIC2::GetVRAMFlg> 初期化されていません\n");
        return 0;
    }
    if (!flag) {
        ErrorPrint("Error: <KUGRAPHIC2::GetVRAMFlg> VRAM取得ポインタが不正です\n");
        return 0;
    }
    *flag = m_dwVRAM;
    return 1;
}

int KUGRAPHIC2::GetColorKey(uint32_t* key) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUGRAPHIC2::GetColorKey> 初期化されていません\n");
        return 0;
    }
    if (!key) {
        ErrorPrint("Error: <KUGRAPHIC2::GetColorKey> カラーキー情報取得ポインタが不正です\n");
        return 0;
    }
    key[0] = m_dwColorKey[0];
    key[1] = m_dwColorKey[1];
    return 1;
}

int KUGRAPHIC2::GetDivisionSize(uint32_t* width, uint32_t* height) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUGRAPHIC2::GetDivisionSize> 初期化されていません\n");
        return 0;
    }
    if (width)
        *width = m_dwDivWidth;
    if (height)
        *height = m_dwDivHeight;
    return 1;
}

int KUGRAPHIC2::GetDivisionNum(uint32_t* across, uint32_t* down) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUGRAPHIC2::GetDivisionNum> 初期化されていません\n");
        return 0;
    }
    if (!across) {
        ErrorPrint("Error: <KUGRAPHIC2::GetDivisionNum> 幅取得ポインタが不正です\n");
        return 0;
    }
    if (!down) {
        ErrorPrint("Error: <KUGRAPHIC2::GetDivisionNum> 高さ取得ポインタが不正です\n");
        return 0;
    }
    *across = m_dwDivNumX;
    *down = m_dwDivNumY;
    return 1;
}

const char* KUGRAPHIC2::GetFileName() {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUGRAPHIC2::GetFileName> 初期化されていません\n");
        return nullptr;
    }
    return m_szFileName[0] ? m_szFileName : nullptr;
}

const char* KUGRAPHIC2::GetDirPath() {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUGRAPHIC2::GetDirPath> 初期化されていません\n");
        return nullptr;
    }
    return m_szDirPath[0] ? m_szDirPath : nullptr;
}

char* KUGRAPHIC2::GetFilePath(char* buffer, uint32_t size) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUGRAPHIC2::GetFilePath> 初期化されていません\n");
        return nullptr;
    }
    if (!m_szFileName[0]) {
        ErrorPrint("Error: <KUGRAPHIC2::GetFilePath> ファイル名がありません\n");
        return nullptr;
    }
    size_t need = std::strlen(m_szDirPath) + std::strlen(m_szFileName);
    if (!buffer || size <= need) {
        ErrorPrint("Error: <KUGRAPHIC2::GetFilePath> 引数のファイルサイズが小さすぎます\n");
        return nullptr;
    }
    std::memset(buffer, 0, size);
    std::snprintf(buffer, size, "%s%s", m_szDirPath, m_szFileName);
    return buffer;
}

int KUGRAPHIC2::GetGraphicType(uint32_t* type) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUGRAPHIC2::GetGraphicType> 初期化されていません\n");
        return 0;
    }
    if (!type) {
        ErrorPrint("Error: <KUGRAPHIC2::GetGraphicType> 画像タイプ取得ポインタが不正です\n");
        return 0;
    }
    *type = m_dwType;
    return 1;
}
