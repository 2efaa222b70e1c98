#pragma once
#include <functional>
#include <string>

namespace plat {

// The debugger output: lines the program writes for its developer. They go to
// standard error converted to UTF-8; tests can capture them instead.
void DebugOut(const char* sjisText);

// While a sink is set, text goes to it (still Shift-JIS) and not to stderr.
// The last line logged that reports an error ("Error: ..." after the time
// stamp, if any), without its line end; empty when none was. Kept whether or
// not a sink is set.
std::string LastErrorLine();
void ClearLastErrorLine();

using DebugSink = std::function<void(const std::string& sjisText)>;
void SetDebugSink(DebugSink sink);

} // namespace plat
