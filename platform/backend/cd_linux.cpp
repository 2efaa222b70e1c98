#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

#include "platform/cd_device.h"
#include "platform/cd_device_test_hooks.h"

namespace plat {

namespace {

CdDriveIoctl* g_testDrive = nullptr;

// The requests of the real drive go to its file descriptor.
class FdIoctl : public CdDriveIoctl {
public:
    explicit FdIoctl(int fd) : fd_(fd) {}
    ~FdIoctl() override { close(fd_); }
    FdIoctl(const FdIoctl&) = delete;
    FdIoctl& operator=(const FdIoctl&) = delete;
    int Ioctl(unsigned long request, void* arg) override { return ioctl(fd_, request, arg); }

private:
    int fd_;
};

// An integer argument passed where ioctl(2) reads a pointer-sized one; the
// kernel takes it back as a number, nothing dereferences it.
void* IntArg(int value) {
    return reinterpret_cast<void*>(static_cast<intptr_t>(value)); // NOLINT(performance-no-int-to-ptr)
}

uint32_t MsfToFrame(const cdrom_msf0& msf) {
    return (static_cast<uint32_t>(msf.minute) * 60 + msf.second) * kCdFramesPerSecond + msf.frame;
}

void FrameToMsf(uint32_t frame, uint8_t* minute, uint8_t* second, uint8_t* fr) {
    *fr = static_cast<uint8_t>(frame % kCdFramesPerSecond);
    frame /= kCdFramesPerSecond;
    *second = static_cast<uint8_t>(frame % 60);
    *minute = static_cast<uint8_t>(frame / 60);
}

// The kernel's CD-ROM audio ioctls on one drive.
class LinuxCdBackend : public CdBackend {
public:
    LinuxCdBackend(std::unique_ptr<CdDriveIoctl> owned, CdDriveIoctl* io) : owned_(std::move(owned)), io_(io) {}

    bool MediaPresent(bool* present) override {
        const int s = Io(CDROM_DRIVE_STATUS, IntArg(CDSL_CURRENT));
        if (s < 0 || s == CDS_NO_INFO)
            return false;
        *present = s == CDS_DISC_OK;
        return true;
    }

    bool ReadToc(CdToc* toc) override {
        cdrom_tochdr hdr{};
        if (Io(CDROMREADTOCHDR, &hdr) < 0 || hdr.cdth_trk1 < hdr.cdth_trk0)
            return false;
        toc->tracks.clear();
        for (int t = hdr.cdth_trk0; t <= hdr.cdth_trk1 + 1; ++t) {
            cdrom_tocentry e{};
            e.cdte_track = static_cast<uint8_t>(t > hdr.cdth_trk1 ? CDROM_LEADOUT : t);
            e.cdte_format = CDROM_MSF;
            if (Io(CDROMREADTOCENTRY, &e) < 0)
                return false;
            const uint32_t start = MsfToFrame(e.cdte_addr.msf);
            if (t > hdr.cdth_trk1) {
                toc->leadOut = start;
            } else {
                toc->tracks.push_back(CdTocEntry{start, (e.cdte_ctrl & CDROM_DATA_TRACK) != 0});
            }
        }
        return true;
    }

    bool Status(CdStatus* status) override {
        const int drive = Io(CDROM_DRIVE_STATUS, IntArg(CDSL_CURRENT));
        if (drive == CDS_TRAY_OPEN) {
            *status = CdStatus{CdMode::kDoorOpen, 0, 0};
            return true;
        }
        if (drive != CDS_DISC_OK) {
            *status = CdStatus{CdMode::kNotReady, 0, 0};
            return drive >= 0;
        }
        cdrom_subchnl sc{};
        sc.cdsc_format = CDROM_MSF;
        if (Io(CDROMSUBCHNL, &sc) < 0)
            return false;
        status->mode = sc.cdsc_audiostatus == CDROM_AUDIO_PLAY     ? CdMode::kPlaying
                       : sc.cdsc_audiostatus == CDROM_AUDIO_PAUSED ? CdMode::kPaused
                                                                   : CdMode::kStopped;
        status->absolute = MsfToFrame(sc.cdsc_absaddr.msf);
        status->track = sc.cdsc_trk;
        return true;
    }

    bool Play(uint32_t from, uint32_t to) override {
        CdToc toc;
        if (!ReadToc(&toc) || from >= to || to > toc.leadOut)
            return false;
        cdrom_msf msf{};
        FrameToMsf(from, &msf.cdmsf_min0, &msf.cdmsf_sec0, &msf.cdmsf_frame0);
        // The end given is the last frame played.
        FrameToMsf(to - 1, &msf.cdmsf_min1, &msf.cdmsf_sec1, &msf.cdmsf_frame1);
        return Io(CDROMPLAYMSF, &msf) >= 0;
    }

    bool ReadAudio(uint32_t frame, uint32_t count, int16_t* samples) override {
        // The kernel takes at most a second of frames per request.
        if (count == 0 || count > CD_FRAMES)
            return false;
        std::vector<uint8_t> raw(static_cast<size_t>(count) * CD_FRAMESIZE_RAW);
        cdrom_read_audio ra{};
        ra.addr_format = CDROM_MSF;
        FrameToMsf(frame, &ra.addr.msf.minute, &ra.addr.msf.second, &ra.addr.msf.frame);
        ra.nframes = static_cast<int>(count);
        ra.buf = raw.data();
        if (Io(CDROMREADAUDIO, &ra) < 0)
            return false;
        // Audio frames hold little-endian 16-bit samples, left then right.
        for (size_t i = 0; i < raw.size() / 2; ++i)
            samples[i] = static_cast<int16_t>(static_cast<uint16_t>(raw[2 * i] | raw[2 * i + 1] << 8));
        return true;
    }

    bool Stop() override { return Io(CDROMSTOP) >= 0; }
    bool Pause() override { return Io(CDROMPAUSE) >= 0; }
    bool Resume() override { return Io(CDROMRESUME) >= 0; }
    bool Door(bool open) override { return Io(open ? CDROMEJECT : CDROMCLOSETRAY) >= 0; }

private:
    int Io(unsigned long request, void* arg = nullptr) { return io_->Ioctl(request, arg); }

    std::unique_ptr<CdDriveIoctl> owned_;
    CdDriveIoctl* io_;
};

} // namespace

void CdUseDriveIoctl(CdDriveIoctl* drive) { g_testDrive = drive; }

std::unique_ptr<CdBackend> OpenSystemCdDrive(const char* drive) {
    if (g_testDrive) {
        if (g_testDrive->Ioctl(CDROM_GET_CAPABILITY, nullptr) < 0)
            return nullptr;
        return std::make_unique<LinuxCdBackend>(nullptr, g_testDrive);
    }
    // A drive is named by its device path; anything else means the default.
    const char* path = drive && drive[0] == '/' ? drive : "/dev/cdrom";
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    // Only a CD-ROM drive answers this.
    auto io = std::make_unique<FdIoctl>(fd);
    if (io->Ioctl(CDROM_GET_CAPABILITY, nullptr) < 0)
        return nullptr;
    CdDriveIoctl* raw = io.get();
    return std::make_unique<LinuxCdBackend>(std::move(io), raw);
}

} // namespace plat
