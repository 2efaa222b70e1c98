// KUSPRITE2: GDI-style drawing on the back surface and slot surfaces, and
// the GDI-surface mode the shell switches to.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/kusprite2.h"
#include "platform/gdi_dc.h"
#include "platform/gdi_font.h"

struct KUSPRITE2::TextRun {
    std::unique_ptr<plat::GdiDc> dc;
    std::unique_ptr<plat::GdiFont> font;
    const plat::GdiFont* previousFont = nullptr;
};

void KUSPRITE2::TextRunFree::operator()(TextRun* p) const { delete p; }

namespace {

constexpr uint32_t kBackSurface = 0xFFFFFFFFu;

// The font of every GDI text operation: proof quality, so it is drawn smoothed.
std::unique_ptr<plat::GdiFont> MakeTextFont(int height, int weight) {
    plat::FontSpec spec;
    spec.height = height;
    spec.weight = weight;
    spec.charset = plat::kShiftJisCharset;
    spec.quality = plat::FontQuality::kProof;
    spec.pitchAndFamily = 17;
    spec.faceName = "ＭＳ ゴシック";
    return plat::GdiFont::Create(spec);
}

// Draws the whole text with a font made for this call; false when a step fails.
bool TextOutOnce(plat::Surface* surface, int x, int y, const char* text, uint32_t colour, int height, int weight,
                 const char** failure) {
    plat::GdiDc dc(surface);
    dc.SetBkMode(plat::BkMode::kTransparent);
    std::unique_ptr<plat::GdiFont> font = MakeTextFont(height, weight);
    if (!font) {
        *failure = "フォントの作成に失敗しました";
        return false;
    }
    const plat::GdiFont* previous = dc.SelectFont(font.get());
    dc.SetTextColor(colour);
    const bool ok = dc.TextOut(x, y, text, static_cast<int>(std::strlen(text)));
    if (!ok)
        *failure = "テキスト出力に失敗しました";
    dc.SelectFont(previous);
    return ok;
}

// A copy rectangle's edge, held inside int range (positions and scales may be anything).
int32_t ClampToInt(double v) {
    if (std::isnan(v))
        return 0;
    return static_cast<int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
}

// The pixels of `r` (inside the surface) before a copy, so the ones outside the clip list can be put back.
std::vector<uint32_t> SaveRect(const plat::Surface& s, const plat::RectI& r) {
    std::vector<uint32_t> out;
    out.reserve(static_cast<size_t>(r.right - r.left) * static_cast<size_t>(r.bottom - r.top));
    for (int y = r.top; y < r.bottom; ++y)
        out.insert(out.end(), s.Row(y) + r.left, s.Row(y) + r.right);
    return out;
}

void RestoreOutsideClip(plat::Surface* s, const plat::RectI& r, const std::vector<uint32_t>& kept,
                        const std::vector<KURECT>& clip) {
    size_t i = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        uint32_t* row = s->Row(y);
        for (int x = r.left; x < r.right; ++x, ++i) {
            bool inside = false;
            for (const KURECT& c : clip)
                inside |= x >= c.left && x < c.right && y >= c.top && y < c.bottom;
            if (!inside)
                row[x] = kept[i];
        }
    }
}

} // namespace

plat::Surface* KUSPRITE2::GdiTarget(int32_t target, const char* lostMessage, const char* indexMessage) {
    const uint32_t t = static_cast<uint32_t>(target);
    if (t == kBackSurface) {
        plat::Surface* back = GetBackSurface();
        if (!back)
            ErrorPrint(lostMessage);
        return back;
    }
    if (t >= m_dwGraphicNum || !m_lpGraphic) {
        ErrorPrint(indexMessage);
        return nullptr;
    }
    plat::Surface* s = m_lpGraphic[t].surface().get();
    if (!s)
        ErrorPrint(lostMessage);
    return s;
}

