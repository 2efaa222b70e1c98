// The staff roll's six timed commands.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "adv/script_token.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/shell_services.h"
#include "gallery/staff_roll_mode_data.h"
#include "modes/mode_common.h"

namespace {

// A time past the 32-bit range is the longest one, not wrapped to a short one.
uint32_t ToMs(const char* t) {
    const long long v = std::strtoll(t, nullptr, 10);
    return v > 0 ? static_cast<uint32_t>(std::min<long long>(v, UINT32_MAX)) : 0u;
}
// Share of a time span gone by; a span of 0 is over at once.
double Progress(uint32_t now, uint32_t start, uint32_t span) {
    uint32_t gone = now - start;
    return span == 0 ? (gone == 0 ? 1.0 : static_cast<double>(gone) * 1e30) : static_cast<double>(gone) / span;
}

} // namespace

void STAFF_ROLL_MODE_DATA::Finish(STAFF_ROLL_PROC_DATA* p) {
    p->Clear();
    p->m_bDone = 1;
}

bool STAFF_ROLL_MODE_DATA::Ready(const char* tag, const STAFF_ROLL_PROC_DATA* p) {
    if (!m_pKUSys || !m_pKUSprite || !p) {
        modes::ErrorPrint(m_pKUSys, tag, "初期化されていません");
        return false;
    }
    return true;
}

int STAFF_ROLL_MODE_DATA::LoadBackground(const char* tag, int slot, const char* file) {
    if (!GraphicUnload(m_pKUSprite, m_pKUSys, slot)) {
        modes::ErrorPrint(m_pKUSys, tag, "画像のアンロードに失敗しました");
        return 0;
    }
    if (!m_pKUSprite->SetGraphicData(static_cast<uint32_t>(slot), "tmp/", file, 4, 1)) {
        modes::ErrorPrint(m_pKUSys, tag, "データの設定に失敗しました");
        return -1;
    }
    if (!GraphicLoad(m_pKUSprite, m_pKUSys, slot)) {
        modes::ErrorPrint(m_pKUSys, tag, "画像のロードに失敗しました");
        return -1;
    }
    return 1;
}

int STAFF_ROLL_MODE_DATA::BG_CHANGE_Proc(STAFF_ROLL_PROC_DATA* p) {
    const char* tag = "STAFF_ROLL_MODE_DATA::BG_CHANGE_Proc";
    if (!Ready(tag, p))
        return 0;
    const uint32_t now = static_cast<uint32_t>(m_pKUSys->GetTime());
    if (p->m_nStep == 0) {
        p->m_bRunning = 1;
        int r = LoadBackground(tag, kSlotBgIn, p->m_szToken[2]);
        if (r != 1)
            return r;
        m_fBgInAlpha = 0.0f;
        m_fBgInX = adv::ScriptFloat(p->m_szToken[3]);
        m_fBgInY = adv::ScriptFloat(p->m_szToken[4]);
        p->m_dwStartTime = now;
        p->m_nStep = 1;
        return 1;
    }
    double t = Progress(now, p->m_dwStartTime, ToMs(p->m_szToken[5]));
    m_fBgInAlpha = static_cast<float>(t);
    m_fBgAlpha = static_cast<float>(1.0 - t);
    if (t < 1.0)
        return 1;
    m_fBgInAlpha = 0.0f;
    m_fBgAlpha = 1.0f;
    int r = LoadBackground(tag, kSlotBg, p->m_szToken[2]);
    if (r != 1)
        return r;
    if (!GraphicUnload(m_pKUSprite, m_pKUSys, kSlotBgIn)) {
        modes::ErrorPrint(m_pKUSys, tag, "画像のアンロードに失敗しました");
        return 0;
    }
    m_fBgX = m_fBgInX;
    m_fBgY = m_fBgInY;
    m_fBgInX = m_fBgInY = 0.0f;
    Finish(p);
    return 1;
}

