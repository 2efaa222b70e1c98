#include "scene/textarea_data.h"

#include <cstring>
#include <string>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/fixed_string.h"
#include "game/game_settings.h"
#include "platform/debug_out.h"

namespace {

// A factor that scripts set directly may be anything: keep it to 0..1 so the
// alpha byte cannot overflow (NaN counts as 0).
float Clamp01(float v) {
    if (!(v > 0.0f))
        return 0.0f;
    return v > 1.0f ? 1.0f : v;
}

// The colour with its alpha (as a fraction of 255) multiplied by factor.
uint32_t ScaleAlpha(uint32_t color, float factor) {
    const float alpha = Clamp01(static_cast<float>(color >> 24) / 255.0f * Clamp01(factor));
    return (static_cast<uint32_t>(static_cast<uint8_t>(alpha * 255.0f)) << 24) | (color & 0xFFFFFF);
}

// Offsets truncated to whole pixels, kept far inside the int range.
int32_t WholePixels(const float* v) {
    if (!v || !(*v > -1.0e6f && *v < 1.0e6f))
        return 0;
    return static_cast<int32_t>(*v);
}

int32_t AddClamped(int32_t a, int32_t b) {
    const int64_t s = static_cast<int64_t>(a) + b;
    if (s > INT32_MAX)
        return INT32_MAX;
    return s < INT32_MIN ? INT32_MIN : static_cast<int32_t>(s);
}

KURECT Moved(const KURECT& r, int32_t dx, int32_t dy) {
    return KURECT{AddClamped(r.left, dx), AddClamped(r.top, dy), AddClamped(r.right, dx), AddClamped(r.bottom, dy)};
}

} // namespace

TEXTAREA_DATA::TEXTAREA_DATA() : m_pKUSprite(nullptr), m_pKUSys(nullptr), m_bLoad(0) { Clear(); }

TEXTAREA_DATA::~TEXTAREA_DATA() { Clear(); }

void TEXTAREA_DATA::ErrorPrint(const char* text) {
    if (m_pKUSys)
        m_pKUSys->TracePrint(text);
    else
        plat::DebugOut(text);
}

bool TEXTAREA_DATA::Ready(const char* method) {
    if (m_bInit && m_pKUSys && m_pKUSprite)
        return true;
    ErrorPrint((std::string("Error: <TEXTAREA_DATA::") + method + "> 初期化されていません\n").c_str());
    return false;
}

int TEXTAREA_DATA::Initialize(KUSPRITE2* sprite, KUSYSTEM* sys, const char* id) {
    Clear();
    if (!sys) {
        plat::DebugOut("Error: <TEXTAREA_DATA::Initialize> KUSYSTEMクラスポインタが不正です\n");
        return 0;
    }
    m_pKUSys = sys;
    if (!sprite) {
        ErrorPrint("Error: <TEXTAREA_DATA::Initialize> KUSPRITE2クラスポインタが不正です\n");
        return 0;
    }
    m_pKUSprite = sprite;
    if (!id) {
        ErrorPrint("Error: <TEXTAREA_DATA::Initialize> IDが指定されていません\n");
        return 0;
    }
    game::CopyFixed(m_szID, id);
    m_bInit = 1;
    return 1;
}

int TEXTAREA_DATA::SetFontData(int32_t slot, const char* text, int32_t fontHeight, int32_t weight, uint32_t antiAlias,
                               uint32_t pitchAndFamily, uint32_t style, uint32_t loadFlag) {
    if (!Ready("SetFontData"))
        return 0;
    if (!text) {
        ErrorPrint("Error: <TEXTAREA_DATA::SetFontData> 表示文字列が指定されていません\n");
        return 0;
    }
    if (m_bLoad == 1 && !UnloadTextData())
        ErrorPrint("Error: <TEXTAREA_DATA::SetFontData> テキストデータのアンロードに失敗しました\n");
    m_nSlot = slot;
    game::CopyFixed(m_szText, text);
    if (strlen(text) >= sizeof(m_szText))
        ErrorPrint("Warn: <TEXTAREA_DATA::SetFontData> 表示文字列が長すぎるため切り詰めました\n");
    m_nFontSize = fontHeight;
    m_nWeight = weight;
    m_dwAntiAlias = antiAlias;
    m_dwPitchAndFamily = pitchAndFamily;
    m_dwStyle = style;
    m_bLoad = loadFlag;
    m_bFontSet = 1;
    if (loadFlag == 0)
        return 1;
    if (!LoadTextData())
        ErrorPrint("Error: <TEXTAREA_DATA::SetFontData> テキストエリアのロードに失敗しました\n");
    return 1;
}

int TEXTAREA_DATA::SetDrawData(const int32_t* priority, const KURECT* area, const uint32_t* color,
                               const uint32_t* shadowColor, const uint32_t* shown) {
    if (!Ready("SetDrawData"))
        return 0;
    if (priority)
        m_nPriority = *priority;
    if (area)
        m_rcArea = *area;
    if (color)
        m_dwColor = *color;
    if (shadowColor)
        m_dwShadowColor = *shadowColor;
    if (shown)
        m_bShow = *shown;
    return 1;
}

