#include "adv/adv_data.h"
#include "adv/main_scr.h"
#include "engine/kusprite2.h"
#include "scene/object_data.h"

// The animated objects' frame timing, drawing properties and step programs,
// one step run while the script waits, and the fade-out of every object.

namespace {

bool Word(const char* arg, const char* word) { return adv::ScriptWordEqual(arg, word); }

// Durations are never negative: one would wrap into days.
uint32_t Ms(const char* arg) {
    const int32_t v = adv::ScriptInt(arg);
    return v < 0 ? 0u : static_cast<uint32_t>(v);
}

struct OpWord {
    const char* word;
    int32_t type;
};
constexpr OpWord kOps[] = {
    {"SET_POS", OBJECT_DATA::kProcSetPos},
    {"MOVE", OBJECT_DATA::kProcMove},
    {"GOTO", OBJECT_DATA::kProcGoto},
    {"CHANGE", OBJECT_DATA::kProcChange},
    {"DRAW", OBJECT_DATA::kProcDraw},
    {"HIDE", OBJECT_DATA::kProcHide},
    {"ANI_SET", OBJECT_DATA::kProcAniSet},
    {"DEL", OBJECT_DATA::kProcDel},
    {"END", OBJECT_DATA::kProcEnd},
    {"FADE_IN", OBJECT_DATA::kProcFadeIn},
    {"FADE_OUT", OBJECT_DATA::kProcFadeOut},
    {"FADE_MOVE_IN", OBJECT_DATA::kProcFadeMoveIn},
    {"FADE_MOVE_OUT", OBJECT_DATA::kProcFadeMoveOut},
    {"EXP_RED", OBJECT_DATA::kProcExpRed},
};

} // namespace

OBJECT_DATA* MAIN_SCR::FindObject(const char* tag, const char* id) {
    const int i = m_pAdvData->IDSearch(ADV_DATA::kKindObject, id);
    if (i < 0) {
        HandlerError(tag, "合致するIDが見つかりませんでした");
        return nullptr;
    }
    return &m_pAdvData->m_pObject[i];
}

int MAIN_SCR::SetObjectAnimProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "SetObjectAnimProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    OBJECT_DATA* obj = FindObject(kTag, cmd->m_szArg[0]);
    if (!obj)
        return 0;
    const int32_t frames = adv::ScriptInt(cmd->m_szArg[1]);
    const uint32_t type = Word(cmd->m_szArg[2], "REPETITION") ? 1u
                          : Word(cmd->m_szArg[2], "LOOP")     ? 0u
                                                              : GRAPHIC_DATA::kKeepType;
    // -1 keeps the frames and their times and changes only the type; other
    // counts below 0, or beyond any strip, would allocate wildly.
    if (frames < -1 || frames > static_cast<int32_t>(ANIMATION_DATA::kMaxFrames) ||
        !obj->SetAnimationData(frames, type)) {
        HandlerError(kTag, "データのセットに失敗しました");
        return 0;
    }
    if (frames != -1) {
        const uint32_t time = Ms(cmd->m_szArg[3]);
        for (uint32_t f = 0; f < obj->m_Animation.m_dwFrameNum; ++f)
            obj->SetAnimationFrameData(f, time, nullptr);
    }
    cmd->Clear();
    return 1;
}

int MAIN_SCR::SetObjectDrawPropertyProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "SetObjectDrawPropertyProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    OBJECT_DATA* obj = FindObject(kTag, cmd->m_szArg[0]);
    if (!obj)
        return 0;
    const int32_t key = Word(cmd->m_szArg[1], "TRUE") ? 1 : Word(cmd->m_szArg[1], "FALSE") ? 0 : -1;
    const uint32_t across = Word(cmd->m_szArg[3], "LENGTH") ? 0u : 1u;
    obj->SetDrawProperty(key, adv::ScriptInt(cmd->m_szArg[2]), across);
    cmd->Clear();
    return 1;
}

