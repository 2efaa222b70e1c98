#include <cstring>

#include "adv/adv_data.h"
#include "adv/main_scr.h"
#include "game/game_settings.h"
#include "engine/kusystem.h"
#include "game/fixed_string.h"
#include "scene/graphic_data.h"
#include "scene/message_data.h"
#include "scene/object_data.h"
#include "game/shell_services.h"
#include "scene/textarea_data.h"

// Fades of one picture, object or text area, the message window and
// controller bar faded in and out together, and the lines of dialogue.

namespace {

bool Word(const char* arg, const char* word) { return adv::ScriptWordEqual(arg, word); }

uint32_t Ms(const char* arg) {
    const int32_t v = adv::ScriptInt(arg);
    return v < 0 ? 0u : static_cast<uint32_t>(v);
}

// Item kinds of the fades, as IDSearch numbers them; -1 for another word.
int FadeKind(const char* word) {
    if (Word(word, "GRAPHIC"))
        return ADV_DATA::kKindGraphic;
    if (Word(word, "TEXTAREA"))
        return ADV_DATA::kKindTextArea;
    if (Word(word, "OBJECT"))
        return ADV_DATA::kKindObject;
    return -1;
}

// Speakers whose voices the male-voice setting silences.
bool MaleSpeaker(const char* name) {
    static const char* const kNames[] = {"ヌイ", "ヌイ　", "ハザマキ", "客"};
    for (const char* n : kNames)
        if (strcmp(name, n) == 0)
            return true;
    return false;
}

} // namespace

float* MAIN_SCR::ItemAlpha(const char* tag, int kind, const char* id) {
    const int i = m_pAdvData->IDSearch(kind, id);
    if (i < 0) {
        HandlerError(tag, "合致するIDが見つかりませんでした");
        return nullptr;
    }
    switch (kind) {
        case ADV_DATA::kKindGraphic: return &m_pAdvData->m_pGraphic[i].m_fAlpha;
        case ADV_DATA::kKindTextArea: return &m_pAdvData->m_pTextArea[i].m_fAlpha;
        default: return &m_pAdvData->m_pObject[i].m_fAlpha;
    }
}

int MAIN_SCR::FadeInStep(const char* tag, SCRIPT_COMMAND_DATA* cmd, int kind, uint32_t ms) {
    float* alpha = ItemAlpha(tag, kind, cmd->m_szArg[1]);
    if (!alpha)
        return 0;
    if (SkipTest())
        *alpha = 1.0f;
    else if (FadeFunc(1, alpha, 1.0f, cmd->m_dwStartTime, ms) != 1)
        return 1;
    ControllerButtons(true);
    cmd->Clear();
    return 1;
}

int MAIN_SCR::UnknownFadeKind(const char* tag, SCRIPT_COMMAND_DATA* cmd) {
    HandlerError(tag, "識別子が異常です");
    ControllerButtons(true);
    cmd->Clear();
    return 1;
}

int MAIN_SCR::FadeInProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "FadeInProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    const int kind = FadeKind(cmd->m_szArg[0]);
    if (cmd->m_nPhase == 0) {
        cmd->m_bExclusive = 1;
        ControllerButtons(false);
        if (kind < 0)
            return UnknownFadeKind(kTag, cmd);
        const bool load = !Word(cmd->m_szArg[3], "FALSE");
        const int i = m_pAdvData->IDSearch(kind, cmd->m_szArg[1]);
        if (i < 0) {
            HandlerError(kTag, "合致するIDが見つかりませんでした");
            return 0;
        }
        if (kind == ADV_DATA::kKindGraphic) {
            GRAPHIC_DATA& g = m_pAdvData->m_pGraphic[i];
            g.m_bShow = 1;
            if (load && !g.LoadGraphicData()) {
                HandlerError(kTag, "グラフィックのロードに失敗しました");
                return 0;
            }
        } else if (kind == ADV_DATA::kKindTextArea) {
            TEXTAREA_DATA& t = m_pAdvData->m_pTextArea[i];
            t.m_bShow = 1;
            if (load && !t.LoadTextData()) {
                HandlerError(kTag, "テキストのロードに失敗しました");
                return 0;
            }
        }
        cmd->m_dwStartTime = Now();
        cmd->m_nPhase = 1;
    }
    return FadeInStep(kTag, cmd, kind, Ms(cmd->m_szArg[2]));
}

