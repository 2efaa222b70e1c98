#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/asset_slots.h"
#include "app/env_settings.h"
#include "platform/audio_mixer.h"
#include "platform/audio_output.h"
#include "sound/kusnd.h"
#include "tests/graphics/graphics_util.h"

namespace scenetest {

// A short 8 kHz mono PCM WAV.
inline std::string Wav(int samples = 800) {
    std::string s;
    auto put = [&s](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            s += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    const uint32_t data = static_cast<uint32_t>(samples) * 2;
    s += "RIFF";
    put(36 + data, 4);
    s += "WAVEfmt ";
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(8000, 4);
    put(16000, 4);
    put(2, 2);
    put(16, 2);
    s += "data";
    put(data, 4);
    for (int i = 0; i < samples; ++i)
        put(static_cast<uint32_t>((i % 40) * 400), 2);
    return s;
}

// A started renderer with the game's slot tables, a sound system on the
// manual output with the game's effect slots bound, a fake clock and a quad
// recorder, in a fresh game folder.
class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_bSoundEnable = 1;
        plat::AudioOutputUseManual(true);
        plat::AudioMixer::Get().Reset();
        ASSERT_EQ(f.startResult, 1);
        ASSERT_EQ(f.sprite.CreateGraphicDataBuffer(kGraphicSlotCount), 1);
        ASSERT_EQ(f.sprite.CreateTextureTextBuffer(kTextureTextSlotCount), 1);
        ASSERT_EQ(snd.Initialize(&f.sys, kugfx::FakeWindow(), kugfx::FakeInstance(), 0), 0);
        ASSERT_EQ(snd.DADATAReserve(kSoundSlotCount), 1);
        for (uint32_t s = kFirstBoundSoundSlot; s < kSoundSlotCount; ++s)
            ASSERT_EQ(snd.DASetData(static_cast<int>(s), SoundSlotFile(s), 2), 1);
        f.device()->SetDrawRecorder(&quads);
    }
    void TearDown() override {
        f.device()->SetDrawRecorder(nullptr);
        snd.Release();
        plat::AudioMixer::Get().Reset();
        g_bSoundEnable = 1;
    }
    void Begin() { ASSERT_EQ(f.sprite.D3DXDrawStart(), 0); }
    uint32_t Color(size_t quad) const { return quads.at(quad).v[0].diffuse; }
    // Top-left corner of a recorded quad.
    float MinX(size_t quad) const { return Corner(quad, true); }
    float MinY(size_t quad) const { return Corner(quad, false); }
    float Corner(size_t quad, bool x) const {
        float m = 1e9f;
        for (const plat::TLVertex& v : quads.at(quad).v)
            m = std::min(m, x ? v.x : v.y);
        return m;
    }

    kugfx::RendererFixture f;
    KUSND snd;
    std::vector<plat::DrawRecord> quads;
    kutest::DebugCapture log;
};

} // namespace scenetest
