#pragma once
// The File menu's "エクスポート" submenu: an item per row of the exporter table (the archive, the
// calendar, the contacts, the database, the JSON dump) over the current Palm user's store, or over
// every user of the Palm folder when the user says so (as the command line's --all-users), each
// after a chooser, with a progress window whose Cancel button works while the export runs on the
// one UI thread (messages are pumped between meetings), and a closing message with the counts that
// format reports. The finished archive opens in the viewer.

#include "resources/control_ids.h"
#include "export/every_user_export.h"
#include "export/export_text.h"
#include "ui/choosers.h"

#include <windows.h>

#include <filesystem>
#include <functional>

namespace tavolex {
class AddressBook;
class MeetingDatabase;
class ReportWriter;
struct ReportOptions;
namespace platform {
class UserInteraction;
}
}  // namespace tavolex

namespace tavolex::ui {

inline constexpr int kCmdExportArchive = IDM_EXPORT_ARCHIVE;
inline constexpr int kCmdExportCalendar = kCmdExportArchive + 1;
inline constexpr int kCmdExportContacts = kCmdExportArchive + 2;
inline constexpr int kCmdExportDatabase = kCmdExportArchive + 3;
inline constexpr int kCmdExportDump = kCmdExportArchive + 4;
// The commands are kCmdExportArchive + the exporter's row.
inline constexpr int kCmdExportFirst = kCmdExportArchive;

struct ExportRun {
    HINSTANCE instance = nullptr;
    HWND owner = nullptr;
    const MeetingDatabase* store = nullptr;
    const AddressBook* book = nullptr;
    std::filesystem::path userFolder{};  // the Palm user's folder, from the user's place
    ReportWriter* reports = nullptr;
    std::function<ReportOptions()> reportOptions{};
    Choosers* choosers = nullptr;
    platform::UserInteraction* ui = nullptr;
    std::function<void(const std::filesystem::path&)> openInViewer{};  // the archive's index.html
    // Every user of the Palm folder (UTF-8) and how one is opened for an export of them all. With
    // two or more, the export first asks whether to write them all or the current user alone.
    std::vector<std::string> users{};
    std::string currentUser{};  // UTF-8
    std::function<PartOpened(const std::string& user, UserExportPart& part)> openUser{};
};

// The save-file chooser of the exports: the chosen path, nothing when cancelled.
std::optional<std::filesystem::path> ChooseExportFile(HWND owner, const std::wstring& filter,
                                                      const wchar_t* defaultExtension);

// Fills the File menu's エクスポート submenu (the first popup of the File menu) from the exporter table.
void AddExportMenuItems(HMENU frameMenu);

// Runs the export of a submenu command; false when the command is not one of them.
bool RunExportCommand(const ExportRun& run, int command);

// The progress window alone, for pictures of it: shown at `done` of `total`, left open.
HWND ShowExportProgressWindow(HINSTANCE instance, HWND owner, std::int64_t done, std::int64_t total);

}  // namespace tavolex::ui
