#include "scene/object_data.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "game/fixed_string.h"
#include "platform/debug_out.h"

namespace {

float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

// Signed time since start; a start in the future counts as no time passed.
uint32_t Elapsed(uint32_t now, uint32_t start) {
    const uint32_t d = now - start;
    return d > 0x7FFFFFFFu ? 0 : d;
}

// An axis has arrived when it reached or passed the target in the direction
// of its velocity; an arrived axis sits exactly on the target.
bool Arrive(float* pos, float target, float velocity) {
    const bool arrived = velocity > 0.0f ? *pos >= target : *pos <= target;
    if (arrived)
        *pos = target;
    return arrived;
}

} // namespace

OBJECT_DATA::OBJECT_DATA() : m_bCreate(0), m_pKUSnd(nullptr), m_bRun(0) {
    m_pKUSprite = nullptr;
    m_pKUSys = nullptr;
    Clear();
}

OBJECT_DATA::~OBJECT_DATA() { Clear(); }

void OBJECT_DATA::LogError(const char* method, const char* text) {
    const std::string line = std::string("Error: <OBJECT_DATA::") + method + "> " + text + "\n";
    if (m_pKUSys)
        m_pKUSys->TracePrint(line.c_str());
    else
        plat::DebugOut(line.c_str());
}

bool OBJECT_DATA::Usable(const char* method) {
    if (m_bInit && m_pKUSys)
        return true;
    LogError(method, "初期化されていません");
    return false;
}

void OBJECT_DATA::ClearProc(OBJECT_PROC_DATA& p) {
    // Words 6 and 7 stay: a cleared step keeps its second position.
    p.fX = p.fY = 0.0f;
    p.dwTime = 0;
    p.nType = 0;
    p.nA = p.nB = 0;
}

int OBJECT_DATA::Initialize(KUSPRITE2* sprite, KUSND* snd, KUSYSTEM* sys, const char* id) {
    Clear();
    if (!sys) {
        plat::DebugOut("Error: <OBJECT_DATA::Initialize> 引数のKUSYSTEMクラスポインタが不正です\n");
        return 0;
    }
    m_pKUSys = sys;
    if (!sprite) {
        LogError("Initialize", "引数のKUSPRITE2クラスポインタが不正です");
        m_pKUSys = nullptr;
        return 0;
    }
    if (!snd)
        LogError("Initialize", "引数のKUSNDクラスポインタが不正です");
    if (!id) {
        LogError("Initialize", "IDが指定されていません");
        m_pKUSys = nullptr;
        return 0;
    }
    if (!GRAPHIC_DATA::Initialize(sprite, sys, id))
        return 0;
    m_pKUSnd = snd;
    return 1;
}

int OBJECT_DATA::CreateObject(const char* file, float x, float y, int32_t cellWidth, int32_t cellHeight,
                              int32_t frameCount, uint32_t animationType, uint32_t loadFlag, int32_t number) {
    if (!Usable("CreateObject"))
        return 0;
    if (!m_pKUSprite || !m_pKUSnd) {
        LogError("CreateObject", "初期化されていません");
        return 0;
    }
    DeleteObject();
    if (!file) {
        LogError("CreateObject", "ファイル名が設定されていません");
        return 0;
    }
    // Numbers below -1 would land on the game's fixed slots, and two past the
    // pool on the mosaic's work surfaces.
    int32_t slot = -1;
    if (number == -1) {
        for (int32_t s = kFirstPoolSlot; s <= kLastPoolSlot && slot < 0; ++s) {
            const char* bound = m_pKUSprite->GetGraphicDataFileName(static_cast<uint32_t>(s));
            if (!bound || !bound[0])
                slot = s;
        }
        if (slot < 0) {
            m_pKUSys->TracePrint(
                "Warn: <OBJECT_DATA::CreateObject> "
                "スクリプト予約ナンバーが満杯です。GR_SCRIPT_RESERVE01に確保します\n");
            slot = kFirstPoolSlot;
        }
    } else if (number >= 1 && number <= INT32_MAX - kPoolBase &&
               (number + kPoolBase < kFirstWorkSlot || number + kPoolBase > kLastWorkSlot)) {
        slot = number + kPoolBase;
    } else {
        LogError("CreateObject", "グラフィックライブラリインデックスナンバーが不正です");
        return 0;
    }
    if (frameCount < 0 || static_cast<uint32_t>(frameCount) > ANIMATION_DATA::kMaxFrames) {
        LogError("CreateObject", "アニメーション数が不正です");
        frameCount = 0;
    }
    m_nSlot = slot;
    game::CopyFixed(m_szFile, file);
    m_fX = x;
    m_fY = y;
    m_nCellWidth = cellWidth;
    m_nCellHeight = cellHeight;
    // Every frame has a (still empty) rectangle, as a picture's frames do.
    m_dwAnimationNum = static_cast<uint32_t>(frameCount);
    m_pRect.reset(frameCount ? new KURECT[frameCount]() : nullptr);
    m_Animation.m_dwType = animationType;
    m_Animation.SetData(static_cast<uint32_t>(frameCount), animationType);
    m_bCreate = 1;
    m_bRun = 0;
    m_bLoad = loadFlag;
    if (loadFlag && !LoadGraphicData())
        LogError("CreateObject", "オブジェクトのロードに失敗しました");
    return 1;
}

