// The find box in the frame's rebar: typing filters the meeting list, Esc clears it, Enter goes
// to the list, and Tab and Shift+Tab go round the box and the four panes.
#include "ui/application.h"

#include "platform/platform.h"
#include "ui/frame_bars.h"
#include "ui/frame_commands.h"
#include "ui/window_services.h"
#include "views/meeting_listing.h"
#include "views/meeting_rows.h"
#include "views/quick_view.h"
#include "resources/string_ids.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string>

namespace tavolex::ui {

namespace {

// The windows Tab goes round, in order.
std::array<HWND, 5> TabOrder(const Application& app) {
    return {app.findBox, app.meetingList ? app.meetingList->Window() : nullptr,
            app.itemList ? app.itemList->Window() : nullptr, app.reportList ? app.reportList->Window() : nullptr,
            app.quickView ? app.quickView->Window() : nullptr};
}

LRESULT CALLBACK FindBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto& app = *reinterpret_cast<Application*>(data);
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        SetWindowTextW(box, L"");
        return 0;
    }
    if (message == WM_KEYDOWN && wParam == VK_RETURN && app.meetingList) {
        SetFocus(app.meetingList->Window());
        return 0;
    }
    // The characters of the keys above would only beep.
    if (message == WM_CHAR && (wParam == VK_ESCAPE || wParam == VK_RETURN || wParam == VK_TAB)) return 0;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(box, FindBoxProcedure, 0);
    return DefSubclassProc(box, message, wParam, lParam);
}

std::string BoxText(HWND box) {
    const int length = GetWindowTextLengthW(box);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(box, text.data(), length + 1)));
    return platform::Cp932ToUtf8(Narrow(text));
}

void ShowCount(const Application& app, std::size_t shown) {
    if (app.findCount == nullptr) return;
    const std::wstring text = std::to_wstring(shown) + L" " + LoadText(app.instance, IDS_FIND_COUNT);
    SetWindowTextW(app.findCount, text.c_str());
}

constexpr wchar_t kFindBandClass[] = L"TavolexFindBand";
constexpr int kCountWidth = 64;  // pixels at 96 pixels per inch: "65520 件"

// The rebar band's window: the box, and the count at its right. The box's notifications go on to
// the frame as if the box were the band's own child.
LRESULT CALLBACK FindBandProcedure(HWND band, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: {
            HWND box = GetDlgItem(band, kFindBoxId);
            HWND count = GetDlgItem(band, kFindCountId);
            const int width = LOWORD(lParam);
            const int height = HIWORD(lParam);
            const int countWidth = std::min(width / 2, Scaled(kCountWidth, WindowDpi(band)));
            if (box != nullptr) MoveWindow(box, 0, 0, width - countWidth, height, TRUE);
            if (count != nullptr) MoveWindow(count, width - countWidth, 0, countWidth, height, TRUE);
            return 0;
        }
        case WM_COMMAND:
        case WM_NOTIFY:
            if (HWND rebar = GetParent(band)) return SendMessageW(GetParent(rebar), message, wParam, lParam);
            return 0;
        default: return DefWindowProcW(band, message, wParam, lParam);
    }
}

}  // namespace

HWND CreateFindBox(Application& app, int height) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(app.instance, kFindBandClass, &wc) == 0) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = FindBandProcedure;
        wc.hInstance = app.instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kFindBandClass;
        if (RegisterClassExW(&wc) == 0) return nullptr;
    }
    const int width = Scaled(160 + kCountWidth, app.dpi);
    HWND band =
        CreateWindowExW(0, kFindBandClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height, app.rebar,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFindBandId)), app.instance, nullptr);
    if (band == nullptr) return nullptr;
    HWND box = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0,
                               0, Scaled(160, app.dpi), height, band,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFindBoxId)), app.instance, nullptr);
    HWND count = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, 0, 0,
                                 Scaled(kCountWidth, app.dpi), height, band,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFindCountId)), app.instance, nullptr);
    if (box == nullptr || count == nullptr) {
        DestroyWindow(band);
        return nullptr;
    }
    if (app.userBoxFont) {
        SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(app.userBoxFont.Get()), FALSE);
        SendMessageW(count, WM_SETFONT, reinterpret_cast<WPARAM>(app.userBoxFont.Get()), FALSE);
    }
    const std::wstring cue = LoadText(app.instance, IDS_FIND_CUE);
    SendMessageW(box, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(cue.c_str()));
    SetWindowSubclass(box, FindBoxProcedure, 0, reinterpret_cast<DWORD_PTR>(&app));
    app.findBox = box;
    app.findCount = count;
    return band;
}

