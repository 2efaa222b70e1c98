#include "engine/kutextgraphic.h"

#include <cstring>
#include <optional>
#include <utility>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "engine/kutextgraphic_test_hooks.h"
#include "platform/debug_out.h"
#include "platform/gdi_dc.h"
#include "platform/gdi_font.h"
#include "platform/sjis.h"

namespace {

TextureCreateHook& CreateHook() {
    static TextureCreateHook hook;
    return hook;
}

const char* FormatFailureMessage(KUTextureFormat f) {
    switch (f) {
        case KUTextureFormat::kA8R8G8B8:
            return "Error: <KUTEXTGRAPHIC::CreateTextureData> A8R8G8B8でのテクスチャの作成に失敗しました\n";
        case KUTextureFormat::kA4R4G4B4:
            return "Error: <KUTEXTGRAPHIC::CreateTextureData> A4R4G4B4でのテクスチャの作成に失敗しました\n";
        case KUTextureFormat::kA1R5G5B5:
            return "Error: <KUTEXTGRAPHIC::CreateTextureData> A1R5G5B5でのテクスチャの作成に失敗しました\n";
        case KUTextureFormat::kR5G6B5:
            return "Error: <KUTEXTGRAPHIC::CreateTextureData> R5G6B5でのテクスチャの作成に失敗しました\n";
    }
    return "";
}

// Texels are kept as 32-bit ARGB; a 16-bit texture keeps only what its format can hold.
uint32_t Expand(uint32_t c, int bits) {
    const uint32_t max = (1u << bits) - 1;
    return ((c * max + 127) / 255) * 255 / max;
}

uint32_t StoreTexel(KUTextureFormat f, uint32_t argb) {
    const uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    switch (f) {
        case KUTextureFormat::kA8R8G8B8: return argb;
        case KUTextureFormat::kA4R4G4B4:
            return (a >> 4) * 17 << 24 | (r >> 4) * 17 << 16 | (g >> 4) * 17 << 8 | (b >> 4) * 17;
        case KUTextureFormat::kA1R5G5B5:
            return (a >= 128 ? 0xFF000000u : 0u) | Expand(r, 5) << 16 | Expand(g, 5) << 8 | Expand(b, 5);
        case KUTextureFormat::kR5G6B5: return 0xFF000000u | Expand(r, 5) << 16 | Expand(g, 6) << 8 | Expand(b, 5);
    }
    return argb;
}

// The glyph texel of alpha a in each format (white carrying the alpha).
uint32_t GlyphTexel(KUTextureFormat f, uint32_t a) {
    switch (f) {
        case KUTextureFormat::kA8R8G8B8: return a << 24 | 0xFFFFFFu;
        case KUTextureFormat::kA4R4G4B4: return (a / 16) * 17 << 24 | 0xFFFFFFu;
        case KUTextureFormat::kA1R5G5B5: return a == 255 ? 0xFFFFFFFFu : 0x00FFFFFFu;
        case KUTextureFormat::kR5G6B5: return 0xFFFFFFFFu;
    }
    return 0;
}

uint32_t GlyphTop(uint32_t level) { return level == 1 ? 4 : level == 2 ? 16 : 64; }

} // namespace

KUTEXTGRAPHIC::KUTEXTGRAPHIC() = default;

KUTEXTGRAPHIC::~KUTEXTGRAPHIC() { Release(); }

void SetTextureCreateHook(TextureCreateHook hook) { CreateHook() = std::move(hook); }

void KUTEXTGRAPHIC::ErrorPrint(const char* message) {
    if (m_pKUSys) {
        m_pKUSys->TracePrint(message);
    } else {
        plat::DebugOut(message);
    }
}

bool KUTEXTGRAPHIC::ValidateText(const char* text, uint32_t* length, uint32_t* charNum) {
    if (!text)
        return false;
    const size_t n = strnlen(text, kTextSize + 1);
    if (n == 0 || n > kTextSize)
        return false;
    uint32_t lf = 0;
    for (size_t i = 0; i < n; ++i)
        lf += text[i] == '\n';
    if ((n - lf) % 2 != 0)
        return false;
    *length = static_cast<uint32_t>(n);
    *charNum = static_cast<uint32_t>((n - lf) / 2);
    return true;
}

uint32_t KUTEXTGRAPHIC::TextureSizeFor(uint32_t fontSize) {
    if (fontSize > kMaxFontSize)
        return 0;
    uint32_t s = 2;
    while (s < fontSize)
        s *= 2;
    return s;
}

