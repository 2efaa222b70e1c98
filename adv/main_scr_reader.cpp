#include <cstring>

#include "adv/adv_data.h"
#include "adv/main_scr.h"
#include "engine/kucode.h"
#include "engine/kusystem.h"
#include "scene/object_data.h"

namespace {

using Handler = int (MAIN_SCR::*)(SCRIPT_COMMAND_DATA*);

struct KeywordRow {
    const char* keyword;
    Handler handler;
};

// Dispatch order: the first row whose keyword matches wins.
constexpr KeywordRow kKeywords[] = {
    {"#SetData", &MAIN_SCR::SetDataProc},
    {"#LoadData", &MAIN_SCR::LoadDataProc},
    {"#UnloadData", &MAIN_SCR::UnloadDataProc},
    {"#MoviePlay", &MAIN_SCR::MoviePlayProc},
    {"#GraphicDisp", &MAIN_SCR::GraphicDispProc},
    {"#GraphicHide", &MAIN_SCR::GraphicHideProc},
    {"#TextDisp", &MAIN_SCR::TextAreaDispProc},
    {"#TextHide", &MAIN_SCR::TextAreaHideProc},
    {"#TextScroll", &MAIN_SCR::TextScrollProc},
    {"#Wipe", &MAIN_SCR::WipeProc},
    {"#MosaicExpansion", &MAIN_SCR::MosaicExpansionProc},
    {"#MosaicReduction", &MAIN_SCR::MosaicReductionProc},
    {"#MosaicEnd", &MAIN_SCR::MosaicEndProc},
    {"#SetObjectAnim", &MAIN_SCR::SetObjectAnimProc},
    {"#SetObjectDrawProperty", &MAIN_SCR::SetObjectDrawPropertyProc},
    {"#AddObjectBuf", &MAIN_SCR::AddObjectBufProc},
    {"#StartObjectProc", &MAIN_SCR::StartObjectProc},
    {"#EndObjectProc", &MAIN_SCR::EndObjectProc},
    {"#StartObjectProc_Wait", &MAIN_SCR::StartObjectProc_WaitProc},
    {"#ObjectAllFadeOut", &MAIN_SCR::ObjectAllFadeOutProc},
    {"#FadeIn", &MAIN_SCR::FadeInProc},
    {"#FadeIn2", &MAIN_SCR::FadeIn2Proc},
    {"#FadeOut", &MAIN_SCR::FadeOutProc},
    {"#KeyWait", &MAIN_SCR::KeyWaitProc},
    {"#TimeWait", &MAIN_SCR::TimeWaitProc},
    {"#MsgWndOpen", &MAIN_SCR::MsgWndOpenProc},
    {"#MsgWndClose", &MAIN_SCR::MsgWndCloseProc},
    {"#SelectStart", &MAIN_SCR::SelectStartProc},
    {"#SelectWait", &MAIN_SCR::SelectWaitProc},
    {"#SelectBranch", &MAIN_SCR::SelectBranchProc},
    {"#SelectEnd", &MAIN_SCR::SelectEndProc},
    {"#MsgDisp", &MAIN_SCR::MsgDispProc},
    {"#MsgWndClear", &MAIN_SCR::MsgWndClear},
    {"#If", &MAIN_SCR::IfProc},
    {"#ElseIf", &MAIN_SCR::ElseIfProc},
    {"#Else", &MAIN_SCR::ElseProc},
    {"#EndIf", &MAIN_SCR::EndIfProc},
    {"#RandomStart", &MAIN_SCR::RandomStartProc},
    {"#RandomBranch", &MAIN_SCR::RandomBranchProc},
    {"#RandomEnd", &MAIN_SCR::RandomEndProc},
    {"#Jump", &MAIN_SCR::JumpProc},
    {"#GoTo", &MAIN_SCR::GoToProc},
    {"#FileChange", &MAIN_SCR::FileChangeProc},
    {"#FileChange2", &MAIN_SCR::FileChange2Proc},
    {"#EndScript", &MAIN_SCR::EndScriptProc},
    {"#TestModeIn", &MAIN_SCR::TestModeInProc},
    {"#ChangeEpisode", &MAIN_SCR::ChangeEpisodeProc},
    {"#ChangeScene", &MAIN_SCR::ChangeSceneProc},
    {"#PutInEpisodeData", &MAIN_SCR::PutInEpisodeDataProc},
    {"#PutInSceneData", &MAIN_SCR::PutInSceneDataProc},
    {"#ChangeTestResult", &MAIN_SCR::ChangeTestResultProc},
    {"#PutInTestResult", &MAIN_SCR::PutInTestResultProc},
    {"#AddInTestResult", &MAIN_SCR::AddInTestResultProc},
    {"#AddVar", &MAIN_SCR::AddVarProc},
    {"#ChangeVar", &MAIN_SCR::ChangeVarProc},
    {"#FlgOnVar", &MAIN_SCR::FlgOnVarProc},
    {"#FlgOffVar", &MAIN_SCR::FlgOffVarProc},
    {"#AddAutoSkipFileList", &MAIN_SCR::AddAutoSkipFileListProc},
    {"#PlayWave", &MAIN_SCR::PlayWaveProc},
    {"#StopWave", &MAIN_SCR::StopWaveProc},
    {"#PlayVoice", &MAIN_SCR::PlayVoiceProc},
    {"#StopVoice", &MAIN_SCR::StopVoiceProc},
    {"#PlayBGM", &MAIN_SCR::PlayBGMProc},
    {"#StopBGM", &MAIN_SCR::StopBGMProc},
    {"#BGMWait", &MAIN_SCR::BGMWaitProc},
};
static_assert(sizeof(kKeywords) / sizeof(kKeywords[0]) == 65, "one row per keyword");

constexpr int kTokenCount = 1 + SCRIPT_COMMAND_DATA::kArgCount;

} // namespace

