#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

// Shift-JIS (code page 932) helpers. Text inside the program is Shift-JIS
// bytes; conversion to UTF-8 happens only at the edges (glyphs, captions,
// standard error).

// Lead bytes of a double-byte character: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsSjisLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Length in bytes of the character at s[i] (1 or 2; 1 at a lead byte that ends the string).
size_t SjisCharLength(std::string_view s, size_t i);

// Equality that ignores the case of ASCII letters and never folds the trail
// byte of a double-byte character (so "サ" 83 54 never equals "フ" 83 74).
bool SjisEqualNoCase(std::string_view a, std::string_view b);

// Position of the last single-byte occurrence of one of `chars`, skipping
// trail bytes; npos when none.
size_t SjisFindLastOf(std::string_view s, std::string_view chars);

// Conversions through iconv (CP932). Bytes that do not convert become '?'.
std::string SjisToUtf8(std::string_view sjis);
std::string Utf8ToSjis(std::string_view utf8);
// Strict form: false when any character cannot be represented.
bool Utf8ToSjisStrict(std::string_view utf8, std::string* out);

// One Shift-JIS character as UTF-32, 0 when it has no mapping.
char32_t SjisCodeToUnicode(uint16_t code);

} // namespace plat
