#include <cstdint>
#include <cstring>

#include "adv/adv_data.h"
#include "adv/main_scr.h"
#include "engine/kucode.h"
#include "engine/kusystem.h"
#include "game/fixed_string.h"
#include "game/game_global_data.h"
#include "scene/message_data.h"
#include "game/shell_services.h"
#include "game/var_data.h"

namespace {

constexpr int kSeekTokens = 6;
constexpr const char* kWorkFolder = "tmp/";
const char* const kSubjects[] = {"ENGLISH", "JAPANESE", "MATH", "SCIENCE", "SOCIAL"};

constexpr uint32_t kChoiceFadeInMs = 500;
constexpr int32_t kChoiceFontSize = 24;
constexpr int32_t kHistoryFontSize = 20;
constexpr uint32_t kHistoryColor = 0x4040FF;
constexpr int kVkLButton = 1;
constexpr int kVkReturn = 13;

bool ValidScriptName(const char* name) { return name[0] != '\0' && strlen(name) < ADV_DATA::kNameSize; }

// The player's advance: the left button released, or Enter released while
// the left button is up.
bool Clicked(KUSYSTEM* sys) {
    const int left = sys->GetKeyState(kVkLButton);
    return left == 3 || (left == 0 && sys->GetKeyState(kVkReturn) == 3);
}

} // namespace

int MAIN_SCR::SeekBlockLine(const char* handler, const adv::BlockMark* marks, int markCount, int32_t id,
                            adv::ScriptToken* tokens, int maxTokens) {
    for (;;) {
        int count = 0;
        if (!SeekLine(handler, tokens, maxTokens, &count))
            return -1;
        for (int m = 0; m < markCount; ++m) {
            const adv::BlockMark& mark = marks[m];
            if (count <= mark.idToken || !adv::ScriptWordEqual(tokens[0], mark.keyword))
                continue;
            if (adv::ScriptInt(tokens[mark.idToken]) != id)
                continue;
            if (mark.numberToken > 0 && adv::ScriptInt(tokens[mark.numberToken]) != mark.number)
                continue;
            return m;
        }
    }
}

// ---- choices ----

void MAIN_SCR::ControllerButtons(bool on) {
    CONTROLLER_WINDOW& bar = m_pAdvData->m_CtrlWnd;
    if (on) {
        bar.SetDefaultButtonStatus();
        return;
    }
    const int off = 0;
    bar.SetDefaultButtonStatus(&off, &off, &off, &off, &off, &off, &off, &off, &off, &off);
}

int MAIN_SCR::ChoiceFailed(const char* handler, const char* message) {
    // Without this the reader would stay held and the play would freeze.
    HandlerError(handler, message);
    ControllerButtons(true);
    m_pAdvData->m_bReadingOn = 1;
    m_pAdvData->m_bSelectOpen = 0;
    m_pAdvData->m_SelectWnd.Clear();
    return 0;
}

int MAIN_SCR::SelectStartProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("SelectStartProc", cmd))
        return 0;
    ADV_DATA* adv = m_pAdvData;
    SELECT_WINDOW_AGG& choices = adv->m_SelectWnd;
    if (cmd->m_nPhase == 0) {
        ControllerButtons(false);
        adv->m_bReadingOn = 0;
        const int32_t count = adv::ScriptInt(cmd->m_szArg[0]);
        if (count != 1 && count != 2)
            return ChoiceFailed("SelectStartProc", "選択肢数が不正です");
        if (!choices.Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd, static_cast<uint32_t>(count)))
            return ChoiceFailed("SelectStartProc", "選択肢集合体の初期化に失敗しました");
        for (int32_t i = 0; i < count; ++i) {
            MESSAGE_DATA message;
            message.m_nFontSize = kChoiceFontSize;
            game::CopyFixed(message.m_szText, cmd->m_szArg[2 + i]);
            choices.SetText(i, &message, adv->m_dwAntiAliasLevel);
        }
        cmd->m_dwStartTime = static_cast<uint32_t>(m_pKUSys->GetTime());
        cmd->m_nPhase = 1;
        return 1;
    }
    const int shown = choices.AppearWindow(-1, cmd->m_dwStartTime, kChoiceFadeInMs);
    if (shown == -1)
        return ChoiceFailed("SelectStartProc", "選択肢ウィンドウの表示に失敗しました");
    if (shown == 1) {
        game::CopyFixed(cmd->m_szCommand, "#SelectWait");
        cmd->m_nPhase = 0;
        ControllerButtons(true);
    }
    return 1;
}

