#include "app/game_folder.h"

#include <string>

#include "platform/debug_out.h"
#include "platform/dialog.h"
#include "platform/files.h"

int EnterGameFolder() {
    const char* reason = nullptr;
    if (!plat::EnterProgramFolder())
        reason = "プログラムのフォルダに移動できません";
    else if (!plat::StatFile("dat").isDirectory)
        reason = "プログラムのフォルダにdatフォルダがありません";
    if (!reason)
        return 1;
    plat::DebugOut((std::string("Error: <EnterGameFolder> ") + reason + "\n").c_str());
    plat::MessageBoxOk(nullptr, std::string("初期化に失敗しました\n") + reason, "Error");
    return 0;
}
