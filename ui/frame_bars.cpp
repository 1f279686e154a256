#include "ui/frame_bars.h"

#include "ui/application.h"
#include "base/trace.h"
#include "settings/settings_key.h"
#include "ui/window_services.h"
#include "resources/string_ids.h"

#include <iterator>

namespace tavolex::ui {

namespace {

struct ToolBarImage {
    int normal, hot, disabled, mask;
};
constexpr ToolBarImage kToolBarImages[] = {
    {224, 226, 225, 227}, {228, 230, 229, 196}, {236, 238, 237, 239}, {158, 242, 241, 243},
    {157, 234, 233, 235}, {244, 246, 245, 247}, {248, 250, 249, 251},
};
constexpr int kLabelIds[] = {IDS_TOOL_REPORT, IDS_TOOL_EXPORT, IDS_TOOL_MAIL, IDS_TOOL_SUPPORT, IDS_TOOL_VIEWS};
// The narrowest the find band gets, box and count, in pixels at 96 pixels per inch.
constexpr int kFindBandMinimum = 184;

// The three image lists (normal, hot, disabled) at the window's scale, given to the tool bar.
void SetToolBarImages(Application& app, HWND bar) {
    const int size = Scaled(16, app.dpi);
    for (int k = 0; k < 3; ++k) {
        int pictures[std::size(kToolBarImages)] = {};
        int masks[std::size(kToolBarImages)] = {};
        for (std::size_t n = 0; n < std::size(kToolBarImages); ++n) {
            const ToolBarImage& image = kToolBarImages[n];
            pictures[n] = k == 0 ? image.normal : k == 1 ? image.hot : image.disabled;
            masks[n] = image.mask;
        }
        app.toolBarImages[static_cast<std::size_t>(k)] =
            MakeScaledImageList(app.instance, size, pictures, masks, static_cast<int>(std::size(kToolBarImages)));
    }
    SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(app.toolBarImages[0].Get()));
    SendMessageW(bar, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(app.toolBarImages[1].Get()));
    SendMessageW(bar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(app.toolBarImages[2].Get()));
}

// The user box's font at the window's scale.
void SetUserBoxFont(Application& app, HWND box) {
    if (app.windowsMajorVersion <= 4) return;
    HDC dc = GetDC(box);
    app.userBoxFont = MakeJapaneseFont(dc, app.dpi);
    ReleaseDC(box, dc);
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(app.userBoxFont.Get()), TRUE);
}

HWND CreateToolBar(Application& app) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    HWND bar = CreateWindowExW(WS_EX_TOPMOST, TOOLBARCLASSNAMEW, L"", 0x4000995E & ~WS_VISIBLE, 0, 0, 0, 0, app.rebar,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolBarId)), app.instance, nullptr);
    if (bar == nullptr) return nullptr;
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(bar, CCM_SETVERSION, 5, 0);
    SetToolBarImages(app, bar);

    INT_PTR labels[std::size(kLabelIds)] = {};
    for (std::size_t k = 0; k < std::size(kLabelIds); ++k) {
        std::wstring label = LoadText(app.instance, kLabelIds[k]);
        label.push_back(L'\0');  // the list ends with a double NUL
        labels[k] = SendMessageW(bar, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(label.c_str()));
    }
    const BYTE shown = BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    TBBUTTON buttons[] = {
        {0, kCmdCreateReport, TBSTATE_ENABLED, shown, {}, 0, labels[0]},
        {1, kCmdExport, TBSTATE_ENABLED, shown, {}, 0, labels[1]},
        {2, kCmdMail, TBSTATE_ENABLED, shown, {}, 0, labels[2]},
        {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
        {3, kCmdRefresh, TBSTATE_ENABLED, BTNS_AUTOSIZE, {}, 0, -1},
        {4, kCmdDelete, TBSTATE_ENABLED, BTNS_AUTOSIZE, {}, 0, -1},
        {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
        {5, kCmdSupport, TBSTATE_ENABLED, BTNS_AUTOSIZE, {}, 0, labels[3]},
        {6, kCmdCycleViews, TBSTATE_ENABLED, shown, {}, 0, labels[4]},
    };
    SendMessageW(bar, TB_ADDBUTTONSW, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
    SendMessageW(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
    SendMessageW(bar, TB_AUTOSIZE, 0, 0);
    ShowWindow(bar, SW_SHOW);
    return bar;
}

HWND CreateUserBox(Application& app) {
    HWND box =
        CreateWindowExW(0, L"COMBOBOX", L"", 0x50000313, 0, 0, Scaled(100, app.dpi), Scaled(250, app.dpi), app.rebar,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kUserBoxId)), app.instance, nullptr);
    if (box == nullptr) return nullptr;
    SetUserBoxFont(app, box);
    app.userBox = box;
    FillUserBox(app);
    return box;
}

}  // namespace