// Target and rectangle of DDRectangle and DDFillRect (no rectangle: the whole screen); null, after the
// operation's message, when either is refused or the surface gives no device context.
plat::Surface* KUSPRITE2::RectTarget(const char* op, int32_t target, const KURECT* rect, KURECT* out) {
    const std::string tag = std::string("Error: <KUSPRITE2::") + op + "> ";
    plat::Surface* surface =
        GdiTarget(target, (tag + "出力先インデックスが失われています\n").c_str(),
                  (std::string("Error: <KUSPRITE::") + op + "> インデックスナンバーが不正です\n").c_str());
    if (!surface)
        return nullptr;
    *out = rect ? *rect : KURECT{0, 0, static_cast<int32_t>(m_dwWidth), static_cast<int32_t>(m_dwHeight)};
    if (out->left >= out->right || out->top >= out->bottom) {
        ErrorPrint((tag + "描画範囲が異常です\n").c_str());
        return nullptr;
    }
    if (surface->lost) {
        ErrorPrint((tag + "デバイスコンテキストの取得に失敗しました\n").c_str());
        return nullptr;
    }
    return surface;
}

// The first checks of the operations that draw inside a frame: 1 (logged) before the renderer is started,
// 0 (logged) outside a scene, -1 to go on.
int KUSPRITE2::SceneRefusal(const char* op) {
    if (!m_bInitialize) {
        ErrorPrint((std::string("Error: <KUSPRITE2::") + op + "> 初期化されていません\n").c_str());
        return 1;
    }
    if (!m_bInScene) {
        ErrorPrint((std::string("Error: <KUSPRITE2::") + op + "> BegineSceneが完了していません\n").c_str());
        return 0;
    }
    return -1;
}

int KUSPRITE2::DDTextOut(int32_t target, int x, int y, const char* text, uint32_t colour, int height, int weight) {
    if (const int refused = SceneRefusal("DDTextOut"); refused >= 0)
        return refused;
    if (!text) {
        ErrorPrint("Error: <KUSPRITE2::DDTextOut> 描画文字列が不正です\n");
        return 1;
    }
    plat::Surface* surface = GdiTarget(target, "Error: <KUSPRITE2::DDTextOut> 出力先インデックスが失われています\n",
                                       "Error: <KUSPRITE::DDTextOut> インデックスナンバーが不正です\n");
    if (!surface)
        return 1;
    if (surface->lost) {
        ErrorPrint("Error: <KUSPRITE2::DDTextOut> デバイスコンテキストの取得に失敗しました\n");
        return 1;
    }
    const char* failure = nullptr;
    return TextOutOnce(surface, x, y, text, colour, height, weight, &failure) ? 0 : 1;
}

int KUSPRITE2::DDTextOutToSurface(plat::Surface* surface, int x, int y, const char* text, uint32_t colour, int height,
                                  int weight) {
    if (const int refused = SceneRefusal("DDTextOutToSurface"); refused >= 0)
        return refused;
    if (!text) {
        ErrorPrint("Error: <KUSPRITE2::DDTextOutToSurface> 描画文字列が不正です\n");
        return 1;
    }
    if (!surface) {
        ErrorPrint("Error: <KUSPRITE2::DDTextOutToSurface> 出力先サーフェスが不正です\n");
        return 1;
    }
    if (surface->lost) {
        ErrorPrint("Error: <KUSPRITE2::DDTextOutToSurface> デバイスコンテキストの取得に失敗しました\n");
        return 1;
    }
    const char* failure = nullptr;
    if (TextOutOnce(surface, x, y, text, colour, height, weight, &failure))
        return 0;
    std::string message = "Error: <KUSPRITE2::DDTextOutToSurface> ";
    message += failure;
    message += "\n";
    ErrorPrint(message.c_str());
    return 1;
}

