#include "adv/main_scr.h"

#include <cstdarg>
#include <cstring>

#include "adv/adv_data.h"
#include "engine/combine_file.h"
#include "engine/kusystem.h"
#include "game/fixed_string.h"
#include "game/game_global_data.h"
#include "platform/debug_out.h"
#include "platform/files.h"
#include "platform/log_line.h"

namespace {

constexpr const char* kScenarioArchive = "dat/Scenario.dat";
constexpr const char* kWorkFolder = "tmp/";
constexpr int kLogLineSize = 1024;

// The member's name as the archive list spells it (the list read last), so
// that the extracted copy is found on a case-sensitive file system.
const char* ListSpelling(const char* name) {
    for (const COMBINE_FILE_DATA& row : g_CombineFileList) {
        if (row.name[0] == '\0')
            break;
        if (adv::ScriptWordEqual(row.name, name))
            return row.name;
    }
    return name;
}

} // namespace

MAIN_SCR::MAIN_SCR()
    : m_pKUSys(nullptr),
      m_pKUSprite(nullptr),
      m_pKUSnd(nullptr),
      m_pAdvData(nullptr),
      m_pTileRect(nullptr),
      m_pTileTarget(nullptr),
      m_pTileValue(nullptr),
      m_pMosaicCell(nullptr),
      m_pMosaicColor(nullptr) {
    Clear();
}

MAIN_SCR::~MAIN_SCR() { Clear(); }

void MAIN_SCR::Clear() {
    m_bInit = 0;
    m_pKUSys = nullptr;
    m_pKUSprite = nullptr;
    m_pKUSnd = nullptr;
    m_pAdvData = nullptr;
    m_nTileNum = 0;
    delete[] m_pTileRect;
    m_pTileRect = nullptr;
    delete[] m_pTileTarget;
    m_pTileTarget = nullptr;
    delete[] m_pTileValue;
    m_pTileValue = nullptr;
    m_nTransitionSlot = -1;
    // Play can end in the middle of a mosaic: nothing else owns its buffers.
    delete[] m_pMosaicCell;
    m_pMosaicCell = nullptr;
    delete[] m_pMosaicColor;
    m_pMosaicColor = nullptr;
    m_dwMosaicSize = 0;
    m_bMosaicOn = 0;
    m_bMosaicColorReady = 0;
    m_bMosaicCompose = 0;
    m_bMosaicDrawFailed = 0;
    m_bAutoSkipList = 0;
    m_nAutoSkipLine = 0;
    memset(m_szBGMName, 0, sizeof(m_szBGMName));
    m_bBGMFlag = 0;
}

void MAIN_SCR::ErrorPrint(const char* text) {
    if (m_pKUSys)
        m_pKUSys->TracePrint(text);
    else
        plat::DebugOut(text);
}

void MAIN_SCR::ErrorPrintF(const char* format, ...) {
    char line[kLogLineSize];
    va_list ap;
    va_start(ap, format);
    plat::FormatLogLineV(line, sizeof(line), format, ap);
    va_end(ap);
    ErrorPrint(line);
}

void MAIN_SCR::HandlerError(const char* handler, const char* message) {
    ErrorPrintF("Error: <MAIN_SCR::%s> %s\n", handler, message);
}

bool MAIN_SCR::HandlerReady(const char* handler, SCRIPT_COMMAND_DATA* cmd) {
    if (!m_bInit) {
        HandlerError(handler, "初期化されていません");
        return false;
    }
    if (!cmd) {
        HandlerError(handler, "スクリプト命令データポインタが不正です");
        return false;
    }
    return true;
}

void MAIN_SCR::CloseScript() {
    if (m_pAdvData->m_pScriptFile) {
        fclose(m_pAdvData->m_pScriptFile);
        m_pAdvData->m_pScriptFile = nullptr;
    }
}

int MAIN_SCR::OpenScript(const char* tag, const char* name, bool fileChange) {
    const int r = FileDiv(kScenarioArchive, kWorkFolder, name);
    if (r == 0) {
        ErrorPrintF("Error: <MAIN_SCR::%s> %s内に%sが見つかりません\n", tag, kScenarioArchive, name);
        return 0;
    }
    if (r != 1 && r != -3) {
        if (!fileChange)
            HandlerError(tag, "ファイルの複合に失敗しました");
        else if (r == -2)
            HandlerError(tag, "指定ファイルは非結合ファイルです");
        else
            HandlerError(tag, "呼び出したFileDivが失敗しました");
        return 0;
    }
    game::CopyFixed(m_pAdvData->m_szScriptName, ListSpelling(name));
    CloseScript();
    char path[ADV_DATA::kNameSize + 8];
    snprintf(path, sizeof(path), "%s%s", kWorkFolder, m_pAdvData->m_szScriptName);
    m_pAdvData->m_pScriptFile = plat::OpenFile(path, "rb");
    if (!m_pAdvData->m_pScriptFile) {
        // A first script that will not open fails the adventure's start,
        // whichever caller opened it, so it is told as Initialize's failure.
        HandlerError(fileChange ? tag : "Initialize", "ファイルオープンに失敗しました");
        m_pKUSys->RemoveFile(kWorkFolder, m_pAdvData->m_szScriptName, 0);
        return 0;
    }
    return 1;
}

