#pragma once
// Palm Desktop for tests: a user list served from memory and a conduit installer that records
// every call with its arguments, in order.

#include "platform/platform.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace tavolex::test {

struct FakePalmUser {
    std::uint32_t id = 0;
    std::string name;
    std::string directory;
};

class FakePalmUserLibrary final : public platform::PalmUserLibrary {
public:
    explicit FakePalmUserLibrary(std::vector<FakePalmUser> users) : users_(std::move(users)) {}
    std::int16_t UserCount() override { return static_cast<std::int16_t>(users_.size()); }
    std::uint32_t UserId(std::int32_t index) override {
        return index >= 0 && static_cast<std::size_t>(index) < users_.size() ? users_[static_cast<std::size_t>(index)].id : 0;
    }
    std::string UserName(std::uint32_t id) override { return Find(id).name; }
    std::string UserDirectory(std::uint32_t id) override { return Find(id).directory; }

private:
    const FakePalmUser& Find(std::uint32_t id) const {
        static const FakePalmUser kNone;
        const auto it = std::find_if(users_.begin(), users_.end(), [id](const FakePalmUser& u) { return u.id == id; });
        return it == users_.end() ? kNone : *it;
    }
    std::vector<FakePalmUser> users_;
};

class FakePalmDesktop final : public platform::PalmDesktop {
public:
    class Installer final : public platform::ConduitInstaller {
    public:
        explicit Installer(FakePalmDesktop& owner) : owner_(owner) {}
        std::int32_t UninstallConduit(std::string_view folder, std::string_view creator) override {
            owner_.calls.push_back("UninstallConduit(" + std::string(folder) + "|" + std::string(creator) + ")");
            return 0;
        }
        std::int32_t InstallConduit(const platform::ConduitInstallArgs& a) override {
            owner_.calls.push_back("InstallConduit(" + a.installFolder + "|" + a.creator + "|" + a.hotSyncFolder + "|" + a.conduitFile +
                                   "|" + a.conduitName + "|" + a.dataFile + "|" + a.directory + "|" + a.remoteName + "|" +
                                   std::to_string(a.priority) + "|" + a.company + ")");
            return owner_.installResult;
        }
        std::int32_t DecodePCIErrorCode(std::int32_t code) override {
            owner_.calls.push_back("DecodePCIErrorCode(" + std::to_string(code) + ")");
            return 0;
        }

    private:
        FakePalmDesktop& owner_;
    };

    std::unique_ptr<platform::PalmUserLibrary> LoadUserLibrary(const std::filesystem::path& hotSyncFolder,
                                                               const std::filesystem::path& palmFolder) override {
        calls.push_back("LoadUserLibrary(" + hotSyncFolder.string() + "|" + palmFolder.string() + ")");
        if (!hasUserLibrary) return nullptr;
        return std::make_unique<FakePalmUserLibrary>(users);
    }
    bool InstallsConduits() const override { return installsConduits; }
    std::unique_ptr<platform::ConduitInstaller> LoadConduitInstaller(const std::filesystem::path& library) override {
        calls.push_back("LoadConduitInstaller(" + library.string() + ")");
        if (!hasInstaller) return nullptr;
        return std::make_unique<Installer>(*this);
    }

    std::vector<FakePalmUser> users;
    bool hasUserLibrary = true;
    bool installsConduits = true;
    bool hasInstaller = true;
    std::int32_t installResult = 0;
    std::vector<std::string> calls;
};

}  // namespace tavolex::test
