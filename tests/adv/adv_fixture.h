#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "adv/adv_data.h"
#include "game/game_global_data.h"
#include "game/var_data.h"
#include "tests/modes/mode_harness.h"
#include "tests/support/test_env.h"
#include "tools/archive_writer.h"
#include "tools/script_writer.h"

// Plays scenario scripts packed into dat/Scenario.dat of a temporary folder,
// frame by frame on the fake clock. Scripts are given as lines without line
// ends; each becomes a CR LF line of the scrambled member.
class AdvTest : public ::testing::Test {
protected:
    // A renderer without a window, so the windows find their slots.
    void SetUp() override {
        ASSERT_EQ(h.sprite.Initialize(&h.sys, reinterpret_cast<plat::WindowHandle>(&token), &token, 800, 600, 32, 0),
                  1);
        ASSERT_EQ(h.sprite.CreateGraphicDataBuffer(84), 1);
        ASSERT_EQ(h.sprite.CreateTextureTextBuffer(71), 1);
    }
    void TearDown() override {
        adv.Clear();
        h.sprite.Release();
    }

    using Script = std::pair<std::string, std::vector<std::string>>;

    static std::string Plain(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& l : lines)
            text += l + "\r\n";
        return text;
    }

    // Start declares the items itself: an empty initialisation script will do.
    static ArchiveMember EmptyInit() { return {"Init.spt", "", ScrambleScript(Plain({"// none"}))}; }

    void Pack(const std::vector<Script>& scripts) {
        std::vector<ArchiveMember> members;
        bool init = false;
        for (const Script& s : scripts) {
            members.push_back({s.first, "", ScrambleScript(Plain(s.second))});
            init = init || s.first == "Init.spt";
        }
        if (!init)
            members.push_back(EmptyInit());
        std::filesystem::create_directories("dat");
        std::filesystem::create_directories("tmp");
        std::string error;
        ASSERT_TRUE(WriteArchive("dat/Scenario.dat", members, false, &error)) << error;
    }

    // Starts play on `first` with the variables declared, as the
    // initialisation script would.
    void Start(const char* first, const std::vector<std::string>& vars = {"v", "w", "r"}) {
        ASSERT_EQ(adv.Initialize("Init.spt", &h.sys, &h.sprite, &h.snd, &global), 1);
        adv.m_dwVarNum = static_cast<uint32_t>(vars.size());
        adv.m_pVar = vars.empty() ? nullptr : new VAR_DATA[vars.size()];
        for (size_t i = 0; i < vars.size(); ++i)
            adv.m_pVar[i].SetName(vars[i].c_str());
        snprintf(adv.m_szScriptName, sizeof(adv.m_szScriptName), "%s", first);
        ASSERT_EQ(adv.m_MainScr.Initialize(&adv, &h.sys, &h.sprite, &h.snd), 1);
        log.Clear();
    }

    void Play(const std::vector<std::string>& lines, const std::vector<std::string>& vars = {"v", "w", "r"}) {
        Pack({{"s.spt", lines}});
        Start("s.spt", vars);
    }

    int Frame(uint32_t ms = 16) {
        h.Frame(ms);
        return adv.MainProc();
    }
    // Frames until MainProc reports something other than "go on".
    int RunToResult(int maxFrames = 200) {
        for (int i = 0; i < maxFrames; ++i)
            if (int r = Frame())
                return r;
        return 0;
    }

    int32_t Var(const char* id) {
        int i = adv.IDSearch(ADV_DATA::kKindVar, id);
        return i >= 0 ? adv.m_pVar[i].GetValue() : -99999;
    }
    const AUTOSKIP_FILE_DATA* Record(const char* file) {
        for (int i = 0; i < GAME_GLOBAL_DATA::kAutoSkipCount; ++i)
            if (std::string(global.m_pAutoSkip[i].m_szFile) == file)
                return &global.m_pAutoSkip[i];
        return nullptr;
    }

    int token = 0;
    kutest::TempDir dir;
    kutest::DebugCapture log;
    ModeHarness h;
    GAME_GLOBAL_DATA global;
    ADV_DATA adv;
};
