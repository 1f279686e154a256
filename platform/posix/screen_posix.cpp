#include "platform/platform.h"

#include <dlfcn.h>

#include <cstdlib>

namespace tavolex::platform {
namespace {

// The few Xlib calls used, looked up at run time so the program needs no X library to start.
struct XDisplay;
using XOpenDisplayFn = XDisplay* (*)(const char*);
using XCloseDisplayFn = int (*)(XDisplay*);
using XDefaultScreenFn = int (*)(XDisplay*);
using XDisplaySizeFn = int (*)(XDisplay*, int);

template <typename Fn>
Fn Lookup(void* library, const char* name) {
    return reinterpret_cast<Fn>(::dlsym(library, name));
}

ScreenSize XDisplaySize() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') return {};
    void* x11 = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (x11 == nullptr) return {};
    ScreenSize size;
    const auto open = Lookup<XOpenDisplayFn>(x11, "XOpenDisplay");
    const auto close = Lookup<XCloseDisplayFn>(x11, "XCloseDisplay");
    const auto defaultScreen = Lookup<XDefaultScreenFn>(x11, "XDefaultScreen");
    const auto width = Lookup<XDisplaySizeFn>(x11, "XDisplayWidth");
    const auto height = Lookup<XDisplaySizeFn>(x11, "XDisplayHeight");
    if (open != nullptr && close != nullptr && defaultScreen != nullptr && width != nullptr && height != nullptr) {
        if (XDisplay* d = open(nullptr)) {
            const int screen = defaultScreen(d);
            const int w = width(d, screen);
            const int h = height(d, screen);
            if (w > 0 && h > 0) size = {static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h)};
            close(d);
        }
    }
    // Xlib registers handlers that must stay loaded once a display was opened.
    return size;
}

}  // namespace

ScreenSize FullScreenClientSize() {
    const ScreenSize size = XDisplaySize();
    return size.width > 0 && size.height > 0 ? size : kFallbackScreenSize;
}

}  // namespace tavolex::platform
