#include "tools/pictures/picture_files.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "tools/temp_output.h"

namespace {

void Put32(std::string& b, size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); }
void Put16(std::string& b, size_t at, uint16_t v) { std::memcpy(&b[at], &v, 2); }
void PutBe32(std::string& b, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        b.push_back(static_cast<char>((v >> s) & 0xFF));
}

uint32_t Crc32(const std::string& data, size_t from) {
    static uint32_t table[256];
    static bool made = false;
    if (!made) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        made = true;
    }
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = from; i < data.size(); ++i)
        c = table[(c ^ static_cast<uint8_t>(data[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void Chunk(std::string& png, const char* type, const std::string& data) {
    PutBe32(png, static_cast<uint32_t>(data.size()));
    size_t start = png.size();
    png += type;
    png += data;
    PutBe32(png, Crc32(png, start));
}

// 5 x 7 glyphs, one byte per row, bit 4 the left column.
struct Glyph {
    char c;
    uint8_t rows[7];
};
const Glyph kFont[] = {
    {'A', {14, 17, 17, 31, 17, 17, 17}}, {'B', {30, 17, 17, 30, 17, 17, 30}}, {'C', {14, 17, 16, 16, 16, 17, 14}},
    {'D', {30, 17, 17, 17, 17, 17, 30}}, {'E', {31, 16, 16, 30, 16, 16, 31}}, {'F', {31, 16, 16, 30, 16, 16, 16}},
    {'G', {14, 17, 16, 23, 17, 17, 15}}, {'H', {17, 17, 17, 31, 17, 17, 17}}, {'I', {14, 4, 4, 4, 4, 4, 14}},
    {'J', {7, 2, 2, 2, 2, 18, 12}},      {'K', {17, 18, 20, 24, 20, 18, 17}}, {'L', {16, 16, 16, 16, 16, 16, 31}},
    {'M', {17, 27, 21, 21, 17, 17, 17}}, {'N', {17, 17, 25, 21, 19, 17, 17}}, {'O', {14, 17, 17, 17, 17, 17, 14}},
    {'P', {30, 17, 17, 30, 16, 16, 16}}, {'Q', {14, 17, 17, 17, 21, 18, 13}}, {'R', {30, 17, 17, 30, 20, 18, 17}},
    {'S', {15, 16, 16, 14, 1, 1, 30}},   {'T', {31, 4, 4, 4, 4, 4, 4}},       {'U', {17, 17, 17, 17, 17, 17, 14}},
    {'V', {17, 17, 17, 17, 17, 10, 4}},  {'W', {17, 17, 17, 21, 21, 21, 10}}, {'X', {17, 17, 10, 4, 10, 17, 17}},
    {'Y', {17, 17, 10, 4, 4, 4, 4}},     {'Z', {31, 1, 2, 4, 8, 16, 31}},     {'0', {14, 17, 19, 21, 25, 17, 14}},
    {'1', {4, 12, 4, 4, 4, 4, 14}},      {'2', {14, 17, 1, 2, 4, 8, 31}},     {'3', {31, 2, 4, 2, 1, 17, 14}},
    {'4', {2, 6, 10, 18, 31, 2, 2}},     {'5', {31, 16, 30, 1, 1, 17, 14}},   {'6', {6, 8, 16, 30, 17, 17, 14}},
    {'7', {31, 1, 2, 4, 8, 8, 8}},       {'8', {14, 17, 17, 14, 17, 17, 14}}, {'9', {14, 17, 17, 15, 1, 2, 12}},
    {'.', {0, 0, 0, 0, 0, 12, 12}},      {'_', {0, 0, 0, 0, 0, 0, 31}},       {'-', {0, 0, 0, 31, 0, 0, 0}},
    {'/', {1, 1, 2, 4, 8, 16, 16}},      {':', {0, 12, 12, 0, 12, 12, 0}},    {'!', {4, 4, 4, 4, 4, 0, 4}},
    {'?', {14, 17, 1, 2, 4, 0, 4}},
};

} // namespace

std::string EncodeBmp24(const plat::Surface& s) {
    const size_t stride = (static_cast<size_t>(s.width) * 3 + 3) & ~size_t(3);
    std::string b(54 + stride * s.height, '\0');
    b[0] = 'B', b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(s.width));
    Put32(b, 22, static_cast<uint32_t>(s.height));
    Put16(b, 26, 1);
    Put16(b, 28, 24);
    for (int y = 0; y < s.height; ++y) {
        char* row = &b[54 + stride * (s.height - 1 - y)];
        for (int x = 0; x < s.width; ++x) {
            uint32_t c = s.Row(y)[x];
            row[3 * x] = static_cast<char>(c & 0xFF);
            row[3 * x + 1] = static_cast<char>((c >> 8) & 0xFF);
            row[3 * x + 2] = static_cast<char>((c >> 16) & 0xFF);
        }
    }
    return b;
}

std::string EncodeDds32(const plat::Surface& s) {
    std::string b(128 + static_cast<size_t>(s.width) * s.height * 4, '\0');
    std::memcpy(&b[0], "DDS ", 4);
    Put32(b, 4, 124);
    Put32(b, 8, 0x100F); // caps, height, width, pitch, pixel format
    Put32(b, 12, static_cast<uint32_t>(s.height));
    Put32(b, 16, static_cast<uint32_t>(s.width));
    Put32(b, 20, static_cast<uint32_t>(s.width * 4));
    Put32(b, 76, 32);
    Put32(b, 80, 0x41); // RGB + alpha
    Put32(b, 88, 32);
    Put32(b, 92, 0x00FF0000);
    Put32(b, 96, 0x0000FF00);
    Put32(b, 100, 0x000000FF);
    Put32(b, 104, 0xFF000000u);
    Put32(b, 108, 0x1000); // texture
    std::memcpy(&b[128], s.pixels.data(), s.pixels.size() * 4);
    return b;
}

std::string EncodePng(const plat::Surface& s) {
    std::string raw;
    raw.reserve(static_cast<size_t>(s.height) * (1 + 3 * static_cast<size_t>(s.width)));
    for (int y = 0; y < s.height; ++y) {
        raw.push_back('\0');
        for (int x = 0; x < s.width; ++x) {
            uint32_t c = s.Row(y)[x];
            raw.push_back(static_cast<char>((c >> 16) & 0xFF));
            raw.push_back(static_cast<char>((c >> 8) & 0xFF));
            raw.push_back(static_cast<char>(c & 0xFF));
        }
    }
    // zlib stream of stored blocks.
    std::string z = "\x78\x01";
    uint32_t a = 1, b2 = 0;
    for (unsigned char ch : raw)
        a = (a + ch) % 65521, b2 = (b2 + a) % 65521;
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        size_t n = std::min<size_t>(65535, raw.size() - at);
        bool last = at + n >= raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<char>(n & 0xFF));
        z.push_back(static_cast<char>(n >> 8));
        z.push_back(static_cast<char>(~n & 0xFF));
        z.push_back(static_cast<char>((~n >> 8) & 0xFF));
        z.append(raw, at, n);
        if (last)
            break;
    }
    PutBe32(z, (b2 << 16) | a);
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string ihdr;
    PutBe32(ihdr, static_cast<uint32_t>(s.width));
    PutBe32(ihdr, static_cast<uint32_t>(s.height));
    ihdr += std::string("\x08\x02\x00\x00\x00", 5);
    Chunk(png, "IHDR", ihdr);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", "");
    return png;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::string error;
    return WriteFileThroughTemp(path, bytes, &error);
}

void DrawLabel(plat::Surface& s, int x, int y, const std::string& text, uint32_t argb, int scale) {
    for (char ch : text) {
        char up = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        for (const Glyph& g : kFont) {
            if (g.c != up)
                continue;
            for (int r = 0; r < 7; ++r)
                for (int c = 0; c < 5; ++c)
                    if (g.rows[r] & (16 >> c))
                        for (int dy = 0; dy < scale; ++dy)
                            for (int dx = 0; dx < scale; ++dx) {
                                int px = x + c * scale + dx, py = y + r * scale + dy;
                                if (s.Contains(px, py))
                                    s.Row(py)[px] = argb;
                            }
        }
        x += 6 * scale;
    }
}
