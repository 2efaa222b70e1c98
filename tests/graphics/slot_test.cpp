#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "engine/image_header.h"
#include "platform/sjis.h"
#include "tests/graphics/graphics_util.h"

namespace {

using kugfx::MakeBmp;
using kugfx::MakeDds32;
using kugfx::RendererFixture;

uint32_t Grad(int x, int y) { return 0xFF000000u | (uint32_t(x & 0xFF) << 16) | (uint32_t(y & 0xFF) << 8) | 0x40; }

// Captures standard output while it lives (the header readers print there).
class StdoutCapture {
public:
    StdoutCapture() { testing::internal::CaptureStdout(); }
    std::string Take() { return testing::internal::GetCapturedStdout(); }
};

TEST(ImageHeaderTest, ReadsBmpAndDdsSizes) {
    kutest::TempDir dir;
    dir.Write("a.bmp", MakeBmp(640, 480, Grad));
    dir.Write("b.dds", MakeDds32(64, 32, Grad));
    uint32_t w = 0, h = 0, bpp = 0;
    EXPECT_EQ(GetFileInfoGraphics("a.bmp", &w, &h, &bpp), 1);
    EXPECT_EQ(w, 640u);
    EXPECT_EQ(h, 480u);
    EXPECT_EQ(bpp, 24u);
    EXPECT_EQ(GetFileInfoGraphics("b.dds", &w, &h, nullptr), 2);
    EXPECT_EQ(w, 64u);
    EXPECT_EQ(h, 32u);
}

TEST(ImageHeaderTest, ReadsOs2CoreHeaders) {
    // 12-byte header: 16-bit width, height, planes and depth from byte 18.
    auto os2 = [](uint16_t w, uint16_t h, size_t pixelBytes) {
        std::string b = "BM" + std::string(12, '\0');
        b[10] = 26;
        const uint16_t fields[] = {w, h, 1, 24};
        b += std::string("\x0c\0\0\0", 4);
        b.append(reinterpret_cast<const char*>(fields), sizeof(fields));
        return b + std::string(pixelBytes, '\x7f');
    };
    kutest::TempDir dir;
    dir.Write("wide.bmp", os2(640, 480, 64));
    dir.Write("tiny.bmp", os2(3, 2, 24)); // 50 bytes: shorter than a 40-byte header would need
    uint32_t w = 0, h = 0, bpp = 0;
    EXPECT_EQ(GetFileInfoGraphics("wide.bmp", &w, &h, &bpp), 1);
    EXPECT_EQ(w, 640u);
    EXPECT_EQ(h, 480u);
    EXPECT_EQ(bpp, 24u);
    EXPECT_EQ(GetFileInfoGraphics("tiny.bmp", &w, &h, &bpp), 1);
    EXPECT_EQ(w, 3u);
    EXPECT_EQ(h, 2u);
    KU_BITMAPINFOHEADER info;
    ASSERT_EQ(GetFileInfoBMP("tiny.bmp", &info), 1);
    EXPECT_EQ(info.biSize, 12u);
    EXPECT_EQ(info.biPlanes, 1);
    EXPECT_EQ(info.biCompression, 0u); // pixel bytes past the header are not header fields
    EXPECT_EQ(info.biClrUsed, 0u);
}

TEST(ImageHeaderTest, RefusesBadFilesWithTheirLines) {
    kutest::TempDir dir;
    kutest::DebugCapture log;
    std::string dds = MakeDds32(4, 4, Grad);
    dds[4] = 100; // size field no longer 124
    dir.Write("bad.dds", dds);
    dir.Write("pic.tga", std::string(40, '\0'));
    dir.Write("short.bmp", "BM");
    StdoutCapture out;
    EXPECT_EQ(GetFileInfoGraphics("bad.dds", nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(GetFileInfoGraphics("pic.tga", nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(GetFileInfoGraphics("missing.bmp", nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(GetFileInfoGraphics("short.bmp", nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(GetFileInfoGraphics(nullptr, nullptr, nullptr, nullptr), 0);
    std::string printed = out.Take();
    EXPECT_NE(printed.find("Error: DDSファイルではありません\n"), std::string::npos);
    EXPECT_NE(printed.find("Error: <GetFileInfoGraphics> 読み込みに失敗しました\n"), std::string::npos);
    EXPECT_TRUE(log.Contains(
        "Error: <GetFileInfoGraphics> GetFileInfoDDSでエラーが検出されたのでファイルの検証を中断します\n"));
    EXPECT_TRUE(log.Contains("Error: <GetFileInfoGraphics> 未定義のファイルフォーマットです\n"));
    EXPECT_TRUE(log.Contains("Error: <GetFileInfoGraphics> ファイルが存在しません\n"));
    EXPECT_TRUE(log.Contains("Error: <GetFileInfoGraphics> 引数のファイルパスが無効です\n"));
}

TEST(ImageHeaderTest, AbsurdSizesAreAnUnknownFormat) {
    kutest::TempDir dir;
    kutest::DebugCapture log;
    auto withSize = [](int32_t w, int32_t h) {
        std::string b = MakeBmp(2, 2, Grad);
        std::memcpy(&b[18], &w, 4);
        std::memcpy(&b[22], &h, 4);
        return b;
    };
    dir.Write("zero.bmp", withSize(0, 10));
    dir.Write("topdown.bmp", withSize(10, INT32_MIN));
    dir.Write("huge.bmp", withSize(100000, 100000));
    std::string dds = MakeDds32(2, 2, Grad);
    uint32_t big = 0x7FFFFFFF;
    std::memcpy(&dds[16], &big, 4);
    dir.Write("huge.dds", dds);
    for (const char* f : {"zero.bmp", "topdown.bmp", "huge.bmp", "huge.dds"}) {
        log.Clear();
        EXPECT_EQ(GetFileInfoGraphics(f, nullptr, nullptr, nullptr), 0) << f;
        EXPECT_TRUE(log.Contains("Error: <GetFileInfoGraphics> 未定義のファイルフォーマットです\n")) << f;
    }
}

TEST(ImageHeaderTest, FlagHelpers) {
    EXPECT_EQ(GetFlagBitIndex(0b1100, 0b0100), 4u);
    EXPECT_EQ(GetFlagBitIndex(0, 0), 0u);
    EXPECT_EQ(GetFlagBitIndex(0b1000, 0), 4u);
    EXPECT_EQ(IsFlagSubset(0b0110, 0b0010), 1);
    EXPECT_EQ(IsFlagSubset(0b0010, 0b0110), 0);
}

TEST(GraphicSlotTest, RecordBindingTypesAndGrid) {
    kutest::TempDir dir;
    kutest::DebugCapture log;
    KUSYSTEM sys;
    KUGRAPHIC2 g;
    EXPECT_EQ(g.Initialize(&sys, "tmp", "a.bmp", 4, 1), 1);
    EXPECT_STREQ(g.GetDirPath(), "tmp/");
    EXPECT_EQ(g.Initialize(&sys, "tmp/", "a.bmp", 4, 1), 1);
    EXPECT_STREQ(g.GetDirPath(), "tmp/");
    EXPECT_EQ(g.Initialize(&sys, "tmp", "a.bmp", 0xFFFF, 1), 0);
    EXPECT_EQ(g.Initialize(nullptr, "tmp", "a.bmp", 4, 1), 0);

    ASSERT_EQ(g.Initialize(&sys, "tmp", "a.bmp", 4, 1), 1);
    EXPECT_EQ(g.SetGraphicType(0xFFFF), 0);
    EXPECT_TRUE(log.Contains("Error: <KUGRAPHIC2::SetGraphicType> 画像タイプの指定が不正か無効です\n"));
    uint32_t type = 0;
    g.GetGraphicType(&type);
    EXPECT_EQ(type, 4u);

    dir.Write("tmp/a.bmp", MakeBmp(640, 480, Grad));
    ASSERT_EQ(g.GetGraphicDataInfo(0, 0, 0, 0), 1);
    ASSERT_EQ(g.CreateGraphicData(0, 0), 1);
    uint32_t across = 0, down = 0;
    g.GetDivisionNum(&across, &down);
    EXPECT_EQ(across, 3u);
    EXPECT_EQ(down, 2u);

    dir.Write("tmp/b.dds", MakeDds32(8, 8, Grad));
    ASSERT_EQ(g.Initialize(&sys, "tmp", "b.dds", 1, 0), 1);
    EXPECT_EQ(g.GetGraphicDataInfo(0, 0, 0, 0), 0);
    EXPECT_TRUE(
        log.Contains("Error: <KUGRAPHIC2::GetGraphicDataInfo> 画像タイプがDDSの場合はサーフェスに指定出来ません\n"));

    char small[5];
    EXPECT_EQ(g.GetFilePath(small, sizeof(small)), nullptr);
    EXPECT_TRUE(log.Contains("Error: <KUGRAPHIC2::GetFilePath> 引数のファイルサイズが小さすぎます\n"));
    KUGRAPHIC2 fresh;
    EXPECT_EQ(fresh.SetColorkey(nullptr, 3, kClrInvalid), 0);
    EXPECT_TRUE(log.Contains("Error: <KUGRAPHIC2> 引数のポインタはKUSPRITE2クラスではありません\n"));
}

class SlotTableTest : public ::testing::Test {
protected:
    RendererFixture f;
    kutest::DebugCapture log;
};

TEST_F(SlotTableTest, LoadsAPictureInTilesAndDeletesTheCopy) {
    kugfx::PackArchive("dat/Img.dat", {{"bg.bmp", MakeBmp(800, 600, Grad)}});
    ASSERT_EQ(f.Load(3, "bg.bmp"), 1);
    EXPECT_EQ(f.sprite.GetGraphicDataLoadState(3), 0);
    KUGRAPHIC2* g = f.sprite.GetGraphicSlot(3);
    EXPECT_EQ(g->tilesAcross(), 4u);
    EXPECT_EQ(g->tilesDown(), 3u);
    EXPECT_FALSE(f.dir.Exists("tmp/bg.bmp"));
    // The tile at column 3, row 2 starts at picture (768, 512); 32 x 88 filled.
    plat::DeviceSurface* t = g->texture(2 * 4 + 3);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->width, 256);
    EXPECT_EQ(t->Row(0)[0], Grad(768, 512));
    EXPECT_EQ(t->Row(87)[31], Grad(799, 599));
    EXPECT_EQ(t->Row(88)[0], 0u);
    EXPECT_EQ(t->Row(0)[32], 0u);
    // Keyed with the picture's top-left pixel on every tile.
    EXPECT_TRUE(t->hasColorKey);
    EXPECT_EQ(t->colorKey, Grad(0, 0));
    uint32_t w = 0, h = 0;
    EXPECT_EQ(f.sprite.GetGraphicFormat(3, &w, &h), 1);
    EXPECT_EQ(w, 800u);

    f.sprite.ReleaseGraphicData(3);
    EXPECT_EQ(f.sprite.GetGraphicDataLoadState(3), 1);
    EXPECT_STREQ(f.sprite.GetGraphicDataFileName(3), "bg.bmp");
    EXPECT_EQ(f.sprite.RestoreGraphicData(3), 0); // not loaded: nothing to do
    EXPECT_EQ(f.sprite.GetGraphicDataLoadState(3), 1);
}

TEST_F(SlotTableTest, LoadsATopDownBmpUprightAtItsRowCount) {
    // Rows stored top row first, the height negative: the decoder reads such
    // a file, so the slot must take its size too.
    std::string b = MakeBmp(30, 20, [](int x, int y) { return Grad(x, 19 - y); });
    const int32_t up = -20;
    std::memcpy(&b[22], &up, 4);
    kugfx::PackArchive("dat/Img.dat", {{"td.bmp", b}});
    ASSERT_EQ(f.Load(1, "td.bmp"), 1);
    uint32_t w = 0, h = 0;
    EXPECT_EQ(f.sprite.GetGraphicFormat(1, &w, &h), 1);
    EXPECT_EQ(h, 20u);
    const plat::DeviceSurface* t = f.sprite.GetGraphicSlot(1)->texture(0);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Row(0)[0], Grad(0, 0));
    EXPECT_EQ(t->Row(19)[29], Grad(29, 19));
}

TEST_F(SlotTableTest, BadPictureMembersLeaveTheSlotUnloaded) {
    std::string truncated = MakeBmp(300, 300, Grad);
    truncated.resize(truncated.size() / 2);
    kugfx::PackArchive(
        "dat/Img.dat",
        {{"half.bmp", truncated}, {"text.bmp", "just some text, not a picture"}, {"ok.dds", MakeDds32(16, 16, Grad)}});
    EXPECT_EQ(f.Load(1, "none.bmp"), 0);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::CreateGraphicData> dat/Img.dat内にnone.bmpが見つかりません\n"));
    EXPECT_EQ(f.sprite.GetGraphicDataLoadState(1), 1);

    EXPECT_EQ(f.Load(2, "half.bmp"), 0);
    EXPECT_TRUE(
        log.Contains("Error: <KUSPRITE::CreateTexture> D3DXLoadTextureFromFile命令で インデックス:2 x:0 y:0 "
                     "位置のテクスチャの読み込みに失敗しました\n"));
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE::ErrorNumber> テクスチャを読み込めなかった。\n"));
    EXPECT_EQ(f.sprite.GetGraphicDataLoadState(2), 1);

    EXPECT_EQ(f.Load(4, "text.bmp"), 0);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::CreateGraphicData> グラフィックデータの情報取得に失敗しました\n"));
    EXPECT_EQ(f.sprite.GetGraphicDataLoadState(4), 1);

    EXPECT_EQ(f.Load(5, "ok.dds"), 1);
    EXPECT_EQ(f.sprite.GetGraphicDataLoadState(5), 0);

    // A slot of both kinds whose tiles cannot be made (a division beyond the
    // device's limit) is released whole, surface too: it must not read as loaded.
    kugfx::PackArchive("dat/Img.dat", {{"both.bmp", MakeBmp(40, 40, Grad)}});
    ASSERT_EQ(f.sprite.SetGraphicData(6, "tmp/", "both.bmp", kGraphicTypeSurface | kGraphicTypeTexture, 0), 1);
    EXPECT_EQ(f.sprite.CreateGraphicData(6, 0, 0, 9000, 9000), 0);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::CreateGraphicData> テクスチャの作成に失敗しました\n"));
    EXPECT_EQ(f.sprite.GetGraphicDataLoadState(6), 1);
    EXPECT_EQ(f.sprite.GetGraphicSlot(6)->created(), 0);
    EXPECT_EQ(f.sprite.CreateGraphicData(6, 0, 0, 0, 0), 1); // a retry starts clean
    EXPECT_EQ(f.sprite.GetGraphicDataLoadState(6), 0);
}

TEST_F(SlotTableTest, TableQueriesAndBadSlots) {
    EXPECT_EQ(f.sprite.GetGraphicDataLoadState(static_cast<uint32_t>(-1)), -1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::GetGraphicDataLoadState> 指定インデックス番号は不正です\n"));
    EXPECT_EQ(f.sprite.RestoreGraphicData(static_cast<uint32_t>(-1)), 1);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::RestoreGraphicData> 指定インデックス番号は不正です\n"));
    EXPECT_EQ(f.sprite.CreateGraphicData(0, 0, 0, 0, 0), 0);
    EXPECT_TRUE(log.Contains(
        "Error: <KUSPRITE2::CreateGraphicData> 指定インデックスナンバーの画像データは初期化されていません\n"));

    kugfx::PackArchive("dat/Img.dat", {{"p.bmp", MakeBmp(8, 8, Grad)}});
    ASSERT_EQ(f.Load(0, "p.bmp"), 1);
    uint32_t c = 0;
    EXPECT_EQ(f.sprite.GetSurfaceColor(0, 0, 0, &c), 0);
    EXPECT_TRUE(log.Contains("Error: <KUSPRITE2::GetSurfaceColor> サーフェスが失われています\n"));

    // A new table frees everything the old one held.
    EXPECT_EQ(f.sprite.CreateGraphicDataBuffer(84), 1);
    EXPECT_EQ(f.sprite.GetGraphicDataBufferNum(), 84u);
    EXPECT_EQ(f.sprite.GetGraphicDataLoadState(0), 1);
    EXPECT_EQ(f.sprite.CreateGraphicDataBuffer(0), 0);
}

TEST_F(SlotTableTest, EmptySurfaceSlotsAreMadeAtTheScreenSize) {
    ASSERT_EQ(f.sprite.SetGraphicData(7, nullptr, nullptr, kGraphicTypeEmpty, 0), 1);
    ASSERT_EQ(f.sprite.CreateGraphicData(7, 0, 0, 0, 0), 1);
    EXPECT_EQ(f.sprite.GetGraphicDataLoadState(7), 0);
    plat::DeviceSurface* s = f.sprite.GetGraphicSlot(7)->surface().get();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->width, 800);
    EXPECT_EQ(s->height, 600);
    s->Row(10)[20] = 0xFF112233u;
    uint32_t c = 0;
    EXPECT_EQ(f.sprite.GetSurfaceColor(7, 20, 10, &c), 1);
    EXPECT_EQ(c, 0x00332211u); // GDI order
}

TEST_F(SlotTableTest, SurfaceSlotsLoadBmpsAndRefuseDds) {
    kugfx::PackArchive("dat/Img.dat", {{"s.bmp", MakeBmp(20, 10, Grad)}, {"s.dds", MakeDds32(4, 4, Grad)}});
    ASSERT_EQ(f.sprite.SetGraphicData(0, "tmp/", "s.bmp", kGraphicTypeSurface, 0), 1);
    ASSERT_EQ(f.sprite.CreateGraphicData(0, 0, 0, 0, 0), 1);
    uint32_t c = 0;
    EXPECT_EQ(f.sprite.GetSurfaceColor(0, 19, 9, &c), 1);
    EXPECT_EQ(c, 0x00400913u);
    ASSERT_EQ(f.sprite.SetGraphicData(1, "tmp/", "s.dds", kGraphicTypeSurface, 0), 1);
    EXPECT_EQ(f.sprite.CreateGraphicData(1, 0, 0, 0, 0), 0);
    EXPECT_TRUE(
        log.Contains("Error: <KUGRAPHIC2::GetGraphicDataInfo> 画像タイプがDDSの場合はサーフェスに指定出来ません\n"));
}

} // namespace
