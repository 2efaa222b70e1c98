#pragma once

namespace plat {

// The main window as the engine sees it: an opaque handle. The window layer
// defines the structure; code above the platform only passes it along.
struct Window;
using WindowHandle = Window*;

} // namespace plat
