#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "tests/support/test_env.h"
#include "tools/pictures/staff_roll_pictures.h"

namespace {

uint32_t Get32(const std::string& b, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, &b[at], 4);
    return v;
}

// Every piece the sample staff roll cuts from its sheet lies inside it and
// shows something; every background it names is one of the pictures.
TEST(StaffRollPictures, SampleScriptCutsOnlyDrawnPiecesOfItsSheet) {
    std::map<std::string, std::string> pics;
    for (auto& [name, bytes] : rollpics::StaffRollPictures())
        pics[name] = bytes;
    const std::string& sheet = pics["StaffRollMaterial.dds"];
    ASSERT_EQ(sheet.compare(0, 4, "DDS "), 0);
    const int h = static_cast<int>(Get32(sheet, 12)), w = static_cast<int>(Get32(sheet, 16));
    auto drawn = [&](int l, int t, int r, int b) {
        if (l < 0 || t < 0 || r > w || b > h || l >= r || t >= b)
            return false;
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                if (Get32(sheet, 128 + 4 * (static_cast<size_t>(y) * w + x)) >> 24)
                    return true;
        return false;
    };
    EXPECT_TRUE(drawn(0, 0, 800, 100));
    EXPECT_TRUE(drawn(0, 100, 800, 200));
    std::ifstream in(kutest::SourceDir() + "/sample/Scenario/StaffRollModeData.txt");
    ASSERT_TRUE(in);
    std::string line;
    int pieces = 0, backgrounds = 0;
    while (std::getline(in, line)) {
        std::istringstream ss(line);
        std::string key, a;
        ss >> key;
        if (key == "#OBJ_SET") {
            int l, t, r, b;
            ss >> a >> l >> t >> r >> b;
            EXPECT_TRUE(drawn(l, t, r, b)) << line;
            ++pieces;
        } else if (key == "#SET_PROC" && (ss >> a) && (a == "BG_CHANGE" || a == "BG_FADE_IN")) {
            std::string file;
            ss >> file;
            ASSERT_TRUE(pics.count(file)) << line;
            EXPECT_EQ(Get32(pics[file], 18), 800u);
            ++backgrounds;
        }
    }
    EXPECT_EQ(pieces, 10);
    EXPECT_EQ(backgrounds, 2);
}

} // namespace
