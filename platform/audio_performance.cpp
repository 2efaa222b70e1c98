#include "platform/audio_performance.h"

#include <cstring>
#include <mutex>

#include "platform/audio_output.h"
#include "platform/files.h"
#include "platform/media_audio_decoder.h"
#include "platform/audio_performance_test_hooks.h"

namespace plat {

namespace {

std::mutex g_faultMutex;
std::string g_faultOp;
int g_faultCount = 0;

bool Faulted(const char* op) {
    std::lock_guard<std::mutex> lock(g_faultMutex);
    if (g_faultOp.empty() || g_faultOp != op)
        return false;
    if (--g_faultCount > 0)
        return false;
    g_faultOp.clear();
    return true;
}

} // namespace

void SetSoundFault(const char* operation, int count) {
    std::lock_guard<std::mutex> lock(g_faultMutex);
    g_faultOp = operation ? operation : "";
    g_faultCount = count;
}

bool SoundSegmentState::Playing() const {
    auto lock = AudioMixer::Get().Lock();
    return record_ && record_->playing;
}

int32_t SoundSegmentState::GetSeek(int64_t* frames) const {
    if (!frames)
        return kSoundPointer;
    auto lock = AudioMixer::Get().Lock();
    *frames = record_ ? record_->framesPlayed : 0;
    return kSoundOk;
}

SoundPath::SoundPath() : bus_(AudioMixer::Get().CreateBus(0)) {}

SoundPath::~SoundPath() { AudioMixer::Get().DestroyBus(bus_); }

int32_t SoundPath::SetVolume(int centibels) {
    if (Faulted("PathVolume"))
        return kSoundFail;
    if (!AudioMixer::Get().SetBusLevel(bus_, centibels))
        return kSoundFail;
    volume_ = centibels;
    return kSoundOk;
}

int32_t SoundLoader::LoadWave(const std::string& path, SoundSegment** out) {
    if (!out)
        return kSoundPointer;
    *out = nullptr;
    if (Faulted("LoadSegment"))
        return kSoundFail;
    // Only RIFF WAVE files are segments; other RIFF kinds are refused.
    FILE* f = OpenFile(path, "rb");
    if (!f)
        return kSoundFail;
    unsigned char head[12] = {};
    const size_t got = fread(head, 1, sizeof(head), f);
    fclose(f);
    if (got < sizeof(head) || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0)
        return kSoundFail;
    return LoadAny(path, out);
}

int32_t SoundLoader::LoadAny(const std::string& path, SoundSegment** out) {
    if (!out)
        return kSoundPointer;
    *out = nullptr;
    auto pcm = std::make_shared<PcmBuffer>();
    if (!DecodeAudioFile(path, pcm.get()))
        return kSoundFail;
    *out = new SoundSegment(std::move(pcm));
    return kSoundOk;
}

int32_t SoundLoader::SetSearchDirectory(const std::string& dir) {
    searchDir_ = dir;
    return kSoundOk;
}

int32_t SoundLoader::ClearCache() { return kSoundOk; }

SoundPerformance::~SoundPerformance() { CloseDown(); }

int32_t SoundPerformance::InitAudio() {
    if (Faulted("InitAudio"))
        return kSoundFail;
    AudioOutputStart();
    if (!AudioOutputHasDevice())
        return kSoundFail;
    ready_ = true;
    return kSoundOk;
}

int32_t SoundPerformance::CreateStandardPath(SoundPath** out) {
    if (!out)
        return kSoundPointer;
    *out = nullptr;
    if (!ready_ || Faulted("CreatePath"))
        return kSoundFail;
    *out = new SoundPath();
    return kSoundOk;
}

int32_t SoundPerformance::PlaySegment(SoundSegment* segment, SoundPath* path, SoundSegmentState** out) {
    if (!segment || !path || !out)
        return kSoundPointer;
    *out = nullptr;
    if (!ready_ || Faulted("Play"))
        return kSoundFail;
    std::shared_ptr<VoiceRecord> rec = AudioMixer::Get().PlayBuffer(segment->Pcm(), path->Bus(), segment->Loop());
    if (!rec)
        return kSoundFail;
    *out = new SoundSegmentState(std::move(rec));
    return kSoundOk;
}

int32_t SoundPerformance::StopSegment(SoundSegment* segment) {
    if (!segment)
        return kSoundPointer;
    if (Faulted("Stop"))
        return kSoundFail;
    AudioMixer::Get().StopBuffer(segment->Pcm().get());
    return kSoundOk;
}

int32_t SoundPerformance::StopAll() {
    if (Faulted("StopAll"))
        return kSoundFail;
    AudioMixer::Get().StopAllBuffers();
    return kSoundOk;
}

int32_t SoundPerformance::IsPlaying(SoundSegment* segment, SoundSegmentState* state) {
    if (!segment && !state)
        return kSoundPointer;
    if (Faulted("IsPlaying"))
        return kSoundFail;
    if (state)
        return state->Playing() ? kSoundOk : kSoundFalse;
    return kSoundFalse;
}

int32_t SoundPerformance::CloseDown() {
    if (!ready_)
        return kSoundOk;
    if (Faulted("CloseDown"))
        return kSoundFail;
    ready_ = false;
    return kSoundOk;
}

} // namespace plat
