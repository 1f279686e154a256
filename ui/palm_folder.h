#pragma once
// A Palm folder the desktop program reads its users from, where Palm Desktop lists none or when
// the person opens one: a copied Palm Desktop folder, one user's folder or a data folder, chosen at
// start-up, from File → Palm フォルダを開く… or dropped on the meeting pane. The folder is only
// read; the last one opened is kept for the next start.

#include "ui/application.h"

#include <shellapi.h>

#include <filesystem>

namespace tavolex::ui {

// The string table's texts.
inline constexpr int kIdsNoPalmDesktop = 3401;     // the one sentence before the start-up chooser
inline constexpr int kIdsChoosePalmFolder = 3403;  // the prompt of the Palm folder chooser
inline constexpr int kIdsNoPalmUser = 3402;        // followed by the folder's path

// Start-up, before the frame is made: where Palm Desktop lists no user, the users of the folder
// opened before, else of the folder the person chooses now after one sentence of explanation.
// Palm Desktop's own message is shown only when that chooser is cancelled.
void FindUsersWithoutPalmDesktop(Application& app);

// Start-up, once the user box is filled: the current user of a folder gets its folders.
void SelectStartupFolderUser(Application& app);

// The folder's users in the user box, the last one used (else the first) loaded, the folder kept
// for the next start. False, after a message naming the folder, when it holds no Palm user.
bool OpenPalmFolder(Application& app, const std::filesystem::path& folder);

// File → Palm フォルダを開く…
void ChoosePalmFolder(Application& app);

// The first folder dropped on the meeting pane.
void OpenDroppedPalmFolder(Application& app, HDROP drop);

}  // namespace tavolex::ui