int MAIN_SCR::SelectWaitProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("SelectWaitProc", cmd))
        return 0;
    ADV_DATA* adv = m_pAdvData;
    SELECT_WINDOW_AGG& choices = adv->m_SelectWnd;
    if (cmd->m_nPhase == 0) {
        // The controller bar runs later in the frame: the click that brings
        // the player's hidden windows back must not choose unseen first.
        if (choices.HitCheck() >= 0 && !adv->m_CtrlWnd.WaitsToShowWindows(adv) && Clicked(m_pKUSys)) {
            if (!SEPlay(m_pKUSnd, m_pKUSys, SELECT_WINDOW_AGG::kSePush, 0))
                HandlerError("SelectWaitProc", "SEの再生に失敗しました");
            if (adv->m_MsgWnd.m_nHistoryCursor != -1)
                adv->m_CtrlWnd.FFButtonProc();
            ControllerButtons(false);
            cmd->m_nPhase = 1;
        }
        return 1;
    }
    const int gone = choices.DisappearWindow();
    if (gone == -1)
        return ChoiceFailed("SelectWaitProc", "ウィンドウの消去に失敗しました");
    if (gone != 1)
        return 1;
    const int32_t chosen = choices.m_nSelect >= 0 && choices.m_nSelect < 2 ? choices.m_nSelect : 0;
    // Room for the mark and the whole choice: only the conversion into the
    // history's buffer may shorten it, after its line breaks are folded.
    static constexpr char kChoiceMark[] = "【選択肢】\\n";
    char format[sizeof(kChoiceMark) - 1 + SCRIPT_COMMAND_DATA::kTextSize];
    snprintf(format, sizeof(format), "%s%s", kChoiceMark, cmd->m_szArg[2 + chosen]);
    MESSAGE_DATA history;
    history.m_nFontSize = kHistoryFontSize;
    history.m_dwColor = kHistoryColor;
    if (!m_pKUSys->StrConvert(format, sizeof(format), history.m_szText, sizeof(history.m_szText)))
        return ChoiceFailed("SelectWaitProc", "メッセージのコンバートに失敗しました");
    adv->m_MsgWnd.SetHistoryBuf(&history);
    adv->m_bReadingOn = 1;
    adv->m_bSelectOpen = 0;
    const adv::BlockMark marks[] = {{"#SelectBranch", 2, 1, chosen + 1}, {"#SelectEnd", 1, 0, 0}};
    adv::ScriptToken tokens[3];
    const int found = SeekBlockLine("SelectWaitProc", marks, 2, adv::ScriptInt(cmd->m_szArg[1]), tokens, 3);
    choices.Clear();
    ControllerButtons(true);
    if (found < 0)
        return 0;
    if (found == 1)
        ErrorPrint("Warn: <MAIN_SCR::SelectWaitProc> 対応する#SelectBranchがありませんでした\n");
    cmd->Clear();
    return 1;
}

int MAIN_SCR::SelectBranchProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("SelectBranchProc", cmd))
        return 0;
    // Met while running: the chosen branch ends here.
    const adv::BlockMark marks[] = {{"#SelectEnd", 1, 0, 0}};
    adv::ScriptToken tokens[2];
    if (SeekBlockLine("SelectBranchProc", marks, 1, adv::ScriptInt(cmd->m_szArg[1]), tokens, 2) < 0)
        return 0;
    cmd->Clear();
    return 1;
}

int MAIN_SCR::SelectEndProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("SelectEndProc", cmd))
        return 0;
    cmd->Clear();
    return 1;
}

// ---- conditions ----

bool MAIN_SCR::ConditionOperand(const char* arg, int32_t* value) {
    const int index = m_pAdvData->IDSearch(ADV_DATA::kKindVar, arg);
    if (index == -1)
        return false;
    *value = index >= 0 ? m_pAdvData->m_pVar[index].GetValue() : adv::ScriptInt(arg);
    return true;
}

