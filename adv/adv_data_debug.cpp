#include <cstdio>
#include <cstring>

#include "adv/adv_data.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/var_data.h"

namespace {

constexpr int kFontHeight = 20;
constexpr int kFontWeight = 400;
constexpr int kScreenWidth = 800;
constexpr uint32_t kShadow = 0x000000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0xFF0000;

} // namespace

// A black shadow one pixel right and down keeps the line readable on any picture.
void ADV_DATA::DebugText(int x, int y, const char* text, uint32_t colour) {
    m_pKUSprite->DDTextOutLock(x + 1, y + 1, text, kShadow, kFontHeight, kFontWeight);
    m_pKUSprite->DDTextOutLock(x, y, text, colour, kFontHeight, kFontWeight);
}

void ADV_DATA::DrawDebugInfo() {
    if (!g_bDebugInfo)
        return;
    bool drawn = false;
    char text[64];
    if (m_szScriptName[0]) {
        // Right-aligned on a 20-pixel grid: half a cell per byte.
        const int len = static_cast<int>(strnlen(m_szScriptName, sizeof(m_szScriptName)));
        DebugText(kScreenWidth - len * kFontHeight / 2, 0, m_szScriptName, kGreen);
        std::snprintf(text, sizeof(text), "Line: %3d", m_nLine);
        DebugText(710, 20, text, kGreen);
        drawn = true;
    }
    // A variable declared first has index 0 and is shown too.
    int index = IDSearch(kKindVar, "SOYORI");
    if (index >= 0 && m_pVar && static_cast<uint32_t>(index) < m_dwVarNum) {
        std::snprintf(text, sizeof(text), "ソヨリ: %2d", m_pVar[index].GetValue());
        DebugText(0, 0, text, kBlue);
        drawn = true;
    }
    index = IDSearch(kKindVar, "LEARNING");
    if (index >= 0 && m_pVar && static_cast<uint32_t>(index) < m_dwVarNum) {
        std::snprintf(text, sizeof(text), "成績: %2d", m_pVar[index].GetValue());
        DebugText(0, 20, text, kBlue);
        drawn = true;
    }
    if (drawn)
        m_pKUSprite->DDTextOutUnLock();
}