int KUSPRITE2::DDTextOutLock(int x, int y, const char* text, uint32_t colour, int height, int weight) {
    if (const int refused = SceneRefusal("DDTextOutLock"); refused >= 0)
        return refused;
    if (!text) {
        ErrorPrint("Error: <KUSPRITE2::DDTextOutLock> 描画文字列が不正です\n");
        return 1;
    }
    plat::Surface* back = GetBackSurface();
    if (!back) {
        ErrorPrint("Error: <KUSPRITE2::DDTextOutLock> バックサーフェスが失われています\n");
        return 1;
    }
    if (!m_pTextRun) {
        // First call of a run: its height and weight serve the whole run.
        if (back->lost) {
            ErrorPrint("Error: <KUSPRITE2::DDTextOutLock> デバイスコンテキストの取得に失敗しました\n");
            return 1;
        }
        std::unique_ptr<TextRun, TextRunFree> run(new TextRun);
        run->dc = std::make_unique<plat::GdiDc>(back);
        run->dc->SetBkMode(plat::BkMode::kTransparent);
        run->font = MakeTextFont(height, weight);
        if (!run->font)
            return 1;
        run->previousFont = run->dc->SelectFont(run->font.get());
        m_pTextRun = std::move(run);
    }
    plat::GdiDc& dc = *m_pTextRun->dc;
    const plat::ColorRef oldColour = dc.SetTextColor(colour);
    if (!dc.TextOut(x, y, text, static_cast<int>(std::strlen(text)))) {
        dc.SetTextColor(oldColour);
        ReleaseTextOutRun();
        return 1;
    }
    dc.SetTextColor(oldColour);
    return 0;
}

void KUSPRITE2::ReleaseTextOutRun() {
    if (!m_pTextRun)
        return;
    m_pTextRun->dc->SelectFont(m_pTextRun->previousFont);
    m_pTextRun.reset();
}

int KUSPRITE2::DDTextOutUnLock() {
    if (const int refused = SceneRefusal("DDTextOutUnLock"); refused >= 0)
        return refused;
    ReleaseTextOutRun();
    return 0;
}

int KUSPRITE2::DDTextOutRange(int32_t target, KURECT* rect, const char* text, uint32_t colour, int height, int count,
                              int weight, uint32_t format) {
    if (const int refused = SceneRefusal("DDTextOutRange"); refused >= 0)
        return refused;
    if (!text) {
        ErrorPrint("Error: <KUSPRITE2::DDTextOutRange> 表示文字列が不正です\n");
        return 1;
    }
    if (count < 0 || static_cast<size_t>(count) > std::strlen(text))
        count = -1;
    plat::Surface* surface = GdiTarget(target, "Error: <KUSPRITE2::DDTextOut> 出力先インデックスが失われています\n",
                                       "Error: <KUSPRITE::DDTextOut> インデックスナンバーが不正です\n");
    if (!surface)
        return 1;
    if (surface->lost) {
        ErrorPrint("Error: <KUSPRITE2::DDTextOut> デバイスコンテキストの取得に失敗しました\n");
        return 1;
    }
    if (!rect)
        return 1; // the caller must give the rectangle
    plat::GdiDc dc(surface);
    dc.SetBkMode(plat::BkMode::kTransparent);
    std::unique_ptr<plat::GdiFont> font = MakeTextFont(height, weight);
    if (!font)
        return 1;
    const plat::GdiFont* previous = dc.SelectFont(font.get());
    dc.SetTextColor(colour);
    plat::GdiRect r{rect->left, rect->top, rect->right, rect->bottom};
    const int drawn = dc.DrawText(text, count, &r, format);
    rect->left = r.left, rect->top = r.top, rect->right = r.right, rect->bottom = r.bottom;
    dc.SelectFont(previous);
    return drawn == 0 ? 1 : 0;
}

