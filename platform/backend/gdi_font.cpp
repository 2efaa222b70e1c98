#include "platform/gdi_font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <thread>
#include <tuple>
#include <unordered_map>

#include "platform/backend/font_file_stream.h"
#include "platform/debug_out.h"
#include "platform/gdi_font_test_hooks.h"
#include "platform/sjis.h"

namespace plat {

namespace {

constexpr size_t kGlyphCacheLimit = 8192; // per face; cleared when full
// Rendered bitmaps a face keeps: at large sizes a glyph is tens of kilobytes.
constexpr size_t kGlyphCacheBytes = 2u << 20;
// Faces no font uses any more that stay open for the next font of their
// size; the least recently used beyond these are closed. Each holds
// FreeType's copy of the font's tables, half a megabyte for a CJK font.
constexpr size_t kIdleFaceLimit = 12;

FT_Library Library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0)
            l = nullptr;
        return l;
    }();
    return lib;
}

struct Resolved {
    bool ok = false;
    std::string file;
    int index = 0;
    bool embolden = false; // fontconfig asks for synthetic bold (the file has no bold style)
};

// Reading fontconfig's configuration and caches takes several milliseconds:
// at start it runs beside the window system's set-up instead of before the
// first frame. Whoever needs fontconfig first waits for it here.
struct WarmUp {
    std::thread thread;
    bool loaded = false; // FcInit ran on the thread
    bool adopted = false; // fontconfig's release was left to the exit handler

    ~WarmUp() {
        // A run that never drew text still ends with fontconfig released.
        if (thread.joinable())
            thread.join();
        if (loaded && !adopted)
            FcFini();
    }
};

WarmUp& Warm() {
    static WarmUp warm;
    return warm;
}

// Joins the warm-up (if any) and reports whether fontconfig is usable.
bool FontconfigReady() {
    WarmUp& warm = Warm();
    if (warm.thread.joinable())
        warm.thread.join();
    if (!FcInit()) // quick once the warm-up loaded it
        return false;
    warm.adopted = true;
    std::atexit(FcFini); // fontconfig keeps its configuration until told to let go
    return true;
}

// fontconfig lookup, memoised per (face, weight, Japanese).
const Resolved& Resolve(const std::string& sjisFace, int weight, bool japanese) {
    static std::map<std::tuple<std::string, int, bool>, Resolved> cache;
    static std::set<std::string> reported;
    auto key = std::make_tuple(sjisFace, weight, japanese);
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;
    Resolved r;
    static const bool started = FontconfigReady();
    if (started) {
        // Without :lang=ja fontconfig falls back to a Latin face for a name it does not know.
        std::string pattern = SjisToUtf8(sjisFace);
        if (japanese)
            pattern += ":lang=ja";
        FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
        if (pat) {
            FcPatternAddInteger(pat, FC_WEIGHT, FcWeightFromOpenType(weight <= 0 ? 400 : weight));
            FcConfigSubstitute(nullptr, pat, FcMatchPattern);
            FcDefaultSubstitute(pat);
            FcResult res = FcResultNoMatch;
            FcPattern* match = FcFontMatch(nullptr, pat, &res);
            if (match) {
                FcChar8* file = nullptr;
                FcLangSet* langs = nullptr;
                bool covers =
                    !japanese || (FcPatternGetLangSet(match, FC_LANG, 0, &langs) == FcResultMatch &&
                                  FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual);
                if (covers && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
                    r.ok = true;
                    r.file = reinterpret_cast<const char*>(file);
                    FcPatternGetInteger(match, FC_INDEX, 0, &r.index);
                    FcBool embolden = FcFalse;
                    if (FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden) == FcResultMatch)
                        r.embolden = embolden;
                }
                FcPatternDestroy(match);
            }
            FcPatternDestroy(pat);
        }
    }
    if (!r.ok && reported.insert(sjisFace).second) {
        if (japanese) {
            DebugOut(
                "Error: <GdiFont> 日本語フォントが見つかりません (fonts-ipafont-gothic と fontconfig "
                "を入れてください)\n");
        } else {
            DebugOut("Error: <GdiFont> フォントが見つかりません\n");
        }
    }
    return cache.emplace(key, r).first->second;
}

} // namespace

void StartFontWarmUp() {
    WarmUp& warm = Warm();
    if (warm.thread.joinable() || warm.loaded)
        return;
    // `loaded` is read only after the join.
    warm.thread = std::thread([&warm] { warm.loaded = FcInit() != FcFalse; });
}

