// screenshot_driver.exe: drives a running desktop program from outside for scripts/screenshot.
//   wait                  exit 0 when the frame window is shown
//   command ID            a menu command to the frame
//   select-meeting ROW    a mouse click on a row of the meeting list
//   select-item ROW       a mouse click on a row of the item list
//   user INDEX            chooses an entry of the Palm user box
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string_view>
#include <cstdlib>

namespace {

HWND Frame() { return FindWindowW(L"TAVOLEXMEETING", nullptr); }

HWND List(int paneId, int nth) {
    HWND pane = GetDlgItem(Frame(), paneId);
    HWND list = nullptr;
    for (int k = 0; k <= nth; ++k) list = FindWindowExW(pane, list, WC_LISTVIEWW, nullptr);
    return list;
}

// LVM_GETITEMRECT through memory of the program that owns the list.
bool RowRect(HWND list, int row, RECT& rect) {
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr) return false;
    void* remote = VirtualAllocEx(process, nullptr, sizeof rect, MEM_COMMIT, PAGE_READWRITE);
    bool ok = false;
    if (remote != nullptr) {
        rect = RECT{LVIR_LABEL, 0, 0, 0};
        SIZE_T done = 0;
        if (WriteProcessMemory(process, remote, &rect, sizeof rect, &done) &&
            SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote)) &&
            ReadProcessMemory(process, remote, &rect, sizeof rect, &done)) {
            ok = true;
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return ok;
}

int ClickRow(HWND list, int row) {
    RECT rect{};
    if (list == nullptr || !RowRect(list, row, rect)) return 1;
    POINT point{rect.left + 8, (rect.top + rect.bottom) / 2};
    MapWindowPoints(list, nullptr, &point, 1);
    SetForegroundWindow(Frame());
    SetCursorPos(point.x, point.y);
    Sleep(200);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
    Sleep(500);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring_view verb = argv[1];
    const int number = argc > 2 ? _wtoi(argv[2]) : 0;
    HWND frame = Frame();
    if (frame == nullptr) return 1;
    if (verb == L"wait") return IsWindowVisible(frame) ? 0 : 1;
    if (verb == L"command") {
        SendMessageW(frame, WM_COMMAND, static_cast<WPARAM>(number), 0);
        return 0;
    }
    if (verb == L"select-meeting") return ClickRow(List(100, 0), number);
    if (verb == L"select-item") return ClickRow(List(100, 1), number);
    if (verb == L"user") {
        HWND rebar = FindWindowExW(frame, nullptr, REBARCLASSNAMEW, nullptr);
        HWND box = GetDlgItem(rebar, 501);
        SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(number), 0);
        SendMessageW(frame, WM_COMMAND, MAKEWPARAM(501, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
        return 0;
    }
    return 2;
}