int MAIN_SCR::Initialize(ADV_DATA* owner, KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd) {
    Clear();
    if (!sys) {
        plat::DebugOut("Error: <MAIN_SCR::Initialize> KUSYSTEMクラスポインタが不正です\n");
        return 0;
    }
    m_pKUSys = sys;
    if (!owner) {
        ErrorPrint("Error: <MAIN_SCR::Initialize> ADV_DATAクラスポインタが不正です\n");
        return 0;
    }
    m_pAdvData = owner;
    if (!sprite) {
        ErrorPrint("Error: <MAIN_SCR::Initialize> KUSPRITE2クラスポインタが不正です\n");
        return 0;
    }
    m_pKUSprite = sprite;
    if (!snd) {
        ErrorPrint("Error: <MAIN_SCR::Initialize> KUSNDクラスポインタが不正です\n");
        return 0;
    }
    m_pKUSnd = snd;
    if (owner->m_szScriptName[0] == '\0') {
        ErrorPrint("Error: <MAIN_SCR::Initialize> #FIRST_EXE_SCRが実行されていません\n");
        return 0;
    }
    char name[ADV_DATA::kNameSize];
    game::CopyFixed(name, owner->m_szScriptName);
    if (!OpenScript("Initialize", name, false))
        return 0;
    m_bInit = 1;
    int32_t line = 0;
    m_bAutoSkipList = CheckAutoSkipFileList(owner->m_szScriptName, &line) == 1 ? 1 : 0;
    m_nAutoSkipLine = line;
    return 1;
}

int MAIN_SCR::FadeFunc(int direction, float* value, float target, uint32_t start, uint32_t duration) {
    if (!m_bInit) {
        ErrorPrint("Error: <MAIN_SCR::FadeFunc> 初期化されていません\n");
        return -1;
    }
    if (!value) {
        ErrorPrint("Error: <MAIN_SCR::FadeFunc> フェード値ポインタが不正です\n");
        return -1;
    }
    const uint32_t elapsed = static_cast<uint32_t>(m_pKUSys->GetTime()) - start;
    if (duration == 0) {
        // No time to spread over: done as soon as the clock has moved on.
        if (elapsed == 0) {
            *value = direction ? 0.0f : 1.0f;
            return 0;
        }
        *value = target;
        return 1;
    }
    const float part = static_cast<float>(static_cast<double>(elapsed) / static_cast<double>(duration));
    if (direction) {
        *value = part;
        if (*value < target)
            return 0;
    } else {
        *value = 1.0f - part;
        if (*value > target)
            return 0;
    }
    *value = target;
    return 1;
}

int MAIN_SCR::AddAutoSkipFileList(const char* name, int32_t line) {
    if (!m_bInit) {
        ErrorPrint("Error: <MAIN_SCR::AddAutoSkipFileList> 初期化されていません\n");
        return -1;
    }
    // A nameless record would be taken for the end of the list; a name that
    // does not fit its record could never be matched again.
    if (!name || name[0] == '\0' || strlen(name) >= AUTOSKIP_FILE_DATA::kFileSize)
        return 0;
    GAME_GLOBAL_DATA* global = m_pAdvData->m_pGlobalData;
    if (global && global->m_pAutoSkip) {
        for (int i = 0; i < GAME_GLOBAL_DATA::kAutoSkipCount; ++i) {
            AUTOSKIP_FILE_DATA& rec = global->m_pAutoSkip[i];
            if (adv::ScriptWordEqual(rec.m_szFile, name)) {
                if (rec.m_nLine >= 0 && (line < 0 || line > rec.m_nLine))
                    rec.m_nLine = line < 0 ? -1 : line;
                return 1;
            }
            if (rec.IsEmpty())
                return rec.SetData(name, line);
        }
    }
    ErrorPrint(
        "Warn: <SCR_MAIN::AddAutoSkipFileList> バッファオーバーでオートスキップファイルリストに加えられませんでした\n");
    return 0;
}

int MAIN_SCR::CheckAutoSkipFileList(const char* name, int32_t* line) {
    if (!m_bInit) {
        ErrorPrint("Error: <MAIN_SCR::CheckAutoSkipFileList> 初期化されていません\n");
        return -1;
    }
    if (!name) {
        ErrorPrint("Error: <MAIN_SCR::CheckAutoSkipFileList> 指定スクリプトファイル名が不正です\n");
        return -1;
    }
    if (!line) {
        ErrorPrint("Error: <MAIN_SCR::CheckAutoSkipFileList> 指定行数が不正です\n");
        return -1;
    }
    GAME_GLOBAL_DATA* global = m_pAdvData->m_pGlobalData;
    if (!global || !global->m_pAutoSkip)
        return 0;
    for (int i = 0; i < GAME_GLOBAL_DATA::kAutoSkipCount; ++i) {
        const AUTOSKIP_FILE_DATA& rec = global->m_pAutoSkip[i];
        adv::ScriptToken token;
        if (adv::SplitScriptLine(rec.m_szFile, &token, 1) == 0)
            return 0;
        if (adv::ScriptWordEqual(token, name)) {
            *line = rec.m_nLine;
            return 1;
        }
    }
    return 0;
}

int MAIN_SCR::ScriptFileOpen(const char* name, int32_t line) {
    if (!m_bInit) {
        ErrorPrint("Error: <MAIN_SCR::ScriptFileOpen> 初期化されていません\n");
        return 0;
    }
    if (!name || name[0] == '\0' || strlen(name) >= ADV_DATA::kNameSize) {
        ErrorPrint("Error: <MAIN_SCR::ScriptFileOpen> ファイルパスが不正です\n");
        return 0;
    }
    char copy[ADV_DATA::kNameSize];
    game::CopyFixed(copy, name);
    if (!OpenScript("ScriptFileOpen", copy, false))
        return 0;
    char buffer[kSeekLineSize];
    for (int32_t i = 0; i <= line; ++i)
        if (!fgets(buffer, sizeof(buffer), m_pAdvData->m_pScriptFile))
            break;
    int32_t recorded = 0;
    m_bAutoSkipList = CheckAutoSkipFileList(m_pAdvData->m_szScriptName, &recorded) == 1 ? 1 : 0;
    m_nAutoSkipLine = recorded;
    return 1;
}
