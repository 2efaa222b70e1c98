#include "modes/save_slot_file.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "adv/adv_data.h"
#include "engine/combine_file.h"
#include "engine/game_paths.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "scene/draw_order_data.h"
#include "game/game_settings.h"
#include "scene/graphic_data.h"
#include "scene/object_data.h"
#include "scene/sound_data.h"
#include "scene/textarea_data.h"
#include "game/var_data.h"
#include "modes/save_slot_format.h"
#include "modes/save_slot_parts.h"
#include "platform/debug_out.h"
#include "platform/files.h"
#include "platform/local_time.h"

namespace {

using namespace saveslot;

void Log(KUSYSTEM* sys, const char* line) {
    if (sys)
        sys->TracePrint(line);
    else
        plat::DebugOut(line);
}

// The whole field zero-filled, then the text (which the reader has already
// checked to fit).
template <size_t N>
void SetText(char (&field)[N], const std::string& text) {
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), text.size() < N ? text.size() : N - 1);
}

void SetMessage(MESSAGE_DATA* m, const MessageImage& image) {
    SetText(m->m_szName, image.name);
    SetText(m->m_szText, image.text);
    SetText(m->m_szVoice, image.voice);
    m->m_nFontSize = image.fontSize;
    m->m_dwColor = static_cast<uint32_t>(image.color);
}

void SetTextArea(TEXTAREA_DATA* t, const TextAreaImage& image) {
    // The texture of the text it held goes before its slot number does.
    if (t->m_bLoad == 1)
        t->UnloadTextData();
    SetText(t->m_szText, image.text);
    t->m_bFontSet = static_cast<uint32_t>(image.fontSet);
    t->m_nSlot = image.slot;
    t->m_bShow = static_cast<uint32_t>(image.show);
    t->m_rcArea = image.area;
    t->m_fAlpha = image.alpha;
    t->m_fDispNum = image.dispNum;
    t->m_nFontSize = image.fontSize;
    t->m_nWeight = image.weight;
    // Not the slot's smoothing level: Apply gives every text the setting.
    t->m_dwPitchAndFamily = static_cast<uint32_t>(image.pitchAndFamily);
    t->m_dwStyle = static_cast<uint32_t>(image.style);
    t->m_nPriority = image.priority;
    t->m_bLoad = static_cast<uint32_t>(image.load);
    t->m_dwColor = static_cast<uint32_t>(image.color);
    t->m_dwShadowColor = static_cast<uint32_t>(image.shadowColor);
}

void SetPicture(GRAPHIC_DATA* g, const PictureImage& p) {
    SetText(g->m_szFile, p.file);
    g->m_nSlot = p.slot;
    g->m_bShow = static_cast<uint32_t>(p.show);
    g->m_fX = p.x;
    g->m_fY = p.y;
    g->m_fScaleX = p.scaleX;
    g->m_fScaleY = p.scaleY;
    g->m_fAlpha = p.alpha;
    g->m_nPriority = p.priority;
    g->m_nStepState = p.stepState;
    g->m_bColorKey = static_cast<uint32_t>(p.colorKey);
    g->m_bLoad = static_cast<uint32_t>(p.load);
    // The tables of an earlier game are replaced, never kept beside the counts.
    g->m_dwAnimationNum = static_cast<uint32_t>(p.rects.size());
    g->m_pRect.reset(p.rects.empty() ? nullptr : new KURECT[p.rects.size()]);
    for (size_t j = 0; j < p.rects.size(); ++j)
        g->m_pRect[j] = p.rects[j];
    ANIMATION_DATA& a = g->m_Animation;
    a.m_bRun = static_cast<uint32_t>(p.aniRun);
    a.m_dwType = static_cast<uint32_t>(p.aniType);
    a.m_dwFrameNum = static_cast<uint32_t>(p.times.size());
    a.m_dwNowFrame = static_cast<uint32_t>(p.aniNow);
    a.m_dwLastTime = static_cast<uint32_t>(p.aniLast);
    a.m_nRandom = p.aniRandom;
    a.m_dwRandomRange = static_cast<uint32_t>(p.aniRange);
    a.m_bDirection = static_cast<uint32_t>(p.aniDir);
    a.m_pTime.reset(p.times.empty() ? nullptr : new uint32_t[p.times.size()]);
    for (size_t j = 0; j < p.times.size(); ++j)
        a.m_pTime[j] = p.times[j];
}

