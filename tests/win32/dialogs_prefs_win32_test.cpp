// The Report Options and Preferences dialogs, opened through the frame's commands in this process
// on a copy of the sample Palm folder. A thread timer fires inside the dialog's modal loop, finds
// the dialog and works its controls with the messages they send; what reached the redirected
// HKEY_CURRENT_USER is read back afterwards. The choosers and the messages are recorded.
#include "tests/support/recording_debug_channel.h"
#include "tests/support/recording_user_interaction.h"
#include "tests/support/temp_dir.h"
#include "ui/application.h"
#include "ui/preferences_dialog.h"
#include "ui/report_options_dialog.h"
#include "ui/window_services.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kTestRoot[] = L"Software\\Brenmark\\TavolexPrefsTests";
constexpr wchar_t kAppKey[] = L"Software\\Brenmark\\Tavolex";
constexpr wchar_t kUserKey[] = L"Software\\Brenmark\\Tavolex\\TanakaT";
constexpr wchar_t kCore[] = L"Software\\U.S. Robotics\\Pilot Desktop\\Core";
constexpr char kTanaka[] = "\x93\x63\x92\x86 \x91\xbe\x98\x59";  // 田中 太郎

fs::path ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

fs::path SampleFolder() { return fs::path(L"Z:" + fs::path(TAVOLEX_SAMPLE_PALM_DIR).wstring()); }

// --- Driving a modal dialog from inside its own loop ---------------------------------------

std::function<void(HWND)> pendingAction;
bool actionRan = false;

HWND OpenDialog() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (std::wstring(name) != L"#32770") return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK RunPendingAction(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = OpenDialog();
    if (dialog == nullptr || !IsWindowVisible(dialog)) return;  // not shown yet: the next tick
    KillTimer(nullptr, timer);
    actionRan = true;
    std::function<void(HWND)> action = std::move(pendingAction);
    action(dialog);
    // A failed expectation must not leave the test waiting on the dialog (an ended one is hidden).
    if (IsWindowVisible(dialog)) EndDialog(dialog, IDABORT);
}

// Runs open (which shows a modal dialog) while action works the dialog; action should close it.
void WithDialog(const std::function<void()>& open, std::function<void(HWND)> action) {
    pendingAction = std::move(action);
    actionRan = false;
    SetTimer(nullptr, 0, 20, RunPendingAction);
    open();
    EXPECT_TRUE(actionRan);
}

