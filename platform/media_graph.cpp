#include "platform/media_graph.h"

#include <algorithm>
#include <mutex>

#include "platform/app_events.h"
#include "platform/audio_output.h"
#include "platform/files.h"

namespace plat {

namespace {

constexpr int32_t kNoInterface = static_cast<int32_t>(0x80004002u);
constexpr int kShowHide = 0;

std::mutex g_liveMutex;

// Never destroyed: global objects' destructors close their graphs during
// exit (Xlib calls exit() when the display goes away), possibly after this
// file's own statics are gone.
std::vector<MediaGraph*>& Live() {
    static auto* live = new std::vector<MediaGraph*>;
    return *live;
}
VideoFrameSink* g_sink = nullptr;

} // namespace

void SetVideoFrameSink(VideoFrameSink* sink) { g_sink = sink; }
VideoFrameSink* GetVideoFrameSink() { return g_sink; }

void PumpMoviePictures() {
    for (MediaGraph* g : MediaGraph::LiveGraphs()) {
        if (!g->HasVideo())
            continue;
        if (g->UpdatePicture()) {
            const VideoWindowState w = g->Window();
            if (g_sink && w.visible)
                g_sink->ShowMoviePicture(g->Picture(), w);
        }
    }
}

std::vector<MediaGraph*> MediaGraph::LiveGraphs() {
    std::lock_guard<std::mutex> lock(g_liveMutex);
    return Live();
}

MediaGraph::MediaGraph() {
    std::lock_guard<std::mutex> lock(g_liveMutex);
    Live().push_back(this);
}

MediaGraph::~MediaGraph() {
    AudioMixer::Get().RemoveStream(this);
    // Out of the mix, it posts no more; an end it posted and nobody took yet
    // would reach a closed channel. Its message is its own: one graph per channel.
    if (notifyMessage_ != 0)
        DropAppEvents(notifyMessage_);
    {
        std::lock_guard<std::mutex> lock(g_liveMutex);
        std::vector<MediaGraph*>& live = Live();
        live.erase(std::remove(live.begin(), live.end(), this), live.end());
    }
    if (window_.visible && g_sink)
        g_sink->HideMovie();
}

int32_t MediaGraph::RenderFile(const std::string& path) {
    if (!path_.empty())
        return kMediaFail; // one file per graph
    const std::string real = ResolvePath(path);
    if (!FileExists(real))
        return kMediaNotFound;
    // Probing reads the file; the graph is not in the mix yet, so this needs
    // no lock and the audio thread never waits for it.
    hasAudio_ = audio_.Open(real);
    hasVideo_ = video_.Open(real);
    if (!hasAudio_ && !hasVideo_)
        return kMediaFail;
    // Media need a running output (at least the no-device clock) to advance,
    // whether or not the sound system started.
    AudioOutputStart();
    auto lock = AudioMixer::Get().Lock();
    path_ = real;
    const int64_t duration = hasAudio_ ? audio_.Duration100ns() : video_.Duration100ns();
    lengthFrames_ = FramesFrom100ns(duration > 0 ? duration : video_.Duration100ns());
    if (hasVideo_) {
        window_.width = video_.Width();
        window_.height = video_.Height();
    }
    AudioMixer::Get().AddStream(this);
    return kMediaOk;
}

int32_t MediaGraph::Run() {
    auto lock = AudioMixer::Get().Lock();
    if (path_.empty())
        return kMediaFail;
    state_ = kGraphRunning;
    return kMediaOk;
}

int32_t MediaGraph::Pause() {
    auto lock = AudioMixer::Get().Lock();
    if (path_.empty())
        return kMediaFail;
    state_ = kGraphPaused;
    return kMediaOk;
}

int32_t MediaGraph::Stop() {
    auto lock = AudioMixer::Get().Lock();
    if (path_.empty())
        return kMediaFail;
    state_ = kGraphStopped;
    return kMediaOk;
}

int32_t MediaGraph::GetState(int, int* state) {
    if (!state)
        return kMediaPointer;
    auto lock = AudioMixer::Get().Lock();
    *state = state_;
    return kMediaOk;
}

int32_t MediaGraph::SetPositions(const int64_t* current, const int64_t* stop) {
    auto lock = AudioMixer::Get().Lock();
    if (path_.empty())
        return kMediaFail;
    if (stop)
        stopFrame_ = *stop <= 0 ? -1 : FramesFrom100ns(*stop);
    if (current) {
        const int64_t target = FramesFrom100ns(*current);
        if (hasAudio_) {
            const bool ok = target == 0 ? audio_.Rewind() : audio_.SeekToFrame(target);
            if (!ok)
                return kMediaFail;
            audioEnded_ = false;
        }
        position_ = target;
        completePosted_ = false;
    }
    return kMediaOk;
}

int32_t MediaGraph::GetPositions(int64_t* current, int64_t* stop) {
    auto lock = AudioMixer::Get().Lock();
    if (path_.empty())
        return kMediaFail;
    if (current)
        *current = FramesTo100ns(position_);
    if (stop) {
        int64_t d = 0;
        GetDuration(&d);
        *stop = stopFrame_ >= 0 ? FramesTo100ns(stopFrame_) : d;
    }
    return kMediaOk;
}

int32_t MediaGraph::GetDuration(int64_t* duration) {
    if (!duration)
        return kMediaPointer;
    auto lock = AudioMixer::Get().Lock();
    if (path_.empty())
        return kMediaFail;
    int64_t d = hasAudio_ ? audio_.Duration100ns() : 0;
    if (d <= 0)
        d = video_.Duration100ns();
    if (d <= 0)
        d = FramesTo100ns(lengthFrames_);
    *duration = d;
    return kMediaOk;
}

int32_t MediaGraph::PutVolume(int centibels) {
    auto lock = AudioMixer::Get().Lock();
    if (centibels > 0 || centibels < -10000)
        return static_cast<int32_t>(0x80070057u); // invalid argument
    volume_ = centibels;
    gain_ = GainFromCentibels(centibels, -10000);
    return kMediaOk;
}

int32_t MediaGraph::GetVolume(int* centibels) {
    if (!centibels)
        return kMediaPointer;
    auto lock = AudioMixer::Get().Lock();
    *centibels = volume_;
    return kMediaOk;
}

int32_t MediaGraph::SetNotifyWindow(WindowHandle owner, uint32_t message, intptr_t param) {
    auto lock = AudioMixer::Get().Lock();
    notifyOwner_ = owner;
    notifyMessage_ = message;
    notifyParam_ = param;
    return kMediaOk;
}

int32_t MediaGraph::GetEvent(int32_t* code, intptr_t* param1, intptr_t* param2, int) {
    if (!code || !param1 || !param2)
        return kMediaPointer;
    auto lock = AudioMixer::Get().Lock();
    if (events_.empty())
        return kMediaAbort;
    *code = events_.front();
    *param1 = 0;
    *param2 = 0;
    events_.pop_front();
    return kMediaOk;
}

int64_t MediaGraph::EndFrameLocked() const {
    if (stopFrame_ >= 0)
        return stopFrame_;
    return hasAudio_ ? INT64_MAX : lengthFrames_;
}

void MediaGraph::CompleteLocked() {
    if (completePosted_)
        return;
    completePosted_ = true;
    events_.push_back(kMediaEventComplete);
    if (notifyMessage_ != 0)
        PostAppEvent(notifyMessage_, 0, notifyParam_);
}

void MediaGraph::MixInto(float* out, int frames, float gain) {
    if (state_ != kGraphRunning || completePosted_)
        return;
    const int64_t end = EndFrameLocked();
    int want = static_cast<int>(std::clamp<int64_t>(end - position_, 0, frames));
    if (hasAudio_ && !audioEnded_) {
        scratch_.resize(static_cast<size_t>(want) * kAudioChannels);
        const int n = want > 0 ? audio_.Read(scratch_.data(), want) : 0;
        const float g = gain_ * gain;
        if (g != 0.0f) {
            for (int i = 0; i < n * kAudioChannels; ++i)
                out[i] += scratch_[static_cast<size_t>(i)] * g;
        }
        position_ += n;
        want -= n;
        if (want > 0 || audio_.AtEnd())
            audioEnded_ = true;
    }
    // Without sound, or once a movie's sound is over, the clock carries the
    // pictures on to the end of the media, as far as the container says.
    if (!hasAudio_)
        position_ += want;
    else if (audioEnded_ && hasVideo_)
        position_ += std::clamp<int64_t>(std::min(end, lengthFrames_) - position_, 0, want);
    const bool picturesLeft = hasVideo_ && position_ < lengthFrames_;
    if (position_ >= end || (audioEnded_ && !picturesLeft))
        CompleteLocked();
}

int32_t MediaGraph::GetVisible(bool* visible) {
    if (!visible)
        return kMediaPointer;
    auto lock = AudioMixer::Get().Lock();
    if (!hasVideo_)
        return kNoInterface;
    *visible = window_.visible;
    return kMediaOk;
}

int32_t MediaGraph::PutVisible(bool visible) {
    bool hide = false;
    {
        auto lock = AudioMixer::Get().Lock();
        if (!hasVideo_)
            return kNoInterface;
        hide = window_.visible && !visible;
        window_.visible = visible;
    }
    if (hide && g_sink)
        g_sink->HideMovie();
    // A window made visible shows the current picture at once.
    if (visible && g_sink && picturesShown_ > 0)
        g_sink->ShowMoviePicture(picture_, Window());
    return kMediaOk;
}

int32_t MediaGraph::PutOwner(WindowHandle owner) {
    auto lock = AudioMixer::Get().Lock();
    if (!hasVideo_)
        return kNoInterface;
    window_.owner = owner;
    return kMediaOk;
}

int32_t MediaGraph::PutWindowStyle(uint32_t style) {
    auto lock = AudioMixer::Get().Lock();
    if (!hasVideo_)
        return kNoInterface;
    window_.style = style;
    return kMediaOk;
}

int32_t MediaGraph::PutWindowState(int showState) {
    auto lock = AudioMixer::Get().Lock();
    if (!hasVideo_)
        return kNoInterface;
    window_.showState = showState;
    if (showState == kShowHide)
        window_.foreground = false;
    return kMediaOk;
}

int32_t MediaGraph::SetWindowForeground(bool foreground) {
    auto lock = AudioMixer::Get().Lock();
    if (!hasVideo_)
        return kNoInterface;
    window_.foreground = foreground;
    return kMediaOk;
}

int32_t MediaGraph::SetWindowPosition(int x, int y, int width, int height) {
    auto lock = AudioMixer::Get().Lock();
    if (!hasVideo_)
        return kNoInterface;
    window_.x = x;
    window_.y = y;
    window_.width = width;
    window_.height = height;
    return kMediaOk;
}

int32_t MediaGraph::GetFullScreenMode(bool* fullScreen) {
    if (!fullScreen)
        return kMediaPointer;
    auto lock = AudioMixer::Get().Lock();
    if (!hasVideo_)
        return kNoInterface;
    *fullScreen = window_.fullScreen;
    return kMediaOk;
}

int32_t MediaGraph::PutFullScreenMode(bool fullScreen) {
    auto lock = AudioMixer::Get().Lock();
    if (!hasVideo_)
        return kNoInterface;
    window_.fullScreen = fullScreen;
    return kMediaOk;
}

int32_t MediaGraph::GetMessageDrain(WindowHandle* drain) {
    if (!drain)
        return kMediaPointer;
    auto lock = AudioMixer::Get().Lock();
    if (!hasVideo_)
        return kNoInterface;
    *drain = window_.messageDrain;
    return kMediaOk;
}

int32_t MediaGraph::PutMessageDrain(WindowHandle drain) {
    auto lock = AudioMixer::Get().Lock();
    if (!hasVideo_)
        return kNoInterface;
    window_.messageDrain = drain;
    return kMediaOk;
}

int32_t MediaGraph::GetVideoSize(int* width, int* height) {
    if (!width || !height)
        return kMediaPointer;
    auto lock = AudioMixer::Get().Lock();
    if (!hasVideo_)
        return kNoInterface;
    *width = video_.Width();
    *height = video_.Height();
    return kMediaOk;
}

VideoWindowState MediaGraph::Window() {
    auto lock = AudioMixer::Get().Lock();
    return window_;
}

bool MediaGraph::UpdatePicture() {
    if (!hasVideo_)
        return false;
    int64_t pos = 0;
    {
        auto lock = AudioMixer::Get().Lock();
        pos = position_;
    }
    // The video decoder belongs to the main thread; decode outside the lock
    // so the audio thread never waits for a picture.
    if (!video_.PictureAt(FramesTo100ns(pos), &picture_))
        return false;
    ++picturesShown_;
    return true;
}

} // namespace plat
