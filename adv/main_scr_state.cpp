#include <cstdint>

#include "adv/adv_data.h"
#include "adv/main_scr.h"
#include "game/game_global_data.h"
#include "game/var_data.h"

namespace {

const char* const kSubjects[] = {"ENGLISH", "JAPANESE", "MATH", "SCIENCE", "SOCIAL"};

// Script arithmetic wraps in 32 bits.
int32_t Wrap(uint32_t v) { return static_cast<int32_t>(v); }

} // namespace

int MAIN_SCR::VarIndex(const char* handler, const char* id) {
    const int index = m_pAdvData->IDSearch(ADV_DATA::kKindVar, id);
    if (index < 0)
        HandlerError(handler, "ID検索に失敗しました");
    return index;
}

bool MAIN_SCR::TestArgs(const char* handler, const char* test, const char* subject, int* testNo, int* subjectNo) {
    *testNo = adv::ScriptInt(test);
    if (*testNo < 0 || *testNo >= ADV_DATA::kTestCount) {
        HandlerError(handler, "テストの回数指定が不正です");
        return false;
    }
    for (int i = 0; i < TEST_RESULT_DATA::kSubjectCount; ++i) {
        if (adv::ScriptWordEqual(subject, kSubjects[i])) {
            *subjectNo = i;
            return true;
        }
    }
    HandlerError(handler, "科目指定が不正です");
    return false;
}

void MAIN_SCR::MarkSceneSeen() {
    ADV_DATA* adv = m_pAdvData;
    if (adv->m_pGlobalData)
        adv->m_pGlobalData->SetFlag(adv->m_nEpisode, adv->m_nScene, GAME_GLOBAL_DATA::kKindEvent, adv->m_nScene, 1);
}

int MAIN_SCR::ChangeEpisodeProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("ChangeEpisodeProc", cmd))
        return 0;
    ADV_DATA* adv = m_pAdvData;
    MarkSceneSeen();
    if (adv->m_pGlobalData)
        adv->m_pGlobalData->SetEpisode(GAME_GLOBAL_DATA::kKindEpisode, adv->m_nEpisode);
    adv->m_nEpisode = adv::ScriptInt(cmd->m_szArg[0]);
    const int32_t scene = adv::ScriptInt(cmd->m_szArg[1]);
    adv->m_nScene = scene < 1 ? 1 : scene;
    cmd->Clear();
    return 1;
}

int MAIN_SCR::ChangeSceneProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("ChangeSceneProc", cmd))
        return 0;
    MarkSceneSeen();
    m_pAdvData->m_nScene = adv::ScriptInt(cmd->m_szArg[0]);
    cmd->Clear();
    return 1;
}

int MAIN_SCR::PutInEpisodeDataProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("PutInEpisodeDataProc", cmd))
        return 0;
    const int v = VarIndex("PutInEpisodeDataProc", cmd->m_szArg[0]);
    if (v < 0)
        return 0;
    GAME_GLOBAL_DATA* global = m_pAdvData->m_pGlobalData;
    m_pAdvData->m_pVar[v].SetValue(global ? global->GetEpisode(GAME_GLOBAL_DATA::kKindEpisode) : 0);
    cmd->Clear();
    return 1;
}

int MAIN_SCR::PutInSceneDataProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("PutInSceneDataProc", cmd))
        return 0;
    const int32_t episode = adv::ScriptInt(cmd->m_szArg[1]);
    if (episode < 1 || episode > GAME_GLOBAL_DATA::kEpisodes) {
        HandlerError("PutInSceneDataProc", "シーン数が不正です");
        return 0;
    }
    const int v = VarIndex("PutInSceneDataProc", cmd->m_szArg[0]);
    if (v < 0)
        return 0;
    GAME_GLOBAL_DATA* global = m_pAdvData->m_pGlobalData;
    m_pAdvData->m_pVar[v].SetValue(global ? Wrap(global->m_dwEventFlag[episode - 1]) : 0);
    cmd->Clear();
    return 1;
}

int MAIN_SCR::ChangeTestResultProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("ChangeTestResultProc", cmd))
        return 0;
    int test = 0;
    int subject = 0;
    if (!TestArgs("ChangeTestResultProc", cmd->m_szArg[0], cmd->m_szArg[1], &test, &subject))
        return 0;
    m_pAdvData->m_TestResult[test].m_nScore[subject] = adv::ScriptInt(cmd->m_szArg[2]);
    cmd->Clear();
    return 1;
}

int MAIN_SCR::PutInTestResultProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("PutInTestResultProc", cmd))
        return 0;
    const int v = VarIndex("PutInTestResultProc", cmd->m_szArg[0]);
    int test = 0;
    int subject = 0;
    if (v < 0 || !TestArgs("PutInTestResultProc", cmd->m_szArg[1], cmd->m_szArg[2], &test, &subject))
        return 0;
    m_pAdvData->m_pVar[v].SetValue(m_pAdvData->m_TestResult[test].m_nScore[subject]);
    cmd->Clear();
    return 1;
}

