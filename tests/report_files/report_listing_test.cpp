#include "report_files/report_listing.h"

#include "platform/file_system.h"
#include "platform/platform.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace tavolex {
namespace {

namespace fs = std::filesystem;

TEST(ReportTypeOfTest, LowerCaseExtensionsOnly) {
    EXPECT_EQ(ReportTypeOf("a.htm"), ReportType::kHtml);
    EXPECT_EQ(ReportTypeOf("a.html"), ReportType::kHtml);
    EXPECT_EQ(ReportTypeOf("c.rtf"), ReportType::kRtf);
    EXPECT_EQ(ReportTypeOf("~x.htm"), ReportType::kHtml);  // only RTF lock files are left out
    EXPECT_FALSE(ReportTypeOf("~x.rtf"));
    EXPECT_FALSE(ReportTypeOf("Report.HTM"));
    EXPECT_FALSE(ReportTypeOf("b.txt"));
    EXPECT_FALSE(ReportTypeOf("a.htm.bak"));
    EXPECT_FALSE(ReportTypeOf("a.rtf.copy"));
}

class ReportListingTest : public ::testing::Test {
protected:
    // The reports of the folder in the order the file system itself gives them.
    std::vector<std::string> FileSystemOrder() const {
        std::vector<std::string> names;
        for (const fs::directory_entry& e : fs::directory_iterator(dir.Path())) {
            const std::string name = platform::PathToCp932(e.path().filename());
            if (e.is_regular_file() && ReportTypeOf(name)) names.push_back(name);
        }
        return names;
    }

    test::TempDir dir;
};

TEST_F(ReportListingTest, ListsOnlyReportFilesInFileSystemOrder) {
    test::WriteFileBytes(dir / "a.htm", std::string(1234, 'x'));
    test::WriteFileBytes(dir / "b.txt", "b");
    test::WriteFileBytes(dir / "c.rtf", "{\\rtf1}");
    test::WriteFileBytes(dir / "~x.rtf", "lock");
    test::WriteFileBytes(dir / "Report.HTM", "upper");
    fs::create_directory(dir / "d.htm");  // a folder is no report

    ASSERT_EQ(CountReports(dir.Path()), 2);
    const std::vector<std::string> order = FileSystemOrder();
    ASSERT_EQ(order.size(), 2u);
    const std::vector<ReportEntry> all = ListReports(dir.Path());
    ASSERT_EQ(all.size(), 2u);
    for (int position = 1; position <= 2; ++position) {
        ReportEntry entry;
        const int type = ReportEntryAt(dir.Path(), position, entry);
        EXPECT_EQ(entry.fileName, order[position - 1]);
        EXPECT_EQ(all[position - 1].fileName, entry.fileName);
        if (entry.fileName == "a.htm") {
            EXPECT_EQ(type, 0);
            EXPECT_EQ(entry.name, "a");
            EXPECT_EQ(entry.sizeText, "1234");
            EXPECT_EQ(entry.type, ReportType::kHtml);
        } else {
            EXPECT_EQ(type, 1);
            EXPECT_EQ(entry.fileName, "c.rtf");
            EXPECT_EQ(entry.name, "c");
            EXPECT_EQ(entry.sizeText, "7");
        }
        EXPECT_TRUE(fs::equivalent(entry.path, dir.Path() / platform::PathFromCp932(entry.fileName)));
        EXPECT_FALSE(entry.dateText.empty());
    }
}

// A position outside the list leaves the entry; a double-byte name stays CP932; a missing folder
// has no reports.
TEST_F(ReportListingTest, EntryAtAPosition) {
    const std::string name = "\x95\x5c";  // 表: its second byte is '\'
    test::WriteFileBytes(dir.Path() / platform::PathFromCp932(name + ".html"), "x");
    ReportEntry entry;
    entry.name = "kept";
    EXPECT_EQ(ReportEntryAt(dir.Path(), 2, entry), -1);
    EXPECT_EQ(ReportEntryAt(dir.Path(), 0, entry), -1);
    EXPECT_EQ(ReportEntryAt(dir.Path(), -5, entry), -1);
    EXPECT_EQ(entry.name, "kept");
    EXPECT_EQ(ReportEntryAt(dir.Path(), 1, entry), 0);
    EXPECT_EQ(entry.fileName, name + ".html");
    EXPECT_EQ(entry.name, name);
    EXPECT_EQ(CountReports(dir / "missing"), 0);
    EXPECT_TRUE(ListReports(dir / "missing").empty());
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

// The date is the creation time: a report copied into the folder long after it was last changed
// shows the time of the copy. Linux file systems without a birth time give the change time.
// (Wine reports no creation time of its own either, so on Windows only the text is checked.)
TEST_F(ReportListingTest, DateIsTheCreationTime) {
    const fs::path report = dir / "copied.htm";
    test::WriteFileBytes(report, "x");
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24 * 365 * 20);
    fs::last_write_time(report, old);
    const std::optional<platform::LocalDateTime> created = platform::FileCreationTime(report);
    ASSERT_TRUE(created);
#ifndef _WIN32
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    struct statx info {};
    ASSERT_EQ(statx(AT_FDCWD, report.c_str(), 0, STATX_BTIME, &info), 0);
    if ((info.stx_mask & STATX_BTIME) != 0 && info.stx_btime.tv_sec != 0) {
        EXPECT_GE(created->year, local.tm_year + 1900 - 1);
    } else {
        EXPECT_LE(created->year, local.tm_year + 1900 - 19);
    }
#endif
    ReportEntry entry;
    ASSERT_EQ(ReportEntryAt(dir.Path(), 1, entry), 0);
    EXPECT_EQ(entry.dateText, ReportDateText(*created));
}

}  // namespace
}  // namespace tavolex
