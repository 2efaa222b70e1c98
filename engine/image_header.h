#pragma once
#include <cstdint>

// Headers of the picture files the renderer loads, read without loading the
// picture. Layouts are little-endian as stored on disk.

// The 40-byte bitmap information header that follows the 14-byte BMP file header.
struct KU_BITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(KU_BITMAPINFOHEADER) == 40);

struct KU_DDPIXELFORMAT {
    uint32_t dwSize;
    uint32_t dwFlags;
    uint32_t dwFourCC;
    uint32_t dwRGBBitCount;
    uint32_t dwRBitMask;
    uint32_t dwGBitMask;
    uint32_t dwBBitMask;
    uint32_t dwRGBAlphaBitMask;
};

// The 124-byte surface description after the "DDS " magic.
struct KU_DDSURFACEDESC2 {
    uint32_t dwSize;
    uint32_t dwFlags;
    uint32_t dwHeight;
    uint32_t dwWidth;
    uint32_t dwPitchOrLinearSize;
    uint32_t dwDepth;
    uint32_t dwMipMapCount;
    uint32_t dwReserved1[11];
    KU_DDPIXELFORMAT ddpfPixelFormat;
    uint32_t dwCaps[4];
    uint32_t dwReserved2;
};
static_assert(sizeof(KU_DDSURFACEDESC2) == 124);

// Largest picture side the renderer accepts; larger headers are treated as damaged.
constexpr int32_t kMaxPictureSide = 16384;

// 2 DDS, 1 BMP, 0 failure (logged). Each out may be null.
int GetFileInfoGraphics(const char* path, uint32_t* width, uint32_t* height, uint32_t* bpp);
// 1 and the description, or 0 (messages to standard output).
int GetFileInfoDDS(const char* path, KU_DDSURFACEDESC2* desc);
// 1 and the information header, or 0 (messages to standard output). An OS/2
// 1.x header (12 bytes, 16-bit sizes) comes out in the 40-byte layout with
// biSize 12; the bytes past a shorter OS/2 2.x header come out as 0.
int GetFileInfoBMP(const char* path, KU_BITMAPINFOHEADER* header);

// 1-based index of the lowest bit set in mask and not in exclude; 0 when none.
uint32_t GetFlagBitIndex(uint32_t mask, uint32_t exclude);
// 1 when every bit of required is set in mask.
int IsFlagSubset(uint32_t mask, uint32_t required);
