#pragma once
// The export dialog (resource 154): copies the selected report, with its pictures, to a folder
// the user names or chooses.

#include "report_files/report_paths.h"
#include "ui/choosers.h"

#include <windows.h>

#include <filesystem>
#include <string>

namespace tavolex::platform {
class UserInteraction;
}

namespace tavolex::ui {

inline constexpr int kExportDialogId = 154;
// Its controls.
inline constexpr int kExportIcon = 1080;
inline constexpr int kExportReportName = 1081;
inline constexpr int kExportLabel = 1084;
inline constexpr int kExportDestination = 1085;
inline constexpr int kExportBrowse = 1086;

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
