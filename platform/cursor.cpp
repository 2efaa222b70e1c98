#include "platform/cursor.h"

#include "platform/backend.h"

namespace plat {

namespace {
int g_count = 0;
} // namespace

int ShowCursor(bool show) {
    g_count += show ? 1 : -1;
    ApplyCursorShown(g_count >= 0);
    return g_count;
}

int CursorDisplayCount() { return g_count; }

void ResetCursorCount() {
    g_count = 0;
    ApplyCursorShown(true);
}

} // namespace plat
