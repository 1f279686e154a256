// The report viewer, the shell handler and Simple MAPI on Windows, under Wine: a recording viewer
// program and the stand-in MAPI32.DLL beside this test (loaded with WINEDLLOVERRIDES=mapi32=n).
#include "platform/file_system.h"
#include "platform/launch.h"
#include "report_files/report_mailer.h"
#include "report_files/report_viewer.h"
#include "tests/support/recording_user_interaction.h"
#include "tests/win32/win32_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

// The viewer and the stand-in MAPI32.DLL write their logs where these variables say (each test's own).
class Win32ReportFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableW(L"TAVOLEX_VIEWER_LOG", (dir / "viewer.log").c_str());
        SetEnvironmentVariableW(L"TAVOLEX_MAPI_LOG", (dir / "mapi.log").c_str());
    }

    test::TempDir dir;
    test::RecordingUserInteraction ui;
};

// "<dir>\a b\viewer.exe" unquoted would start "<dir>\a.exe": the program must be named whole; a
// stored command ("...\view.exe" -nohome, as the shell stores a browser) is used as it is.
TEST_F(Win32ReportFilesTest, BrowserPathIsStartedWholeOrAsTheStoredCommand) {
    const fs::path viewer = dir / "a b" / "viewer.exe";
    fs::create_directories(viewer.parent_path());
    for (const fs::path& to : {viewer, dir / "a.exe"}) fs::copy_file(test::ProgramFolder() / "viewer_standin.exe", to);
    const fs::path report = dir / "my report.htm";
    test::WriteFileBytes(report, "x");
    const struct {
        std::wstring browser;
        std::vector<std::string> arguments;  // after the program
    } cases[] = {
        {viewer.wstring(), {platform::PathToUtf8(report)}},
        {L"\"" + viewer.wstring() + L"\" -nohome", {"-nohome", platform::PathToUtf8(report)}},
    };
    for (const auto& c : cases) {
        fs::remove(dir / "viewer.log");
        EXPECT_EQ(OpenReportPath(report, {kAutoViewBrowser, c.browser}, platform::SystemLauncher(), ui), OpenOutcome::kViewerStarted);
        // The started viewer is not waited for: its log once it is there, ten seconds at most.
        for (int i = 0; i < 200 && !fs::exists(dir / "viewer.log"); ++i) Sleep(50);
        const std::vector<std::string> lines = test::Lines(test::ReadFileBytes(dir / "viewer.log"));
        ASSERT_EQ(lines.size(), c.arguments.size() + 1);
        EXPECT_TRUE(fs::equivalent(fs::u8path(lines[0]), viewer)) << lines[0];
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()), c.arguments);
    }
}

// Which pictures go with a report is proven on Linux; here, the message Simple MAPI is handed.
TEST_F(Win32ReportFilesTest, MailSubjectIsTheFileNameAndThePicturesAreAttached) {
    // Never hand a message to Wine's own mapi32: it would start the host's mail program.
    HMODULE library = LoadLibraryW(L"MAPI32.DLL");
    ASSERT_NE(library, nullptr);
    ASSERT_NE(GetProcAddress(library, "TavolexMapiStandIn"), nullptr)
        << "Wine's built-in mapi32 was loaded; the test needs WINEDLLOVERRIDES=mapi32=n";
    FreeLibrary(library);
    const ReportPaths paths{dir / "out", dir / "templates"};
    ReportMailer mailer;
    mailer.SetUp();
    ASSERT_TRUE(mailer.Available());
    const std::string name = "\x89\xef\x8b\x63.htm";  // 会議.htm
    const fs::path report = paths.outputFolder / platform::PathFromCp932(name);
    test::WriteFileBytes(report, "<img src=\"1.jpg\">");
    test::WriteFileBytes(paths.outputFolder / "1.jpg", "1");
    EXPECT_TRUE(mailer.SendReport(paths, name, ui));
    EXPECT_TRUE(ui.messages.empty());
    const auto file = [](int i, const fs::path& path) {
        return "file " + std::to_string(i) + " reserved=0 flags=0 position=4294967295 path=\"" + platform::PathToCp932(path) +
               "\" name=null type=null";  // the prefix's code page is 932
    };
    EXPECT_EQ(test::Lines(test::ReadFileBytes(dir / "mapi.log")),
              (std::vector<std::string>{"MAPILogon ui=0 profile=null password=null flags=0 reserved=0 session=set",
                                        "MAPISendMail session=0 ui=0 flags=9 reserved=0",
                                        "message reserved=0 subject=\"" + name +
                                            "\" note=null type=null date=null conversation=null flags=0 originator=null recipients=0 "
                                            "recips=null files=2",
                                        file(0, report), file(1, paths.outputFolder / "1.jpg")}));
}

}  // namespace
}  // namespace tavolex