// One FreeType face at one pixel size, with the glyphs rendered from it.
struct GdiFont::Face {
    FontFileStream fileStream; // read by `ft` until it is done
    FT_Face ft = nullptr;
    std::string file;
    int ppem = 0;
    int ascent = 0;
    int descent = 0;
    int maxAdvance = 0;
    bool emboldened = false;
    struct Cached {
        bool ok = false;
        GlyphBitmap bitmap;
    };
    std::unordered_map<uint64_t, Cached> glyphs;
    size_t glyphBytes = 0;
    uint64_t lastUse = 0; // for closing the idle faces least recently used

    ~Face() {
        if (ft)
            FT_Done_Face(ft);
    }
};

namespace {

using FaceMap = std::map<std::tuple<std::string, int, int, bool>, std::shared_ptr<GdiFont::Face>>;

FaceMap& Faces() {
    static FaceMap faces;
    return faces;
}

// Closes the idle faces (held by the cache alone) least recently used
// beyond the limit; faces in use stay whatever their number.
void TrimIdleFaces() {
    FaceMap& faces = Faces();
    for (;;) {
        size_t idle = 0;
        FaceMap::iterator oldest = faces.end();
        for (auto it = faces.begin(); it != faces.end(); ++it) {
            if (it->second.use_count() != 1)
                continue;
            ++idle;
            if (oldest == faces.end() || it->second->lastUse < oldest->second->lastUse)
                oldest = it;
        }
        if (idle <= kIdleFaceLimit)
            return;
        faces.erase(oldest);
    }
}

std::shared_ptr<GdiFont::Face> AcquireFace(const Resolved& r, int ppem, bool embolden) {
    static uint64_t uses = 0;
    FaceMap& faces = Faces();
    auto key = std::make_tuple(r.file, r.index, ppem, embolden);
    auto it = faces.find(key);
    if (it != faces.end()) {
        it->second->lastUse = ++uses;
        return it->second;
    }
    FT_Library lib = Library();
    if (!lib)
        return nullptr;
    auto face = std::make_shared<GdiFont::Face>();
    if (!face->fileStream.Open(r.file))
        return nullptr;
    FT_Open_Args args{};
    args.flags = FT_OPEN_STREAM;
    args.stream = face->fileStream.stream();
    if (FT_Open_Face(lib, &args, r.index, &face->ft) != 0) {
        face->ft = nullptr;
        return nullptr;
    }
    FT_Face ft = face->ft;
    if (FT_Set_Pixel_Sizes(ft, 0, static_cast<FT_UInt>(ppem)) != 0 || ft->units_per_EM == 0)
        return nullptr;
    face->file = r.file;
    face->ppem = ppem;
    face->emboldened = embolden;
    face->lastUse = ++uses;
    const long upem = ft->units_per_EM;
    face->ascent = static_cast<int>((static_cast<long>(ft->ascender) * ppem + upem / 2) / upem);
    face->descent = static_cast<int>((static_cast<long>(-ft->descender) * ppem + upem / 2) / upem);
    face->maxAdvance = static_cast<int>((static_cast<long>(ft->max_advance_width) * ppem + upem / 2) / upem);
    faces.emplace(key, face);
    TrimIdleFaces();
    return face;
}

// Loads and renders one glyph into the face's slot; `outlined` tells
// whether the outline has any points (a blank has none).
bool RenderGlyph(FT_Face ft, FT_UInt index, FT_Int32 flags, bool mono, bool italic, bool embolden, bool* outlined) {
    if (FT_Load_Glyph(ft, index, flags) != 0)
        return false;
    FT_GlyphSlot slot = ft->glyph;
    *outlined = slot->format == FT_GLYPH_FORMAT_OUTLINE && slot->outline.n_points > 0;
    if (italic)
        FT_GlyphSlot_Oblique(slot);
    if (embolden)
        FT_GlyphSlot_Embolden(slot);
    return FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) == 0;
}

bool HasInk(const FT_Bitmap& bm) {
    const size_t rowBytes = bm.pixel_mode == FT_PIXEL_MODE_MONO ? (bm.width + 7) / 8 : bm.width;
    for (unsigned y = 0; y < bm.rows; ++y) {
        const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
        for (size_t x = 0; x < rowBytes; ++x)
            if (row[x])
                return true;
    }
    return false;
}

