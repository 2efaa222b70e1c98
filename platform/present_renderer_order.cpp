#include "platform/present_renderer_order.h"

#include <cstring>

namespace plat {

RendererOrder PresentRendererOrder(const char* videoDriver, bool userChoice) {
    if (userChoice || !videoDriver)
        return {RendererKind::kDefault, RendererKind::kSoftware};
    // Drivers whose window surface is plain memory the server or nobody reads.
    static const char* const kPlainSurface[] = {"x11", "dummy", "offscreen"};
    for (const char* name : kPlainSurface)
        if (std::strcmp(videoDriver, name) == 0)
            return {RendererKind::kSoftware, RendererKind::kDefault};
    return {RendererKind::kDefault, RendererKind::kSoftware};
}

} // namespace plat
