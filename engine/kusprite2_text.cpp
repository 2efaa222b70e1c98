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

// One character's quad for the partly shown character; false when the reveal style has none (the fraction stays
// hidden until whole).
bool RevealQuad(plat::TLVertex v[4], float x, float y, float side, float scaleX, float scaleY, uint32_t colour, float f,
                uint32_t revealStyle) {
    if (revealStyle & 1) {
        const uint32_t c = WithAlpha(colour, f);
        const uint32_t cs[4] = {c, c, c, c};
        MakeQuad(v, x, y, side * scaleX, side * scaleY, cs);
    } else if (revealStyle & 2) {
        const uint32_t l = WithAlpha(colour, std::min(2 * f, 1.0f));
        const uint32_t r = WithAlpha(colour, std::max(2 * f - 1, 0.0f));
        const uint32_t cs[4] = {l, l, r, r};
        MakeQuad(v, x, y, side * scaleX, side * scaleY, cs);
    } else if (revealStyle & 4) {
        const uint32_t tl = WithAlpha(colour, std::min(2 * f, 1.0f));
        const uint32_t mid = WithAlpha(colour, std::clamp(2 * f - 0.5f, 0.0f, 1.0f));
        const uint32_t br = WithAlpha(colour, std::max(2 * f - 1, 0.0f));
        const uint32_t cs[4] = {mid, tl, br, mid};
        MakeQuad(v, x, y, side * scaleX, side * scaleY, cs);
    } else if (revealStyle & 8) {
        const uint32_t full[4] = {colour, colour, colour, colour};
        MakeQuad(v, x, y, side * scaleX * f, side * scaleY * f, full);
    } else if (revealStyle & 16) {
        const uint32_t c = WithAlpha(colour, f);
        const uint32_t cs[4] = {c, c, c, c};
        MakeQuad(v, x, y, side * scaleX * f, side * scaleY * f, cs);
    } else if (revealStyle & 32) {
        // The centre adds half the texture side unscaled.
        const float half = std::floor(side / 2);
        const float w = side * scaleX * f, hh = side * scaleY * f;
        const uint32_t c = WithAlpha(colour, f);
        const uint32_t cs[4] = {c, c, c, c};
        MakeQuad(v, x + half - w / 2, y + half - hh / 2, w, hh, cs);
    } else {
        return false;
    }
    return true;
}

// Lays one text slot's character textures out in an area, character by character, wrapping at the right edge and
// at line feeds, and stops when a line no longer fits. The pen is summed in float as it moves.
class TextDrawer {
public:
    TextDrawer(KUSPRITE2& sprite, plat::VideoDevice& dev, const KUTEXTGRAPHIC& t, const KURECT& area, uint32_t colour,
               float scaleX, float scaleY)
        : m_sprite(sprite),
          m_dev(dev),
          m_t(t),
          m_area(area),
          m_colour(colour),
          m_scaleX(scaleX),
          m_scaleY(scaleY),
          m_side(static_cast<float>(t.textureSize())),
          m_left(static_cast<float>(area.left)),
          m_x(m_left),
          m_y(static_cast<float>(area.top)) {}

    void SetSpacing(int32_t charSpacing, int32_t lineSpacing) {
        const float h = static_cast<float>(m_t.fontSize());
        m_charAdvance = h * m_scaleX + static_cast<float>(charSpacing) * m_scaleX;
        m_lineAdvance = h * m_scaleY + static_cast<float>(lineSpacing) * m_scaleY;
    }

    // Draws the first n characters whole; false when the text ran out of room or a draw failed.
    bool DrawWholeChars(uint32_t n) {
        const uint32_t full[4] = {m_colour, m_colour, m_colour, m_colour};
        for (uint32_t i = 0; i < n; ++i) {
            const plat::DeviceSurface* tex = m_t.texture(i);
            if (!tex) {
                m_sprite.ErrorPrint("Error: <KUSPRITE2::D3DXDrawTextureText> テクスチャデータが確保されていません\n");
                m_result = 1;
                return false;
            }
            if (!PassLineFeeds() || !Fits())
                return false;
            plat::TLVertex v[4];
            MakeQuad(v, m_x, m_y, m_side * m_scaleX, m_side * m_scaleY, full);
            if (!Draw(tex, v))
                return false;
            m_pos += 2;
            if (static_cast<float>(m_area.right) < m_x + 2.0f * m_charAdvance) {
                if (!NewLine())
                    return false;
            } else {
                m_x += m_charAdvance;
            }
        }
        return true;
    }