uint32_t KUTEXTGRAPHIC::GlyphAlpha(uint32_t level, uint32_t v) {
    const uint32_t top = GlyphTop(level);
    if (v >= top)
        return 255;
    return v * 255 / (top + 1);
}

int KUTEXTGRAPHIC::Escapement(uint32_t style) {
    for (int b = 3; b <= 13; ++b) {
        if (style & (1u << b))
            return 30 * (b - 2);
    }
    return 0;
}

int KUTEXTGRAPHIC::Orientation(uint32_t style) {
    for (int b = 14; b <= 24; ++b) {
        if (style & (1u << b))
            return 30 * (b - 13);
    }
    return 0;
}

uint32_t KUTEXTGRAPHIC::CharOffset(uint32_t index) const {
    uint32_t pos = 0;
    for (uint32_t i = 0;; ++i) {
        while (pos < m_dwTextLength && m_szText[pos] == '\n')
            ++pos;
        if (i == index || pos >= m_dwTextLength)
            return pos;
        pos += 2;
    }
}

bool KUTEXTGRAPHIC::SetText(const char* text) {
    uint32_t length = 0, chars = 0;
    if (!ValidateText(text, &length, &chars))
        return false;
    std::memset(m_szText, 0, sizeof(m_szText));
    std::memcpy(m_szText, text, length);
    m_dwTextLength = length;
    m_dwCharNum = chars;
    return true;
}

bool KUTEXTGRAPHIC::SetFontSize(uint32_t fontSize) {
    if (fontSize == 0 || fontSize > kMaxFontSize)
        return false;
    m_dwFontSize = fontSize;
    return true;
}

int32_t KUTEXTGRAPHIC::Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, uint32_t spriteSize, const char* text,
                                  uint32_t fontSize, uint32_t weight, uint32_t antiAlias, uint32_t pitchAndFamily,
                                  uint32_t style) {
    if (m_bInitialize)
        Release();
    m_pKUSys = sys;
    if (!sys) {
        ErrorPrint("Error: <KUSPRITE2::Initialize> KUSYSTEMクラスポインタが不正です\n");
        return 0;
    }
    if (!sprite) {
        ErrorPrint("Error: <KUTEXTGRAPHIC::Initialize> 引数のKUSPRITE2ポインタが不正です\n");
        return 1;
    }
    if (spriteSize != sizeof(KUSPRITE2)) {
        ErrorPrint("Error: <KUTEXTGRAPHIC::Initialize> KUSPRITE2のサイズではありません\n");
        return 1;
    }
    if (!text) {
        ErrorPrint("Error: <KUTEXTGRAPHIC::Initialize> 文字が不正です\n");
        return 1;
    }
    uint32_t length = 0, chars = 0;
    if (!ValidateText(text, &length, &chars)) {
        ErrorPrint("Error: <KUTEXTGRAPHIC::Initialize> 文字列の長さが不正です\n");
        return 1;
    }
    if (fontSize == 0 || fontSize > kMaxFontSize) {
        ErrorPrint("Error: <KUTEXTGRAPHIC::Initialize> フォントサイズが不正です\n");
        return 1;
    }
    SetText(text);
    m_dwFontSize = fontSize;
    m_dwWeight = weight;
    m_dwAntiAlias = antiAlias;
    m_dwPitchAndFamily = pitchAndFamily;
    m_dwStyle = style;
    const int32_t result = CreateTextureData(sprite, spriteSize);
    if (result < 0) {
        ErrorPrint("Error: <KUTEXTGRAPHIC::Initialize> テクスチャ作成に失敗しました\n");
        return result;
    }
    m_bInitialize = 1;
    return result;
}

void KUTEXTGRAPHIC::FreeTextures() {
    m_lpTexture.reset();
    m_dwTextureNum = 0;
}

void KUTEXTGRAPHIC::Release() {
    FreeTextures();
    m_pKUSys = nullptr;
    m_bInitialize = 0;
    m_bCreate = 0;
    std::memset(m_szText, 0, sizeof(m_szText));
    m_dwTextLength = 0;
    m_dwCharNum = 0;
    m_dwTextureSize = 0;
    m_dwFontSize = 0;
    m_dwPitchAndFamily = 0;
    m_dwStyle = 0;
    m_dwWeight = 0;
    m_dwAntiAlias = 4;
}