int MAIN_SCR::IfProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("IfProc", cmd))
        return 0;
    cmd->m_bExclusive = 1;
    int32_t a = 0;
    int32_t b = 0;
    if (!ConditionOperand(cmd->m_szArg[0], &a) || !ConditionOperand(cmd->m_szArg[2], &b)) {
        HandlerError("IfProc", "ID検索に失敗しました");
        return 0;
    }
    const char* op = cmd->m_szArg[1];
    bool truth = false;
    if (strcmp(op, ">") == 0) {
        truth = a > b;
    } else if (strcmp(op, "<") == 0) {
        truth = a < b;
    } else if (strcmp(op, "=") == 0) {
        truth = a == b;
    } else if (strcmp(op, ">=") == 0) {
        truth = a >= b;
    } else if (strcmp(op, "<=") == 0) {
        truth = a <= b;
    } else if (strcmp(op, "!=") == 0) {
        truth = a != b;
    } else if (strcmp(op, "&") == 0 || strcmp(op, "!") == 0) {
        if (b < 1 || b > 32) {
            HandlerError("IfProc", "bit値が不正です");
            return 0;
        }
        const bool set = (static_cast<uint32_t>(a) & (1u << (b - 1))) != 0;
        truth = op[0] == '&' ? set : !set;
    } else {
        HandlerError("IfProc", "定義されていない比較演算子です");
        return 0;
    }
    if (truth) {
        cmd->Clear();
        return 1;
    }
    const adv::BlockMark marks[] = {{"#ElseIf", 4, 0, 0}, {"#Else", 1, 0, 0}, {"#EndIf", 1, 0, 0}};
    adv::ScriptToken tokens[kSeekTokens];
    const int id = adv::ScriptInt(cmd->m_szArg[3]);
    const int found = SeekBlockLine("IfProc", marks, 3, id, tokens, kSeekTokens);
    if (found < 0)
        return 0;
    if (found == 0) {
        // The #ElseIf's condition is tested on the next frame, still alone.
        for (int i = 0; i < 4; ++i)
            game::CopyFixed(cmd->m_szArg[i], tokens[i + 1]);
        return 1;
    }
    cmd->Clear();
    return 1;
}

int MAIN_SCR::ElseIfProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("ElseIfProc", cmd))
        return 0;
    const adv::BlockMark marks[] = {{"#EndIf", 1, 0, 0}};
    adv::ScriptToken tokens[2];
    if (SeekBlockLine("ElseIfProc", marks, 1, adv::ScriptInt(cmd->m_szArg[3]), tokens, 2) < 0)
        return 0;
    cmd->Clear();
    return 1;
}

int MAIN_SCR::ElseProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("ElseProc", cmd))
        return 0;
    const adv::BlockMark marks[] = {{"#EndIf", 1, 0, 0}};
    adv::ScriptToken tokens[2];
    if (SeekBlockLine("ElseProc", marks, 1, adv::ScriptInt(cmd->m_szArg[0]), tokens, 2) < 0)
        return 0;
    cmd->Clear();
    return 1;
}

int MAIN_SCR::EndIfProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("EndIfProc", cmd))
        return 0;
    cmd->Clear();
    return 1;
}

// ---- random blocks ----

int MAIN_SCR::RandomStartProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("RandomStartProc", cmd))
        return 0;
    const int32_t n = adv::ScriptInt(cmd->m_szArg[0]);
    if (n < 1) {
        // No branch to draw from; the block's branch lines then skip to its end.
        HandlerError("RandomStartProc", "分岐数が不正です");
        return 0;
    }
    const int32_t k = m_pKUSys->Rand() % n + 1;
    const adv::BlockMark marks[] = {{"#RandomBranch", 2, 1, k}, {"#RandomEnd", 1, 0, 0}};
    adv::ScriptToken tokens[3];
    if (SeekBlockLine("RandomStartProc", marks, 2, adv::ScriptInt(cmd->m_szArg[1]), tokens, 3) < 0)
        return 0;
    cmd->Clear();
    return 1;
}

int MAIN_SCR::RandomBranchProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("RandomBranchProc", cmd))
        return 0;
    const adv::BlockMark marks[] = {{"#RandomEnd", 1, 0, 0}};
    adv::ScriptToken tokens[2];
    if (SeekBlockLine("RandomBranchProc", marks, 1, adv::ScriptInt(cmd->m_szArg[1]), tokens, 2) < 0)
        return 0;
    cmd->Clear();
    return 1;
}

int MAIN_SCR::RandomEndProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("RandomEndProc", cmd))
        return 0;
    cmd->Clear();
    return 1;
}

// ---- jumps ----

int MAIN_SCR::JumpProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("JumpProc", cmd))
        return 0;
    const int32_t n = adv::ScriptInt(cmd->m_szArg[0]);
    char line[kSeekLineSize];
    for (int32_t i = 0; i < n; ++i) {
        if (CodeFileReadOneLine(m_pAdvData->m_pScriptFile, line, sizeof(line)) == -1) {
            HandlerError("JumpProc", "CodeFileReadOneLineでエラーが発生しました");
            return 0;
        }
        m_pAdvData->m_nLine += 1;
    }
    cmd->Clear();
    return 1;
}

