// The frame window: the menu bar, the bars, the two panes and their layout; the commands, the
// bars and the panes have files of their own.
#include "ui/application.h"

#include "ui/export_runner.h"
#include "ui/frame_bars.h"
#include "ui/frame_commands.h"
#include "ui/window_services.h"
#include "views/quick_view.h"
#include "resources/string_ids.h"

namespace tavolex::ui {

namespace {

void Place(HWND window, int x, int y, int w, int h, bool repaint = true) {
    if (window == nullptr) return;
    MoveWindow(window, x, y, w, h, repaint ? TRUE : FALSE);
    ShowWindow(window, SW_SHOW);
}

void LayOut(Application& app) {
    RECT client{};
    GetClientRect(app.frame, &client);
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;
    if (app.rebar != nullptr) Place(app.rebar, client.left, client.top, w, app.barHeight, false);
    // Placing the rebar may make it report another height (RBN_CHILDSIZE): the panes follow that.
    const int b = app.barHeight;
    const int gap = Scaled(20, app.dpi);
    Place(app.meetingPane, 0, b, w / 2 - gap, h);
    Place(app.reportPane, w / 2, b, w, h);
    if (app.reportList) Place(app.reportList->Window(), 0, 0, w / 2, h / 2);
    if (app.quickView) Place(app.quickView->Window(), 0, h / 2, w / 2, h / 2 - b);
    if (app.meetingList) Place(app.meetingList->Window(), 0, 0, w / 2 - gap, h / 2);
    if (app.itemList) Place(app.itemList->Window(), 0, h / 2, w / 2 - gap, h / 2 - b);
    for (PaneListView* list : {app.meetingList.get(), app.reportList.get(), app.itemList.get()}) {
        if (list != nullptr) list->Arrange();
    }
}

}  // namespace

Application* ApplicationOf(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<Application*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void RefreshQuickView(Application& app, const RECT& client) {
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;
    const int gap = Scaled(20, app.dpi);
    if (app.reportList)
        SetWindowPos(app.reportList->Window(), nullptr, 0, 0, w + gap, h / 2, SWP_NOZORDER | SWP_NOREDRAW);
    if (app.meetingList) SetWindowPos(app.meetingList->Window(), nullptr, 0, 0, w, h / 2, SWP_NOZORDER | SWP_NOREDRAW);
    const std::int32_t meeting = SelectedMeeting(app);
    if (meeting >= 0) ShowInQuickView(app, meeting, -1);
    if (app.quickView) Place(app.quickView->Window(), 0, h / 2, w + gap, h / 2 - app.barHeight);
    if (app.itemList) Place(app.itemList->Window(), 0, h / 2, w, h / 2 - app.barHeight);
}

void RepaintFrame(Application& app) {
    if (app.toolBar != nullptr) InvalidateRect(app.toolBar, nullptr, TRUE);
    if (app.userBox != nullptr) InvalidateRect(app.userBox, nullptr, TRUE);
    if (app.currentMeeting != -1 && app.frame != nullptr) {
        RECT client{};
        GetClientRect(app.frame, &client);
        RefreshQuickView(app, client);
        if (app.quickView) InvalidateRect(app.quickView->Window(), nullptr, TRUE);
    }
    if (app.frame != nullptr) InvalidateRect(app.frame, nullptr, TRUE);
}

LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Application* found = ApplicationOf(window, message, lParam);
    if (found == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    Application& app = *found;
    switch (message) {
        case WM_CREATE:
            app.frame = window;
            app.dpi = WindowDpi(window);
            AddExportMenuItems(GetMenu(window));
            CreateBars(app, window);
            app.meetingPane = CreateWindowExW(
                WS_EX_TRANSPARENT | WS_EX_ACCEPTFILES, LoadText(app.instance, IDS_MEETING_PANE_CLASS).c_str(), L"",
                WS_CHILD, 0, 0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMeetingPaneId)),
                app.instance, &app);
            app.reportPane = CreateWindowExW(WS_EX_TRANSPARENT | WS_EX_ACCEPTFILES,
                                             LoadText(app.instance, IDS_REPORT_PANE_CLASS).c_str(), L"", WS_CHILD, 0, 0,
                                             0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kReportPaneId)),
                                             app.instance, &app);
            if (!app.mailer || !app.mailer->Available()) SetMailEnabled(app.toolBar, false);
            return 0;
        case WM_SIZE:
        case WM_MOVE:
            if (app.frame != nullptr) LayOut(app);
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == RBN_CHILDSIZE && app.rebar != nullptr) {
                app.barHeight = static_cast<int>(SendMessageW(app.rebar, RB_GETBARHEIGHT, 0, 0));
                LayOut(app);
            }
            return 0;
        }
        case WM_DPICHANGED: {
            // Moved to a monitor of another scale: everything is made again at the new one, in the
            // rectangle the system suggests.
            app.dpi = HIWORD(wParam);
            RescaleFrame(app);
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            LayOut(app);
            if (app.meetingList) app.meetingList->Refill(app.meetingList->SelectedRow());
            if (app.reportList) app.reportList->Refill(app.reportList->SelectedRow());
            if (app.itemList) RefillItemList(app, app.itemList->SelectedRow());
            return 0;
        }
        case WM_EXITSIZEMOVE:
            if (app.meetingList) app.meetingList->Refill(app.meetingList->SelectedRow());
            if (app.reportList) app.reportList->Refill(-1);
            if (app.itemList) RefillItemList(app, app.itemList->SelectedRow());
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_MEASUREITEM: return 0;
        case WM_DRAWITEM:
            if (wParam == kUserBoxId) DrawUserBoxItem(app, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == kUserBoxId && HIWORD(wParam) == CBN_SELCHANGE) {
                const int selection = static_cast<int>(SendMessageW(app.userBox, CB_GETCURSEL, 0, 0));
                StopFilterBuild(app);
                ChangeUser(selection, *app.users, app.place, *app.settings, *app.env, *app.addressBook, *app.meetings,
                           MakeUserChangeCallbacks(app));
                return 0;
            }
            if (LOWORD(wParam) == kFindBoxId && HIWORD(wParam) == EN_CHANGE) {
                ApplyFind(app);
                return 0;
            }
            if (lParam != 0 && (LOWORD(wParam) == kUserBoxId || LOWORD(wParam) == kFindBoxId)) return 0;
            OnCommand(app, window, LOWORD(wParam));
            return 0;
        case WM_USER:
            StopFilterBuild(app);
            ReloadLastUser(*app.users, app.place, *app.settings, *app.addressBook, *app.meetings,
                           MakeUserChangeCallbacks(app));
            return 0;
        case WM_DESTROY: ShutdownApplication(app); return 0;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tavolex::ui
