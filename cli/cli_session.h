#pragma once
// One run of the command-line program: the settings store, the Palm user chosen for the run, and
// that user's meeting store, address book and report generator.

#include "address_book/address_book.h"
#include "meeting_store/meeting_database.h"
#include "platform/platform.h"
#include "report/report_folder.h"
#include "shell/application_settings.h"
#include "shell/palm_user_list.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace tavolex::cli {

// The global options; an empty value means "from the settings".
struct GlobalOptions {
    std::filesystem::path palmFolder;
    std::optional<std::string> user;  // UTF-8
    std::filesystem::path configFolder;
    std::filesystem::path outputFolder;
    std::filesystem::path templateFolder;
    bool json = false;
};

// Messages go to stderr; a question is answered "yes" when the run was told so (--yes, --force),
// otherwise as the system's interaction answers it (only a person at a terminal can say yes).
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
    std::filesystem::path folder;
    bool current = false;
};

class CliSession {
public:
    explicit CliSession(GlobalOptions options);
    ~CliSession();

    // Opens the settings and finds the users. False (after a message) when the run can't go on.
    bool Open();
    // Chooses the user of the run and loads its data. False (after a message) when there is none.
    bool LoadUser();

    [[nodiscard]] const std::vector<CliUser>& Users() const { return users_; }
    [[nodiscard]] const MeetingDatabase& Store() const { return *store_; }
    [[nodiscard]] const AddressBook& Book() const { return *book_; }
    [[nodiscard]] ReportFolder& Report() { return *report_; }
    [[nodiscard]] CliInteraction& Ui() { return ui_; }
    [[nodiscard]] const GlobalOptions& Options() const { return options_; }

    [[nodiscard]] const std::filesystem::path& OutputFolder() const { return outputFolder_; }
    [[nodiscard]] const std::filesystem::path& TemplateFolder() const { return templateFolder_; }
    [[nodiscard]] const std::filesystem::path& BrowserPath() const { return browserPath_; }
    [[nodiscard]] std::uint32_t AutoView() const { return autoView_; }
    // The report options of the current user's settings.
    [[nodiscard]] ReportOptions ReadReportOptions();
    // A DWORD of the current user's key (absent: fallback).
    [[nodiscard]] std::uint32_t UserFlag(std::string_view name, std::uint32_t fallback = 1);

private:
    GlobalOptions options_;
    CliInteraction ui_;
    std::unique_ptr<platform::SettingsBackend> backend_;
    std::unique_ptr<ApplicationSettings> settings_;
    std::vector<CliUser> users_;
    std::unique_ptr<MeetingDatabase> store_;
    std::unique_ptr<AddressBook> book_;
    std::unique_ptr<ReportFolder> report_;
    std::filesystem::path outputFolder_;
    std::filesystem::path templateFolder_;
    std::filesystem::path browserPath_;
    std::uint32_t autoView_ = 1;
};

// The folder whose name matches `name` without regard to ASCII case inside parent, else parent/name.
std::filesystem::path FindFolderAnyCase(const std::filesystem::path& parent, std::string_view name);

// The running program's file.
std::filesystem::path ProgramFile(const char* argv0);

}  // namespace tavolex::cli
