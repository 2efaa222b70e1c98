#include "platform/sjis.h"

namespace plat {

size_t SjisCharLength(std::string_view s, size_t i) {
    if (i < s.size() && IsSjisLeadByte(static_cast<uint8_t>(s[i])) && i + 1 < s.size())
        return 2;
    return 1;
}

static char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SjisEqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    size_t i = 0;
    while (i < a.size()) {
        size_t len = SjisCharLength(a, i);
        if (len == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
        i += len;
    }
    return true;
}

size_t SjisFindLastOf(std::string_view s, std::string_view chars) {
    size_t found = std::string_view::npos;
    for (size_t i = 0; i < s.size();) {
        size_t len = SjisCharLength(s, i);
        if (len == 1 && chars.find(s[i]) != std::string_view::npos)
            found = i;
        i += len;
    }
    return found;
}

} // namespace plat