int STAFF_ROLL_MODE_DATA::BG_FADE_OUT_Proc(STAFF_ROLL_PROC_DATA* p) {
    const char* tag = "STAFF_ROLL_MODE_DATA::BG_FADE_OUT_Proc";
    if (!Ready(tag, p))
        return 0;
    const uint32_t now = static_cast<uint32_t>(m_pKUSys->GetTime());
    if (p->m_nStep == 0) {
        p->m_bRunning = 1;
        p->m_dwStartTime = now;
        p->m_nStep = 1;
        return 1;
    }
    m_fBgAlpha = static_cast<float>(1.0 - Progress(now, p->m_dwStartTime, ToMs(p->m_szToken[2])));
    if (m_fBgAlpha > 0.0f)
        return 1;
    m_fBgAlpha = 0.0f;
    if (!GraphicUnload(m_pKUSprite, m_pKUSys, kSlotBg)) {
        modes::ErrorPrint(m_pKUSys, tag, "画像のアンロードに失敗しました");
        return 0;
    }
    m_fBgX = m_fBgY = 0.0f;
    Finish(p);
    return 1;
}

int STAFF_ROLL_MODE_DATA::BG_FADE_IN_Proc(STAFF_ROLL_PROC_DATA* p) {
    const char* tag = "STAFF_ROLL_MODE_DATA::BG_FADE_IN_Proc";
    if (!Ready(tag, p))
        return 0;
    const uint32_t now = static_cast<uint32_t>(m_pKUSys->GetTime());
    if (p->m_nStep == 0) {
        p->m_bRunning = 1;
        int r = LoadBackground(tag, kSlotBg, p->m_szToken[2]);
        if (r != 1)
            return r;
        m_fBgAlpha = 0.0f;
        m_fBgX = adv::ScriptFloat(p->m_szToken[3]);
        m_fBgY = adv::ScriptFloat(p->m_szToken[4]);
        p->m_dwStartTime = now;
        p->m_nStep = 1;
        return 1;
    }
    double t = Progress(now, p->m_dwStartTime, ToMs(p->m_szToken[5]));
    m_fBgAlpha = static_cast<float>(t < 1.0 ? t : 1.0);
    if (t >= 1.0)
        Finish(p);
    return 1;
}

int STAFF_ROLL_MODE_DATA::SCROLL_SPEED_CHANGE_Proc(STAFF_ROLL_PROC_DATA* p) {
    if (!Ready("STAFF_ROLL_MODE_DATA::SCROLL_SPEED_CHANGE_Proc", p))
        return 0;
    m_fScrollSpeed = adv::ScriptFloat(p->m_szToken[2]);
    Finish(p);
    return 1;
}

int STAFF_ROLL_MODE_DATA::SCROLL_STOP_Proc(STAFF_ROLL_PROC_DATA* p) {
    if (!Ready("STAFF_ROLL_MODE_DATA::SCROLL_STOP_Proc", p))
        return 0;
    const uint32_t now = static_cast<uint32_t>(m_pKUSys->GetTime());
    if (p->m_nStep == 0) {
        m_fScrollSpeed = 0.0f;
        p->m_dwStartTime = now;
        p->m_nStep = 1;
        return 1;
    }
    if (ToMs(p->m_szToken[2]) < now - p->m_dwStartTime)
        Finish(p);
    return 1;
}

int STAFF_ROLL_MODE_DATA::STAFF_ROLL_STOP_WAIT_END_Proc(STAFF_ROLL_PROC_DATA* p) {
    if (!Ready("STAFF_ROLL_MODE_DATA::STAFF_ROLL_STOP_WAIT_END_Proc", p))
        return 0;
    const uint32_t now = static_cast<uint32_t>(m_pKUSys->GetTime());
    if (p->m_nStep == 0) {
        m_fScrollSpeed = 0.0f;
        m_fBaseY = p->m_fPosition;
        p->m_dwStartTime = now;
        p->m_nStep = 1;
        return 1;
    }
    if (ToMs(p->m_szToken[2]) < now - p->m_dwStartTime)
        Finish(p);
    return 1;
}
