#pragma once
// Benchmarks that read the built sample game run in a scratch folder whose
// dat/ is the game's, so that what the engine extracts lands in the scratch
// tmp/. Entered once per process; false when the game is not built.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

inline bool EnterGameFolder() {
    static int entered = -1;
    if (entered >= 0)
        return entered == 1;
    entered = 0;
    const std::string dat = std::string(KU_GAME_DIR) + "/dat";
    if (access((dat + "/Img.dat").c_str(), R_OK) != 0)
        return false;
    char scratch[] = "/tmp/ku_bench.XXXXXX";
    if (!mkdtemp(scratch) || chdir(scratch) != 0 || symlink(dat.c_str(), "dat") != 0 || mkdir("tmp", 0755) != 0)
        return false;
    entered = 1;
    return true;
}
