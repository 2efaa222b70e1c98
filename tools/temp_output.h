#pragma once
#include <cstdio>
#include <functional>
#include <string>

// Output files of the tools are written whole to a temporary file beside
// them and renamed into place, so that a failure (a full disk above all)
// never leaves a cut file behind nor spoils what the path held before.
// The temporary file is made new, with no link followed, under a name that
// held nothing: "<path>.tmp", else "<path>.tmp1", "<path>.tmp2" ... Nothing
// that holds a name already, an input least of all, is ever written,
// removed or renamed on its way.
// Under dat/ and tmp/ (a path relative to the game folder), where the
// engine matches names ignoring case, the output takes its name in every
// letter case: other spellings of it are removed once it is in place, as
// the engine's own replace does, so that no stale one is read instead.
// An output that is no regular file (a link, folder, device or FIFO) is
// refused: it is never written through nor renamed over.

// Whether anything (a file, folder or link) holds path, in any letter case
// where the engine's files match names so (dat/ and tmp/).
bool PathTaken(const std::string& path);

// Why output cannot be written while input is read: they are one file (the
// input as a read reaches it, through links; the output, in any of the
// spellings it takes, as the rename replaces it, a link being itself).
// Empty when they are not.
std::string CheckInputOutput(const std::string& input, const std::string& output);

// Makes a new empty temporary file for path and has make write it by name
// (it may make it afresh); when make reports success, renames it over path.
// Otherwise, or when the rename fails, the temporary file is removed. On
// failure *error says why, unless make failed: then its caller knows.
bool WriteThroughTemp(const std::string& path, const std::function<bool(const std::string& tmp)>& make,
                      std::string* error);

// The same for a file filled through a stream, a failed flush or close
// counting as a failed write. On failure *error says so, unless fill has set
// it already.
bool FillThroughTemp(const std::string& path, const std::function<bool(FILE* out)>& fill, std::string* error);

// FillThroughTemp with bytes.
bool WriteFileThroughTemp(const std::string& path, const std::string& bytes, std::string* error);
