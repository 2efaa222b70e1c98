#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// Font quality values as the engine asks for them.
enum class FontQuality : uint8_t {
    kDefault = 0,
    kDraft = 1,
    kProof = 2, // drawn anti-aliased (font smoothing is on while the renderer runs)
    kNonAntialiased = 3, // one bit per pixel
    kAntialiased = 4,
};

constexpr uint8_t kShiftJisCharset = 128;

// What a caller asks for; the same fields a GDI font carries.
struct FontSpec {
    int height = 0; // > 0: cell height in pixels; < 0: em height; 0: 16
    int width = 0; // unused (glyphs keep their own proportions)
    int escapement = 0; // tenths of a degree, counter-clockwise
    int orientation = 0; // tenths of a degree (follows the escapement, as GDI does in its compatible mode)
    int weight = 400; // 100..900; 0 = 400
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    uint8_t charset = kShiftJisCharset;
    FontQuality quality = FontQuality::kDefault;
    uint8_t pitchAndFamily = 0;
    std::string faceName; // Shift-JIS, as the engine's literals are
};

struct TextMetrics {
    int height = 0; // ascent + descent
    int ascent = 0; // baseline below the top of the cell
    int descent = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
};

// Glyph bitmap formats. The grey formats carry values 0..top (4, 16, 64) in
// rows of `pitch` bytes padded to a multiple of 4, like the outline bitmaps
// the engine was written against; kCoverage carries 0..255 per pixel; kMono
// carries 0 or 1 per pixel (one byte each, same row padding).
enum class GlyphFormat : uint8_t { kMono, kGray2, kGray4, kGray8, kCoverage };

int GlyphFormatTop(GlyphFormat format); // 1, 4, 16, 64, 255

struct GlyphBitmap {
    int width = 0; // black box; 0 for a blank glyph
    int height = 0;
    int originX = 0; // left edge of the box from the pen position
    int originY = 0; // top edge of the box above the baseline
    int advance = 0; // pen advance in pixels
    int pitch = 0; // bytes per row
    std::vector<uint8_t> bits;

    uint8_t At(int x, int y) const {
        return bits[static_cast<size_t>(y) * static_cast<size_t>(pitch) + static_cast<size_t>(x)];
    }
};

// A font resolved through fontconfig and rendered by FreeType. Faces are
// shared per (file, size, weight) and kept a while after their last font; a
// GdiFont itself is cheap.
class GdiFont {
public:
    // Null when no usable font matches (logged once per face name).
    static std::unique_ptr<GdiFont> Create(const FontSpec& spec);
    ~GdiFont();
    GdiFont(const GdiFont&) = delete;
    GdiFont& operator=(const GdiFont&) = delete;

    const FontSpec& spec() const { return spec_; }
    const TextMetrics& metrics() const { return metrics_; }
    const std::string& filePath() const;

    // One character by its Shift-JIS code (lead byte * 256 + trail byte, or a
    // single byte). Null when the code is no valid character or FreeType
    // cannot render it; a blank glyph gives an empty box. The bitmap stays
    // valid until the next GetGlyph on any font.
    const GlyphBitmap* GetGlyph(uint16_t sjisCode, GlyphFormat format) const;

    // The format text output uses for this font's quality.
    GlyphFormat TextFormat() const;

    struct Face;

private:
    GdiFont() = default;
    FontSpec spec_;
    TextMetrics metrics_;
    std::shared_ptr<Face> face_; // shared with the face cache, which closes it once idle
};

// Quantises an 8-bit coverage value to 0..top as outline bitmaps do.
constexpr int QuantiseCoverage(int coverage, int top) { return (coverage * top + 127) / 255; }

// The file fontconfig gives for the engine's Japanese face, or "" (with a log
// line saying what to install) when no font covering Japanese is present. The
// shell calls this at start to fail with a clear message.
std::string FindJapaneseFontFile();

// What the glyphs are rendered with: the Japanese font file's name and size
// and the FreeType version ("ipag.ttf 6235344 FreeType 2.12.1"), or "" without
// a Japanese font. Exact pictures of text hold only for the same renderer.
std::string GlyphRendererId();

// Starts reading the font configuration on a thread of its own, so that the
// first text drawn at start does not wait for it. Optional: fonts are found
// without it. Call once, early, from the main thread.
void StartFontWarmUp();

// Drops every rendered glyph (the next requests render again); for measuring.
void ClearGlyphCaches();

// Shift-JIS code to UTF-32 (0 when invalid), memoised.
char32_t SjisCodeToUnicodeCached(uint16_t code);

} // namespace plat
