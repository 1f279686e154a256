#pragma once
// The operations on report files of the report list: rename, delete, export to another folder and
// import of a file dropped on the list. A report goes with its pictures; every question and
// message goes through the user-interaction interface, and no operation leaves a half-copied file
// or removes a file whose copy was not made whole.

#include <filesystem>
#include <string>
#include <string_view>

#include "report_files/report_paths.h"

namespace tavolex {
namespace platform {
class UserInteraction;
}

// Renames a report (file name with extension) to a new name without extension, keeping the
// extension; the new name is cleaned first ("Filename Change"). A copy under the new name that
// never replaces a file, then the old file removed. False without a message when the current
// name is empty or the copy can't be made (the new name exists, for one).
bool RenameReport(const ReportPaths& paths, std::string_view currentFileName, std::string newName,
                  platform::UserInteraction& ui);

enum class DeleteOutcome {
    kDeclined,  // the user said no; nothing changed
    kDeleted,   // the report is gone (with the pictures no other report refers to)
    kFailed,    // the report is still there (it could not be removed, or the name was no file name)
};

// Asks (full path, two line feeds, string 148; caption "Deleting..."), then removes the report and
// those of its pictures that no other report of the output folder refers to. A picture that is a
// report itself is never removed.
DeleteOutcome DeleteReport(const ReportPaths& paths, std::string_view fileName, platform::UserInteraction& ui);

enum class TransferOutcome {
    kDone,
    kDeclined,  // the user would not replace the existing file; the export dialog stays open
    kRefused,   // import: not an HTML file (its pictures have been moved already)
    kFailed,    // after a message saying why; the source is untouched
};

// Copies the report to destination (a file path; an existing folder takes the report's own file
// name) without replacing, asking before it replaces an existing file; then copies its pictures
// to the destination's folder, replacing.
TransferOutcome ExportReport(const ReportPaths& paths, std::string_view fileName,
                             const std::filesystem::path& destination, platform::UserInteraction& ui);

// Imports a dropped file: first moves its pictures from its folder into the output folder, then,
// for an .htm or .html file (any letter case), moves the file itself there, asking before it
// replaces an existing report. A file already in the output folder stays where it is.
TransferOutcome ImportReport(const ReportPaths& paths, const std::filesystem::path& droppedFile,
                             platform::UserInteraction& ui);

}  // namespace tavolex
