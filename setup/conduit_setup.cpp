#include "setup/conduit_setup.h"

#include "settings/settings_key.h"
#include "settings/settings_text.h"
#include "settings/program_strings.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using platform::MessageIcon;

constexpr std::size_t kMaxComponents = 1000;
constexpr std::size_t kMaxComponentNameBytes = 259;
constexpr char kConduitFile[] = "tavolexconduit.dll";
constexpr char kInstallCaption[] = "Tavolex Install";
constexpr char kNotAvailableText[] =
    "HotSync conduits can't be registered on this system. The Tavolex conduit is registered by the "
    "Windows program, on the computer where Palm Desktop and HotSync Manager are installed.";
constexpr char kUnableToRegisterText[] =
    "Unable to register the Tavolex Meeting conduit.  Please verify that the HotSync manager is running.";
constexpr char kPalmDesktopMissingCaption[] = "Install Error";

std::string PalmDesktopMissingText() {
    return std::string(
               "A version of Palm Desktop v3.0.1+ software MUST be installed in order to upload programs to "
               "your PDA.\n\nPlease install the Palm Desktop software now (") +
           kPalmDesktopDownloadAddress + ") and then run Setup.exe again.";
}

// Replaces the conduit library of the HotSync folder with the install folder's copy and makes
// it writable.
bool CopyConduitLibrary(std::string_view installFolder, std::string_view hotSyncFolder) {
    const fs::path source = PathFromSettingsText(std::string(installFolder) + kConduitFile);
    const fs::path target = PathFromSettingsText(std::string(hotSyncFolder) + kConduitFile);
    std::error_code ec;
    // A read-only copy left from an earlier install could be neither deleted nor overwritten.
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove(target, ec);
    if (!fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec) || ec) return false;
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
    return true;
}

std::int32_t InstallWith(platform::ConduitInstaller& installer, std::string_view installFolder,
                         std::string hotSyncFolder, platform::UserInteraction& ui) {
    installer.UninstallConduit(hotSyncFolder, kCreatorText);
    hotSyncFolder.pop_back();  // InstallConduit takes the folder without its separator
    platform::ConduitInstallArgs args;
    args.installFolder = std::string(installFolder);
    args.creator = kCreatorText;
    args.hotSyncFolder = hotSyncFolder;
    args.conduitFile = "TavolexConduit.dll";
    args.conduitName = "Tavolex";
    args.dataFile = "Tavolex.dat";
    args.directory = kCreatorText;
    args.remoteName = "Tavolex";
    args.priority = 2;
    args.company = "Brenmark Technologies Inc.";
    const std::int32_t result = installer.InstallConduit(args);
    if (result != 0) ui.ShowMessage(kUnableToRegisterText, kInstallCaption, MessageIcon::kInformation);
    installer.DecodePCIErrorCode(result);
    return result;
}

// Marks one component key of Palm Desktop as ours when its creator is.
void IntegrateComponent(platform::SettingsBackend& settings, platform::UserInteraction& ui, const std::string& keyPath,
                        std::string_view installFolder) {
    std::unique_ptr<platform::SettingsKeyHandle> key;
    if (settings.OpenKey(keyPath, platform::KeyAccess::kWriteExisting, key) != platform::kSettingsOk) {
        ui.ShowMessage(keyPath, "Failed To Open", MessageIcon::kNone);
        return;
    }
    std::uint32_t creator = 0;
    if (key->ReadDword("Creator", creator) != platform::kSettingsOk || creator != kCreatorId) return;
    key->WriteDword("Integrate", 1);
    key->WriteString("Name", "Tavolex");
    key->WriteString("Module", std::string(installFolder) + "tavolex.exe");
}

}  // namespace

std::int32_t RegisterConduit(SettingsKey& appKey, platform::UserInteraction& ui, platform::PalmDesktop& palmDesktop) {
    if (!palmDesktop.InstallsConduits()) {
        ui.ShowMessage(kNotAvailableText, kInstallCaption, MessageIcon::kInformation);
        return -1;
    }
    const std::string hotSyncFolder = appKey.ReadHotSyncFolder(kPalmFolderBufferSize);
    if (hotSyncFolder.empty()) {
        ui.ShowMessage(PalmDesktopMissingText(), kPalmDesktopMissingCaption, MessageIcon::kInformation);
        return -1;
    }
    const std::string installFolder = appKey.ReadString("InstallPath", kPathBufferSize);
    if (!CopyConduitLibrary(installFolder, hotSyncFolder)) {
        ui.ShowMessage(kUnableToRegisterText, kInstallCaption, MessageIcon::kInformation);
        return -1;
    }
    const std::unique_ptr<platform::ConduitInstaller> installer =
        palmDesktop.LoadConduitInstaller(PathFromSettingsText(installFolder + "condinst.dll"));
    if (!installer) {
        ui.ShowMessage(kUnableToRegisterText, kInstallCaption, MessageIcon::kInformation);
        return -1;
    }
    return InstallWith(*installer, installFolder, hotSyncFolder, ui);
}

void IntegrateWithPalmDesktop(platform::SettingsBackend& settings, platform::UserInteraction& ui,
                              platform::PalmDesktop& palmDesktop, std::string_view installFolder,
                              bool quietWhenMissing) {
    if (!palmDesktop.InstallsConduits()) return;
    std::vector<std::string> components;
    {
        std::unique_ptr<platform::SettingsKeyHandle> desktop;
        if (settings.OpenKey(kPalmDesktopKeyPath, platform::KeyAccess::kReadExisting, desktop) !=
            platform::kSettingsOk) {
            if (!quietWhenMissing) ui.ShowMessage(kFailedToOpenPalmDesktop, "Error", MessageIcon::kNone);
            return;
        }
        desktop->ListSubkeys(kMaxComponents, components);
    }
    for (const std::string& name : components) {
        if (name.size() > kMaxComponentNameBytes) continue;
        IntegrateComponent(settings, ui, std::string(kPalmDesktopKeyPath) + "\\" + name, installFolder);
    }
}

}  // namespace tavolex
