#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/kusprite2.h"

namespace {

// Whole part of a screen coordinate, held where an int can take it.
int TruncToInt(double v) { return static_cast<int>(std::trunc(std::clamp(v, -1e9, 1e9))); }

constexpr uint32_t kBlendFlags = kDrawFlagAdd | kDrawFlagPremultiplied | kDrawFlagKeepBlend | kDrawFlagMultiply |
                                 kDrawFlagInvert | kDrawFlagDestAdd | kDrawFlagErase;

// The part of the picture a source rectangle asks for, clamped to it; false when nothing of the picture is in it
// (a rectangle wholly right of or below the picture turns over when clamped).
bool ClampedSource(const KUGRAPHIC2& g, const KURECT* src, KURECT* out) {
    const int32_t drawW = static_cast<int32_t>(g.drawWidth()), drawH = static_cast<int32_t>(g.drawHeight());
    KURECT S = src ? *src : KURECT{0, 0, drawW, drawH};
    if (src) {
        S.left = std::max(S.left, 0);
        S.top = std::max(S.top, 0);
        S.right = std::min(S.right, drawW);
        S.bottom = std::min(S.bottom, drawH);
    }
    *out = S;
    return S.left < S.right && S.top < S.bottom;
}

// The blend factors a textured draw's flags ask for (the first flag set wins).
void SetBlendFactors(plat::VideoDevice& dev, uint32_t flags) {
    using plat::Blend;
    if (flags & kDrawFlagAdd)
        dev.SetSrcBlend(Blend::kOne), dev.SetDestBlend(Blend::kOne);
    else if (flags & kDrawFlagPremultiplied)
        dev.SetSrcBlend(Blend::kOne), dev.SetDestBlend(Blend::kInvSrcAlpha);
    else if (flags & kDrawFlagKeepBlend) {
        // the factors of the previous textured draw stay
    } else if (flags & kDrawFlagMultiply)
        dev.SetSrcBlend(Blend::kZero), dev.SetDestBlend(Blend::kSrcColor);
    else if (flags & kDrawFlagInvert)
        dev.SetSrcBlend(Blend::kInvDestColor), dev.SetDestBlend(Blend::kZero);
    else if (flags & kDrawFlagDestAdd)
        dev.SetSrcBlend(Blend::kDestColor), dev.SetDestBlend(Blend::kOne);
    else if (flags & kDrawFlagErase)
        dev.SetSrcBlend(Blend::kZero), dev.SetDestBlend(Blend::kInvSrcAlpha);
    else
        dev.SetSrcBlend(Blend::kSrcAlpha), dev.SetDestBlend(Blend::kInvSrcAlpha);
}

// One tile's quad: 0 bottom-left, 1 top-left, 2 bottom-right, 3 top-right.
void MakeTileQuad(plat::TLVertex v[4], float px, float py, float qw, float qh, float uLeft, float vTop, float uRight,
                  float vBottom, uint32_t c) {
    v[0].x = px, v[0].y = py + qh, v[0].u = uLeft, v[0].v = vBottom;
    v[1].x = px, v[1].y = py, v[1].u = uLeft, v[1].v = vTop;
    v[2].x = px + qw, v[2].y = py + qh, v[2].u = uRight, v[2].v = vBottom;
    v[3].x = px + qw, v[3].y = py, v[3].u = uRight, v[3].v = vTop;
    for (int i = 0; i < 4; ++i)
        v[i].diffuse = c;
}

// Draws between BeginBatch and EndBatch for as long as it lives.
class BatchScope {
public:
    explicit BatchScope(plat::VideoDevice& dev) : m_dev(dev) { m_dev.BeginBatch(); }
    ~BatchScope() { m_dev.EndBatch(); }
    BatchScope(const BatchScope&) = delete;
    BatchScope& operator=(const BatchScope&) = delete;

private:
    plat::VideoDevice& m_dev;
};

} // namespace

int32_t KUSPRITE2::D3DXDrawGraphic(uint32_t slot, float x, float y, uint32_t type, uint32_t flags, const KURECT* src,
                                   float scaleX, float scaleY, const uint32_t* colour, uint32_t /*unused*/) {
    return DrawGraphicCommon("KUSPRITE2::D3DXDrawGraphic", slot, x, y, type, flags, src, scaleX, scaleY, colour);
}

// The vertices are pre-transformed, which a world transform does not move:
// the angle has no visible effect, as in the program this one follows.
int32_t KUSPRITE2::D3DXDrawGraphicEx(uint32_t slot, float x, float y, uint32_t type, uint32_t flags, const KURECT* src,
                                     float scaleX, float scaleY, const uint32_t* colour, uint32_t /*unused*/,
                                     float /*angle*/, uint32_t /*unused2*/, uint32_t /*unused3*/) {
    return DrawGraphicCommon("KUSPRITE2::D3DXDrawGraphicEx", slot, x, y, type, flags, src, scaleX, scaleY, colour);
}