int MAIN_SCR::MainProc() {
    if (!m_bInit) {
        ErrorPrint("Error: <MAIN_SCR::MainProc> 初期化されていません\n");
        return -1;
    }
    if (!m_pAdvData->m_pScriptFile) {
        ErrorPrint("Error: <MAIN_SCR::MainProc> ファイルポインタが失われています\n");
        return -1;
    }
    const int read = ReadScript();
    if (read == -1) {
        ErrorPrint("Error: <MAIN_SCR::MainProc> スクリプトの読み込みに失敗しました\n");
        return -1;
    }
    if (read == 1) {
        ErrorPrint("Warn: <MAIN_SCR::MainProc> スクリプト終了命令が呼び出されずに終端まで到達しました\n");
        return 1;
    }
    int exclusive = -1;
    for (int i = 0; i < kSlotCount && exclusive < 0; ++i)
        if (m_pAdvData->m_ScriptCommand[i].m_bExclusive)
            exclusive = i;
    const int first = exclusive < 0 ? 0 : exclusive;
    const int last = exclusive < 0 ? kSlotCount - 1 : exclusive;
    for (int i = first; i <= last; ++i) {
        if (DistributionScriptProc(i) == 0) {
            const SCRIPT_COMMAND_DATA& slot = m_pAdvData->m_ScriptCommand[i];
            if (slot.m_nLine == -1)
                ErrorPrint("Error: <MAIN_SCR::MainProc> スクリプトの実行に失敗しました\n");
            else
                ErrorPrintF("Error: <MAIN_SCR::MainProc> エラーが発生しました。 Line:%d 命令名:%s\n", slot.m_nLine,
                            slot.m_szCommand);
            return -1;
        }
    }
    // Objects move on even while an exclusive command holds the slots.
    const uint32_t now = static_cast<uint32_t>(m_pKUSys->GetTime());
    for (uint32_t i = 0; m_pAdvData->m_pObject && i < m_pAdvData->m_dwObjectNum; ++i)
        if (m_pAdvData->m_pObject[i].m_bInit)
            m_pAdvData->m_pObject[i].MainLoopProc(m_pAdvData, now);
    return 0;
}