int OBJECT_DATA::DeleteObject() {
    if (m_bLoad) {
        UnloadGraphicData();
        m_bLoad = 0;
    }
    m_Animation.Release();
    m_nSlot = -1;
    m_fX = m_fY = 0.0f;
    m_fScaleX = m_fScaleY = 1.0f;
    m_fVecX = m_fVecY = 0.0f;
    m_fAlpha = 1.0f;
    m_bShow = 0;
    m_bColorKey = 0;
    m_nPriority = 0;
    m_nNowProc = 0;
    m_nCellWidth = m_nCellHeight = 0;
    m_dwFadeTime = 0;
    m_dwStepStart = 0;
    m_nStepState = 0;
    m_bRun = 0;
    m_bRepeatAcross = 0;
    m_nRepeat = -1;
    m_pRect.reset();
    m_dwAnimationNum = 0;
    for (OBJECT_PROC_DATA& p : m_Proc)
        ClearProc(p);
    m_bCreate = 0;
    return 1;
}

void OBJECT_DATA::Clear() {
    for (OBJECT_PROC_DATA& p : m_Proc)
        p.fX2 = p.fY2 = 0.0f;
    DeleteObject();
    std::memset(m_szID, 0, sizeof(m_szID));
    std::memset(m_szFile, 0, sizeof(m_szFile));
    m_pKUSprite = nullptr;
    m_pKUSys = nullptr;
    m_pKUSnd = nullptr;
    m_bInit = 0;
}

int OBJECT_DATA::SetDrawProperty(int32_t colourKey, int32_t repeat, uint32_t across) {
    if (!Usable("SetDrawProperty"))
        return 0;
    if (colourKey == 0 || colourKey == 1)
        m_bColorKey = static_cast<uint32_t>(colourKey);
    if (repeat >= 1) {
        m_nRepeat = repeat;
        m_bRepeatAcross = across ? 1 : 0;
    } else if (repeat == 0) {
        m_nRepeat = -1;
    }
    return 1;
}

int OBJECT_DATA::AddProcDataBuf(int32_t index, float x, float y, uint32_t time, int32_t type, int32_t a, int32_t b,
                                float x2, float y2) {
    if (!Usable("AddProcDataBuf"))
        return 0;
    if (index == -1) {
        for (int32_t i = 0; i < kProcNum && index < 0; ++i) {
            const OBJECT_PROC_DATA& p = m_Proc[i];
            if (p.fX == 0.0f && p.fY == 0.0f && p.nType == 0)
                index = i;
        }
        if (index < 0) {
            LogError("AddProcDataBuf", "空きバッファがありません");
            return 0;
        }
    } else if (index < 0 || index >= kProcNum) {
        LogError("AddProcDataBuf", "バッファナンバーが不正です");
        return 0;
    }
    m_Proc[index] = OBJECT_PROC_DATA{x, y, time, type, a, b, x2, y2};
    return 1;
}

int OBJECT_DATA::ClearProcDataBuf(int32_t index) {
    if (!Usable("ClearProcDataBuf"))
        return 0;
    if (index == -1) {
        for (OBJECT_PROC_DATA& p : m_Proc)
            ClearProc(p);
        return 1;
    }
    if (index < 0 || index >= kProcNum) {
        LogError("ClearProcDataBuf", "バッファナンバーが不正です");
        return 0;
    }
    ClearProc(m_Proc[index]);
    return 1;
}

int OBJECT_DATA::CalcVecForPrcData(int32_t index) {
    if (!Usable("CalcVecForPrcData"))
        return 0;
    if (index < 0 || index >= kProcNum || (m_Proc[index].fX == m_fX && m_Proc[index].fY == m_fY) ||
        m_Proc[index].nType == 0) {
        LogError("CalcVecForPrcData", "バッファナンバーが不正です");
        return 0;
    }
    const OBJECT_PROC_DATA& p = m_Proc[index];
    // A zero duration arrives at once; the velocity then only gives the
    // direction of arrival.
    const float time = p.dwTime ? static_cast<float>(p.dwTime) : 1.0f;
    m_fVecX = p.fX != m_fX ? (p.fX - m_fX) / time : 0.0f;
    m_fVecY = p.fY != m_fY ? (p.fY - m_fY) / time : 0.0f;
    return 1;
}

