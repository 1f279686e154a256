#include "settings/application_settings.h"

namespace tavolex {
namespace {

constexpr std::uint32_t kMinimumSide = 50;

}  // namespace

WindowPlacement ValidateWindowPlacement(std::uint32_t x, std::uint32_t y, std::uint32_t w, std::uint32_t h,
                                        platform::ScreenSize screen) {
    const WindowPlacement defaults = DefaultWindowPlacement(screen);
    const auto defaultW = static_cast<std::uint32_t>(defaults.w);
    const auto defaultH = static_cast<std::uint32_t>(defaults.h);
    if (x == 0 || x > screen.width) x = screen.width / 2 - defaultW / 2;
    if (y == 0 || y > screen.height) y = screen.height / 2 - defaultH / 2;
    if (w < kMinimumSide || w > screen.width) w = defaultW;
    if (h < kMinimumSide || h > screen.height) {
        w = defaultW;
        h = defaultH;
    }
    return {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), static_cast<std::int32_t>(w),
            static_cast<std::int32_t>(h)};
}

}  // namespace tavolex
