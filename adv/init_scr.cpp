#include "adv/init_scr.h"

#include <cstdio>
#include <cstring>

#include "adv/adv_data.h"
#include "adv/script_token.h"
#include "engine/combine_file.h"
#include "engine/kucode.h"
#include "engine/kusystem.h"
#include "scene/draw_order_data.h"
#include "game/fixed_string.h"
#include "scene/graphic_data.h"
#include "scene/object_data.h"
#include "scene/sound_data.h"
#include "scene/textarea_data.h"
#include "game/var_data.h"
#include "platform/debug_out.h"
#include "platform/dialog.h"
#include "platform/files.h"

namespace {

constexpr const char* kScenarioArchive = "dat/Scenario.dat";
constexpr const char* kWorkFolder = "tmp/";
constexpr int kTokenCount = 1 + 9; // the command and up to nine arguments

enum Kind { kGraphic, kSound, kTextArea, kVar, kObject, kKindCount };
constexpr const char* kKindWords[kKindCount] = {"GRAPHIC", "SOUND", "TEXTAREA", "VAR", "OBJECT"};
constexpr const char* kDuplicateWarnings[kKindCount] = {
    "グラフィックデータ内に同名IDが存在します。正常に動作しない可能性があります",
    "サウンドデータ内に同名IDが存在します。正常に動作しない可能性があります",
    "テキストエリアデータ内に同名IDが存在します。正常に動作しない可能性があります",
    "変数データ内に同名IDが存在します。正常に動作しない可能性があります",
    "オブジェクトデータ内に同名IDが存在します。正常に動作しない可能性があります",
};

int KindOf(const char* word) {
    for (int k = 0; k < kKindCount; ++k)
        if (adv::ScriptWordEqual(word, kKindWords[k]))
            return k;
    return -1;
}

// The member's name as the archive list spells it, which is the name of the
// extracted copy on a case-sensitive file system.
const char* ListSpelling(const char* name) {
    for (const COMBINE_FILE_DATA& row : g_CombineFileList) {
        if (row.name[0] == '\0')
            break;
        if (adv::ScriptWordEqual(row.name, name))
            return row.name;
    }
    return name;
}

void ShowLineBox(int line, const char* format, const char* caption) {
    char text[64];
    snprintf(text, sizeof(text), format, line);
    plat::MessageBoxOk(nullptr, text, caption);
}

} // namespace

INIT_SCR::INIT_SCR() : m_pKUSys(nullptr), m_pKUSprite(nullptr), m_pKUSnd(nullptr) { Clear(); }

INIT_SCR::~INIT_SCR() { Clear(); }

void INIT_SCR::Clear() {
    m_pAdvData = nullptr;
    m_pKUSys = nullptr;
    m_pKUSprite = nullptr;
    m_pKUSnd = nullptr;
    m_Command.Clear();
    memset(m_szFile, 0, sizeof(m_szFile));
    m_bInit = 0;
}

void INIT_SCR::Log(const char* level, const char* method, const char* text) {
    char line[512];
    snprintf(line, sizeof(line), "%s: <INIT_SCR::%s> %s\n", level, method, text);
    if (m_pKUSys)
        m_pKUSys->TracePrint(line);
    else
        plat::DebugOut(line);
}

bool INIT_SCR::Ready(const char* method) {
    if (!m_pKUSys) {
        Log("Error", method, "KUSYSTEMクラスポインタが不正です");
        return false;
    }
    if (!m_pAdvData) {
        Log("Error", method, "アドベンチャーデータが確保されていません");
        return false;
    }
    return true;
}

