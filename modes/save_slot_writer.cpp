#include <cstring>

#include "adv/adv_data.h"
#include "engine/kusystem.h"
#include "scene/draw_order_data.h"
#include "scene/graphic_data.h"
#include "scene/object_data.h"
#include "scene/sound_data.h"
#include "scene/textarea_data.h"
#include "game/var_data.h"
#include "modes/save_slot_format.h"
#include "modes/save_slot_parts.h"

namespace saveslot {

namespace {

class SlotWriter {
public:
    SlotWriter(KUSYSTEM* sys, std::string* out) : m_sys(sys), w(out) {}

    // Line breaks stored as backslash and "n".
    void Escaped(const char* text, size_t size) {
        char buf[512];
        buf[0] = '\0';
        if (text[0] != '\0')
            m_sys->StrConvert(text, static_cast<int>(size), buf, sizeof(buf), StrConvertForm::kStorage);
        w.Text(buf);
    }

    void Rect(const KURECT& rc) {
        w.Int(rc.left);
        w.Int(rc.top);
        w.Int(rc.right);
        w.Int(rc.bottom);
    }

    void Message(const MESSAGE_DATA& m) {
        w.Text(m.m_szName);
        Escaped(m.m_szText, sizeof(m.m_szText));
        w.Text(m.m_szVoice);
        w.Int(m.m_nFontSize);
        w.Uint(m.m_dwColor);
        w.EndLine();
    }

    void TextArea(const TEXTAREA_DATA& t) {
        Escaped(t.m_szText, sizeof(t.m_szText));
        w.Uint(t.m_bFontSet);
        w.Int(t.m_nSlot);
        w.Uint(t.m_bShow);
        Rect(t.m_rcArea);
        w.EndLine();
        w.Float(t.m_fAlpha);
        w.Float(t.m_fDispNum);
        w.Int(t.m_nFontSize);
        w.Int(t.m_nWeight);
        w.Uint(t.m_dwAntiAlias);
        w.Uint(t.m_dwPitchAndFamily);
        w.Uint(t.m_dwStyle);
        w.EndLine();
        w.Int(t.m_nPriority);
        w.Uint(t.m_bLoad);
        w.Uint(t.m_dwColor);
        w.Uint(t.m_dwShadowColor);
        w.EndLine();
    }

    void Picture(const GRAPHIC_DATA& g) {
        w.Text(g.m_szFile);
        w.Int(g.m_nSlot);
        w.Uint(g.m_bShow);
        w.Float(g.m_fX);
        w.Float(g.m_fY);
        w.Float(g.m_fScaleX);
        w.Float(g.m_fScaleY);
        w.Float(g.m_fAlpha);
        w.EndLine();
        // A table that is missing writes no frames rather than unread ones.
        const uint32_t frames = g.m_pRect ? g.m_dwAnimationNum : 0;
        w.Int(g.m_nPriority);
        w.Int(g.m_nStepState);
        w.Uint(frames);
        w.Uint(g.m_bColorKey);
        w.Uint(g.m_bLoad);
        w.EndLine();
        const ANIMATION_DATA& a = g.m_Animation;
        w.Uint(a.m_bRun);
        w.Uint(a.m_dwType);
        w.Uint(a.m_pTime ? a.m_dwFrameNum : 0);
        w.Uint(a.m_dwNowFrame);
        w.Uint(a.m_dwLastTime);
        w.Int(a.m_nRandom);
        w.Uint(a.m_dwRandomRange);
        w.Uint(a.m_bDirection);
        w.EndLine();
        for (uint32_t j = 0; j < frames; ++j) {
            Rect(g.m_pRect[j]);
            w.Uint(a.m_pTime && j < a.m_dwFrameNum ? a.m_pTime[j] : 0);
            w.EndLine();
        }
    }

    void Object(const OBJECT_DATA& o) {
        Picture(o);
        w.Uint(o.m_bCreate);
        w.Uint(o.m_dwFadeTime);
        w.Uint(o.m_dwStepStart);
        w.Uint(o.m_bRun);
        w.Float(o.m_fVecX);
        w.Float(o.m_fVecY);
        w.EndLine();
        w.Int(o.m_nRepeat);
        w.Uint(o.m_bRepeatAcross);
        w.Int(o.m_nNowProc);
        w.Int(o.m_nCellWidth);
        w.Int(o.m_nCellHeight);
        w.EndLine();
        for (const OBJECT_PROC_DATA& p : o.m_Proc) {
            w.Float(p.fX);
            w.Float(p.fY);
            w.Uint(p.dwTime);
            w.Int(p.nType);
            w.Int(p.nA);
            w.Int(p.nB);
            w.Float(p.fX2);
            w.Float(p.fY2);
            w.EndLine();
        }
    }

