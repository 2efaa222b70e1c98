#include "tools/script_writer.h"

#include <cstdio>
#include <cstring>

#include "tools/temp_output.h"

namespace {

constexpr char kHeader[] = "KUCODE NLINE-NO-ENCODE\r\n";
constexpr char kHeaderWord[] = "KUCODE";

// Plain bytes whose complement the line reader takes for white space.
bool ScramblesToBlank(unsigned char b) {
    unsigned char s = static_cast<unsigned char>(0xFF - b);
    return s == ' ' || s == '\t' || s == '\n' || s == '\v' || s == '\f' || s == '\r';
}

// True when the scrambled form of this plain line starts with the word
// "KUCODE": the reader would take it for a header line and skip it.
bool ScramblesToHeader(const std::string& line) {
    size_t i = 0;
    while (i < line.size() && ScramblesToBlank(static_cast<unsigned char>(line[i])))
        ++i;
    for (size_t k = 0; k < 6; ++k, ++i) {
        if (i >= line.size() || static_cast<unsigned char>(0xFF - static_cast<unsigned char>(line[i])) !=
                                    static_cast<unsigned char>(kHeaderWord[k])) {
            return false;
        }
    }
    return i >= line.size() || ScramblesToBlank(static_cast<unsigned char>(line[i]));
}

std::string LineError(size_t lineNo, const char* what) { return "line " + std::to_string(lineNo) + ": " + what; }

} // namespace

std::string CheckScriptText(const std::string& plain, size_t lineLimit) {
    size_t lineNo = 1;
    size_t lineStart = 0;
    size_t i = 0;
    while (i < plain.size()) {
        unsigned char b = static_cast<unsigned char>(plain[i]);
        if (b == 0x0D && i + 1 < plain.size() && plain[i + 1] == 0x0A) {
            // CR LF pairs are taken left to right, as the scrambler stores them.
            size_t length = i + 2 - lineStart;
            if (length > lineLimit) {
                return LineError(lineNo, ("is " + std::to_string(length) + " bytes with its CR LF; at most " +
                                          std::to_string(lineLimit) + " can be read")
                                             .c_str());
            }
            if (ScramblesToHeader(plain.substr(lineStart, i - lineStart))) {
                return LineError(lineNo, "would be read as a KUCODE header line and skipped");
            }
            i += 2;
            lineStart = i;
            ++lineNo;
            continue;
        }
        if (b == 0xFF)
            return LineError(lineNo, "holds the byte 0xFF (stored as NUL, it ends the line)");
        if (b == 0x00)
            return LineError(lineNo, "holds a NUL byte (the line would end there)");
        if (b == 0xF2 && i + 1 < plain.size() && static_cast<unsigned char>(plain[i + 1]) == 0xF5) {
            return LineError(lineNo, "holds the bytes 0xF2 0xF5 (stored as CR LF, they would break the line)");
        }
        ++i;
    }
    if (lineStart < plain.size())
        return LineError(lineNo, "does not end in CR LF and would never be read");
    return "";
}

std::string ScrambleScript(const std::string& plain) {
    std::string out = kHeader;
    out.reserve(out.size() + plain.size());
    for (size_t i = 0; i < plain.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(plain[i]);
        if (b == 0x0D && i + 1 < plain.size() && plain[i + 1] == 0x0A) {
            out += "\r\n";
            ++i;
        } else {
            out += static_cast<char>(0xFF - b);
        }
    }
    return out;
}

bool WriteScript(const std::string& path, const std::string& plain, std::string* error, size_t lineLimit) {
    *error = CheckScriptText(plain, lineLimit);
    if (!error->empty())
        return false;
    const std::string bytes = ScrambleScript(plain);
    return WriteFileThroughTemp(path, bytes, error);
}
