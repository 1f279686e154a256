#include "report_files/report_operations.h"

#include "base/ascii.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "report_files/file_copy.h"
#include "report_files/report_images.h"
#include "report_files/report_listing.h"
#include "report_files/report_name.h"
#include "resources/string_table.h"
#include "base/trace.h"

#include <algorithm>
#include <set>
#include <system_error>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCaption = "Tavolex";
constexpr std::string_view kReplaceQuestion = " already exits.\nDo you want to replace it?";
constexpr std::string_view kFileMissing = "Unable to open file, it may no longer exist.";
constexpr std::string_view kCopyFailed =
    "\nThe file could not be written there.  The folder may be missing, read-only or full.";
constexpr std::string_view kNotSupported = "The specified file cannot be identified as a supported type.";

void RemoveQuietly(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

fs::path WithName(const fs::path& folder, const fs::path& name) {
    fs::path path = InFolder(folder, "");
    path += name;
    return path;
}

// The message of a copy that failed for a reason other than an existing target.
void ShowCopyFailure(CopyResult result, const fs::path& target, platform::UserInteraction& ui) {
    if (result == CopyResult::kSourceUnreadable) {
        ui.ShowMessage(kFileMissing, "", platform::MessageIcon::kNone);
        return;
    }
    ui.ShowMessage(platform::PathToCp932(target) + std::string(kCopyFailed), kCaption,
                   platform::MessageIcon::kInformation);
}

// The names of pictures other reports of the output folder refer to; nothing when one of them
// can't be read, so that no picture is known to be free.
std::optional<std::set<std::string>> PicturesInUse(const ReportPaths& paths, const fs::path& deleted) {
    std::set<std::string> inUse;
    for (const ReportEntry& other : ListReports(paths.outputFolder)) {
        if (SameFile(other.path, deleted)) continue;
        const std::optional<std::vector<std::string>> names = ReferencedImageNames(other.path);
        if (!names) return std::nullopt;
        inUse.insert(names->begin(), names->end());
    }
    return inUse;
}

bool IsHtmlExtension(const fs::path& extension) {
    const std::string text = LowerAsciiText(platform::PathToCp932(extension));
    return text == ".htm" || text == ".html";
}

// Moves the pictures of a dropped file from its folder into the output folder.
void MovePictures(const ReportPaths& paths, const fs::path& droppedFile, platform::UserInteraction& ui) {
    ReportImageList list;
    (void)CollectReportImages(droppedFile, paths, ui, list);
    const fs::path sourceFolder = droppedFile.parent_path();
    for (std::size_t i = 0; i < list.names.size(); ++i) {
        const std::string& name = list.names[i];
        const std::string from = platform::PathToCp932(InFolder(sourceFolder, name));
        Trace("NEW szImageTmp[%i] = " TAVOLEX_TRACE_PTR, static_cast<int>(i), TraceAddress(from.data()));
        // A reference to another report is no picture to carry over a report of the output folder.
        if (!ReportTypeOf(name)) {
            (void)MoveByCopy(InFolder(sourceFolder, name), InFolder(paths.outputFolder, name), true);
        }
        Trace("DELETE szImage[%i] = " TAVOLEX_TRACE_PTR, static_cast<int>(i), TraceAddress(name.data()));
        Trace("DELETE szImageTmp[%i] = " TAVOLEX_TRACE_PTR, static_cast<int>(i), TraceAddress(from.data()));
    }
    list.names.clear();
}

}  // namespace

bool RenameReport(const ReportPaths& paths, std::string_view currentFileName, std::string newName,
                  platform::UserInteraction& ui) {
    if (!IsBareFileName(currentFileName)) return false;
    const std::size_t dot = currentFileName.rfind('.');
    const std::string_view extension = dot == std::string_view::npos ? std::string_view() : currentFileName.substr(dot);
    CleanReportName(newName, ui);
    // A name left empty would make a report with no name.
    if (newName.empty()) return false;
    const fs::path from = InFolder(paths.outputFolder, currentFileName);
    const fs::path to = InFolder(paths.outputFolder, newName + std::string(extension));
    if (CopyWhole(from, to, false) != CopyResult::kCopied) return false;
    RemoveQuietly(from);
    return true;
}