int MAIN_SCR::AddInTestResultProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("AddInTestResultProc", cmd))
        return 0;
    const int v = VarIndex("AddInTestResultProc", cmd->m_szArg[0]);
    int test = 0;
    int subject = 0;
    if (v < 0 || !TestArgs("AddInTestResultProc", cmd->m_szArg[1], cmd->m_szArg[2], &test, &subject))
        return 0;
    VAR_DATA& var = m_pAdvData->m_pVar[v];
    const int32_t score = m_pAdvData->m_TestResult[test].m_nScore[subject];
    var.SetValue(Wrap(static_cast<uint32_t>(var.GetValue()) + static_cast<uint32_t>(score)));
    cmd->Clear();
    return 1;
}

int MAIN_SCR::AddVarProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("AddVarProc", cmd))
        return 0;
    const int v = VarIndex("AddVarProc", cmd->m_szArg[0]);
    if (v < 0)
        return 0;
    VAR_DATA& var = m_pAdvData->m_pVar[v];
    const int32_t n = adv::ScriptInt(cmd->m_szArg[1]);
    var.SetValue(Wrap(static_cast<uint32_t>(var.GetValue()) + static_cast<uint32_t>(n)));
    cmd->Clear();
    return 1;
}

int MAIN_SCR::ChangeVarProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("ChangeVarProc", cmd))
        return 0;
    const int v = VarIndex("ChangeVarProc", cmd->m_szArg[0]);
    if (v < 0)
        return 0;
    m_pAdvData->m_pVar[v].SetValue(adv::ScriptInt(cmd->m_szArg[1]));
    cmd->Clear();
    return 1;
}

int MAIN_SCR::FlagVar(const char* handler, SCRIPT_COMMAND_DATA* cmd, int on) {
    if (!HandlerReady(handler, cmd))
        return 0;
    ADV_DATA* adv = m_pAdvData;
    const int32_t bit = adv::ScriptInt(cmd->m_szArg[1]);
    if (bit <= 0) {
        HandlerError(handler, "ビットの指定が不正です");
        return 0;
    }
    const char* target = cmd->m_szArg[0];
    uint32_t* word = nullptr;
    uint32_t mask = 0;
    const bool episodeOk = adv->m_nEpisode >= 1 && adv->m_nEpisode <= GAME_GLOBAL_DATA::kEpisodes;
    GAME_GLOBAL_DATA* global = adv->m_pGlobalData;
    if (adv::ScriptWordEqual(target, "EVENT")) {
        if (bit > 32) {
            HandlerError(handler, "EVENTに対してビットの指定が大き過ぎます");
            return 0;
        }
        if (!episodeOk) {
            ErrorPrintF("Warn: <MAIN_SCR::%s> エピソード数が不正です\n", handler);
            return 0;
        }
        if (global)
            word = &global->m_dwEventFlag[adv->m_nEpisode - 1];
        mask = 1u << (bit - 1);
    } else if (adv::ScriptWordEqual(target, "CG")) {
        const int32_t index = (bit - 1) / 32;
        if (index >= GAME_GLOBAL_DATA::kCgWords) {
            HandlerError(handler, "CGに対してビットの指定が大き過ぎます");
            return 0;
        }
        if (!episodeOk) {
            ErrorPrintF("Warn: <MAIN_SCR::%s> エピソード数が不正です\n", handler);
            return 0;
        }
        if (adv->m_nScene < 1 || adv->m_nScene > GAME_GLOBAL_DATA::kScenes) {
            ErrorPrintF("Warn: <MAIN_SCR::%s> シーン数が不正です\n", handler);
            return 0;
        }
        if (global)
            word = &global->m_dwCgFlag[adv->m_nEpisode - 1][adv->m_nScene - 1][index];
        mask = 1u << ((bit - 1) % 32);
    } else {
        const int v = VarIndex(handler, target);
        if (v < 0)
            return 0;
        if (bit > 16) {
            HandlerError(handler, "変数に対してビットの指定が大き過ぎます");
            return 0;
        }
        uint32_t value = static_cast<uint32_t>(adv->m_pVar[v].GetValue());
        mask = 1u << (bit - 1);
        value = on ? (value | mask) : (value & ~mask);
        adv->m_pVar[v].SetValue(Wrap(value));
    }
    if (word)
        *word = on ? (*word | mask) : (*word & ~mask);
    cmd->Clear();
    return 1;
}

int MAIN_SCR::FlgOnVarProc(SCRIPT_COMMAND_DATA* cmd) { return FlagVar("FlgOnVarProc", cmd, 1); }

int MAIN_SCR::FlgOffVarProc(SCRIPT_COMMAND_DATA* cmd) { return FlagVar("FlgOffVarProc", cmd, 0); }

int MAIN_SCR::AddAutoSkipFileListProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("AddAutoSkipFileListProc", cmd))
        return 0;
    ADV_DATA* adv = m_pAdvData;
    const char* file = adv::ScriptWordEqual(cmd->m_szArg[0], "NULL") ? adv->m_szScriptName : cmd->m_szArg[0];
    int32_t line = adv::ScriptInt(cmd->m_szArg[1]);
    if (line == 0)
        line = -1;
    AddAutoSkipFileList(file, line);
    int32_t recorded = 0;
    m_bAutoSkipList = CheckAutoSkipFileList(adv->m_szScriptName, &recorded) == 1 ? 1 : 0;
    m_nAutoSkipLine = recorded;
    cmd->Clear();
    return 1;
}
