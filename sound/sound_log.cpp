#include "sound/sound_log.h"

#include "engine/kusystem.h"
#include "platform/debug_out.h"

namespace snd {

void LogRaw(KUSYSTEM* sys, const std::string& line) {
    if (sys) {
        sys->TracePrint(line.c_str());
    } else {
        plat::DebugOut(line.c_str());
    }
}

void LogLine(KUSYSTEM* sys, const char* kind, const char* tag, const char* text) {
    std::string line = kind;
    line += ": <";
    line += tag;
    line += "> ";
    line += text;
    line += "\n";
    LogRaw(sys, line);
}

} // namespace snd
