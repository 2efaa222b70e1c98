#include "tests/text/text_test_util.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "platform/gdi_font.h"
#include "platform/video_image.h"
#include "tests/support/test_env.h"

namespace kutext {

namespace {

uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int s = 24; s >= 0; s -= 8)
        v.push_back(static_cast<uint8_t>(x >> s));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    Put32(out, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    Put32(out, Crc32(body.data(), body.size()));
}

std::string GoldenPath(const std::string& name) {
    return std::string(KU_TEXT_SOURCE_DIR) + "/tests/text/golden/" + name + ".bmp";
}

bool WriteBmp(const std::string& path, const plat::Surface& s) {
    const uint32_t stride = (static_cast<uint32_t>(s.width) * 3 + 3) & ~3u;
    const uint32_t size = 54 + stride * static_cast<uint32_t>(s.height);
    std::vector<uint8_t> b(size, 0);
    auto le32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    le32(2, size), le32(10, 54), le32(14, 40), le32(18, static_cast<uint32_t>(s.width)),
        le32(22, static_cast<uint32_t>(s.height));
    b[26] = 1, b[28] = 24;
    le32(34, stride * static_cast<uint32_t>(s.height));
    for (int y = 0; y < s.height; ++y) {
        const uint32_t* row = s.Row(s.height - 1 - y);
        for (int x = 0; x < s.width; ++x) {
            uint8_t* p = &b[54 + y * stride + static_cast<uint32_t>(x) * 3];
            p[0] = row[x] & 0xFF, p[1] = (row[x] >> 8) & 0xFF, p[2] = (row[x] >> 16) & 0xFF;
        }
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    return static_cast<bool>(out);
}

} // namespace

bool HaveJapaneseFont() { return !plat::FindJapaneseFontFile().empty(); }

bool WritePng(const std::string& path, const plat::Surface& s) {
    std::vector<uint8_t> raw;
    for (int y = 0; y < s.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < s.width; ++x) {
            const uint32_t p = s.Row(y)[x];
            raw.push_back(static_cast<uint8_t>(p >> 16));
            raw.push_back(static_cast<uint8_t>(p >> 8));
            raw.push_back(static_cast<uint8_t>(p));
        }
    }
    // zlib stream of stored deflate blocks.
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t at = 0;
    do {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n)), z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n)), z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<ptrdiff_t>(at), raw.begin() + static_cast<ptrdiff_t>(at + n));
        at += n;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw)
        a = (a + c) % 65521, b = (b + a) % 65521;
    Put32(z, b << 16 | a);
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    Put32(ihdr, static_cast<uint32_t>(s.width));
    Put32(ihdr, static_cast<uint32_t>(s.height));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    Chunk(png, "IHDR", ihdr);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(out);
}

std::string CompareGolden(const std::string& name, const plat::Surface& s) {
    const char* update = getenv("KU_UPDATE_GOLDEN");
    if (update && update[0] == '1')
        return WriteBmp(GoldenPath(name), s) ? "" : "cannot write golden " + name;
    plat::Surface golden;
    if (!plat::LoadPictureFile(GoldenPath(name), &golden))
        return "no golden picture " + name;
    if (golden.width != s.width || golden.height != s.height)
        return "size differs from " + name;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            if ((golden.Row(y)[x] & 0xFFFFFF) != (s.Row(y)[x] & 0xFFFFFF)) {
                char buf[128];
                snprintf(buf, sizeof(buf), "%s differs first at (%d,%d): %06X vs %06X", name.c_str(), x, y,
                         golden.Row(y)[x] & 0xFFFFFF, s.Row(y)[x] & 0xFFFFFF);
                return buf;
            }
        }
    }
    return "";
}

bool GoldenRendererMatches(std::string* why) {
    const std::string path = std::string(KU_TEXT_SOURCE_DIR) + "/tests/text/golden/renderer.txt";
    const std::string id = plat::GlyphRendererId();
    const char* update = getenv("KU_UPDATE_GOLDEN");
    if (update && update[0] == '1') {
        std::ofstream(path) << id << "\n";
        return true;
    }
    std::string recorded;
    std::ifstream in(path);
    std::getline(in, recorded);
    if (recorded == id)
        return true;
    *why = "golden pictures were made with \"" + recorded + "\", this machine renders with \"" + id +
           "\" (KU_UPDATE_GOLDEN=1 remakes them)";
    return false;
}

Ink FindInk(const plat::Surface& s, uint32_t background) {
    Ink ink;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            if (s.Row(y)[x] == background)
                continue;
            ++ink.count;
            ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
        }
    }
    return ink;
}

} // namespace kutext