int32_t KUTEXTGRAPHIC::CreateTexture(plat::VideoDevice* device, KUTextureFormat* format, uint32_t* width,
                                     uint32_t* height, plat::DeviceSurfacePtr* out) {
    for (;;) {
        int32_t r = CreateHook() ? CreateHook()(format, width, height) : plat::kVideoOk;
        if (r >= 0) {
            *out = device ? device->CreateTexture(*width, *height) : nullptr;
            if (!*out)
                r = plat::kVideoErrOutOfMemory;
        }
        if (r >= 0)
            return r;
        ErrorPrint(FormatFailureMessage(*format));
        if (*format == KUTextureFormat::kR5G6B5)
            return r;
        *format = static_cast<KUTextureFormat>(static_cast<uint32_t>(*format) + 1);
    }
}

int32_t KUTEXTGRAPHIC::CreateTextureData(KUSPRITE2* sprite, uint32_t spriteSize) {
    if (!sprite) {
        ErrorPrint("Error: <KUTEXTGRAPHIC::CreateTextureData> KUSPRITE2ポインタが無効です\n");
        return 1;
    }
    if (spriteSize != sizeof(KUSPRITE2)) {
        ErrorPrint("Error: <KUTEXTGRAPHIC::CreateTextureData> KUSPRITE2ポインタサイズが不正です\n");
        return 1;
    }
    const uint32_t side = TextureSizeFor(m_dwFontSize);
    if (side == 0) {
        ErrorPrint("Error: <KUTEXTGRAPHIC::CreateTextureData> フォントサイズが不正です\n");
        return 1;
    }
    m_dwTextureSize = side;

    plat::VideoDevice* device = sprite->GetVideoDevice();
    std::unique_ptr<KUTextureFormat[]> formats = std::make_unique<KUTextureFormat[]>(m_dwCharNum);
    const int32_t made = CreateCharTextures(device, side, formats.get());
    if (made < 0)
        return made;

    // Levels without a glyph format are drawn as the default level.
    uint32_t level = m_dwAntiAlias;
    if (level != 0 && level != 1 && level != 2 && level != 4) {
        ErrorPrint("Warn: <KUTEXTGRAPHIC::CreateTextureData> アンチエイリアスレベルが不正です\n");
        level = 4;
    }

    std::unique_ptr<plat::GdiFont> font = plat::GdiFont::Create(CharFontSpec());
    if (!font) {
        ErrorPrint("Error: <KUTEXTGRAPHIC::CreateTextureData> フォントの作成に失敗しました\n");
        return 1;
    }

    int32_t result = 0;
    if (level == 0) {
        for (uint32_t i = 0; i < m_dwCharNum; ++i) {
            if (const std::optional<int32_t> stop = DrawCharText(device, *font, i, side, formats[i]))
                return *stop;
        }
    } else {
        const plat::GlyphFormat glyphFormat = level == 1   ? plat::GlyphFormat::kGray2
                                              : level == 2 ? plat::GlyphFormat::kGray4
                                                           : plat::GlyphFormat::kGray8;
        for (uint32_t i = 0; i < m_dwCharNum; ++i) {
            const int32_t r = DrawCharGlyph(*font, glyphFormat, level, i, formats[i]);
            if (r < 0)
                result = r;
        }
    }
    m_bCreate = 1;
    return result;
}

int32_t KUTEXTGRAPHIC::CreateCharTextures(plat::VideoDevice* device, uint32_t side, KUTextureFormat* formats) {
    FreeTextures();
    m_lpTexture = std::make_unique<plat::DeviceSurfacePtr[]>(m_dwCharNum);
    m_dwTextureNum = m_dwCharNum;

    // The format and size carry from one character to the next, as reported back.
    KUTextureFormat format = KUTextureFormat::kA8R8G8B8;
    uint32_t width = side, height = side;
    for (uint32_t i = 0; i < m_dwCharNum; ++i) {
        const int32_t r = CreateTexture(device, &format, &width, &height, &m_lpTexture[i]);
        if (r < 0)
            return r;
        formats[i] = format;
    }
    return 0;
}

