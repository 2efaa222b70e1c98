#include <SDL.h>

#include "platform/backend.h"
#include "platform/cursor.h"

namespace plat {

namespace {
SDL_Cursor* g_cursor = nullptr;
} // namespace

void ApplyCursorShown(bool shown) {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
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
