#include "platform/cd_device.h"

#include <cstdio>
#include <cstring>

#include "platform/cd_audio_player.h"
#include "platform/cd_device_test_hooks.h"
#include "platform/debug_out.h"

namespace plat {

namespace {

FakeCdDisc* g_fakeDisc = nullptr;

class FakeCdBackend : public CdBackend {
public:
    explicit FakeCdBackend(FakeCdDisc* disc) : disc_(disc) {}

    bool MediaPresent(bool* present) override {
        if (Fails("media"))
            return false;
        *present = disc_->present && !disc_->doorOpen;
        return true;
    }
    bool ReadToc(CdToc* toc) override {
        if (Fails("toc") || !disc_->present || disc_->doorOpen)
            return false;
        *toc = disc_->toc;
        return true;
    }
    bool Status(CdStatus* status) override {
        if (Fails("status"))
            return false;
        status->mode = disc_->doorOpen ? CdMode::kDoorOpen : disc_->present ? disc_->mode : CdMode::kNotReady;
        status->absolute = disc_->position;
        status->track = 0;
        for (size_t i = 0; i < disc_->toc.tracks.size(); ++i) {
            if (disc_->position >= disc_->toc.tracks[i].start)
                status->track = static_cast<unsigned>(i + 1);
        }
        return true;
    }
    bool Play(uint32_t frame, uint32_t) override {
        if (Fails("play") || !disc_->present || disc_->doorOpen || frame >= disc_->toc.leadOut)
            return false;
        disc_->lastPlayFrom = frame;
        disc_->position = frame;
        disc_->mode = CdMode::kPlaying;
        return true;
    }
    bool Stop() override { return Set("stop", CdMode::kStopped); }
    bool Pause() override { return Set("pause", CdMode::kPaused); }
    bool Resume() override { return disc_->mode == CdMode::kPaused && Set("resume", CdMode::kPlaying); }
    // This drive has no digital audio: it plays through its analog output.
    bool ReadAudio(uint32_t, uint32_t, int16_t*) override { return false; }
    bool Door(bool open) override {
        if (Fails("door"))
            return false;
        disc_->doorOpen = open;
        disc_->mode = CdMode::kStopped;
        return true;
    }

private:
    bool Fails(const char* what) {
        if (std::strcmp(disc_->failNext, what) != 0)
            return false;
        disc_->failNext = "";
        return true;
    }
    bool Set(const char* what, CdMode mode) {
        if (Fails(what) || !disc_->present || disc_->doorOpen)
            return false;
        disc_->mode = mode;
        return true;
    }
    FakeCdDisc* disc_;
};

} // namespace

void CdUseFakeDisc(FakeCdDisc* disc) { g_fakeDisc = disc; }

CdDevice::CdDevice() = default;
CdDevice::~CdDevice() { Close(); }

bool CdDevice::Open(const char* drive) {
    Close();
    if (g_fakeDisc) {
        ++g_fakeDisc->opens;
        if (!g_fakeDisc->noDrive)
            backend_ = std::make_unique<FakeCdBackend>(g_fakeDisc);
    } else {
        backend_ = OpenSystemCdDrive(drive);
    }
    format_ = kFormatMilliseconds;
    if (backend_)
        player_ = std::make_unique<CdAudioPlayer>(backend_.get());
    return backend_ != nullptr;
}

void CdDevice::Close() {
    player_.reset();
    backend_.reset();
    digital_ = false;
    fallbackLogged_ = false;
}

bool CdDevice::Digital() const { return digital_ && player_; }

bool CdDevice::SetTimeFormat(uint32_t format) {
    if (!backend_ || (format != kFormatMilliseconds && format != kFormatMsf && format != kFormatTmsf))
        return false;
    format_ = format;
    return true;
}

bool CdDevice::MediaPresent(bool* present) { return backend_ && present && backend_->MediaPresent(present); }

bool CdDevice::Toc(CdToc* toc) { return backend_ && backend_->ReadToc(toc) && !toc->tracks.empty(); }

bool CdDevice::TrackCount(unsigned* count) {
    CdToc toc;
    if (!count || !Toc(&toc))
        return false;
    *count = static_cast<unsigned>(toc.tracks.size());
    return true;
}

bool CdDevice::TrackIsData(unsigned track, bool* data) {
    CdToc toc;
    if (!data || !Toc(&toc) || track < 1 || track > toc.tracks.size())
        return false;
    *data = toc.tracks[track - 1].data;
    return true;
}

bool CdDevice::TrackLength(unsigned track, uint32_t* frames) {
    CdToc toc;
    if (!frames || !Toc(&toc) || track < 1 || track > toc.tracks.size())
        return false;
    const uint32_t end = track < toc.tracks.size() ? toc.tracks[track].start : toc.leadOut;
    const uint32_t start = toc.tracks[track - 1].start;
    *frames = end > start ? end - start : 0;
    return true;
}

bool CdDevice::DiscLength(uint32_t* frames) {
    CdToc toc;
    if (!frames || !Toc(&toc))
        return false;
    *frames = toc.leadOut > toc.tracks[0].start ? toc.leadOut - toc.tracks[0].start : 0;
    return true;
}

bool CdDevice::Identity(char* buffer, size_t size) {
    CdToc toc;
    if (!buffer || size == 0 || !Toc(&toc))
        return false;
    // FNV-1a over the track starts and the lead-out.
    uint32_t h = 2166136261u;
    auto mix = [&h](uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            h ^= (v >> (8 * i)) & 0xFF;
            h *= 16777619u;
        }
    };
    for (const CdTocEntry& t : toc.tracks)
        mix(t.start);
    mix(toc.leadOut);
    std::snprintf(buffer, size, "%08x", h);
    return true;
}