int MAIN_SCR::FadeIn2Proc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "FadeIn2Proc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    const int kind = FadeKind(cmd->m_szArg[0]);
    if (cmd->m_nPhase == 0) {
        const bool load = !Word(cmd->m_szArg[6], "FALSE");
        cmd->m_bExclusive = 1;
        ControllerButtons(false);
        cmd->m_nPhase = 1;
        if (kind < 0)
            return UnknownFadeKind(kTag, cmd);
        const float x = adv::ScriptFloat(cmd->m_szArg[2]);
        const float y = adv::ScriptFloat(cmd->m_szArg[3]);
        const int32_t priority = adv::ScriptInt(cmd->m_szArg[4]);
        const int i = m_pAdvData->IDSearch(kind, cmd->m_szArg[1]);
        if (i < 0) {
            HandlerError(kTag, "合致するIDが見つかりませんでした");
            return 0;
        }
        if (kind == ADV_DATA::kKindTextArea) {
            TEXTAREA_DATA& t = m_pAdvData->m_pTextArea[i];
            if (load && !t.LoadTextData()) {
                HandlerError(kTag, "テキストエリアのロードに失敗しました");
                return 0;
            }
            t.m_nPriority = priority;
            t.m_bShow = 1;
        } else {
            const bool object = kind == ADV_DATA::kKindObject;
            GRAPHIC_DATA& g = object ? m_pAdvData->m_pObject[i] : m_pAdvData->m_pGraphic[i];
            if (load && !g.LoadGraphicData()) {
                HandlerError(kTag,
                             object ? "オブジェクトのロードに失敗しました" : "グラフィックのロードに失敗しました");
                return 0;
            }
            g.m_fX = x;
            g.m_fY = y;
            g.m_nPriority = priority;
            g.m_bShow = 1;
        }
        m_pAdvData->DrawObjectSort();
        cmd->m_dwStartTime = Now();
    }
    return FadeInStep(kTag, cmd, kind, Ms(cmd->m_szArg[5]));
}

int MAIN_SCR::FadeOutProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "FadeOutProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    if (cmd->m_nPhase == 0) {
        cmd->m_dwStartTime = Now();
        cmd->m_bExclusive = 1;
        ControllerButtons(false);
        cmd->m_nPhase = 1;
    }
    const bool skip = SkipTest();
    const int kind = FadeKind(cmd->m_szArg[0]);
    if (kind < 0) {
        HandlerError(kTag, "定義されていない識別子です");
        return 0;
    }
    float* alpha = ItemAlpha(kTag, kind, cmd->m_szArg[1]);
    if (!alpha)
        return 0;
    if (skip)
        *alpha = 0.0f;
    else if (FadeFunc(0, alpha, 0.0f, cmd->m_dwStartTime, Ms(cmd->m_szArg[2])) != 1)
        return 1;
    const bool unload = !Word(cmd->m_szArg[5], "FALSE");
    const int i = m_pAdvData->IDSearch(kind, cmd->m_szArg[1]);
    if (kind == ADV_DATA::kKindTextArea) {
        TEXTAREA_DATA& t = m_pAdvData->m_pTextArea[i];
        if (unload && !t.UnloadTextData()) {
            HandlerError(kTag, "テキストのアンロードに失敗しました");
            return 0;
        }
        t.m_bShow = 0;
    } else if (unload) {
        GRAPHIC_DATA& g = kind == ADV_DATA::kKindObject ? m_pAdvData->m_pObject[i] : m_pAdvData->m_pGraphic[i];
        if (!g.UnloadGraphicData()) {
            HandlerError(kTag, "グラフィックのアンロードに失敗しました");
            return 0;
        }
        g.m_nSlot = -1;
    }
    ControllerButtons(true);
    cmd->Clear();
    return 1;
}

int MAIN_SCR::MsgWndFade(const char* tag, SCRIPT_COMMAND_DATA* cmd, bool open) {
    if (!HandlerReady(tag, cmd))
        return 0;
    ADV_DATA* adv = m_pAdvData;
    MESSAGE_WINDOW& msg = adv->m_MsgWnd;
    CONTROLLER_WINDOW& bar = adv->m_CtrlWnd;
    adv->m_bWindowShown = 1;
    if (cmd->m_nPhase == 0) {
        msg.m_bVisible = 1;
        bar.m_bVisible = 1;
        ControllerButtons(false);
        if (open) {
            msg.m_fIconAlpha = 0.0f;
            msg.m_bIconRising = 1;
        }
        cmd->m_dwStartTime = Now();
        cmd->m_bExclusive = 1;
        cmd->m_nPhase = 1;
    }
    const uint32_t ms = Ms(cmd->m_szArg[0]);
    if (SkipTest()) {
        msg.m_fAlpha = bar.m_fAlpha = open ? 1.0f : 0.0f;
    } else {
        const int a = open ? msg.AppearWindow(cmd->m_dwStartTime, ms) : msg.DisappearWindow(cmd->m_dwStartTime, ms);
        const int b = open ? bar.AppearWindow(cmd->m_dwStartTime, ms) : bar.DisappearWindow(cmd->m_dwStartTime, ms);
        if (a != 1 || b != 1)
            return 1;
    }
    if (open) {
        ControllerButtons(true);
    } else {
        // The buttons stay off until the window opens again.
        ClearMessageAreas();
    }
    cmd->Clear();
    return 1;
}

