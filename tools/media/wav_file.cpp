#include "tools/media/wav_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace music {
namespace {

void Put(std::string* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

bool WriteWav(const std::string& path, const StereoBuffer& audio) {
    const uint32_t dataBytes = static_cast<uint32_t>(audio.frames() * 4);
    std::string bytes = "RIFF";
    Put(&bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    Put(&bytes, 16, 4);
    Put(&bytes, 1, 2); // PCM
    Put(&bytes, 2, 2);
    Put(&bytes, kRate, 4);
    Put(&bytes, kRate * 4, 4);
    Put(&bytes, 4, 2);
    Put(&bytes, 16, 2);
    bytes += "data";
    Put(&bytes, dataBytes, 4);
    bytes.reserve(bytes.size() + dataBytes);
    for (size_t i = 0; i < audio.frames(); ++i)
        for (float s : {audio.left()[i], audio.right()[i]}) {
            const long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
            Put(&bytes, static_cast<uint32_t>(static_cast<int16_t>(v)), 2);
        }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace music
