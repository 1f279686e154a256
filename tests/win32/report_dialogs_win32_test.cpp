// The Create Report and export dialogs of the desktop program, driven under Wine from inside
// their own modal loops: what they store in the settings and what they write on disk, compared
// with the command-line program's reports of the same meeting, template and settings.
#include "cli/cli_session.h"
#include "cli/commands_report.h"
#include "meeting_store/records.h"
#include "platform/file_system.h"
#include "tests/support/fixed_clock.h"
#include "tests/win32/desktop_fixture.h"
#include "ui/create_report_dialog.h"
#include "ui/export_dialog.h"

#include <sstream>

namespace tavolex {
namespace {

constexpr int kNameEdit = 1015;
constexpr int kAgendaBox = 1047;
constexpr int kToDoBox = 1048;
constexpr int kTemplateList = 1071;
constexpr int kInstantList = 1070;
constexpr int kCustomReport = 1074;
constexpr int kOpenTemplates = 4;
constexpr int kInstantReport = 5;
constexpr int kTemplateReport = 6;

const std::string kExecutiveTemplate = "\x83\x47\x83\x4f\x83\x5b\x83\x4e\x83\x65\x83\x42\x83\x75.htm";  // エグゼクティブ.htm
const std::string kMinutesTemplate = "\x8b\x63\x8e\x96\x98\x5e.rtf";                                  // 議事録.rtf
const std::string kAgendaItem = "\x8b\x63\x91\xe8";                                                   // 議題
const std::wstring kUserKey = std::wstring(kAppKey) + L"\\TanakaT";

class ReportDialogsTest : public DesktopTest {
protected:
    int choosersCalls = 0;
    std::vector<fs::path> opened;  // reports the viewer was asked to show

    void StartWithTemplates() {
        InstallPalmDesktop();
        fs::create_directories(dir / "install");
        fs::copy(fs::path(L"Z:" + fs::path(TAVOLEX_TEMPLATE_DIR).wstring()), dir / "install" / "templates",
                 fs::copy_options::recursive);
        Start();
        App().reportFolder->SetClock(test::FixedReportTime);
        App().reportFolder->SetViewer([this](const fs::path& report) { opened.push_back(report); });
        Click(MeetingList(), 0);
    }

