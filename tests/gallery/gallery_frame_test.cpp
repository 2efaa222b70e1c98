#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/files.h"
#include "platform/gdi_font.h"
#include "tests/gallery/gallery_fixture.h"
#include "tools/pictures/gallery_pictures.h"
#include "tools/pictures/picture_files.h"
#include "tools/pictures/screen_pictures.h"
#include "tests/support/confinement.h"

namespace {

// The sample game's screen and gallery pictures in dat/Img.dat.
void WritePictureArchive() {
    std::vector<ArchiveMember> members;
    for (auto& [name, bytes] : screens::ScreenPictures())
        members.push_back(ArchiveMember{name, "", bytes});
    for (auto& [name, bytes] : screens::GalleryPictures())
        members.push_back(ArchiveMember{name, "", bytes});
    std::string error;
    ASSERT_TRUE(WriteArchive("dat/Img.dat", members, false, &error)) << error;
}

// Compares the back buffer with tests/gallery/golden/<name>.bmp (rewritten
// under KU_UPDATE_GOLDEN=1). Text comes from the font renderer, so frames are
// exact only with the one they were made with: false when not comparable.
bool CompareGolden(KUSPRITE2& sprite, const std::string& name, bool* same) {
    const std::string folder = kutest::SourceDir() + "/tests/gallery/golden/";
    const char* env = std::getenv("KU_UPDATE_GOLDEN");
    const bool update = env && std::string(env) == "1";
    std::string recorded;
    std::ifstream renderer(folder + "renderer.txt");
    std::getline(renderer, recorded);
    plat::Surface frame = *sprite.GetBackSurface();
    for (uint32_t& p : frame.pixels)
        p |= 0xFF000000u;
    const std::string bmp = EncodeBmp24(frame);
    *same = true;
    if (update) {
        plat::MakeDir(folder.c_str());
        std::ofstream(folder + "renderer.txt") << plat::GlyphRendererId() << "\n";
        std::ofstream(folder + name + ".bmp", std::ios::binary) << bmp;
        return true;
    }
    if (plat::GlyphRendererId().empty() || recorded != plat::GlyphRendererId())
        return false;
    std::ifstream in(folder + name + ".bmp", std::ios::binary);
    std::stringstream golden;
    golden << in.rdbuf();
    *same = golden.str() == bmp;
    if (!*same) {
        const kutest::WritableBuildFolder writable;
        std::ofstream(kutest::BinaryDir() + "/gallery_" + name + ".actual.bmp", std::ios::binary) << bmp;
    }
    return true;
}

} // namespace

// A gallery page drawn from the sample game's pictures: episode 1 chosen, its
// first scene's pictures listed, the third one hovered.
TEST_F(GalleryTest, PageFrameMatchesItsGolden) {
    Script({"EPISODE01 第一話　夏のはじまり", "EPISODE01-SCENE01 Start.spt", "EPISODE01-SCENE02 NULL",
            "EPISODE01-SCENE01-PAGE01-X01-Y01 a.bmp", "EPISODE01-SCENE01-PAGE01-X02-Y01 b.bmp",
            "EPISODE01-SCENE01-PAGE01-X03-Y01 c.bmp FULL", "EPISODE01-SCENE01-PAGE01-X04-Y01 d.bmp",
            "EPISODE01-SCENE01-PAGE02-X01-Y01 e.bmp"});
    WritePictureArchive();
    global.m_dwEventFlag[0] = 0x1;
    UnlockCG(1, 1, 1, 1);
    UnlockCG(1, 1, 1, 3);
    Start();
    RunTo(2);
    Click(60, 91);
    RunTo(2);
    Click(184, 152);
    RunTo(2);
    Click(185, 146);
    RunTo(2);
    for (int i = 0; i < 200; ++i) // the title types out
        Frame(50, 116 + 272 + 68, 280);
    ASSERT_EQ(cg.m_nHoverId, 19);
    ASSERT_EQ(cg.m_fTitleChars, -1.0f);
    const struct {
        uint32_t slot;
        const char* name;
    } bind[] = {{0, "fade.bmp"}, {19, "CGModeMaterial.dds"}, {21, "CGModeBG.bmp"}};
    for (const auto& b : bind)
        ASSERT_EQ(sprite.SetGraphicData(b.slot, "tmp/", b.name, 4, 1), 1);
    for (uint32_t slot : {0u, 19u, 21u, 76u, 78u})
        ASSERT_EQ(sprite.CreateGraphicData(slot, 0, 0, 0, 0), 1) << slot << log.all();
    ASSERT_EQ(sprite.D3DXDrawStart(), 0);
    ASSERT_EQ(cg.DrawProc(), 1);
    bool same = true;
    if (!CompareGolden(sprite, "page", &same))
        GTEST_SKIP() << "golden frames were made with another font renderer";
    EXPECT_TRUE(same) << "gallery page differs from its golden frame";
}

