// KUSPRITE2: the texture-text slot table and its drawing.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <string>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "engine/kutextgraphic.h"

namespace {

// Larger tables are treated as a failed allocation.
constexpr uint32_t kMaxTextSlots = 65536;

uint32_t WithAlpha(uint32_t colour, float g) {
    const float a = static_cast<float>(colour >> 24) * std::clamp(g, 0.0f, 1.0f);
    return (colour & 0x00FFFFFFu) | static_cast<uint32_t>(a) << 24;
}

// One quad over the whole texture: 0 bottom-left, 1 top-left, 2 bottom-right, 3 top-right.
void MakeQuad(plat::TLVertex v[4], float x, float y, float w, float h, const uint32_t colours[4]) {
    const float xs[4] = {x, x, x + w, x + w};
    const float ys[4] = {y + h, y, y + h, y};
    const float us[4] = {0, 0, 1, 1};
    const float vs[4] = {1, 0, 1, 0};
    for (int i = 0; i < 4; ++i) {
        v[i] = plat::TLVertex{};
        v[i].x = xs[i];
        v[i].y = ys[i];
        v[i].z = 0;
        v[i].rhw = 1.0f;
        v[i].diffuse = colours[i];
        v[i].specular = 0;
        v[i].u = us[i];
        v[i].v = vs[i];
    }
}

} // namespace

void KUSPRITE2::TextSlotsFree::operator()(KUTEXTGRAPHIC* p) const { delete[] p; }

KUTEXTGRAPHIC* KUSPRITE2::GetTextureTextSlot(uint32_t slot) const {
    return (m_lpTextGraphic && slot < m_dwTextGraphicNum) ? &m_lpTextGraphic[slot] : nullptr;
}

int KUSPRITE2::CreateTextureTextBuffer(uint32_t count) {
    if (!m_bInitialize) {
        ErrorPrint("Error: <KUSPRITE2::CreateGraphicDataBuffer> 初期化されていません\n");
        return 0;
    }
    if (count == 0) {
        ErrorPrint("Error: <KUSPRITE2::CreateGraphicDataBuffer> 引数のバッファ数が不正です\n");
        return 0;
    }
    ReleaseAllTextureText();
    m_dwTextGraphicNum = count;
    m_bTextGraphicBuffer = 1;
    if (count <= kMaxTextSlots)
        m_lpTextGraphic.reset(new (std::nothrow) KUTEXTGRAPHIC[count]);
    // Without a table the flag stays set: every slot operation reports the loss.
    return m_lpTextGraphic ? 1 : 0;
}

// The table checks of the slot operations, in order: table made, slot number, table present (the last
// reported only where the operation reports it). False after the operation's message.
bool KUSPRITE2::TextSlotChecked(const char* op, uint32_t slot, bool reportNoTable) {
    // Messages are put together only on failure: the draw runs this every frame.
    auto report = [&](const char* what) {
        ErrorPrint((std::string("Error: <KUSPRITE2::") + op + "> " + what).c_str());
    };
    if (!m_bTextGraphicBuffer) {
        report("テクスチャテキストバッファが確保されていません\n");
        return false;
    }
    if (slot >= m_dwTextGraphicNum) {
        report("指定インデックスが確保数を上回っています\n");
        return false;
    }
    if (!m_lpTextGraphic) {
        if (reportNoTable)
            report("テキスト用グラフィックデータが失われています\n");
        return false;
    }
    return true;
}

void KUSPRITE2::ReleaseAllTextureText() {
    m_lpTextGraphic.reset();
    m_dwTextGraphicNum = 0;
    m_bTextGraphicBuffer = 0;
}

void KUSPRITE2::ReleaseTextureTextBuffer() { ReleaseAllTextureText(); }

int32_t KUSPRITE2::SetTextureTextData(uint32_t slot, const char* text, uint32_t fontSize, uint32_t weight,
                                      uint32_t antiAlias, uint32_t pitchAndFamily, uint32_t style) {
    if (!TextSlotChecked("SetTextureTextData", slot, true))
        return 1;
    const int32_t r = m_lpTextGraphic[slot].Initialize(m_pKUSys, this, sizeof(KUSPRITE2), text, fontSize, weight,
                                                       antiAlias, pitchAndFamily, style);
    if (r < 0)
        ErrorPrint("Error: <KUSPRITE2::SetTextureTextData> テクスチャテキストデータの初期化に失敗しました\n");
    return r;
}