plat::FontSpec KUTEXTGRAPHIC::CharFontSpec() const {
    plat::FontSpec spec;
    spec.height = static_cast<int>(m_dwFontSize);
    spec.escapement = Escapement(m_dwStyle);
    spec.orientation = Orientation(m_dwStyle);
    spec.weight = static_cast<int>(m_dwWeight);
    spec.italic = (m_dwStyle & 1) != 0;
    spec.underline = (m_dwStyle & 2) != 0;
    spec.strikeOut = (m_dwStyle & 4) != 0;
    spec.charset = plat::kShiftJisCharset;
    spec.quality = plat::FontQuality::kNonAntialiased;
    spec.pitchAndFamily = static_cast<uint8_t>(m_dwPitchAndFamily);
    spec.faceName = "ＭＳ ゴシック";
    return spec;
}

std::optional<int32_t> KUTEXTGRAPHIC::DrawCharText(plat::VideoDevice* device, const plat::GdiFont& font, uint32_t i,
                                                   uint32_t side, KUTextureFormat format) {
    plat::DeviceSurfacePtr tmp = device ? device->CreateSurface(side, side) : nullptr;
    if (!tmp) {
        ErrorPrint("Error: <KUSPRITE2::CreateGraphicData> サーフェスの作成に失敗しました\n");
        return 0;
    }
    plat::GdiDc dc(tmp.get());
    if (!dc.valid()) {
        ErrorPrint("Error: <KUTEXTGRAPHIC::CreateTextureData> デバイスコンテキストの取得に失敗しました\n");
        return 1;
    }
    dc.SetBkMode(plat::BkMode::kTransparent);
    const plat::GdiFont* oldFont = dc.SelectFont(&font);
    const plat::ColorRef oldColor = dc.SetTextColor(0xFFFFFF);
    const uint32_t at = CharOffset(i);
    char draw[10] = {};
    for (uint32_t k = 0; k < 2 && at + k < m_dwTextLength; ++k)
        draw[k] = m_szText[at + k];
    const bool drawn = dc.TextOut(0, 0, draw, static_cast<int>(strnlen(draw, sizeof(draw))));
    dc.SetTextColor(oldColor);
    dc.SelectFont(oldFont);
    if (!drawn)
        return 1;
    // Point copy of the whole surface; black is keyed out when drawn.
    plat::DeviceSurface* tex = m_lpTexture[i].get();
    if (tex->lost) {
        ErrorPrint("Error: <KUTEXTGRAPHIC::CreateTextureData> サーフェス→テクスチャ変換に失敗しました\n");
        return plat::kVideoErrSurfaceLost;
    }
    const int s = static_cast<int>(side);
    for (int y = 0; y < s && y < tex->height; ++y) {
        for (int x = 0; x < s && x < tex->width; ++x) {
            tex->Row(y)[x] = StoreTexel(format, tmp->Row(y)[x]);
        }
    }
    tex->hasColorKey = true;
    tex->colorKey = 0xFF000000u;
    return std::nullopt;
}

int32_t KUTEXTGRAPHIC::DrawCharGlyph(const plat::GdiFont& font, plat::GlyphFormat glyphFormat, uint32_t level,
                                     uint32_t i, KUTextureFormat format) {
    plat::DeviceSurface* tex = m_lpTexture[i].get();
    if (tex->lost)
        return plat::kVideoErrSurfaceLost;
    const uint32_t at = CharOffset(i);
    const uint8_t b0 = at < m_dwTextLength ? static_cast<uint8_t>(m_szText[at]) : 0;
    const uint8_t b1 = at + 1 < m_dwTextLength ? static_cast<uint8_t>(m_szText[at + 1]) : 0;
    const plat::GlyphBitmap* g = font.GetGlyph(static_cast<uint16_t>(b0 << 8 | b1), glyphFormat);
    // Only a real double-byte character has an outline; a stray pair fails like GDI's outline call.
    if (!g || !plat::IsSjisLeadByte(b0)) {
        ErrorPrint("Error: <KUTEXTGRAPHIC::CreateTextureData> テキストアウトライン情報の取得に失敗しました\n");
        return 0;
    }
    // Only the black box is written, clipped to the texture; the rest stays transparent.
    const int ascent = font.metrics().ascent;
    for (int y = 0; y < g->height; ++y) {
        const int ty = ascent - g->originY + y;
        if (ty < 0 || ty >= tex->height)
            continue;
        for (int x = 0; x < g->width; ++x) {
            const int tx = g->originX + x;
            if (tx < 0 || tx >= tex->width)
                continue;
            tex->Row(ty)[tx] = GlyphTexel(format, GlyphAlpha(level, g->At(x, y)));
        }
    }
    return 0;
}
