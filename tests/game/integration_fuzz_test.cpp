// Damaged cross-play data: seeded mutations of a full "sav/sav00.sav" text.
// The reader must fill only its fields, keep each within what the game
// writes, and what it read must write and read back unchanged.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "game/game_global_data.h"
#include "game/integration_data.h"
#include "tests/support/fuzz_mutator.h"
#include "tests/support/test_env.h"

namespace {

std::string Sample() {
    GAME_GLOBAL_DATA d;
    d.SetEpisode(3, 5);
    for (int e = 0; e < GAME_GLOBAL_DATA::kEpisodes; ++e) {
        d.m_dwEventFlag[e] = 0x10u << e;
        for (int s = 0; s < GAME_GLOBAL_DATA::kScenes; ++s)
            d.m_dwCgFlag[e][s][s % 3] = 1u + e * 100u + s;
    }
    d.m_dwCgFlag[6][19][2] = 0x80000001u;
    d.m_dwCharacterFlag = 0x45;
    d.m_pAutoSkip[0].SetData("s01.spt", -1);
    d.m_pAutoSkip[1].SetData("日本語のファイル.spt", 12);
    d.m_pAutoSkip[2].SetData("ep2\\scene3.spt", 99999);
    d.m_pAutoSkip[511].SetData("last.spt", 77);
    return game::FormatIntegrationData(d);
}

void CheckFields(const GAME_GLOBAL_DATA& d, uint64_t seed) {
    ASSERT_GE(d.m_nTopEpisode, 0) << "seed " << seed;
    for (int i = 0; i < GAME_GLOBAL_DATA::kAutoSkipCount; ++i) {
        const AUTOSKIP_FILE_DATA& a = d.m_pAutoSkip[i];
        ASSERT_NE(memchr(a.m_szFile, '\0', sizeof(a.m_szFile)), nullptr) << "seed " << seed;
        if (!a.IsEmpty()) {
            ASSERT_GE(a.m_nLine, -1) << "seed " << seed;
        }
    }
}

TEST(IntegrationDataFuzz, DamagedFilesReadIntoValidFieldsAndRoundTrip) {
    const std::string sample = Sample();
    GAME_GLOBAL_DATA d, e;
    kutest::DebugCapture quiet; // damaged files say so
    for (uint64_t seed = 0; seed < 500; ++seed) {
        d.Clear();
        game::ParseIntegrationData(kutest::Mutate(sample, seed), &d);
        CheckFields(d, seed);
        // What was read is what the next save writes: it must read back the same.
        const std::string once = game::FormatIntegrationData(d);
        e.Clear();
        game::ParseIntegrationData(once, &e);
        ASSERT_EQ(game::FormatIntegrationData(e), once) << "seed " << seed;
    }
}

TEST(IntegrationDataFuzz, NoiseAndEmptyInputReadAsAClearedRecord) {
    GAME_GLOBAL_DATA clear;
    const std::string empty = game::FormatIntegrationData(clear);
    GAME_GLOBAL_DATA d;
    game::ParseIntegrationData(std::string_view(), &d);
    EXPECT_EQ(game::FormatIntegrationData(d), empty);
    kutest::FuzzRng r(7);
    kutest::DebugCapture quiet;
    for (uint64_t n = 0; n < 200; ++n) {
        std::string noise;
        for (size_t k = r.Below(3000); k > 0; --k)
            noise.push_back(static_cast<char>(r.Below(256)));
        d.Clear();
        game::ParseIntegrationData(noise, &d);
        CheckFields(d, n);
    }
}

} // namespace