void FillUserBox(Application& app) {
    if (app.userBox == nullptr || !app.users) return;
    SendMessageW(app.userBox, CB_RESETCONTENT, 0, 0);
    const int select = app.users->FillEntries(app.settings->appKey);
    for (const auto& entry : app.users->Entries()) {
        SendMessageW(app.userBox, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(Wide(entry->name).c_str()));
    }
    SendMessageW(app.userBox, CB_SETCURSEL, static_cast<WPARAM>(select), 0);
}

void CreateBars(Application& app, HWND frame) {
    app.settings->userKey.OpenUserKey(app.settings->userDirectory);
    const std::uint32_t stored = app.settings->userKey.ReadDword("ComboBandcx");
    // A stored width stays in the pixels it was stored in; the first one follows the scale.
    app.comboBandcx = stored != 0 ? stored : static_cast<std::uint32_t>(Scaled(200, app.dpi));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    app.toolBarObject = true;
    Trace("rb = " TAVOLEX_TRACE_PTR, TraceAddress(&app.toolBarObject));

    app.rebar = CreateWindowExW(0, REBARCLASSNAMEW, nullptr, 0x46002A40 | WS_VISIBLE, 0, 0, 0, 0, frame, nullptr,
                                app.instance, nullptr);
    REBARINFO info{};
    info.cbSize = sizeof info;
    if (app.rebar == nullptr || !SendMessageW(app.rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info))) {
        if (app.rebar != nullptr) DestroyWindow(app.rebar);
        app.rebar = nullptr;
        return;
    }
    RECT frameRect{};
    GetWindowRect(frame, &frameRect);
    app.toolBar = CreateToolBar(app);
    if (app.toolBar != nullptr) {
        const DWORD buttonSize = static_cast<DWORD>(SendMessageW(app.toolBar, TB_GETBUTTONSIZE, 0, 0));
        REBARBANDINFOW band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_STYLE | RBBIM_TEXT | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE;
        band.fStyle = RBBS_CHILDEDGE;
        band.lpText = const_cast<wchar_t*>(L"");
        band.hwndChild = app.toolBar;
        band.cxMinChild = static_cast<UINT>(Scaled(50, app.dpi));
        band.cyMinChild = HIWORD(buttonSize);
        band.cx = static_cast<UINT>(frameRect.right - frameRect.left) - app.comboBandcx;
        SendMessageW(app.rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    }
    if (HWND box = CreateUserBox(app)) {
        RECT boxRect{};
        GetWindowRect(box, &boxRect);
        std::wstring blank = LoadText(app.instance, IDS_BAND_TEXT);
        REBARBANDINFOW band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_STYLE | RBBIM_TEXT | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE;
        band.fStyle = RBBS_CHILDEDGE;
        band.lpText = blank.data();
        band.hwndChild = box;
        band.cxMinChild = static_cast<UINT>(Scaled(100, app.dpi));
        band.cyMinChild = static_cast<UINT>(boxRect.bottom - boxRect.top);
        band.cx = app.comboBandcx;
        SendMessageW(app.rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
        // The find box, as high as the user box, with the count of meetings shown after it.
        if (HWND find = CreateFindBox(app, static_cast<int>(boxRect.bottom - boxRect.top))) {
            REBARBANDINFOW findBand{};
            findBand.cbSize = sizeof findBand;
            findBand.fMask = RBBIM_STYLE | RBBIM_TEXT | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_ID;
            findBand.fStyle = RBBS_CHILDEDGE;
            findBand.lpText = blank.data();
            findBand.hwndChild = find;
            findBand.wID = kFindBoxId;
            findBand.cxMinChild = static_cast<UINT>(Scaled(kFindBandMinimum, app.dpi));
            findBand.cyMinChild = static_cast<UINT>(boxRect.bottom - boxRect.top);
            findBand.cx = static_cast<UINT>(Scaled(240, app.dpi));
            SendMessageW(app.rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&findBand));
        }
    }
    app.barHeight = static_cast<int>(SendMessageW(app.rebar, RB_GETBARHEIGHT, 0, 0));
}

