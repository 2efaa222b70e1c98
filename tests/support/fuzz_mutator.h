#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

// Seeded damage for the readers' robustness tests: the same seed always gives
// the same bytes (own generator, no library distribution), so a failing case
// can be replayed from its index alone.
namespace kutest {

class FuzzRng {
public:
    explicit FuzzRng(uint64_t seed) : s_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
    uint64_t Next() {
        // splitmix64
        uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1 (0 when n is 0).
    size_t Below(size_t n) { return n ? static_cast<size_t>(Next() % n) : 0; }
    bool OneIn(size_t n) { return Below(n) == 0; }

private:
    uint64_t s_;
};

namespace fuzz_detail {

inline const char* const kHugeNumbers[] = {
    "99999999999999999999", "4294967296", "4294967295", "2147483648", "-2147483649", "-1", "999999999",
    "1000000000",           "0",          "-0",         "+7",         "0x10",
};
inline const uint32_t kInterestingWords[] = {0u,      1u,       0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu,
                                             0xFFFFu, 0x10000u, 16384u,      16385u,      124u,
                                             40u,     32u,      3u,          0x31545844u, 0x35545844u};

inline void ReplaceAll(std::string* s, const std::string& from, const std::string& to) {
    size_t at = 0;
    while ((at = s->find(from, at)) != std::string::npos) {
        s->replace(at, from.size(), to);
        at += to.size();
    }
}

} // namespace fuzz_detail

// One random damage of bytes: truncation, bit flips, junk, huge numbers,
// over-long lines, NULs, line-end games, copied or cut ranges, odd 32-bit words.
inline void MutateOnce(FuzzRng& r, std::string* b) {
    using namespace fuzz_detail;
    const size_t n = b->size();
    switch (r.Below(14)) {
        case 0: // truncation
            b->resize(r.Below(n + 1));
            break;
        case 1: { // bit flips
            if (!n)
                break;
            for (size_t k = 1 + r.Below(8); k > 0; --k)
                (*b)[r.Below(n)] ^= static_cast<char>(1u << r.Below(8));
            break;
        }
        case 2: { // inserted junk
            std::string junk;
            for (size_t k = 1 + r.Below(32); k > 0; --k)
                junk.push_back(static_cast<char>(r.Below(256)));
            b->insert(r.Below(n + 1), junk);
            break;
        }
        case 3: { // a number made huge or odd
            size_t at = r.Below(n + 1);
            size_t d = b->find_first_of("0123456789", at);
            if (d == std::string::npos)
                d = b->find_first_of("0123456789");
            const std::string huge = kHugeNumbers[r.Below(sizeof(kHugeNumbers) / sizeof(kHugeNumbers[0]))];
            if (d == std::string::npos) {
                b->insert(at, huge);
            } else {
                size_t e = b->find_first_not_of("0123456789", d);
                if (e == std::string::npos)
                    e = b->size();
                b->replace(d, e - d, huge);
            }
            break;
        }
        case 4: { // an over-long line
            static const size_t kLens[] = {255, 256, 259, 260, 511, 512, 513, 1022, 1023, 1024, 1025, 4100};
            std::string run(kLens[r.Below(sizeof(kLens) / sizeof(kLens[0]))], "A\x82 9/\\."[r.Below(7)]);
            b->insert(r.Below(n + 1), run);
            break;
        }
        case 5: // NULs
            for (size_t k = 1 + r.Below(4); k > 0; --k)
                b->insert(r.Below(b->size() + 1), 1, '\0');
            break;
        case 6: { // line-end games
            switch (r.Below(6)) {
                case 0: ReplaceAll(b, "\r\n", "\n"); break;
                case 1: ReplaceAll(b, "\n", "\r\n"); break;
                case 2: ReplaceAll(b, "\r", ""); break;
                case 3: ReplaceAll(b, "\n", "\r"); break;
                case 4: b->insert(r.Below(n + 1), r.OneIn(2) ? "\r" : "\n"); break;
                default: b->insert(r.Below(n + 1), "\r\r\n\n"); break;
            }
            break;
        }
        case 7: { // a range copied elsewhere
            if (!n)
                break;
            size_t from = r.Below(n), len = 1 + r.Below(n - from);
            if (len > 256)
                len = 256;
            b->insert(r.Below(n + 1), b->substr(from, len));
            break;
        }
        case 8: { // a range cut out
            if (!n)
                break;
            size_t from = r.Below(n), len = 1 + r.Below(n - from);
            if (len > 64)
                len = 64;
            b->erase(from, len);
            break;
        }
        case 9: { // a 32-bit little-endian word overwritten
            if (n < 4)
                break;
            size_t at = r.Below(n - 3);
            if (n > 128 && r.OneIn(2))
                at = r.Below(128 - 3); // headers live at the front
            at &= ~size_t{r.OneIn(2) ? 3u : 0u};
            uint32_t v = kInterestingWords[r.Below(sizeof(kInterestingWords) / sizeof(kInterestingWords[0]))];
            for (int i = 0; i < 4; ++i)
                (*b)[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
            break;
        }
        case 10: { // a 16-bit word overwritten
            if (n < 2)
                break;
            size_t at = r.Below(n - 1);
            if (n > 64 && r.OneIn(2))
                at = r.Below(63);
            static const uint16_t kWords[] = {0, 1, 2, 3, 4, 8, 15, 16, 24, 32, 33, 0xFFFF, 0x8000};
            uint16_t v = kWords[r.Below(sizeof(kWords) / sizeof(kWords[0]))];
            (*b)[at] = static_cast<char>(v & 0xFF);
            (*b)[at + 1] = static_cast<char>(v >> 8);
            break;
        }
        case 11: { // a byte set to an edge value
            if (!n)
                break;
            static const char kBytes[] = {'\0', '\x7F', '\x80', '\xFF', '\x81', '\x5C', ' ', '\t', '/', '.'};
            (*b)[r.Below(n)] = kBytes[r.Below(sizeof(kBytes))];
            break;
        }
        case 12: { // a line or chunk doubled many times
            if (!n)
                break;
            size_t from = r.Below(n);
            size_t e = b->find('\n', from);
            std::string piece = b->substr(from, (e == std::string::npos ? n : e + 1) - from);
            if (piece.size() > 128)
                piece.resize(128);
            std::string many;
            for (size_t k = 2 + r.Below(40); k > 0; --k)
                many += piece;
            b->insert(from, many);
            break;
        }
        default: // random byte
            if (n)
                (*b)[r.Below(n)] = static_cast<char>(r.Below(256));
            break;
    }
}

// The seed's damaged copy of sample: one to four damages in a row.
inline std::string Mutate(const std::string& sample, uint64_t seed) {
    FuzzRng r(seed);
    std::string b = sample;
    for (size_t k = 1 + r.Below(4); k > 0; --k)
        MutateOnce(r, &b);
    return b;
}

// Every file and folder under root, as paths relative to it: compared before
// and after a read to prove nothing was written where it must not be.
inline std::set<std::string> TreeOf(const std::string& root) {
    std::set<std::string> out;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        out.insert(std::filesystem::relative(it->path(), root, ec).generic_string());
    }
    return out;
}

} // namespace kutest
