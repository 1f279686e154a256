#include "ui/palm_folder.h"

#include "platform/file_system.h"
#include "session/folder_users.h"
#include "session/user_change.h"
#include "settings/settings_key.h"
#include "settings/settings_text.h"
#include "setup/conduit_setup.h"
#include "ui/frame_bars.h"
#include "ui/frame_commands.h"
#include "ui/window_services.h"

#include <optional>
#include <string>

namespace tavolex::ui {
namespace {

namespace fs = std::filesystem;

void KeepFolder(Application& app, const fs::path& folder) {
    app.settings->appKey.WriteString(kChosenPalmFolderValue, SettingsTextFromPath(folder));
}

void TellNoUser(Application& app, const fs::path& folder) {
    app.ui->ShowMessage(Narrow(LoadText(app.instance, kIdsNoPalmUser)) + platform::PathToCp932(folder), "Tavolex",
                        platform::MessageIcon::kInformation);
}

}  // namespace

void FindUsersWithoutPalmDesktop(Application& app) {
    if (app.users && app.users->UserCount() > 0) return;
    fs::path folder = PathFromSettingsText(app.settings->appKey.ReadString(kChosenPalmFolderValue, kPathBufferSize));
    FolderUsers found = folder.empty() ? FolderUsers{} : FindFolderUsers(folder);
    if (found.directories.empty()) {
        app.ui->ShowMessage(Narrow(LoadText(app.instance, kIdsNoPalmDesktop)), "Tavolex",
                            platform::MessageIcon::kInformation);
        const std::optional<fs::path> chosen =
            app.choosers.chooseFolder(nullptr, LoadText(app.instance, kIdsChoosePalmFolder));
        if (!chosen) {
            app.ui->ShowMessage(kFailedToOpenPalmDesktop, "Error", platform::MessageIcon::kNone);
            return;
        }
        folder = *chosen;
        found = FindFolderUsers(folder);
        if (found.directories.empty()) {
            TellNoUser(app, folder);
            return;
        }
    }
    KeepFolder(app, folder);
    app.users = CreateFolderUserList(std::move(found), *app.settings);
}

void SelectStartupFolderUser(Application& app) {
    if (!app.users || !app.users->FromFolder() || app.userBox == nullptr) return;
    const int selection = static_cast<int>(SendMessageW(app.userBox, CB_GETCURSEL, 0, 0));
    if (selection >= 0) ChangeUser(selection, *app.users, *app.settings, *app.env, UserChangeCallbacks{});
}

bool OpenPalmFolder(Application& app, const fs::path& folder) {
    FolderUsers found = FindFolderUsers(folder);
    if (found.directories.empty()) {
        TellNoUser(app, folder);
        return false;
    }
    KeepFolder(app, folder);
    if (app.users) app.users->FreeEntries();
    app.users = CreateFolderUserList(std::move(found), *app.settings);
    FillUserBox(app);
    const int selection = static_cast<int>(SendMessageW(app.userBox, CB_GETCURSEL, 0, 0));
    StopFilterBuild(app);
    ChangeUser(selection, *app.users, *app.settings, *app.env, *app.addressBook, *app.meetings,
               MakeUserChangeCallbacks(app));
    return true;
}

void ChoosePalmFolder(Application& app) {
    if (const std::optional<fs::path> chosen =
            app.choosers.chooseFolder(app.frame, LoadText(app.instance, kIdsChoosePalmFolder)))
        OpenPalmFolder(app, *chosen);
}

void OpenDroppedPalmFolder(Application& app, HDROP drop) {
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring folder(static_cast<std::size_t>(length) + 1, L'\0');
    folder.resize(DragQueryFileW(drop, 0, folder.data(), length + 1));
    DragFinish(drop);
    if (!folder.empty()) OpenPalmFolder(app, fs::path(folder));
}

}  // namespace tavolex::ui
