#include "adv/adv_data.h"

#include <cstring>

#include "app/env_settings.h"
#include "engine/kusystem.h"
#include "game/draw_order_data.h"
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
    // The declarations and the first script's name come from the
    // initialisation script, whose reader is not part of the program yet;
    // without them the interpreter stays unstarted and the first frame of
    // play reports it.
    m_MainScr.Initialize(this, sys, sprite, snd);
    m_bInit = 1;
    return 1;
}

void ADV_DATA::Clear() {
    ReleaseLoadedData();
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
    delete[] m_pVar;
    m_pVar = nullptr;
    delete[] m_pDrawOrder;
    m_pDrawOrder = nullptr;
    delete[] m_pGraphicShown;
    m_pGraphicShown = nullptr;
    delete[] m_pObjectShown;
    m_pObjectShown = nullptr;
    for (TEST_RESULT_DATA& r : m_TestResult)
        r.Clear();
    m_dwGraphicNum = m_dwSoundNum = m_dwVarNum = m_dwTextAreaNum = m_dwObjectNum = m_dwDrawOrderNum = 0;
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

int ADV_DATA::IDSearch(int kind, const char* id) {
    if (!m_bInit) {
        ErrorPrint("Error: <ADV_DATA::IDSearch> 初期化されていません\n");
        return -1;
    }
    if (kind < kKindGraphic || kind > kKindVar) {
        ErrorPrint("Error: <ADV_DATA::IDSearch> 不明なデータ種です\n");
        return -1;
    }
    if (!id)
        return -2;
    if (kind == kKindVar && m_pVar) {
        for (uint32_t i = 0; i < m_dwVarNum; ++i)
            if (adv::ScriptWordEqual(m_pVar[i].GetName(), id))
                return static_cast<int>(i);
    }
    return -2;
}

void ADV_DATA::DrawObjectSort() {}

int ADV_DATA::LoadDataRelease() {
    if (!m_bInit) {
        ErrorPrint("Error: <ADV_DATA::LoadDataRelease> 初期化されていません\n");
        return 0;
    }
    return 1;
}

int ADV_DATA::ReleaseLoadedData() {
    if (!m_bInit) {
        // Clear also runs before anything was started: only the debugger hears of it.
        plat::DebugOut("Error: <ADV_DATA::LoadDataRelease> 初期化されていません\n");
        return 0;
    }
    return 1;
}

int ADV_DATA::LoadDataResume() {
    if (!m_bInit) {
        ErrorPrint("Error: <ADV_DATA::LoadDataResume> 初期化されていません\n");
        return 0;
    }
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
