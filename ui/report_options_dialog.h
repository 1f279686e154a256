#pragma once
// The Report Options dialog (resource 189): a tab control built at run time with the fields tab
// (19 check boxes: which fields of an attendee are shown) and the author tab (the author printed
// on reports). The visible tab is stored when another tab is chosen and when the dialog closes,
// by "終了" as by Esc; there is no cancel.

#include "resources/control_ids.h"
#include "platform/platform.h"
#include "views/report_field_options.h"

#include <windows.h>

#include <functional>

namespace tavolex {
struct ApplicationSettings;
}

namespace tavolex::ui {

inline constexpr int kReportOptionsDialogId = IDD_REPORT_OPTIONS;
inline constexpr int kAuthorEditId = 1082;
inline constexpr int kAuthorCaptionId = 1083;

struct ReportOptionsDialogOptions {
    // The shown tab's values as its controls hold them.
    ReportOptionsValues values;
    // Fills values for the tab about to be built; stores the tab being left or closed.
    std::function<void(ReportOptionsTab, ReportOptionsValues&)> loadTab;
    std::function<void(ReportOptionsTab, const ReportOptionsValues&)> saveTab;
    // Each window of the dialog gets a Japanese font of its own (systems after major version 4).
    bool ownFonts = true;
    // Receives the position of each left click in the dialog; null: the system's channel.
    platform::DebugChannel* debug = nullptr;
};

// Runs the dialog modally; the id it was closed with (IDOK for "終了", IDCANCEL for Esc).
INT_PTR ShowReportOptionsDialog(HWND parent, ReportOptionsDialogOptions& options);

// Options that read and store the current Palm user's settings.
ReportOptionsDialogOptions CurrentUserReportOptions(ApplicationSettings& settings, bool ownFonts);

}  // namespace tavolex::ui
