#include "ui/palm_folder.h"

#include "platform/file_system.h"
#include "resources/string_ids.h"
#include "session/folder_users.h"
#include "session/user_place.h"
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
    app.ui->ShowMessage(Narrow(LoadText(app.instance, IDS_NO_PALM_USER)) + platform::PathToCp932(folder), "Tavolex",
                        platform::MessageIcon::kInformation);
}

}  // namespace

void UsePlace(Application& app) {
    if (!app.place.palmFolder.empty()) app.settings->palmDesktopFolder = app.place.palmFolder;
    if (app.users) app.users->FreeEntries();
    app.users = MakeUserList(app.place);
}

void FindUsersWithoutPalmDesktop(Application& app) {
    if (!app.place.users.empty()) return;
    // A folder chosen at an earlier start that holds no user now is named; else Palm Desktop is missing.
    if (app.place.palmFolderFrom == PlaceSource::kChosenFolder) {
        TellNoUser(app, app.place.palmFolder);
    } else {
        app.ui->ShowMessage(Narrow(LoadText(app.instance, IDS_NO_PALM_DESKTOP)), "Tavolex",
                            platform::MessageIcon::kInformation);
    }
    // The chooser is offered again after a folder without a Palm user, until one is chosen or the
    // person cancels.
    for (;;) {
        const std::optional<fs::path> chosen =
            app.choosers.chooseFolder(nullptr, LoadText(app.instance, IDS_CHOOSE_PALM_FOLDER));
        if (!chosen) {
            app.ui->ShowMessage(kFailedToOpenPalmDesktop, "Error", platform::MessageIcon::kNone);
            return;
        }
        UserPlace place = FindUserPlace({.palmFolder = *chosen}, *app.settings, platform::SystemPalmDesktop());
        if (!place.users.empty()) {
            KeepFolder(app, *chosen);
            app.place = std::move(place);
            return;
        }
        TellNoUser(app, *chosen);
    }
}

void SelectStartupFolderUser(Application& app) {
    if (!app.users || app.userBox == nullptr) return;
    const int selection = static_cast<int>(SendMessageW(app.userBox, CB_GETCURSEL, 0, 0));
    if (selection < 0) return;
    if (app.users->FromFolder()) {
        ChangeUser(selection, *app.users, app.place, *app.settings, *app.env, UserChangeCallbacks{});
    } else if (const PalmUserEntry* entry = app.users->Entry(selection)) {
        // Palm Desktop's users keep the folders start-up read; the place follows the box.
        SelectPlaceUser(app.place, IndexOfUser(app.place, entry->name), PlaceSource::kSetting, *app.settings);
    }
}

bool OpenPalmFolder(Application& app, const fs::path& folder) {
    UserPlace place = FindUserPlace({.palmFolder = folder}, *app.settings, platform::SystemPalmDesktop());
    if (place.users.empty()) {
        TellNoUser(app, folder);
        return false;
    }
    KeepFolder(app, folder);
    app.place = std::move(place);
    UsePlace(app);
    FillUserBox(app);
    const int selection = static_cast<int>(SendMessageW(app.userBox, CB_GETCURSEL, 0, 0));
    StopFilterBuild(app);
    ChangeUser(selection, *app.users, app.place, *app.settings, *app.env, *app.addressBook, *app.meetings,
               MakeUserChangeCallbacks(app));
    return true;
}

void ChoosePalmFolder(Application& app) {
    // A folder without a Palm user is said so, and the chooser offered again.
    for (;;) {
        const std::optional<fs::path> chosen =
            app.choosers.chooseFolder(app.frame, LoadText(app.instance, IDS_CHOOSE_PALM_FOLDER));
        if (!chosen || OpenPalmFolder(app, *chosen)) return;
    }
}

void OpenDroppedPalmFolder(Application& app, HDROP drop) {
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring folder(static_cast<std::size_t>(length) + 1, L'\0');
    folder.resize(DragQueryFileW(drop, 0, folder.data(), length + 1));
    DragFinish(drop);
    if (!folder.empty()) OpenPalmFolder(app, fs::path(folder));
}

}  // namespace tavolex::ui