namespace {
DrawOrderSorter g_drawOrderSorter = nullptr;
} // namespace

void SetDrawOrderSorter(DrawOrderSorter sorter) { g_drawOrderSorter = sorter; }

void OBJECT_DATA::Sort(ADV_DATA* adv) {
    if (adv && g_drawOrderSorter)
        g_drawOrderSorter(adv);
}

bool OBJECT_DATA::MoveTo(const OBJECT_PROC_DATA& p, uint32_t elapsed, bool finish) {
    if (finish || elapsed >= p.dwTime) {
        m_fX = p.fX;
        m_fY = p.fY;
    } else {
        const float left = static_cast<float>(p.dwTime - elapsed);
        m_fX = p.fX - left * m_fVecX;
        m_fY = p.fY - left * m_fVecY;
    }
    const bool ax = Arrive(&m_fX, p.fX, m_fVecX);
    const bool ay = Arrive(&m_fY, p.fY, m_fVecY);
    return ax && ay;
}

bool OBJECT_DATA::FadeTo(bool in, uint32_t elapsed, bool finish) {
    const bool done = finish || elapsed >= m_dwFadeTime;
    const float t = done ? 1.0f : static_cast<float>(elapsed) / static_cast<float>(m_dwFadeTime);
    m_fAlpha = Clamp01(in ? t : 1.0f - t);
    if (in && m_fAlpha >= 1.0f) {
        m_fAlpha = 1.0f;
        return true;
    }
    if (!in && m_fAlpha <= 0.0f) {
        m_fAlpha = 0.0f;
        return true;
    }
    return false;
}

bool OBJECT_DATA::ScaleTo(const OBJECT_PROC_DATA& p, uint32_t elapsed, bool finish) {
    const float start = p.fY2, target = p.fX2;
    const bool timeUp = finish || elapsed >= p.dwTime;
    float scale = timeUp ? target : start + (target - start) * static_cast<float>(elapsed) / p.dwTime;
    const bool done = timeUp || (target >= start ? scale >= target : scale <= target);
    if (done)
        scale = target;
    m_fScaleX = m_fScaleY = scale;
    // Kept centred on the unscaled image; without the slot's size the
    // position stays where it is.
    uint32_t w = 0, h = 0;
    if (m_pKUSprite && m_nSlot >= 0 && m_pKUSprite->GetGraphicFormat(static_cast<uint32_t>(m_nSlot), &w, &h)) {
        m_fX = p.fX + static_cast<float>(w) * (1.0f - scale) / 2.0f;
        m_fY = p.fY + static_cast<float>(h) * (1.0f - scale) / 2.0f;
    }
    return done;
}

void OBJECT_DATA::FinishTimed(bool combined) {
    m_nStepState = 0;
    m_dwFadeTime = 0;
    if (combined)
        m_dwStepStart = 0;
}

void OBJECT_DATA::DeleteStep(int32_t a, bool mainLoop) {
    if (a >= 0 && a < kProcNum - 1) {
        for (int32_t i = a; i < kProcNum - 1; ++i)
            m_Proc[i] = m_Proc[i + 1];
        ClearProc(m_Proc[kProcNum - 1]);
        // The step that ran the deletion moves down with the others; outside
        // the main loop nothing steps on afterwards, so it stays at 0.
        if (a <= m_nNowProc && (mainLoop || m_nNowProc > 0))
            --m_nNowProc;
        if (mainLoop)
            ++m_nNowProc;
        return;
    }
    if (a == kProcNum - 1) {
        ClearProc(m_Proc[a]);
    } else if (a == -1) {
        for (OBJECT_PROC_DATA& p : m_Proc)
            ClearProc(p);
    } else {
        LogError(mainLoop ? "MainLoopProc" : "OneProc", "バッファナンバーが不正です");
    }
    m_nNowProc = 0;
}

