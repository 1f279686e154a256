// Faults of the file system, made for real on Linux: an output folder that disappears between its
// listing and the operation, a file-size limit reached while the settings file is rewritten, and a
// symbolic link planted where an output's temporary file will be made. Each operation fails with a
// message (or a failure status), or does its job, and leaves every other file whole.

#include "platform/platform.h"
#include "report/report_folder.h"
#include "report_files/report_images.h"
#include "report_files/report_listing.h"
#include "report_files/report_operations.h"
#include "report_files/report_writer.h"
#include "base/trace.h"
#include "tests/support/loaded_user.h"
#include "tests/support/no_default_browser.h"
#include "tests/support/recording_user_interaction.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> FileNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ReportFaultTest, OutputFolderThatDisappearsAfterTheListing) {
    SetTraceTargets({nullptr, nullptr, nullptr});
    const test::LoadedUser user({.categories = {"Unfiled"}, .meetings = {{.title = "Review", .date = test::HandheldDay(2004, 5, 17)}}});
    const test::TempDir& dir = user.dir;
    const ReportPaths paths{dir / "out", dir / "templates"};
    test::WriteFileBytes(paths.outputFolder / "old.htm", "<html>old report <img src=\"pic.gif\"></html>\r\n");
    test::WriteFileBytes(paths.outputFolder / "pic.gif", "GIF89a");
    test::RecordingUserInteraction ui;
    ReportFolder report(user.store, user.book);
    ReportWriter writer(report, ui);
    writer.SetOptionsSource([&] { return ReportOptions{.outputFolder = paths.outputFolder}; });

    const std::vector<ReportEntry> listed = ListReports(paths.outputFolder);
    ASSERT_EQ(listed.size(), 1u);
    const fs::path moved = dir / "moved-away";
    fs::rename(paths.outputFolder, moved);
    EXPECT_EQ(ExportReport(paths, listed[0].fileName, dir / "export.htm", ui), TransferOutcome::kFailed);
    EXPECT_FALSE(fs::exists(dir / "export.htm"));
    EXPECT_FALSE(RenameReport(paths, listed[0].fileName, "renamed", ui));
    // Deleting a report that is no longer there finds it gone, and removes nothing elsewhere.
    ui.answer = true;
    EXPECT_EQ(DeleteReport(paths, listed[0].fileName, ui), DeleteOutcome::kDeleted);
    ReportImageList images;
    EXPECT_FALSE(CollectReportImages(listed[0].path, paths, ui, images));
    // A report written now fails (with the message ReportGeneratorTest.ReportsAreWrittenWithCrLfAndOpened
    // checks); nothing is made in the folder's place.
    EXPECT_FALSE(writer.WriteBuiltInReport(paths.outputFolder / "new.htm", user.M(0), ReportKind::kExecutive));
    EXPECT_FALSE(fs::exists(paths.outputFolder));
    EXPECT_EQ(FileNames(moved), (std::vector<std::string>{"old.htm", "pic.gif"}));
}

TEST(SettingsFaultTest, SettingsFileThatCannotBeWrittenKeepsItsLastGoodContent) {
    test::TempDir dir;
    {
        auto backend = platform::OpenSystemSettings(dir.Path());
        std::unique_ptr<platform::SettingsKeyHandle> key;
        ASSERT_EQ(backend->OpenKey("Software\\Brenmark\\Tavolex", platform::KeyAccess::kCreate, key), platform::kSettingsOk);
        ASSERT_EQ(key->WriteString("OutputPath", "/home/me/Reports/"), platform::kSettingsOk);
    }
    const std::string good = test::ReadFileBytes(dir / "settings.ini");
    // In a child with SIGXFSZ ignored, files are limited to the file's own size: a longer one can't be
    // written, and the store keeps answering with what the file holds.
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{good.size(), good.size()};
        auto backend = platform::OpenSystemSettings(dir.Path());
        std::unique_ptr<platform::SettingsKeyHandle> key;
        std::string value;
        const bool passed =
            setrlimit(RLIMIT_FSIZE, &limit) == 0 &&
            backend->OpenKey("Software\\Brenmark\\Tavolex", platform::KeyAccess::kWriteExisting, key) == platform::kSettingsOk &&
            key->WriteString("TemplatePath", std::string(1000, 't')) != platform::kSettingsOk &&
            key->ReadString("TemplatePath", 2000, value) == platform::kSettingsNotFound &&
            key->ReadString("OutputPath", 2000, value) == platform::kSettingsOk && value == "/home/me/Reports/";
        _exit(passed ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(test::ReadFileBytes(dir / "settings.ini"), good);
    EXPECT_EQ(FileNames(dir.Path()), std::vector<std::string>{"settings.ini"});
}

// A symbolic link someone placed at the name of an output's temporary file is never followed: the
// file it leads to stays as it was, and the output is written in full.
TEST(TemporaryFileTest, LinkPlantedAtTheTemporaryNameIsNotFollowed) {
    const std::pair<std::string, std::string> cases[] = {
        // the arguments, the file written
        {"calendar -o out.ics", "out.ics"},          {"contacts -o people.vcf", "people.vcf"},       {"dump -o store.json", "store.json"},
        {"sqlite minutes.sqlite", "minutes.sqlite"}, {"config user SuzukiH", "config/settings.ini"},
    };
    for (const auto& [arguments, output] : cases) {
        SCOPED_TRACE(arguments);
        test::TempDir dir;
        const test::NoDefaultBrowser noBrowser(dir / "nobrowser");
        test::WriteFileBytes(dir / "victim", "the user's own file");
        fs::create_directories((dir / output).parent_path());
        fs::create_symlink(dir / "victim", dir / (output + ".partial"));
        std::string command =
            "cd '" + dir.Path().string() +
            "' && TAVOLEX_TRACE= " TAVOLEX_CLI_PATH " --config config --palm-folder " TAVOLEX_SAMPLES_PALM " --user TanakaT " + arguments;
        const int raw = std::system((command + " </dev/null >/dev/null 2>&1").c_str());
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0);
        EXPECT_EQ(test::ReadFileBytes(dir / "victim"), "the user's own file");
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / output)));
        EXPECT_GT(fs::file_size(dir / output), 100u);
    }
}

}  // namespace
}  // namespace tavolex
