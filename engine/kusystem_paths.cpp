#include "engine/kusystem.h"

#include <string_view>

#include "engine/kusystem_internal.h"
#include "platform/debug_out.h"
#include "platform/sjis.h"

// Path helpers.

namespace {

// The three path helpers share their argument checks; each has its own words.
struct PathHelperMessages {
    const char* badPath;
    const char* tooLong;
    const char* noStructure;
};

// The path cut at length, or false after logging why it cannot be used.
bool PathArgument(const char* path, int length, const PathHelperMessages& msg, std::string_view* out) {
    if (!path || length < 0) {
        plat::DebugOut(msg.badPath);
        return false;
    }
    if (length >= KUSYSTEM::kPathSize) {
        plat::DebugOut(msg.tooLong);
        return false;
    }
    *out = std::string_view(path, strnlen(path, static_cast<size_t>(length)));
    return true;
}

} // namespace

const char* KUSYSTEM::ExtractFilePathToFileName(const char* path, int length) {
    static constexpr PathHelperMessages kMsg = {
        "Error: <KUSYSTEM::ExtractFilePathToFileName> ファイルパスが不正です\n",
        "Error: <KUSYSTEM::ExtractFilePathToFileName> ファイルパスサイズが大きすぎます\n",
        "Warn: <KUSYSTEM::ExtractFilePathToFileName> ファイルパスはディレクトリ構造を持っていません\n",
    };
    std::string_view s;
    if (!PathArgument(path, length, kMsg, &s))
        return nullptr;
    const size_t sep = plat::SjisFindLastOf(s, "/\\");
    if (sep == std::string_view::npos) {
        plat::DebugOut(kMsg.noStructure);
        kusys::CopyBounded(pathBuffer_, kPathSize, s);
        return pathBuffer_;
    }
    if (sep + 1 == s.size()) {
        plat::DebugOut("Error: <KUSYSTEM::ExtractFilePathToFileName> ファイルパスにファイル名は含まれません\n");
        return nullptr;
    }
    kusys::CopyBounded(pathBuffer_, kPathSize, s.substr(sep + 1));
    return pathBuffer_;
}

const char* KUSYSTEM::ExtractFilePathToDirectoryPath(const char* path, int length) {
    static constexpr PathHelperMessages kMsg = {
        "Error: <KUSYSTEM::ExtractFilePathToDirectoryPath> ファイルパスが不正です\n",
        "Error: <KUSYSTEM::ExtractFilePathToDirectoryPath> ファイルパスサイズが大きすぎます\n",
        "Warn: <KUSYSTEM::ExtractFilePathToDirectoryPath> ファイルパスはディレクトリ構造を持っていません\n",
    };
    std::string_view s;
    if (!PathArgument(path, length, kMsg, &s))
        return nullptr;
    const size_t sep = plat::SjisFindLastOf(s, "/\\");
    if (sep == std::string_view::npos) {
        plat::DebugOut(kMsg.noStructure);
        return nullptr;
    }
    kusys::CopyBounded(pathBuffer_, kPathSize, s.substr(0, sep));
    return pathBuffer_;
}

const char* KUSYSTEM::ExtractFilePathToExtension(const char* path, int length) {
    static constexpr PathHelperMessages kMsg = {
        "Error: <KUSYSTEM::ExtractFilePathToExtension> ファイルパスが不正です\n",
        "Error: <KUSYSTEM::ExtractFilePathToExtension> ファイルパスサイズが大きすぎます\n",
        "Warn: <KUSYSTEM::ExtractFilePathToExtension> ファイルパスはディレクトリ構造を持っていません\n",
    };
    std::string_view s;
    if (!PathArgument(path, length, kMsg, &s))
        return nullptr;
    const size_t dot = plat::SjisFindLastOf(s, ".");
    if (dot == std::string_view::npos) {
        plat::DebugOut(kMsg.noStructure);
        return nullptr;
    }
    kusys::CopyBounded(pathBuffer_, kPathSize, s.substr(0, dot));
    return pathBuffer_;
}
