#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/frame_op.h"
#include "platform/surface.h"
#include "platform/underlay_cache.h"

namespace plat {

// The display device: a software rasteriser over 32-bit ARGB surfaces. All
// drawing happens in system memory; the presenter (video_present.h) only shows
// the finished back buffer. Result codes follow the renderer's convention:
// 0 success, negative on failure.

constexpr int32_t kVideoOk = 0;
constexpr int32_t kVideoErrSurfaceLost = static_cast<int32_t>(0x887601C2u);
constexpr int32_t kVideoErrSurfaceBusy = static_cast<int32_t>(0x887601AEu);
constexpr int32_t kVideoErrNoExclusiveMode = static_cast<int32_t>(0x887600E1u);
constexpr int32_t kVideoErrWasStillDrawing = static_cast<int32_t>(0x8876021Cu);
constexpr int32_t kVideoErrInvalidParams = static_cast<int32_t>(0x80070057u);
constexpr int32_t kVideoErrOutOfMemory = static_cast<int32_t>(0x8007000Eu);
constexpr int32_t kVideoErrGeneric = static_cast<int32_t>(0x80004005u);
constexpr int32_t kVideoErrSceneInScene = static_cast<int32_t>(0x887602F8u); // begin while in a scene
constexpr int32_t kVideoErrSceneNotInScene = static_cast<int32_t>(0x887602F9u); // end without a begin

// Device levels, tried from the most capable down; all are the same software
// device here, but each has its own (injectable) mode list.
constexpr uint32_t kVideoLevelTnL = 0xFFFFFFFAu;
constexpr uint32_t kVideoLevelRaster = 0xFFFFFFFBu;
constexpr uint32_t kVideoLevel2D = 0xFFFFFFFCu;
constexpr uint32_t kVideoLevelReference = 0xFFFFFFFDu;
constexpr uint32_t kVideoLevelDefault = 0xFFFFFFFFu;

struct VideoMode {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bpp = 0;
    uint32_t refresh = 0;
};

// Number of display modes a level lists; 0 when its list cannot be read.
uint32_t VideoModeCount(uint32_t level);
// Fills one entry; kVideoOk or a negative code for a bad index.
int32_t GetVideoMode(uint32_t level, uint32_t index, VideoMode* out);

// A picture the device made (texture tile or off-screen surface). A device
// loss empties the contents of every live one, as video memory would.
class DeviceSurface : public Surface {
public:
    DeviceSurface(int w, int h);
    ~DeviceSurface();
    DeviceSurface(const DeviceSurface&) = delete;
    DeviceSurface& operator=(const DeviceSurface&) = delete;
};
using DeviceSurfacePtr = std::unique_ptr<DeviceSurface>;

// Blend factors, numbered as the renderer names them.
enum class Blend : uint32_t {
    kZero = 1,
    kOne = 2,
    kSrcColor = 3,
    kInvSrcColor = 4,
    kSrcAlpha = 5,
    kInvSrcAlpha = 6,
    kDestAlpha = 7,
    kInvDestAlpha = 8,
    kDestColor = 9,
    kInvDestColor = 10,
};

// Pre-transformed vertex: screen position with pixel centres at integer
// coordinates, diffuse colour 0xAARRGGBB, texture coordinates.
struct TLVertex {
    float x = 0, y = 0, z = 0, rhw = 1;
    uint32_t diffuse = 0xFFFFFFFFu;
    uint32_t specular = 0;
    float u = 0, v = 0;
};

// Render state that decides how a textured quad lands on the target.
struct RasterState {
    bool alphaBlend = false;
    bool colorKey = false;
    Blend src = Blend::kSrcAlpha;
    Blend dst = Blend::kInvSrcAlpha;
};

// One recorded quad (tests read the vertices the renderer produced).
struct DrawRecord {
    TLVertex v[4];
    const Surface* texture = nullptr;
    RasterState state;
};

class VideoDevice {
public:
    // Makes a device for a level and mode; null when the level refuses it.
    // Windowed devices take the desktop's depth (32 bits).
    static std::unique_ptr<VideoDevice> Create(uint32_t level, uint32_t width, uint32_t height, uint32_t bpp,
                                               bool fullScreen);
    ~VideoDevice();
    VideoDevice(const VideoDevice&) = delete;
    VideoDevice& operator=(const VideoDevice&) = delete;

    uint32_t level() const { return level_; }
    uint32_t width() const { return width_; }
    uint32_t height() const { return height_; }
    uint32_t bpp() const { return bpp_; }
    bool fullScreen() const { return fullScreen_; }

    // The back buffer every picture and text is drawn to. Whoever asks for
    // it may write to it unseen: the frame in progress is drawn in full and
    // the next one is not taken as a repeat of it.
    Surface* BackBuffer();

    // Textures and off-screen surfaces, zero-filled, owned by the caller.
    // Null for a size of 0 or beyond the device's limit (8192).
    DeviceSurfacePtr CreateTexture(uint32_t width, uint32_t height);
    DeviceSurfacePtr CreateSurface(uint32_t width, uint32_t height);

    // Render state.
    void SetAlphaBlend(bool on) { state_.alphaBlend = on; }
    void SetColorKeyEnable(bool on) { state_.colorKey = on; }
    void SetSrcBlend(Blend b) { state_.src = b; }
    void SetDestBlend(Blend b) { state_.dst = b; }
    const RasterState& state() const { return state_; }
    int32_t SetTexture(const Surface* texture);
    const Surface* texture() const { return texture_; }

