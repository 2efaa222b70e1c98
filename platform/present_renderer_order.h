#pragma once
// Which of SDL's renderers to try for presenting, cheapest first. The game
// shows one streaming picture per frame: on X11 the software renderer with a
// plain shared-memory window surface costs far less memory, threads and start
// time than OpenGL, which on a machine without a graphics driver is itself a
// software rasteriser. Elsewhere (Wayland, consoles) the software renderer
// would only sit on top of a GL surface, so the accelerated one comes first.

namespace plat {

enum class RendererKind {
    kSoftware, // SDL's software renderer on a window surface without GL
    kDefault, // SDL's own pick (an accelerated one where there is one)
};

struct RendererOrder {
    RendererKind first;
    RendererKind fallback;
};

// videoDriver: SDL's current video driver name (may be null); userChoice: a
// renderer was named in the environment (SDL_RENDER_DRIVER), which wins.
RendererOrder PresentRendererOrder(const char* videoDriver, bool userChoice);

} // namespace plat