int OBJECT_DATA::RunTimed(ADV_DATA* adv, int32_t k, uint32_t now, bool finish, bool mainLoop) {
    OBJECT_PROC_DATA& p = m_Proc[k];
    const int32_t type = p.nType;
    if (m_nStepState == 0) {
        switch (type) {
            case kProcMove: CalcVecForPrcData(k); break;
            case kProcFadeIn:
                m_fX = p.fX;
                m_fY = p.fY;
                m_nPriority = p.nA;
                m_fAlpha = 0.0f;
                m_bShow = 1;
                Sort(adv);
                m_dwFadeTime = p.dwTime;
                break;
            case kProcFadeOut: m_dwFadeTime = p.dwTime; break;
            case kProcFadeMoveIn:
                m_fX = p.fX2;
                m_fY = p.fY2;
                m_nPriority = p.nA;
                m_fAlpha = 0.0f;
                m_bShow = 1;
                Sort(adv);
                CalcVecForPrcData(k);
                m_dwFadeTime = p.dwTime;
                break;
            case kProcFadeMoveOut:
                CalcVecForPrcData(k);
                m_dwFadeTime = p.dwTime;
                break;
            case kProcExpRed:
                p.fY2 = m_fScaleX;
                m_bShow = 1;
                break;
            default: break;
        }
        m_dwStepStart = now;
        m_nStepState = 1;
    }
    const uint32_t elapsed = Elapsed(now, m_dwStepStart);
    bool done = false;
    switch (type) {
        case kProcMove: done = MoveTo(p, elapsed, finish); break;
        case kProcFadeIn: done = FadeTo(true, elapsed, finish); break;
        case kProcFadeOut: done = FadeTo(false, elapsed, finish); break;
        case kProcFadeMoveIn: {
            const bool moved = MoveTo(p, elapsed, finish);
            done = FadeTo(true, elapsed, finish) && moved;
            break;
        }
        case kProcFadeMoveOut: {
            const bool moved = MoveTo(p, elapsed, finish);
            done = FadeTo(false, elapsed, finish) && moved;
            break;
        }
        default: // kProcExpRed
            done = ScaleTo(p, elapsed, finish);
            break;
    }
    if (!done)
        return 0;
    FinishTimed(type == kProcFadeMoveIn || type == kProcFadeMoveOut);
    if (mainLoop || type == kProcExpRed)
        ++m_nNowProc;
    if (type == kProcFadeOut || type == kProcFadeMoveOut) {
        m_bShow = 0;
        if (m_bLoad)
            DeleteObject();
        Sort(adv);
    }
    return 1;
}

int OBJECT_DATA::RunStep(ADV_DATA* adv, int32_t k, uint32_t now, bool finish, bool mainLoop) {
    OBJECT_PROC_DATA& p = m_Proc[k];
    const int advance = mainLoop ? 1 : 0;
    switch (p.nType) {
        case kProcFree: return 1;
        case kProcSetPos:
            m_fX = p.fX;
            m_fY = p.fY;
            m_nPriority = p.nA;
            m_nStepState = 0;
            Sort(adv);
            m_nNowProc += advance;
            return 1;
        case kProcGoto:
            // A target outside the program is reported by the next frame.
            m_nNowProc = p.nA;
            return 1;
        case kProcChange:
            if (p.nA < 0 || p.nA >= kProcNum || (mainLoop && (p.nB < 0 || p.nB >= kProcNum))) {
                LogError(mainLoop ? "MainLoopProc" : "OneProc", "バッファナンバーが不正です");
            } else if (mainLoop) {
                m_Proc[p.nA] = m_Proc[p.nB];
            } else {
                const int32_t a = p.nA;
                m_Proc[a] = m_Proc[k];
                m_Proc[a].nType = 0;
                m_Proc[a].nA = m_Proc[a].nB = 0;
            }
            m_nNowProc += advance;
            return 1;
        case kProcDraw:
            m_bShow = 1;
            m_nStepState = 0;
            if (mainLoop)
                Sort(adv);
            m_nNowProc += advance;
            return 1;
        case kProcHide:
            m_bShow = 0;
            if (m_bLoad)
                DeleteObject();
            if (mainLoop)
                Sort(adv);
            m_nNowProc += advance;
            return 1;
        case kProcAniSet:
            SetAnimationFrameData(static_cast<uint32_t>(p.nA), static_cast<uint32_t>(p.nB), nullptr);
            m_nNowProc += advance;
            return 1;
        case kProcDel: DeleteStep(p.nA, mainLoop); return 1;
        case kProcEnd:
            // An END in the last step stays there, idle as an END before a
            // free step is: there is no step behind it to move on to.
            if (k < kProcNum - 1)
                m_nNowProc += advance;
            return mainLoop ? 2 : 1;
        case kProcMove:
        case kProcFadeIn:
        case kProcFadeOut:
        case kProcFadeMoveIn:
        case kProcFadeMoveOut:
        case kProcExpRed: return RunTimed(adv, k, now, finish, mainLoop);
        default: return 0;
    }
}

