#include "adv/adv_data.h"

#include <cstring>

#include "game/engine_services.h"
#include "game/game_settings.h"
#include "engine/kusystem.h"
#include "scene/draw_order_data.h"
#include "scene/graphic_data.h"
#include "scene/object_data.h"
#include "game/shell_services.h"
#include "scene/sound_data.h"
#include "scene/textarea_data.h"
#include "game/var_data.h"
#include "platform/debug_out.h"

namespace {
void SortDrawOrder(ADV_DATA* adv) { adv->DrawObjectSort(); }
} // namespace

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
    SetDrawOrderSorter(&SortDrawOrder);
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
    if (!InitializeWindows())
        return 0;
    m_bInit = 1;
    return 1;
}

namespace {

struct ButtonRow {
    const char* word;
    float x, y;
    KURECT hit, normal, hover, pressed, disabled;
};

// In the order they are made; the bar takes them in its own order.
constexpr ButtonRow kButtons[] = {
    {"セーブ",
     44,
     3,
     {44, 3, 116, 27},
     {0, 116, 72, 140},
     {224, 116, 296, 140},
     {0, 232, 72, 256},
     {224, 232, 296, 256}},
    {"ロード",
     112,
     3,
     {112, 3, 184, 27},
     {72, 116, 144, 140},
     {296, 116, 368, 140},
     {72, 232, 144, 256},
     {296, 232, 368, 256}},
    {"コンフィグ",
     44,
     89,
     {44, 89, 116, 113},
     {0, 140, 72, 164},
     {224, 140, 296, 164},
     {0, 256, 72, 280},
     {224, 256, 296, 280}},
    {"ウィンドウ消去",
     112,
     89,
     {112, 89, 184, 113},
     {72, 140, 144, 164},
     {296, 140, 368, 164},
     {72, 256, 144, 280},
     {296, 256, 368, 280}},
    {"BACK",
     15,
     26,
     {15, 26, 71, 90},
     {0, 164, 56, 228},
     {224, 164, 280, 228},
     {0, 280, 56, 344},
     {224, 280, 280, 344}},
    {"NEXT",
     125,
     26,
     {125, 26, 181, 90},
     {56, 164, 112, 228},
     {280, 164, 336, 228},
     {56, 280, 112, 344},
     {280, 280, 336, 344}},
    {"FF",
     70,
     55,
     {70, 55, 126, 95},
     {168, 164, 224, 204},
     {392, 164, 448, 204},
     {168, 280, 224, 320},
     {392, 280, 448, 320}},
    {"オートスキップ",
     70,
     20,
     {70, 20, 126, 60},
     {112, 164, 168, 204},
     {336, 164, 392, 204},
     {112, 280, 168, 320},
     {336, 280, 392, 320}},
    {"音量アップ",
     208,
     35,
     {208, 35, 224, 59},
     {144, 116, 160, 140},
     {368, 116, 384, 140},
     {144, 232, 160, 256},
     {368, 232, 384, 256}},
    {"音量ダウン",
     208,
     55,
     {208, 55, 224, 79},
     {160, 116, 176, 140},
     {384, 116, 400, 140},
     {160, 232, 176, 256},
     {384, 232, 400, 256}},
};
enum { kSave, kLoad, kConfig, kHide, kBack, kNext, kFF, kAutoSkip, kVolumeUp, kVolumeDown };

constexpr int kMessageWindowSlot = 2;
constexpr int kControllerSlot = 3;

} // namespace

int ADV_DATA::InitializeWindows() {
    if (!m_MsgWnd.Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd, kMessageWindowSlot, KURECT{0, 0, 540, 116},
                             KURECT{0, 0, 540, 116}, 6.0f, 480.0f, KURECT{0, 116, 540, 232}, 0.0f, 0.0f, 0.8f,
                             KURECT{544, 0, 592, 29}, 489.0f, 76.0f, 0.0f)) {
        ErrorPrint("Error: <ADV_DATA::Initialize> メッセージウィンドウの初期化に失敗しました\n");
        return 0;
    }
    if (!m_CtrlWnd.Initialize(m_pKUSys, m_pKUSprite, m_pKUSnd, &m_MsgWnd, kControllerSlot, KURECT{0, 0, 228, 116},
                              566.0f, 480.0f, KURECT{228, 0, 456, 116}, 0.0f, 0.0f, 0.5f)) {
        ErrorPrint("Error: <ADV_DATA::Initialize> コントローラーウィンドウの初期化に失敗しました\n");
        return 0;
    }
    CTRL_WND_OBJ buttons[CONTROLLER_WINDOW::kButtonCount];
    for (int i = 0; i < CONTROLLER_WINDOW::kButtonCount; ++i) {
        const ButtonRow& b = kButtons[i];
        if (!buttons[i].Initialize(&m_CtrlWnd, m_pKUSprite, m_pKUSys, kControllerSlot, b.x, b.y, &b.hit, &b.normal,
                                   &b.hover, &b.pressed, &b.disabled)) {
            char line[256];
            snprintf(line, sizeof(line),
                     "Error: <ADV_DATA::Initialize> コントローラーウィンドウの%sボタンの初期化に失敗しました\n",
                     b.word);
            ErrorPrint(line);
            return 0;
        }
    }
    if (!m_CtrlWnd.SetButton(&buttons[kLoad], &buttons[kSave], &buttons[kConfig], &buttons[kAutoSkip], &buttons[kBack],
                             &buttons[kNext], &buttons[kFF], &buttons[kHide], &buttons[kVolumeUp],
                             &buttons[kVolumeDown])) {
        ErrorPrint("Error: <ADV_DATA::Initialize> コントロールウィンドウへのボタンのセットに失敗しました\n");
        return 0;
    }
    return 1;
}