int MAIN_SCR::GoToProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("GoToProc", cmd))
        return 0;
    adv::ScriptToken token;
    for (;;) {
        int count = 0;
        if (!SeekLine("GoToProc", &token, 1, &count))
            return 0;
        if (count > 0 && adv::ScriptWordEqual(token, cmd->m_szArg[0]))
            break;
    }
    cmd->Clear();
    return 1;
}

// ---- script changes ----

int MAIN_SCR::FileChange(const char* handler, SCRIPT_COMMAND_DATA* cmd, bool markNewRead) {
    if (!HandlerReady(handler, cmd))
        return 0;
    const char* name = cmd->m_szArg[0];
    // A name that cannot be a member is refused before the script it would
    // replace is closed, so play goes on where it was.
    if (!ValidScriptName(name)) {
        HandlerError(handler, "ファイルパスが不正です");
        return 0;
    }
    ADV_DATA* adv = m_pAdvData;
    adv->m_nLine = 0;
    CloseScript();
    if (adv->m_szScriptName[0] != '\0') {
        m_pKUSys->RemoveFile(kWorkFolder, adv->m_szScriptName, 0);
        AddAutoSkipFileList(adv->m_szScriptName, -1);
    }
    game::CopyFixed(adv->m_szScriptName, name);
    if (!OpenScript(handler, name, true))
        return 0;
    if (markNewRead)
        AddAutoSkipFileList(adv->m_szScriptName, -1);
    int32_t line = 0;
    m_bAutoSkipList = CheckAutoSkipFileList(adv->m_szScriptName, &line) == 1 ? 1 : 0;
    m_nAutoSkipLine = line;
    cmd->Clear();
    return 1;
}

int MAIN_SCR::FileChangeProc(SCRIPT_COMMAND_DATA* cmd) { return FileChange("FileChangeProc", cmd, false); }

int MAIN_SCR::FileChange2Proc(SCRIPT_COMMAND_DATA* cmd) { return FileChange("FileChange2Proc", cmd, true); }

int MAIN_SCR::EndScriptProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("EndScriptProc", cmd))
        return 0;
    ADV_DATA* adv = m_pAdvData;
    AddAutoSkipFileList(adv->m_szScriptName, -1);
    if (adv->m_pGlobalData)
        adv->m_pGlobalData->SetFlag(adv->m_nEpisode, adv->m_nScene, GAME_GLOBAL_DATA::kKindEvent, adv->m_nScene, 1);
    adv->m_bEnd = 1;
    cmd->Clear();
    return 1;
}

int MAIN_SCR::TestModeInProc(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("TestModeInProc", cmd))
        return 0;
    // Everything is checked before anything is stored: a half-stored request
    // would start an exam without a subject or a script to come back to.
    const int32_t test = adv::ScriptInt(cmd->m_szArg[0]);
    if (test < 0 || test >= ADV_DATA::kTestCount) {
        HandlerError("TestModeInProc", "テスト回数の指定が不正です");
        return 0;
    }
    int subject = -1;
    for (int i = 0; i < TEST_RESULT_DATA::kSubjectCount && subject < 0; ++i)
        if (adv::ScriptWordEqual(cmd->m_szArg[1], kSubjects[i]))
            subject = i;
    if (subject < 0) {
        HandlerError("TestModeInProc", "テスト科目の指定が不正です");
        return 0;
    }
    if (!ValidScriptName(cmd->m_szArg[3])) {
        HandlerError("TestModeInProc", "ファイルパスが不正です");
        return 0;
    }
    ADV_DATA* adv = m_pAdvData;
    adv->m_nTestNum = test;
    adv->m_nTestSubject = subject;
    memset(adv->m_szTestText, 0, sizeof(adv->m_szTestText));
    if (!adv::ScriptWordEqual(cmd->m_szArg[2], "NULL"))
        game::CopyFixed(adv->m_szTestText, cmd->m_szArg[2]);
    game::CopyFixed(adv->m_szTestNextScript, cmd->m_szArg[3]);
    adv->m_nLine = 0;
    CloseScript();
    if (adv->m_szScriptName[0] != '\0') {
        m_pKUSys->RemoveFile(kWorkFolder, adv->m_szScriptName, 0);
        AddAutoSkipFileList(adv->m_szScriptName, -1);
    }
    memset(adv->m_szScriptName, 0, sizeof(adv->m_szScriptName));
    cmd->Clear();
    return 1;
}
