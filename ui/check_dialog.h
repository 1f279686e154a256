#pragma once
// Help → データの確認…: per file of the current user's store, what the command line's `check`
// says (read, missing or damaged, the records read and what was left aside), in a list; and the
// one note after a load that left records aside.

#include <windows.h>

namespace tavolex::ui {

struct Application;

// The dialog over the store of the current user, owned by the frame.
void ShowCheckDialog(Application& app);
// After a load: when a file of the store was not read whole, says once per data folder which
// files were damaged and where to see more.
void NoteDamagedFiles(Application& app);

}  // namespace tavolex::ui
