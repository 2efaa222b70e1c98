#include "platform/video.h"

#include <algorithm>
#include <unordered_set>

#include "platform/raster.h"
#include "platform/video_present.h"
#include "platform/video_test_hooks.h"

namespace plat {

namespace {

constexpr uint32_t kMaxTextureSide = 8192;

VideoModeSource& ModeSource() {
    static VideoModeSource source;
    return source;
}
VideoContextHook& ContextHook() {
    static VideoContextHook hook;
    return hook;
}
bool g_coopOverrideSet = false;
int32_t g_coopOverride = 0;
VideoDevice* g_current = nullptr;

// Never destroyed: global renderers free their textures after statics go.
std::unordered_set<DeviceSurface*>& LiveSurfaces() {
    static auto* live = new std::unordered_set<DeviceSurface*>;
    return *live;
}

bool IsLevel(uint32_t level) {
    return level == kVideoLevelTnL || level == kVideoLevelRaster || level == kVideoLevel2D ||
           level == kVideoLevelReference || level == kVideoLevelDefault;
}

// Our own display-mode list: the game's one size at the three depths.
bool ModesOf(uint32_t level, std::vector<VideoMode>* out) {
    out->clear();
    if (ModeSource())
        return ModeSource()(level, out);
    if (!IsLevel(level))
        return false;
    for (uint32_t bpp : {32u, 24u, 16u})
        out->push_back(VideoMode{800, 600, bpp, 60});
    return true;
}

} // namespace

uint32_t VideoModeCount(uint32_t level) {
    std::vector<VideoMode> modes;
    if (!ModesOf(level, &modes))
        return 0;
    return static_cast<uint32_t>(modes.size());
}

int32_t GetVideoMode(uint32_t level, uint32_t index, VideoMode* out) {
    std::vector<VideoMode> modes;
    if (!out || !ModesOf(level, &modes) || index >= modes.size())
        return kVideoErrInvalidParams;
    *out = modes[index];
    return kVideoOk;
}

void SetVideoModeSource(VideoModeSource source) { ModeSource() = std::move(source); }
void SetVideoContextHook(VideoContextHook hook) { ContextHook() = std::move(hook); }
void SetCooperativeLevelOverride(const int32_t* code) {
    g_coopOverrideSet = code != nullptr;
    g_coopOverride = code ? *code : 0;
}

DeviceSurface::DeviceSurface(int w, int h) : Surface(w, h) { LiveSurfaces().insert(this); }
DeviceSurface::~DeviceSurface() { LiveSurfaces().erase(this); }

namespace {

// What video memory holds is gone after a loss, until the owners reload it.
void EmptyLiveSurfaces() {
    for (DeviceSurface* s : LiveSurfaces()) {
        std::fill(s->pixels.begin(), s->pixels.end(), 0u);
        s->lost = true;
    }
}

} // namespace

void SignalDeviceLoss() {
    EmptyLiveSurfaces();
    if (g_current)
        g_current->SimulateSurfaceLoss();
}

VideoDevice::VideoDevice(uint32_t level, uint32_t width, uint32_t height, uint32_t bpp, bool fullScreen)
    : level_(level),
      width_(width),
      height_(height),
      bpp_(bpp),
      fullScreen_(fullScreen),
      back_(static_cast<int>(width), static_cast<int>(height)) {}

std::unique_ptr<VideoDevice> VideoDevice::Create(uint32_t level, uint32_t width, uint32_t height, uint32_t bpp,
                                                 bool fullScreen) {
    if (!IsLevel(level) || width == 0 || height == 0 || width > kMaxTextureSide || height > kMaxTextureSide)
        return nullptr;
    if (ContextHook() && !ContextHook()(level, width, height, bpp, fullScreen))
        return nullptr;
    // A window shows the desktop's depth; only full screen takes the asked one.
    uint32_t depth = fullScreen ? bpp : 32u;
    std::unique_ptr<VideoDevice> dev(new VideoDevice(level, width, height, depth, fullScreen));
    dev->back_.pixels.assign(dev->back_.pixels.size(), 0xFF000000u);
    g_current = dev.get();
    ApplyPresentScreenMode(fullScreen);
    return dev;
}

VideoDevice::~VideoDevice() {
    if (g_current == this)
        g_current = nullptr;
}

VideoDevice* VideoDevice::Current() { return g_current; }

DeviceSurfacePtr VideoDevice::CreateTexture(uint32_t width, uint32_t height) {
    if (width == 0 || height == 0 || width > kMaxTextureSide || height > kMaxTextureSide)
        return nullptr;
    return std::make_unique<DeviceSurface>(static_cast<int>(width), static_cast<int>(height));
}

DeviceSurfacePtr VideoDevice::CreateSurface(uint32_t width, uint32_t height) { return CreateTexture(width, height); }

int32_t VideoDevice::SetTexture(const Surface* texture) {
    texture_ = texture;
    return kVideoOk;
}

int32_t VideoDevice::Clear(uint32_t argb) {
    EndBatch();
    std::fill(back_.pixels.begin(), back_.pixels.end(), argb);
    return kVideoOk;
}

int32_t VideoDevice::BeginScene() {
    if (inScene_)
        return kVideoErrSceneInScene;
    inScene_ = true;
    return kVideoOk;
}

int32_t VideoDevice::EndScene() {
    if (!inScene_)
        return kVideoErrSceneNotInScene;
    inScene_ = false;
    return kVideoOk;
}

int32_t VideoDevice::Present() {
    EndBatch();
    if (lost_)
        return kVideoErrSurfaceLost;
    PresentFrame(back_, bpp_);
    // A reset reported by the window while presenting is seen by the next present.
    return kVideoOk;
}

int32_t VideoDevice::DrawQuadStrip(const TLVertex v[4]) {
    if (!v)
        return kVideoErrInvalidParams;
    if (recorder_) {
        DrawRecord rec;
        std::copy(v, v + 4, rec.v);
        rec.texture = texture_;
        rec.state = state_;
        recorder_->push_back(rec);
    }
    if (batching_) {
        DrawRecord rec;
        std::copy(v, v + 4, rec.v);
        rec.texture = texture_;
        rec.state = state_;
        batch_.push_back(rec);
        return kVideoOk;
    }
    RasterQuadStrip(back_, texture_, v, state_);
    return kVideoOk;
}

void VideoDevice::EndBatch() {
    batching_ = false;
    RasterQuadBatch(back_, batch_.data(), batch_.size());
    batch_.clear();
}

int32_t VideoDevice::Blt(Surface* dst, const RectI& dstRect, const Surface* src, const RectI& srcRect, bool keySrc) {
    if (!dst || !src)
        return kVideoErrInvalidParams;
    if (src->lost || dst->lost)
        return kVideoErrSurfaceLost;
    RasterBlt(*dst, dstRect, *src, srcRect, keySrc);
    return kVideoOk;
}

int32_t VideoDevice::TestCooperativeLevel() {
    if (g_coopOverrideSet)
        return g_coopOverride;
    if (fullScreen_ && PresentDisplayUnavailable())
        return kVideoErrNoExclusiveMode;
    return kVideoOk;
}

int32_t VideoDevice::RestoreAllSurfaces() {
    // Surfaces come back empty; their owners reload them.
    for (DeviceSurface* s : LiveSurfaces())
        s->lost = false;
    back_.lost = false;
    lost_ = false;
    return kVideoOk;
}

void VideoDevice::SimulateSurfaceLoss() {
    EndBatch();
    if (!lost_) {
        lost_ = true;
        EmptyLiveSurfaces();
        back_.lost = true;
    }
}

} // namespace plat
