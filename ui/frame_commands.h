#pragma once
// The frame's commands and what the panes share with them: the selected meeting and report, the
// report operations, the panes' context menus and views.

#include "resources/control_ids.h"
#include "report_files/report_listing.h"
#include "session/user_change.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

namespace tavolex::ui {

struct Application;

// The panes' context menus.
inline constexpr int kReportMenuId = IDR_REPORT_MENU;
inline constexpr int kMeetingMenuId = IDR_MEETING_MENU;
inline constexpr int kViewMenuId = IDR_VIEW_MENU;

// Runs a command of the frame's menu or tool bar.
void OnCommand(Application& app, HWND frame, int command);

// The meeting of the meeting list's selected row, -1 when none.
std::int32_t SelectedMeeting(Application& app);
// Shows the meeting in the quick view, with the item of the item list's row when one is given.
void ShowInQuickView(Application& app, std::int32_t meeting, int itemRow);
void CreateReportForSelection(Application& app);

// The report of the report list's selected row; false when none.
bool SelectedReport(Application& app, ReportEntry& entry);
void OpenSelectedReport(Application& app, bool fromMenu);
void MailSelectedReport(Application& app, bool fromMenu);
void DeleteSelectedReport(Application& app);
void ExportSelectedReport(Application& app);
void ImportDroppedFile(Application& app, HDROP drop);

// What a change of Palm user does to the frame.
UserChangeCallbacks MakeUserChangeCallbacks(Application& app);

// The pane's context menu at the cursor, the view's item checked.
void ShowContextMenu(HINSTANCE instance, HWND pane, int menuId, std::uint32_t view, bool mailAvailable);
// The view code of a pane's view command, 0 for any other command.
std::uint32_t PaneViewCode(int command);

}  // namespace tavolex::ui
