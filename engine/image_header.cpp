#include "engine/image_header.h"

#include <cstdio>
#include <cstring>

#include "platform/debug_out.h"
#include "platform/files.h"

namespace {

// The header readers report to standard output, not to the debugger.
void StdOut(const char* text) {
    std::fputs(text, stdout);
    std::fflush(stdout);
}

FILE* OpenExisting(const char* path) {
    if (!plat::FileExists(path))
        return nullptr;
    return plat::OpenFile(path, "rb");
}

bool SaneSide(int64_t v) { return v > 0 && v <= kMaxPictureSide; }

} // namespace

int GetFileInfoDDS(const char* path, KU_DDSURFACEDESC2* desc) {
    if (!path || !desc) {
        StdOut("Error: 引数が不正です\n");
        return 0;
    }
    FILE* f = OpenExisting(path);
    if (!f) {
        StdOut("Error: ファイルが存在しません\n");
        return 0;
    }
    unsigned char buf[128];
    size_t got = std::fread(buf, 1, sizeof(buf), f);
    std::fclose(f);
    if (got != sizeof(buf)) {
        StdOut("Error: 読み込みに失敗しました\n");
        return 0;
    }
    uint32_t size = 0;
    std::memcpy(&size, buf + 4, 4);
    if (std::memcmp(buf, "DDS ", 4) != 0 || size != 124) {
        StdOut("Error: DDSファイルではありません\n");
        return 0;
    }
    std::memcpy(desc, buf + 4, sizeof(*desc));
    return 1;
}

int GetFileInfoBMP(const char* path, KU_BITMAPINFOHEADER* header) {
    if (!path || !header) {
        StdOut("Error: 引数が不正です\n");
        return 0;
    }
    std::memset(header, 0, sizeof(*header));
    FILE* f = OpenExisting(path);
    if (!f) {
        StdOut("Error: ファイルが存在しません\n");
        return 0;
    }
    unsigned char raw[sizeof(*header)] = {};
    size_t got = 0;
    if (std::fseek(f, 14, SEEK_SET) == 0)
        got = std::fread(raw, 1, sizeof(raw), f);
    std::fclose(f);
    uint32_t size = 0;
    if (got >= 4)
        std::memcpy(&size, raw, 4);
    // OS/2 headers are shorter than 40 bytes, and so may be a small file:
    // they need only their own size, and what follows them is not header.
    const bool os2 = size >= 12 && size < sizeof(raw);
    if (got < (os2 ? size : sizeof(raw))) {
        StdOut("Error: 読み込みに失敗しました\n");
        return 0;
    }
    if (os2)
        std::memset(raw + size, 0, sizeof(raw) - size);
    std::memcpy(header, raw, sizeof(*header));
    if (size == 12) { // OS/2 1.x: 16-bit width, height, planes and depth
        uint16_t w, h, planes, depth;
        std::memcpy(&w, raw + 4, 2);
        std::memcpy(&h, raw + 6, 2);
        std::memcpy(&planes, raw + 8, 2);
        std::memcpy(&depth, raw + 10, 2);
        std::memset(header, 0, sizeof(*header));
        header->biSize = 12;
        header->biWidth = w, header->biHeight = h;
        header->biPlanes = planes, header->biBitCount = depth;
    }
    return 1;
}

int GetFileInfoGraphics(const char* path, uint32_t* width, uint32_t* height, uint32_t* bpp) {
    if (!path) {
        plat::DebugOut("Error: <GetFileInfoGraphics> 引数のファイルパスが無効です\n");
        return 0;
    }
    FILE* f = OpenExisting(path);
    if (!f) {
        plat::DebugOut("Error: <GetFileInfoGraphics> ファイルが存在しません\n");
        return 0;
    }
    char head[10];
    size_t got = std::fread(head, 1, sizeof(head), f);
    std::fclose(f);
    if (got != sizeof(head)) {
        StdOut("Error: <GetFileInfoGraphics> 読み込みに失敗しました\n");
        return 0;
    }
    int64_t w = 0, h = 0;
    uint32_t depth = 0;
    int kind = 0;
    if (std::memcmp(head, "DDS", 3) == 0) {
        KU_DDSURFACEDESC2 desc;
        if (!GetFileInfoDDS(path, &desc)) {
            plat::DebugOut(
                "Error: <GetFileInfoGraphics> GetFileInfoDDSでエラーが検出されたのでファイルの検証を中断します\n");
            return 0;
        }
        w = desc.dwWidth, h = desc.dwHeight, depth = desc.ddpfPixelFormat.dwRGBBitCount;
        kind = 2;
    } else if (std::memcmp(head, "BM", 2) == 0) {
        KU_BITMAPINFOHEADER info;
        if (!GetFileInfoBMP(path, &info)) {
            plat::DebugOut(
                "Error: <GetFileInfoGraphics> GetFileInfoBMPでエラーが検出されたのでファイルの検証を中断します\n");
            return 0;
        }
        // A negative height stores the rows top row first: the picture is
        // as tall as its magnitude, as the decoder reads it.
        w = info.biWidth, h = info.biHeight < 0 ? -static_cast<int64_t>(info.biHeight) : info.biHeight;
        depth = info.biBitCount;
        kind = 1;
    }
    // Zero, negative or huge sizes would make an absurd tile grid: such a
    // header is not a picture this program can use.
    if (kind == 0 || !SaneSide(w) || !SaneSide(h)) {
        plat::DebugOut("Error: <GetFileInfoGraphics> 未定義のファイルフォーマットです\n");
        return 0;
    }
    if (width)
        *width = static_cast<uint32_t>(w);
    if (height)
        *height = static_cast<uint32_t>(h);
    if (bpp)
        *bpp = depth;
    return kind;
}

uint32_t GetFlagBitIndex(uint32_t mask, uint32_t exclude) {
    uint32_t bits = mask & ~exclude;
    for (uint32_t i = 0; i < 32; ++i)
        if (bits & (1u << i))
            return i + 1;
    return 0;
}

int IsFlagSubset(uint32_t mask, uint32_t required) { return (mask & required) == required ? 1 : 0; }
