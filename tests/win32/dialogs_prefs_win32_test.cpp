// The Report Options and Preferences dialogs, opened through the frame's commands and worked from
// inside their modal loops with the messages their controls send; what reached the redirected
// HKEY_CURRENT_USER is read back afterwards. The choosers and the messages are recorded.
#include "tests/win32/desktop_fixture.h"
#include "ui/preferences_dialog.h"
#include "ui/report_options_dialog.h"

#include <vector>

namespace tavolex {
namespace {

constexpr wchar_t kUserKey[] = L"Software\\Brenmark\\Tavolex\\TanakaT";

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

bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// A new tab as the tab control reports it to the dialog.
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

class DialogsPrefsTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        InstallPalmDesktop();
        choosers = ui::Choosers{
            [this](HWND) {
                chooserCalls.push_back(L"folder");
                return folderAnswer;
            },
            [this](HWND, fs::path& program) {
                chooserCalls.push_back(L"program " + program.wstring());
                return false;
            },
            [this](HWND, const fs::path& folder) {
                chooserCalls.push_back(L"explore " + folder.wstring());
                return ui::ExploreResult::kNotFound;
            }};
    }

    DWORD UserNumber(const wchar_t* name) const { return registry.Number(kUserKey, name); }
    std::wstring UserText(const wchar_t* name) const { return registry.Text(kUserKey, name); }
    static void SetUserNumber(const wchar_t* name, DWORD value) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kUserKey, name, REG_DWORD, &value, sizeof value), 0);
    }

    std::optional<fs::path> folderAnswer;
    std::vector<std::wstring> chooserCalls;
};

TEST_F(DialogsPrefsTest, ReportOptionsCreatesMissingSwitchesAndEscStores) {
    Start();
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kUserKey, 0, KEY_ALL_ACCESS, &key), 0);
    for (const ReportFieldSwitch& field : kReportFieldSwitches) RegDeleteValueW(key, ui::Wide(field.name).c_str());
    RegCloseKey(key);

    std::vector<HFONT> fonts;
    WithDialog(ui::kCmdReportOptions, [&](HWND dialog) {
        for (const ReportFieldSwitch& field : kReportFieldSwitches) {
            EXPECT_EQ(UserNumber(ui::Wide(field.name).c_str()), 1u) << field.name;
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

        // Each window has a font of its own, gone with the dialog.
        fonts = {reinterpret_cast<HFONT>(SendMessageW(tab, WM_GETFONT, 0, 0)),
                 reinterpret_cast<HFONT>(SendMessageW(last, WM_GETFONT, 0, 0)),
                 reinterpret_cast<HFONT>(SendMessageW(FieldBox(dialog, 170), WM_GETFONT, 0, 0))};

        HWND phone3 = FieldBox(dialog, 168);
        ASSERT_NE(phone3, nullptr);
        EXPECT_TRUE(Checked(phone3));
        SendMessageW(phone3, BM_CLICK, 0, 0);
        EXPECT_FALSE(Checked(phone3));
        Press(dialog, IDCANCEL);  // Esc
        EXPECT_FALSE(IsWindowVisible(dialog));  // ended
    });
    EXPECT_EQ(UserNumber(L"rPhone3"), 0u);
    EXPECT_EQ(UserNumber(L"rPhone2"), 1u);
    EXPECT_EQ(UserNumber(L"rShowLabels"), 0u);
    ASSERT_EQ(fonts.size(), 3u);
    EXPECT_NE(fonts[1], fonts[2]);
    for (HFONT font : fonts) {
        EXPECT_NE(font, nullptr);
        EXPECT_EQ(GetObjectType(font), 0u);
    }
}

TEST_F(DialogsPrefsTest, ReportOptionsTabsStoreTheAuthorAndRebuildFromStoredValues) {
    Start();
    SetUserNumber(L"rCity", 0);
    registry.SetText(kUserKey, L"cAuthor", L"Someone");
    WithDialog(ui::kCmdReportOptions, [this](HWND dialog) {
        EXPECT_FALSE(Checked(FieldBox(dialog, 173)));
        SendMessageW(FieldBox(dialog, 162), BM_CLICK, 0, 0);  // 姓 off
        ChooseTab(dialog, 1);
        EXPECT_EQ(UserNumber(L"rLastname"), 0u);
        EXPECT_EQ(UserNumber(L"rShowLabels"), 0u);
        EXPECT_EQ(FieldBox(dialog, 162), nullptr);  // the fields tab is gone

        HWND tab = TabControl(dialog);
        HWND author = GetDlgItem(tab, ui::kAuthorEditId);
        ASSERT_NE(author, nullptr);
        EXPECT_EQ(Text(author), L"Someone");
        EXPECT_EQ(PlaceOnParent(author).top, 160);
        SetWindowTextW(author, L"");
        ChooseTab(dialog, 0);
        EXPECT_EQ(UserText(L"cAuthor"), ui::Wide(kTanaka));
        EXPECT_EQ(GetDlgItem(tab, ui::kAuthorEditId), nullptr);
        EXPECT_FALSE(Checked(FieldBox(dialog, 162)));
        EXPECT_FALSE(Checked(FieldBox(dialog, 173)));
        EXPECT_TRUE(Checked(FieldBox(dialog, 164)));
        Press(dialog, IDOK);
    });
    EXPECT_EQ(UserNumber(L"rLastname"), 0u);
    EXPECT_EQ(UserNumber(L"rCity"), 0u);
    EXPECT_EQ(UserNumber(L"rTitle"), 1u);
}

