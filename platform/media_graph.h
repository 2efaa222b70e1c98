#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_mixer.h"
#include "platform/media_audio_decoder.h"
#include "platform/media_video_decoder.h"
#include "platform/media_video_sink.h"
#include "platform/surface.h"
#include "platform/window_handle.h"

namespace plat {

// Result codes of the media graph (COM-like: negative is failure).
constexpr int32_t kMediaOk = 0;
constexpr int32_t kMediaFalse = 1;
constexpr int32_t kMediaFail = static_cast<int32_t>(0x80004005u);
constexpr int32_t kMediaPointer = static_cast<int32_t>(0x80004003u);
constexpr int32_t kMediaAbort = static_cast<int32_t>(0x80004004u); // no event waiting
constexpr int32_t kMediaNotFound = static_cast<int32_t>(0x80070002u);
constexpr int32_t kMediaStateIntermediate = 0x00040237; // never produced
constexpr int32_t kMediaCantCue = 0x00040268; // never produced
constexpr int32_t kMediaEventComplete = 1;

enum MediaGraphState { kGraphStopped = 0, kGraphPaused = 1, kGraphRunning = 2 };

// One open media file played through the mixer: the stand-in for a filter
// graph with its control, seeking, event, audio and video-window sides.
//
// Time is counted in output frames from the media's start; positions and
// durations are given in 100 ns units. The graph's clock is the mixer: while
// running it advances by every rendered frame (its audio, or silence for a
// video-only file). At the end of the media (or the stop position) it queues
// one completion event, posts notifyMessage to the app event queue and stays
// running until the owner acts; a graph destroyed takes back the messages it
// posted that are still waiting. Every call but MixInto comes from the main
// thread; all state is under the mixer lock.
class MediaGraph : public MixerStream {
public:
    MediaGraph();
    ~MediaGraph() override;
    MediaGraph(const MediaGraph&) = delete;
    MediaGraph& operator=(const MediaGraph&) = delete;

    // Fails when the file is missing, cannot be probed, or has neither a
    // decodable audio nor a decodable video stream.
    int32_t RenderFile(const std::string& path);
    bool HasAudio() const { return hasAudio_; }
    bool HasVideo() const { return hasVideo_; }

    int32_t Run();
    int32_t Pause();
    int32_t Stop();
    int32_t GetState(int timeoutMs, int* state);

    // A null pointer leaves that position as it is. A stop of 0 or less means
    // the end of the media. Moving the current position clears a completion
    // that has not been handled yet, and playing goes on from there.
    int32_t SetPositions(const int64_t* current, const int64_t* stop);
    int32_t GetPositions(int64_t* current, int64_t* stop);
    int32_t GetDuration(int64_t* duration);

    // Volume in hundredths of a decibel, -10000 (silent) to 0.
    int32_t PutVolume(int centibels);
    int32_t GetVolume(int* centibels);

    int32_t SetNotifyWindow(WindowHandle owner, uint32_t message, intptr_t param);
    // Takes the oldest event; kMediaAbort when none waits.
    int32_t GetEvent(int32_t* code, intptr_t* param1, intptr_t* param2, int timeoutMs);

    // Video window (fails for a file without video where it makes no sense).
    int32_t GetVisible(bool* visible);
    int32_t PutVisible(bool visible);
    int32_t PutOwner(WindowHandle owner);
    int32_t PutWindowStyle(uint32_t style);
    int32_t PutWindowState(int showState);
    int32_t SetWindowForeground(bool foreground);
    int32_t SetWindowPosition(int x, int y, int width, int height);
    int32_t GetFullScreenMode(bool* fullScreen);
    int32_t PutFullScreenMode(bool fullScreen);
    int32_t GetMessageDrain(WindowHandle* drain);
    int32_t PutMessageDrain(WindowHandle drain);
    int32_t GetVideoSize(int* width, int* height);
    VideoWindowState Window();

    // Main thread: decodes the picture due at the current position. True when
    // a new picture came out (it is in Picture()).
    bool UpdatePicture();
    const Surface& Picture() const { return picture_; }
    int64_t PicturesShown() const { return picturesShown_; }

    void MixInto(float* out, int frames, float gain) override;

    // Every graph that exists, for the picture pump.
    static std::vector<MediaGraph*> LiveGraphs();

private:
    void CompleteLocked();
    int64_t EndFrameLocked() const;

    std::string path_;
    bool hasAudio_ = false;
    bool hasVideo_ = false;
    AudioDecoder audio_;
    VideoDecoder video_;
    int state_ = kGraphStopped;
    int64_t position_ = 0; // frames from the media start
    int64_t stopFrame_ = -1; // -1: the end of the media
    int64_t lengthFrames_ = 0; // from the container; exact once the audio ran out
    bool audioEnded_ = false;
    bool completePosted_ = false;
    int volume_ = 0;
    float gain_ = 1.0f;
    WindowHandle notifyOwner_ = nullptr;
    uint32_t notifyMessage_ = 0;
    intptr_t notifyParam_ = 0;
    std::deque<int32_t> events_;
    VideoWindowState window_;
    Surface picture_;
    int64_t picturesShown_ = 0;
    std::vector<float> scratch_;
};

} // namespace plat
