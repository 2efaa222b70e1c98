#pragma once
// Test hooks of platform/files.h (tests only).
#include "platform/files.h"

namespace plat {

// Test hook: when set, UnlinkFile asks it first; a non-zero result is returned
// as the errno of a failed delete (Linux can delete open files, Windows could not).
using UnlinkHook = int (*)(const std::string& path);
void SetUnlinkHook(UnlinkHook hook);

} // namespace plat
