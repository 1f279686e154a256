#include "ui/window_services.h"

#include "platform/platform.h"

#include <cmath>
#include <cstdlib>
#include <cwchar>

namespace tavolex::ui {

UniqueFont MakeFont(HDC dc, const wchar_t* face, int height, int width, int attributes, int logical) {
    const int saved = SaveDC(dc);
    SetGraphicsMode(dc, GM_ADVANCED);
    ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);

    double xResolution = 0;
    double yResolution = 0;
    if (logical != 0) {
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

UniqueFont MakeJapaneseFont(HDC dc) {
    static const bool hasJapaneseFace = HasFace(dc, kJapaneseFace);
    return MakeFont(dc, hasJapaneseFace ? kJapaneseFace : kFallbackJapaneseFace, 100, 0, 0, 1);
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

std::wstring LoadText(HINSTANCE instance, int id) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

}  // namespace tavolex::ui