int TEXTAREA_DATA::LoadTextData() {
    if (!Ready("LoadTextData"))
        return 0;
    if (!m_bFontSet) {
        ErrorPrint("Error: <TEXTAREA_DATA::LoadTextData> フォントセットがされていません\n");
        return 0;
    }
    if (!UnloadTextData())
        ErrorPrint("Error: <TEXTAREA_DATA::LoadTextData> テキストのアンロードに失敗しました\n");
    if (m_pKUSprite->SetTextureTextData(static_cast<uint32_t>(m_nSlot), m_szText, static_cast<uint32_t>(m_nFontSize),
                                        static_cast<uint32_t>(m_nWeight), m_dwAntiAlias, m_dwPitchAndFamily,
                                        m_dwStyle) < 0) {
        ErrorPrint("Error: <TEXTAREA_DATA::LoadTextData> フォントのセットに失敗しました\n");
        return 0;
    }
    return 1;
}

int TEXTAREA_DATA::UnloadTextData() {
    // A text area that never had a slot has nothing to release.
    if (m_pKUSprite && m_nSlot >= 0)
        m_pKUSprite->ReleaseTextureTextData(static_cast<uint32_t>(m_nSlot));
    return 1;
}

void TEXTAREA_DATA::Clear() {
    if (m_bLoad == 1)
        UnloadTextData();
    m_bInit = 0;
    m_bFontSet = 0;
    m_pKUSprite = nullptr;
    m_pKUSys = nullptr;
    memset(m_szID, 0, sizeof(m_szID));
    memset(m_szText, 0, sizeof(m_szText));
    m_nSlot = -1;
    m_bShow = 0;
    m_rcArea = KURECT{0, 0, 0, 0};
    m_fAlpha = 1.0f;
    m_fDispNum = 0.0f;
    m_nFontSize = 0;
    m_nWeight = 400;
    m_dwAntiAlias = g_dwAntiAliasLevel;
    m_dwPitchAndFamily = 0;
    m_dwStyle = 0;
    m_nPriority = 0;
    m_bLoad = 0;
    m_dwColor = kDefaultColor;
    m_dwShadowColor = kDefaultShadowColor;
}

int TEXTAREA_DATA::StringScroll(uint32_t start, uint32_t msPerChar) {
    if (!Ready("StringScroll"))
        return -1;
    // No time per character means nothing to type out.
    if (msPerChar == 0) {
        m_fDispNum = -1.0f;
        return 1;
    }
    // A start still ahead of the clock has revealed nothing yet.
    const int32_t elapsed = static_cast<int32_t>(static_cast<uint32_t>(m_pKUSys->GetTime()) - start);
    m_fDispNum = elapsed > 0 ? static_cast<float>(elapsed) / static_cast<float>(msPerChar) : 0.0f;
    const size_t chars = strlen(m_szText) / 2; // double-byte characters
    if (m_fDispNum >= static_cast<float>(chars)) {
        m_fDispNum = -1.0f;
        return 1;
    }
    return 0;
}

int TEXTAREA_DATA::DrawPair(const KURECT& area, uint32_t shadowColor, uint32_t color, int32_t charSpacing,
                            int32_t lineSpacing, const char* method) {
    const KURECT shadowArea = Moved(area, 1, 1);
    if (m_pKUSprite->D3DXDrawTextureText(static_cast<uint32_t>(m_nSlot), &shadowArea, shadowColor, m_fDispNum,
                                         kRevealStyle, charSpacing, lineSpacing, 1.0f, 1.0f) < 0 ||
        m_pKUSprite->D3DXDrawTextureText(static_cast<uint32_t>(m_nSlot), &area, color, m_fDispNum, kRevealStyle,
                                         charSpacing, lineSpacing, 1.0f, 1.0f) < 0) {
        ErrorPrint((std::string("Error: <TEXTAREA_DATA::") + method + "> 描画に失敗しました\n").c_str());
        return 0;
    }
    return 1;
}

int TEXTAREA_DATA::DrawProc() {
    if (!Ready("DrawProc"))
        return 0;
    if (!m_bShow)
        return 1;
    return DrawPair(m_rcArea, ScaleAlpha(m_dwShadowColor, m_fAlpha), ScaleAlpha(m_dwColor, m_fAlpha), 0, 0, "DrawProc");
}

int TEXTAREA_DATA::DrawProc(const float* xOffset, const float* yOffset, const float* alphaFactor, int32_t charSpacing,
                            int32_t lineSpacing) {
    if (!Ready("DrawProc"))
        return 0;
    if (!m_bShow)
        return 1;
    const float factor = Clamp01(alphaFactor ? *alphaFactor : 1.0f) * Clamp01(m_fAlpha);
    const KURECT area = Moved(m_rcArea, WholePixels(xOffset), WholePixels(yOffset));
    const uint32_t shadow = ScaleAlpha((m_dwColor & 0xFF000000) | 0x7F7F7F, factor);
    return DrawPair(area, shadow, ScaleAlpha(m_dwColor, factor), charSpacing, lineSpacing, "DrawProc");
}