void ScaleBars(Application& app) {
    if (app.rebar == nullptr) return;
    if (app.toolBar != nullptr) {
        SetToolBarImages(app, app.toolBar);
        SendMessageW(app.toolBar, TB_AUTOSIZE, 0, 0);
        const DWORD buttonSize = static_cast<DWORD>(SendMessageW(app.toolBar, TB_GETBUTTONSIZE, 0, 0));
        REBARBANDINFOW band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_CHILDSIZE;
        band.cxMinChild = static_cast<UINT>(Scaled(50, app.dpi));
        band.cyMinChild = HIWORD(buttonSize);
        SendMessageW(app.rebar, RB_SETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band));
    }
    if (app.userBox != nullptr) {
        SetUserBoxFont(app, app.userBox);
        RECT boxRect{};
        GetWindowRect(app.userBox, &boxRect);
        REBARBANDINFOW band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_CHILDSIZE;
        band.cxMinChild = static_cast<UINT>(Scaled(100, app.dpi));
        band.cyMinChild = static_cast<UINT>(boxRect.bottom - boxRect.top);
        SendMessageW(app.rebar, RB_SETBANDINFOW, app.toolBar != nullptr ? 1 : 0, reinterpret_cast<LPARAM>(&band));
        if (app.findBox != nullptr) {
            SendMessageW(app.findBox, WM_SETFONT, reinterpret_cast<WPARAM>(app.userBoxFont.Get()), TRUE);
            SendMessageW(app.findCount, WM_SETFONT, reinterpret_cast<WPARAM>(app.userBoxFont.Get()), TRUE);
            band.cxMinChild = static_cast<UINT>(Scaled(kFindBandMinimum, app.dpi));
            const LRESULT index = SendMessageW(app.rebar, RB_IDTOINDEX, kFindBoxId, 0);
            if (index >= 0)
                SendMessageW(app.rebar, RB_SETBANDINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&band));
        }
    }
    app.barHeight = static_cast<int>(SendMessageW(app.rebar, RB_GETBARHEIGHT, 0, 0));
}

void DrawUserBoxItem(Application& app, const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1)) return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const COLORREF oldText = SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const COLORREF oldBack = SetBkColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    TEXTMETRICW metrics{};
    GetTextMetricsW(item.hDC, &metrics);
    const LRESULT length = SendMessageW(item.hwndItem, CB_GETLBTEXTLEN, item.itemID, 0);
    std::wstring text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
    if (length > 0) SendMessageW(item.hwndItem, CB_GETLBTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    UniqueFont font;
    if (app.windowsMajorVersion > 4) {
        font = MakeJapaneseFont(item.hDC, app.dpi);
        SelectObject(item.hDC, font.Get());
    }
    const int x = LOWORD(GetDialogBaseUnits()) / 4 + 2;
    const int y = (item.rcItem.top + item.rcItem.bottom - metrics.tmHeight) / 2;
    ExtTextOutW(item.hDC, x, y, ETO_OPAQUE | ETO_CLIPPED, &item.rcItem, text.c_str(), static_cast<UINT>(text.size()),
                nullptr);
    SetTextColor(item.hDC, oldText);
    SetBkColor(item.hDC, oldBack);
    if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(item.hDC, &item.rcItem);
    SelectObject(item.hDC, GetStockObject(SYSTEM_FONT));
}

}  // namespace tavolex::ui