// --- Preferences ------------------------------------------------------------------------------

std::wstring Field(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }
void SetField(HWND dialog, int id, const std::wstring& text) { SetDlgItemTextW(dialog, id, text.c_str()); }

TEST_F(DialogsPrefsTest, PreferencesRefusesEmptyPathsButKeepsTheViewerChoice) {
    Start();
    const std::wstring output = UserText(L"OutputPath");
    const std::wstring templates = UserText(L"TemplatePath");
    ASSERT_NE(output, L"<missing>");
    WithDialog(ui::kCmdPreferences, [&](HWND dialog) {
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
        EXPECT_EQ(UserNumber(L"AutoView"), 1u);

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
        EXPECT_EQ(Field(dialog, ui::kPrefViewerEditId), UserText(L"BrowserPath"));

        // A folder that can't be shown names the templates location, for either field.
        Press(dialog, ui::kPrefOpenOutputId);
        ASSERT_EQ(ui.messages.size(), 2u);
        EXPECT_EQ(ui.messages[1].text, ui::kUnableToOpenFolder);
        EXPECT_EQ(ui.messages[1].caption, "");
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(chooserCalls.size(), 5u);
    EXPECT_EQ(chooserCalls[3], L"program " + UserText(L"BrowserPath"));
    EXPECT_EQ(chooserCalls[4], L"explore C:\\reports\\");
    EXPECT_EQ(UserText(L"OutputPath"), output);
    EXPECT_EQ(UserText(L"TemplatePath"), templates);
}

TEST_F(DialogsPrefsTest, PreferencesOkStoresPathsAndRefillsTheReportList) {
    const fs::path reports = dir / "reports";
    const fs::path templates = dir / "mine";
    test::WriteFileBytes(reports / "only.htm", "<html></html>");
    fs::create_directories(templates);
    registry.SetText(L"Classes\\http\\shell\\open\\command", nullptr, L"\"C:\\Browser\\browse.exe\" -nohome");
    Start();
    SetUserNumber(L"AutoView", 1);
    const std::wstring storedBrowser = UserText(L"BrowserPath");

    // "通常設定" changes only the program in memory, also when cancelled.
    WithDialog(ui::kCmdPreferences, [](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, ui::kPrefAssociatedRadioId), BST_CHECKED);
        Press(dialog, ui::kPrefDefaultViewerId);
        EXPECT_EQ(Field(dialog, ui::kPrefViewerEditId), L"C:\\Browser\\browse.exe");
        EXPECT_EQ(IsDlgButtonChecked(dialog, ui::kPrefViewerRadioId), BST_CHECKED);
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(ui::App().settings->browserPath, fs::path(L"C:\\Browser\\browse.exe"));
    EXPECT_EQ(UserText(L"BrowserPath"), storedBrowser);
    EXPECT_EQ(UserNumber(L"AutoView"), 1u);

    WithDialog(ui::kCmdPreferences, [&](HWND dialog) {
        SetField(dialog, ui::kPrefViewerEditId, L"C:\\Viewer\\view.exe");
        SetField(dialog, ui::kPrefOutputEditId, reports.wstring() + L"\\");
        SetField(dialog, ui::kPrefTemplateEditId, templates.wstring() + L"\\");
        SendDlgItemMessageW(dialog, ui::kPrefViewerRadioId, BM_CLICK, 0, 0);
        Press(dialog, IDOK);
        EXPECT_FALSE(IsWindowVisible(dialog));  // ended
    });
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(UserText(L"BrowserPath"), L"C:\\Viewer\\view.exe");
    EXPECT_EQ(UserText(L"OutputPath"), reports.wstring() + L"\\");
    EXPECT_EQ(UserText(L"TemplatePath"), templates.wstring() + L"\\");
    EXPECT_EQ(UserNumber(L"AutoView"), 2u);
    HWND list = ui::App().reportList->Window();
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), -1);

    // The next start reads them back.
    Stop();
    Start();
    WithDialog(ui::kCmdPreferences, [&](HWND dialog) {
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
