#include "report_files/report_viewer.h"

#include "platform/launch.h"
#include "tests/support/recording_user_interaction.h"

#include <gtest/gtest.h>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

// Keeps every program start and handler request; answers with the results set beforehand.
class RecordingLauncher final : public platform::Launcher {
public:
    struct Start {
        fs::path program;
        fs::path argument;
    };
    struct Open {
        fs::path target;
        platform::ShellVerb verb;
    };

    bool StartProgram(const fs::path& program, const fs::path& argument) override {
        starts.push_back({program, argument});
        return startResult;
    }
    platform::HandlerResult OpenWithHandler(const fs::path& target, platform::ShellVerb verb) override {
        opens.push_back({target, verb});
        return handlerResult;
    }

    std::vector<Start> starts;
    std::vector<Open> opens;
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
    ASSERT_EQ(launcher.starts.size(), 1u);
    EXPECT_EQ(launcher.starts[0].program, settings.browserPath);
    EXPECT_EQ(launcher.starts[0].argument, fs::path("/reports/my report.htm"));
    EXPECT_EQ(Open(fs::path()), OpenOutcome::kEmptyPath);
    EXPECT_TRUE(launcher.opens.empty());
    for (const char* name : {"x.html", "x.rtf", "X.HTM", "x.htm.bak"}) {
        SCOPED_TRACE(name);
        launcher.opens.clear();
        EXPECT_EQ(Open(fs::path("/reports") / name), OpenOutcome::kHandlerStarted);
        ASSERT_EQ(launcher.opens.size(), 1u);
        EXPECT_EQ(launcher.opens[0].target, fs::path("/reports") / name);
        EXPECT_EQ(launcher.opens[0].verb, platform::ShellVerb::kOpen);
    }
    settings.autoView = 1;
    EXPECT_EQ(Open("/reports/x.htm"), OpenOutcome::kHandlerStarted);
    EXPECT_EQ(launcher.starts.size(), 1u);
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