bool CdDevice::Position(uint32_t* absolute, unsigned* track, uint32_t* relative) {
    CdStatus st;
    CdToc toc;
    if (Digital()) {
        st.absolute = player_->Position();
        if (!Toc(&toc))
            return false;
        for (size_t i = 0; i < toc.tracks.size(); ++i) {
            if (st.absolute >= toc.tracks[i].start)
                st.track = static_cast<unsigned>(i + 1);
        }
    } else if (!backend_ || !backend_->Status(&st) || !Toc(&toc)) {
        return false;
    }
    unsigned t = st.track;
    if (t < 1 || t > toc.tracks.size())
        t = 1;
    const uint32_t start = toc.tracks[t - 1].start;
    if (absolute)
        *absolute = st.absolute;
    if (track)
        *track = t;
    if (relative)
        *relative = st.absolute > start ? st.absolute - start : 0;
    return true;
}

bool CdDevice::Mode(CdMode* mode) {
    if (!mode || !backend_)
        return false;
    if (Digital()) {
        // A drive that failed under a playing track answers with an error once.
        if (player_->TakeFailure())
            return false;
        *mode = player_->Mode();
        if (*mode != CdMode::kStopped)
            return true;
    }
    CdStatus st;
    if (!backend_->Status(&st))
        return false;
    *mode = st.mode;
    return true;
}

bool CdDevice::PlayFrom(unsigned track, uint32_t relative) {
    CdToc toc;
    if (!Toc(&toc) || track < 1 || track > toc.tracks.size() || toc.tracks[track - 1].data)
        return false;
    uint32_t end = toc.leadOut;
    for (size_t i = track; i < toc.tracks.size(); ++i) {
        if (toc.tracks[i].data) {
            end = toc.tracks[i].start;
            break;
        }
    }
    return Play(toc.tracks[track - 1].start + relative, end);
}

bool CdDevice::Play(uint32_t from, uint32_t to) {
    if (!backend_ || from >= to)
        return false;
    if (digital_)
        player_->Stop();
    digital_ = player_->Start(from, to);
    if (digital_)
        return true;
    if (!fallbackLogged_) {
        fallbackLogged_ = true;
        DebugOut("Warn: <CdDevice::Play> デジタルで読み出せないため、ドライブのアナログ出力で再生します\n");
    }
    return backend_->Play(from, to);
}

bool CdDevice::Stop() {
    if (Digital()) {
        player_->Stop();
        return true;
    }
    return backend_ && backend_->Stop();
}

bool CdDevice::Pause() {
    if (Digital()) {
        player_->Pause();
        return true;
    }
    return backend_ && backend_->Pause();
}

bool CdDevice::Resume() {
    if (Digital())
        return player_->Resume() || Play(player_->Position(), player_->End());
    // A stopped disc plays on from where it stands.
    CdStatus st;
    CdToc toc;
    if (!backend_ || !backend_->Status(&st) || !Toc(&toc))
        return false;
    return st.mode == CdMode::kPaused ? backend_->Resume() : Play(st.absolute, toc.leadOut);
}

bool CdDevice::Door(bool open) {
    if (Digital())
        player_->Stop();
    digital_ = false;
    return backend_ && backend_->Door(open);
}

} // namespace plat
