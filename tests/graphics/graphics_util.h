#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/kusprite2.h"
#include "engine/kusystem.h"
#include "platform/surface.h"
#include "platform/video.h"
#include "tests/support/test_env.h"

namespace kugfx {

using PixelFn = std::function<uint32_t(int x, int y)>;

// Picture files of our own making.
std::string MakeBmp(int w, int h, const PixelFn& px, int bpp = 24);
std::string MakeDds32(int w, int h, const PixelFn& px); // A8R8G8B8 with masks
// Packs members into a LIST-IN archive at path.
void PackArchive(const std::string& path, const std::vector<std::pair<std::string, std::string>>& members);

// Exact comparison with tests/graphics/golden/<name>.bmp; KU_UPDATE_GOLDEN=1
// rewrites it. "" when equal, else what differs.
std::string CompareGolden(const std::string& name, const plat::Surface& s);
bool WriteBmp(const std::string& path, const plat::Surface& s);

plat::WindowHandle FakeWindow();
void* FakeInstance();

// A started renderer in a fresh game folder with a fake clock: dat/, tmp/.
class RendererFixture {
public:
    explicit RendererFixture(uint32_t width = 800, uint32_t height = 600, uint32_t bpp = 32);
    ~RendererFixture();
    kutest::TempDir dir;
    kutest::FakeClockScope clock;
    KUSYSTEM sys;
    KUSPRITE2 sprite;
    int startResult = 0;
    plat::VideoDevice* device() { return sprite.GetVideoDevice(); }
    const plat::Surface& back() { return *sprite.GetBackSurface(); }
    // Binds slot as a picture (type 4, tmp/) and loads it.
    int Load(uint32_t slot, const std::string& name, uint32_t div = 0);
};

} // namespace kugfx
