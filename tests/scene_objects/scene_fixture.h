#pragma once
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "adv/adv_data.h"
#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "platform/video.h"
#include "sound/kusnd.h"
#include "tests/modes/fake_services.h"
#include "tests/support/test_env.h"
#include "tools/archive_writer.h"

// A started 800 x 600 renderer with the game's slot and text tables, a fake
// clock, a quad recorder and captured log lines; sound and picture services
// are recorded by the fakes.
class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakesvc::Reset();
        clock.clock.Set(10000);
        auto* token = reinterpret_cast<plat::WindowHandle>(&windowToken);
        sys.Initialize(token, 1); // makes tmp/
        sys.UpdateTime();
        ASSERT_EQ(sprite.Initialize(&sys, token, &windowToken, 800, 600, 32, 0), 1);
        ASSERT_EQ(sprite.CreateGraphicDataBuffer(84), 1);
        ASSERT_EQ(sprite.CreateTextureTextBuffer(71), 1);
        sprite.GetVideoDevice()->SetDrawRecorder(&quads);
    }
    void TearDown() override {
        if (sprite.GetVideoDevice())
            sprite.GetVideoDevice()->SetDrawRecorder(nullptr);
        sprite.Release();
    }
    // dat/Img.dat holding the given pictures.
    void Pack(const std::vector<std::pair<std::string, std::string>>& pictures) {
        dir.Write("dat/.keep", "");
        std::vector<ArchiveMember> members;
        members.reserve(pictures.size());
        for (const auto& [name, bytes] : pictures)
            members.push_back(ArchiveMember{name, "", bytes});
        std::string error;
        ASSERT_TRUE(WriteArchive("dat/Img.dat", members, false, &error)) << error;
    }
    // Binds and loads a slot as the game's service would.
    void LoadSlot(uint32_t slot, const char* name) {
        ASSERT_EQ(sprite.SetGraphicData(slot, "tmp/", name, 4, 1), 1);
        ASSERT_EQ(sprite.CreateGraphicData(slot, 0, 0, 0, 0), 1);
    }
    // Moves the clock to t (ms after the start of the test).
    uint32_t At(uint32_t t) {
        clock.clock.Set(10000 + t);
        sys.UpdateTime();
        return static_cast<uint32_t>(sys.GetTime());
    }
    float QuadWidth(size_t i) const { return quads.at(i).v[3].x - quads.at(i).v[1].x; }

    kutest::TempDir dir;
    kutest::FakeClockScope clock;
    kutest::DebugCapture log;
    int windowToken = 0;
    KUSYSTEM sys;
    KUSPRITE2 sprite;
    KUSND snd;
    ADV_DATA adv;
    std::vector<plat::DrawRecord> quads;
};
