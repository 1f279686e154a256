#include "session/user_folders.h"

#include "platform/file_system.h"
#include "settings/settings_key.h"
#include "settings/settings_text.h"

#include <string>
#include <system_error>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr char kMeetingFileName[] = "meeting.dat";

}  // namespace

fs::path ChosenFolderReportFolder(std::string_view userName) {
    const fs::path documents = platform::DocumentsFolder();
    return documents.empty() ? fs::path() : documents / kDataFolderName / platform::PathFromCp932(userName);
}

bool ReportFolderIsSet(SettingsKey& userKey) {
    const std::string output = userKey.ReadString("OutputPath", kPathBufferSize);
    return !output.empty() && output != userKey.ReadString("DatabasePath", kPathBufferSize);
}

bool HoldsDataFiles(const fs::path& folder) {
    std::error_code ec;
    return fs::is_regular_file(FindEntryAnyCase(folder, kMeetingFileName), ec);
}

UserFolders FindUserFolders(const fs::path& palmDesktopFolder, std::string_view userDirectory) {
    const std::string directory = platform::WithoutTrailingSeparators(userDirectory);
    UserFolders folders;
    folders.user = palmDesktopFolder / platform::PathFromCp932(directory);
    folders.data = FindEntryAnyCase(folders.user, kDataFolderName);
    // A data folder copied on its own, under a name of the person's choosing, is its own user.
    if (std::error_code ec; !fs::is_directory(folders.data, ec) && HoldsDataFiles(folders.user)) {
        folders.data = folders.user;
    }
    folders.addressBook = FindEntryAnyCase(FindEntryAnyCase(folders.user, "address"), "address.dat");
    return folders;
}

}  // namespace tavolex
