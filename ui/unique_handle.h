#pragma once
// Move-only owners of Win32 handles, one alias per kind of handle. The traits name the handle
// type, its empty value and how it is released.

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace tavolex::ui {

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    [[nodiscard]] Type Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Empty(); }
    void Reset(Type handle = Traits::Empty()) {
        if (handle_ != Traits::Empty()) Traits::Close(handle_);
        handle_ = handle;
    }
    [[nodiscard]] Type Release() { return std::exchange(handle_, Traits::Empty()); }
    Type* Put() {
        Reset();
        return &handle_;
    }

private:
    Type handle_ = Traits::Empty();
};

struct FontTraits {
    using Type = HFONT;
    static Type Empty() { return nullptr; }
    static void Close(Type font) { DeleteObject(font); }
};
struct ImageListTraits {
    using Type = HIMAGELIST;
    static Type Empty() { return nullptr; }
    static void Close(Type list) { ImageList_Destroy(list); }
};
struct MenuTraits {
    using Type = HMENU;
    static Type Empty() { return nullptr; }
    static void Close(Type menu) { DestroyMenu(menu); }
};
struct BitmapTraits {
    using Type = HBITMAP;
    static Type Empty() { return nullptr; }
    static void Close(Type bitmap) { DeleteObject(bitmap); }
};

using UniqueFont = UniqueHandle<FontTraits>;
using UniqueImageList = UniqueHandle<ImageListTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueBitmap = UniqueHandle<BitmapTraits>;

// Puts the previous GDI object back into the device context when it leaves scope.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
    ~ScopedSelectObject() { SelectObject(dc_, previous_); }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace tavolex::ui