int KUSPRITE2::DDRectangle(int32_t target, const KURECT* rect, const uint32_t* colour) {
    if (const int refused = SceneRefusal("DDRectangle"); refused >= 0)
        return refused;
    KURECT r;
    plat::Surface* surface = RectTarget("DDRectangle", target, rect, &r);
    if (!surface)
        return 1;
    plat::GdiDc dc(surface);
    const plat::GdiPen pen{plat::PenStyle::kSolid, 2, colour ? *colour : 0};
    // Outline only: the inside is left as it is.
    const plat::GdiBrush hollow{true, 0};
    const plat::GdiPen* oldPen = dc.SelectPen(&pen);
    const plat::GdiBrush* oldBrush = dc.SelectBrush(&hollow);
    const bool ok = dc.Rectangle(r.left, r.top, r.right, r.bottom);
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
    if (!ok) {
        ErrorPrint("Error: <KUSPRITE2::DDRectangle> 範囲描画に失敗しました\n");
        return 1;
    }
    return 0;
}

int KUSPRITE2::DDFillRect(int32_t target, const KURECT* rect, const uint32_t* colour) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUSPRITE2::DDFillRect> 初期化されていません\n");
        return 1;
    }
    KURECT r;
    plat::Surface* surface = RectTarget("DDFillRect", target, rect, &r);
    if (!surface)
        return 1;
    plat::GdiDc dc(surface);
    const plat::GdiBrush brush{false, colour ? (*colour & 0xFFFFFFu) : 0};
    if (!dc.FillRect(plat::GdiRect{r.left, r.top, r.right, r.bottom}, brush)) {
        ErrorPrint("Error: <KUSPRITE2::DDFillRect> 範囲描画に失敗しました\n");
        return 1;
    }
    return 0;
}

int32_t KUSPRITE2::SetClipper(const ClipList* clipList) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUSPRITE2::SetClipper> 初期化されていません\n");
        return 1;
    }
    if (!m_bClipper) {
        ErrorPrint("Error: <KUSPRITE2::SetClipper> クリッパーが確保されていません\n");
        return 0;
    }
    // Without a list the clipper is detached; with one, copies onto the back surface stay inside its
    // rectangles (a list without rectangles lets nothing through).
    m_ClipList.clear();
    m_bClipList = clipList != nullptr;
    if (clipList && clipList->rects)
        m_ClipList.assign(clipList->rects, clipList->rects + clipList->count);
    return plat::kVideoOk;
}

int32_t KUSPRITE2::SurfaceComposition(int32_t dest, int32_t src, float x, float y, const KURECT* srcRect, float scaleX,
                                      float scaleY, uint32_t flags) {
    if (const int refused = SceneRefusal("SurfaceComposition"); refused >= 0)
        return refused;
    plat::Surface* dst = CompositionSurface(
        dest, "Error: <KUSPRITE2::SurfaceComposition> 合成先インデックスナンバーがオーバーしています\n");
    if (!dst)
        return 1;
    plat::Surface* source = CompositionSurface(
        src, "Error: <KUSPRITE2::SurfaceComposition> 合成元インデックスナンバーがオーバーしています\n");
    if (!source)
        return 1;

    const float W = static_cast<float>(m_dwWidth), H = static_cast<float>(m_dwHeight);
    KURECT rs;
    float w, h;
    if (srcRect) {
        rs = *srcRect;
        w = static_cast<float>(static_cast<int64_t>(rs.right) - rs.left);
        h = static_cast<float>(static_cast<int64_t>(rs.bottom) - rs.top);
    } else {
        if (static_cast<uint32_t>(src) == kBackSurface) {
            rs = KURECT{0, 0, static_cast<int32_t>(m_dwWidth), static_cast<int32_t>(m_dwHeight)};
        } else {
            KUGRAPHIC2& g = m_lpGraphic[static_cast<uint32_t>(src)];
            rs = KURECT{0, 0, static_cast<int32_t>(g.srcWidth()), static_cast<int32_t>(g.srcHeight())};
        }
        w = W;
        h = H;
    }
    if (rs.left >= rs.right || rs.top >= rs.bottom)
        return 0;
    if (x > W || x + w * scaleX < 0 || y > H || y + h * scaleY < 0)
        return 0;
    // Nothing to draw for a scale of 0 or less (and no division by it below), nor for a position that is no number.
    if (!(scaleX > 0) || !(scaleY > 0) || std::isnan(x) || std::isnan(y))
        return 0;
    if (x < 0)
        rs.left = ClampToInt(rs.left - std::trunc(static_cast<double>(x / scaleX)));
    if (x + w * scaleX > W)
        rs.right = ClampToInt(rs.right - std::trunc(static_cast<double>((x + w * scaleX - W) / scaleX)));
    if (y < 0)
        rs.top = ClampToInt(rs.top - std::trunc(static_cast<double>(y / scaleY)));
    if (y + h * scaleY > H)
        rs.bottom = ClampToInt(rs.bottom - std::trunc(static_cast<double>((y + h * scaleY - H) / scaleY)));
    plat::RectI rd{ClampToInt(std::trunc(x)), ClampToInt(std::trunc(y)), ClampToInt(std::trunc(x + w * scaleX)),
                   ClampToInt(std::trunc(y + h * scaleY))};
    if (rd.left < 0)
        rd.left = 0;
    if (rd.top < 0)
        rd.top = 0;
    if (rd.right > static_cast<int>(m_dwWidth))
        rd.right = static_cast<int>(m_dwWidth);
    if (rd.bottom > static_cast<int>(m_dwHeight))
        rd.bottom = static_cast<int>(m_dwHeight);
    const int32_t r = BlitComposition(dst, dest, source, rs, rd, flags);
    if (r < 0)
        ErrorPrint("Error: <KUSPRITE2::SurfaceComposition> サーフェスの合成描画に失敗しました\n");
    return r;
}

