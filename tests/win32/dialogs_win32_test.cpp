// The desktop program's dialogs (Report Options, Preferences, Create Report, Export), opened
// through the frame's commands and worked from inside their modal loops with the messages their
// controls send; what reached the redirected HKEY_CURRENT_USER is read back afterwards, and the
// reports they write are compared with the command-line program's reports in this process.
#include "cli/cli_session.h"
#include "cli/commands_report.h"
#include "platform/file_system.h"
#include "tests/support/fixed_clock.h"
#include "tests/win32/desktop_fixture.h"
#include "ui/create_report_dialog.h"
#include "ui/export_dialog.h"
#include "ui/preferences_dialog.h"
#include "ui/report_options_dialog.h"

#include <sstream>
#include <vector>

namespace tavolex {
namespace {

const std::wstring kUserKey = std::wstring(kAppKey) + L"\\TanakaT";

std::wstring Text(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}
std::wstring Field(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }
void SetField(HWND dialog, int id, const std::wstring& text) { SetDlgItemTextW(dialog, id, text.c_str()); }
bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

HWND TabControl(HWND dialog) { return FindWindowExW(dialog, nullptr, WC_TABCONTROLW, nullptr); }

// The check box of a report field by its label.
HWND FieldBox(HWND dialog, int labelId) {
    return FindWindowExW(TabControl(dialog), nullptr, L"BUTTON", ui::LoadText(GetModuleHandleW(nullptr), labelId).c_str());
}

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

class Win32DialogsTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        InstallPalmDesktop();
        choosers = ui::Choosers{[this](HWND) {
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

    // The frame with the templates installed, the report clock fixed and the first meeting chosen.
    void StartWithTemplates() {
        fs::create_directories(dir / "install");
        fs::copy(fs::path(L"Z:" + fs::path(TAVOLEX_TEMPLATE_DIR).wstring()), dir / "install" / "templates",
                 fs::copy_options::recursive);
        Start();
        App().reportFolder->SetClock(test::FixedReportTime);
        App().reportFolder->SetViewer([this](const fs::path& report) { opened.push_back(report); });
        Click(MeetingList(), 0);
    }

    DWORD UserNumber(const wchar_t* name) const { return registry.Number(kUserKey, name); }
    std::wstring UserText(const wchar_t* name) const { return registry.Text(kUserKey, name); }
    fs::path Output() const { return App().settings->outputFolder; }

    // The command-line program's report of the current meeting in this process, with the same
    // settings (the redirected registry) and clock.
    std::string CommandLineReport(cli::ReportJob request, const std::string& extension) {
        cli::CliSession session({.yes = true});
        EXPECT_TRUE(session.OpenSettings());
        EXPECT_TRUE(session.FindUsers());
        EXPECT_TRUE(session.LoadUser());
        session.Report().SetClock(test::FixedReportTime);
        request.meetings = {App().currentMeeting};
        request.name = "cli";
        std::ostringstream out;
        EXPECT_EQ(cli::WriteReports(session, request, out), 0);
        return test::ReadFileBytes(Output() / ("cli" + extension));
    }

    std::optional<fs::path> folderAnswer;
    std::vector<std::wstring> chooserCalls;
    std::vector<fs::path> opened;  // reports the viewer was asked to show
};

// --- Report Options ----------------------------------------------------------------------------

TEST_F(Win32DialogsTest, ReportOptionsControlsAndEscStores) {
    Start();
    std::vector<HFONT> fonts;
    WithDialog(ui::kCmdReportOptions, [&](HWND dialog) {
        // The tab control fills the dialog beneath "終了", which stays reachable.
        HWND tab = TabControl(dialog);
        ASSERT_NE(tab, nullptr);
        EXPECT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 2);
        RECT client{};
        GetClientRect(dialog, &client);
        EXPECT_EQ(PlaceOnParent(tab).right - PlaceOnParent(tab).left, client.right);
        const RECT button = PlaceOnParent(GetDlgItem(dialog, IDOK));
        EXPECT_EQ(ChildWindowFromPoint(dialog, POINT{button.left + 2, button.top + 2}), GetDlgItem(dialog, IDOK));
        ASSERT_NE(FieldBox(dialog, 181), nullptr);
        EXPECT_EQ(PlaceOnParent(FieldBox(dialog, 181)).top, 255);  // the last box, in the third row

        // Each window has a font of its own, gone with the dialog.
        for (HWND window : {tab, FieldBox(dialog, 181), FieldBox(dialog, 170)}) {
            fonts.push_back(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
        }
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

TEST_F(Win32DialogsTest, ReportOptionsTabsStoreTheAuthorAndRebuildFromStoredValues) {
    Start();
    registry.SetNumber(kUserKey, L"rCity", 0);
    registry.SetText(kUserKey, L"cAuthor", L"Someone");
    WithDialog(ui::kCmdReportOptions, [this](HWND dialog) {
        EXPECT_FALSE(Checked(FieldBox(dialog, 173)));
        SendMessageW(FieldBox(dialog, 162), BM_CLICK, 0, 0);  // 姓 off
        ChooseTab(dialog, 1);
        EXPECT_EQ(UserNumber(L"rLastname"), 0u);
        EXPECT_EQ(FieldBox(dialog, 162), nullptr);  // the fields tab is gone

        HWND tab = TabControl(dialog);
        HWND author = GetDlgItem(tab, ui::kAuthorEditId);
        ASSERT_NE(author, nullptr);
        EXPECT_EQ(Text(author), L"Someone");
        SetWindowTextW(author, L"");
        ChooseTab(dialog, 0);
        EXPECT_EQ(UserText(L"cAuthor"), ui::Wide(kTanaka));
        EXPECT_EQ(GetDlgItem(tab, ui::kAuthorEditId), nullptr);
        EXPECT_FALSE(Checked(FieldBox(dialog, 162)));
        EXPECT_FALSE(Checked(FieldBox(dialog, 173)));
        EXPECT_TRUE(Checked(FieldBox(dialog, 164)));
        Press(dialog, IDOK);
    });
    EXPECT_EQ(UserNumber(L"rCity"), 0u);
    EXPECT_EQ(UserNumber(L"rTitle"), 1u);
}

// --- Preferences --------------------------------------------------------------------------------

TEST_F(Win32DialogsTest, PreferencesRefusesEmptyPathsButKeepsTheViewerChoice) {
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
        const struct {
            std::optional<fs::path> answer;
            int button, edit;
            const wchar_t* shown;
        } folders[] = {{fs::path(L"C:\\"), ui::kPrefChooseTemplateId, ui::kPrefTemplateEditId, L"C:\\"},
                       {fs::path(L"C:\\reports"), ui::kPrefChooseOutputId, ui::kPrefOutputEditId, L"C:\\reports\\"},
                       {std::nullopt, ui::kPrefChooseOutputId, ui::kPrefOutputEditId, L"C:\\reports\\"}};
        for (const auto& folder : folders) {
            folderAnswer = folder.answer;
            Press(dialog, folder.button);
            EXPECT_EQ(Field(dialog, folder.edit), folder.shown);
        }

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
    EXPECT_EQ(chooserCalls, (std::vector<std::wstring>{L"folder", L"folder", L"folder", L"program " + UserText(L"BrowserPath"),
                                                       L"explore C:\\reports\\"}));
    EXPECT_EQ(UserText(L"OutputPath"), output);
    EXPECT_EQ(UserText(L"TemplatePath"), templates);
}

TEST_F(Win32DialogsTest, PreferencesOkStoresPathsAndRefillsTheReportList) {
    const fs::path reports = dir / "reports";
    const fs::path templates = dir / "mine";
    test::WriteFileBytes(reports / "only.htm", "<html></html>");
    fs::create_directories(templates);
    registry.SetText(L"Classes\\http\\shell\\open\\command", nullptr, L"\"C:\\Browser\\browse.exe\" -nohome");
    Start();
    registry.SetNumber(kUserKey, L"AutoView", 1);
    const std::wstring storedBrowser = UserText(L"BrowserPath");

    // "通常設定" changes only the program in memory, also when cancelled.
    WithDialog(ui::kCmdPreferences, [](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, ui::kPrefAssociatedRadioId), BST_CHECKED);
        Press(dialog, ui::kPrefDefaultViewerId);
        EXPECT_EQ(Field(dialog, ui::kPrefViewerEditId), L"C:\\Browser\\browse.exe");
        EXPECT_EQ(IsDlgButtonChecked(dialog, ui::kPrefViewerRadioId), BST_CHECKED);
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(App().settings->browserPath, fs::path(L"C:\\Browser\\browse.exe"));
    EXPECT_EQ(UserText(L"BrowserPath"), storedBrowser);
    EXPECT_EQ(UserNumber(L"AutoView"), 1u);

    // OK stores the fields; the next start reads them back.
    const std::pair<int, std::wstring> fields[] = {{ui::kPrefViewerEditId, L"C:\\Viewer\\view.exe"},
                                                   {ui::kPrefOutputEditId, reports.wstring() + L"\\"},
                                                   {ui::kPrefTemplateEditId, templates.wstring() + L"\\"}};
    WithDialog(ui::kCmdPreferences, [&](HWND dialog) {
        for (const auto& [id, text] : fields) SetField(dialog, id, text);
        SendDlgItemMessageW(dialog, ui::kPrefViewerRadioId, BM_CLICK, 0, 0);
        Press(dialog, IDOK);
        EXPECT_FALSE(IsWindowVisible(dialog));  // ended
    });
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(UserText(L"BrowserPath"), fields[0].second);
    EXPECT_EQ(UserText(L"OutputPath"), fields[1].second);
    EXPECT_EQ(UserText(L"TemplatePath"), fields[2].second);
    EXPECT_EQ(UserNumber(L"AutoView"), 2u);
    EXPECT_EQ(RowCount(ReportList()), 1);
    EXPECT_EQ(App().reportList->SelectedRow(), -1);
    Stop();
    Start();
    WithDialog(ui::kCmdPreferences, [&](HWND dialog) {
        for (const auto& [id, text] : fields) EXPECT_EQ(Field(dialog, id), text) << id;
        EXPECT_EQ(IsDlgButtonChecked(dialog, ui::kPrefViewerRadioId), BST_CHECKED);
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(RowCount(ReportList()), 1);
}

// --- Create Report and Export -------------------------------------------------------------------

constexpr int kNameEdit = 1015;
constexpr int kAuthorBox = 1046;
constexpr int kAgendaBox = 1047;
constexpr int kToDoBox = 1048;
constexpr int kTemplateList = 1071;
constexpr int kInstantList = 1070;
constexpr int kCustomReport = 1074;
constexpr int kOpenTemplates = 4;
constexpr int kInstantReport = 5;
constexpr int kTemplateReport = 6;
const std::string kExecutive = "\x83\x47\x83\x4f\x83\x5b\x83\x4e\x83\x65\x83\x42\x83\x75";  // エグゼクティブ
const std::string kMinutesTemplate = "\x8b\x63\x8e\x96\x98\x5e.rtf";                       // 議事録.rtf
const std::string kAgenda = "\x8b\x63\x91\xe8";                                              // 議題

TEST_F(Win32DialogsTest, ReportsFromTheDialogAreTheCommandLineReports) {
    StartWithTemplates();
    const struct {
        std::string shownTemplate, shownInstant;  // the choices the dialog opens with; empty: not looked at
        std::string chooseTemplate, chooseInstant;
        bool boxesOff;  // the agenda and to-do boxes cleared
        const char* name;
        int button;
        const char* kind;
        const char* templateName;  // UTF-8
        const char* extension;
    } cases[] = {
        {kExecutive + ".htm", kExecutive, kMinutesTemplate, "", false, "dialog", kTemplateReport, "executive",
         "\xe8\xad\xb0\xe4\xba\x8b\xe9\x8c\xb2.rtf", ".rtf"},
        {kMinutesTemplate, "", "", "", false, "dialog", kInstantReport, "executive", "", ".htm"},
        {"", "", "", kAgenda, false, "agenda", kInstantReport, "agenda", "", ".htm"},
        {"", kAgenda, "", "", true, "custom", kCustomReport, "custom", "", ".htm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WithDialog(ui::kCmdCreateReport, [&](HWND dialog) {
            if (c.button == kTemplateReport) {
                const Meeting& meeting = *App().meetings->Meetings().at(static_cast<std::size_t>(App().currentMeeting));
                EXPECT_EQ(ControlText(dialog, kNameEdit), meeting.szTitle);
            }
            if (!c.shownTemplate.empty()) {
                EXPECT_EQ(SelectedItem(dialog, kTemplateList), c.shownTemplate);
            }
            if (!c.shownInstant.empty()) {
                EXPECT_EQ(SelectedItem(dialog, kInstantList), c.shownInstant);
            }
            ASSERT_TRUE(c.chooseTemplate.empty() || ChooseItem(dialog, kTemplateList, c.chooseTemplate));
            ASSERT_TRUE(c.chooseInstant.empty() || ChooseItem(dialog, kInstantList, c.chooseInstant));
            if (c.boxesOff) {
                EXPECT_EQ(IsDlgButtonChecked(dialog, kAgendaBox), BST_CHECKED);
                SetCheck(dialog, kAgendaBox, false);
                SetCheck(dialog, kToDoBox, false);
                EXPECT_EQ(registry.Number(kUserKey, L"rAgenda"), 0u);  // stored as clicked
            }
            SetControlText(dialog, kNameEdit, c.name);
            Press(dialog, c.button);
            EXPECT_FALSE(IsWindowVisible(dialog));
        });
        cli::ReportJob job;
        job.kind = c.kind;
        job.templateName = c.templateName;
        EXPECT_EQ(test::ReadFileBytes(Output() / (std::string(c.name) + c.extension)), CommandLineReport(job, c.extension));
    }
    EXPECT_NE(test::ReadFileBytes(Output() / "dialog.rtf").find("\\rtf1"), std::string::npos);
    EXPECT_NE(test::ReadFileBytes(Output() / "custom.htm"), test::ReadFileBytes(Output() / "dialog.htm"));
    EXPECT_EQ(registry.Text(kUserKey, L"LastTemplate"), ui::Wide(kMinutesTemplate));
    EXPECT_EQ(registry.Text(kUserKey, L"LastReport"), ui::Wide(kAgenda));
    EXPECT_EQ(registry.Number(kUserKey, L"rToDo"), 0u);
    EXPECT_EQ(registry.Number(kUserKey, L"rNote"), 1u);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(opened.size(), 4u);  // each report is shown once written
    EXPECT_NE(RowOf(ReportList(), "custom"), -1);
}

TEST_F(Win32DialogsTest, DeclinedOverwriteAndCancelChangeNoFile) {
    StartWithTemplates();
    test::WriteFileBytes(Output() / "keep.htm", "old");
    WithDialog(ui::kCmdCreateReport, [&](HWND dialog) {
        SetControlText(dialog, kNameEdit, "keep");
        Press(dialog, kInstantReport);
        EXPECT_TRUE(IsWindowVisible(dialog));  // the dialog stays for another name
        ASSERT_EQ(ui.questions.size(), 1u);
        EXPECT_EQ(ui.questions[0].caption, "Tavolex");
        SetCheck(dialog, kAuthorBox, false);  // a stored choice that cancelling keeps
        ASSERT_TRUE(ChooseItem(dialog, kInstantList, kAgenda));
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(test::ReadFileBytes(Output() / "keep.htm"), "old");
    EXPECT_EQ(registry.Number(kUserKey, L"rAuthor"), 0u);
    EXPECT_EQ(registry.Text(kUserKey, L"LastReport"), ui::Wide(kAgenda));

    // A missing template folder says so, and the dialog stays.
    WithDialog(ui::kCmdCreateReport, [&](HWND dialog) {
        Press(dialog, kOpenTemplates);
        EXPECT_TRUE(IsWindowVisible(dialog));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, ui::kUnableToOpenFolder);
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(chooserCalls.size(), 1u);
}

TEST_F(Win32DialogsTest, ExportCopiesTheReportWithItsPictures) {
    StartWithTemplates();
    const fs::path target = dir / "export";
    fs::create_directories(target);
    test::WriteFileBytes(Output() / "pic.jpg", "JPEG");
    test::WriteFileBytes(Output() / "shown.htm", "<img src=\"pic.jpg\">\r\n");
    App().reportList->Refill(-1);
    const int row = RowOf(ReportList(), "shown");
    ASSERT_GE(row, 0);
    Click(ReportList(), row);
    folderAnswer.reset();  // the first browse is cancelled
    WithDialog(ui::kCmdExport, [&](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, ui::kExportReportName), "shown");
        EXPECT_EQ(ControlText(dialog, ui::kExportLabel),
                  "\x83\x47\x83\x4e\x83\x58\x83\x7c\x81\x5b\x83\x67\x82\xb7\x82\xe9\x8f\xea\x8f\x8a");
        EXPECT_EQ(fs::path(ui::Wide(ControlText(dialog, ui::kExportDestination))), Output() / "shown.htm");
        EXPECT_NE(SendDlgItemMessageW(dialog, ui::kExportIcon, STM_GETICON, 0, 0), 0);
        Press(dialog, ui::kExportBrowse);
        EXPECT_EQ(fs::path(ui::Wide(ControlText(dialog, ui::kExportDestination))), Output() / "shown.htm");
        folderAnswer = target;
        Press(dialog, ui::kExportBrowse);
        EXPECT_EQ(ui::Wide(ControlText(dialog, ui::kExportDestination)), target.wstring() + L"\\shown.htm");
        Press(dialog, IDOK);
        EXPECT_FALSE(IsWindowVisible(dialog));
        for (const test::ShownMessage& m : ui.messages) ADD_FAILURE() << m.text;
    });
    EXPECT_EQ(test::ReadFileBytes(target / "shown.htm"), "<img src=\"pic.jpg\">\r\n");
    EXPECT_EQ(test::ReadFileBytes(target / "pic.jpg"), "JPEG");

    // Once more to the same place: the replace question, declined, keeps the dialog and the file.
    test::WriteFileBytes(target / "shown.htm", "exported before");
    Click(ReportList(), row);
    WithDialog(ui::kCmdExport, [&](HWND dialog) {
        Press(dialog, ui::kExportBrowse);
        Press(dialog, IDOK);
        EXPECT_TRUE(IsWindowVisible(dialog));
        ASSERT_EQ(ui.questions.size(), 1u);
        EXPECT_EQ(ui.questions[0].text, "shown.htm already exits.\nDo you want to replace it?");
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(test::ReadFileBytes(target / "shown.htm"), "exported before");
}

}  // namespace
}  // namespace tavolex