    // Frame.
    int32_t Clear(uint32_t argb);
    int32_t BeginScene();
    int32_t EndScene();
    bool inScene() const { return inScene_; }
    // Shows the back buffer; kVideoErrSurfaceLost after a loss until restored.
    int32_t Present();

    // Drawing: a triangle strip of four vertices with the current texture
    // and state, onto the back buffer.
    int32_t DrawQuadStrip(const TLVertex v[4]);
    // Blt onto the back buffer, drawn as part of the frame.
    int32_t BltToBack(const RectI& dstRect, const Surface* src, const RectI& srcRect, bool keySrc);
    // Quads drawn between these two are rasterised together at EndBatch, in
    // the order drawn (the picture draw batches its tiles). Textures must not
    // change or go away before EndBatch.
    void BeginBatch() { batching_ = true; }
    void EndBatch();
    // Stretch copy of src's rectangle into dst's rectangle (nearest), skipping
    // keyed texels when keySrc is set and src has a key.
    static int32_t Blt(Surface* dst, const RectI& dstRect, const Surface* src, const RectI& srcRect, bool keySrc);

    // Loss and restore.
    int32_t TestCooperativeLevel();
    int32_t RestoreAllSurfaces();
    bool lost() const { return lost_; }
    // Marks the device lost and empties every device surface (test hook; the
    // presenter calls it on render-reset events).
    void SimulateSurfaceLoss();

    // Test hook: record every quad drawn (nullptr stops).
    void SetDrawRecorder(std::vector<DrawRecord>* recorder) { recorder_ = recorder; }
    // Frames presented again without drawing, as they repeated the one before.
    uint64_t reusedFrames() const { return reused_; }
    // Frames drawn and shown only where they differed from the one before.
    uint64_t partialFrames() const { return partial_; }
    // Damaged rectangles redrawn from what their unchanged draws left last frame.
    uint64_t underlaidRects() const { return underlaid_; }

    // A write to s is about to happen, or s goes away: a frame whose drawing
    // was put off and that reads s (or is drawn on it) is drawn now.
    void SurfaceChanging(const Surface& s);

    // The device presenting now (the last one made that still lives).
    static VideoDevice* Current();

private:
    VideoDevice(uint32_t level, uint32_t width, uint32_t height, uint32_t bpp, bool fullScreen);

    uint32_t level_;
    uint32_t width_;
    uint32_t height_;
    uint32_t bpp_;
    bool fullScreen_;
    Surface back_;
    RasterState state_;
    const Surface* texture_ = nullptr;
    bool inScene_ = false;
    bool lost_ = false;
    std::vector<DrawRecord>* recorder_ = nullptr;
    bool batching_ = false;
    std::vector<DrawRecord> batch_;

    // Only what changed is drawn. Every frame's operations are kept as
    // plain words; while a frame that began with a clear is recorded over the
    // back buffer still holding the last presented one, its drawing is put
    // off. Presenting compares it with the last frame's list and draws and
    // shows only the region whose draws changed (nothing for an exact
    // repeat). A write to a picture the frame reads, or to the back buffer,
    // draws what was put off in full and goes on as usual.
    static FrameOp QuadOp(const TLVertex v[4], const Surface* tex, const RasterState& st);
    // Records op; true when its drawing is put off.
    bool Defer(const FrameOp& op);
    // Draws the operations put off, cur_[begin, end); clip limits them to one rectangle.
    void DrawDeferred(const RectI* clip = nullptr, size_t begin = 0, size_t end = SIZE_MAX);
    static DrawRecord QuadRecord(const FrameOp& op);
    // The draws after the clear at cur_[clear], up to cur_[end], write every pixel of area.
    bool ClearHiddenAfter(size_t clear, size_t end, const RectI& area) const;
    // Draws one damaged rectangle, from what its unchanged draws left last
    // frame when kept; the first `same` operations equal the last frame's.
    void DrawDamagedRect(const RectI& r, size_t same);
    // How many of this frame's first operations equal the last frame's
    // wherever they can reach r (at least `same`).
    size_t UnchangedUnder(const RectI& r, size_t same) const;
    // Draws only where this frame differs from the last; false when it
    // differs nearly everywhere and the whole frame was drawn.
    bool DrawDamage();
    void Execute(const FrameOp& op, const RectI& clip);
    void BackWritten(bool overwritesAll); // the device itself changed the back buffer
    void SetDeferring(bool on);
    void FlushBatch();
    void CheckFrame(bool partial);
    // A frame with more draws than this is drawn in full.
    static constexpr size_t kMaxFrameOps = 8192;
    std::vector<FrameOp> prev_; // the last presented frame
    std::vector<FrameOp> cur_; // this frame so far
    bool prevValid_ = false; // prev_ holds all of that frame, from its clear
    bool recording_ = true; // cur_ holds all of this frame, from its clear
    bool deferring_ = false; // cur_ is not drawn yet
    bool diffable_ = false; // the back buffer holds prev_ as drawn: only changes need drawing
    bool frameBegun_ = false; // an operation came since the last present
    uint64_t backStamp_ = 0; // the back buffer's stamp after the device's last write
    uint64_t reused_ = 0;
    uint64_t partial_ = 0;
    std::vector<RectI> damage_; // what the last partial draw covered
    UnderlayCache under_;
    uint64_t presents_ = 0;
    uint64_t underlaid_ = 0;
    std::vector<DrawRecord> runScratch_; // DrawDeferred's quads in a row
    uint64_t texFilter_[4] = {}; // pictures the put-off operations read, hashed
};

// Marks every live device surface empty and the current device lost.
void SignalDeviceLoss();

} // namespace plat