int MAIN_SCR::ReadScript() {
    if (!m_bInit) {
        ErrorPrint("Error: <MAIN_SCR::ReadScript> 初期化されていません\n");
        return -1;
    }
    ADV_DATA* adv = m_pAdvData;
    if (!adv->m_pScriptFile) {
        ErrorPrint("Error: <MAIN_SCR::ReadScript> ファイルポインタが失われています\n");
        return -1;
    }
    if (!adv->m_bReadingOn)
        return 0;
    SCRIPT_COMMAND_DATA* target = nullptr;
    for (SCRIPT_COMMAND_DATA& slot : adv->m_ScriptCommand) {
        if (slot.m_bExclusive)
            return 0;
        if (!target && slot.IsFree())
            target = &slot;
    }
    // With every slot busy the line waits for a later frame instead of
    // being dropped.
    if (!target)
        return 0;
    for (;;) {
        if (adv->m_bSelectOpen)
            return 0;
        char line[kLineSize];
        if (CodeFileReadOneLine(adv->m_pScriptFile, line, sizeof(line)) == -1) {
            if (feof(adv->m_pScriptFile))
                return 1;
            ErrorPrint("Error: <MAIN_SCR::ReadScript> CodeFileReadOneLineでエラーが発生しました\n");
            return -1;
        }
        adv->m_nLine += 1;
        char text[kLineSize];
        const int decoded = KUDecodeOneLine(line, sizeof(text), text);
        if (decoded == -1) {
            ErrorPrint("Error: <MAIN_SCR::ReadScript> 複合化に失敗しました\n");
            return -1;
        }
        if (decoded == 1)
            return 0;
        adv::ScriptToken tokens[kTokenCount];
        const int count = adv::SplitScriptLine(text, tokens, kTokenCount);
        if (count == 0 || tokens[0][0] == '$' || (tokens[0][0] == '/' && tokens[0][1] == '/'))
            continue;
        if (tokens[0][0] != '#') {
            ErrorPrint("Warn: <MAIN_SCR::ReadScript> 命令文以外を検出しました\n");
            continue;
        }
        if (adv::ScriptWordEqual(tokens[0], "#SelectStart"))
            adv->m_bSelectOpen = 1;
        target->SetData(tokens[0], tokens + 1, SCRIPT_COMMAND_DATA::kArgCount, adv->m_nLine);
        return 0;
    }
}

int MAIN_SCR::DistributionScriptProc(int slotNo) {
    if (!m_bInit) {
        ErrorPrint("Error: <MAIN_SCR::DistributionScriptProc> 初期化されていません\n");
        return -1;
    }
    if (slotNo < 0 || slotNo >= kSlotCount) {
        ErrorPrint("Error: <MAIN_SCR::DistributionScriptProc> 実行するスクリプトナンバーが不正です\n");
        return 0;
    }
    SCRIPT_COMMAND_DATA* slot = &m_pAdvData->m_ScriptCommand[slotNo];
    if (slot->IsFree())
        return 1;
    if (!m_pAdvData->m_pScriptFile) {
        ErrorPrint("Error: <MAIN_SCR::DistributionScriptProc> ファイルポインタが失われています\n");
        return 0;
    }
    for (const KeywordRow& row : kKeywords) {
        if (!adv::ScriptWordEqual(slot->m_szCommand, row.keyword))
            continue;
        // The line belongs to the script that holds the command, which a
        // failed #FileChange has already renamed to its target.
        char script[sizeof(m_pAdvData->m_szScriptName)];
        memcpy(script, m_pAdvData->m_szScriptName, sizeof(script));
        if ((this->*row.handler)(slot) == 0) {
            ErrorPrintF(
                "Error: <MAIN_SCR::DistributionScriptProc> スクリプト:%sの%d行目、%s命令でエラーが発生しました\n",
                script, slot->m_nLine, slot->m_szCommand);
            slot->Clear();
        }
        return 1;
    }
    // An unknown keyword would otherwise hold its slot for the rest of the play.
    ErrorPrintF("Warn: <MAIN_SCR::DistributionScriptProc> スクリプト:%sの%d行目、%sは定義されていない命令です\n",
                m_pAdvData->m_szScriptName, slot->m_nLine, slot->m_szCommand);
    slot->Clear();
    return 1;
}

int MAIN_SCR::SeekLine(const char* handler, adv::ScriptToken* tokens, int maxTokens, int* count) {
    char line[kSeekLineSize];
    if (CodeFileReadOneLine(m_pAdvData->m_pScriptFile, line, sizeof(line)) == -1) {
        HandlerError(handler, "CodeFileReadOneLineでエラーが発生しました");
        return 0;
    }
    m_pAdvData->m_nLine += 1;
    char text[kSeekLineSize];
    *count = 0;
    if (KUDecodeOneLine(line, sizeof(text), text) != 0) {
        for (int i = 0; i < maxTokens; ++i)
            tokens[i][0] = '\0';
        return 1;
    }
    *count = adv::SplitScriptLine(text, tokens, maxTokens);
    return 1;
}