int MAIN_SCR::AddObjectBufProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "AddObjectBufProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    OBJECT_DATA* obj = FindObject(kTag, cmd->m_szArg[0]);
    if (!obj)
        return 0;
    const int32_t step = adv::ScriptInt(cmd->m_szArg[1]);
    if (step < 0 || step >= OBJECT_DATA::kProcNum) {
        HandlerError(kTag, "オブジェクトナンバーが範囲外です");
        return 0;
    }
    int32_t type = OBJECT_DATA::kProcFree;
    for (const OpWord& op : kOps)
        if (Word(cmd->m_szArg[2], op.word))
            type = op.type;
    const OBJECT_PROC_DATA p = StepArguments(cmd, *obj, type);
    if (!obj->AddProcDataBuf(step, p.fX, p.fY, p.dwTime, type, p.nA, p.nB, p.fX2, p.fY2)) {
        HandlerError(kTag, "オブジェクト命令の追加に失敗しました");
        return 0;
    }
    cmd->Clear();
    return 1;
}

// The fields of an object step read from its command's arguments as its type uses them; NULL keeps the object's own
// position or priority.
OBJECT_PROC_DATA MAIN_SCR::StepArguments(const SCRIPT_COMMAND_DATA* cmd, const OBJECT_DATA& obj, int32_t type) {
    // Arguments from the fourth on, numbered as the scripts count them.
    auto arg = [&](int n) { return cmd->m_szArg[n - 1]; };
    auto num = [&](int n, float current) { return Word(arg(n), "NULL") ? current : adv::ScriptFloat(arg(n)); };
    auto prio = [&](int n) { return Word(arg(n), "NULL") ? obj.m_nPriority : adv::ScriptInt(arg(n)); };
    float x = 0.0f, y = 0.0f, x2 = 0.0f, y2 = 0.0f;
    uint32_t time = 0;
    int32_t a = 0, b = 0;
    switch (type) {
        case OBJECT_DATA::kProcSetPos:
            x = num(4, obj.m_fX);
            y = num(5, obj.m_fY);
            a = prio(6);
            break;
        case OBJECT_DATA::kProcMove:
        case OBJECT_DATA::kProcChange:
            // The step runner gives CHANGE its own meaning (a copy of one step
            // over another); the script stores the fields a MOVE has.
            x = adv::ScriptFloat(arg(4));
            y = adv::ScriptFloat(arg(5));
            time = Ms(arg(6));
            break;
        case OBJECT_DATA::kProcGoto:
        case OBJECT_DATA::kProcDel: a = adv::ScriptInt(arg(4)); break;
        case OBJECT_DATA::kProcAniSet:
            a = adv::ScriptInt(arg(4));
            b = adv::ScriptInt(arg(5));
            break;
        case OBJECT_DATA::kProcFadeIn:
            x = num(4, obj.m_fX);
            y = num(5, obj.m_fY);
            a = prio(6);
            time = Ms(arg(7));
            break;
        case OBJECT_DATA::kProcFadeOut: time = Ms(arg(4)); break;
        case OBJECT_DATA::kProcFadeMoveIn: {
            const bool abs = Word(arg(4), "ABS");
            x2 = num(5, obj.m_fX);
            y2 = num(6, obj.m_fY);
            a = prio(7);
            x = adv::ScriptFloat(arg(8)) + (abs ? 0.0f : x2);
            y = adv::ScriptFloat(arg(9)) + (abs ? 0.0f : y2);
            time = Ms(arg(10));
            break;
        }
        case OBJECT_DATA::kProcFadeMoveOut: {
            const bool abs = Word(arg(4), "ABS");
            x = adv::ScriptFloat(arg(5)) + (abs ? 0.0f : obj.m_fX);
            y = adv::ScriptFloat(arg(6)) + (abs ? 0.0f : obj.m_fY);
            time = Ms(arg(7));
            break;
        }
        case OBJECT_DATA::kProcExpRed: {
            uint32_t w = 0, h = 0;
            if (obj.m_nSlot >= 0)
                m_pKUSprite->GetGraphicFormat(static_cast<uint32_t>(obj.m_nSlot), &w, &h);
            x2 = adv::ScriptFloat(arg(4));
            x = obj.m_fX + static_cast<float>(w) * (obj.m_fScaleX - 1.0f) / 2.0f;
            y = obj.m_fY + static_cast<float>(h) * (obj.m_fScaleY - 1.0f) / 2.0f;
            time = Ms(arg(5));
            break;
        }
        default: break;
    }
    return OBJECT_PROC_DATA{x, y, time, type, a, b, x2, y2};
}