// A face's cached glyphs differ by character, format, slant and angle.
uint64_t GlyphKey(uint16_t sjisCode, GlyphFormat format, bool italic, int angle) {
    return static_cast<uint64_t>(sjisCode) | (static_cast<uint64_t>(format) << 16) |
           (static_cast<uint64_t>(italic ? 1 : 0) << 24) |
           (static_cast<uint64_t>(static_cast<uint32_t>(angle + 3600)) << 32);
}

// Turns the glyphs that follow by the escapement, in tenths of a degree.
void SetEscapement(FT_Face ft, int angle) {
    if (angle == 0) {
        FT_Set_Transform(ft, nullptr, nullptr);
        return;
    }
    const double rad = angle / 10.0 * 3.14159265358979323846 / 180.0;
    FT_Matrix m;
    m.xx = static_cast<FT_Fixed>(std::lround(std::cos(rad) * 65536.0));
    m.xy = static_cast<FT_Fixed>(std::lround(-std::sin(rad) * 65536.0));
    m.yx = static_cast<FT_Fixed>(std::lround(std::sin(rad) * 65536.0));
    m.yy = m.xx;
    FT_Set_Transform(ft, &m, nullptr);
}

// Renders the character into the face's slot; false when FreeType cannot.
bool RenderCharacter(const GdiFont::Face& face, char32_t ch, GlyphFormat format, bool italic, int angle) {
    FT_Face ft = face.ft;
    const FT_UInt index = FT_Get_Char_Index(ft, ch);
    SetEscapement(ft, angle);
    const bool mono = format == GlyphFormat::kMono;
    const FT_Int32 flags = FT_LOAD_NO_BITMAP | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_DEFAULT);
    bool outlined = false;
    if (!RenderGlyph(ft, index, flags, mono, italic, face.emboldened, &outlined))
        return false;
    // The font's own hinting can squash a thin stroke to nothing (the IPA
    // gothic's underscore at 12 and 16 px): FreeType's auto-hinter keeps it.
    if (outlined && !HasInk(ft->glyph->bitmap))
        return RenderGlyph(ft, index, flags | FT_LOAD_FORCE_AUTOHINT, mono, italic, face.emboldened, &outlined);
    return true;
}

// One level of the format from the slot's pixel at x of a row.
uint8_t GlyphLevel(const FT_Bitmap& bm, const unsigned char* row, int x, GlyphFormat format) {
    if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    const int cov = row[x];
    if (format == GlyphFormat::kCoverage)
        return static_cast<uint8_t>(cov);
    if (format == GlyphFormat::kMono)
        return cov >= 128 ? 1 : 0;
    return static_cast<uint8_t>(QuantiseCoverage(cov, GlyphFormatTop(format)));
}

// Copies the rendered slot into g at the format's levels, within the face's
// byte cap.
void KeepGlyph(GdiFont::Face* face, uint64_t key, GlyphFormat format, GlyphBitmap* g) {
    const FT_GlyphSlot slot = face->ft->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    g->width = static_cast<int>(bm.width);
    g->height = static_cast<int>(bm.rows);
    g->originX = slot->bitmap_left;
    g->originY = slot->bitmap_top;
    g->advance = static_cast<int>((slot->advance.x + 32) >> 6);
    g->pitch = (g->width + 3) & ~3;
    const size_t bytes = static_cast<size_t>(g->pitch) * static_cast<size_t>(g->height);
    if (face->glyphBytes + bytes > kGlyphCacheBytes) {
        // Full: the others go, so the bitmaps kept never pass the cap.
        for (auto i = face->glyphs.begin(); i != face->glyphs.end();)
            i = i->first == key ? std::next(i) : face->glyphs.erase(i);
        face->glyphBytes = 0;
    }
    g->bits.assign(bytes, 0);
    face->glyphBytes += bytes;
    for (int y = 0; y < g->height; ++y) {
        const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
        uint8_t* dst = g->bits.data() + static_cast<size_t>(y) * static_cast<size_t>(g->pitch);
        for (int x = 0; x < g->width; ++x)
            dst[x] = GlyphLevel(bm, row, x, format);
    }
}

} // namespace

size_t OpenFontFacesForTest() { return Faces().size(); }

bool FontFaceOpenForTest(int ppem) {
    for (const auto& entry : Faces())
        if (entry.second->ppem == ppem)
            return true;
    return false;
}

size_t GlyphCacheBytesForTest(int ppem) {
    size_t bytes = 0;
    for (const auto& entry : Faces())
        if (entry.second->ppem == ppem)
            bytes += entry.second->glyphBytes;
    return bytes;
}

void ClearGlyphCaches() {
    for (auto& entry : Faces()) {
        entry.second->glyphs.clear();
        entry.second->glyphBytes = 0;
    }
}

