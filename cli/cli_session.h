#pragma once
// One run of the command-line program: the settings store, the Palm Desktop folder and its users,
// the Palm user chosen for the run, and that user's meeting store, address book and report
// generator with its writer.

#include "address_book/address_book.h"
#include "cli/output_format.h"
#include "cli/settings_fallback.h"
#include "meeting_query/store_merge.h"
#include "meeting_store/meeting_database.h"
#include "platform/platform.h"
#include "report/report_options.h"
#include "session/palm_user_list.h"
#include "session/user_folders.h"
#include "session/user_place.h"
#include "settings/application_settings.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavolex {
class ReportFolder;
class ReportWriter;
}  // namespace tavolex

namespace tavolex::cli {

// The global options; an empty value means "from the environment or the settings".
struct GlobalOptions {
    std::filesystem::path palmFolder{};
    // --palm-folder given more than once: the copies before the last, oldest first, whose meetings
    // are merged into the last one's.
    std::vector<std::filesystem::path> earlierPalmFolders{};
    std::optional<std::string> user{};  // UTF-8
    std::filesystem::path configFolder{};
    std::filesystem::path outputFolder{};
    std::filesystem::path templateFolder{};
    OutputFormat format = OutputFormat::kText;
    bool yes = false;  // --yes or --force: every question is answered "yes"
};

// Messages go to stderr; a question is answered "yes" when the run was told so (--yes, --force),
// otherwise as the system's interaction answers it (only a person at a terminal can say yes). A
// question nobody can answer says which option would have.
class CliInteraction final : public platform::UserInteraction {
public:
    void ShowMessage(std::string_view text, std::string_view caption, platform::MessageIcon icon) override;
    bool AskYesNo(std::string_view text, std::string_view caption) override;
    void AssumeYes(bool yes) { assumeYes_ = yes; }

private:
    bool assumeYes_ = false;
};

struct CliUser {
    std::string name;       // CP932
    std::string directory;  // CP932, relative to the Palm Desktop folder
    UserFolders folders;
    bool current = false;
    std::vector<std::filesystem::path> earlierData{};  // the user's data folders in earlier copies, oldest first
};

class CliSession {
public:
    explicit CliSession(GlobalOptions options);
    ~CliSession();

    // Opens the settings store (in memory for the run when it can't be written). False (after a
    // message) when the run can't go on.
    bool OpenSettings();
    // Finds the Palm Desktop folder and its users: a folder named for the run or chosen in the
    // desktop program is read by its folders, at any level; Palm Desktop's own folder through its
    // user library where one lists users. False (after a message naming the folder, or
    // saying none is set, and how to set it, unless quiet) when there is no such folder.
    bool FindUsers(bool quiet = false);
    // Chooses the user of the run and loads its data. False (after a message) when there is none.
    bool LoadUser();
    // The report folder of the run, created when it was named (by --output or the setting) and is
    // missing and `create` is set. False after a message naming the folder and the reason.
    bool ReadyOutputFolder(bool create);

    [[nodiscard]] const std::vector<CliUser>& Users() const { return users_; }
    [[nodiscard]] const CliUser* CurrentUser() const;
    [[nodiscard]] const MeetingDatabase& Store() const { return *store_; }
    // What merging the copies of several Palm folders did to the store; none with one folder.
    [[nodiscard]] const std::optional<MergeCounts>& Merged() const { return merged_; }
    [[nodiscard]] const AddressBook& Book() const { return *book_; }
    [[nodiscard]] ReportFolder& Report() { return *report_; }
    [[nodiscard]] ReportWriter& Writer() { return *writer_; }
    [[nodiscard]] CliInteraction& Ui() { return ui_; }
    [[nodiscard]] const GlobalOptions& Options() const { return options_; }
    [[nodiscard]] OutputFormat Format() const { return options_.format; }
    [[nodiscard]] bool Json() const { return options_.format == OutputFormat::kJson; }
    [[nodiscard]] bool Csv() const { return options_.format == OutputFormat::kCsv; }

    [[nodiscard]] const std::filesystem::path& PalmFolder() const { return palmFolder_; }
    // Where the run's user and its folders came from.
    [[nodiscard]] const UserPlace& Place() const { return place_; }
    [[nodiscard]] const std::filesystem::path& DataFolder() const { return dataFolder_; }
    [[nodiscard]] const std::filesystem::path& OutputFolder() const { return outputFolder_; }
    [[nodiscard]] const std::filesystem::path& TemplateFolder() const { return templateFolder_; }
    // The template file a command names (UTF-8): the name as given when it has a folder or exists,
    // else the template folder's file of that name.
    [[nodiscard]] std::filesystem::path TemplatePath(const std::string& utf8Name) const;
    // The viewer: the setting, else the desktop's default browser, looked up when first asked for (a
    // lookup can take most of a second where none is installed, so a run that opens nothing skips
    // it) and kept in the settings when found.
    [[nodiscard]] const std::filesystem::path& BrowserPath();
    [[nodiscard]] std::uint32_t AutoView() const { return autoView_; }
    // The report options of the current user's settings.
    [[nodiscard]] ReportOptions ReadReportOptions();
    // A DWORD of the current user's key (absent: fallback).
    [[nodiscard]] std::uint32_t UserFlag(std::string_view name, std::uint32_t fallback = 1);

    // The settings store, for `config`.
    [[nodiscard]] ApplicationSettings& Settings() { return *settings_; }
    [[nodiscard]] FallbackSettingsBackend& Backend() { return *backend_; }
    // The settings file (POSIX) or the registry key (Windows) the store keeps, for messages.
    [[nodiscard]] std::filesystem::path SettingsLocation() const;
    // The saved Palm Desktop folder ("Path" of Palm Desktop's core key); empty when none is set.
    [[nodiscard]] std::filesystem::path SavedPalmFolder();

private:
    // Writes the user's defaults when the user's key lacks its folders.
    void WriteMissingDefaults(const CliUser& user);

    GlobalOptions options_;
    CliInteraction ui_;
    std::unique_ptr<FallbackSettingsBackend> backend_;
    std::unique_ptr<ApplicationSettings> settings_;
    std::filesystem::path palmFolder_;
    UserPlace place_;
    std::vector<CliUser> users_;
    std::unique_ptr<MeetingDatabase> store_;
    std::optional<MergeCounts> merged_;
    std::unique_ptr<AddressBook> book_;
    std::unique_ptr<ReportFolder> report_;
    std::unique_ptr<ReportWriter> writer_;
    std::filesystem::path dataFolder_;
    std::filesystem::path outputFolder_;
    bool outputNamed_ = false;    // by --output, a setting of the person's own, or a folder user's default
    bool outputDefault_ = false;  // the folder user's default, which holds no report until one is written
    std::filesystem::path templateFolder_;
    std::filesystem::path browserPath_;
    bool browserLookedUp_ = false;
    std::uint32_t autoView_ = 1;
};

// The running program's file.
std::filesystem::path ProgramFile(const char* argv0);

// The installed template folder: "templates" beside the program, else ../share/tavolex/templates
// from it; empty when neither is there.
std::filesystem::path InstalledTemplateFolder();

}  // namespace tavolex::cli