int MAIN_SCR::StartObjectProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "StartObjectProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    OBJECT_DATA* obj = FindObject(kTag, cmd->m_szArg[0]);
    if (!obj)
        return 0;
    obj->m_bShow = Word(cmd->m_szArg[1], "FALSE") ? 0 : 1;
    obj->m_bRun = 1;
    cmd->Clear();
    return 1;
}

int MAIN_SCR::EndObjectProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "EndObjectProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    OBJECT_DATA* obj = FindObject(kTag, cmd->m_szArg[0]);
    if (!obj)
        return 0;
    obj->m_bShow = Word(cmd->m_szArg[1], "TRUE") ? 1 : 0;
    obj->m_bRun = 0;
    cmd->Clear();
    return 1;
}

int MAIN_SCR::StartObjectProc_WaitProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "StartObjectProc_WaitProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    OBJECT_DATA* obj = FindObject(kTag, cmd->m_szArg[0]);
    if (!obj)
        return 0;
    const int32_t step = adv::ScriptInt(cmd->m_szArg[1]);
    if (step < 0 || step >= OBJECT_DATA::kProcNum) {
        HandlerError(kTag, "オブジェクトナンバーが範囲外です");
        return 0;
    }
    if (cmd->m_nPhase == 0) {
        obj->m_nStepState = 0;
        cmd->m_bExclusive = 1;
        cmd->m_dwStartTime = Now();
        ControllerButtons(false);
        cmd->m_nPhase = 1;
    }
    const int r = obj->OneProc(m_pAdvData, step, Now(), SkipTest() ? 1 : 0);
    if (r == -1) {
        // A step that cannot run would hold every other command for good.
        ControllerButtons(true);
        HandlerError(kTag, "オブジェクトの処理に失敗しました");
        return 0;
    }
    if (r == 1) {
        ControllerButtons(true);
        cmd->Clear();
    }
    return 1;
}

int MAIN_SCR::ObjectAllFadeOutProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("ObjectAllFadeOutProc", cmd))
        return 0;
    if (cmd->m_nPhase == 0) {
        cmd->m_dwStartTime = Now();
        cmd->m_bExclusive = 1;
        ControllerButtons(false);
        cmd->m_nPhase = 1;
    }
    // No duration fades at once rather than through 0 / 0.
    const int32_t ms = adv::ScriptInt(cmd->m_szArg[0]);
    float alpha = 0.0f;
    if (ms > 0)
        alpha = static_cast<float>(1.0 - static_cast<double>(Now() - cmd->m_dwStartTime) / ms);
    if (alpha < 0.0f || SkipTest())
        alpha = 0.0f;
    const bool loadedOnly = Word(cmd->m_szArg[1], "FALSE");
    ADV_DATA* adv = m_pAdvData;
    for (uint32_t i = 0; adv->m_pObject && i < adv->m_dwObjectNum; ++i) {
        OBJECT_DATA& obj = adv->m_pObject[i];
        if (!obj.m_bShow)
            continue;
        obj.m_fAlpha = alpha;
        if (alpha == 0.0f && (!loadedOnly || obj.m_bLoad))
            obj.DeleteObject();
    }
    if (alpha == 0.0f) {
        ControllerButtons(true);
        cmd->Clear();
    }
    return 1;
}
