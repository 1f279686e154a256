// screenshot_driver.exe: drives a running desktop program from outside for scripts/screenshot.
//   wait                  exit 0 when the frame window is shown
//   command ID            a menu command to the frame
//   post ID               the same without waiting for it (a command that opens a dialog)
//   close-dialog          cancels the dialog the program shows
//   tab INDEX             chooses a tab of the tab control of the dialog the program shows
//   select-meeting ROW    a mouse click on a row of the meeting list
//   select-item ROW       a mouse click on a row of the item list
//   select-report ROW     a mouse click on a row of the report list
//   drop ID               drops down the list ID of the dialog the program shows
//   user INDEX            chooses an entry of the Palm user box
//   save-as PATH          answers the save-file chooser the program shows with PATH
//   export-progress SEC   shows the exports' progress window (at 5 of 12) over the frame for SEC
//                         seconds, from this process, for its picture
//   export-menu SEC       opens File → エクスポート with the keyboard, and closes it after SEC seconds
//   enter                 Enter on the dialog or message box shown, also before the frame exists
//   choose-folder PATH    selects PATH in the folder chooser shown and presses its OK
//   todo-sort COLUMN      a click on a column header of the to-do list window
//   todo-open ROW         a double-click on a row of the to-do list window
//   todo-close            closes the to-do list window
// and, for scripts/bench-desktop, verbs that print the milliseconds a step took the program, from
// the step's start until the program has handled it and painted the frame again:
//   time-start PROGRAM [LIMIT]  starts PROGRAM and waits for its frame showing a filled meeting
//                         list, at most LIMIT seconds (600): ">LIMIT" in milliseconds past it
//   time-find [TEXT]      types TEXT into the find box (none: clears it)
//   time-sort COLUMN      a click on a column header of the meeting list
//   time-select ROW       a click on a row of the meeting list, until the quick view shows it
//   time-refresh          表示 → 最新の情報に更新
//   time-user INDEX       chooses an entry of the Palm user box
//   time-window ID        a menu command that opens a window or dialog, until it is shown
#include "resources/control_ids.h"
#include "ui/export_runner.h"
#include "ui/todo_list_window.h"

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>
#include <cstdlib>

namespace {

HWND Frame() { return FindWindowW(L"TAVOLEXMEETING", nullptr); }

// The nth list of the pane from the top (the meeting list lies above the item list).
HWND List(int paneId, int nth) {
    HWND pane = GetDlgItem(Frame(), paneId);
    HWND first = FindWindowExW(pane, nullptr, WC_LISTVIEWW, nullptr);
    HWND second = first != nullptr ? FindWindowExW(pane, first, WC_LISTVIEWW, nullptr) : nullptr;
    if (second == nullptr) return nth == 0 ? first : nullptr;
    RECT a{};
    RECT b{};
    GetWindowRect(first, &a);
    GetWindowRect(second, &b);
    const bool firstOnTop = a.top <= b.top;
    return (nth == 0) == firstOnTop ? first : second;
}

// A copy of value in memory of the program that owns window, for messages that carry a pointer.
template <typename T>
class RemoteValue {
public:
    RemoteValue(HWND window, const T& value) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_ == nullptr) return;
        address_ = VirtualAllocEx(process_, nullptr, sizeof(T), MEM_COMMIT, PAGE_READWRITE);
        SIZE_T done = 0;
        if (address_ != nullptr && !WriteProcessMemory(process_, address_, &value, sizeof(T), &done))
            address_ = nullptr;
    }
    ~RemoteValue() {
        if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_ != nullptr) CloseHandle(process_);
    }
    [[nodiscard]] LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    bool Read(T& value) const {
        SIZE_T done = 0;
        return address_ != nullptr && ReadProcessMemory(process_, address_, &value, sizeof(T), &done);
    }
    explicit operator bool() const { return address_ != nullptr; }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

