#pragma once
// The desktop program's frame started in the test's own process on a copy of the sample Palm
// folder with the stand-in UserData.dll. HKEY_CURRENT_USER is redirected into a key of our own
// for each test; every message box is answered by a recording interaction. Helpers drive the
// lists with the messages the controls send and read them back through their own messages.
#include "tests/support/recording_user_interaction.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/win32_test_support.h"
#include "ui/application.h"
#include "ui/window_services.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tavolex {
namespace fs = std::filesystem;

inline constexpr wchar_t kTestRoot[] = L"Software\\Brenmark\\TavolexUiTests";
inline constexpr wchar_t kAppKey[] = L"Software\\Brenmark\\Tavolex";
inline constexpr wchar_t kCore[] = L"Software\\U.S. Robotics\\Pilot Desktop\\Core";
inline constexpr char kTanaka[] = "\x93\x63\x92\x86 \x91\xbe\x98\x59";  // 田中 太郎
inline constexpr char kSuzuki[] = "\x97\xe9\x96\xd8 \x89\xd4\x8e\x71";  // 鈴木 花子

using test::ProgramFolder;

// The sample folder of the source tree, through Wine's drive for the root folder.
inline fs::path SampleFolder() { return fs::path(L"Z:" + fs::path(TAVOLEX_SAMPLE_PALM_DIR).wstring()); }

inline std::string ListText(HWND list, int row, int column) {
    wchar_t buffer[261] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 261;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return ui::Narrow(buffer);
}

inline int ListIcon(HWND list, int row) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

inline int RowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

inline int RowOf(HWND list, std::string_view name) {
    for (int row = 0; row < RowCount(list); ++row) {
        if (ListText(list, row, 0) == name) return row;
    }
    return -1;
}

