// Faults of the file system where Windows differs from POSIX: a report held open by another
// program without sharing, a report marked read-only, and a file placed at an export's temporary
// name. A write or rename onto any of them fails with the system's message (or a failure), or
// passes it by, and leaves the files as they were.
#include "platform/file_system.h"
#include "report/report_folder.h"
#include "report_files/report_operations.h"
#include "report_files/report_writer.h"
#include "base/trace.h"
#include "tests/support/loaded_user.h"
#include "tests/support/recording_user_interaction.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kWriteFailed = "Writing report failed.\nThe file may be locked by another application.";
constexpr std::string_view kOldReport = "<html>old report</html>\r\n";

class Win32FileFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetTraceTargets({nullptr, nullptr, nullptr});
        options_ = {.outputFolder = dir_ / "out", .templateFolder = dir_ / "templates"};
        fs::create_directories(options_.templateFolder);
        writer_.SetOptionsSource([this] { return options_; });
        writer_.SetViewer([](const fs::path&) {});
        test::WriteFileBytes(Out("old.htm"), kOldReport);
    }

    void TearDown() override {
        for (const auto& entry : fs::directory_iterator(options_.outputFolder))
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    fs::path Out(std::string_view name) const { return options_.outputFolder / name; }

    test::TempDir dir_;
    const test::LoadedUser user_{{.meetings = {{.title = "Review", .date = test::HandheldDay(2004, 5, 17)}}}};
    test::RecordingUserInteraction ui_;
    ReportOptions options_;
    ReportFolder report_{user_.store, user_.book};
    ReportWriter writer_{report_, ui_};
};

TEST_F(Win32FileFaultTest, ReportHeldOpenOrReadOnlyIsNeitherWrittenNorRenamedOver) {
    test::WriteFileBytes(Out("other.htm"), "<html>other</html>\r\n");
    HANDLE held = CreateFileW(Out("old.htm").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(writer_.WriteBuiltInReport(Out("old.htm"), user_.M(0), ReportKind::kExecutive));
    CloseHandle(held);
    ASSERT_TRUE(SetFileAttributesW(Out("old.htm").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(writer_.WriteBuiltInReport(Out("old.htm"), user_.M(0), ReportKind::kExecutive));
    ASSERT_EQ(ui_.messages.size(), 2u);
    for (const auto& message : ui_.messages) EXPECT_EQ(message.text, kWriteFailed);

    const ReportPaths paths{options_.outputFolder, options_.templateFolder};
    EXPECT_FALSE(RenameReport(paths, "other.htm", "old", ui_));
    EXPECT_EQ(test::ReadFileBytes(Out("old.htm")), kOldReport);
    EXPECT_EQ(test::ReadFileBytes(Out("other.htm")), "<html>other</html>\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(options_.outputFolder), fs::directory_iterator()), 2);  // no temporary file
    EXPECT_NE(GetFileAttributesW(Out("old.htm").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);

    // Once writable and let go, the same report is written.
    SetFileAttributesW(Out("old.htm").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(writer_.WriteBuiltInReport(Out("old.htm"), user_.M(0), ReportKind::kExecutive));
    EXPECT_NE(test::ReadFileBytes(Out("old.htm")), kOldReport);
}

// A file at an export's temporary name is never opened: the temporary takes another name.
TEST_F(Win32FileFaultTest, TakenTemporaryNameIsPassedOver) {
    test::WriteFileBytes(Out("a.ics.partial"), "mine");
    fs::path temp;
    std::error_code error;
    platform::UniqueFile file = platform::CreateTemporaryFor(Out("a.ics"), temp, error);
    ASSERT_TRUE(file) << error.message();
    ASSERT_GE(std::fputs("new", file.get()), 0);
    EXPECT_FALSE(platform::CommitTemporaryFile(std::move(file), temp, Out("a.ics")));
    EXPECT_EQ(test::ReadFileBytes(Out("a.ics.partial")) + test::ReadFileBytes(Out("a.ics")), "minenew");
}

}  // namespace
}  // namespace tavolex