int INIT_SCR::Initialize(ADV_DATA* adv, KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, const char* file) {
    if (!sys) {
        plat::DebugOut("Error: <INIT_SCR::Initialize> KUSYSTEMクラスポインタが不正です\n");
        return 0;
    }
    m_pKUSys = sys;
    if (!sprite) {
        Log("Error", "Initialize", "KUSPRITE2クラスポインタが不正です");
        return 0;
    }
    m_pKUSprite = sprite;
    if (!snd) {
        Log("Error", "Initialize", "KUSNDクラスポインタが不正です");
        return 0;
    }
    m_pKUSnd = snd;
    if (!adv) {
        Log("Error", "Initialize", "アドベンチャーデータクラスが不正です");
        return 0;
    }
    m_pAdvData = adv;
    if (file) {
        if (strlen(file) >= sizeof(m_szFile)) {
            Log("Error", "Initialize", "ファイルオープンに失敗しました");
            return 0;
        }
        game::CopyFixed(m_szFile, file);
    }

    const int div = FileDiv(kScenarioArchive, kWorkFolder, m_szFile);
    if (div == 0) {
        char text[400];
        snprintf(text, sizeof(text), "%s内に%sが見つかりません", kScenarioArchive, m_szFile);
        Log("Error", "Initialize", text);
        return 0;
    }
    if (div != 1 && div != -3) {
        Log("Error", "Initialize", "ファイルの複合に失敗しました");
        return 0;
    }
    char member[kFileSize];
    game::CopyFixed(member, ListSpelling(m_szFile));
    if (adv->m_pScriptFile) {
        fclose(adv->m_pScriptFile);
        adv->m_pScriptFile = nullptr;
    }
    char path[kFileSize + 8];
    snprintf(path, sizeof(path), "%s%s", kWorkFolder, member);
    adv->m_pScriptFile = plat::OpenFile(path, "rb");
    if (!adv->m_pScriptFile) {
        Log("Error", "Initialize", "ファイルオープンに失敗しました");
        sys->RemoveFile(kWorkFolder, member, 0);
        return 0;
    }

    int ok = 0;
    if (!InitScrObjCount())
        Log("Error", "Initialize", "オブジェクトのカウントに失敗しました");
    else if (fseek(adv->m_pScriptFile, 0, SEEK_SET) != 0)
        Log("Error", "Initialize", "ファイルのシークに失敗しました");
    else if (!InitScrMain())
        Log("Error", "Initialize", "初期設定スクリプトのメイン処理に失敗しました");
    else
        ok = 1;
    fclose(adv->m_pScriptFile);
    adv->m_pScriptFile = nullptr;
    sys->RemoveFile(kWorkFolder, member, 0);
    m_bInit = static_cast<uint32_t>(ok);
    return ok;
}

int INIT_SCR::NextLine(char* text) {
    char line[kLineSize];
    if (CodeFileReadOneLine(m_pAdvData->m_pScriptFile, line, sizeof(line)) == -1)
        return 0;
    if (KUDecodeOneLine(line, kLineSize, text) != 0) {
        text[0] = '\0';
        return 2;
    }
    return 1;
}

int INIT_SCR::CountFailed(const char* method, const char* text) {
    Log("Error", method, text);
    return 0;
}

int INIT_SCR::InitScrObjCount() {
    if (!Ready("InitScrObjCount"))
        return 0;
    ADV_DATA* adv = m_pAdvData;
    if (!adv->m_pScriptFile)
        return CountFailed("InitScrObjCount", "ファイルがオープンされていません");
    if (fseek(adv->m_pScriptFile, 0, SEEK_SET) != 0)
        return CountFailed("InitScrObjCount", "ファイルのシークに失敗しました");
    uint32_t* counts[kKindCount] = {&adv->m_dwGraphicNum, &adv->m_dwSoundNum, &adv->m_dwTextAreaNum, &adv->m_dwVarNum,
                                    &adv->m_dwObjectNum};
    for (uint32_t* c : counts)
        *c = 0;
    char text[kLineSize];
    for (int r; (r = NextLine(text)) != 0;) {
        if (r != 1)
            continue;
        adv::ScriptToken tokens[3];
        if (adv::SplitScriptLine(text, tokens, 3) < 2 || !adv::ScriptWordEqual(tokens[0], "#CREATE_DATA"))
            continue;
        const int kind = KindOf(tokens[1]);
        if (kind >= 0)
            *counts[kind] += 1;
    }
    if (!feof(adv->m_pScriptFile))
        return CountFailed("InitScrObjCount", "CodeFileReadOneLineでエラーが発生しました");
    Log("Message", "InitScrObjCount", "初期設定ファイルの終端です");
    return 1;
}