void SetObject(OBJECT_DATA* o, const ObjectImage& image) {
    SetPicture(o, image.picture);
    o->m_bCreate = static_cast<uint32_t>(image.created);
    o->m_dwFadeTime = static_cast<uint32_t>(image.fadeTime);
    o->m_dwStepStart = static_cast<uint32_t>(image.stepStart);
    o->m_bRun = static_cast<uint32_t>(image.run);
    o->m_fVecX = image.vecX;
    o->m_fVecY = image.vecY;
    o->m_nRepeat = image.repeat;
    o->m_bRepeatAcross = static_cast<uint32_t>(image.repeatAcross);
    o->m_nNowProc = image.nowProc;
    o->m_nCellWidth = image.cellWidth;
    o->m_nCellHeight = image.cellHeight;
    for (int k = 0; k < OBJECT_DATA::kProcNum; ++k)
        o->m_Proc[k] = image.proc[k];
}

// The place in the scenario, the scores, the flags, the running commands and the music.
void ApplyScenarioState(const SlotImage& s, ADV_DATA* adv) {
    adv->m_nEpisode = s.episode;
    adv->m_nScene = s.scene;
    SetText(adv->m_szScriptName, s.scriptName);
    adv->m_nReserved = s.reserved;
    adv->m_nLine = s.line;
    for (int e = 0; e < ADV_DATA::kTestCount; ++e)
        for (int k = 0; k < TEST_RESULT_DATA::kSubjectCount; ++k)
            adv->m_TestResult[e].m_nScore[k] = s.scores[e][k];
    adv->m_bReadingOn = s.readingOn;
    adv->m_nReservedA = s.reservedA;
    adv->m_bEnd = s.end;
    adv->m_bSelectOpen = s.selectOpen;
    adv->m_nReservedC = s.reservedC;
    adv->m_nReservedB = s.reservedB;
    adv->m_fFade = s.fade;
    for (int i = 0; i < ADV_DATA::kSlotCount; ++i) {
        SCRIPT_COMMAND_DATA& c = adv->m_ScriptCommand[i];
        const CommandImage& image = s.commands[i];
        SetText(c.m_szCommand, image.command);
        for (int k = 0; k < SCRIPT_COMMAND_DATA::kArgCount; ++k)
            SetText(c.m_szArg[k], image.args[k]);
        c.m_bExclusive = image.exclusive;
        c.m_nPhase = image.phase;
        c.m_dwStartTime = static_cast<uint32_t>(image.startTime);
        c.m_nLine = image.line;
    }
    MAIN_SCR& scr = adv->m_MainScr;
    SetText(scr.m_szBGMName, s.bgmName);
    scr.m_bBGMFlag = s.bgmFlag;
    adv->m_bWindowShown = s.windowShown;
    scr.m_bAutoSkipList = s.autoSkipList;
    scr.m_nAutoSkipLine = s.autoSkipLine;
}

