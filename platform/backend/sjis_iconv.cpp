#include "platform/sjis.h"

#include <cerrno>
#include <iconv.h>

// Conversions between Shift-JIS and Unicode through iconv (code page 932).

namespace plat {

namespace {

// Converts with iconv; unconvertible input is replaced by '?' unless strict.
bool Convert(const char* to, const char* from, std::string_view in, std::string* out, bool strict) {
    out->clear();
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) // NOLINT(performance-no-int-to-ptr): iconv's own error value
        return false;
    bool ok = true;
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buf[1024];
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof(buf);
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out->append(buf, static_cast<size_t>(dst - buf));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            ok = false;
            if (strict)
                break;
            // Skip one offending byte and go on.
            out->push_back('?');
            ++src;
            --srcLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return ok;
}

} // namespace

std::string SjisToUtf8(std::string_view sjis) {
    std::string out;
    Convert("UTF-8", "CP932", sjis, &out, false);
    return out;
}

std::string Utf8ToSjis(std::string_view utf8) {
    std::string out;
    Convert("CP932", "UTF-8", utf8, &out, false);
    return out;
}

bool Utf8ToSjisStrict(std::string_view utf8, std::string* out) { return Convert("CP932", "UTF-8", utf8, out, true); }

char32_t SjisCodeToUnicode(uint16_t code) {
    char in[2];
    size_t n = 0;
    if (code > 0xFF)
        in[n++] = static_cast<char>(code >> 8);
    in[n++] = static_cast<char>(code & 0xFF);
    std::string out;
    if (!Convert("UTF-32LE", "CP932", std::string_view(in, n), &out, true) || out.size() != 4)
        return 0;
    return static_cast<char32_t>(static_cast<uint8_t>(out[0]) | (static_cast<uint8_t>(out[1]) << 8) |
                                 (static_cast<uint8_t>(out[2]) << 16) | (static_cast<uint8_t>(out[3]) << 24));
}

} // namespace plat
