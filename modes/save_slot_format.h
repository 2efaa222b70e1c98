#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The text conventions of a save slot file, shared by its writer and reader:
// fields separated by one blank, lines ending in a line feed, integers and
// fractions in the "C" number format whatever the locale, "__NULL__" for an
// empty text.
namespace saveslot {

constexpr int kFirstSlot = 1;
constexpr int kLastSlot = 30;
constexpr const char* kFolder = "sav/";
constexpr const char* kNullText = "__NULL__";
// The reader's line buffer and its token buffers.
constexpr size_t kLineSize = 1024;
constexpr size_t kTokenSize = 512;
// No slot file we write comes near this; anything bigger is not read.
constexpr uint64_t kMaxFileSize = 32u * 1024u * 1024u;

// The eight sections, in file order.
enum Section { kGraphicShown, kObjectShown, kGraphicData, kSoundData, kVarData, kTextData, kObjectData, kDrawOrder };
constexpr int kSectionCount = 8;
const char* StartMarker(int section);
const char* EndMarker(int section);

// "sav/savNN.sav"; empty for a slot outside 1..30.
std::string SlotPath(int slot);

// Appends fields to a file image: each field is followed by a blank, which
// EndLine turns into the line feed.
class LineWriter {
public:
    explicit LineWriter(std::string* out) : m_out(out) {}
    void Int(int32_t v);
    void Uint(uint32_t v) { Int(static_cast<int32_t>(v)); }
    // Six decimals, as "%f" prints the value widened to double; a value that
    // is not a number is stored as 0.
    void Float(float v);
    // The text, or "__NULL__" when empty.
    void Text(const char* text);
    void EndLine();
    // A whole line holding only `text`.
    void Marker(const char* text);

private:
    std::string* m_out;
};

// Splits one line of at most kLineSize - 1 bytes into blank-separated
// tokens, as "%s" conversions do in the "C" locale.
class TokenLine {
public:
    static constexpr int kMaxTokens = 16;
    void Split(std::string_view line);
    int Count() const { return m_count; }
    // An absent token reads as empty.
    std::string_view Token(int i) const { return i < m_count ? m_tokens[i] : std::string_view(); }
    // A token longer than the reader's token buffer holds.
    bool Oversized() const { return m_oversized; }

private:
    std::string_view m_tokens[kMaxTokens];
    int m_count = 0;
    bool m_oversized = false;
};

// Lines as the C library's line read gives them with a kLineSize buffer: up
// to and including a line feed, or kLineSize - 1 bytes of a longer line; the
// part after a NUL byte is not seen. Past the end every line is empty.
class LineReader {
public:
    explicit LineReader(std::string_view data) : m_data(data) {}
    bool AtEnd() const { return m_pos >= m_data.size(); }
    std::string_view Next();

private:
    std::string_view m_data;
    size_t m_pos = 0;
};

// Decimal conversions of a token, like atoi and atof but refusing values
// that do not fit (false). A token without a number gives 0; fractions must
// be finite.
bool ParseInt(std::string_view token, int32_t* out);
bool ParseFloat(std::string_view token, float* out);

// "__NULL__" in any letter case.
bool IsNullText(std::string_view token);

} // namespace saveslot
