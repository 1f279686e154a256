#pragma once
// A Palm folder the desktop program reads its users from, where Palm Desktop lists none or when
// the person opens one: a copied Palm Desktop folder, one user's folder or a data folder, chosen at
// start-up, from File → Palm フォルダを開く… or dropped on the meeting pane. The folder is only
// read; the last one opened is kept for the next start.

#include "ui/application.h"

#include <shellapi.h>

#include <filesystem>

namespace tavolex::ui {

// The place's users become the user list (the user box's) and its Palm folder the settings'.
void UsePlace(Application& app);

// Start-up, before the frame is made: where the place holds no user (Palm Desktop lists none and
// no folder opened before holds one), the folder the person chooses now after one sentence of
// explanation (Palm Desktop is missing, or the folder opened before holds no Palm user), offered
// again after a folder without a user. Palm Desktop's own message is shown only when that chooser
// is cancelled.
void FindUsersWithoutPalmDesktop(Application& app);

// Start-up, once the user box is filled: the place's current user is the box's, and a folder's
// user gets its folders.
void SelectStartupFolderUser(Application& app);

// The folder's users in the user box, the last one used (else the first) loaded, the folder kept
// for the next start. False, after a message naming the folder, when it holds no Palm user.
bool OpenPalmFolder(Application& app, const std::filesystem::path& folder);

// File → Palm フォルダを開く…, offered again after a folder without a Palm user.
void ChoosePalmFolder(Application& app);

// The first folder dropped on the meeting pane.
void OpenDroppedPalmFolder(Application& app, HDROP drop);

}  // namespace tavolex::ui
