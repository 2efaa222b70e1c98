#include "adv/adv_data.h"
#include "adv/main_scr.h"

// Command groups still being built (presentation, objects, data and sound,
// fades and the message window): each logs its line and finishes, so that a
// script using them plays on.

int MAIN_SCR::PendingProc(const char* handler, SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady(handler, cmd))
        return 0;
    ErrorPrintF("Warn: <MAIN_SCR::%s> この命令はまだ実行できません。スクリプト:%sの%d行目\n", handler,
                m_pAdvData->m_szScriptName, cmd->m_nLine);
    cmd->Clear();
    return 1;
}

int MAIN_SCR::SetDataProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("SetDataProc", cmd); }
int MAIN_SCR::LoadDataProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("LoadDataProc", cmd); }
int MAIN_SCR::UnloadDataProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("UnloadDataProc", cmd); }
int MAIN_SCR::MoviePlayProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("MoviePlayProc", cmd); }
int MAIN_SCR::GraphicDispProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("GraphicDispProc", cmd); }
int MAIN_SCR::GraphicHideProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("GraphicHideProc", cmd); }
int MAIN_SCR::TextAreaDispProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("TextAreaDispProc", cmd); }
int MAIN_SCR::TextAreaHideProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("TextAreaHideProc", cmd); }
int MAIN_SCR::TextScrollProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("TextScrollProc", cmd); }
int MAIN_SCR::WipeProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("WipeProc", cmd); }
int MAIN_SCR::MosaicExpansionProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("MosaicExpansionProc", cmd); }
int MAIN_SCR::MosaicReductionProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("MosaicReductionProc", cmd); }
int MAIN_SCR::MosaicEndProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("MosaicEndProc", cmd); }
int MAIN_SCR::SetObjectAnimProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("SetObjectAnimProc", cmd); }
int MAIN_SCR::SetObjectDrawPropertyProc(SCRIPT_COMMAND_DATA* cmd) {
    return PendingProc("SetObjectDrawPropertyProc", cmd);
}
int MAIN_SCR::AddObjectBufProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("AddObjectBufProc", cmd); }
int MAIN_SCR::StartObjectProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("StartObjectProc", cmd); }
int MAIN_SCR::EndObjectProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("EndObjectProc", cmd); }
int MAIN_SCR::StartObjectProc_WaitProc(SCRIPT_COMMAND_DATA* cmd) {
    return PendingProc("StartObjectProc_WaitProc", cmd);
}
int MAIN_SCR::ObjectAllFadeOutProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("ObjectAllFadeOutProc", cmd); }
int MAIN_SCR::FadeInProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("FadeInProc", cmd); }
int MAIN_SCR::FadeIn2Proc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("FadeIn2Proc", cmd); }
int MAIN_SCR::FadeOutProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("FadeOutProc", cmd); }
int MAIN_SCR::KeyWaitProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("KeyWaitProc", cmd); }
int MAIN_SCR::TimeWaitProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("TimeWaitProc", cmd); }
int MAIN_SCR::MsgWndOpenProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("MsgWndOpenProc", cmd); }
int MAIN_SCR::MsgWndCloseProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("MsgWndCloseProc", cmd); }
int MAIN_SCR::MsgDispProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("MsgDispProc", cmd); }
int MAIN_SCR::MsgWndClear(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("MsgWndClear", cmd); }
int MAIN_SCR::PlayWaveProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("PlayWaveProc", cmd); }
int MAIN_SCR::StopWaveProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("StopWaveProc", cmd); }
int MAIN_SCR::PlayVoiceProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("PlayVoiceProc", cmd); }
int MAIN_SCR::StopVoiceProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("StopVoiceProc", cmd); }
int MAIN_SCR::PlayBGMProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("PlayBGMProc", cmd); }
int MAIN_SCR::StopBGMProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("StopBGMProc", cmd); }
int MAIN_SCR::BGMWaitProc(SCRIPT_COMMAND_DATA* cmd) { return PendingProc("BGMWaitProc", cmd); }