int32_t KUSPRITE2::DrawGraphicCommon(const char* tag, uint32_t slot, float x, float y, uint32_t type, uint32_t flags,
                                     const KURECT* src, float scaleX, float scaleY, const uint32_t* colour) {
    if (!HasDevice()) {
        ErrorPrintf("Error; <%s> 初期化されていません\n", tag);
        return 1;
    }
    if (!m_bInScene) {
        ErrorPrintf("Error: <%s> BegineSceneが完了していません\n", tag);
        return 0;
    }
    if (slot >= m_dwGraphicNum || !m_lpGraphic) {
        ErrorPrintf("Error: <%s> インデックスナンバーがオーバーしています\n", tag);
        return 1;
    }
    KUGRAPHIC2& g = m_lpGraphic[slot];
    if (!g.initialized()) {
        ErrorPrintf("Error: <%s> 指定インデックスナンバーの画像データは初期化されていません\n", tag);
        return 1;
    }
    if (src && (src->left >= src->right || src->top >= src->bottom))
        return 0;

    uint32_t held = 0;
    if (type == kDrawTypeAuto) {
        if (!g.GetGraphicType(&held)) {
            ErrorPrintf("Error: <%s> グラフィックタイプの取得に失敗しました\n", tag);
            return 1;
        }
        if (held & kGraphicTypeTexture)
            type = kGraphicTypeTexture;
        else if (held & kGraphicTypeSurface)
            type = kGraphicTypeSurface;
        else if (held & kGraphicTypeEmpty)
            type = kGraphicTypeEmpty;
        else {
            ErrorPrintf("Error: <%s> 取得したグラフィックタイプが不明です\n", tag);
            return 1;
        }
    } else if (type == kGraphicTypeTexture || type == kGraphicTypeSurface || type == kGraphicTypeEmpty) {
        if (!(g.type() & type)) {
            ErrorPrintf("Error: <%s> 指定グラフィックタイプがグラフィックデータに関連付けされているタイプと違います\n",
                        tag);
            return 1;
        }
    } else {
        if (g.surface())
            type = kGraphicTypeSurface;
        else if (g.hasTextureArray())
            type = kGraphicTypeTexture;
        else {
            ErrorPrintf("Error: <%s> 指定インデックスナンバーはサーフェス・テクスチャ共に未ロードです\n", tag);
            return 1;
        }
    }
    if (type == kGraphicTypeTexture)
        return DrawTexturePath(tag, g, x, y, flags, src, scaleX, scaleY, colour);
    return DrawSurfacePath(tag, g, x, y, flags, src, scaleX, scaleY);
}

int32_t KUSPRITE2::DrawSurfacePath(const char* tag, KUGRAPHIC2& g, float x, float y, uint32_t flags, const KURECT* src,
                                   float scaleX, float scaleY) {
    plat::DeviceSurface* surface = g.surface().get();
    if (!surface) {
        ErrorPrintf("Error: <%s> サーフェスポインタが失われています\n", tag);
        return 1;
    }
    // A scale of 0 or less (or not a number) has nothing to draw, and would
    // divide by zero below.
    if (!(scaleX > 0) || !(scaleY > 0) || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(scaleX) ||
        !std::isfinite(scaleY))
        return 0;
    KURECT s = src ? *src : KURECT{0, 0, static_cast<int32_t>(g.drawWidth()), static_cast<int32_t>(g.drawHeight())};
    const double W = m_dwWidth, H = m_dwHeight;
    const double w = static_cast<double>(s.right) - s.left, h = static_cast<double>(s.bottom) - s.top;
    const double sx = scaleX, sy = scaleY, fx = x, fy = y;
    if (fx > W || fx + w * sx < 0 || fy > H || fy + h * sy < 0)
        return 0;
    if (fx < 0)
        s.left -= TruncToInt(fx / sx);
    if (fx + w * sx > W)
        s.right -= TruncToInt((fx + w * sx - W) / sx);
    if (fy < 0)
        s.top -= TruncToInt(fy / sy);
    if (fy + h * sy > H)
        s.bottom -= TruncToInt((fy + h * sy - H) / sy);
    plat::RectI d{TruncToInt(fx), TruncToInt(fy), TruncToInt(fx + w * sx), TruncToInt(fy + h * sy)};
    d.left = std::max(d.left, 0);
    d.top = std::max(d.top, 0);
    d.right = std::min(d.right, static_cast<int>(m_dwWidth));
    d.bottom = std::min(d.bottom, static_cast<int>(m_dwHeight));
    int32_t r = m_pDevice->BltToBack(d, surface, plat::RectI{s.left, s.top, s.right, s.bottom},
                                     (flags & kDrawFlagColorKey) != 0);
    if (r < 0) {
        ErrorPrintf("Error: <%s> 指定インデックスサーフェスの描画に失敗しました\n", tag);
        return r;
    }
    return 0;
}