// The full view of a sample picture with its bar, NEXT hovered.
TEST_F(GalleryTest, FullViewFrameMatchesItsGolden) {
    Script({"EPISODE01 第一話", "EPISODE01-SCENE01 NULL", "EPISODE01-SCENE01-PAGE01-X01-Y01 CG_E01S01_03.bmp FULL",
            "EPISODE01-SCENE01-PAGE01-X02-Y01 CG_E01S02_01.bmp"});
    WritePictureArchive();
    global.m_dwEventFlag[0] = 0x1;
    UnlockCG(1, 1, 1, 1);
    UnlockCG(1, 1, 1, 2);
    Start();
    RunTo(2);
    Click(60, 91);
    RunTo(2);
    Click(184, 152); // the unnamed scene opens its list
    RunTo(2);
    Click(116 + 68, 228 + 52);
    RunTo(11);
    ASSERT_EQ(Bound(80), "CG_E01S01_03.bmp");
    for (int i = 0; i < 3; ++i)
        Frame(16, 566 + 153, 480 + 58); // NEXT
    ASSERT_EQ(cg.m_cgCtrlWnd.m_Button[GALLERY_BAR::kNext].GetState(), 1);
    const struct {
        uint32_t slot;
        const char* name;
    } bind[] = {{0, "fade.bmp"}, {20, "CGReplay_Controller.dds"}, {22, "CGModeBG2.bmp"}};
    for (const auto& b : bind)
        ASSERT_EQ(sprite.SetGraphicData(b.slot, "tmp/", b.name, 4, 1), 1);
    for (uint32_t slot : {0u, 20u, 22u, 80u})
        ASSERT_EQ(sprite.CreateGraphicData(slot, 0, 0, 0, 0), 1) << slot << log.all();
    ASSERT_EQ(sprite.D3DXDrawStart(), 0);
    ASSERT_EQ(cg.DrawProc(), 1);
    bool same = true;
    if (!CompareGolden(sprite, "full_view", &same))
        GTEST_SKIP() << "golden frames were made with another font renderer";
    EXPECT_TRUE(same) << "full view differs from its golden frame";
}

// The top episode comes from the cross-play file unchecked: the largest
// number lists the seven episodes exactly as 6 does, with no overflow.
TEST_F(GalleryTest, HugeTopEpisodeDrawsLikeTheLast) {
    Script({"EPISODE01 第一話", "EPISODE01-SCENE01 NULL"});
    WritePictureArchive();
    plat::Surface frames[2];
    const int32_t tops[2] = {6, 2147483647};
    for (int k = 0; k < 2; ++k) {
        global.m_nTopEpisode = tops[k];
        cg.Release();
        Start();
        RunTo(2);
        ASSERT_EQ(sprite.SetGraphicData(0, "tmp/", "fade.bmp", 4, 1), 1);
        ASSERT_EQ(sprite.SetGraphicData(19, "tmp/", "CGModeMaterial.dds", 4, 1), 1);
        ASSERT_EQ(sprite.SetGraphicData(21, "tmp/", "CGModeBG.bmp", 4, 1), 1);
        for (uint32_t slot : {0u, 19u, 21u})
            ASSERT_EQ(sprite.CreateGraphicData(slot, 0, 0, 0, 0), 1) << slot << log.all();
        ASSERT_EQ(sprite.D3DXDrawStart(), 0);
        ASSERT_EQ(cg.DrawProc(), 1);
        frames[k] = *sprite.GetBackSurface();
    }
    EXPECT_TRUE(frames[0].pixels == frames[1].pixels);
}
