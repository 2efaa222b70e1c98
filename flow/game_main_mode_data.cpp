#include "flow/game_main.h"

#include <cstdio>

#include "engine/combine_file.h"
#include "engine/game_paths.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "platform/files.h"

// A game may ship without a staff roll, gallery, music room or demo: such a
// mode is skipped with a warning rather than failing on its first frame,
// which would end the program.
bool GAME_MAIN::ModeDataPresent(const char* script, std::initializer_list<int> slots, const char* goesTo) {
    const char* archive = kScenarioArchive;
    const char* missing = nullptr;
    if (script && HasCombineMember(kScenarioArchive, script) != 1)
        missing = script[0] ? script : "(名前なし)";
    // No picture archive at all fails every mode alike, and is reported where pictures load.
    const bool pictures = m_pKUSprite && m_pKUSprite->IsInitialized() && plat::StatFile(kImageArchive).isRegular;
    for (int slot : slots) {
        if (missing || !pictures)
            break;
        const char* name = m_pKUSprite->GetGraphicDataFileName(static_cast<uint32_t>(slot));
        if (name && name[0] && HasCombineMember(kImageArchive, name) != 1) {
            archive = kImageArchive;
            missing = name;
        }
    }
    if (!missing)
        return true;
    char line[512];
    snprintf(line, sizeof(line), "Warn: <GAME_MAIN::GameMainProc> %s内に%sがありません。%s\n", archive, missing,
             goesTo);
    ErrorPrint(line);
    return false;
}

bool GAME_MAIN::DemoMoviePresent() {
    if (plat::StatFile(kMovieArchive).isRegular)
        return true;
    char line[256];
    snprintf(line, sizeof(line), "Warn: <GAME_MAIN::GameMainProc> %sがありません。タイトルに進みます\n", kMovieArchive);
    ErrorPrint(line);
    return false;
}
