// Palm Desktop on POSIX: no HotSync Manager and no user-data library. The Palm users are the
// folders of the Palm Desktop folder that hold a Tavolex data folder.
#include "platform/platform.h"

#include "base/ascii.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

namespace tavolex::platform {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxUsers = INT16_MAX;
constexpr std::size_t kMaxNameBytes = 8191;
constexpr std::size_t kMaxDirectoryBytes = 259;

bool IsDataFolderName(const std::string& name) {
    constexpr std::string_view kData = "tavolex";
    if (name.size() != kData.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (LowerAscii(name[i]) != kData[i]) return false;
    }
    return true;
}

bool HoldsDataFolder(const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (IsDataFolderName(it->path().filename().string()) && it->is_directory(ec)) return true;
    }
    return false;
}

class FolderUserLibrary final : public PalmUserLibrary {
public:
    explicit FolderUserLibrary(const fs::path& palmFolder) {
        std::vector<std::string> folders;
        std::error_code ec;
        for (fs::directory_iterator it(palmFolder, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code typeError;
            if (!it->is_directory(typeError) || !HoldsDataFolder(it->path())) continue;
            folders.push_back(it->path().filename().string());
        }
        // Byte order, as memcmp compares.
        std::sort(folders.begin(), folders.end());
        for (const std::string& folder : folders) {
            std::string name = Utf8ToCp932(folder);
            if (name.empty() || name.size() > kMaxDirectoryBytes || name.size() > kMaxNameBytes) continue;
            names_.push_back(std::move(name));
            if (names_.size() == kMaxUsers) break;
        }
    }

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

class PosixPalmDesktop final : public PalmDesktop {
public:
    std::unique_ptr<PalmUserLibrary> LoadUserLibrary(const fs::path&, const fs::path& palmDesktopFolder) override {
        return std::make_unique<FolderUserLibrary>(palmDesktopFolder);
    }
    bool InstallsConduits() const override { return false; }
    std::unique_ptr<ConduitInstaller> LoadConduitInstaller(const fs::path&) override { return nullptr; }
};

}  // namespace

PalmDesktop& SystemPalmDesktop() {
    static PosixPalmDesktop desktop;
    return desktop;
}

}  // namespace tavolex::platform
