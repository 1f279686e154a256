#pragma once
// The to-do list: a window over the frame listing the to-dos of every meeting (due date,
// priority, done, text, meeting), open ones first, then by due date. A click on a column header
// sorts by it (again: the other way); a double-click selects the to-do's meeting in the meeting
// list and the to-do in the item list, and shows it in the quick view.

#include <windows.h>

namespace tavolex::ui {

struct Application;

// The window's class and the list's control id, for the tests.
inline constexpr wchar_t kToDoListClass[] = L"TavolexToDoList";
inline constexpr int kToDoListControlId = 3100;

// Opens the window, or brings it forward filled anew when it is open. The window, or null when
// it can't be made.
HWND ShowToDoList(Application& app);

}  // namespace tavolex::ui
