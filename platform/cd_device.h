#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace plat {

// CD addresses count frames of 1/75 s from the start of the disc (the first
// track usually starts at frame 150, two seconds in).
constexpr uint32_t kCdFramesPerSecond = 75;

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
// answers into tracks, lengths and positions.
class CdBackend {
public:
    virtual ~CdBackend() = default;
    virtual bool MediaPresent(bool* present) = 0;
    virtual bool ReadToc(CdToc* toc) = 0;
    virtual bool Status(CdStatus* status) = 0;
    // Plays from a frame to the end of the disc.
    virtual bool PlayFrom(uint32_t frame) = 0;
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
class CdDevice {
public:
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

    bool PlayFrom(unsigned track, uint32_t relative);
    bool Stop();
    bool Pause();
    bool Resume();
    bool Door(bool open);

private:
    bool Toc(CdToc* toc);

    std::unique_ptr<CdBackend> backend_;
    uint32_t format_ = kFormatMilliseconds;
};

} // namespace plat
