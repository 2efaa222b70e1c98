#include "engine/combine_file.h"
#include "engine/game_paths.h"
#include "modes/save_slot_parts.h"
#include "platform/sjis.h"

namespace saveslot {

namespace {

bool InScriptArchive(const std::string& name) { return HasCombineMember(kScenarioArchive, name.c_str()) == 1; }

// The script a running command goes on with, or null when it names none:
// the file changes open it at once, the exam when it ends. A name the
// archive does not hold would close the scene's script for nothing.
const std::string* NextScript(const CommandImage& c) {
    if (plat::SjisEqualNoCase(c.command, "#FileChange") || plat::SjisEqualNoCase(c.command, "#FileChange2"))
        return &c.args[0];
    if (plat::SjisEqualNoCase(c.command, "#TestModeIn"))
        return &c.args[3];
    return nullptr;
}

// A choice past its set-up waits on its windows; without them it would
// hold the reader for good.
bool NeedsChoices(const CommandImage& c) {
    return plat::SjisEqualNoCase(c.command, "#SelectWait") ||
           (plat::SjisEqualNoCase(c.command, "#SelectStart") && c.phase != 0);
}

} // namespace

bool StoryCanGoOn(const SlotImage& s) {
    if (!InScriptArchive(s.scriptName))
        return false;
    for (const CommandImage& c : s.commands) {
        const std::string* next = NextScript(c);
        if (next && !InScriptArchive(*next))
            return false;
        if (NeedsChoices(c) && s.choiceCount == 0)
            return false;
    }
    return true;
}

} // namespace saveslot
