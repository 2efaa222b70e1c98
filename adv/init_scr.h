#pragma once
#include <cstdint>

#include "game/script_command_data.h"

class ADV_DATA;
class KUSYSTEM;
class KUSPRITE2;
class KUSND;

// Reads the initialisation script twice over the owner's script handle: the
// first pass counts the declarations of each kind, the owner's item arrays
// are then made exactly that large, and the second pass creates the items
// and takes the first scenario script's name. A bad line stops the second
// pass after a message box that names the line; a duplicate ID only warns.
class INIT_SCR {
public:
    static constexpr int kFileSize = 260;
    static constexpr int kLineSize = 1024;
    static constexpr int kIDSize = 100;

    INIT_SCR();
    ~INIT_SCR();
    INIT_SCR(const INIT_SCR&) = delete;
    INIT_SCR& operator=(const INIT_SCR&) = delete;

    void Clear();
    // The whole run: 1 success, 0 failure (logged).
    int Initialize(ADV_DATA* adv, KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, const char* file);
    int InitScrObjCount();
    int InitScrMain();
    // One unscrambled line: 0 done, 1 done with a warning, -1 error.
    int InitScrExe(const char* line);
    int CreateDataProc();
    int FirstExeScrProc();
    int CharaSetFaceProc() { return 0; }
    int CharaSetBodyProc() { return 0; }
    int CharaSetEyeProc() { return 0; }

    uint32_t m_bInit;
    ADV_DATA* m_pAdvData;
    KUSYSTEM* m_pKUSys;
    KUSPRITE2* m_pKUSprite;
    KUSND* m_pKUSnd;
    char m_szFile[kFileSize];
    SCRIPT_COMMAND_DATA m_Command;

private:
    void Log(const char* level, const char* method, const char* text);
    // The system and owner checks every pass makes; false after logging.
    bool Ready(const char* method);
    // Next line of the file, unscrambled into text; 1 a line (header 2), 0 end
    // of file or a read error.
    int NextLine(char* text);
    int CountFailed(const char* method, const char* text);
};
