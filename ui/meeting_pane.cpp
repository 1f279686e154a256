// The meeting pane: the meeting list over the item list of the selected meeting.
#include "ui/application.h"

#include "ui/frame_commands.h"
#include "ui/palm_folder.h"
#include "ui/window_services.h"
#include "views/quick_view.h"

namespace tavolex::ui {

namespace {

void MeetingListClicked(Application& app, bool fromMeetingList) {
    if (fromMeetingList) app.itemList->ClearSelection();
    const std::int32_t meeting = SelectedMeeting(app);
    if (meeting < 0) {
        app.quickView->Show(QuickViewInitialText());
        return;
    }
    const int itemRow = fromMeetingList ? -1 : app.itemList->SelectedRow();
    if (fromMeetingList) RefillItemList(app, -1);
    ShowInQuickView(app, meeting, itemRow);
    if (!fromMeetingList) RefillItemList(app, itemRow);
}

}  // namespace

void RefillItemList(Application& app, int selectRow) {
    if (!app.itemList) return;
    const std::int32_t meeting = SelectedMeeting(app);
    app.itemEntries = meeting >= 0 ? BuildMeetingItemEntries(*app.meetings, *app.addressBook, meeting)
                                   : std::vector<MeetingItemEntry>{};
    app.itemList->Refill(selectRow);
}

LRESULT CALLBACK MeetingPaneProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Application* found = ApplicationOf(window, message, lParam);
    if (found == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    Application& app = *found;
    LRESULT result = 0;
    bool handled = true;
    switch (message) {
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            const bool fromMeetings = app.meetingList && header->hwndFrom == app.meetingList->Window();
            const bool fromItems = app.itemList && header->hwndFrom == app.itemList->Window();
            if (!fromMeetings && !fromItems) break;
            PaneListView& list = fromMeetings ? *app.meetingList : *app.itemList;
            switch (header->code) {
                case LVN_GETDISPINFOW: list.SupplyText(*reinterpret_cast<NMLVDISPINFOW*>(lParam)); break;
                case LVN_ODFINDITEMW: result = list.FindRow(*reinterpret_cast<NMLVFINDITEMW*>(lParam)); break;
                case NM_CLICK: MeetingListClicked(app, fromMeetings); break;
                case NM_DBLCLK:
                    if (fromMeetings && reinterpret_cast<NMITEMACTIVATE*>(lParam)->iSubItem == 0 &&
                        SelectedMeeting(app) >= 0) {
                        CreateReportForSelection(app);
                    }
                    break;
                case LVN_COLUMNCLICK:
                    list.Sort(reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem, app.meetingSort.Click());
                    break;
                case LVN_ENDLABELEDITW: result = FALSE; break;
                default: break;
            }
            break;
        }
        case WM_DROPFILES: OpenDroppedPalmFolder(app, reinterpret_cast<HDROP>(wParam)); break;
        case WM_CONTEXTMENU:
            if (app.meetingList && reinterpret_cast<HWND>(wParam) == app.meetingList->Window()) {
                ShowContextMenu(app.instance, window, SelectedMeeting(app) >= 0 ? kMeetingMenuId : kViewMenuId,
                                app.meetingList->View(), true);
            }
            break;
        case WM_COMMAND: {
            const int command = LOWORD(wParam);
            if (command == kCmdCreateReport) {
                CreateReportForSelection(app);
            } else if (command == kCmdQuickView) {
                const std::int32_t meeting = SelectedMeeting(app);
                if (meeting >= 0) {
                    RefillItemList(app, -1);
                    ShowInQuickView(app, meeting, -1);
                }
            } else if (const std::uint32_t code = PaneViewCode(command); code != 0) {
                ApplyPaneView(app, *app.meetingList, code, true);
            }
            break;
        }
        default: handled = false; break;
    }
    if (app.meetingList && app.toolBar != nullptr) {
        const int enabled = app.meetingList->SelectedRow() >= 0 ? 1 : 0;
        if (enabled != app.createReportEnabled) {
            SetCreateReportEnabled(app.toolBar, enabled != 0);
            app.createReportEnabled = enabled;
        }
    }
    return handled ? result : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tavolex::ui
