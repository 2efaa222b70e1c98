#pragma once
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/video.h"

class KUSYSTEM;
class KUSPRITE2;
namespace plat {
struct FontSpec;
class GdiFont;
enum class GlyphFormat : uint8_t;
} // namespace plat

// Texture formats a character texture may be made in, in the order they are
// asked for.
enum class KUTextureFormat : uint32_t { kA8R8G8B8 = 0, kA4R4G4B4 = 1, kA1R5G5B5 = 2, kR5G6B5 = 3 };

// One texture-text slot: up to 512 bytes of double-byte Shift-JIS text (line
// feeds between lines), rendered once into one square texture per character.
class KUTEXTGRAPHIC {
public:
    static constexpr uint32_t kTextSize = 512;
    static constexpr uint32_t kMaxFontSize = 256;

    KUTEXTGRAPHIC();
    ~KUTEXTGRAPHIC();
    KUTEXTGRAPHIC(const KUTEXTGRAPHIC&) = delete;
    KUTEXTGRAPHIC& operator=(const KUTEXTGRAPHIC&) = delete;

    int32_t Initialize(KUSYSTEM* sys, KUSPRITE2* sprite, uint32_t spriteSize, const char* text, uint32_t fontSize,
                       uint32_t weight, uint32_t antiAlias, uint32_t pitchAndFamily, uint32_t style);
    int32_t CreateTextureData(KUSPRITE2* sprite, uint32_t spriteSize);
    void Release();
    void ErrorPrint(const char* message);

    // Field changes without a rebuild (the renderer's field-changing
    // SetTextureTextData); false when the value is refused.
    bool SetText(const char* text);
    bool SetFontSize(uint32_t fontSize);
    void SetWeight(uint32_t v) { m_dwWeight = v; }
    void SetAntiAlias(uint32_t v) { m_dwAntiAlias = v; }
    void SetPitchAndFamily(uint32_t v) { m_dwPitchAndFamily = v; }
    void SetStyle(uint32_t v) { m_dwStyle = v; }

    // Read access for drawing and tests.
    uint32_t initialized() const { return m_bInitialize; }
    uint32_t created() const { return m_bCreate; }
    const char* text() const { return m_szText; } // textLength() bytes: a full buffer has no NUL
    uint32_t textLength() const { return m_dwTextLength; }
    uint32_t charNum() const { return m_dwCharNum; }
    uint32_t textureSize() const { return m_dwTextureSize; }
    uint32_t fontSize() const { return m_dwFontSize; }
    uint32_t weight() const { return m_dwWeight; }
    uint32_t antiAlias() const { return m_dwAntiAlias; }
    uint32_t style() const { return m_dwStyle; }
    uint32_t builtCount() const { return m_dwTextureNum; }
    // Texture of character i (null when absent).
    plat::DeviceSurface* texture(uint32_t i) const {
        return (m_lpTexture && i < m_dwTextureNum) ? m_lpTexture[i].get() : nullptr;
    }
    // Byte offset of character i in the text, or the text length when absent.
    uint32_t CharOffset(uint32_t i) const;

    // Checks a text: false when refused; else its byte length and character count.
    static bool ValidateText(const char* text, uint32_t* length, uint32_t* charNum);
    // Texture side for a font height: smallest power of two 2..256 not below it; 0 above 256.
    static uint32_t TextureSizeFor(uint32_t fontSize);
    // Alpha of a grey glyph value v at an anti-alias level (1, 2 or 4).
    static uint32_t GlyphAlpha(uint32_t level, uint32_t v);
    // Escapement and orientation, tenths of a degree, from the style bits.
    static int Escapement(uint32_t style);
    static int Orientation(uint32_t style);

private:
    int32_t CreateTexture(plat::VideoDevice* device, KUTextureFormat* format, uint32_t* width, uint32_t* height,
                          plat::DeviceSurfacePtr* out);
    // The build's phases: one texture per character (formats[i] gets the
    // format character i was made in), the font, then each character drawn
    // through a device context (level 0) or from its grey glyph.
    int32_t CreateCharTextures(plat::VideoDevice* device, uint32_t side, KUTextureFormat* formats);
    plat::FontSpec CharFontSpec() const;
    // A value when the build stops there, with the result to return.
    std::optional<int32_t> DrawCharText(plat::VideoDevice* device, const plat::GdiFont& font, uint32_t i, uint32_t side,
                                        KUTextureFormat format);
    // 0, or a lost-surface error the build reports once it has drawn the rest.
    int32_t DrawCharGlyph(const plat::GdiFont& font, plat::GlyphFormat glyphFormat, uint32_t level, uint32_t i,
                          KUTextureFormat format);
    void FreeTextures();

    KUSYSTEM* m_pKUSys = nullptr;
    uint32_t m_bInitialize = 0;
    uint32_t m_bCreate = 0;
    char m_szText[kTextSize] = {};
    uint32_t m_dwTextLength = 0; // bytes used in m_szText (a full buffer has no NUL)
    uint32_t m_dwCharNum = 0;
    uint32_t m_dwTextureSize = 0;
    uint32_t m_dwFontSize = 0;
    uint32_t m_dwPitchAndFamily = 0;
    uint32_t m_dwStyle = 0;
    uint32_t m_dwWeight = 0;
    uint32_t m_dwAntiAlias = 4;
    std::unique_ptr<plat::DeviceSurfacePtr[]> m_lpTexture;
    uint32_t m_dwTextureNum = 0; // entries in m_lpTexture (the character count of its build)
};
