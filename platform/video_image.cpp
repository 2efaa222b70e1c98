#include "platform/video_image.h"

#include "platform/files.h"
#include "platform/video_image_formats.h"

namespace plat {

namespace {

// The largest picture file worth reading: the largest 32-bit picture and room
// for its headers, palette and masks.
constexpr uint64_t kMaxPictureFile = static_cast<uint64_t>(kMaxPictureSide * kMaxPictureSide * 4) + 65536;

} // namespace

bool DecodePicture(const std::string& bytes, Surface* out) {
    if (!out)
        return false;
    if (bytes.size() >= 4 && bytes.compare(0, 4, "DDS ") == 0)
        return DecodeDds(bytes, out);
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return DecodeBmp(bytes, out);
    return false;
}

bool LoadPictureFile(const std::string& path, Surface* out) {
    std::string bytes;
    if (!ReadWholeFile(path, &bytes, kMaxPictureFile))
        return false;
    return DecodePicture(bytes, out);
}

} // namespace plat
