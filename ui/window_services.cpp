#include "ui/window_services.h"

#include "platform/platform.h"
#include "sketch/image_scale.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <utility>
#include <vector>

namespace tavolex::ui {

UniqueFont MakeFont(HDC dc, const wchar_t* face, int height, int width, int attributes, int logical, unsigned dpi) {
    const int saved = SaveDC(dc);
    SetGraphicsMode(dc, GM_ADVANCED);
    ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);

    double xResolution = 0;
    double yResolution = 0;
    if (logical != 0 && dpi != 0) {
        xResolution = yResolution = dpi;
    } else if (logical != 0) {
        xResolution = GetDeviceCaps(dc, LOGPIXELSX);
        yResolution = GetDeviceCaps(dc, LOGPIXELSY);
    } else {
        const int horzSize = GetDeviceCaps(dc, HORZSIZE);
        const int vertSize = GetDeviceCaps(dc, VERTSIZE);
        xResolution = horzSize != 0 ? GetDeviceCaps(dc, HORZRES) * 25.4 / horzSize : 96.0;
        yResolution = vertSize != 0 ? GetDeviceCaps(dc, VERTRES) * 25.4 / vertSize : 96.0;
    }
    POINT point{static_cast<LONG>(width * xResolution / 72), static_cast<LONG>(height * yResolution / 72)};
    DPtoLP(dc, &point, 1);

    LOGFONTW description{};
    description.lfHeight = -static_cast<LONG>(std::lround(std::abs(point.y) / 10.0));
    description.lfWeight = (attributes & 1) != 0 ? FW_BOLD : 0;
    description.lfItalic = (attributes & 2) != 0;
    description.lfUnderline = (attributes & 4) != 0;
    description.lfStrikeOut = (attributes & 8) != 0;
    description.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(description.lfFaceName, face, LF_FACESIZE - 1);
    UniqueFont font(CreateFontIndirectW(&description));

    if (width != 0 && font && point.y != 0) {
        TEXTMETRICW metrics{};
        {
            ScopedSelectObject select(dc, font.Get());
            GetTextMetricsW(dc, &metrics);
        }
        font.Reset();
        description.lfWidth = static_cast<LONG>(
            std::lround(std::abs(point.x) * static_cast<double>(metrics.tmAveCharWidth) / std::abs(point.y)));
        font.Reset(CreateFontIndirectW(&description));
    }
    RestoreDC(dc, saved);
    return font;
}

namespace {

int CALLBACK NoteFaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool HasFace(HDC dc, const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(dc, &wanted, NoteFaceFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

}  // namespace

UniqueFont MakeJapaneseFont(HDC dc, unsigned dpi) {
    static const bool hasJapaneseFace = HasFace(dc, kJapaneseFace);
    return MakeFont(dc, hasJapaneseFace ? kJapaneseFace : kFallbackJapaneseFace, 100, 0, 0, 1, dpi);
}

unsigned WindowDpi(HWND window) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (dpiForWindow != nullptr && window != nullptr) {
        if (const UINT dpi = dpiForWindow(window); dpi != 0) return dpi;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<unsigned>(dpi) : 96;
}

namespace {

// A 32-bit top-down picture of side x side pixels.
BITMAPINFO SquarePictureInfo(int side) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// The 16 x 16 picture of the bitmap as premultiplied 0xAARRGGBB, opaque where the mask is black.
std::vector<std::uint32_t> MaskedPixels(HINSTANCE instance, int bitmapId, int maskId) {
    constexpr int kSide = 16;
    std::vector<std::uint32_t> picture(kSide * kSide), mask(kSide * kSide, 0);
    BITMAPINFO info = SquarePictureInfo(kSide);
    HDC screen = GetDC(nullptr);
    for (auto [id, pixels] : {std::pair{bitmapId, &picture}, std::pair{maskId, &mask}}) {
        UniqueBitmap bitmap(
            static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        if (bitmap) GetDIBits(screen, bitmap.Get(), 0, kSide, pixels->data(), &info, DIB_RGB_COLORS);
    }
    ReleaseDC(nullptr, screen);
    for (std::size_t k = 0; k < picture.size(); ++k) {
        picture[k] = (mask[k] & 0xFFFFFF) != 0 ? 0 : (picture[k] & 0xFFFFFF) | 0xFF000000;
    }
    return picture;
}

}  // namespace

UniqueImageList MakeScaledImageList(HINSTANCE instance, int size, const int* bitmapIds, const int* maskIds, int count) {
    UniqueImageList list(ImageList_Create(size, size, ILC_COLOR32, count, 0));
    if (!list) return list;
    HDC screen = GetDC(nullptr);
    for (int k = 0; k < count; ++k) {
        const std::vector<std::uint32_t> pixels =
            ScalePixels(MaskedPixels(instance, bitmapIds[k], maskIds[k]), 16, 16, size, size);
        BITMAPINFO info = SquarePictureInfo(size);
        void* bits = nullptr;
        UniqueBitmap bitmap(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bitmap || bits == nullptr || pixels.empty()) continue;
        std::copy(pixels.begin(), pixels.end(), static_cast<std::uint32_t*>(bits));
        ImageList_Add(list.Get(), bitmap.Get(), nullptr);
    }
    ReleaseDC(nullptr, screen);
    return list;
}

void SetCommandEnabled(HWND toolBar, int command, bool enabled) {
    if (toolBar == nullptr) return;
    HWND frame = GetParent(GetParent(toolBar));
    if (HMENU menu = GetMenu(frame)) {
        EnableMenuItem(menu, static_cast<UINT>(command),
                       MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_DISABLED | MF_GRAYED));
        DrawMenuBar(frame);
    }
    SendMessageW(toolBar, TB_ENABLEBUTTON, static_cast<WPARAM>(command), MAKELPARAM(enabled ? TRUE : FALSE, 0));
}

void SetCreateReportEnabled(HWND toolBar, bool enabled) { SetCommandEnabled(toolBar, kCmdCreateReport, enabled); }
void SetMailEnabled(HWND toolBar, bool enabled) { SetCommandEnabled(toolBar, kCmdMail, enabled); }
void SetExportEnabled(HWND toolBar, bool enabled) { SetCommandEnabled(toolBar, kCmdExport, enabled); }
void SetDeleteEnabled(HWND toolBar, bool enabled) { SetCommandEnabled(toolBar, kCmdDelete, enabled); }

void SetOpenReportEnabled(HWND toolBar, bool enabled) {
    if (toolBar == nullptr) return;
    HWND frame = GetParent(GetParent(toolBar));
    if (HMENU menu = GetMenu(frame)) {
        EnableMenuItem(menu, kCmdOpenReport, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_DISABLED | MF_GRAYED));
        DrawMenuBar(frame);
    }
}

std::wstring Wide(std::string_view cp932) {
    const std::u16string text = platform::Cp932ToUtf16(cp932);
    return std::wstring(text.begin(), text.end());
}

std::string Narrow(std::wstring_view text) { return platform::Utf16ToCp932(std::u16string(text.begin(), text.end())); }

std::wstring Utf8ToWide(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > INT_MAX) return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), length);
    return text;
}

std::wstring LoadText(HINSTANCE instance, int id) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

}  // namespace tavolex::ui