    KUSYSTEM* m_sys;
    LineWriter w;
};

// The date, the place in the scenario, the scores, the flags and the running commands.
void WriteScenarioState(LineWriter& w, const ADV_DATA& adv, const plat::LocalTime& now) {
    for (int v : {now.year, now.month, now.day, now.hour, now.minute})
        w.Int(v);
    w.EndLine();
    w.Int(adv.m_nEpisode);
    w.Int(adv.m_nScene);
    w.EndLine();
    w.Text(adv.m_szScriptName);
    w.EndLine();
    w.Int(adv.m_nReserved);
    w.Int(adv.m_nLine);
    w.EndLine();
    for (const TEST_RESULT_DATA& r : adv.m_TestResult) {
        for (int32_t score : r.m_nScore)
            w.Int(score);
        w.EndLine();
    }
    for (int32_t v : {adv.m_bReadingOn, adv.m_nReservedA, adv.m_bEnd, adv.m_bSelectOpen, adv.m_nReservedC,
                      adv.m_nReservedB, static_cast<int32_t>(adv.m_dwAntiAliasLevel)})
        w.Int(v);
    w.Float(adv.m_fFade);
    w.EndLine();
    for (const SCRIPT_COMMAND_DATA& c : adv.m_ScriptCommand) {
        w.Text(c.m_szCommand);
        for (const auto& arg : c.m_szArg)
            w.Text(arg);
        w.Int(c.m_bExclusive);
        w.Int(c.m_nPhase);
        w.Uint(c.m_dwStartTime);
        w.Int(c.m_nLine);
        w.EndLine();
    }
}

// Music, the message window and its history, the controller bar and the open choice windows.
void WriteWindows(SlotWriter& s, const ADV_DATA& adv) {
    LineWriter& w = s.w;
    const MAIN_SCR& scr = adv.m_MainScr;
    w.Text(scr.m_szBGMName);
    w.Int(scr.m_bBGMFlag);
    w.Int(adv.m_bWindowShown);
    w.Int(scr.m_bAutoSkipList);
    w.Int(scr.m_nAutoSkipLine);
    w.EndLine();
    const MESSAGE_WINDOW& msg = adv.m_MsgWnd;
    w.Uint(msg.m_bVisible);
    w.Float(msg.m_fAlpha);
    s.Rect(msg.m_rcName);
    s.Rect(msg.m_rcText);
    w.EndLine();
    s.Message(msg.m_History[msg.NewestHistoryIndex()]);
    for (const MESSAGE_DATA& m : msg.m_History)
        s.Message(m);
    w.Uint(adv.m_CtrlWnd.m_bVisible);
    w.Float(adv.m_CtrlWnd.m_fAlpha);
    w.EndLine();
    const SELECT_WINDOW_AGG& sel = adv.m_SelectWnd;
    const uint32_t choices = sel.m_pWindow ? sel.m_dwCount : 0;
    w.Uint(sel.m_bInit);
    w.Uint(sel.m_bActive);
    w.Uint(sel.m_dwDisappearPhase);
    w.Uint(choices);
    w.EndLine();
    for (uint32_t i = 0; i < choices; ++i)
        s.TextArea(sel.m_pWindow[i].m_Text);
}

// The per-item tables, each between its section's markers.
void WriteItemTables(SlotWriter& s, const ADV_DATA& adv) {
    LineWriter& w = s.w;
    w.Marker(StartMarker(kGraphicShown));
    for (uint32_t i = 0; i < adv.m_dwGraphicNum; ++i) {
        w.Int(adv.m_pGraphicShown ? adv.m_pGraphicShown[i] : 0);
        w.EndLine();
    }
    w.Marker(EndMarker(kGraphicShown));
    w.Marker(StartMarker(kObjectShown));
    for (uint32_t i = 0; i < adv.m_dwObjectNum; ++i) {
        w.Int(adv.m_pObjectShown ? adv.m_pObjectShown[i] : 0);
        w.EndLine();
    }
    w.Marker(EndMarker(kObjectShown));
    w.Marker(StartMarker(kGraphicData));
    for (uint32_t i = 0; adv.m_pGraphic && i < adv.m_dwGraphicNum; ++i)
        s.Picture(adv.m_pGraphic[i]);
    w.Marker(EndMarker(kGraphicData));
    w.Marker(StartMarker(kSoundData));
    for (uint32_t i = 0; adv.m_pSound && i < adv.m_dwSoundNum; ++i) {
        const SOUND_DATA& snd = adv.m_pSound[i];
        w.Text(snd.m_szFile);
        w.Int(snd.m_nSlot);
        w.Uint(snd.m_dwType);
        w.Uint(snd.m_dwLoop);
        w.Int(snd.m_nExtra);
        w.Uint(snd.m_bLoad);
        w.Uint(snd.m_bPlay);
        w.Uint(snd.m_bLoaded);
        w.EndLine();
    }
    w.Marker(EndMarker(kSoundData));
    w.Marker(StartMarker(kVarData));
    for (uint32_t i = 0; adv.m_pVar && i < adv.m_dwVarNum; ++i) {
        w.Int(adv.m_pVar[i].GetValue());
        w.EndLine();
    }
    w.Marker(EndMarker(kVarData));
    w.Marker(StartMarker(kTextData));
    for (uint32_t i = 0; adv.m_pTextArea && i < adv.m_dwTextAreaNum; ++i)
        s.TextArea(adv.m_pTextArea[i]);
    w.Marker(EndMarker(kTextData));
    w.Marker(StartMarker(kObjectData));
    for (uint32_t i = 0; adv.m_pObject && i < adv.m_dwObjectNum; ++i)
        s.Object(adv.m_pObject[i]);
    w.Marker(EndMarker(kObjectData));
    w.Marker(StartMarker(kDrawOrder));
    for (uint32_t i = 0; adv.m_pDrawOrder && i < adv.m_dwDrawOrderNum; ++i) {
        const DRAW_ORDER_DATA& d = adv.m_pDrawOrder[i];
        w.Uint(d.m_dwKind);
        w.Int(d.m_nIndex);
        w.Int(d.m_nPriority);
        w.EndLine();
    }
    w.Marker(EndMarker(kDrawOrder));
}

} // namespace

void WriteSlotText(KUSYSTEM* sys, const ADV_DATA& adv, const plat::LocalTime& now, std::string* out) {
    out->clear();
    out->reserve(64 * 1024);
    SlotWriter s(sys, out);
    WriteScenarioState(s.w, adv, now);
    WriteWindows(s, adv);
    WriteItemTables(s, adv);
}

} // namespace saveslot
