// The export commands run as a user runs them, on the sample Palm folder: exit statuses, the
// --json summaries, and the files they name.
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/wait.h>

#include <string>
#include <vector>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

struct CommandCase {
    std::vector<std::string> arguments;  // "@" stands for the test's scratch folder
    int status;
    int meetings;   // the summary's count; -1: no summary
    int addresses;  // -1: not checked
    std::string err = "";  // a part of stderr
};

std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

TEST(ExportCommandsTest, StatusesSummariesAndFiles) {
    test::TempDir dir;
    test::WriteFileBytes(dir / "taken.sqlite", "x");
    const CommandCase cases[] = {
        {{"--json", "sqlite", "@/db.sqlite"}, 0, 12, 6},
        {{"--json", "dump", "-o", "@/d.json", "--since", "2026-12-01"}, 0, 4, 6},
        {{"--json", "calendar", "-o", "@/c.ics", "1-3"}, 0, 3, -1},
        {{"--json", "contacts", "-o", "@/p.vcf", "--attendees", "1"}, 0, 0, 3},
        {{"--json", "archive", "@/archive", "--encoding", "utf-8", "--category", "プロジェクト"}, 0, 3, -1},
        {{"--json", "calendar"}, 2, -1, -1},          // the summary needs a file
        {{"contacts", "1"}, 2, -1, -1},               // meetings choose people only with --attendees
        {{"archive"}, 2, -1, -1},                     // no folder
        {{"archive", "@/a", "--encoding", "euc"}, 2, -1, -1},
        {{"sqlite", "@/taken.sqlite"}, 1, -1, -1},    // not replaced without --force
        {{"dump", "99"}, 1, -1, -1},
        {{"archive", "@/taken.sqlite/a"}, 1, -1, -1,
         "The export could not be written.\ncannot create the folder " + (dir / "taken.sqlite" / "a").string() +
             ": Not a directory"},
    };
    const std::string run = "env LC_ALL=ja_JP.UTF-8 TAVOLEX_TRACE= " + Quote(TAVOLEX_CLI_PATH) + " --config " +
                            Quote((dir / "config").string()) + " --palm-folder " + Quote(TAVOLEX_SAMPLE_PALM_DIR) + " --user TanakaT";
    for (const CommandCase& c : cases) {
        std::string command = run;
        for (const std::string& a : c.arguments) command += " " + Quote(a.starts_with("@") ? dir.Path().string() + a.substr(1) : a);
        SCOPED_TRACE(command);
        command += " </dev/null >" + Quote((dir / "stdout").string()) + " 2>" + Quote((dir / "stderr").string());
        const int raw = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(raw));
        EXPECT_EQ(WEXITSTATUS(raw), c.status);
        EXPECT_NE(test::ReadFileBytes(dir / "stderr").find(c.err), std::string::npos) << test::ReadFileBytes(dir / "stderr");
        if (c.meetings < 0) continue;
        const nlohmann::json summary = nlohmann::json::parse(test::ReadFileBytes(dir / "stdout"));
        EXPECT_EQ(summary["meetings"], c.meetings);
        EXPECT_EQ(summary["addresses"], c.addresses >= 0 ? nlohmann::json(c.addresses) : summary["addresses"]);
        for (const auto& file : summary["files"]) EXPECT_TRUE(fs::is_regular_file(file.get<std::string>())) << file;
    }
    // --encoding utf-8: the reports' text and their charset declaration.
    fs::path reportPath;
    for (const auto& entry : fs::directory_iterator(dir / "archive")) {
        if (entry.path().extension() == ".htm") reportPath = entry.path();
    }
    const std::string report = test::ReadFileBytes(reportPath);
    EXPECT_NE(report.find("charset=utf-8"), std::string::npos);
    EXPECT_EQ(report.find("shift_jis"), std::string::npos);
}

}  // namespace
}  // namespace tavolex