void Press(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

std::wstring Text(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

HWND TabControl(HWND dialog) { return FindWindowExW(dialog, nullptr, WC_TABCONTROLW, nullptr); }

// The check box of a field by its label.
HWND FieldBox(HWND dialog, int labelId) {
    return FindWindowExW(TabControl(dialog), nullptr, L"BUTTON", ui::LoadText(GetModuleHandleW(nullptr), labelId).c_str());
}

void ChooseTab(HWND dialog, int index) {
    HWND tab = TabControl(dialog);
    SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    NMHDR header{tab, 0, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(dialog, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
}

RECT PlaceOnParent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// --- The frame with a redirected registry ---------------------------------------------------

class DialogsPrefsTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        keyPath_ = std::wstring(kTestRoot) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &user_, nullptr), 0);
        ASSERT_EQ(RegCreateKeyExW(user_, L"Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &classes_, nullptr), 0);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, user_), 0);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, classes_), 0);
        instance_ = GetModuleHandleW(nullptr);
        ASSERT_TRUE(ui::RegisterWindowClasses(instance_));
        InstallPalmDesktop();
    }

    void TearDown() override {
        Stop();
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(classes_);
        RegCloseKey(user_);
        RegDeleteTreeW(HKEY_CURRENT_USER, keyPath_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, kTestRoot);
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Brenmark");
    }

    // Palm Desktop with the sample users, the first one chosen.
    void InstallPalmDesktop() {
        fs::copy(SampleFolder(), dir / "palm", fs::copy_options::recursive);
        fs::create_directories(dir / "hotsync");
        fs::copy_file(ProgramFolder() / "UserData.dll", dir / "hotsync" / "UserData.dll");
        test::WriteFileBytes(dir / "hotsync" / "UserData.txt", std::string("1\t") + kTanaka + "\tTanakaT\n");
        SetText(kCore, L"Path", (dir / "palm").wstring());
        SetText(kCore, L"HotSyncPath", (dir / "hotsync" / "HotSync.exe").wstring());
        SetText(kAppKey, L"UserPath", L"TanakaT\\");
        SetText(kAppKey, L"LastUsername", ui::Wide(kTanaka));
    }

    void Start() {
        ui::StartOptions options;
        options.ui = &ui;
        options.programFile = dir / "install" / "tavolex.exe";
        options.choosers = ui::Choosers{
            [this](HWND) {
                chooserCalls.push_back(L"folder");
                return folderAnswer;
            },
            [this](HWND, fs::path& program) {
                chooserCalls.push_back(L"program " + program.wstring());
                if (!programAnswer) return false;
                program = *programAnswer;
                return true;
            },
            [this](HWND, const fs::path& folder) {
                chooserCalls.push_back(L"explore " + folder.wstring());
                return exploreAnswer;
            }};
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

    static void Command(int id) { SendMessageW(ui::App().frame, WM_COMMAND, static_cast<WPARAM>(id), 0); }

    DWORD RegNumber(const wchar_t* name) const {
        DWORD data = 0xDEAD;
        DWORD size = sizeof data;
        RegGetValueW(user_, kUserKey, name, RRF_RT_REG_DWORD, nullptr, &data, &size);
        return data;
    }
    std::wstring RegText(const wchar_t* name) const {
        wchar_t data[1024] = {};
        DWORD size = sizeof data;
        if (RegGetValueW(user_, kUserKey, name, RRF_RT_REG_SZ, nullptr, data, &size) != 0) return L"<missing>";
        return data;
    }
    void SetText(const wchar_t* key, const wchar_t* name, const std::wstring& text) {
        ASSERT_EQ(RegSetKeyValueW(user_, key, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2)), 0);
    }
    void SetNumber(const wchar_t* name, DWORD value) {
        ASSERT_EQ(RegSetKeyValueW(user_, kUserKey, name, REG_DWORD, &value, sizeof value), 0);
    }

    test::RecordingUserInteraction ui;
    test::TempDir dir;
    std::optional<fs::path> folderAnswer;
    std::optional<fs::path> programAnswer;
    ui::ExploreResult exploreAnswer = ui::ExploreResult::kShown;
    std::vector<std::wstring> chooserCalls;

private:
    std::wstring keyPath_;
    HKEY user_ = nullptr;
    HKEY classes_ = nullptr;
    HINSTANCE instance_ = nullptr;
    bool running_ = false;
};

TEST_F(DialogsPrefsTest, ReportOptionsCreatesMissingSwitchesAndEscStores) {
    Start();
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kUserKey, 0, KEY_ALL_ACCESS, &key), 0);
    for (const ReportFieldSwitch& field : kReportFieldSwitches) RegDeleteValueW(key, ui::Wide(field.name).c_str());
    RegCloseKey(key);

    WithDialog([] { Command(ui::kCmdReportOptions); }, [this](HWND dialog) {
        for (const ReportFieldSwitch& field : kReportFieldSwitches) {
            EXPECT_EQ(RegNumber(ui::Wide(field.name).c_str()), 1u) << field.name;
        }
        // The tab control fills the dialog beneath "終了"; the boxes sit where the table puts them.
        HWND tab = TabControl(dialog);
        ASSERT_NE(tab, nullptr);
        EXPECT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 2);
        RECT client{};
        GetClientRect(dialog, &client);
        const RECT tabPlace = PlaceOnParent(tab);
        EXPECT_EQ(tabPlace.right - tabPlace.left, client.right);
        const RECT button = PlaceOnParent(GetDlgItem(dialog, IDOK));
        EXPECT_EQ(ChildWindowFromPoint(dialog, POINT{button.left + 2, button.top + 2}), GetDlgItem(dialog, IDOK));
        HWND last = FieldBox(dialog, 181);
        ASSERT_NE(last, nullptr);
        const RECT lastPlace = PlaceOnParent(last);
        EXPECT_EQ(lastPlace.left, 230);
        EXPECT_EQ(lastPlace.top, 255);
        EXPECT_EQ(lastPlace.right - lastPlace.left, 130);
        EXPECT_EQ(PlaceOnParent(FieldBox(dialog, 170)).top, 235);

        HWND phone3 = FieldBox(dialog, 168);
        ASSERT_NE(phone3, nullptr);
        EXPECT_EQ(SendMessageW(phone3, BM_GETCHECK, 0, 0), BST_CHECKED);
        SendMessageW(phone3, BM_CLICK, 0, 0);
        EXPECT_EQ(SendMessageW(phone3, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        Press(dialog, IDCANCEL);  // Esc
        EXPECT_FALSE(IsWindowVisible(dialog));  // ended
    });
    EXPECT_EQ(RegNumber(L"rPhone3"), 0u);
    EXPECT_EQ(RegNumber(L"rPhone2"), 1u);
    EXPECT_EQ(RegNumber(L"rShowLabels"), 0u);
}

TEST_F(DialogsPrefsTest, ReportOptionsTabsStoreTheAuthorAndRebuildFromStoredValues) {
    Start();
    SetNumber(L"rCity", 0);
    SetText(kUserKey, L"cAuthor", L"Someone");
    WithDialog([] { Command(ui::kCmdReportOptions); }, [this](HWND dialog) {
        EXPECT_EQ(SendMessageW(FieldBox(dialog, 173), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        SendMessageW(FieldBox(dialog, 162), BM_CLICK, 0, 0);  // 姓 off
        ChooseTab(dialog, 1);
        EXPECT_EQ(RegNumber(L"rLastname"), 0u);
        EXPECT_EQ(RegNumber(L"rShowLabels"), 0u);
        EXPECT_EQ(FieldBox(dialog, 162), nullptr);  // the fields tab is gone

        HWND tab = TabControl(dialog);
        HWND author = GetDlgItem(tab, ui::kAuthorEditId);
        ASSERT_NE(author, nullptr);
        EXPECT_EQ(Text(author), L"Someone");
        EXPECT_EQ(PlaceOnParent(author).top, 160);
        SetWindowTextW(author, L"");
        ChooseTab(dialog, 0);
        EXPECT_EQ(RegText(L"cAuthor"), ui::Wide(kTanaka));
        EXPECT_EQ(GetDlgItem(tab, ui::kAuthorEditId), nullptr);
        EXPECT_EQ(SendMessageW(FieldBox(dialog, 162), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_EQ(SendMessageW(FieldBox(dialog, 173), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_EQ(SendMessageW(FieldBox(dialog, 164), BM_GETCHECK, 0, 0), BST_CHECKED);
        Press(dialog, IDOK);
    });
    EXPECT_EQ(RegNumber(L"rLastname"), 0u);
    EXPECT_EQ(RegNumber(L"rCity"), 0u);
    EXPECT_EQ(RegNumber(L"rTitle"), 1u);
}

TEST(ReportOptionsDialogTest, OwnFontsEndWithTheDialogAndClicksAreTraced) {
    ui::ReportOptionsDialogOptions options;
    std::vector<int> loads;
    options.loadTab = [&loads](ReportOptionsTab tab, ReportOptionsValues& values) {
        loads.push_back(static_cast<int>(tab));
        values.fields.fill(true);
    };
    options.saveTab = [](ReportOptionsTab, const ReportOptionsValues&) {};
    test::RecordingDebugChannel debug;
    options.debug = &debug;
    std::vector<HFONT> fonts;
    WithDialog([&options] { ui::ShowReportOptionsDialog(nullptr, options); }, [&fonts](HWND dialog) {
        fonts.push_back(reinterpret_cast<HFONT>(SendMessageW(TabControl(dialog), WM_GETFONT, 0, 0)));
        fonts.push_back(reinterpret_cast<HFONT>(SendMessageW(FieldBox(dialog, 162), WM_GETFONT, 0, 0)));
        fonts.push_back(reinterpret_cast<HFONT>(SendMessageW(FieldBox(dialog, 163), WM_GETFONT, 0, 0)));
        SendMessageW(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-3, 17));
        Press(dialog, IDOK);
    });
    ASSERT_EQ(fonts.size(), 3u);
    for (HFONT font : fonts) {
        EXPECT_NE(font, nullptr);
        EXPECT_EQ(GetObjectType(font), 0u);  // deleted with the dialog
    }
    EXPECT_NE(fonts[1], fonts[2]);
    EXPECT_EQ(loads, std::vector<int>{0});
    std::string traced;
    for (const std::string& piece : debug.pieces) traced += piece;
    EXPECT_EQ(traced, "-3\n17\n\n");
}

// --- Preferences ------------------------------------------------------------------------------

std::wstring Field(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }
void SetField(HWND dialog, int id, const std::wstring& text) { SetDlgItemTextW(dialog, id, text.c_str()); }

TEST_F(DialogsPrefsTest, PreferencesRefusesEmptyPathsButKeepsTheViewerChoice) {
    Start();
    const std::wstring output = RegText(L"OutputPath");
    const std::wstring templates = RegText(L"TemplatePath");
    ASSERT_NE(output, L"<missing>");
    exploreAnswer = ui::ExploreResult::kNotFound;
    WithDialog([] { Command(ui::kCmdPreferences); }, [&](HWND dialog) {
        EXPECT_EQ(Field(dialog, ui::kPrefOutputEditId), output);
        EXPECT_EQ(Field(dialog, ui::kPrefTemplateEditId), templates);
        EXPECT_EQ(IsDlgButtonChecked(dialog, ui::kPrefViewerRadioId), BST_CHECKED);
        EXPECT_EQ(Field(dialog, ui::kPrefAssociatedRadioId), ui::LoadText(GetModuleHandleW(nullptr), 3010));

        SendDlgItemMessageW(dialog, ui::kPrefAssociatedRadioId, BM_CLICK, 0, 0);
        SetField(dialog, ui::kPrefTemplateEditId, L"");
        Press(dialog, IDOK);
        ASSERT_TRUE(IsWindowVisible(dialog));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, ui::Narrow(ui::LoadText(GetModuleHandleW(nullptr), 212)));
        EXPECT_EQ(ui.messages[0].caption, "Tavolex");
        EXPECT_EQ(ui.messages[0].icon, platform::MessageIcon::kInformation);
        EXPECT_EQ(RegNumber(L"AutoView"), 1u);

        // Folders: one separator added, none after a root; a cancel changes nothing.
        folderAnswer = fs::path(L"C:\\");
        Press(dialog, ui::kPrefChooseTemplateId);
        EXPECT_EQ(Field(dialog, ui::kPrefTemplateEditId), L"C:\\");
        folderAnswer = fs::path(L"C:\\reports");
        Press(dialog, ui::kPrefChooseOutputId);
        EXPECT_EQ(Field(dialog, ui::kPrefOutputEditId), L"C:\\reports\\");
        folderAnswer.reset();
        Press(dialog, ui::kPrefChooseOutputId);
        EXPECT_EQ(Field(dialog, ui::kPrefOutputEditId), L"C:\\reports\\");

        // The viewer chooser starts from the stored program; a cancel shows it again.
        SetField(dialog, ui::kPrefViewerEditId, L"typed.exe");
        Press(dialog, ui::kPrefChooseViewerId);
        EXPECT_EQ(IsDlgButtonChecked(dialog, ui::kPrefViewerRadioId), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, ui::kPrefAssociatedRadioId), BST_UNCHECKED);
        EXPECT_EQ(Field(dialog, ui::kPrefViewerEditId), RegText(L"BrowserPath"));

        // A folder that can't be shown names the templates location, for either field.
        Press(dialog, ui::kPrefOpenOutputId);
        ASSERT_EQ(ui.messages.size(), 2u);
        EXPECT_EQ(ui.messages[1].text, ui::kUnableToOpenFolder);
        EXPECT_EQ(ui.messages[1].caption, "");
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(chooserCalls.size(), 5u);
    EXPECT_EQ(chooserCalls[3], L"program " + RegText(L"BrowserPath"));
    EXPECT_EQ(chooserCalls[4], L"explore C:\\reports\\");
    EXPECT_EQ(RegText(L"OutputPath"), output);
    EXPECT_EQ(RegText(L"TemplatePath"), templates);
}

TEST_F(DialogsPrefsTest, PreferencesOkStoresPathsAndRefillsTheReportList) {
    const fs::path reports = dir / "reports";
    const fs::path templates = dir / "mine";
    test::WriteFileBytes(reports / "only.htm", "<html></html>");
    fs::create_directories(templates);
    SetText(L"Classes\\http\\shell\\open\\command", nullptr, L"\"C:\\Browser\\browse.exe\" -nohome");
    Start();
    SetNumber(L"AutoView", 1);
    const std::wstring storedBrowser = RegText(L"BrowserPath");

    // "通常設定" changes only the program in memory, also when cancelled.
    WithDialog([] { Command(ui::kCmdPreferences); }, [](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, ui::kPrefAssociatedRadioId), BST_CHECKED);
        Press(dialog, ui::kPrefDefaultViewerId);
        EXPECT_EQ(Field(dialog, ui::kPrefViewerEditId), L"C:\\Browser\\browse.exe");
        EXPECT_EQ(IsDlgButtonChecked(dialog, ui::kPrefViewerRadioId), BST_CHECKED);
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(ui::App().settings->browserPath, fs::path(L"C:\\Browser\\browse.exe"));
    EXPECT_EQ(RegText(L"BrowserPath"), storedBrowser);
    EXPECT_EQ(RegNumber(L"AutoView"), 1u);

    WithDialog([] { Command(ui::kCmdPreferences); }, [&](HWND dialog) {
        SetField(dialog, ui::kPrefViewerEditId, L"C:\\Viewer\\view.exe");
        SetField(dialog, ui::kPrefOutputEditId, reports.wstring() + L"\\");
        SetField(dialog, ui::kPrefTemplateEditId, templates.wstring() + L"\\");
        SendDlgItemMessageW(dialog, ui::kPrefViewerRadioId, BM_CLICK, 0, 0);
        Press(dialog, IDOK);
        EXPECT_FALSE(IsWindowVisible(dialog));  // ended
    });
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(RegText(L"BrowserPath"), L"C:\\Viewer\\view.exe");
    EXPECT_EQ(RegText(L"OutputPath"), reports.wstring() + L"\\");
    EXPECT_EQ(RegText(L"TemplatePath"), templates.wstring() + L"\\");
    EXPECT_EQ(RegNumber(L"AutoView"), 2u);
    HWND list = ui::App().reportList->Window();
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), -1);

    // The next start reads them back.
    Stop();
    Start();
    WithDialog([] { Command(ui::kCmdPreferences); }, [&](HWND dialog) {
        EXPECT_EQ(Field(dialog, ui::kPrefViewerEditId), L"C:\\Viewer\\view.exe");
        EXPECT_EQ(Field(dialog, ui::kPrefOutputEditId), reports.wstring() + L"\\");
        EXPECT_EQ(Field(dialog, ui::kPrefTemplateEditId), templates.wstring() + L"\\");
        EXPECT_EQ(IsDlgButtonChecked(dialog, ui::kPrefViewerRadioId), BST_CHECKED);
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(SendMessageW(ui::App().reportList->Window(), LVM_GETITEMCOUNT, 0, 0), 1);
}

}  // namespace
}  // namespace tavolex
