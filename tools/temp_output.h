#pragma once
#include <cstdio>
#include <functional>
#include <string>

// Output files of the tools are written to "<path>.tmp" and renamed into
// place only when whole, so that a failure (a full disk above all) never
// leaves a cut file behind nor spoils what path held before.

// Has make write the temporary file it is given and renames that over path
// when make reports success; otherwise, or when the rename fails, the
// temporary file is removed (a link in its place is removed, never followed).
bool WriteThroughTemp(const std::string& path, const std::function<bool(const std::string& tmp)>& make);

// The same for a file filled through a stream: made by plat::BeginReplaceFile
// (afresh, never through a link), filled by fill and put in place by
// plat::FinishReplaceFile, a failed flush counting as a failed write. On
// failure *error says so, unless fill has set it already.
bool FillThroughTemp(const std::string& path, const std::function<bool(FILE* out)>& fill, std::string* error);
