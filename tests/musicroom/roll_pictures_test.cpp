#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/test_env.h"
#include "tools/media/song.h"
#include "tools/pictures/staff_roll_pictures.h"

namespace {

uint32_t Get32(const std::string& b, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, &b[at], 4);
    return v;
}

// The sample roll script's lines, each split into its tokens.
std::vector<std::vector<std::string>> ScriptLines() {
    std::ifstream in(kutest::SourceDir() + "/sample/Scenario/StaffRollModeData.txt");
    std::vector<std::vector<std::string>> lines;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream ss(line);
        std::vector<std::string> tokens;
        for (std::string t; ss >> t;)
            tokens.push_back(t);
        if (!tokens.empty() && tokens[0][0] == '#')
            lines.push_back(tokens);
    }
    return lines;
}

// The script cuts exactly the pieces the sheet was drawn with, by their IDs,
// each showing something; the bands are drawn; the backgrounds it names
// are pictures of the screen's width.
TEST(StaffRollPictures, SampleScriptCutsTheSheetsPiecesAndNamesItsBackgrounds) {
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
    std::map<std::string, rollpics::Piece> pieces;
    for (const rollpics::Piece& p : rollpics::StaffRollPieces()) {
        EXPECT_TRUE(drawn(p.left, p.top, p.right, p.bottom)) << p.id;
        pieces[p.id] = p;
    }
    std::set<std::string> cut;
    int backgrounds = 0;
    const std::vector<std::vector<std::string>> lines = ScriptLines();
    ASSERT_FALSE(lines.empty());
    for (const auto& t : lines) {
        if (t[0] == "#OBJ_SET") {
            ASSERT_EQ(t.size(), 8u);
            ASSERT_TRUE(pieces.count(t[1])) << t[1];
            const rollpics::Piece& p = pieces[t[1]];
            EXPECT_EQ(std::stoi(t[2]), p.left) << t[1];
            EXPECT_EQ(std::stoi(t[3]), p.top) << t[1];
            EXPECT_EQ(std::stoi(t[4]), p.right) << t[1];
            EXPECT_EQ(std::stoi(t[5]), p.bottom) << t[1];
            cut.insert(t[1]);
        } else if (t[0] == "#SET_PROC" && (t[1] == "BG_CHANGE" || t[1] == "BG_FADE_IN")) {
            ASSERT_TRUE(pics.count(t[2])) << t[2];
            EXPECT_EQ(Get32(pics[t[2]], 18), 800u);
            ++backgrounds;
        }
    }
    EXPECT_EQ(cut.size(), pieces.size());
    EXPECT_EQ(backgrounds, 2);
}

// The roll as scripted: no line in sight when it starts (the fade-in shows
// none, so one there would pop up), every line risen whole above the bottom
// band by the stop, and at the stop only the last line left, in the middle;
// the roll lasts as long as its tune, which ends with it.
TEST(StaffRollPictures, SampleRollStartsEmptyStopsOnItsLastLineAndLastsItsTune) {
    double speed = 0, stop = 0, waitMs = 0;
    struct Placed {
        std::string id;
        double y, height;
    };
    std::vector<Placed> placed;
    for (const auto& t : ScriptLines()) {
        if (t[0] == "#SCROLL_SPEED_1SEC")
            speed = std::stod(t[1]);
        else if (t[0] == "#OBJ_SET")
            placed.push_back({t[1], std::stod(t[7]), std::stod(t[5]) - std::stod(t[3])});
        else if (t.size() == 5 && t[0] == "#SET_PROC" && t[1] == "STAFF_ROLL_STOP_WAIT_END" && t[3] == "<=")
            waitMs = std::stod(t[2]), stop = std::stod(t[4]);
    }
    ASSERT_LT(speed, 0);
    ASSERT_LT(stop, 0);
    ASSERT_GE(placed.size(), 2u);
    for (const Placed& p : placed) {
        EXPECT_GE(p.y, 576) << p.id; // under the solid rows of the bottom band
        EXPECT_LE(p.y + stop + p.height, 500) << p.id;
    }
    const Placed& last = placed.back();
    EXPECT_NEAR(last.y + stop + last.height / 2, 300, 8);
    for (size_t i = 0; i + 1 < placed.size(); ++i)
        EXPECT_LE(placed[i].y + stop + placed[i].height, 24) << placed[i].id; // under the top band's solid rows
    const double seconds = 1 + stop / speed + waitMs / 1000 + 2; // fade-in, rolling, held, closing fade
    bool found = false;
    for (const music::Song& song : music::SampleSongs())
        if (std::string(song.name) == "BGM14_sh") {
            EXPECT_NEAR(song.endSeconds, seconds, 0.05);
            found = true;
        }
    EXPECT_TRUE(found);
}

} // namespace
