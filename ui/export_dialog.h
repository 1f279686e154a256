#pragma once
// The export dialog (resource 154): copies the selected report, with its pictures, to a folder
// the user names or chooses.

#include "resources/control_ids.h"
#include "report_files/report_paths.h"
#include "ui/choosers.h"

#include <windows.h>

#include <filesystem>
#include <string>

namespace tavolex::platform {
class UserInteraction;
}

namespace tavolex::ui {

inline constexpr int kExportDialogId = IDD_EXPORT;
// Its controls.
inline constexpr int kExportIcon = IDC_EXPORT_ICON;
inline constexpr int kExportReportName = IDC_EXPORT_REPORT_NAME;
inline constexpr int kExportLabel = IDC_EXPORT_LABEL;
inline constexpr int kExportDestination = IDC_EXPORT_DESTINATION;
inline constexpr int kExportBrowse = IDC_EXPORT_BROWSE;

struct ExportOptions {
    ReportPaths paths;
    std::string fileName;  // the report's file name with extension, CP932
    platform::UserInteraction* ui = nullptr;
    const Choosers* choosers = nullptr;
    bool exported = false;  // set when the report was copied and the dialog closed
};

// The destination the dialog starts with (output folder + file name) and the one a chosen folder
// gives (the folder + the file name, one separator between them even for a drive's root).
std::filesystem::path InitialExportDestination(const ExportOptions& options);
std::filesystem::path DestinationInFolder(const std::filesystem::path& folder, const std::string& fileName);

// Runs the dialog modally; true when the report was exported.
bool ShowExportDialog(HINSTANCE instance, HWND parent, ExportOptions& options);

}  // namespace tavolex::ui
