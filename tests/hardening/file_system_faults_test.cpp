// Faults of the file system, made for real on Linux: a file-size limit reached in the middle of a
// report, an export or the settings file, and an output folder that disappears between its listing
// and the operation.
// Each operation fails with a message (or a failure status) and leaves every earlier file whole.

#include "address_book/address_book.h"
#include "meeting_store/meeting_database.h"
#include "platform/platform.h"
#include "report/report_folder.h"
#include "report_files/report_images.h"
#include "report_files/report_listing.h"
#include "report_files/report_operations.h"
#include "shell/trace.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/recording_user_interaction.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kWriteFailed = "Writing report failed.\nThe file may be locked by another application.";

// Runs body in a forked child with SIGXFSZ ignored and files limited to limitBytes, so the limit
// never reaches the test runner. The child's result is body's: true passes.
bool InChildWithFileSizeLimit(rlim_t limitBytes, const std::function<bool()>& body) {
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{limitBytes, limitBytes};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(3);
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> FileNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ReportFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetTraceTargets({nullptr, nullptr, nullptr});
        test::PalmUserSpec user;
        user.categories = {"Unfiled"};
        test::MeetingSpec meeting{.title = "Review", .date = test::HandheldDay(2004, 5, 17)};
        for (int i = 0; i < 40; ++i) meeting.items.push_back(test::NoteSpec{.text = "note " + std::string(200, 'n')});
        user.meetings = {meeting};
        test::WritePalmUserFolder(dir_ / "db", user);
        store_.SetFolder(dir_ / "db");
        store_.ReloadAll();
        options_.outputFolder = dir_ / "out";
        options_.templateFolder = dir_ / "templates";
        fs::create_directories(options_.outputFolder);
        fs::create_directories(options_.templateFolder);
        report_.SetOptionsSource([this] { return options_; });
        report_.SetViewer([](const fs::path&) {});
        paths_ = {options_.outputFolder, options_.templateFolder};
        test::WriteFileBytes(Out("old.htm"), kOldReport);
        test::WriteFileBytes(Out("pic.gif"), "GIF89a");
    }

    fs::path Out(std::string_view name) const { return options_.outputFolder / name; }
    const Meeting& TheMeeting() const { return *store_.Meetings().front(); }

    static constexpr std::string_view kOldReport = "<html>old report <img src=\"pic.gif\"></html>\r\n";

    test::TempDir dir_;
    MeetingDatabase store_{{}};
    AddressBook book_;
    test::RecordingUserInteraction ui_;
    ReportOptions options_;
    ReportFolder report_{store_, book_, ui_};
    ReportPaths paths_;
};

TEST_F(ReportFaultTest, FileSizeLimitInTheMiddleOfAReportKeepsTheOldReport) {
    // The report is over 8 KB; the limit lets the temporary file start and stops it half-way.
    ASSERT_GT(report_.ComposeBuiltInReport(TheMeeting(), ReportKind::kCustom, options_).size(), 8192u);
    const fs::path templatePath = options_.templateFolder / "t.htm";
    test::WriteFileBytes(templatePath, "<html>{TITLE}{NOTES_BEGIN}{NOTE}<br>{NOTES_END}</html>");
    ASSERT_TRUE(report_.LoadTemplateFile(templatePath));

    const bool childPassed = InChildWithFileSizeLimit(4096, [&] {
        const bool builtInFailed = !report_.WriteBuiltInReport(Out("old.htm"), TheMeeting(), ReportKind::kCustom);
        const bool templateFailed = !report_.WriteTemplateReport(Out("old.htm"), TheMeeting());
        return builtInFailed && templateFailed && ui_.messages.size() == 2 && ui_.messages[0].text == kWriteFailed &&
               ui_.messages[1].text == kWriteFailed && test::ReadFileBytes(Out("old.htm")) == kOldReport;
    });
    EXPECT_TRUE(childPassed);
    EXPECT_EQ(test::ReadFileBytes(Out("old.htm")), kOldReport);
    // No half-written temporary file stays behind.
    EXPECT_EQ(FileNames(options_.outputFolder), (std::vector<std::string>{"old.htm", "pic.gif"}));
    // Without the limit the same report is written.
    EXPECT_TRUE(report_.WriteBuiltInReport(Out("old.htm"), TheMeeting(), ReportKind::kCustom));
    EXPECT_GT(fs::file_size(Out("old.htm")), 8192u);
}

