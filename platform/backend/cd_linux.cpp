#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/cd_device.h"

namespace plat {

namespace {

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
    explicit LinuxCdBackend(int fd) : fd_(fd) {}
    ~LinuxCdBackend() override { close(fd_); }

    bool MediaPresent(bool* present) override {
        const int s = ioctl(fd_, CDROM_DRIVE_STATUS, CDSL_CURRENT);
        if (s < 0 || s == CDS_NO_INFO)
            return false;
        *present = s == CDS_DISC_OK;
        return true;
    }

    bool ReadToc(CdToc* toc) override {
        cdrom_tochdr hdr{};
        if (ioctl(fd_, CDROMREADTOCHDR, &hdr) < 0 || hdr.cdth_trk1 < hdr.cdth_trk0)
            return false;
        toc->tracks.clear();
        for (int t = hdr.cdth_trk0; t <= hdr.cdth_trk1 + 1; ++t) {
            cdrom_tocentry e{};
            e.cdte_track = static_cast<uint8_t>(t > hdr.cdth_trk1 ? CDROM_LEADOUT : t);
            e.cdte_format = CDROM_MSF;
            if (ioctl(fd_, CDROMREADTOCENTRY, &e) < 0)
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
        const int drive = ioctl(fd_, CDROM_DRIVE_STATUS, CDSL_CURRENT);
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
        if (ioctl(fd_, CDROMSUBCHNL, &sc) < 0)
            return false;
        status->mode = sc.cdsc_audiostatus == CDROM_AUDIO_PLAY     ? CdMode::kPlaying
                       : sc.cdsc_audiostatus == CDROM_AUDIO_PAUSED ? CdMode::kPaused
                                                                   : CdMode::kStopped;
        status->absolute = MsfToFrame(sc.cdsc_absaddr.msf);
        status->track = sc.cdsc_trk;
        return true;
    }

    bool PlayFrom(uint32_t frame) override {
        CdToc toc;
        if (!ReadToc(&toc) || frame >= toc.leadOut)
            return false;
        cdrom_msf msf{};
        FrameToMsf(frame, &msf.cdmsf_min0, &msf.cdmsf_sec0, &msf.cdmsf_frame0);
        // The end is the last frame before the lead-out.
        FrameToMsf(toc.leadOut - 1, &msf.cdmsf_min1, &msf.cdmsf_sec1, &msf.cdmsf_frame1);
        return ioctl(fd_, CDROMPLAYMSF, &msf) >= 0;
    }
    bool Stop() override { return ioctl(fd_, CDROMSTOP) >= 0; }
    bool Pause() override { return ioctl(fd_, CDROMPAUSE) >= 0; }
    bool Resume() override { return ioctl(fd_, CDROMRESUME) >= 0; }
    bool Door(bool open) override { return ioctl(fd_, open ? CDROMEJECT : CDROMCLOSETRAY) >= 0; }

private:
    int fd_;
};

} // namespace

std::unique_ptr<CdBackend> OpenSystemCdDrive(const char* drive) {
    // A drive is named by its device path; anything else means the default.
    const char* path = drive && drive[0] == '/' ? drive : "/dev/cdrom";
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    // Only a CD-ROM drive answers this.
    if (ioctl(fd, CDROM_GET_CAPABILITY, 0) < 0) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<LinuxCdBackend>(fd);
}

} // namespace plat