    fs::path Output() const { return App().settings->outputFolder; }
    fs::path OutputFile(const std::string& cp932) const { return Output() / platform::PathFromCp932(cp932); }

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
};

TEST_F(ReportDialogsTest, ReportsFromTheDialogAreTheCommandLineReports) {
    StartWithTemplates();

    // A report from the RTF template.
    WithDialog(ui::kCmdCreateReport, [&](HWND dialog) {
        const Meeting& meeting = *App().meetings->Meetings().at(static_cast<std::size_t>(App().currentMeeting));
        EXPECT_EQ(ControlText(dialog, kNameEdit), meeting.szTitle);
        EXPECT_EQ(SelectedItem(dialog, kTemplateList), kExecutiveTemplate);
        EXPECT_EQ(SelectedItem(dialog, kInstantList), "\x83\x47\x83\x4f\x83\x5b\x83\x4e\x83\x65\x83\x42\x83\x75");
        ASSERT_TRUE(ChooseItem(dialog, kTemplateList, kMinutesTemplate));
        SetControlText(dialog, kNameEdit, "dialog");
        Press(dialog, kTemplateReport);
        EXPECT_FALSE(IsWindowVisible(dialog));
    });
    cli::ReportJob fromTemplate;
    fromTemplate.templateName = "\xe8\xad\xb0\xe4\xba\x8b\xe9\x8c\xb2.rtf";  // 議事録.rtf in UTF-8
    const std::string minutes = test::ReadFileBytes(Output() / "dialog.rtf");
    EXPECT_NE(minutes.find("\\rtf1"), std::string::npos);
    EXPECT_EQ(minutes, CommandLineReport(fromTemplate, ".rtf"));
    EXPECT_EQ(registry.Text(kUserKey, L"LastTemplate"), ui::Wide(kMinutesTemplate));

    // The instant executive report, in HTML after the RTF report.
    WithDialog(ui::kCmdCreateReport, [&](HWND dialog) {
        EXPECT_EQ(SelectedItem(dialog, kTemplateList), kMinutesTemplate);  // remembered
        SetControlText(dialog, kNameEdit, "dialog");
        Press(dialog, kInstantReport);
    });
    EXPECT_EQ(test::ReadFileBytes(Output() / "dialog.htm"), CommandLineReport({}, ".htm"));

    // The agenda report.
    WithDialog(ui::kCmdCreateReport, [&](HWND dialog) {
        ASSERT_TRUE(ChooseItem(dialog, kInstantList, kAgendaItem));
        SetControlText(dialog, kNameEdit, "agenda");
        Press(dialog, kInstantReport);
    });
    cli::ReportJob agenda;
    agenda.kind = "agenda";
    EXPECT_EQ(test::ReadFileBytes(Output() / "agenda.htm"), CommandLineReport(agenda, ".htm"));
    EXPECT_EQ(registry.Text(kUserKey, L"LastReport"), ui::Wide(kAgendaItem));

    // A custom report without agendas and to-dos: the boxes are stored as they are clicked.
    WithDialog(ui::kCmdCreateReport, [&](HWND dialog) {
        EXPECT_EQ(SelectedItem(dialog, kInstantList), kAgendaItem);
        EXPECT_EQ(IsDlgButtonChecked(dialog, kAgendaBox), BST_CHECKED);
        SetCheck(dialog, kAgendaBox, false);
        SetCheck(dialog, kToDoBox, false);
        EXPECT_EQ(registry.Number(kUserKey, L"rAgenda"), 0u);
        SetControlText(dialog, kNameEdit, "custom");
        Press(dialog, kCustomReport);
    });
    EXPECT_EQ(registry.Number(kUserKey, L"rToDo"), 0u);
    EXPECT_EQ(registry.Number(kUserKey, L"rNote"), 1u);
    cli::ReportJob custom;
    custom.kind = "custom";
    const std::string customReport = test::ReadFileBytes(Output() / "custom.htm");
    EXPECT_EQ(customReport, CommandLineReport(custom, ".htm"));
    EXPECT_NE(customReport, test::ReadFileBytes(Output() / "dialog.htm"));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(opened.size(), 4u);  // each report is shown once written

    // The report list shows the new reports.
    bool listed = false;
    for (int row = 0; row < RowCount(ReportList()); ++row) listed = listed || ListText(ReportList(), row, 0) == "custom";
    EXPECT_TRUE(listed);
}

TEST_F(ReportDialogsTest, DeclinedOverwriteAndCancelChangeNoFile) {
    StartWithTemplates();
    test::WriteFileBytes(Output() / "keep.htm", "old");
    ui.answer = false;
    WithDialog(ui::kCmdCreateReport, [&](HWND dialog) {
        SetControlText(dialog, kNameEdit, "keep");
        Press(dialog, kInstantReport);
        EXPECT_TRUE(IsWindowVisible(dialog));  // the dialog stays for another name
        ASSERT_EQ(ui.questions.size(), 1u);
        EXPECT_EQ(ui.questions[0].caption, "Tavolex");
        SetCheck(dialog, 1046, false);  // a stored choice that cancelling keeps
        ASSERT_TRUE(ChooseItem(dialog, kInstantList, kAgendaItem));
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(test::ReadFileBytes(Output() / "keep.htm"), "old");
    EXPECT_EQ(registry.Number(kUserKey, L"rAuthor"), 0u);
    EXPECT_EQ(registry.Text(kUserKey, L"LastReport"), ui::Wide(kAgendaItem));

    // A name with characters a file can't hold is cleaned; a missing template folder says so.
    choosersCalls = 0;
    App().choosers.exploreFolder = [this](HWND, const fs::path&) {
        ++choosersCalls;
        return ui::ExploreResult::kNotFound;
    };
    WithDialog(ui::kCmdCreateReport, [&](HWND dialog) {
        Press(dialog, kOpenTemplates);
        EXPECT_TRUE(IsWindowVisible(dialog));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, ui::kUnableToOpenFolder);
        SetControlText(dialog, kNameEdit, "a:b");
        ui.answer = true;
        Press(dialog, kInstantReport);
    });
    EXPECT_EQ(choosersCalls, 1);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].caption, "Filename Change");
    EXPECT_TRUE(fs::exists(Output() / "a b.htm"));
}

TEST_F(ReportDialogsTest, ExportCopiesTheReportWithItsPictures) {
    StartWithTemplates();
    const fs::path target = dir / "export";
    fs::create_directories(target);
    test::WriteFileBytes(Output() / "pic.jpg", "JPEG");
    test::WriteFileBytes(Output() / "shown.htm", "<img src=\"pic.jpg\">\r\n");
    App().reportList->Refill(-1);
    int row = -1;
    for (int r = 0; r < RowCount(ReportList()); ++r) {
        if (ListText(ReportList(), r, 0) == "shown") row = r;
    }
    ASSERT_GE(row, 0);
    Click(ReportList(), row);

    std::optional<fs::path> chosen;  // the first browse is cancelled
    App().choosers.chooseFolder = [&](HWND) { return chosen; };
    WithDialog(ui::kCmdExport, [&](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, ui::kExportReportName), "shown");
        EXPECT_EQ(ControlText(dialog, ui::kExportLabel),
                  "\x83\x47\x83\x4e\x83\x58\x83\x7c\x81\x5b\x83\x67\x82\xb7\x82\xe9\x8f\xea\x8f\x8a");
        EXPECT_EQ(fs::path(ui::Wide(ControlText(dialog, ui::kExportDestination))), Output() / "shown.htm");
        EXPECT_NE(SendDlgItemMessageW(dialog, ui::kExportIcon, STM_GETICON, 0, 0), 0);
        Press(dialog, ui::kExportBrowse);
        EXPECT_EQ(fs::path(ui::Wide(ControlText(dialog, ui::kExportDestination))), Output() / "shown.htm");
        chosen = target;
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
    ui.answer = false;
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
