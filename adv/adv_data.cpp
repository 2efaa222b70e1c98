#include "adv/adv_data.h"

#include <cstring>

#include "app/engine_services.h"
#include "app/env_settings.h"
#include "engine/kusystem.h"
#include "game/draw_order_data.h"
#include "game/graphic_data.h"
#include "game/object_data.h"
#include "game/shell_services.h"
#include "game/sound_data.h"
#include "game/textarea_data.h"
#include "game/var_data.h"
#include "platform/debug_out.h"

ADV_DATA::ADV_DATA()
    : m_bInit(0),
      m_pKUSys(nullptr),
      m_pKUSprite(nullptr),
      m_pKUSnd(nullptr),
      m_pScriptFile(nullptr),
      m_pGlobalData(nullptr),
      m_pGraphic(nullptr),
      m_pSound(nullptr),
      m_pVar(nullptr),
      m_pTextArea(nullptr),
      m_pObject(nullptr),
      m_pDrawOrder(nullptr),
      m_dwGraphicNum(0),
      m_dwSoundNum(0),
      m_dwVarNum(0),
      m_dwTextAreaNum(0),
      m_dwObjectNum(0),
      m_dwDrawOrderNum(0),
      m_pGraphicShown(nullptr),
      m_pObjectShown(nullptr) {
    Clear();
}

ADV_DATA::~ADV_DATA() { Clear(); }

void ADV_DATA::ErrorPrint(const char* text) {
    if (m_pKUSys)
        m_pKUSys->TracePrint(text);
    else
        plat::DebugOut(text);
}

int ADV_DATA::Initialize(const char* script, KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, GAME_GLOBAL_DATA* global) {
    Clear();
    if (!sys) {
        plat::DebugOut("Error: <ADV_DATA::Initialize> KUSYSTEMクラスポインタの引数が不正です\n");
        return 0;
    }
    m_pKUSys = sys;
    if (!sprite) {
        ErrorPrint("Error: <ADV_DATA::Initialize> KUSPRITE2クラスポインタの引数が不正です\n");
        return 0;
    }
    m_pKUSprite = sprite;
    if (!snd) {
        ErrorPrint("Error: <ADV_DATA::Initialize> KUSNDクラスポインタの引数が不正です\n");
        return 0;
    }
    m_pKUSnd = snd;
    if (!global) {
        ErrorPrint("Error: <ADV_DATA::Initialize> ゲームのグローバルデータポインタの引数が不正です\n");
        return 0;
    }
    m_pGlobalData = global;
    if (!script || !*script) {
        ErrorPrint("Error: <ADV_DATA::Initialize> 初期設定ファイルパスが不正です\n");
        return 0;
    }
    if (!m_InitScr.Initialize(this, sys, sprite, snd, script)) {
        ErrorPrint("Error: <ADV_DATA::Initialize> 初期設定スクリプトの初期化に失敗しました\n");
        return 0;
    }
    m_InitScr.Clear();
    // A failure leaves the interpreter unstarted; the first frame of play reports it.
    m_MainScr.Initialize(this, sys, sprite, snd);
    m_bInit = 1;
    return 1;
}

void ADV_DATA::Clear() {
    ReleaseLoadedData();
    m_InitScr.Clear();
    m_MainScr.Clear();
    for (SCRIPT_COMMAND_DATA& slot : m_ScriptCommand)
        slot.Clear();
    if (m_pScriptFile) {
        fclose(m_pScriptFile);
        m_pScriptFile = nullptr;
    }
    memset(m_szScriptName, 0, sizeof(m_szScriptName));
    m_nReserved = 0;
    m_nLine = 0;
    m_bReadingOn = 1;
    m_nReservedA = 1;
    m_bEnd = 0;
    m_bSelectOpen = 0;
    m_nReservedC = -1;
    m_nReservedB = 0;
    m_nEpisode = 0;
    m_nScene = 0;
    delete[] m_pGraphic;
    m_pGraphic = nullptr;
    delete[] m_pSound;
    m_pSound = nullptr;
    delete[] m_pVar;
    m_pVar = nullptr;
    delete[] m_pTextArea;
    m_pTextArea = nullptr;
    delete[] m_pObject;
    m_pObject = nullptr;
    delete[] m_pDrawOrder;
    m_pDrawOrder = nullptr;
    delete[] m_pGraphicShown;
    m_pGraphicShown = nullptr;
    delete[] m_pObjectShown;
    m_pObjectShown = nullptr;
    for (TEST_RESULT_DATA& r : m_TestResult)
        r.Clear();
    m_dwGraphicNum = m_dwSoundNum = m_dwVarNum = m_dwTextAreaNum = m_dwObjectNum = m_dwDrawOrderNum = 0;
    m_SelectWnd.Clear();
    m_dwAntiAliasLevel = g_dwAntiAliasLevel;
    m_nTestNum = -1;
    m_nTestSubject = -1;
    memset(m_szTestNextScript, 0, sizeof(m_szTestNextScript));
    memset(m_nTestMask, 0, sizeof(m_nTestMask));
    memset(m_szTestText, 0, sizeof(m_szTestText));
    m_fFade = 0.0f;
    m_pKUSys = nullptr;
    m_pKUSprite = nullptr;
    m_pKUSnd = nullptr;
    m_dwPhaseStart = 0;
    m_nPhase = 0;
    m_pGlobalData = nullptr;
    m_bInit = 0;
}

