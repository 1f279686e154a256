#include "report_files/report_viewer.h"

#include "platform/launch.h"
#include "tests/support/recording_user_interaction.h"

#include <gtest/gtest.h>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

// Keeps every program start ("start program|argument") and handler request ("open target|verb"), in
// order; answers with the results set beforehand.
class RecordingLauncher final : public platform::Launcher {
public:
    bool StartProgram(const fs::path& program, const fs::path& argument) override {
        calls.push_back("start " + program.string() + "|" + argument.string());
        return startResult;
    }
    platform::HandlerResult OpenWithHandler(const fs::path& target, platform::ShellVerb verb) override {
        calls.push_back("open " + target.string() + (verb == platform::ShellVerb::kOpen ? "|open" : "|explore"));
        return handlerResult;
    }

    std::vector<std::string> calls;
    bool startResult = true;
    platform::HandlerResult handlerResult = platform::HandlerResult::kStarted;
};

class ReportViewerTest : public ::testing::Test {
protected:
    OpenOutcome Open(const fs::path& path) { return OpenReportPath(path, settings, launcher, ui); }

    ViewerSettings settings{kAutoViewBrowser, fs::path("/opt/my viewer/view")};
    RecordingLauncher launcher;
    test::RecordingUserInteraction ui;
};

// An .htm report goes to the browser path with the path as one argument; everything else, and
// .htm too when the setting says so, to the system handler; an empty path to neither.
TEST_F(ReportViewerTest, ViewerOrHandlerByExtension) {
    EXPECT_EQ(Open("/reports/my report.htm"), OpenOutcome::kViewerStarted);
    EXPECT_EQ(Open(fs::path()), OpenOutcome::kEmptyPath);
    std::vector<std::string> expected = {"start /opt/my viewer/view|/reports/my report.htm"};
    for (const char* name : {"x.html", "x.rtf", "X.HTM", "x.htm.bak"}) {
        EXPECT_EQ(Open(fs::path("/reports") / name), OpenOutcome::kHandlerStarted) << name;
        expected.push_back("open " + (fs::path("/reports") / name).string() + "|open");
    }
    settings.autoView = 1;
    EXPECT_EQ(Open("/reports/x.htm"), OpenOutcome::kHandlerStarted);
    expected.push_back("open /reports/x.htm|open");
    EXPECT_EQ(launcher.calls, expected);
    EXPECT_TRUE(ui.messages.empty());
}

// A viewer that does not start and a missing file show their messages; a failing handler none.
TEST_F(ReportViewerTest, FailuresShowTheirMessages) {
    launcher.startResult = false;
    EXPECT_EQ(Open("/reports/a.htm"), OpenOutcome::kViewerFailed);
    launcher.handlerResult = platform::HandlerResult::kNotFound;
    EXPECT_EQ(Open("/reports/a.html"), OpenOutcome::kNotFound);
    launcher.handlerResult = platform::HandlerResult::kFailed;
    EXPECT_EQ(Open("/reports/a.rtf"), OpenOutcome::kHandlerFailed);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "Unable to launch viewer, check settings in Tools > Options > Preferred HTML Viewer.");
    EXPECT_EQ(ui.messages[0].icon, platform::MessageIcon::kNone);
    EXPECT_EQ(ui.messages[1].text, "Unable to open file, it may no longer exist.");
    EXPECT_EQ(ui.messages[0].caption + ui.messages[1].caption, "");
}

}  // namespace
}  // namespace tavolex