int32_t KUSPRITE2::DrawTextureTile(const char* tag, plat::DeviceSurface* tex, const plat::TLVertex v[4]) {
    plat::VideoDevice& dev = *m_pDevice;
    int32_t res = dev.SetTexture(tex);
    if (res < 0) {
        ErrorPrintf("Error: <%s> SetTextureに失敗しました\n", tag);
        return res;
    }
    res = dev.DrawQuadStrip(v);
    if (res < 0) {
        ErrorPrintf("Error: <%s> DrawPrimitiveに失敗しました\n", tag);
        return res;
    }
    return 0;
}

int32_t KUSPRITE2::DrawTextureTiles(const char* tag, KUGRAPHIC2& g, const KURECT& S, float x, float y, float scaleX,
                                    float scaleY, uint32_t c) {
    const int32_t dw = static_cast<int32_t>(g.divWidth()), dh = static_cast<int32_t>(g.divHeight());
    const uint32_t n = g.tilesAcross();
    const float fdw = static_cast<float>(dw), fdh = static_cast<float>(dh);
    const int32_t rowEnd = S.bottom / dh + (S.bottom % dh ? 1 : 0);
    const int32_t colEnd = S.right / dw + (S.right % dw ? 1 : 0);
    const int32_t rrStart = (S.left / dw < S.right / dw) ? dw : S.right % dw;
    int32_t l = S.left, t = S.top, rr = rrStart;
    int32_t b = (S.top / dh < S.bottom / dh) ? dh : S.bottom % dh;
    float px = x - 0.5f, py = y - 0.5f;
    for (int32_t r = S.top / dh; r < rowEnd; ++r) {
        const float vTop = static_cast<float>(t % dh) / fdh;
        const float vBottom = b >= dh ? 1.0f : static_cast<float>(b % dh) / fdh;
        for (int32_t col = S.left / dw; col < colEnd; ++col) {
            const float uLeft = static_cast<float>(l % dw) / fdw;
            const float uRight = rr >= dw ? 1.0f : static_cast<float>(rr % dw) / fdw;
            // A draw size wider than the picture reaches past the end of the
            // row, where the index would name the next row's first tile.
            plat::DeviceSurface* tex = static_cast<uint32_t>(col) < n
                                           ? g.texture(static_cast<uint32_t>(r) * n + static_cast<uint32_t>(col))
                                           : nullptr;
            if (!tex) {
                ErrorPrintf("Error: <%s> テクスチャデータが失われています\n", tag);
                return 1;
            }
            const float qw = (uRight - uLeft) * fdw * scaleX, qh = (vBottom - vTop) * fdh * scaleY;
            plat::TLVertex v[4];
            MakeTileQuad(v, px, py, qw, qh, uLeft, vTop, uRight, vBottom, c);
            const int32_t res = DrawTextureTile(tag, tex, v);
            if (res < 0)
                return res;
            rr = ((col + 2) * dw <= S.right) ? dw : S.right % dw;
            l = 0;
            px = static_cast<float>((col + 1) * dw - S.left) * scaleX + x - 0.5f;
        }
        l = S.left;
        rr = rrStart;
        b = ((r + 2) * dh <= S.bottom) ? dh : S.bottom % dh;
        t = 0;
        px = x - 0.5f;
        py = static_cast<float>((r + 1) * dh - S.top) * scaleY + y - 0.5f;
    }
    return 0;
}

int32_t KUSPRITE2::DrawTexturePath(const char* tag, KUGRAPHIC2& g, float x, float y, uint32_t flags, const KURECT* src,
                                   float scaleX, float scaleY, const uint32_t* colour) {
    if (!g.hasTextureArray()) {
        ErrorPrintf("Error: <%s> テクスチャデータが確保されていません\n", tag);
        return 1;
    }
    const uint32_t c = colour ? *colour : 0xFFFFFFFFu;
    KURECT S{};
    if (!ClampedSource(g, src, &S))
        return 0;

    plat::VideoDevice& dev = *m_pDevice;
    if (flags & kDrawFlagColorKey)
        dev.SetColorKeyEnable(true);
    const bool blend = g.imageKind() == kImageKindDds || c != 0xFFFFFFFFu || (flags & kBlendFlags) != 0;
    if (blend) {
        dev.SetAlphaBlend(true);
        SetBlendFactors(dev, flags);
    }
    // The tiles of one picture are rasterised together (in the order drawn).
    const BatchScope batch(dev);
    const int32_t res = DrawTextureTiles(tag, g, S, x, y, scaleX, scaleY, c);
    if (res != 0)
        return res;
    if (flags & kDrawFlagColorKey)
        dev.SetColorKeyEnable(false);
    if (blend)
        dev.SetAlphaBlend(false);
    dev.SetTexture(nullptr);
    return 0;
}
