// The system's launcher and mail program on Linux, against recording programs that the tests write
// into their own folder and put first on PATH. (The Windows build tests its own under Wine.)
#ifndef _WIN32

#include "platform/launch.h"
#include "report_files/report_mailer.h"
#include "report_files/report_viewer.h"
#include "tests/support/recording_user_interaction.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

// A program that writes its arguments, one a line, into log (whole, by a rename at the end).
void WriteRecorder(const fs::path& program, const fs::path& log) {
    fs::create_directories(program.parent_path());
    test::WriteFileBytes(program,
                         "#!/bin/sh\n"
                         "{ printf '%s\\n' \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" +
                             log.string() + ".part' && /bin/mv '" + log.string() + ".part' '" + log.string() + "'\n");
    fs::permissions(program, fs::perms::owner_all);
}

// The lines the recorder wrote: argument count, then each argument. Nothing after ten seconds.
std::vector<std::string> WaitForLog(const fs::path& log) {
    for (int i = 0; i < 200 && !fs::exists(log); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::vector<std::string> lines;
    if (!fs::exists(log)) return lines;
    std::istringstream in(test::ReadFileBytes(log));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

using Strings = std::vector<std::string>;

class SystemLaunchTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScopedEnv path{"PATH", (dir / "bin").string() + ":/usr/bin:/bin"};
    test::RecordingUserInteraction ui;
};

// A stored viewer command keeps its own quotes and arguments, the report path (with a space) last.
TEST_F(SystemLaunchTest, ProgramsGetTheirArgumentsWhole) {
    const fs::path viewer = dir / "my viewer" / "view";
    WriteRecorder(viewer, dir / "command.log");
    const fs::path report = dir / "my report.htm";
    test::WriteFileBytes(report, "x");
    EXPECT_EQ(OpenReportPath(report, {kAutoViewBrowser, "\"" + viewer.string() + "\" -nohome"}, platform::SystemLauncher(), ui),
              OpenOutcome::kViewerStarted);
    EXPECT_EQ(WaitForLog(dir / "command.log"), (Strings{"2", "-nohome", report.string()}));
    EXPECT_EQ(OpenReportPath(report, {kAutoViewBrowser, "no-such-viewer -nohome"}, platform::SystemLauncher(), ui),
              OpenOutcome::kViewerFailed);
    // The mail program gets the subject and each attachment as UTF-8 arguments.
    WriteRecorder(dir / "bin" / "xdg-email", dir / "mail.log");
    ReportMailer mailer;
    mailer.SetUp();
    ASSERT_TRUE(mailer.Available());
    const ReportPaths paths{dir / "out", dir / "templates"};
    fs::create_directories(paths.outputFolder);
    const fs::path minutes = paths.outputFolder / "\xe4\xbc\x9a\xe8\xad\xb0.htm";  // 会議.htm
    test::WriteFileBytes(minutes, "src=\"1 2.jpg\"");
    test::WriteFileBytes(paths.templateFolder / "1 2.jpg", "J");  // a template picture, copied beside the report
    EXPECT_TRUE(mailer.SendReport(paths, "\x89\xef\x8b\x63.htm", ui));
    EXPECT_EQ(WaitForLog(dir / "mail.log"), (Strings{"7", "--utf8", "--subject", "\xe4\xbc\x9a\xe8\xad\xb0.htm", "--attach",
                                                     minutes.string(), "--attach", (paths.outputFolder / "1 2.jpg").string()}));
}

}  // namespace
}  // namespace tavolex

#endif