inline LONG_PTR ViewOf(HWND list) { return GetWindowLongPtrW(list, GWL_STYLE) & LVS_TYPEMASK; }

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(registry.Redirect(kTestRoot));
        instance_ = GetModuleHandleW(nullptr);
        ASSERT_TRUE(ui::RegisterWindowClasses(instance_));
    }

    void TearDown() override {
        Stop();
        registry.Restore();
    }

    // Palm Desktop with the two sample users, the first one chosen, and two reports.
    void InstallPalmDesktop() {
        fs::copy(SampleFolder(), dir / "palm", fs::copy_options::recursive);
        fs::create_directories(dir / "hotsync");
        fs::copy_file(ProgramFolder() / "UserData.dll", dir / "hotsync" / "UserData.dll");
        test::WriteFileBytes(dir / "hotsync" / "UserData.txt",
                             std::string("1\t") + kTanaka + "\tTanakaT\n2\t" + kSuzuki + "\tSuzukiH\n");
        registry.SetText(kCore, L"Path", (dir / "palm").wstring());
        registry.SetText(kCore, L"HotSyncPath", (dir / "hotsync" / "HotSync.exe").wstring());
        registry.SetText(kAppKey, L"UserPath", L"TanakaT\\");
        registry.SetText(kAppKey, L"LastUsername", ui::Wide(kTanaka));
        test::WriteFileBytes(dir / "palm" / "TanakaT" / "Tavolex" / "weekly.htm", "<html></html>\r\n");
        test::WriteFileBytes(dir / "palm" / "TanakaT" / "Tavolex" / "minutes.rtf", "{\\rtf1}\r\n");
    }

    void Start() {
        ui::StartOptions options;
        options.ui = realMessageBoxes ? nullptr : &ui;
        options.programFile = dir / "install" / "tavolex.exe";
        options.choosers = choosers;
        ASSERT_EQ(ui::StartApplication(instance_, SW_SHOWNORMAL, options), 1);
        running_ = true;
    }

    void Stop() {
        if (!running_) return;
        DestroyWindow(ui::App().frame);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        running_ = false;
    }

    static ui::Application& App() { return ui::App(); }
    static HWND MeetingList() { return App().meetingList->Window(); }
    static HWND ItemList() { return App().itemList->Window(); }
    static HWND ReportList() { return App().reportList->Window(); }

    static void Command(int id) { SendMessageW(App().frame, WM_COMMAND, static_cast<WPARAM>(id), 0); }

    // Runs action, which may enter a modal loop (a message box, a dialog, a pop-up menu), and runs
    // script on the first visible window of the class while that loop dispatches the thread timer.
    // A window the script leaves up is cancelled after a while, so a failing test never hangs.
    // False when no such window came up while action ran.
    static bool DuringModal(const wchar_t* windowClass, const std::function<void()>& action,
                            std::function<void(HWND)> script) {
        Modal() = {windowClass, std::move(script)};
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, OnTimer);
        action();
        KillTimer(nullptr, timer);
        const bool ran = Modal().ran;
        Modal() = {};
        return ran;
    }
    // Sends the frame a command that opens a modal dialog and runs script on the dialog.
    static void WithDialog(int command, std::function<void(HWND)> script) {
        ASSERT_TRUE(DuringModal(L"#32770", [command] { Command(command); }, std::move(script)))
            << "no dialog came up for command " << command;
    }
    // A button's click as the dialog hears it.
    static void Press(HWND dialog, int id) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    static void SetCheck(HWND dialog, int id, bool checked) {
        CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
        Press(dialog, id);
    }
    // Chooses the item of a drop-down list that has the text, as the user would.
    static bool ChooseItem(HWND dialog, int id, const std::string& cp932) {
        HWND list = GetDlgItem(dialog, id);
        const LRESULT index = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(ui::Wide(cp932).c_str()));
        if (index == CB_ERR) return false;
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        return true;
    }
    static std::string SelectedItem(HWND dialog, int id) {
        HWND list = GetDlgItem(dialog, id);
        const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
        if (index == CB_ERR) return "<none>";
        wchar_t text[512] = {};
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return ui::Narrow(text);
    }
    static std::string ControlText(HWND dialog, int id) {
        wchar_t text[1024] = {};
        GetDlgItemTextW(dialog, id, text, 1024);
        return ui::Narrow(text);
    }
    static void SetControlText(HWND dialog, int id, const std::string& cp932) {
        SetDlgItemTextW(dialog, id, ui::Wide(cp932).c_str());
    }

    // A mouse click on a row as the list reports it to its pane.
    static void Click(HWND list, int row) {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        if (row >= 0) ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        Notify(list, NM_CLICK, row);
    }

    // A notification of a list to its pane, with the row and column it names.
    static void Notify(HWND list, UINT code, int row, int column = 0) {
        NMITEMACTIVATE note{};
        note.hdr.hwndFrom = list;
        note.hdr.idFrom = 3000;
        note.hdr.code = code;
        note.iItem = row;
        note.iSubItem = column;
        SendMessageW(GetParent(list), WM_NOTIFY, 3000, reinterpret_cast<LPARAM>(&note));
    }

    static void ChooseUser(int index) {
        SendMessageW(App().userBox, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(App().frame, WM_COMMAND, MAKEWPARAM(ui::kUserBoxId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(App().userBox));
    }

    test::RedirectedRegistry registry;
    test::RecordingUserInteraction ui;
    bool realMessageBoxes = false;  // true: the frame's own message boxes instead of ui
    std::optional<ui::Choosers> choosers;  // none: the system's
    test::TempDir dir;

private:
    struct ModalScript {
        const wchar_t* windowClass = nullptr;
        std::function<void(HWND)> script;
        bool ran = false;
        HWND window = nullptr;
        DWORD ranAt = 0;
    };
    static ModalScript& Modal() {
        static ModalScript modal;
        return modal;
    }
    static BOOL CALLBACK FindWindowOfClass(HWND window, LPARAM found) {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wstring_view(name) != Modal().windowClass || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        ModalScript& modal = Modal();
        if (!modal.script) return;
        if (!modal.ran) {
            EnumThreadWindows(GetCurrentThreadId(), FindWindowOfClass, reinterpret_cast<LPARAM>(&modal.window));
            if (modal.window == nullptr) return;  // not up yet: the timer fires again
            modal.ran = true;
            modal.script(modal.window);
            modal.ranAt = GetTickCount();
        } else if (modal.ranAt != 0 && IsWindow(modal.window) && GetTickCount() - modal.ranAt > 3000) {
            PostMessageW(modal.window, WM_COMMAND, IDCANCEL, 0);
            EndMenu();
        }
    }

    HINSTANCE instance_ = nullptr;
    bool running_ = false;
};

}  // namespace tavolex