int32_t KUSPRITE2::SetTextureTextData(uint32_t slot, const char* text, const uint32_t* fontSize, const uint32_t* weight,
                                      const uint32_t* antiAlias, const uint32_t* pitchAndFamily,
                                      const uint32_t* style) {
    if (!TextSlotChecked("SetTextureTextData", slot, true))
        return 1;
    KUTEXTGRAPHIC& t = m_lpTextGraphic[slot];
    if (text && !t.SetText(text)) {
        ErrorPrint("Error: <KUTEXTGRAPHIC::Initialize> 文字列の長さが不正です\n");
        return 1;
    }
    if (fontSize && !t.SetFontSize(*fontSize)) {
        ErrorPrint("Error: <KUTEXTGRAPHIC::Initialize> フォントサイズが不正です\n");
        return 1;
    }
    if (weight)
        t.SetWeight(*weight);
    if (antiAlias)
        t.SetAntiAlias(*antiAlias);
    if (pitchAndFamily)
        t.SetPitchAndFamily(*pitchAndFamily);
    if (style)
        t.SetStyle(*style);
    return 0;
}

void KUSPRITE2::ReleaseTextureTextData(uint32_t slot) {
    if (!TextSlotChecked("ReleaseTextureTextData", slot, false))
        return;
    m_lpTextGraphic[slot].Release();
}

int32_t KUSPRITE2::D3DXRestoreTextureText(uint32_t slot) {
    // Bounded: a slot outside the table is refused rather than read.
    KUTEXTGRAPHIC* t = GetTextureTextSlot(slot);
    if (!t)
        return 1;
    if (!t->created())
        return 0;
    const int32_t r = t->CreateTextureData(this, sizeof(KUSPRITE2));
    if (r < 0) {
        char message[512];
        std::snprintf(
            message, sizeof(message),
            "Error: <KUSPRITE2::D3DXRestoreTextureText> %d 番目のテキストテクスチャのリストアに失敗しました\n",
            static_cast<int>(slot));
        ErrorPrint(message);
    }
    return r;
}

void KUSPRITE2::RestoreAllTextureText() {
    for (uint32_t i = 0; i < m_dwTextGraphicNum && m_lpTextGraphic; ++i)
        D3DXRestoreTextureText(i);
}