int MAIN_SCR::MsgWndOpenProc(SCRIPT_COMMAND_DATA* cmd) { return MsgWndFade("MsgWndOpenProc", cmd, true); }

int MAIN_SCR::MsgWndCloseProc(SCRIPT_COMMAND_DATA* cmd) { return MsgWndFade("MsgWndCloseProc", cmd, false); }

void MAIN_SCR::ClearMessageAreas() {
    MESSAGE_WINDOW& msg = m_pAdvData->m_MsgWnd;
    msg.m_TextArea.m_fDispNum = 0.0f;
    msg.m_TextArea.Clear();
    msg.m_NameArea.Clear();
}

int MAIN_SCR::MsgWndClear(SCRIPT_COMMAND_DATA* cmd) {
    if (!HandlerReady("MsgWndClear", cmd))
        return 0;
    ClearMessageAreas();
    cmd->Clear();
    return 1;
}

bool MAIN_SCR::MessageClicked() const {
    const MESSAGE_WINDOW& msg = m_pAdvData->m_MsgWnd;
    const bool voiced = msg.m_Current.m_szVoice[0] != '\0';
    return PlayerClicked() && !(voiced && msg.m_bVoiceHover) && m_pAdvData->m_CtrlWnd.m_nHover == 0;
}

int MAIN_SCR::MsgDispProc(SCRIPT_COMMAND_DATA* cmd) {
    static const char* const kTag = "MsgDispProc";
    if (!HandlerReady(kTag, cmd))
        return 0;
    ADV_DATA* adv = m_pAdvData;
    MESSAGE_WINDOW& msg = adv->m_MsgWnd;
    CONTROLLER_WINDOW& bar = adv->m_CtrlWnd;
    if (cmd->m_nPhase == 0) {
        MESSAGE_DATA message;
        message.m_nFontSize = MESSAGE_DATA::kDefaultFontSize;
        message.m_dwColor = MESSAGE_DATA::kDefaultColor;
        if (!Word(cmd->m_szArg[0], "NULL"))
            game::CopyFixed(message.m_szName, cmd->m_szArg[0]);
        if (!Word(cmd->m_szArg[1], "NULL") && !m_pKUSys->StrConvert(cmd->m_szArg[1], sizeof(cmd->m_szArg[1]),
                                                                    message.m_szText, sizeof(message.m_szText))) {
            HandlerError(kTag, "メッセージのコンバートに失敗しました");
            return 0;
        }
        const char* voice = cmd->m_szArg[2];
        if (!Word(voice, "NULL") && voice[0] != '\0') {
            // A voice name cut to fit would name some other file.
            if (strlen(voice) >= sizeof(message.m_szVoice)) {
                ErrorPrint("Warn: <MAIN_SCR::MsgDispProc> 音声の再生に失敗しました\n");
            } else {
                game::CopyFixed(message.m_szVoice, voice);
                const bool silenced = !g_bMaleVoice && MaleSpeaker(message.m_szName);
                if (!SkipKey() && !AutoSkipApplies() && !silenced && !VoicePlay(m_pKUSnd, m_pKUSys, voice))
                    ErrorPrint("Warn: <MAIN_SCR::MsgDispProc> 音声の再生に失敗しました\n");
            }
        }
        msg.SetText(&message, adv->m_dwAntiAliasLevel);
        msg.SetHistoryBuf(&message);
        msg.m_TextArea.m_fDispNum = 0.0f;
        msg.m_NameArea.m_fDispNum = -1.0f;
        cmd->m_dwStartTime = Now();
        cmd->m_bExclusive = 1;
        cmd->m_nPhase = 1;
        return 1;
    }
    if (msg.m_nHistoryCursor != -1)
        return 1;
    if (cmd->m_nPhase == 1) {
        if (!msg.CountMessageDispNum(cmd->m_dwStartTime, Now(), -1)) {
            HandlerError(kTag, "表示文字カウントに失敗しました");
            return 0;
        }
        if ((adv->m_bWindowShown && SkipKey()) || AutoSkipApplies() || MessageClicked())
            msg.m_TextArea.m_fDispNum = -1.0f;
        if (msg.m_TextArea.m_fDispNum == -1.0f) {
            cmd->m_dwStartTime = Now();
            cmd->m_nPhase = 2;
        }
        return 1;
    }
    if (!adv->m_bWindowShown)
        return 1;
    const bool autoAdvance =
        !bar.m_bSkipHold && bar.m_bAutoSkip && Now() > cmd->m_dwStartTime + bar.m_dwAutoSkipSpeed && LineRead();
    if (!MessageClicked() && !SkipKey() && !autoAdvance)
        return 1;
    bar.m_bSkipHold = 0;
    bar.m_Button[CONTROLLER_WINDOW::kBack].m_nState = 0;
    VoiceStop(m_pKUSnd, m_pKUSys);
    cmd->Clear();
    return 1;
}