int OBJECT_DATA::MainLoopProc(ADV_DATA* adv, uint32_t now) {
    if (!Usable("MainLoopProc"))
        return -1;
    if (!adv) {
        LogError("MainLoopProc", "アドベンチャーデータポインタが不正です");
        return -1;
    }
    if (m_bShow)
        m_Animation.AnimationProc(now);
    if (!m_bRun)
        return 0;
    if (m_nNowProc < 0 || m_nNowProc >= kProcNum) {
        LogError("MainLoopProc", "移動参照ナンバーが不正です");
        return -1;
    }
    return RunStep(adv, m_nNowProc, now, false, true);
}

int OBJECT_DATA::OneProc(ADV_DATA* adv, int32_t k, uint32_t now, int finish) {
    if (!Usable("OneProc"))
        return -1;
    if (!adv) {
        LogError("OneProc", "アドベンチャーデータポインタが不正です");
        return -1;
    }
    if (k < 0 || k >= kProcNum) {
        LogError("OneProc", "移動参照ナンバーが不正です");
        return -1;
    }
    return RunStep(adv, k, now, finish != 0, false);
}

int OBJECT_DATA::DrawProc() {
    if (!m_bInit || !m_pKUSys || !m_pKUSprite || !m_bCreate || !(m_fAlpha > 0.0f) || !m_bShow)
        return 1;
    if (m_nSlot < 0 || m_pKUSprite->GetGraphicDataLoadState(static_cast<uint32_t>(m_nSlot)) != 0) {
        LogError("DrawProc", "サーフェスがロードされていないか、サーフェスナンバーが不正です");
        return 0;
    }
    uint32_t w = 0, h = 0;
    if (!m_pKUSprite->GetGraphicFormat(static_cast<uint32_t>(m_nSlot), &w, &h)) {
        LogError("DrawProc", "グラフィックのサイズ取得に失敗しました");
        return 0;
    }
    const int64_t width = w, height = h;
    int64_t left = 0, right = width;
    if (m_nCellWidth > 0 && m_nCellWidth <= width) {
        const int64_t frame = m_Animation.m_dwNowFrame;
        left = m_nCellWidth * frame;
        right = left + m_nCellWidth;
        if (right > width)
            right = width;
        if (right < 1)
            right = width;
    }
    // A cell beyond the strip has nothing to show.
    if (left >= right)
        return 1;
    const int64_t bottom = (m_nCellHeight > 0 && m_nCellHeight <= height) ? m_nCellHeight : height;
    const KURECT src{static_cast<int32_t>(left), 0, static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
    const uint32_t colour = static_cast<uint32_t>(Clamp01(m_fAlpha) * 255.0f) << 24 | 0xFFFFFFu;
    const uint32_t flags = m_bColorKey ? kDrawFlagColorKey : 0;
    const int copies = m_nRepeat >= 1 ? m_nRepeat : 1;
    const double stepX = m_bRepeatAcross ? static_cast<double>(right - left) : 0.0;
    const double stepY = m_bRepeatAcross ? 0.0 : static_cast<double>(bottom);
    const float screenW = static_cast<float>(m_pKUSprite->GetScreenWidth());
    const float screenH = static_cast<float>(m_pKUSprite->GetScreenHeight());
    // Copies wholly before the screen's left or top edge are passed over
    // uncounted: a far position with a huge count from a script would
    // otherwise cost a frame millions of draws.
    const double step = stepX + stepY;
    const double start = m_bRepeatAcross ? m_fX : m_fY;
    const double reach = step * std::fabs(static_cast<double>(m_bRepeatAcross ? m_fScaleX : m_fScaleY));
    int first = 0;
    if (copies > 1 && step > 0.0 && start + reach <= 0.0) {
        const double before = std::floor((-reach - start) / step) + 1.0;
        first = before >= copies ? copies : static_cast<int>(before);
    }
    for (int i = first; i < copies; ++i) {
        const float x = static_cast<float>(m_fX + stepX * i);
        const float y = static_cast<float>(m_fY + stepY * i);
        // Copies past the screen's right or bottom edge cannot show: a huge
        // count from a script stops there.
        if (i > first && !(x < screenW && y < screenH))
            break;
        if (m_pKUSprite->D3DXDrawGraphic(static_cast<uint32_t>(m_nSlot), x, y, kDrawTypeAuto, flags, &src, m_fScaleX,
                                         m_fScaleY, &colour, 0) < 0) {
            LogError("DrawProc", "描画に失敗しました");
            return 0;
        }
    }
    return 1;
}