int32_t KUSPRITE2::D3DXDrawTextureText(uint32_t slot, const KURECT* area, uint32_t colour, float shown,
                                       uint32_t revealStyle, int32_t charSpacing, int32_t lineSpacing, float scaleX,
                                       float scaleY) {
    if (!m_bInitialize || !m_pDevice) {
        ErrorPrint("Error; <KUSPRITE2::D3DXDrawTextureText> 初期化されていません\n");
        return 1;
    }
    if (!m_bInScene) {
        ErrorPrint("Error: <KUSPRITE2::D3DXDrawTextureText> BegineSceneが完了していません\n");
        return 0;
    }
    if (!TextSlotChecked("D3DDrawTextureText", slot, true))
        return 1;
    if (!area) {
        ErrorPrint("Error: <KUSPRITE2::D3DDrawTextureText> 描画範囲が不正です\n");
        return 1;
    }
    if (scaleX <= 0.0f || scaleY <= 0.0f)
        return 0;

    plat::VideoDevice& dev = *m_pDevice;
    dev.SetColorKeyEnable(true);
    dev.SetAlphaBlend(true);
    dev.SetSrcBlend(plat::Blend::kSrcAlpha);
    dev.SetDestBlend(plat::Blend::kInvSrcAlpha);

    const KUTEXTGRAPHIC& t = m_lpTextGraphic[slot];
    const char* text = t.text();
    const uint32_t length = t.textLength();
    const uint32_t charNum = t.charNum();
    const float h = static_cast<float>(t.fontSize());
    const float s = static_cast<float>(t.textureSize());
    const float ca = h * scaleX + static_cast<float>(charSpacing) * scaleX;
    const float la = h * scaleY + static_cast<float>(lineSpacing) * scaleY;
    const float left = static_cast<float>(area->left);
    float x = left;
    float y = static_cast<float>(area->top);
    // The line fits while trunc(y + la), summed in float as the pen is kept, stays within the bottom.
    auto fits = [&] { return std::trunc(static_cast<double>(y + la)) <= static_cast<double>(area->bottom); };

    int32_t result = 0;
    auto draw = [&](const plat::DeviceSurface* tex, const plat::TLVertex v[4]) -> bool {
        int32_t r = dev.SetTexture(tex);
        if (r < 0) {
            ErrorPrint("Error: <KUSPRITE2::D3DXDrawTextureText> SetTextureに失敗しました\n");
            result = r;
            return false;
        }
        r = dev.DrawQuadStrip(v);
        if (r < 0) {
            ErrorPrint("Error: <KUSPRITE2::D3DXDrawTextureText> DrawPrimitiveに失敗しました\n");
            result = r;
            return false;
        }
        result = r;
        return true;
    };

    uint32_t n = charNum;
    if (shown >= 0.0f)
        n = static_cast<uint32_t>(std::min(std::trunc(static_cast<double>(shown)), static_cast<double>(charNum)));
    uint32_t pos = 0; // byte offset of the next character
    // Line feeds before a character start new lines; false when the text has run out of room.
    auto passLineFeeds = [&]() -> bool {
        while (pos < length && text[pos] == '\n') {
            ++pos;
            x = left;
            if (!fits())
                return false;
            y += la;
        }
        return true;
    };
    const uint32_t full[4] = {colour, colour, colour, colour};
    bool room = true;
    for (uint32_t i = 0; i < n && room; ++i) {
        const plat::DeviceSurface* tex = t.texture(i);
        if (!tex) {
            ErrorPrint("Error: <KUSPRITE2::D3DXDrawTextureText> テクスチャデータが確保されていません\n");
            result = 1;
            room = false;
            break;
        }
        if (!passLineFeeds() || !fits()) {
            room = false;
            break;
        }
        plat::TLVertex v[4];
        MakeQuad(v, x, y, s * scaleX, s * scaleY, full);
        if (!draw(tex, v)) {
            room = false;
            break;
        }
        pos += 2;
        if (static_cast<float>(area->right) < x + 2.0f * ca) {
            x = left;
            if (!fits()) {
                room = false;
                break;
            }
            y += la;
        } else {
            x += ca;
        }
    }
    if (room && shown >= 0.0f && passLineFeeds()) {
        const float f = std::min(shown - static_cast<float>(n), 1.0f);
        const plat::DeviceSurface* tex = t.texture(n);
        if (n < charNum && tex && fits() && f > 0.0f) {
            plat::TLVertex v[4];
            bool any = true;
            if (revealStyle & 1) {
                const uint32_t c = WithAlpha(colour, f);
                const uint32_t cs[4] = {c, c, c, c};
                MakeQuad(v, x, y, s * scaleX, s * scaleY, cs);
            } else if (revealStyle & 2) {
                const uint32_t l = WithAlpha(colour, std::min(2 * f, 1.0f));
                const uint32_t r = WithAlpha(colour, std::max(2 * f - 1, 0.0f));
                const uint32_t cs[4] = {l, l, r, r};
                MakeQuad(v, x, y, s * scaleX, s * scaleY, cs);
            } else if (revealStyle & 4) {
                const uint32_t tl = WithAlpha(colour, std::min(2 * f, 1.0f));
                const uint32_t mid = WithAlpha(colour, std::clamp(2 * f - 0.5f, 0.0f, 1.0f));
                const uint32_t br = WithAlpha(colour, std::max(2 * f - 1, 0.0f));
                const uint32_t cs[4] = {mid, tl, br, mid};
                MakeQuad(v, x, y, s * scaleX, s * scaleY, cs);
            } else if (revealStyle & 8) {
                MakeQuad(v, x, y, s * scaleX * f, s * scaleY * f, full);
            } else if (revealStyle & 16) {
                const uint32_t c = WithAlpha(colour, f);
                const uint32_t cs[4] = {c, c, c, c};
                MakeQuad(v, x, y, s * scaleX * f, s * scaleY * f, cs);
            } else if (revealStyle & 32) {
                // The centre adds half the texture side unscaled.
                const float half = std::floor(s / 2);
                const float w = s * scaleX * f, hh = s * scaleY * f;
                const uint32_t c = WithAlpha(colour, f);
                const uint32_t cs[4] = {c, c, c, c};
                MakeQuad(v, x + half - w / 2, y + half - hh / 2, w, hh, cs);
            } else {
                any = false; // no reveal style: the fraction stays hidden until whole
            }
            if (any)
                draw(tex, v);
        }
    }
    // Always switch keying and blending off: a picture drawn next must not be keyed by its corner colour.
    dev.SetAlphaBlend(false);
    dev.SetColorKeyEnable(false);
    return result;
}