namespace {

template <typename T>
void Allocate(T*& array, uint32_t count) {
    delete[] array;
    array = count > 0 ? new T[count] : nullptr;
}

// Kept shown flags start cleared: they are read back before the first release fills them.
void AllocateFlags(int32_t*& flags, uint32_t count) {
    delete[] flags;
    flags = count > 0 ? new int32_t[count]() : nullptr;
}

} // namespace

int INIT_SCR::InitScrMain() {
    if (!Ready("InitScrMain"))
        return 0;
    ADV_DATA* adv = m_pAdvData;
    Allocate(adv->m_pGraphic, adv->m_dwGraphicNum);
    AllocateFlags(adv->m_pGraphicShown, adv->m_dwGraphicNum);
    Allocate(adv->m_pSound, adv->m_dwSoundNum);
    Allocate(adv->m_pVar, adv->m_dwVarNum);
    Allocate(adv->m_pTextArea, adv->m_dwTextAreaNum);
    Allocate(adv->m_pObject, adv->m_dwObjectNum);
    AllocateFlags(adv->m_pObjectShown, adv->m_dwObjectNum);
    adv->m_dwDrawOrderNum = adv->m_dwGraphicNum + adv->m_dwTextAreaNum + adv->m_dwObjectNum;
    Allocate(adv->m_pDrawOrder, adv->m_dwDrawOrderNum);

    if (!adv->m_pScriptFile)
        return CountFailed("InitScrMain", "ファイルがオープンされていません");
    if (fseek(adv->m_pScriptFile, 0, SEEK_SET) != 0)
        return CountFailed("InitScrMain", "ファイルのシークに失敗しました");
    int lineNo = 0;
    char text[kLineSize];
    for (int r; ++lineNo, (r = NextLine(text)) != 0;) {
        if (r != 1)
            continue;
        const int result = InitScrExe(text);
        if (result == -1) {
            ShowLineBox(lineNo, "%d行目でエラーが発生しました", "Error");
            Log("Error", "InitScrMain", "呼び出したINIT_SCR::InitScrExeが失敗しました");
            return 0;
        }
        if (result == 1) {
            ShowLineBox(lineNo, "%d行目で警告が発生しました", "Warning");
            Log("Warn", "InitScrMain", "呼び出したINIT_SCR::InitScrExeで警告を発しています");
        }
    }
    if (!feof(adv->m_pScriptFile))
        return CountFailed("InitScrMain", "CodeFileReadOneLineでエラーが発生しました");
    Log("Message", "InitScrMain", "INITファイルの終端です");
    return 1;
}

int INIT_SCR::InitScrExe(const char* line) {
    if (!m_pKUSys) {
        plat::DebugOut("Error: <INIT_SCR::InitScrExe> KUSYSTEMクラスポインタが不正です\n");
        return -1;
    }
    if (!m_pAdvData) {
        Log("Error", "InitScrExe", "アドベンチャーデータが確保されていません");
        return -1;
    }
    m_Command.Clear();
    adv::ScriptToken tokens[kTokenCount];
    adv::SplitScriptLine(line ? line : "", tokens, kTokenCount);
    m_Command.SetData(tokens[0], tokens + 1, kTokenCount - 1, 0);
    const char* command = m_Command.m_szCommand;
    if (command[0] == '\0' || (command[0] == '/' && command[1] == '/'))
        return 0;
    struct Row {
        const char* word;
        int (INIT_SCR::*handler)();
        const char* failure;
    };
    static constexpr Row kRows[] = {
        {"#CREATE_DATA", &INIT_SCR::CreateDataProc, "#CREATE_DATAの実行に失敗しました"},
        {"#FIRST_EXE_SCR", &INIT_SCR::FirstExeScrProc, "#FIRST_EXE_SCRの実行に失敗しました"},
        {"#CHARA_SET_FACE", &INIT_SCR::CharaSetFaceProc, "#CHARA_SET_FACEの実行に失敗しました"},
        {"#CHARA_SET_BODY", &INIT_SCR::CharaSetBodyProc, "#CHARA_SET_BODYの実行に失敗しました"},
        {"#CHARA_SET_EYE", &INIT_SCR::CharaSetEyeProc, "#CHARA_SET_EYEの実行に失敗しました"},
    };
    for (const Row& row : kRows) {
        if (!adv::ScriptWordEqual(command, row.word))
            continue;
        const int result = (this->*row.handler)();
        if (result == -1)
            Log("Error", "InitScrExe", row.failure);
        return result;
    }
    return 0;
}

