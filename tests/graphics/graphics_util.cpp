#include "tests/graphics/graphics_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/files.h"
#include "tools/archive_writer.h"
#include "platform/video_test_hooks.h"
#include "tests/support/confinement.h"

namespace kugfx {

namespace {

void Put32(std::string& b, size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); }
void Put16(std::string& b, size_t at, uint16_t v) { std::memcpy(&b[at], &v, 2); }

std::string GoldenPath(const std::string& name) {
    return kutest::SourceDir() + "/tests/graphics/golden/" + name + ".bmp";
}

bool ReadBmp(const std::string& path, plat::Surface* out) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::stringstream ss;
    ss << in.rdbuf();
    std::string b = ss.str();
    if (b.size() < 54)
        return false;
    int32_t w, h;
    std::memcpy(&w, &b[18], 4);
    std::memcpy(&h, &b[22], 4);
    if (w <= 0 || h <= 0)
        return false;
    size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t(3);
    if (b.size() < 54 + stride * h)
        return false;
    *out = plat::Surface(w, h);
    for (int y = 0; y < h; ++y) {
        const unsigned char* row = reinterpret_cast<const unsigned char*>(&b[54 + stride * (h - 1 - y)]);
        for (int x = 0; x < w; ++x)
            out->Row(y)[x] =
                0xFF000000u | (uint32_t(row[3 * x + 2]) << 16) | (uint32_t(row[3 * x + 1]) << 8) | row[3 * x];
    }
    return true;
}

} // namespace

std::string MakeBmp(int w, int h, const PixelFn& px, int bpp) {
    const int bytes = bpp / 8;
    const size_t stride = (static_cast<size_t>(w) * bytes + 3) & ~size_t(3);
    std::string b(54 + stride * h, '\0');
    b[0] = 'B', b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(w));
    Put32(b, 22, static_cast<uint32_t>(h));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<uint16_t>(bpp));
    for (int y = 0; y < h; ++y) {
        char* row = &b[54 + stride * (h - 1 - y)];
        for (int x = 0; x < w; ++x) {
            uint32_t c = px(x, y);
            std::memcpy(row + x * bytes, &c, bytes);
        }
    }
    return b;
}

std::string MakeDds32(int w, int h, const PixelFn& px) {
    std::string b(128 + static_cast<size_t>(w) * h * 4, '\0');
    std::memcpy(&b[0], "DDS ", 4);
    Put32(b, 4, 124);
    Put32(b, 8, 0x100F);
    Put32(b, 12, static_cast<uint32_t>(h));
    Put32(b, 16, static_cast<uint32_t>(w));
    Put32(b, 20, static_cast<uint32_t>(w * 4));
    Put32(b, 76, 32);
    Put32(b, 80, 0x41); // RGB with alpha
    Put32(b, 88, 32);
    Put32(b, 92, 0x00FF0000);
    Put32(b, 96, 0x0000FF00);
    Put32(b, 100, 0x000000FF);
    Put32(b, 104, 0xFF000000);
    Put32(b, 108, 0x1000);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Put32(b, 128 + (static_cast<size_t>(y) * w + x) * 4, px(x, y));
    return b;
}

void PackArchive(const std::string& path, const std::vector<std::pair<std::string, std::string>>& members) {
    std::vector<ArchiveMember> list;
    list.reserve(members.size());
    for (const auto& [name, bytes] : members)
        list.push_back(ArchiveMember{name, "", bytes});
    std::string error;
    ASSERT_TRUE(WriteArchive(path, list, false, &error)) << error;
}

bool WriteBmp(const std::string& path, const plat::Surface& s) {
    std::string b = MakeBmp(
        s.width, s.height, [&](int x, int y) { return s.Row(y)[x]; }, 24);
    std::ofstream out(path, std::ios::binary);
    out << b;
    return static_cast<bool>(out);
}

std::string CompareGolden(const std::string& name, const plat::Surface& s) {
    const std::string path = GoldenPath(name);
    const char* update = std::getenv("KU_UPDATE_GOLDEN");
    if (update && std::strcmp(update, "1") == 0)
        return WriteBmp(path, s) ? "" : "cannot write " + path;
    plat::Surface g;
    if (!ReadBmp(path, &g))
        return "no golden " + path + " (run with KU_UPDATE_GOLDEN=1)";
    if (g.width != s.width || g.height != s.height)
        return "size differs from " + path;
    int diffs = 0;
    std::ostringstream first;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if ((g.Row(y)[x] & 0xFFFFFF) != (s.Row(y)[x] & 0xFFFFFF)) {
                if (diffs++ == 0)
                    first << std::hex << "first at (" << std::dec << x << "," << y << ") got 0x" << std::hex
                          << (s.Row(y)[x] & 0xFFFFFF) << " want 0x" << (g.Row(y)[x] & 0xFFFFFF);
            }
    if (!diffs)
        return "";
    const kutest::WritableBuildFolder writable;
    WriteBmp(kutest::BinaryDir() + "/" + name + ".actual.bmp", s);
    return std::to_string(diffs) + " pixels differ; " + first.str();
}

plat::WindowHandle FakeWindow() {
    static int token;
    return reinterpret_cast<plat::WindowHandle>(&token);
}

void* FakeInstance() {
    static int token;
    return &token;
}

RendererFixture::RendererFixture(uint32_t width, uint32_t height, uint32_t bpp) {
    dir.Write("dat/.keep", "");
    if (width != 800 || height != 600) {
        plat::SetVideoModeSource([width, height](uint32_t, std::vector<plat::VideoMode>* out) {
            for (uint32_t d : {32u, 24u, 16u})
                out->push_back(plat::VideoMode{width, height, d, 60});
            return true;
        });
    }
    sys.Initialize(FakeWindow(), 1);
    startResult = sprite.Initialize(&sys, FakeWindow(), FakeInstance(), width, height, bpp, 0);
    sprite.CreateGraphicDataBuffer(16);
}

RendererFixture::~RendererFixture() {
    sprite.Release();
    plat::SetVideoModeSource(nullptr);
    plat::SetVideoContextHook(nullptr);
    plat::SetCooperativeLevelOverride(nullptr);
}

int RendererFixture::Load(uint32_t slot, const std::string& name, uint32_t div) {
    sprite.SetGraphicData(slot, "tmp/", name.c_str(), kGraphicTypeTexture, 1);
    return sprite.CreateGraphicData(slot, 0, 0, div, div);
}

} // namespace kugfx