int GlyphFormatTop(GlyphFormat format) {
    switch (format) {
        case GlyphFormat::kMono: return 1;
        case GlyphFormat::kGray2: return 4;
        case GlyphFormat::kGray4: return 16;
        case GlyphFormat::kGray8: return 64;
        case GlyphFormat::kCoverage: return 255;
    }
    return 255;
}

char32_t SjisCodeToUnicodeCached(uint16_t code) {
    // 0xFFFFFFFF marks "not looked up yet".
    static std::vector<char32_t> table(65536, static_cast<char32_t>(0xFFFFFFFFu));
    char32_t& c = table[code];
    if (c == static_cast<char32_t>(0xFFFFFFFFu))
        c = SjisCodeToUnicode(code);
    return c;
}

std::string FindJapaneseFontFile() {
    const Resolved& r = Resolve("ＭＳ ゴシック", 400, true);
    return r.ok ? r.file : std::string();
}

std::string GlyphRendererId() {
    const std::string file = FindJapaneseFontFile();
    FT_Library lib = Library();
    if (file.empty() || !lib)
        return std::string();
    // The resolved name is often a link chosen by the distribution: name the file itself.
    std::error_code ec;
    std::filesystem::path real = std::filesystem::canonical(file, ec);
    if (ec)
        real = file;
    const auto size = std::filesystem::file_size(real, ec);
    FT_Int major = 0, minor = 0, patch = 0;
    FT_Library_Version(lib, &major, &minor, &patch);
    char id[512];
    std::snprintf(id, sizeof(id), "%s %llu FreeType %d.%d.%d", real.filename().c_str(),
                  ec ? 0ULL : static_cast<unsigned long long>(size), major, minor, patch);
    return id;
}

std::unique_ptr<GdiFont> GdiFont::Create(const FontSpec& spec) {
    const int weight = spec.weight <= 0 ? 400 : spec.weight;
    const Resolved& r = Resolve(spec.faceName, weight, spec.charset == kShiftJisCharset);
    if (!r.ok)
        return nullptr;
    const int64_t ppem64 = spec.height == 0 ? 16 : std::abs(static_cast<int64_t>(spec.height));
    if (ppem64 > 4096)
        return nullptr;
    const int ppem = static_cast<int>(ppem64);
    // The file may lack a bold style: embolden the outlines as GDI does.
    const bool embolden = r.embolden;
    std::shared_ptr<Face> face = AcquireFace(r, ppem, embolden);
    if (!face)
        return nullptr;
    std::unique_ptr<GdiFont> font(new GdiFont);
    font->spec_ = spec;
    font->spec_.weight = weight;
    font->face_ = face;
    TextMetrics& m = font->metrics_;
    m.ascent = face->ascent;
    if (spec.height > 0) {
        // A positive height is the cell: whatever the ascent leaves is descent.
        m.height = spec.height;
        m.descent = std::max(0, spec.height - face->ascent);
    } else {
        m.descent = face->descent;
        m.height = m.ascent + m.descent;
    }
    m.maxCharWidth = face->maxAdvance;
    m.aveCharWidth = (ppem + 1) / 2;
    return font;
}

GdiFont::~GdiFont() = default;

const std::string& GdiFont::filePath() const { return face_->file; }

GlyphFormat GdiFont::TextFormat() const {
    switch (spec_.quality) {
        case FontQuality::kNonAntialiased:
        case FontQuality::kDraft: return GlyphFormat::kMono;
        default: return GlyphFormat::kCoverage;
    }
}

const GlyphBitmap* GdiFont::GetGlyph(uint16_t sjisCode, GlyphFormat format) const {
    const int angle = spec_.escapement % 3600;
    const uint64_t key = GlyphKey(sjisCode, format, spec_.italic, angle);
    auto it = face_->glyphs.find(key);
    if (it != face_->glyphs.end())
        return it->second.ok ? &it->second.bitmap : nullptr;
    if (face_->glyphs.size() >= kGlyphCacheLimit) {
        face_->glyphs.clear();
        face_->glyphBytes = 0;
    }
    Face::Cached& entry = face_->glyphs[key];

    const char32_t ch = SjisCodeToUnicodeCached(sjisCode);
    if (ch == 0)
        return nullptr;
    if (!RenderCharacter(*face_, ch, format, spec_.italic, angle))
        return nullptr;
    KeepGlyph(face_.get(), key, format, &entry.bitmap);
    entry.ok = true;
    return &entry.bitmap;
}

} // namespace plat