int INIT_SCR::CreateDataProc() {
    if (!Ready("CreateDataProc"))
        return -1;
    ADV_DATA* adv = m_pAdvData;
    const char* kindWord = m_Command.m_szArg[0];
    const char* id = m_Command.m_szArg[1];
    const int kind = KindOf(kindWord);
    if (kind < 0) {
        if (adv::ScriptWordEqual(kindWord, "CHARACTER"))
            return 0;
        Log("Error", "CreateDataProc", "定義されていない識別子です");
        return -1;
    }
    // An ID that does not fit its field could never be found again.
    if (id[0] == '\0' || strlen(id) >= static_cast<size_t>(kIDSize)) {
        Log("Error", "CreateDataProc", "ID名が不正です");
        return -1;
    }
    // The walk stops at the first item without an ID; every earlier item
    // with the same ID is a duplicate (the first one stays the one found).
    bool duplicate = false;
    auto freeItem = [&](auto* items, uint32_t count, auto idOf) -> int {
        for (uint32_t i = 0; items && i < count; ++i) {
            const char* existing = idOf(items[i]);
            if (existing[0] == '\0')
                return static_cast<int>(i);
            if (adv::ScriptWordEqual(existing, id)) {
                Log("Warn", "CreateDataProc", kDuplicateWarnings[kind]);
                duplicate = true;
            }
        }
        return -1;
    };
    int index = -1;
    switch (kind) {
        case kGraphic:
            index = freeItem(adv->m_pGraphic, adv->m_dwGraphicNum, [](const GRAPHIC_DATA& g) { return g.m_szID; });
            break;
        case kSound:
            index = freeItem(adv->m_pSound, adv->m_dwSoundNum, [](const SOUND_DATA& s) { return s.m_szID; });
            break;
        case kTextArea:
            index = freeItem(adv->m_pTextArea, adv->m_dwTextAreaNum, [](const TEXTAREA_DATA& t) { return t.m_szID; });
            break;
        case kVar: index = freeItem(adv->m_pVar, adv->m_dwVarNum, [](const VAR_DATA& v) { return v.GetName(); }); break;
        default:
            index = freeItem(adv->m_pObject, adv->m_dwObjectNum, [](const OBJECT_DATA& o) { return o.m_szID; });
            break;
    }
    if (index < 0) {
        Log("Error", "CreateDataProc", "空き領域が見つかりませんでした");
        return -1;
    }
    switch (kind) {
        case kGraphic: adv->m_pGraphic[index].Initialize(m_pKUSprite, m_pKUSys, id); break;
        case kSound: adv->m_pSound[index].Initialize(m_pKUSnd, m_pKUSys, id); break;
        case kTextArea: adv->m_pTextArea[index].Initialize(m_pKUSprite, m_pKUSys, id); break;
        case kVar: adv->m_pVar[index].SetName(id); break;
        default: adv->m_pObject[index].Initialize(m_pKUSprite, m_pKUSnd, m_pKUSys, id); break;
    }
    return duplicate ? 1 : 0;
}

int INIT_SCR::FirstExeScrProc() {
    if (!Ready("FirstExeScrProc"))
        return -1;
    const char* file = m_Command.m_szArg[0];
    // A name cut to fit would open some other script.
    if (file[0] == '\0' || strlen(file) >= sizeof(m_pAdvData->m_szScriptName)) {
        Log("Error", "FirstExeScrProc", "指定スクリプトファイルパスが不正です");
        return -1;
    }
    game::CopyFixed(m_pAdvData->m_szScriptName, file);
    return 0;
}
