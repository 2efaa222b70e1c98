#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace plat {

class CdAudioPlayer;

// CD addresses count frames of 1/75 s from the start of the disc (the first
// track usually starts at frame 150, two seconds in).
constexpr uint32_t kCdFramesPerSecond = 75;
// Each frame holds 588 stereo samples of 16 bits at 44.1 kHz.
constexpr uint32_t kCdSamplesPerFrame = 588;

struct CdTocEntry {
    uint32_t start = 0;
    bool data = false; // a data track rather than audio
};

struct CdToc {
    std::vector<CdTocEntry> tracks; // index 0 is track 1
    uint32_t leadOut = 0; // first frame after the last track
};

enum class CdMode { kNotReady, kStopped, kPlaying, kPaused, kDoorOpen };

struct CdStatus {
    CdMode mode = CdMode::kNotReady;
    uint32_t absolute = 0; // current frame from the disc start
    unsigned track = 0; // track of the current frame (1-based), 0 when unknown
};

// What a drive does. One backend per open drive; the device below turns the
// answers into tracks, lengths and positions. ReadAudio is called from the
// CD reader thread while the other calls come from the main thread.
class CdBackend {
public:
    virtual ~CdBackend() = default;
    virtual bool MediaPresent(bool* present) = 0;
    virtual bool ReadToc(CdToc* toc) = 0;
    virtual bool Status(CdStatus* status) = 0;
    // Plays frames [from, to) through the drive's own analog audio output.
    virtual bool Play(uint32_t from, uint32_t to) = 0;
    // Reads count frames of audio digitally, starting at frame, as
    // interleaved 16-bit stereo samples (count * 588 * 2 of them).
    virtual bool ReadAudio(uint32_t frame, uint32_t count, int16_t* samples) = 0;
    virtual bool Stop() = 0;
    virtual bool Pause() = 0;
    virtual bool Resume() = 0;
    virtual bool Door(bool open) = 0;
};

// The kernel's CD-ROM audio interface; null when the machine has no drive
// (drive: a device path, or null for the default drive).
std::unique_ptr<CdBackend> OpenSystemCdDrive(const char* drive);

// An audio CD drive. Time formats are those of the engine: 0 milliseconds,
// 2 minute/second/frame, 10 track/minute/second/frame; the format only
// matters to the caller, which packs the values it reads.
// A track is read digitally and played through the program's mixer, so it is
// heard on drives whose analog output leads nowhere; only a drive that cannot
// read audio plays through its analog output. While a track plays digitally,
// mode and position come from what has been played.
class CdDevice {
public:
    CdDevice();
    ~CdDevice();
    CdDevice(const CdDevice&) = delete;
    CdDevice& operator=(const CdDevice&) = delete;

    static constexpr uint32_t kFormatMilliseconds = 0;
    static constexpr uint32_t kFormatMsf = 2;
    static constexpr uint32_t kFormatTmsf = 10;

    // False when no drive answers.
    bool Open(const char* drive);
    void Close();
    bool IsOpen() const { return backend_ != nullptr; }

    bool SetTimeFormat(uint32_t format);
    uint32_t TimeFormat() const { return format_; }

    bool MediaPresent(bool* present);
    bool TrackCount(unsigned* count);
    // False for a track outside the disc.
    bool TrackIsData(unsigned track, bool* data);
    bool TrackLength(unsigned track, uint32_t* frames);
    bool DiscLength(uint32_t* frames);
    // The disc's identity as text: a hash of its table of contents.
    bool Identity(char* buffer, size_t size);
    // Current frame from the disc start and the track it lies in with the
    // frame counted from that track's start.
    bool Position(uint32_t* absolute, unsigned* track, uint32_t* relative);
    bool Mode(CdMode* mode);

    // From a frame of a track to the end of the disc's audio (the lead-out,
    // or the next data track).
    bool PlayFrom(unsigned track, uint32_t relative);
    // Frames [from, to) counted from the disc start.
    bool Play(uint32_t from, uint32_t to);
    bool Stop();
    bool Pause();
    bool Resume();
    bool Door(bool open);

private:
    bool Toc(CdToc* toc);
    bool Digital() const;

    std::unique_ptr<CdBackend> backend_;
    std::unique_ptr<CdAudioPlayer> player_; // reads from backend_
    bool digital_ = false; // the last play went through player_
    bool fallbackLogged_ = false;
    uint32_t format_ = kFormatMilliseconds;
};

} // namespace plat
