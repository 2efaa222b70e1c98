#include "tests/support/golden_frame.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/gdi_font.h"
#include "tests/support/test_env.h"
#include "tools/pictures/picture_files.h"
#include "tests/support/confinement.h"

namespace kutest {

namespace {

bool Updating() {
    const char* env = std::getenv("KU_UPDATE_GOLDEN");
    return env && std::strcmp(env, "1") == 0;
}

std::string GoldenFolder(const std::string& folder) { return SourceDir() + "/tests/" + folder + "/golden/"; }

} // namespace

bool GoldenFramesComparable(const std::string& folder) {
    const std::string path = GoldenFolder(folder) + "renderer.txt";
    const std::string id = plat::GlyphRendererId();
    if (Updating()) {
        std::ofstream(path) << id << "\n";
        return true;
    }
    std::string recorded;
    std::ifstream in(path);
    std::getline(in, recorded);
    return !id.empty() && recorded == id;
}

std::string CompareGoldenFrame(const std::string& folder, const plat::Surface& frame, const std::string& name) {
    if (!GoldenFramesComparable(folder))
        return "";
    plat::Surface opaque = frame;
    for (uint32_t& p : opaque.pixels)
        p |= 0xFF000000u;
    const std::string bmp = EncodeBmp24(opaque);
    const std::string path = GoldenFolder(folder) + name + ".bmp";
    if (Updating()) {
        std::ofstream(path, std::ios::binary) << bmp;
        return "";
    }
    std::ifstream in(path, std::ios::binary);
    std::stringstream golden;
    golden << in.rdbuf();
    if (golden.str() == bmp)
        return "";
    const WritableBuildFolder writable;
    std::ofstream(BinaryDir() + "/" + name + ".actual.bmp", std::ios::binary) << bmp;
    return name + " differs from its golden frame";
}

} // namespace kutest