// Selects the row and sends the pane the click notification the list sends for a mouse click.
int ClickRow(HWND list, int row, bool twice = false) {
    if (list == nullptr) {
        fprintf(stderr, "no list\n");
        return 1;
    }
    // The list may still be filling after the previous click.
    for (int k = 0; k < 50 && SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) <= row; ++k) Sleep(100);
    if (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) <= row) {
        fprintf(stderr, "no row %d\n", row);
        return 1;
    }
    // The row's place, asked of the list through memory of its program; then a mouse click
    // posted to the list itself, which reports it to its pane as for a real click.
    RemoteValue<RECT> remoteRect(list, RECT{LVIR_LABEL, 0, 0, 0});
    RECT rect{};
    if (!remoteRect || !SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), remoteRect.Address()) ||
        !remoteRect.Read(rect)) {
        fprintf(stderr, "no rectangle for row %d\n", row);
        return 1;
    }
    const LPARAM point = MAKELPARAM(rect.left + 4, (rect.top + rect.bottom) / 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(list, WM_LBUTTONUP, 0, point);
    if (twice) {
        PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
        PostMessageW(list, WM_LBUTTONUP, 0, point);
    }
    Sleep(300);
    return 0;
}

HWND ToDoList() {
    HWND window = FindWindowW(tavolex::ui::kToDoListClass, nullptr);
    return window != nullptr ? GetDlgItem(window, tavolex::ui::kToDoListControlId) : nullptr;
}

// The header of the list and the middle of its column, its place asked as a row's is; false
// when the list or the column is not there.
bool HeaderPoint(HWND list, int column, HWND& header, LPARAM& point) {
    header = list != nullptr ? reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)) : nullptr;
    RemoteValue<RECT> remoteRect(header, RECT{});
    RECT rect{};
    if (header == nullptr || !remoteRect ||
        !SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), remoteRect.Address()) ||
        !remoteRect.Read(rect))
        return false;
    point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    return true;
}

// A click in the middle of a column's header.
int ClickHeader(HWND list, int column) {
    HWND header = nullptr;
    LPARAM point = 0;
    if (!HeaderPoint(list, column, header, point)) return 1;
    PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(header, WM_LBUTTONUP, 0, point);
    Sleep(300);
    return 0;
}

int PressEnter() {
    // Enter as the keyboard gives it to the control that has the focus in the dialog.
    HWND dialog = FindWindowW(L"#32770", nullptr);
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (dialog == nullptr || !GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread)) return 1;
    HWND focus = thread.hwndFocus != nullptr ? thread.hwndFocus : dialog;
    PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(focus, WM_KEYUP, VK_RETURN, 0);
    return 0;
}

// The shell's folder chooser takes a path by BFFM_SETSELECTIONW; the text must be in its program.
int ChooseFolder(const wchar_t* path) {
    HWND dialog = FindWindowW(L"#32770", nullptr);
    struct PathText {
        wchar_t text[MAX_PATH];
    } folder{};
    wcsncpy(folder.text, path, MAX_PATH - 1);
    RemoteValue<PathText> remote(dialog, folder);
    if (dialog == nullptr || !remote) return 1;
    SendMessageW(dialog, WM_USER + 103, TRUE, remote.Address());
    Sleep(500);
    return PostMessageW(dialog, WM_COMMAND, IDOK, 0) ? 0 : 1;
}

int ClickTab(int number) {
    HWND dialog = FindWindowW(L"#32770", nullptr);
    HWND tab = dialog != nullptr ? FindWindowExW(dialog, nullptr, WC_TABCONTROLW, nullptr) : nullptr;
    if (tab == nullptr) return 1;
    // A mouse click on the tab, which the tab control reports to the dialog as for a real one.
    RemoteValue<RECT> remoteRect(tab, RECT{});
    RECT rect{};
    if (!remoteRect || !SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(number), remoteRect.Address()) ||
        !remoteRect.Read(rect)) {
        return 1;
    }
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(tab, WM_LBUTTONUP, 0, point);
    Sleep(300);
    return 0;
}

int ShowExportProgress(HWND frame, int number) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    HWND window = tavolex::ui::ShowExportProgressWindow(GetModuleHandleW(nullptr), frame, 5, 12);
    if (window == nullptr) return 1;
    const DWORD end = GetTickCount() + static_cast<DWORD>(number > 0 ? number : 5) * 1000;
    MSG message;
    while (GetTickCount() < end) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(50);
    }
    DestroyWindow(window);
    return 0;
}