// The back surface or a slot's surface, by index; null (reported) when there is none.
plat::Surface* KUSPRITE2::CompositionSurface(int32_t target, const char* badMessage) {
    const uint32_t t = static_cast<uint32_t>(target);
    if (t == kBackSurface) {
        plat::Surface* back = GetBackSurface();
        if (!back)
            ErrorPrint("Error: <KUSPRITE2::SurfaceComposition> バックサーフェスが取得されていません\n");
        return back;
    }
    plat::Surface* s = (t < m_dwGraphicNum && m_lpGraphic) ? m_lpGraphic[t].surface().get() : nullptr;
    if (!s)
        ErrorPrint(badMessage);
    return s;
}

// Copies the clamped source rectangle to the destination rectangle.
int32_t KUSPRITE2::BlitComposition(plat::Surface* dst, int32_t dest, plat::Surface* source, const KURECT& rs,
                                   const plat::RectI& rd, uint32_t flags) {
    int32_t r = plat::kVideoOk;
    if (rs.left < 0 || rs.top < 0 || rs.right > source->width || rs.bottom > source->height) {
        r = plat::kVideoErrInvalidParams; // a copy from outside the source is refused, as the blit refuses it
    } else if (rd.left < rd.right && rd.top < rd.bottom && rs.left < rs.right && rs.top < rs.bottom) {
        // The back surface's clip list keeps the copy inside its rectangles.
        const bool clipped = m_bClipList && static_cast<uint32_t>(dest) == kBackSurface;
        std::vector<uint32_t> kept;
        if (clipped)
            kept = SaveRect(*dst, rd);
        r = plat::VideoDevice::Blt(dst, rd, source, plat::RectI{rs.left, rs.top, rs.right, rs.bottom},
                                   (flags & 1) != 0);
        if (clipped && r >= 0)
            RestoreOutsideClip(dst, rd, kept, m_ClipList);
    }
    return r;
}

int32_t KUSPRITE2::FlipToGDISurface() {
    // Nothing to yield without a device; a lost device cannot show anything either.
    const int32_t r = !m_pDevice          ? plat::kVideoErrGeneric
                      : m_pDevice->lost() ? plat::kVideoErrSurfaceLost
                                          : plat::kVideoOk;
    if (r >= 0)
        m_bGDIMode = 1;
    return r;
}

void KUSPRITE2::EndGDISurface() { m_bGDIMode = 0; }
