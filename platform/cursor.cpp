#include "platform/cursor.h"

#include <SDL.h>

namespace plat {

namespace {
int g_count = 0;
SDL_Cursor* g_cursor = nullptr;

void Apply() {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(g_count >= 0 ? SDL_ENABLE : SDL_DISABLE);
}
} // namespace

int ShowCursor(bool show) {
    g_count += show ? 1 : -1;
    Apply();
    return g_count;
}

int CursorDisplayCount() { return g_count; }

void ResetCursorCount() {
    g_count = 0;
    Apply();
}

bool SetWindowCursor(const CursorImage& cursor) {
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    SDL_Cursor* made = nullptr;
    if (cursor.image && cursor.image->width > 0 && cursor.image->height > 0) {
        const Surface& img = *cursor.image;
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(img.pixels.data()), img.width,
                                                            img.height, 32, img.width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (s) {
            made = SDL_CreateColorCursor(s, cursor.hotX, cursor.hotY);
            SDL_FreeSurface(s);
        }
    } else {
        made = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    }
    if (!made)
        return false;
    SDL_SetCursor(made);
    if (g_cursor)
        SDL_FreeCursor(g_cursor);
    g_cursor = made;
    return true;
}

} // namespace plat
