#include <cstdint>
#include <cstring>

#include "platform/video_image_bmp_rle.h"
#include "platform/video_image_channel.h"
#include "platform/video_image_formats.h"
#include "platform/video_image_masks.h"

namespace plat {

namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
constexpr uint64_t kFileHeader = 14;
// Run-length pictures up to this many pixels are taken whatever their stream
// holds; larger ones must carry at least one byte per 255 pixels, so a few
// bytes cannot set up a picture of a gigabyte.
constexpr uint64_t kFreeRlePixels = 2048 * 2048;

// Where the parts of a BMP lie and how its pixels are stored.
struct BmpLayout {
    int width = 0, height = 0;
    bool topDown = false;
    uint32_t bpp = 0, compression = kRgb;
    PixelMasks masks; // alpha, when stored, is not read: BMP pixels are opaque
    uint64_t paletteAt = 0, paletteEntryBytes = 4;
    uint32_t paletteEntries = 0; // as many as the file holds, at most 2^bpp
    uint64_t dataAt = 0;
};

// What the information header says beyond the layout: its size, the colours
// it counts, and whether code 3 means masks (Windows) or Huffman coding (OS/2 2.x).
struct InfoHeader {
    uint32_t size = 0, clrUsed = 0;
    bool windows = false;
};

// The picture's size, depth and coding, from a header of either family.
bool ReadHeader(const std::string& b, BmpLayout* L, InfoHeader* info) {
    if (b.size() < kFileHeader + 4)
        return false;
    info->size = ReadU32(b, kFileHeader);
    int64_t w = 0, h = 0;
    if (info->size == 12) { // OS/2 1.x: 16-bit sizes, 3-byte palette entries
        w = ReadU16(b, 18), h = ReadU16(b, 20);
        L->bpp = ReadU16(b, 24);
        L->paletteEntryBytes = 3;
    } else if (info->size >= 16) {
        // Windows headers are 40, 52, 56, 108 or 124 bytes; OS/2 2.x ones 16
        // to 64, their fields past the given size taken as 0.
        info->windows = info->size == 40 || info->size == 52 || info->size == 56 || info->size >= 108;
        if (!info->windows && info->size > 64)
            return false;
        w = static_cast<int32_t>(ReadU32(b, 18)), h = static_cast<int32_t>(ReadU32(b, 22));
        L->bpp = ReadU16(b, 28);
        L->compression = info->size >= 20 ? ReadU32(b, 30) : kRgb;
        info->clrUsed = info->size >= 36 ? ReadU32(b, 46) : 0;
    } else {
        return false;
    }
    if (kFileHeader + info->size > b.size())
        return false;
    L->topDown = h < 0;
    if (L->topDown)
        h = -h;
    if (w <= 0 || h <= 0 || w > kMaxPictureSide || h > kMaxPictureSide)
        return false;
    L->width = static_cast<int>(w), L->height = static_cast<int>(h);
    return true;
}

// The depths each coding takes and the colour masks of packed pixels; the
// palette follows the header and any masks stored after it.
bool ReadCoding(const std::string& b, const InfoHeader& info, BmpLayout* L) {
    const uint32_t bpp = L->bpp;
    uint64_t masksBytes = 0;
    switch (L->compression) {
        case kRgb:
            if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
                return false;
            if (bpp == 16)
                L->masks = {0x7C00, 0x03E0, 0x001F, 0};
            else if (bpp == 32)
                L->masks = {0xFF0000, 0xFF00, 0xFF, 0};
            break;
        case kRle8:
        case kRle4:
            // Coded rows run bottom-up only.
            if (bpp != (L->compression == kRle8 ? 8u : 4u) || L->topDown)
                return false;
            break;
        case kBitFields:
        case kAlphaBitFields:
            // In an OS/2 2.x header code 3 is Huffman coding, not masks.
            if (!info.windows || (bpp != 16 && bpp != 32))
                return false;
            // The masks sit inside a larger header, or follow a 40-byte one.
            L->masks = {ReadU32(b, 54), ReadU32(b, 58), ReadU32(b, 62), 0};
            if (!CutMasksToPixel(bpp, false, &L->masks))
                return false;
            if (info.size == 40)
                masksBytes = L->compression == kBitFields ? 12 : 16;
            break;
        default: return false; // JPEG, PNG, RLE24 or CMYK inside: not read
    }
    L->paletteAt = kFileHeader + info.size + masksBytes;
    return true;
}

// Where the pixels start, and how many palette entries lie before them;
// false when the pixels start outside the file, or indices have no entry.
bool ReadPalettePlaceOrRefuse(const std::string& b, const InfoHeader& info, BmpLayout* L) {
    const uint32_t bpp = L->bpp;
    // Never more than 2^bpp entries, whatever the header counts.
    const uint32_t entries = bpp <= 8 ? (info.clrUsed && info.clrUsed < (1u << bpp) ? info.clrUsed : 1u << bpp) : 0;
    const uint32_t dataAt = ReadU32(b, 10);
    // No pixel offset: the pixels follow the palette.
    L->dataAt = dataAt ? dataAt : L->paletteAt + entries * L->paletteEntryBytes;
    if (L->dataAt < L->paletteAt || L->dataAt > b.size())
        return false;
    // A palette cut short by the pixel offset has the entries it holds.
    const uint64_t room = (L->dataAt - L->paletteAt) / L->paletteEntryBytes;
    L->paletteEntries = room < entries ? static_cast<uint32_t>(room) : entries;
    // Indices without a single colour stored are refused, not drawn black.
    return bpp > 8 || L->paletteEntries > 0;
}

bool ReadLayout(const std::string& b, BmpLayout* L) {
    InfoHeader info;
    return ReadHeader(b, L, &info) && ReadCoding(b, info, L) && ReadPalettePlaceOrRefuse(b, info, L);
}

// Entries past those the file holds are black; BMP pixels are opaque.
void ReadPalette(const std::string& b, const BmpLayout& L, uint32_t* palette) {
    for (int i = 0; i < 256; ++i)
        palette[i] = 0xFF000000u;
    const uint8_t* e = reinterpret_cast<const uint8_t*>(b.data()) + L.paletteAt;
    for (uint32_t i = 0; i < L.paletteEntries; ++i, e += L.paletteEntryBytes)
        palette[i] = 0xFF000000u | (uint32_t(e[2]) << 16) | (uint32_t(e[1]) << 8) | e[0];
}

bool DecodeRle(const std::string& b, const BmpLayout& L, const uint32_t* palette, Surface* out) {
    const uint64_t pixels = static_cast<uint64_t>(L.width) * static_cast<uint64_t>(L.height);
    const uint64_t stream = b.size() - L.dataAt;
    if (pixels > kFreeRlePixels && pixels / 255 > stream)
        return false;
    Surface s(L.width, L.height);
    // What the stream never reaches shows the palette's first colour.
    for (uint32_t& px : s.pixels)
        px = palette[0];
    ExpandBmpRle(reinterpret_cast<const uint8_t*>(b.data()) + L.dataAt, stream, L.bpp, palette, &s);
    *out = std::move(s);
    return true;
}

bool DecodeRows(const std::string& b, const BmpLayout& L, const uint32_t* palette, Surface* out) {
    const int w = L.width, h = L.height;
    const uint32_t bpp = L.bpp;
    const uint64_t stride = ((static_cast<uint64_t>(w) * bpp + 31) / 32) * 4;
    if (stride * static_cast<uint64_t>(h) > b.size() - L.dataAt)
        return false;
    Surface s(w, h);
    const ChannelMask red(L.masks.red, 0), green(L.masks.green, 0), blue(L.masks.blue, 0);
    const uint32_t indexMask = (1u << (bpp < 8 ? bpp : 8)) - 1;
    for (int y = 0; y < h; ++y) {
        const int srcRow = L.topDown ? y : h - 1 - y;
        const uint8_t* row =
            reinterpret_cast<const uint8_t*>(b.data()) + L.dataAt + stride * static_cast<uint64_t>(srcRow);
        uint32_t* d = s.Row(y);
        for (int x = 0; x < w; ++x) {
            uint32_t c;
            if (bpp <= 8) { // indices packed from the byte's top bit down
                const uint64_t bit = static_cast<uint64_t>(x) * bpp;
                c = palette[(row[bit / 8] >> (8 - bpp - bit % 8)) & indexMask];
            } else if (bpp == 24) {
                c = 0xFF000000u | (uint32_t(row[3 * x + 2]) << 16) | (uint32_t(row[3 * x + 1]) << 8) | row[3 * x];
            } else {
                uint32_t px = 0;
                std::memcpy(&px, row + static_cast<size_t>(x) * (bpp / 8), bpp / 8);
                // BMP pixels are opaque: alpha bits, when present, are not used.
                c = 0xFF000000u | (red(px) << 16) | (green(px) << 8) | blue(px);
            }
            d[x] = c;
        }
    }
    *out = std::move(s);
    return true;
}

} // namespace

bool DecodeBmp(const std::string& b, Surface* out) {
    BmpLayout L;
    if (!ReadLayout(b, &L))
        return false;
    uint32_t palette[256];
    ReadPalette(b, L, palette);
    if (L.compression == kRle8 || L.compression == kRle4)
        return DecodeRle(b, L, palette, out);
    return DecodeRows(b, L, palette, out);
}

} // namespace plat
