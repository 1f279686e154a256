#include "platform/platform.h"

#include <windows.h>

namespace tavolex::platform {

ScreenSize FullScreenClientSize() {
    const int width = GetSystemMetrics(SM_CXFULLSCREEN);
    const int height = GetSystemMetrics(SM_CYFULLSCREEN);
    if (width <= 0 || height <= 0) return kFallbackScreenSize;
    return {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
}

}  // namespace tavolex::platform