// The message window and its history, the controller bar and the choice set.
void ApplyWindows(const SlotImage& s, ADV_DATA* adv) {
    MESSAGE_WINDOW& msg = adv->m_MsgWnd;
    msg.m_bVisible = static_cast<uint32_t>(s.msgVisible);
    msg.m_fAlpha = s.msgAlpha;
    msg.m_rcName = s.msgName;
    msg.m_rcText = s.msgText;
    SetMessage(&msg.m_Current, s.current);
    if (msg.m_bVisible) {
        MESSAGE_DATA shown;
        SetMessage(&shown, s.current);
        msg.SetText(&shown, g_dwAntiAliasLevel);
    }
    for (int i = 0; i < MESSAGE_WINDOW::kHistoryCount; ++i)
        SetMessage(&msg.m_History[i], s.history[i]);
    msg.m_TextArea.m_fDispNum = -1.0f;
    msg.m_NameArea.m_fDispNum = -1.0f;
    adv->m_CtrlWnd.m_bVisible = static_cast<uint32_t>(s.barVisible);
    adv->m_CtrlWnd.m_fAlpha = s.barAlpha;

    SELECT_WINDOW_AGG& sel = adv->m_SelectWnd;
    if (s.choiceCount == 0)
        sel.Clear();
    sel.m_bInit = static_cast<uint32_t>(s.choiceInit);
    sel.m_bActive = static_cast<uint32_t>(s.choiceActive);
    sel.m_dwDisappearPhase = static_cast<uint32_t>(s.choicePhase);
    sel.m_dwCount = static_cast<uint32_t>(s.choiceCount);
    for (int i = 0; i < s.choiceCount; ++i) {
        SELECT_WINDOW& w = sel.m_pWindow[i];
        SetTextArea(&w.m_Text, s.choices[i]);
        if (w.m_Text.m_bShow) {
            MESSAGE_DATA text;
            SetText(text.m_szText, s.choices[i].text);
            text.m_nFontSize = s.choices[i].fontSize;
            sel.SetText(i, &text, g_dwAntiAliasLevel);
        }
        w.m_Frame.m_fAlpha = 1.0f;
    }
}

// The per-item tables, each already checked against the adventure's own sizes.
void ApplyItemTables(const SlotImage& s, ADV_DATA* adv) {
    for (size_t i = 0; adv->m_pGraphicShown && i < s.graphicShown.size(); ++i)
        adv->m_pGraphicShown[i] = s.graphicShown[i];
    for (size_t i = 0; adv->m_pObjectShown && i < s.objectShown.size(); ++i)
        adv->m_pObjectShown[i] = s.objectShown[i];
    for (size_t i = 0; i < s.pictures.size(); ++i)
        SetPicture(&adv->m_pGraphic[i], s.pictures[i]);
    for (size_t i = 0; i < s.sounds.size(); ++i) {
        SOUND_DATA& snd = adv->m_pSound[i];
        const SoundImage& image = s.sounds[i];
        SetText(snd.m_szFile, image.file);
        snd.m_nSlot = image.slot;
        snd.m_dwType = static_cast<uint32_t>(image.type);
        snd.m_dwLoop = static_cast<uint32_t>(image.loop);
        snd.m_nExtra = image.extra;
        snd.m_bLoad = static_cast<uint32_t>(image.load);
        snd.m_bPlay = static_cast<uint32_t>(image.play);
        snd.m_bLoaded = static_cast<uint32_t>(image.loaded);
    }
    for (size_t i = 0; i < s.vars.size(); ++i)
        adv->m_pVar[i].SetValue(s.vars[i]);
    for (size_t i = 0; i < s.textAreas.size(); ++i) {
        TEXTAREA_DATA& t = adv->m_pTextArea[i];
        const TextAreaImage& image = s.textAreas[i];
        SetTextArea(&t, image);
        if (t.m_bFontSet)
            t.SetFontData(image.slot, image.text.c_str(), image.fontSize, image.weight, g_dwAntiAliasLevel,
                          static_cast<uint32_t>(image.pitchAndFamily), static_cast<uint32_t>(image.style),
                          static_cast<uint32_t>(image.load));
    }
    for (size_t i = 0; i < s.objects.size(); ++i)
        SetObject(&adv->m_pObject[i], s.objects[i]);
    for (size_t i = 0; i < s.drawOrder.size(); ++i) {
        const DrawOrderImage& d = s.drawOrder[i];
        const uint32_t kind = static_cast<uint32_t>(d.kind);
        adv->m_pDrawOrder[i].SetData(&kind, &d.index, &d.priority);
    }
}

