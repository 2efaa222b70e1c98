#include "platform/gdi_text.h"

#include <map>
#include <memory>
#include <string>
#include <utility>

namespace plat {

namespace {

const GdiFont* ShellFont(int height, int weight) {
    static std::map<std::pair<int, int>, std::unique_ptr<GdiFont>> fonts;
    auto key = std::make_pair(height, weight);
    auto it = fonts.find(key);
    if (it != fonts.end())
        return it->second.get();
    FontSpec spec;
    spec.height = height;
    spec.weight = weight;
    spec.quality = FontQuality::kProof;
    spec.pitchAndFamily = 17;
    spec.faceName = "ＭＳ ゴシック";
    auto font = GdiFont::Create(spec);
    const GdiFont* raw = font.get();
    if (raw)
        fonts.emplace(key, std::move(font));
    return raw;
}

// A device context drawing in the style's colour and clip, transparent background.
GdiDc StyledDc(Surface* surface, const GdiFont* font, const TextStyle& style) {
    GdiDc dc(surface);
    if (style.clip)
        dc.SetClipRects({*style.clip});
    dc.SetBkMode(BkMode::kTransparent);
    dc.SetTextColor(style.color);
    dc.SelectFont(font);
    return dc;
}

} // namespace

int SurfaceTextOut(Surface* surface, int x, int y, std::string_view sjis, const TextStyle& style) {
    const GdiFont* font = ShellFont(style.height, style.weight);
    if (!font || !surface)
        return -1;
    GdiDc dc = StyledDc(surface, font, style);
    const std::string text(sjis);
    dc.TextOut(x, y, text.c_str(), static_cast<int>(text.size()));
    return dc.TextWidth(text.c_str(), static_cast<int>(text.size()));
}

int SurfaceTextWidth(std::string_view sjis, int height, int weight) {
    const GdiFont* font = ShellFont(height, weight);
    if (!font)
        return -1;
    GdiDc dc(nullptr);
    dc.SelectFont(font);
    const std::string text(sjis);
    return dc.TextWidth(text.c_str(), static_cast<int>(text.size()));
}

int SurfaceDrawText(Surface* surface, GdiRect rect, std::string_view sjis, const TextStyle& style, uint32_t format) {
    const GdiFont* font = ShellFont(style.height, style.weight);
    if (!font || !surface)
        return 0;
    GdiDc dc = StyledDc(surface, font, style);
    const std::string text(sjis);
    return dc.DrawText(text.c_str(), static_cast<int>(text.size()), &rect, format);
}

} // namespace plat