namespace {

// The first item whose ID equals `id`, case ignored; -2 none.
template <typename T, typename IdOf>
int FindId(const T* items, uint32_t count, const char* id, IdOf idOf) {
    if (!items)
        return -2;
    for (uint32_t i = 0; i < count; ++i)
        if (adv::ScriptWordEqual(idOf(items[i]), id))
            return static_cast<int>(i);
    return -2;
}

} // namespace

int ADV_DATA::IDSearch(int kind, const char* id) {
    if (!m_bInit) {
        ErrorPrint("Error: <ADV_DATA::IDSearch> 初期化されていません\n");
        return -1;
    }
    if (!id)
        return -2;
    switch (kind) {
        case kKindGraphic:
            return FindId(m_pGraphic, m_dwGraphicNum, id, [](const GRAPHIC_DATA& g) { return g.m_szID; });
        case kKindTextArea:
            return FindId(m_pTextArea, m_dwTextAreaNum, id, [](const TEXTAREA_DATA& t) { return t.m_szID; });
        case kKindObject: return FindId(m_pObject, m_dwObjectNum, id, [](const OBJECT_DATA& o) { return o.m_szID; });
        case kKindSound: return FindId(m_pSound, m_dwSoundNum, id, [](const SOUND_DATA& d) { return d.m_szID; });
        case kKindVar: return FindId(m_pVar, m_dwVarNum, id, [](const VAR_DATA& v) { return v.GetName(); });
        default: ErrorPrint("Error: <ADV_DATA::IDSearch> 不明なデータ種です\n"); return -1;
    }
}

void ADV_DATA::DrawObjectSort() {
    if (!m_pDrawOrder)
        return;
    uint32_t n = 0;
    auto add = [&](uint32_t kind, uint32_t index, int32_t priority) {
        if (n >= m_dwDrawOrderNum)
            return;
        const int32_t i = static_cast<int32_t>(index);
        m_pDrawOrder[n++].SetData(&kind, &i, &priority);
    };
    for (uint32_t i = 0; m_pGraphic && i < m_dwGraphicNum; ++i)
        add(DRAW_ORDER_DATA::kGraphic, i, m_pGraphic[i].m_nPriority);
    for (uint32_t i = 0; m_pTextArea && i < m_dwTextAreaNum; ++i)
        add(DRAW_ORDER_DATA::kTextArea, i, m_pTextArea[i].m_nPriority);
    for (uint32_t i = 0; m_pObject && i < m_dwObjectNum; ++i)
        add(DRAW_ORDER_DATA::kObject, i, m_pObject[i].m_nPriority);
    // This exact exchange sort: equal priorities end in the order it gives them.
    for (uint32_t i = 0; i < m_dwDrawOrderNum; ++i) {
        for (uint32_t j = i + 1; j < m_dwDrawOrderNum; ++j) {
            if (m_pDrawOrder[i].GetPriority() > m_pDrawOrder[j].GetPriority()) {
                DRAW_ORDER_DATA t = m_pDrawOrder[i];
                m_pDrawOrder[i] = m_pDrawOrder[j];
                m_pDrawOrder[j] = t;
            }
        }
    }
}

