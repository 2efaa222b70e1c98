#pragma once

namespace plat {

// System metrics of our window layer. They stand where the program asked the
// desktop for its frame sizes; fixed values keep layouts and the mouse offset
// the same on every machine.
constexpr int kSmCxBorder = 1;
constexpr int kSmCyBorder = 1;
constexpr int kSmCxFrame = 4;
constexpr int kSmCyFrame = 4;
constexpr int kSmCyCaption = 20; // also the height of the full-screen menu strip
constexpr int kSmCyMenu = 20; // height of the drawn menu bar in window mode

// Window style bits. Only the shell's bookkeeping reads them: the window layer
// maps "popup" to full screen and anything else to a framed window.
constexpr unsigned kWsPopup = 0x80000000u;
constexpr unsigned kWsVisible = 0x10000000u;
constexpr unsigned kWsCaption = 0x00C00000u;
constexpr unsigned kWsSysMenu = 0x00080000u;

constexpr unsigned kStyleFullScreen = kWsPopup | kWsVisible;
constexpr unsigned kStyleWindowAtStart = kWsVisible | kWsSysMenu;
constexpr unsigned kStyleWindowSwitched = kWsVisible | kWsCaption | kWsSysMenu;

} // namespace plat
