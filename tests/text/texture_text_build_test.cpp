#include <string>

#include "platform/gdi_font.h"
#include "tests/text/renderer_fixture.h"

namespace {

TEST(KutextgraphicRules, TextLengthSideAlphaAndStyleBits) {
    uint32_t n = 0, chars = 0;
    EXPECT_FALSE(KUTEXTGRAPHIC::ValidateText("", &n, &chars));
    EXPECT_FALSE(KUTEXTGRAPHIC::ValidateText("a", &n, &chars));
    EXPECT_FALSE(KUTEXTGRAPHIC::ValidateText("あ\nあa", &n, &chars));
    ASSERT_TRUE(KUTEXTGRAPHIC::ValidateText("\n\n", &n, &chars));
    EXPECT_EQ(chars, 0u);
    ASSERT_TRUE(KUTEXTGRAPHIC::ValidateText("あい\nう", &n, &chars));
    EXPECT_EQ(n, 7u);
    EXPECT_EQ(chars, 3u);
    std::string full;
    for (int i = 0; i < 256; ++i)
        full += "あ";
    EXPECT_TRUE(KUTEXTGRAPHIC::ValidateText(full.c_str(), &n, &chars));
    EXPECT_EQ(chars, 256u);
    EXPECT_FALSE(KUTEXTGRAPHIC::ValidateText((full + "\n").c_str(), &n, &chars));

    EXPECT_EQ(KUTEXTGRAPHIC::TextureSizeFor(1), 2u);
    EXPECT_EQ(KUTEXTGRAPHIC::TextureSizeFor(2), 2u);
    EXPECT_EQ(KUTEXTGRAPHIC::TextureSizeFor(3), 4u);
    EXPECT_EQ(KUTEXTGRAPHIC::TextureSizeFor(16), 16u);
    EXPECT_EQ(KUTEXTGRAPHIC::TextureSizeFor(129), 256u);
    EXPECT_EQ(KUTEXTGRAPHIC::TextureSizeFor(256), 256u);
    EXPECT_EQ(KUTEXTGRAPHIC::TextureSizeFor(257), 0u);

    const uint32_t level1[] = {0, 51, 102, 153, 255};
    for (uint32_t v = 0; v <= 4; ++v)
        EXPECT_EQ(KUTEXTGRAPHIC::GlyphAlpha(1, v), level1[v]);
    for (uint32_t v = 0; v < 16; ++v)
        EXPECT_EQ(KUTEXTGRAPHIC::GlyphAlpha(2, v), 15 * v);
    EXPECT_EQ(KUTEXTGRAPHIC::GlyphAlpha(2, 16), 255u);
    for (uint32_t v = 0; v < 64; ++v)
        EXPECT_EQ(KUTEXTGRAPHIC::GlyphAlpha(4, v), v * 255 / 65);
    EXPECT_EQ(KUTEXTGRAPHIC::GlyphAlpha(4, 64), 255u);

    EXPECT_EQ(KUTEXTGRAPHIC::Escapement(8 | 16), 30);
    EXPECT_EQ(KUTEXTGRAPHIC::Escapement(8192), 330);
    EXPECT_EQ(KUTEXTGRAPHIC::Escapement(1 | 2 | 4), 0);
    EXPECT_EQ(KUTEXTGRAPHIC::Orientation(16384 | 8), 30);
    EXPECT_EQ(KUTEXTGRAPHIC::Orientation(16777216), 330);
}

using TextureTextBuild = RendererTest;

TEST_F(TextureTextBuild, RefusalsAndTheirMessages) {
    KUTEXTGRAPHIC slot;
    EXPECT_EQ(slot.Initialize(nullptr, sprite.get(), sizeof(KUSPRITE2), "あ", 16, 400, 4, 17, 0), 0);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::Initialize> KUSYSTEMクラスポインタが不正です\n"));
    EXPECT_EQ(slot.Initialize(&sys, sprite.get(), sizeof(KUSPRITE2) - 4, "あ", 16, 400, 4, 17, 0), 1);
    EXPECT_TRUE(log.Contains("Error: <KUTEXTGRAPHIC::Initialize> KUSPRITE2のサイズではありません\n"));
    EXPECT_EQ(slot.Initialize(&sys, nullptr, sizeof(KUSPRITE2), "あ", 16, 400, 4, 17, 0), 1);
    EXPECT_TRUE(log.Contains("Error: <KUTEXTGRAPHIC::Initialize> 引数のKUSPRITE2ポインタが不正です\n"));

    log.Clear();
    EXPECT_EQ(sprite->SetTextureTextData(0, "a", 16, 400, 4, 17, 0), 1);
    EXPECT_TRUE(log.Contains("Error: <KUTEXTGRAPHIC::Initialize> 文字列の長さが不正です\n"));
    EXPECT_EQ(sprite->SetTextureTextData(0, nullptr, 16, 400, 4, 17, 0), 1);
    EXPECT_TRUE(log.Contains("Error: <KUTEXTGRAPHIC::Initialize> 文字が不正です\n"));
    log.Clear();
    EXPECT_EQ(sprite->SetTextureTextData(0, "あ", 0, 400, 4, 17, 0), 1);
    EXPECT_EQ(sprite->SetTextureTextData(0, "あ", 257, 400, 4, 17, 0), 1);
    EXPECT_EQ(log.lines().size(), 2u);
    EXPECT_TRUE(log.Contains("Error: <KUTEXTGRAPHIC::Initialize> フォントサイズが不正です\n"));
    EXPECT_EQ(sprite->GetTextureTextSlot(0)->builtCount(), 0u);

    log.Clear();
    EXPECT_EQ(sprite->SetTextureTextData(71, "あ", 16, 400, 4, 17, 0), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::SetTextureTextData> 指定インデックスが確保数を上回っています\n"));
    sprite->ReleaseTextureTextData(71);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::ReleaseTextureTextData> 指定インデックスが確保数を上回っています\n"));
    // Restores are bounded even though callers loop correctly.
    EXPECT_EQ(sprite->D3DXRestoreTextureText(71), 1);
    EXPECT_EQ(sprite->D3DXRestoreTextureText(0xFFFFFFFFu), 1);

    KUSPRITE2 cold;
    log.Clear();
    EXPECT_EQ(cold.CreateTextureTextBuffer(4), 0);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::CreateGraphicDataBuffer> 初期化されていません\n"));
    EXPECT_EQ(cold.SetTextureTextData(0, "あ", 16, 400, 4, 17, 0), 1);
    EXPECT_TRUE(
        log.Contains("Error: <KUSPRITE2::SetTextureTextData> テクスチャテキストバッファが確保されていません\n"));
    EXPECT_EQ(sprite->CreateTextureTextBuffer(0), 0);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::CreateGraphicDataBuffer> 引数のバッファ数が不正です\n"));
}

// Each slot operation checks the table in the same order, under its own tag.
TEST_F(TextureTextBuild, TableChecksOfEverySlotOperation) {
    const uint32_t level = 2;
    const KURECT area{0, 0, 100, 100};
    auto everyOperation = [&](uint32_t slot) {
        log.Clear();
        EXPECT_EQ(sprite->SetTextureTextData(slot, "あ", 16, 400, 4, 17, 0), 1);
        EXPECT_EQ(sprite->SetTextureTextData(slot, nullptr, nullptr, nullptr, &level, nullptr, nullptr), 1);
        sprite->ReleaseTextureTextData(slot);
        EXPECT_EQ(sprite->D3DXDrawTextureText(slot, &area, 0xFFFFFFFFu, -1.0f, 0, 0, 0, 1, 1), 1);
    };
    Begin();
    sprite->ReleaseTextureTextBuffer();
    everyOperation(0);
    EXPECT_EQ(log.lines().size(), 4u) << log.all();
    EXPECT_TRUE(
        log.Contains("Error: <KUSPRITE2::SetTextureTextData> テクスチャテキストバッファが確保されていません\n"));
    EXPECT_TRUE(
        log.Contains("Error: <KUSPRITE2::ReleaseTextureTextData> テクスチャテキストバッファが確保されていません\n"));
    EXPECT_TRUE(
        log.Contains("Error: <KUSPRITE2::D3DDrawTextureText> テクスチャテキストバッファが確保されていません\n"));

    // A table whose allocation failed: the flag is set but every slot reports the loss (the release in silence).
    EXPECT_EQ(sprite->CreateTextureTextBuffer(1u << 20), 0);
    everyOperation(5);
    EXPECT_EQ(log.lines().size(), 3u) << log.all();
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::SetTextureTextData> テキスト用グラフィックデータが失われています\n"));
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::D3DDrawTextureText> テキスト用グラフィックデータが失われています\n"));
    EXPECT_EQ(sprite->D3DXRestoreTextureText(5), 1);
}

TEST_F(TextureTextBuild, SizesLineFeedsAndTheFullBuffer) {
    REQUIRE_FONT();
    EXPECT_EQ(sprite->SetTextureTextData(0, "\n\n", 16, 400, 4, 17, 0), 0);
    EXPECT_EQ(sprite->GetTextureTextSlot(0)->charNum(), 0u);
    EXPECT_EQ(sprite->GetTextureTextSlot(0)->builtCount(), 0u);
    const uint32_t heights[] = {1, 2, 3, 256};
    const uint32_t sides[] = {2, 2, 4, 256};
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(sprite->SetTextureTextData(1, "あい", heights[i], 400, 4, 17, 0), 0);
        const KUTEXTGRAPHIC* t = sprite->GetTextureTextSlot(1);
        EXPECT_EQ(t->textureSize(), sides[i]);
        ASSERT_TRUE(t->texture(1));
        EXPECT_EQ(t->texture(1)->width, static_cast<int>(sides[i]));
    }
    // 512 bytes exactly: stored with its length, no terminator needed.
    std::string full;
    for (int i = 0; i < 255; ++i)
        full += "あ";
    full += "ん";
    ASSERT_EQ(full.size(), 512u);
    ASSERT_EQ(sprite->SetTextureTextData(2, full.c_str(), 12, 400, 4, 17, 0), 0);
    const KUTEXTGRAPHIC* t = sprite->GetTextureTextSlot(2);
    EXPECT_EQ(t->textLength(), 512u);
    EXPECT_EQ(std::string(t->text(), t->textLength()), full);
    EXPECT_EQ(t->CharOffset(255), 510u);
    // Rebuilding from the stored text after a loss reads no further than the field.
    EXPECT_EQ(sprite->D3DXRestoreTextureText(2), 0);
    EXPECT_TRUE(log.lines().empty()) << log.all();
}

// Reference texels of one character through the glyph layer directly.
void ExpectGlyphTexels(const plat::Surface& tex, uint16_t code, int height, uint32_t level) {
    plat::FontSpec spec;
    spec.height = height;
    spec.faceName = "ＭＳ ゴシック";
    auto font = plat::GdiFont::Create(spec);
    ASSERT_TRUE(font);
    const auto fmt = level == 1   ? plat::GlyphFormat::kGray2
                     : level == 2 ? plat::GlyphFormat::kGray4
                                  : plat::GlyphFormat::kGray8;
    const plat::GlyphBitmap* g = font->GetGlyph(code, fmt);
    ASSERT_TRUE(g);
    const int top = font->metrics().ascent - g->originY;
    int inside = 0;
    for (int y = 0; y < tex.height; ++y) {
        for (int x = 0; x < tex.width; ++x) {
            const int gx = x - g->originX, gy = y - top;
            const uint32_t texel = tex.Row(y)[x];
            if (gx >= 0 && gy >= 0 && gx < g->width && gy < g->height) {
                ++inside;
                EXPECT_EQ(texel, KUTEXTGRAPHIC::GlyphAlpha(level, g->At(gx, gy)) << 24 | 0xFFFFFFu) << x << "," << y;
            } else {
                EXPECT_EQ(texel, 0u) << "outside the black box at " << x << "," << y;
            }
        }
    }
    EXPECT_GT(inside, 100);
}

TEST_F(TextureTextBuild, GlyphTexelsAtEachLevelOnlyInsideTheBlackBox) {
    REQUIRE_FONT();
    for (uint32_t level : {1u, 2u, 4u}) {
        ASSERT_EQ(sprite->SetTextureTextData(0, "あ", 16, 400, level, 17, 0), 0);
        const plat::Surface* tex = sprite->GetTextureTextSlot(0)->texture(0);
        ASSERT_TRUE(tex);
        ExpectGlyphTexels(*tex, 0x82A0, 16, level);
    }
    // Level 0: one-bit glyph, lit texels opaque white, the rest keyed black.
    ASSERT_EQ(sprite->SetTextureTextData(0, "あ", 16, 400, 0, 17, 0), 0);
    const plat::Surface* tex = sprite->GetTextureTextSlot(0)->texture(0);
    int lit = 0;
    for (uint32_t p : tex->pixels) {
        EXPECT_TRUE(p == 0 || p == 0xFFFFFFFFu);
        lit += p != 0;
    }
    EXPECT_GT(lit, 20);
    EXPECT_TRUE(tex->hasColorKey);
    EXPECT_EQ(tex->colorKey & 0xFFFFFF, 0u);
    EXPECT_TRUE(log.lines().empty()) << log.all();
}

TEST_F(TextureTextBuild, BlankCharactersStrayPairsAndClipping) {
    REQUIRE_FONT();
    // "　" has no outline: transparent, no message. "AB" is no character: logged, transparent, the build goes on.
    ASSERT_EQ(sprite->SetTextureTextData(0, "　ABあ", 16, 400, 4, 17, 0), 0);
    const KUTEXTGRAPHIC* t = sprite->GetTextureTextSlot(0);
    ASSERT_EQ(t->charNum(), 3u);
    EXPECT_EQ(kutext::FindInk(*t->texture(0), 0).count, 0);
    EXPECT_EQ(kutext::FindInk(*t->texture(1), 0).count, 0);
    EXPECT_GT(kutext::FindInk(*t->texture(2), 0).count, 50);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(
        log.lines()[0].find("Error: <KUTEXTGRAPHIC::CreateTextureData> テキストアウトライン情報の取得に失敗しました\n"),
        std::string::npos);
    EXPECT_TRUE(t->created());

    // Italic, rotated and descending glyphs reach past the texture: clipped (ASan watches the writes).
    const uint32_t styles[] = {1, 32, 1 | 2 | 4 | 8192, 1u << 20};
    for (uint32_t style : styles) {
        for (uint32_t level : {0u, 1u, 4u}) {
            ASSERT_EQ(sprite->SetTextureTextData(3, "ｇｊ＿漢", 16, 700, level, 17, style), 0) << style;
            EXPECT_GT(kutext::FindInk(*sprite->GetTextureTextSlot(3)->texture(3), 0).count, 0);
        }
    }
    ASSERT_EQ(sprite->SetTextureTextData(3, "漢", 3, 400, 4, 17, 1), 0);
}

} // namespace
