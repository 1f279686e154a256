#pragma once
// The Create Report dialog (resource 129): a report of the current meeting from a template file,
// an instant built-in report or the custom report of the checked sections.

#include "resources/control_ids.h"
#include "views/create_report.h"
#include "ui/choosers.h"

#include <windows.h>

#include <string>

namespace tavolex::ui {

inline constexpr int kCreateReportDialogId = IDD_CREATE_REPORT;

// What the dialog shows and what it acts with. The section switches and the remembered list
// texts are stored in userKey as the user works; the report is written through writer.
struct CreateReportOptions {
    CreateReportChoices choices;
    std::string reportName;  // CP932, already cleaned

    ReportWriter* writer = nullptr;
    const Meeting* meeting = nullptr;
    ReportPaths paths;
    SettingsKey* userKey = nullptr;  // open on the current user's key
    std::string userDirectory;       // reopened before each write, as other code shares the key
    platform::UserInteraction* ui = nullptr;
    const Choosers* choosers = nullptr;
    HWND mainWindow = nullptr;  // owner of the folder window
    bool japaneseFont = true;   // the item text in MS Gothic (Windows 5 and later)

    // Set when the dialog closes after writing a report (or after the writer's failure message).
    bool reportMade = false;
};

// Runs the dialog modally; true when it wrote (or tried to write) a report.
bool ShowCreateReportDialog(HINSTANCE instance, HWND parent, CreateReportOptions& options);

}  // namespace tavolex::ui
