#include "session/folder_users.h"

#include "base/ascii.h"
#include "platform/file_system.h"
#include "session/user_folders.h"
#include "settings/settings_text.h"

#include <algorithm>
#include <cstdint>
#include <system_error>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxUsers = INT16_MAX;
constexpr std::size_t kMaxDirectoryBytes = 259;

bool IsDirectory(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// The folder without a trailing separator. A folder named with "." or ".." in it (from inside a
// user's folder, "../Tavolex") is made absolute first, so that its last parts name the user.
fs::path Named(const fs::path& folder) {
    fs::path normal = folder.lexically_normal();
    if (!normal.has_filename() && normal.has_relative_path()) normal = normal.parent_path();
    if (std::none_of(normal.begin(), normal.end(), [](const fs::path& part) { return part == "." || part == ".."; }))
        return normal;
    std::error_code ec;
    normal = fs::absolute(normal, ec).lexically_normal();
    return normal.has_filename() || !normal.has_relative_path() ? normal : normal.parent_path();
}

// The user of one folder, named by the folder; "", "." and ".." are no one's name.
FolderUsers OneUser(const fs::path& userFolder) {
    const fs::path name = userFolder.filename();
    if (name.empty() || name == "." || name == "..") return {userFolder, {}};
    return {userFolder.parent_path(), {platform::PathToCp932(name)}};
}

class FolderUserLibrary final : public platform::PalmUserLibrary {
public:
    explicit FolderUserLibrary(std::vector<std::string> names) : names_(std::move(names)) {}

    std::int16_t UserCount() override { return static_cast<std::int16_t>(names_.size()); }
    std::uint32_t UserId(std::int32_t index) override {
        return index >= 0 && static_cast<std::size_t>(index) < names_.size() ? static_cast<std::uint32_t>(index) + 1
                                                                             : 0;
    }
    std::string UserName(std::uint32_t userId) override { return Name(userId); }
    std::string UserDirectory(std::uint32_t userId) override { return Name(userId); }

private:
    std::string Name(std::uint32_t userId) const {
        return userId >= 1 && userId <= names_.size() ? names_[userId - 1] : std::string();
    }

    std::vector<std::string> names_;  // CP932, user ID = position + 1
};

}  // namespace

FolderUsers FindFolderUsers(const fs::path& given) {
    const fs::path folder = Named(given);
    if (HoldsDataFiles(folder)) {
        const bool named = EqualsIgnoringAsciiCase(folder.filename().string(), kDataFolderName);
        return OneUser(named && folder.has_parent_path() ? folder.parent_path() : folder);
    }
    // A user's folder holds the data files in its data folder: a folder that only holds the report
    // folders (Documents/Tavolex) is not one.
    if (HoldsDataFiles(FindEntryAnyCase(folder, kDataFolderName))) return OneUser(folder);

    FolderUsers users{folder, {}};
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (IsDirectory(it->path()) && IsDirectory(FindEntryAnyCase(it->path(), kDataFolderName))) {
            users.directories.push_back(platform::PathToCp932(it->path().filename()));
        }
    }
    // Byte order, as memcmp compares.
    std::sort(users.directories.begin(), users.directories.end());
    std::erase_if(users.directories,
                  [](const std::string& name) { return name.empty() || name.size() > kMaxDirectoryBytes; });
    if (users.directories.size() > kMaxUsers) users.directories.resize(kMaxUsers);
    return users;
}

std::unique_ptr<platform::PalmUserLibrary> MakeFolderUserLibrary(std::vector<std::string> directories) {
    return std::make_unique<FolderUserLibrary>(std::move(directories));
}

}  // namespace tavolex