// Everything the file holds, in its order, into an adventure built from the
// same initialisation script; the choice set is already made when it has
// windows.
void Apply(const SlotImage& s, ADV_DATA* adv) {
    ApplyScenarioState(s, adv);
    ApplyWindows(s, adv);
    ApplyItemTables(s, adv);
    // The smoothing is the player's: every text, drawn now or later, takes
    // the setting the options screen shows, not the level the slot was
    // saved at (which the file still holds).
    adv->SetAntiAliasLevel(g_dwAntiAliasLevel);
}

// The script taken out into the work folder now, as the story's resume
// opens it: a folder that cannot hold it (full, gone) refuses the file
// here, while the story in play still has its own script.
bool ScriptExtracted(const std::string& name) {
    const int r = FileDiv(kScenarioArchive, kTempFolder, name.c_str());
    if (r == 1)
        return true;
    // As at the resume: a copy already there is used.
    FILE* copy = r == -3 ? plat::OpenFile(kTempFolder + name, "rb") : nullptr;
    if (!copy)
        return false;
    std::fclose(copy);
    return true;
}

} // namespace

int WriteSaveSlotFile(KUSYSTEM* sys, ADV_DATA* adv, int slot) {
    if (!sys || !adv) {
        Log(sys, !sys ? "Error: <SAVE_MODE_DATA::SaveProc> KUSYSTEMクラスポインタの引数が不正です\n"
                      : "Error: <SAVE_MODE_DATA::SaveProc> ADV_DATAクラスポインタの引数が不正です\n");
        return 0;
    }
    const std::string path = SlotPath(slot);
    if (path.empty()) {
        Log(sys, "Error: <SAVE_MODE_DATA::SaveProc> セーブ番号が不正です\n");
        return 0;
    }
    std::string text;
    WriteSlotText(sys, *adv, plat::GetLocalTime(), &text);
    if (!plat::WriteFileAtomic(path, text)) {
        Log(sys, "Error: <SAVE_MODE_DATA::SaveProc> セーブファイルの書き込みに失敗しました\n");
        return 0;
    }
    return 1;
}

int ReadSaveSlotFile(KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, ADV_DATA* adv, int slot) {
    if (!sys || !adv) {
        Log(sys, !sys ? "Error: <LOAD_MODE_DATA::LoadProc> KUSYSTEMクラスポインタの引数が不正です\n"
                      : "Error: <LOAD_MODE_DATA::LoadProc> ADV_DATAクラスポインタの引数が不正です\n");
        return 0;
    }
    const std::string path = SlotPath(slot);
    if (path.empty()) {
        Log(sys, "Error: <LOAD_MODE_DATA::LoadProc> ロード番号が不正です\n");
        return 0;
    }
    std::string data;
    if (!plat::ReadRegularFile(path, kMaxFileSize, &data)) {
        Log(sys, "Error: <LOAD_MODE_DATA::LoadProc> ファイルオープンに失敗しました\n");
        return 0;
    }
    SlotLimits limits;
    if (sprite) {
        limits.graphicSlots = sprite->GetGraphicDataBufferNum();
        limits.textSlots = sprite->GetTextureTextBufferNum();
    }
    // The whole file is checked before the adventure is touched: a bad one
    // changes nothing. A file the story could not go on from would end the
    // play on its first frame.
    SlotImage image;
    if (!ParseSlotText(sys, data, *adv, limits, &image) || !StoryCanGoOn(image)) {
        Log(sys, "Error: <LOAD_MODE_DATA::LoadProc> セーブファイルが不正です\n");
        return 0;
    }
    if (!ScriptExtracted(image.scriptName)) {
        Log(sys, "Error: <LOAD_MODE_DATA::LoadProc> スクリプトの展開に失敗しました\n");
        return 0;
    }
    // The last step that can fail: a set already up keeps its picture and
    // sounds, one not up loads them or stays as it was.
    if (image.choiceCount > 0 &&
        !adv->m_SelectWnd.Reopen(sys, sprite, snd, static_cast<uint32_t>(image.choiceCount)))
        return 0;
    Apply(image, adv);
    return 1;
}