    // Draws character n partly shown by fraction f in the reveal style.
    void DrawRevealedChar(uint32_t n, float f, uint32_t revealStyle) {
        const plat::DeviceSurface* tex = m_t.texture(n);
        if (n >= m_t.charNum() || !tex || !Fits() || !(f > 0.0f))
            return;
        plat::TLVertex v[4];
        if (RevealQuad(v, m_x, m_y, m_side, m_scaleX, m_scaleY, m_colour, f, revealStyle))
            Draw(tex, v);
    }

    // Line feeds before a character start new lines; false when the text has run out of room.
    bool PassLineFeeds() {
        const char* text = m_t.text();
        const uint32_t length = m_t.textLength();
        while (m_pos < length && text[m_pos] == '\n') {
            ++m_pos;
            if (!NewLine())
                return false;
        }
        return true;
    }

    int32_t result() const { return m_result; }

private:
    // The line fits while trunc(y + line advance) stays within the bottom.
    bool Fits() const {
        return std::trunc(static_cast<double>(m_y + m_lineAdvance)) <= static_cast<double>(m_area.bottom);
    }

    bool NewLine() {
        m_x = m_left;
        if (!Fits())
            return false;
        m_y += m_lineAdvance;
        return true;
    }

    bool Draw(const plat::DeviceSurface* tex, const plat::TLVertex v[4]) {
        int32_t r = m_dev.SetTexture(tex);
        if (r < 0) {
            m_sprite.ErrorPrint("Error: <KUSPRITE2::D3DXDrawTextureText> SetTextureに失敗しました\n");
            m_result = r;
            return false;
        }
        r = m_dev.DrawQuadStrip(v);
        if (r < 0) {
            m_sprite.ErrorPrint("Error: <KUSPRITE2::D3DXDrawTextureText> DrawPrimitiveに失敗しました\n");
            m_result = r;
            return false;
        }
        m_result = r;
        return true;
    }

    KUSPRITE2& m_sprite;
    plat::VideoDevice& m_dev;
    const KUTEXTGRAPHIC& m_t;
    const KURECT& m_area;
    uint32_t m_colour;
    float m_scaleX, m_scaleY;
    float m_side; // texture side
    float m_charAdvance = 0, m_lineAdvance = 0;
    float m_left, m_x, m_y;
    uint32_t m_pos = 0; // byte offset of the next character
    int32_t m_result = 0;
};

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

bool KUSPRITE2::TextDrawReady(uint32_t slot, const KURECT* area, int32_t* refusal) {
    *refusal = 1;
    if (!m_bInitialize || !m_pDevice) {
        ErrorPrint("Error; <KUSPRITE2::D3DXDrawTextureText> 初期化されていません\n");
        return false;
    }
    if (!m_bInScene) {
        ErrorPrint("Error: <KUSPRITE2::D3DXDrawTextureText> BegineSceneが完了していません\n");
        *refusal = 0;
        return false;
    }
    if (!TextSlotChecked("D3DDrawTextureText", slot, true))
        return false;
    if (!area) {
        ErrorPrint("Error: <KUSPRITE2::D3DDrawTextureText> 描画範囲が不正です\n");
        return false;
    }
    return true;
}

int32_t KUSPRITE2::D3DXDrawTextureText(uint32_t slot, const KURECT* area, uint32_t colour, float shown,
                                       uint32_t revealStyle, int32_t charSpacing, int32_t lineSpacing, float scaleX,
                                       float scaleY) {
    int32_t refusal = 0;
    if (!TextDrawReady(slot, area, &refusal))
        return refusal;
    if (scaleX <= 0.0f || scaleY <= 0.0f)
        return 0;

    plat::VideoDevice& dev = *m_pDevice;
    dev.SetColorKeyEnable(true);
    dev.SetAlphaBlend(true);
    dev.SetSrcBlend(plat::Blend::kSrcAlpha);
    dev.SetDestBlend(plat::Blend::kInvSrcAlpha);

    const KUTEXTGRAPHIC& t = m_lpTextGraphic[slot];
    TextDrawer drawer(*this, dev, t, *area, colour, scaleX, scaleY);
    drawer.SetSpacing(charSpacing, lineSpacing);
    const uint32_t charNum = t.charNum();
    uint32_t n = charNum;
    if (shown >= 0.0f)
        n = static_cast<uint32_t>(std::min(std::trunc(static_cast<double>(shown)), static_cast<double>(charNum)));
    if (drawer.DrawWholeChars(n) && shown >= 0.0f && drawer.PassLineFeeds())
        drawer.DrawRevealedChar(n, std::min(shown - static_cast<float>(n), 1.0f), revealStyle);
    // Always switch keying and blending off: a picture drawn next must not be keyed by its corner colour.
    dev.SetAlphaBlend(false);
    dev.SetColorKeyEnable(false);
    return drawer.result();
}