void ADV_DATA::UnloadItems() {
    for (uint32_t i = 0; m_pGraphic && i < m_dwGraphicNum; ++i) {
        if (m_pGraphicShown)
            m_pGraphicShown[i] = static_cast<int32_t>(m_pGraphic[i].m_bShow);
        m_pGraphic[i].UnloadGraphicData();
    }
    for (uint32_t i = 0; m_pObject && i < m_dwObjectNum; ++i) {
        if (m_pObjectShown)
            m_pObjectShown[i] = static_cast<int32_t>(m_pObject[i].m_bShow);
        m_pObject[i].GRAPHIC_DATA::UnloadGraphicData();
    }
    for (uint32_t i = 0; m_pTextArea && i < m_dwTextAreaNum; ++i)
        m_pTextArea[i].UnloadTextData();
    // Only effects hold a sound slot of their own: voices and music name
    // their channel's number there, and unloading that slot would take the
    // music segment away. The loaded flag stays for the resume.
    for (uint32_t i = 0; m_pSound && i < m_dwSoundNum; ++i) {
        const SOUND_DATA& s = m_pSound[i];
        if (s.m_dwType != SOUND_DATA::kTypeSE || s.m_nSlot < 0)
            continue;
        SEStop(m_pKUSnd, m_pKUSys, s.m_nSlot);
        SEUnload(m_pKUSnd, m_pKUSys, s.m_nSlot);
    }
}

int ADV_DATA::LoadDataRelease() {
    if (!m_bInit) {
        ErrorPrint("Error: <ADV_DATA::LoadDataRelease> 初期化されていません\n");
        return 0;
    }
    UnloadItems();
    GraphicUnload(m_pKUSprite, m_pKUSys, 0);
    return 1;
}

int ADV_DATA::ReleaseLoadedData() {
    if (!m_bInit) {
        // Clear also runs before anything was started: only the debugger hears of it.
        plat::DebugOut("Error: <ADV_DATA::LoadDataRelease> 初期化されていません\n");
        return 0;
    }
    UnloadItems();
    return 1;
}

int ADV_DATA::LoadDataResume() {
    if (!m_bInit) {
        ErrorPrint("Error: <ADV_DATA::LoadDataResume> 初期化されていません\n");
        return 0;
    }
    for (uint32_t i = 0; m_pGraphic && i < m_dwGraphicNum; ++i) {
        m_pGraphic[i].LoadGraphicData();
        if (m_pGraphicShown)
            m_pGraphic[i].m_bShow = static_cast<uint32_t>(m_pGraphicShown[i]);
    }
    for (uint32_t i = 0; m_pObject && i < m_dwObjectNum; ++i) {
        m_pObject[i].LoadGraphicData();
        if (m_pObjectShown)
            m_pObject[i].m_bShow = static_cast<uint32_t>(m_pObjectShown[i]);
    }
    for (uint32_t i = 0; m_pTextArea && i < m_dwTextAreaNum; ++i)
        m_pTextArea[i].LoadTextData();
    for (uint32_t i = 0; m_pSound && i < m_dwSoundNum; ++i) {
        SOUND_DATA& s = m_pSound[i];
        if (!s.m_bLoaded)
            continue;
        s.LoadSoundData();
        if (s.m_bPlay == 1 && s.m_dwLoop != 0)
            s.PlayProc();
    }
    if (m_SelectWnd.m_bInit) {
        GraphicLoad(m_pKUSprite, m_pKUSys, 4);
        SELoad(m_pKUSnd, m_pKUSys, SELECT_WINDOW_AGG::kSeCursorOn, nullptr);
        SELoad(m_pKUSnd, m_pKUSys, SELECT_WINDOW_AGG::kSePush, nullptr);
        for (uint32_t i = 0; m_SelectWnd.m_pWindow && i < m_SelectWnd.m_dwCount; ++i)
            m_SelectWnd.m_pWindow[i].m_Text.LoadTextData();
    }
    GraphicLoad(m_pKUSprite, m_pKUSys, 0);
    return 1;
}

void ADV_DATA::RecordReadPosition() {
    if (m_bInit && m_MainScr.m_bInit && m_szScriptName[0] != '\0')
        m_MainScr.AddAutoSkipFileList(m_szScriptName, m_nLine);
}

void ADV_DATA::ShowMessageWhole() {}
void ADV_DATA::SetControllerSkipFlags() {}
void ADV_DATA::SetMessageSpeed(uint32_t) {}
void ADV_DATA::SetAutoSkip(int) {}
void ADV_DATA::SetAutoSkipSpeed(uint32_t) {}
void ADV_DATA::SetAntiAliasLevel(uint32_t level) { m_dwAntiAliasLevel = level; }