namespace {

// The filter over the store's meetings with their items' texts: a full store's take about a third
// of a second to fold.
MeetingFilter MakeFilter(const MeetingDatabase& store, const AddressBook& book) {
    return MeetingFilter(store, [&store, &book](std::int32_t index) {
        std::vector<SearchItem> items;
        for (const MeetingItemEntry& e : BuildMeetingItemEntries(store, book, index))
            items.push_back({ItemKindWord(e.kind), e.item, e.displayText});
        return items;
    });
}

}  // namespace

void StartFilterBuild(Application& app) {
    StopFilterBuild(app);
    if (!app.meetings || !app.addressBook || !app.meetings->Opened()) return;
    const MeetingDatabase* store = app.meetings.get();
    const AddressBook* book = app.addressBook.get();
    app.filterBuild = std::async(std::launch::async, [store, book] { return MakeFilter(*store, *book); });
}

void StopFilterBuild(Application& app) {
    if (app.filterBuild.valid()) app.filterBuild.wait();
    app.filterBuild = {};
    app.meetingFilter.reset();
}

void FilterMeetingList(Application& app, PaneListView& list) {
    list.SetRowSource([&app] { return app.meetings ? MeetingRows(*app.meetings) : std::vector<PaneRow>{}; });
    list.SetRowFilter(
        [&app](const PaneRow& row) {
            if (app.findText.empty()) return true;
            if (!app.meetingFilter) {
                if (app.filterBuild.valid()) {
                    app.meetingFilter.emplace(app.filterBuild.get());
                } else {
                    app.meetingFilter.emplace(MakeFilter(*app.meetings, *app.addressBook));
                }
            }
            if (app.meetingFilter->Text() != app.findText) app.meetingFilter->SetText(app.findText);
            return app.meetingFilter->Shows(static_cast<std::int32_t>(row.parameter));
        },
        [&app](int shown) { ShowCount(app, static_cast<std::size_t>(shown)); });
}

void ApplyFind(Application& app) {
    if (!app.meetingList || app.findBox == nullptr) return;
    app.findText = BoxText(app.findBox);
    if (!app.meetingList->Refilter()) {
        // The selected meeting went out of the list: nothing is selected any more.
        RefillItemList(app, -1);
        if (app.quickView) app.quickView->Show(QuickViewInitialText());
    }
}

void ShowLoading(Application& app) {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    if (app.findCount == nullptr) return;
    SetWindowTextW(app.findCount, LoadText(app.instance, IDS_LOADING).c_str());
    // The thread loads before it reads another message: the text is painted now.
    UpdateWindow(app.findCount);
}

void EndLoading(Application& app) {
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    if (app.meetings && app.meetingList && app.meetingList->Window() != nullptr) {
        ShowCount(app, static_cast<std::size_t>(app.meetingList->RowCount()));
    } else if (app.findCount != nullptr) {
        SetWindowTextW(app.findCount, L"");
    }
}

bool MoveFocusOnTab(Application& app, const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
    if ((GetKeyState(VK_CONTROL) & 0x8000) != 0) return false;
    const std::array<HWND, 5> order = TabOrder(app);
    const auto at = std::find(order.begin(), order.end(), message.hwnd);
    if (message.hwnd == nullptr || at == order.end()) return false;
    const bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    auto next = at;
    for (std::size_t step = 0; step < order.size(); ++step) {
        if (back) {
            next = next == order.begin() ? std::prev(order.end()) : std::prev(next);
        } else {
            next = std::next(next) == order.end() ? order.begin() : std::next(next);
        }
        if (*next != nullptr && IsWindowVisible(*next)) break;
    }
    SetFocus(*next);
    if (*next == app.findBox) SendMessageW(app.findBox, EM_SETSEL, 0, -1);
    return true;
}

}  // namespace tavolex::ui