int OpenExportMenu(HWND frame, int number) {
    // The keys reach the menu's own loop through the frame's queue: Alt+F (the first item
    // chosen), then down to the submenu (the third item) and right into it.
    const auto key = [frame](UINT virtualKey) {
        PostMessageW(frame, WM_KEYDOWN, virtualKey, 0);
        PostMessageW(frame, WM_KEYUP, virtualKey, 0);
        Sleep(300);
    };
    PostMessageW(frame, WM_SYSCOMMAND, SC_KEYMENU, L'f');
    Sleep(500);
    for (const UINT k : {VK_DOWN, VK_DOWN, VK_RIGHT}) key(k);
    Sleep(static_cast<DWORD>(number > 0 ? number : 5) * 1000);
    for (const UINT k : {VK_ESCAPE, VK_ESCAPE, VK_ESCAPE}) key(k);
    return 0;
}

int ChangeUser(HWND frame, int number) {
    HWND rebar = FindWindowExW(frame, nullptr, REBARCLASSNAMEW, nullptr);
    HWND box = GetDlgItem(rebar, 501);
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(number), 0);
    SendMessageW(frame, WM_COMMAND, MAKEWPARAM(501, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    return 0;
}

using Clock = std::chrono::steady_clock;

// Paints whatever the step left to paint, and prints the milliseconds since start.
int Elapsed(HWND frame, Clock::time_point start) {
    RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const auto ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    printf("%.1f\n", ms);
    return 0;
}

int TimeStart(const wchar_t* program, int limitSeconds) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = std::wstring(L"\"") + program + L"\"";
    const Clock::time_point start = Clock::now();
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (;;) {
        HWND frame = Frame();
        HWND list = frame != nullptr ? List(100, 0) : nullptr;
        if (list != nullptr && IsWindowVisible(frame) && SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0)
            return Elapsed(frame, start);
        if (Clock::now() - start > std::chrono::seconds(limitSeconds > 0 ? limitSeconds : 600)) {
            printf(">%d000\n", limitSeconds > 0 ? limitSeconds : 600);
            return 0;
        }
        Sleep(5);
    }
}

// The window's text, asked of its thread: the answer comes once the thread is free.
std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

int TimeSelect(HWND frame, int row) {
    HWND list = List(100, 0);
    HWND quickView = FindWindowExW(GetDlgItem(frame, 101), nullptr, nullptr, nullptr);
    while (quickView != nullptr && GetDlgCtrlID(quickView) == 3000) quickView = GetWindow(quickView, GW_HWNDNEXT);
    RemoteValue<RECT> remoteRect(list, RECT{LVIR_LABEL, 0, 0, 0});
    RECT rect{};
    if (list == nullptr || quickView == nullptr || !remoteRect ||
        !SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), remoteRect.Address()) || !remoteRect.Read(rect))
        return 1;
    const std::wstring before = TextOf(quickView);
    const LPARAM point = MAKELPARAM(rect.left + 4, (rect.top + rect.bottom) / 2);
    const Clock::time_point start = Clock::now();
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(list, WM_LBUTTONUP, 0, point);
    while (TextOf(quickView) == before) {
        if (Clock::now() - start > std::chrono::seconds(30)) return 1;
    }
    return Elapsed(frame, start);
}

int TimeSort(HWND frame, int column) {
    HWND header = nullptr;
    LPARAM point = 0;
    if (!HeaderPoint(List(100, 0), column, header, point)) return 1;
    const Clock::time_point start = Clock::now();
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(header, WM_LBUTTONUP, 0, point);
    return Elapsed(frame, start);
}