DeleteOutcome DeleteReport(const ReportPaths& paths, std::string_view fileName, platform::UserInteraction& ui) {
    if (!IsBareFileName(fileName)) return DeleteOutcome::kFailed;
    const fs::path report = InFolder(paths.outputFolder, fileName);
    if (!ui.AskYesNo(platform::PathToCp932(report) + "\n\n" + StringTableText(kIdsConfirmDelete), "Deleting...",
                     platform::kConfirmation)) {
        return DeleteOutcome::kDeclined;
    }
    ReportImageList list;
    (void)CollectReportImages(report, paths, ui, list);
    // Reports of one meeting share its sketch files: a picture another report shows stays.
    const std::optional<std::set<std::string>> inUse = PicturesInUse(paths, report);
    std::error_code ec;
    fs::remove(report, ec);
    const bool deleted = !fs::exists(fs::symlink_status(report, ec));
    if (deleted && inUse) {
        for (const std::string& name : list.names) {
            if (inUse->count(name) != 0 || ReportTypeOf(name)) continue;
            RemoveQuietly(InFolder(paths.outputFolder, name));
        }
    }
    list.names.clear();
    return deleted ? DeleteOutcome::kDeleted : DeleteOutcome::kFailed;
}

TransferOutcome ExportReport(const ReportPaths& paths, std::string_view fileName, const fs::path& destination,
                             platform::UserInteraction& ui) {
    if (!IsBareFileName(fileName) || destination.empty()) return TransferOutcome::kFailed;
    const fs::path report = InFolder(paths.outputFolder, fileName);
    std::error_code ec;
    const fs::path target = fs::is_directory(destination, ec) ? InFolder(destination, fileName) : destination;
    CopyResult copied = CopyWhole(report, target, false);
    if (copied == CopyResult::kTargetExists) {
        if (!ui.AskYesNo(std::string(fileName) + std::string(kReplaceQuestion), kCaption, platform::kConfirmation)) {
            return TransferOutcome::kDeclined;
        }
        copied = CopyWhole(report, target, true);
    }
    if (copied != CopyResult::kCopied) {
        ShowCopyFailure(copied, target, ui);
        return TransferOutcome::kFailed;
    }
    ReportImageList list;
    (void)CollectReportImages(report, paths, ui, list);
    const fs::path targetFolder = target.parent_path();
    for (std::size_t i = 0; i < list.names.size(); ++i) {
        (void)CopyWhole(InFolder(paths.outputFolder, list.names[i]), InFolder(targetFolder, list.names[i]), true);
    }
    ReleaseImageList(list, "DELETE szImage[%i] = " TAVOLEX_TRACE_PTR);
    return TransferOutcome::kDone;
}

TransferOutcome ImportReport(const ReportPaths& paths, const fs::path& droppedFile, platform::UserInteraction& ui) {
    if (droppedFile.empty()) return TransferOutcome::kFailed;
    MovePictures(paths, droppedFile, ui);
    if (!IsHtmlExtension(droppedFile.extension())) {
        ui.ShowMessage(kNotSupported, kCaption, platform::MessageIcon::kInformation);
        return TransferOutcome::kRefused;
    }
    const fs::path target = WithName(paths.outputFolder, droppedFile.filename());
    // A report dropped from the output folder onto its own list is where it belongs already.
    if (SameFile(droppedFile, target)) return TransferOutcome::kDone;
    CopyResult moved = MoveByCopy(droppedFile, target, false);
    if (moved == CopyResult::kTargetExists) {
        if (!ui.AskYesNo(platform::PathToCp932(target) + std::string(kReplaceQuestion), kCaption,
                         platform::kConfirmation)) {
            return TransferOutcome::kDeclined;
        }
        moved = MoveByCopy(droppedFile, target, true);
    }
    if (moved != CopyResult::kCopied) {
        ShowCopyFailure(moved, target, ui);
        return TransferOutcome::kFailed;
    }
    return TransferOutcome::kDone;
}

}  // namespace tavolex
