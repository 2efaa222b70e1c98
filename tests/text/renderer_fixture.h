#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "engine/kutextgraphic.h"
#include "engine/kutextgraphic_test_hooks.h"
#include "tests/support/test_env.h"
#include "tests/text/text_test_util.h"

#define REQUIRE_FONT()               \
    if (!kutext::HaveJapaneseFont()) \
    GTEST_SKIP() << "no Japanese font installed"

// A started 800 x 600 renderer with a texture-text table, log capture and a
// quad recorder.
class RendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(
            sprite->Initialize(&sys, reinterpret_cast<plat::WindowHandle>(&windowToken), &windowToken, 800, 600, 32, 0),
            1);
        ASSERT_EQ(sprite->CreateTextureTextBuffer(71), 1);
        sprite->GetVideoDevice()->SetDrawRecorder(&quads);
        log.Clear();
    }
    void TearDown() override {
        SetTextureCreateHook(nullptr);
        if (sprite->GetVideoDevice())
            sprite->GetVideoDevice()->SetDrawRecorder(nullptr);
        sprite->Release();
    }
    // Begins a frame (the back buffer cleared to opaque black).
    void Begin() { ASSERT_EQ(sprite->D3DXDrawStart(), 0); }
    plat::Surface& Back() { return *sprite->GetBackSurface(); }
    uint32_t Alpha(size_t quad, int vertex) const { return quads.at(quad).v[vertex].diffuse >> 24; }

    kutest::TempDir dir;
    kutest::DebugCapture log;
    int windowToken = 0;
    KUSYSTEM sys;
    std::unique_ptr<KUSPRITE2> sprite = std::make_unique<KUSPRITE2>();
    std::vector<plat::DrawRecord> quads;
};
