#include "report_files/report_listing.h"

#include "platform/file_system.h"
#include "platform/platform.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <map>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

// The .htm, .html and .rtf files of the folder (lower case; RTF lock files left out) in the order
// the file system gives them, with their names, sizes and types (0 HTML, 1 RTF); a double-byte name
// stays CP932; a position outside the list leaves the entry.
TEST(ReportListingTest, ListsOnlyReportFilesInFileSystemOrder) {
    test::TempDir dir;
    const std::string table = "\x95\x5c";  // 表: its second byte is '\'
    test::WriteFileBytes(dir.Path() / platform::PathFromCp932(table + ".html"), std::string(1234, 'x'));
    test::WriteFileBytes(dir / "c.rtf", "{\\rtf1}");
    test::WriteFileBytes(dir / "~x.htm", "");
    for (const char* other : {"~x.rtf", "Report.HTM", "b.txt", "a.htm.bak", "a.rtf.copy"}) test::WriteFileBytes(dir / other, "");
    fs::create_directory(dir / "d.htm");  // a folder is no report
    const std::map<std::string, std::string> expected = {{table + ".html", table + "|1234|0"}, {"c.rtf", "c|7|1"}, {"~x.htm", "~x|0|0"}};
    std::vector<std::string> order;
    for (const fs::directory_entry& e : fs::directory_iterator(dir.Path())) {
        const std::string name = platform::PathToCp932(e.path().filename());
        if (expected.contains(name)) order.push_back(name);
    }
    ASSERT_EQ(CountReports(dir.Path()), 3);
    const std::vector<ReportEntry> all = ListReports(dir.Path());
    ASSERT_EQ(all.size(), 3u);
    for (int position = 1; position <= 3; ++position) {
        ReportEntry entry;
        const int type = ReportEntryAt(dir.Path(), position, entry);
        EXPECT_EQ(entry.fileName, order.at(position - 1));
        EXPECT_EQ(all[position - 1].fileName, entry.fileName);
        EXPECT_EQ(entry.name + "|" + entry.sizeText + "|" + std::to_string(type), expected.at(entry.fileName));
        EXPECT_TRUE(fs::equivalent(entry.path, dir.Path() / platform::PathFromCp932(entry.fileName)));
        EXPECT_EQ(entry.dateText, ReportDateText(platform::FileCreationTime(entry.path).value()));
    }
    ReportEntry entry;
    entry.name = "kept";
    for (int outside : {4, 0, -5}) EXPECT_EQ(ReportEntryAt(dir.Path(), outside, entry), -1);
    EXPECT_EQ(entry.name, "kept");
    EXPECT_EQ(CountReports(dir / "missing"), 0);
}

TEST(ReportDateTextTest, UserShortDateSpaceTime) {
    test::ScopedEnv lang("LANG", "ja_JP.UTF-8");
    test::ScopedEnv all("LC_ALL", std::nullopt);
    test::ScopedEnv time("LC_TIME", std::nullopt);
    const platform::LocalDateTime when{2024, 3, 5, 9, 7, 30};
#ifdef _WIN32
    // The Windows time format keeps the seconds.
    EXPECT_EQ(ReportDateText(when), platform::FormatShortDate(2024, 3, 5) + " 9:07:30");
#else
    EXPECT_EQ(ReportDateText(when), "2024/03/05 9:07");  // the short time has none
#endif
}

}  // namespace
}  // namespace tavolex
