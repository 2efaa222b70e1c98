#include "platform/video.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <type_traits>
#include <unordered_set>

#include "platform/frame_damage.h"
#include "platform/media_video_sink.h"
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

// Every live device, for the surface notes (tests may hold several).
std::vector<VideoDevice*>& Devices() {
    static auto* devices = new std::vector<VideoDevice*>;
    return *devices;
}
// Devices that put a frame's drawing off: while none does, a surface note
// costs one load.
std::atomic<int> g_deferring{0};

FrameCheckHook& FrameCheck() {
    static FrameCheckHook hook;
    return hook;
}

// Bit of a picture's address in the device's filter of pictures read.
inline void FilterBit(uint64_t addr, size_t* word, uint64_t* bit) {
    const uint64_t h = (addr >> 4) * 0x9E3779B97F4A7C15ull >> 56;
    *word = static_cast<size_t>(h >> 6);
    *bit = 1ull << (h & 63);
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
void SetFrameCheckHook(FrameCheckHook hook) { FrameCheck() = std::move(hook); }
void SetCooperativeLevelOverride(const int32_t* code) {
    g_coopOverrideSet = code != nullptr;
    g_coopOverride = code ? *code : 0;
}

void NoteSurfaceWrite(const Surface& s) {
    if (g_deferring.load(std::memory_order_relaxed) == 0)
        return;
    for (VideoDevice* d : Devices())
        d->SurfaceChanging(s);
}

void NoteSurfaceGone(const Surface& s) { NoteSurfaceWrite(s); }

DeviceSurface::DeviceSurface(int w, int h) : Surface(w, h) { LiveSurfaces().insert(this); }
DeviceSurface::~DeviceSurface() { LiveSurfaces().erase(this); }

namespace {

// What video memory holds is gone after a loss, until the owners reload it.
void EmptyLiveSurfaces() {
    for (DeviceSurface* s : LiveSurfaces()) {
        s->Touch();
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
      back_(static_cast<int>(width), static_cast<int>(height)) {
    backStamp_ = back_.stamp;
    Devices().push_back(this);
}

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
    dev->BackWritten(true);
    g_current = dev.get();
    ApplyPresentScreenMode(fullScreen);
    return dev;
}

VideoDevice::~VideoDevice() {
    SetDeferring(false);
    std::vector<VideoDevice*>& devices = Devices();
    devices.erase(std::remove(devices.begin(), devices.end(), this), devices.end());
    if (g_current == this)
        g_current = nullptr;
}

Surface* VideoDevice::BackBuffer() {
    if (deferring_)
        DrawDeferred();
    recording_ = false;
    prevValid_ = false;
    // Not the frame presented last, whatever the caller does with it.
    back_.stamp = NewSurfaceStamp();
    return &back_;
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
    FrameOp op;
    op.kind = kOpClear;
    op.colour = argb;
    if (!Defer(op))
        Execute(op, RectI{0, 0, back_.width, back_.height});
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
    if (lost_) {
        SetDeferring(false);
        cur_.clear();
        frameBegun_ = false;
        prevValid_ = false;
        ++presents_;
        return kVideoErrSurfaceLost;
    }
    const uint64_t shownStamp = backStamp_;
    const bool partial = deferring_ && DrawDamage();
    if (back_.stamp != backStamp_)
        recording_ = false; // written by someone else
    if (FrameCheck())
        CheckFrame(partial);
    prevValid_ = frameBegun_ && recording_;
    if (prevValid_)
        prev_.swap(cur_);
    cur_.clear();
    frameBegun_ = false;
    recording_ = true;
    backStamp_ = back_.stamp;
    ++presents_;
    // A movie shown over the game keeps its place on every frame.
    VideoFrameSink* sink = GetVideoFrameSink();
    if (sink && sink->PresentGameFrame(back_, bpp_))
        return kVideoOk;
    if (partial)
        PresentFrameDamage(back_, bpp_, shownStamp, damage_.data(), damage_.size());
    else
        PresentFrame(back_, bpp_);
    // A reset reported by the window while presenting is seen by the next present.
    return kVideoOk;
}

bool VideoDevice::DrawDamage() {
    if (!diffable_) {
        DrawDeferred();
        return false;
    }
    FrameDamage d = DiffFrames(prev_, cur_, back_.width, back_.height);
    if (d.full) {
        DrawDeferred();
        return false;
    }
    SetDeferring(false);
    if (d.rects.empty()) {
        // The same operations on the same pictures: the back buffer already
        // holds this frame, and its stamp tells the presenter so.
        under_.Renew(presents_);
        ++reused_;
        return false;
    }
    under_.Begin(presents_);
    for (const RectI& r : d.rects)
        DrawDamagedRect(r, d.same);
    damage_ = std::move(d.rects);
    ++partial_;
    return true;
}

void VideoDevice::DrawDamagedRect(const RectI& r, size_t same) {
    const size_t unchanged = UnchangedUnder(r, same);
    size_t from = 0;
    const UnderlayCache::Entry* e = under_.Find(r, unchanged);
    if (e && UnderlayCache::Restore(*e, &back_)) {
        BackWritten(false);
        ++underlaid_;
        from = e->ops;
    }
    if (unchanged > 0 && under_.Worth(r)) {
        DrawDeferred(&r, from, unchanged);
        under_.Keep(back_, r, unchanged);
        from = unchanged;
    }
    DrawDeferred(&r, from, cur_.size());
}

size_t VideoDevice::UnchangedUnder(const RectI& r, size_t same) const {
    auto meets = [&r](const RectI& b) {
        return b.left < r.right && r.left < b.right && b.top < r.bottom && r.top < b.bottom;
    };
    const size_t n = std::min(prev_.size(), cur_.size());
    for (size_t i = same; i < n; ++i) {
        if (std::memcmp(&prev_[i], &cur_[i], sizeof(FrameOp)) != 0 &&
            (meets(OpBounds(prev_[i], back_.width, back_.height)) ||
             meets(OpBounds(cur_[i], back_.width, back_.height))))
            return i;
    }
    return n;
}

void VideoDevice::CheckFrame(bool partial) {
    if (!frameBegun_ || !recording_)
        return;
    // The same operations drawn in full on a fresh picture; pictures read
    // are still as drawn (a write would have drawn first).
    Surface full(back_.width, back_.height);
    std::swap(full, back_);
    backStamp_ = back_.stamp;
    SetDeferring(true);
    DrawDeferred();
    std::swap(full, back_);
    backStamp_ = back_.stamp;
    FrameCheck()(back_, full, partial);
}

FrameOp VideoDevice::QuadOp(const TLVertex v[4], const Surface* tex, const RasterState& st) {
    FrameOp op;
    op.kind = kOpQuad;
    op.flags = (st.alphaBlend ? kOpAlphaBlend : 0) | (st.colorKey ? kOpColorKey : 0);
    op.src = static_cast<uint32_t>(st.src);
    op.dst = static_cast<uint32_t>(st.dst);
    if (tex) {
        op.flags |= (tex->hasColorKey ? kOpTexKeyed : 0) | (tex->lost ? kOpTexLost : 0);
        op.colour = tex->colorKey;
        op.texW = tex->width;
        op.texH = tex->height;
        op.texAddr = reinterpret_cast<uintptr_t>(tex);
        op.texStamp = tex->stamp;
    }
    static_assert(sizeof(TLVertex) * 4 == sizeof(op.geometry));
    std::memcpy(op.geometry, v, sizeof(op.geometry));
    return op;
}

bool VideoDevice::Defer(const FrameOp& op) {
    if (!frameBegun_) {
        // Only a frame that starts with a clear depends on nothing before it.
        frameBegun_ = true;
        recording_ = op.kind == kOpClear;
        // Put off even with nothing to compare against: the frame is then
        // drawn whole at once, every band of rows through all its draws.
        diffable_ = prevValid_ && back_.stamp == backStamp_;
        SetDeferring(recording_ && !lost_);
        std::fill(std::begin(texFilter_), std::end(texFilter_), 0);
    }
    if (recording_ && cur_.size() >= kMaxFrameOps) {
        // A caller that draws without presenting: stop recording rather than grow.
        if (deferring_)
            DrawDeferred();
        recording_ = false;
        cur_.clear();
    }
    if (recording_)
        cur_.push_back(op);
    if (deferring_ && op.texAddr) {
        size_t word;
        uint64_t bit;
        FilterBit(op.texAddr, &word, &bit);
        texFilter_[word] |= bit;
    }
    return deferring_;
}

void VideoDevice::DrawDeferred(const RectI* clip, size_t begin, size_t end) {
    SetDeferring(false);
    end = std::min(end, cur_.size());
    const RectI area = clip ? *clip : RectI{0, 0, back_.width, back_.height};
    // Quads in a row are rasterised together, as the picture draw batches them.
    std::vector<DrawRecord>& run = runScratch_; // kept: no allocation a frame
    run.clear();
    auto flush = [&] {
        if (run.empty())
            return;
        RasterQuadBatchClipped(back_, run.data(), run.size(), area);
        run.clear();
        BackWritten(false);
    };
    for (size_t i = begin; i < end; ++i) {
        const FrameOp& op = cur_[i];
        if (op.kind == kOpClear && ClearHiddenAfter(i, end, area)) {
            BackWritten(area.left <= 0 && area.top <= 0 && area.right >= back_.width && area.bottom >= back_.height);
            continue;
        }
        if (op.kind != kOpQuad) {
            flush();
            Execute(op, area);
            continue;
        }
        run.push_back(QuadRecord(op));
    }
    flush();
}

DrawRecord VideoDevice::QuadRecord(const FrameOp& op) {
    DrawRecord rec;
    std::memcpy(rec.v, op.geometry, sizeof(op.geometry));
    // Still alive and unchanged: a write or release would have drawn first.
    // The record keeps the address as a word so that frames compare as plain words.
    rec.texture = reinterpret_cast<const Surface*>( // NOLINT(performance-no-int-to-ptr)
        static_cast<uintptr_t>(op.texAddr));
    rec.state.alphaBlend = (op.flags & kOpAlphaBlend) != 0;
    rec.state.colorKey = (op.flags & kOpColorKey) != 0;
    rec.state.src = static_cast<Blend>(op.src);
    rec.state.dst = static_cast<Blend>(op.dst);
    return rec;
}

bool VideoDevice::ClearHiddenAfter(size_t clear, size_t end, const RectI& area) const {
    // The draws right after the clear that overwrite whatever is under them
    // (an opaque background, usually in tiles): when they cover the whole
    // area, nothing of the clear shows.
    constexpr size_t kMaxLook = 64;
    std::vector<RectI> covers;
    for (size_t i = clear + 1; i < end && covers.size() < kMaxLook; ++i) {
        if (cur_[i].kind != kOpQuad)
            break;
        const RectI r = RasterOpaqueCover(back_, QuadRecord(cur_[i]));
        if (r.left >= r.right || r.top >= r.bottom)
            break;
        covers.push_back(r);
    }
    return !covers.empty() && RectsCover(covers, area);
}

void VideoDevice::Execute(const FrameOp& op, const RectI& clip) {
    if (op.kind == kOpClear) {
        const bool all = clip.left <= 0 && clip.top <= 0 && clip.right >= back_.width && clip.bottom >= back_.height;
        RasterFill(back_, clip, op.colour);
        BackWritten(all);
    } else if (op.kind == kOpBlt) {
        auto rect = [](const uint32_t* g) {
            return RectI{static_cast<int>(g[0]), static_cast<int>(g[1]), static_cast<int>(g[2]),
                         static_cast<int>(g[3])};
        };
        const RectI d = rect(op.geometry), s = rect(op.geometry + 4);
        const Surface* src = reinterpret_cast<const Surface*>( // NOLINT(performance-no-int-to-ptr): as above
            static_cast<uintptr_t>(op.texAddr));
        RasterBltClipped(back_, d, *src, s, (op.flags & kOpKeySrc) != 0, clip);
        BackWritten(false);
    }
}

void VideoDevice::BackWritten(bool overwritesAll) {
    // A write by someone else since the device's last one is not in the record.
    if (!overwritesAll && back_.stamp != backStamp_)
        recording_ = false;
    back_.stamp = NewSurfaceStamp();
    backStamp_ = back_.stamp;
}

void VideoDevice::SetDeferring(bool on) {
    if (on != deferring_)
        g_deferring.fetch_add(on ? 1 : -1, std::memory_order_relaxed);
    deferring_ = on;
}

void VideoDevice::SurfaceChanging(const Surface& s) {
    if (!deferring_)
        return;
    if (&s == &back_) {
        DrawDeferred();
        recording_ = false;
        return;
    }
    const uint64_t addr = reinterpret_cast<uintptr_t>(&s);
    size_t word;
    uint64_t bit;
    FilterBit(addr, &word, &bit);
    if ((texFilter_[word] & bit) == 0)
        return;
    for (const FrameOp& op : cur_) {
        if (op.texAddr == addr) {
            DrawDeferred();
            return;
        }
    }
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
    if (Defer(QuadOp(v, texture_, state_)))
        return kVideoOk;
    if (batching_) {
        DrawRecord rec;
        std::copy(v, v + 4, rec.v);
        rec.texture = texture_;
        rec.state = state_;
        batch_.push_back(rec);
        return kVideoOk;
    }
    RasterQuadStrip(back_, texture_, v, state_);
    BackWritten(false);
    return kVideoOk;
}

void VideoDevice::FlushBatch() {
    if (batch_.empty())
        return;
    RasterQuadBatch(back_, batch_.data(), batch_.size());
    batch_.clear();
    BackWritten(false);
}

void VideoDevice::EndBatch() {
    batching_ = false;
    FlushBatch();
}

int32_t VideoDevice::BltToBack(const RectI& dstRect, const Surface* src, const RectI& srcRect, bool keySrc) {
    if (!src)
        return kVideoErrInvalidParams;
    if (src->lost || back_.lost)
        return kVideoErrSurfaceLost;
    FlushBatch();
    FrameOp op;
    op.kind = kOpBlt;
    op.flags = (keySrc ? kOpKeySrc : 0) | (src->hasColorKey ? kOpTexKeyed : 0);
    op.colour = src->colorKey;
    op.texW = src->width;
    op.texH = src->height;
    op.texAddr = reinterpret_cast<uintptr_t>(src);
    op.texStamp = src->stamp;
    for (const RectI* r : {&dstRect, &srcRect}) {
        uint32_t* g = op.geometry + (r == &dstRect ? 0 : 4);
        g[0] = static_cast<uint32_t>(r->left), g[1] = static_cast<uint32_t>(r->top);
        g[2] = static_cast<uint32_t>(r->right), g[3] = static_cast<uint32_t>(r->bottom);
    }
    if (!Defer(op))
        Execute(op, RectI{0, 0, back_.width, back_.height});
    return kVideoOk;
}

int32_t VideoDevice::Blt(Surface* dst, const RectI& dstRect, const Surface* src, const RectI& srcRect, bool keySrc) {
    if (!dst || !src)
        return kVideoErrInvalidParams;
    if (src->lost || dst->lost)
        return kVideoErrSurfaceLost;
    dst->Touch();
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
    if (deferring_)
        DrawDeferred();
    prevValid_ = false;
    if (!lost_) {
        lost_ = true;
        EmptyLiveSurfaces();
        back_.lost = true;
    }
}

} // namespace plat
