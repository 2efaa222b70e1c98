#include "tests/text/renderer_fixture.h"

namespace {

using TextureTextRebuild = RendererTest;

TEST_F(TextureTextRebuild, FormatFallbackAndTotalRefusal) {
    REQUIRE_FONT();
    // A device without 32-bit textures: the next format is asked for and kept for later characters.
    std::vector<KUTextureFormat> asked;
    SetTextureCreateHook([&](KUTextureFormat* f, uint32_t*, uint32_t*) -> int32_t {
        asked.push_back(*f);
        return *f == KUTextureFormat::kA8R8G8B8 ? plat::kVideoErrInvalidParams : 0;
    });
    ASSERT_EQ(sprite->SetTextureTextData(0, "あい", 16, 400, 4, 17, 0), 0);
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[1], KUTextureFormat::kA4R4G4B4);
    EXPECT_EQ(asked[2], KUTextureFormat::kA4R4G4B4);
    EXPECT_TRUE(log.Contains("Error: <KUTEXTGRAPHIC::CreateTextureData> A8R8G8B8でのテクスチャの作成に失敗しました\n"));
    bool partial = false;
    for (uint32_t p : sprite->GetTextureTextSlot(0)->texture(0)->pixels) {
        EXPECT_EQ((p >> 24) % 17, 0u); // four alpha bits
        partial |= (p >> 24) != 0 && (p >> 24) != 255;
    }
    EXPECT_TRUE(partial);

    // Every format refused: the device's code comes back and the slot is never rebuilt.
    log.Clear();
    SetTextureCreateHook([](KUTextureFormat*, uint32_t*, uint32_t*) { return plat::kVideoErrOutOfMemory; });
    EXPECT_EQ(sprite->SetTextureTextData(1, "あい", 16, 400, 4, 17, 0), plat::kVideoErrOutOfMemory);
    for (const char* f : {"A8R8G8B8", "A4R4G4B4", "A1R5G5B5", "R5G6B5"}) {
        EXPECT_TRUE(log.Contains(std::string("Error: <KUTEXTGRAPHIC::CreateTextureData> ") + f +
                                 "でのテクスチャの作成に失敗しました\n"));
    }
    EXPECT_TRUE(log.Contains("Error: <KUTEXTGRAPHIC::Initialize> テクスチャ作成に失敗しました\n"));
    EXPECT_TRUE(
        log.Contains("Error: <KUSPRITE2::SetTextureTextData> テクスチャテキストデータの初期化に失敗しました\n"));
    SetTextureCreateHook(nullptr);
    log.Clear();
    EXPECT_EQ(sprite->D3DXRestoreTextureText(1), 0);
    EXPECT_EQ(sprite->GetTextureTextSlot(1)->texture(0), nullptr);
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(sprite->D3DXRestoreTextureText(5), 0); // never built
}

TEST_F(TextureTextRebuild, FieldChangesWaitForTheRestore) {
    REQUIRE_FONT();
    ASSERT_EQ(sprite->SetTextureTextData(0, "あ", 16, 400, 4, 17, 0), 0);
    const plat::Surface* before = sprite->GetTextureTextSlot(0)->texture(0);
    const std::vector<uint32_t> level4 = before->pixels;
    const uint32_t one = 1;
    EXPECT_EQ(sprite->SetTextureTextData(0, nullptr, nullptr, nullptr, &one, nullptr, nullptr), 0);
    EXPECT_EQ(sprite->GetTextureTextSlot(0)->antiAlias(), 1u);
    EXPECT_EQ(sprite->GetTextureTextSlot(0)->texture(0)->pixels, level4);
    sprite->RestoreAllTextureText();
    const plat::Surface* after = sprite->GetTextureTextSlot(0)->texture(0);
    EXPECT_NE(after->pixels, level4);
    for (uint32_t p : after->pixels) {
        const uint32_t a = p >> 24;
        EXPECT_TRUE(a == 0 || a == 51 || a == 102 || a == 153 || a == 255) << a;
    }
    // A refused height keeps the text stored just before it.
    const uint32_t bad = 300;
    log.Clear();
    EXPECT_EQ(sprite->SetTextureTextData(0, "いう", &bad, nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_TRUE(log.Contains("Error: <KUTEXTGRAPHIC::Initialize> フォントサイズが不正です\n"));
    EXPECT_EQ(sprite->GetTextureTextSlot(0)->charNum(), 2u);
    EXPECT_EQ(sprite->GetTextureTextSlot(0)->fontSize(), 16u);
    // Drawing the longer text before the restore reads no texture past the old build's count.
    Begin();
    log.Clear();
    const KURECT area{0, 0, 800, 600};
    EXPECT_EQ(sprite->D3DXDrawTextureText(0, &area, 0xFFFFFFFFu, -1.0f, 0, 0, 0, 1, 1), 1);
    EXPECT_EQ(quads.size(), 1u);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::D3DXDrawTextureText> テクスチャデータが確保されていません\n"));
    ASSERT_EQ(sprite->D3DXDrawEnd(), 0);
    EXPECT_EQ(sprite->SetTextureTextData(0, "うa", nullptr, nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_TRUE(log.Contains("Error: <KUTEXTGRAPHIC::Initialize> 文字列の長さが不正です\n"));
    // The restore rebuilds from the new fields, with as many textures as characters.
    EXPECT_EQ(sprite->D3DXRestoreTextureText(0), 0);
    EXPECT_EQ(sprite->GetTextureTextSlot(0)->builtCount(), 2u);

    // After a device loss the contents are gone until the restore.
    sprite->GetVideoDevice()->SimulateSurfaceLoss();
    EXPECT_EQ(kutext::FindInk(*sprite->GetTextureTextSlot(0)->texture(1), 0).count, 0);
    sprite->D3DXRestore();
    EXPECT_GT(kutext::FindInk(*sprite->GetTextureTextSlot(0)->texture(1), 0).count, 20);

    sprite->ReleaseTextureTextData(0);
    EXPECT_EQ(sprite->GetTextureTextSlot(0)->charNum(), 0u);
    EXPECT_EQ(sprite->GetTextureTextSlot(0)->created(), 0u);
}

} // namespace