int TimeWindow(HWND frame, int command) {
    const Clock::time_point start = Clock::now();
    PostMessageW(frame, WM_COMMAND, static_cast<WPARAM>(command), 0);
    for (;;) {
        HWND shown = GetWindow(frame, GW_ENABLEDPOPUP);
        if (shown == nullptr) shown = FindWindowW(L"#32770", nullptr);
        if (shown == nullptr) shown = FindWindowW(tavolex::ui::kToDoListClass, nullptr);
        if (shown != nullptr && IsWindowVisible(shown)) {
            RedrawWindow(shown, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            return Elapsed(frame, start);
        }
        if (Clock::now() - start > std::chrono::seconds(60)) return 1;
        Sleep(1);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring_view verb = argv[1];
    const int number = argc > 2 ? _wtoi(argv[2]) : 0;
    if (verb == L"enter") return PressEnter();
    if (verb == L"choose-folder" && argc > 2) return ChooseFolder(argv[2]);
    if (verb == L"time-start" && argc > 2) return TimeStart(argv[2], argc > 3 ? _wtoi(argv[3]) : 0);
    HWND frame = Frame();
    if (frame == nullptr) return 1;
    if (verb == L"wait") return IsWindowVisible(frame) ? 0 : 1;
    if (verb == L"command") {
        SendMessageW(frame, WM_COMMAND, static_cast<WPARAM>(number), 0);
        return 0;
    }
    if (verb == L"post") return PostMessageW(frame, WM_COMMAND, static_cast<WPARAM>(number), 0) ? 0 : 1;
    if (verb == L"answer") {  // a message box's button: 6 yes, 7 no, 2 cancel
        HWND box = FindWindowW(L"#32770", nullptr);
        return box != nullptr && PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(number), 0) ? 0 : 1;
    }
    if (verb == L"close-dialog") {
        HWND dialog = FindWindowW(L"#32770", nullptr);
        return dialog != nullptr && PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0) ? 0 : 1;
    }
    if (verb == L"tab") return ClickTab(number);
    if (verb == L"select-meeting") return ClickRow(List(100, 0), number);
    if (verb == L"select-item") return ClickRow(List(100, 1), number);
    if (verb == L"select-report") return ClickRow(List(101, 0), number);
    if (verb == L"drop") {
        HWND dialog = FindWindowW(L"#32770", nullptr);
        HWND list = dialog != nullptr ? GetDlgItem(dialog, number) : nullptr;
        return list != nullptr && PostMessageW(list, CB_SHOWDROPDOWN, TRUE, 0) ? 0 : 1;
    }
    if (verb == L"save-as" && argc > 2) {
        HWND dialog = FindWindowW(L"#32770", nullptr);
        if (dialog == nullptr) return 1;
        for (const int id : {1148, 1152}) SetDlgItemTextW(dialog, id, argv[2]);  // cmb13, edt1
        return PostMessageW(dialog, WM_COMMAND, IDOK, 0) ? 0 : 1;
    }
    if (verb == L"export-progress") return ShowExportProgress(frame, number);
    if (verb == L"export-menu") return OpenExportMenu(frame, number);
    if (verb == L"user") return ChangeUser(frame, number);
    if (verb == L"todo-sort") return ClickHeader(ToDoList(), number);
    if (verb == L"todo-open") return ClickRow(ToDoList(), number, true);
    if (verb == L"todo-close") return PostMessageW(GetParent(ToDoList()), WM_CLOSE, 0, 0) ? 0 : 1;
    if (verb == L"find") {  // types the text into the find box (none: clears it)
        HWND box = GetDlgItem(GetDlgItem(FindWindowExW(frame, nullptr, REBARCLASSNAMEW, nullptr), 503), 502);
        return box != nullptr && SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argc > 2 ? argv[2] : L""))
                   ? 0
                   : 1;
    }
    if (verb == L"time-find") {
        HWND box = GetDlgItem(GetDlgItem(FindWindowExW(frame, nullptr, REBARCLASSNAMEW, nullptr), 503), 502);
        const Clock::time_point start = Clock::now();
        if (box == nullptr || !SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argc > 2 ? argv[2] : L"")))
            return 1;
        return Elapsed(frame, start);
    }
    if (verb == L"time-sort") return TimeSort(frame, number);
    if (verb == L"time-select") return TimeSelect(frame, number);
    if (verb == L"time-refresh" || verb == L"time-user") {
        const Clock::time_point start = Clock::now();
        if (verb == L"time-user") {
            ChangeUser(frame, number);
        } else {
            SendMessageW(frame, WM_COMMAND, IDM_REFRESH, 0);
        }
        return Elapsed(frame, start);
    }
    if (verb == L"time-window") return TimeWindow(frame, number);
    return 2;
}