void ADV_DATA::Clear() {
    // Before the first Initialize nothing is loaded: no release, and no
    // "not initialised" line at every new game.
    if (m_bInit)
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
    m_MsgWnd.Clear();
    m_CtrlWnd.Clear();
    m_SelectWnd.Clear();
    m_bWindowShown = 0;
    m_DrawFailSaid.clear();
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

template <typename Visit>
void ADV_DATA::ForEachText(Visit visit) {
    for (uint32_t i = 0; m_pTextArea && i < m_dwTextAreaNum; ++i)
        visit(m_pTextArea[i]);
    visit(m_MsgWnd.m_NameArea);
    visit(m_MsgWnd.m_TextArea);
    // A choice set that is not up has no windows.
    for (uint32_t i = 0; m_SelectWnd.m_pWindow && i < m_SelectWnd.m_dwCount; ++i)
        visit(m_SelectWnd.m_pWindow[i].m_Text);
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
    // An area never set up holds no slot: its unload does nothing.
    ForEachText([](TEXTAREA_DATA& t) { t.UnloadTextData(); });
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
    if (m_MsgWnd.m_nSlot != -1)
        GraphicUnload(m_pKUSprite, m_pKUSys, m_MsgWnd.m_nSlot);
    if (m_MsgWnd.m_pKUSnd) {
        SEUnload(m_pKUSnd, m_pKUSys, MESSAGE_WINDOW::kSeCursorOn);
        SEUnload(m_pKUSnd, m_pKUSys, MESSAGE_WINDOW::kSePush);
    }
    if (m_CtrlWnd.m_nSlot != -1)
        GraphicUnload(m_pKUSprite, m_pKUSys, m_CtrlWnd.m_nSlot);
    SEUnload(m_pKUSnd, m_pKUSys, CONTROLLER_WINDOW::kSeCursorOn);
    SEUnload(m_pKUSnd, m_pKUSys, CONTROLLER_WINDOW::kSePush);
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
        plat::DebugOut("Error: <ADV_DATA::LoadDataRelease> 初期化されていません\n");
        return 0;
    }
    UnloadItems();
    return 1;
}

namespace {

// Renders a text area again after a menu. One that was never given text (a
// declared area the story has not used yet, a name plate before the first
// speaker) has nothing to render and is no error.
void ReloadText(TEXTAREA_DATA& t) {
    if (t.m_bInit && t.m_bFontSet)
        t.LoadTextData();
}

} // namespace

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
    ForEachText(ReloadText);
    for (uint32_t i = 0; m_pSound && i < m_dwSoundNum; ++i) {
        SOUND_DATA& s = m_pSound[i];
        if (!s.m_bLoaded)
            continue;
        s.LoadSoundData();
        if (s.m_bPlay == 1 && s.m_dwLoop != 0)
            s.PlayProc();
    }
    if (m_MsgWnd.m_nSlot != -1)
        GraphicLoad(m_pKUSprite, m_pKUSys, m_MsgWnd.m_nSlot);
    if (m_MsgWnd.m_pKUSnd) {
        SELoad(m_pKUSnd, m_pKUSys, MESSAGE_WINDOW::kSeCursorOn, nullptr);
        SELoad(m_pKUSnd, m_pKUSys, MESSAGE_WINDOW::kSePush, nullptr);
    }
    if (m_SelectWnd.m_bInit) {
        GraphicLoad(m_pKUSprite, m_pKUSys, 4);
        SELoad(m_pKUSnd, m_pKUSys, SELECT_WINDOW_AGG::kSeCursorOn, nullptr);
        SELoad(m_pKUSnd, m_pKUSys, SELECT_WINDOW_AGG::kSePush, nullptr);
    }
    if (m_CtrlWnd.m_nSlot != -1)
        GraphicLoad(m_pKUSprite, m_pKUSys, m_CtrlWnd.m_nSlot);
    SELoad(m_pKUSnd, m_pKUSys, CONTROLLER_WINDOW::kSeCursorOn, nullptr);
    SELoad(m_pKUSnd, m_pKUSys, CONTROLLER_WINDOW::kSePush, nullptr);
    GraphicLoad(m_pKUSprite, m_pKUSys, 0);
    return 1;
}

void ADV_DATA::RecordReadPosition() {
    if (m_bInit && m_MainScr.m_bInit && m_szScriptName[0] != '\0')
        m_MainScr.AddAutoSkipFileList(m_szScriptName, m_nLine);
}

void ADV_DATA::ShowMessageWhole() { m_MsgWnd.m_TextArea.m_fDispNum = -1.0f; }

void ADV_DATA::SetControllerSkipFlags() {
    m_CtrlWnd.m_bSkipHold = 1;
    m_CtrlWnd.m_bSkipOneClick = 1;
}

void ADV_DATA::SetMessageSpeed(uint32_t ms) { m_MsgWnd.m_dwMessageSpeed = ms; }
void ADV_DATA::SetAutoSkip(int on) { m_CtrlWnd.m_bAutoSkip = on ? 1 : 0; }
void ADV_DATA::SetAutoSkipSpeed(uint32_t ms) { m_CtrlWnd.m_dwAutoSkipSpeed = ms; }
// The texts on screen are released while the options run, out of reach of
// their rebuild of every slot; they are rendered again on the return from
// their own stored level, so that level takes the new one too.
void ADV_DATA::SetAntiAliasLevel(uint32_t level) {
    m_dwAntiAliasLevel = level;
    ForEachText([level](TEXTAREA_DATA& t) { t.m_dwAntiAlias = level; });
}