TEST_F(ReportFaultTest, OutputFolderThatDisappearsAfterTheListing) {
    const std::vector<ReportEntry> listed = ListReports(options_.outputFolder);
    ASSERT_EQ(listed.size(), 1u);
    const fs::path moved = dir_ / "moved-away";
    fs::rename(options_.outputFolder, moved);

    EXPECT_EQ(ExportReport(paths_, listed[0].fileName, dir_ / "export.htm", ui_), TransferOutcome::kFailed);
    EXPECT_FALSE(fs::exists(dir_ / "export.htm"));
    ASSERT_FALSE(ui_.messages.empty());
    EXPECT_FALSE(ui_.messages.back().text.empty());
    EXPECT_FALSE(RenameReport(paths_, listed[0].fileName, "renamed", ui_));
    // Deleting a report that is no longer there finds it gone, and removes nothing elsewhere.
    ui_.answer = true;
    EXPECT_EQ(DeleteReport(paths_, listed[0].fileName, ui_), DeleteOutcome::kDeleted);
    ReportImageList images;
    EXPECT_FALSE(CollectReportImages(listed[0].path, paths_, ui_, images));
    EXPECT_EQ(CountReports(options_.outputFolder), 0);
    // A report written now fails with the message; nothing is made in the folder's place.
    ui_.messages.clear();
    EXPECT_FALSE(report_.WriteBuiltInReport(Out("new.htm"), TheMeeting(), ReportKind::kExecutive));
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, kWriteFailed);
    EXPECT_FALSE(fs::exists(options_.outputFolder));
    // Every file is still where it went.
    EXPECT_EQ(FileNames(moved), (std::vector<std::string>{"old.htm", "pic.gif"}));
    EXPECT_EQ(test::ReadFileBytes(moved / "old.htm"), kOldReport);
}

TEST_F(ReportFaultTest, ExportStoppedByTheFileSizeLimitKeepsTheSource) {
    test::WriteFileBytes(Out("big.htm"), std::string(16384, 'b'));
    fs::create_directories(dir_ / "dest");
    const bool childPassed = InChildWithFileSizeLimit(4096, [&] {
        return ExportReport(paths_, "big.htm", dir_ / "dest", ui_) == TransferOutcome::kFailed && !ui_.messages.empty();
    });
    EXPECT_TRUE(childPassed);
    EXPECT_EQ(test::ReadFileBytes(Out("big.htm")), std::string(16384, 'b'));
    // No cut copy is left at the destination.
    EXPECT_FALSE(fs::exists(dir_ / "dest" / "big.htm"));
}

TEST(SettingsFaultTest, SettingsFileThatCannotBeWrittenKeepsItsLastGoodContent) {
    test::TempDir dir;
    {
        auto backend = platform::OpenSystemSettings(dir.Path());
        std::unique_ptr<platform::SettingsKeyHandle> key;
        ASSERT_EQ(backend->OpenKey("Software\\Brenmark\\Tavolex", platform::KeyAccess::kCreate, key), platform::kSettingsOk);
        ASSERT_EQ(key->WriteString("OutputPath", "/home/me/Reports/"), platform::kSettingsOk);
    }
    const fs::path file = dir / "settings.ini";
    const std::string good = test::ReadFileBytes(file);
    ASSERT_FALSE(good.empty());

    // The limit is the file's own size: a longer file can't be written.
    const bool childPassed = InChildWithFileSizeLimit(good.size(), [&] {
        auto backend = platform::OpenSystemSettings(dir.Path());
        std::unique_ptr<platform::SettingsKeyHandle> key;
        if (backend->OpenKey("Software\\Brenmark\\Tavolex", platform::KeyAccess::kWriteExisting, key) != platform::kSettingsOk) {
            return false;
        }
        const platform::SettingsStatus status = key->WriteString("TemplatePath", std::string(1000, 't'));
        std::string value;
        // The store keeps answering with what the file holds.
        return status != platform::kSettingsOk && key->ReadString("TemplatePath", 2000, value) == platform::kSettingsNotFound &&
               key->ReadString("OutputPath", 2000, value) == platform::kSettingsOk && value == "/home/me/Reports/";
    });
    EXPECT_TRUE(childPassed);
    EXPECT_EQ(test::ReadFileBytes(file), good);
    EXPECT_EQ(FileNames(dir.Path()), std::vector<std::string>{"settings.ini"});
}

}  // namespace
}  // namespace tavolex
