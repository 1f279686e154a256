#include "cli/cli_session.h"

#include "platform/file_system.h"
#include "shell/report_settings.h"
#include "shell/settings_key.h"
#include "shell/settings_text.h"

#include <algorithm>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif
#include <cstdio>
#include <system_error>

namespace tavolex::cli {
namespace {

namespace fs = std::filesystem;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

std::string WithoutTrailingSeparator(std::string text) {
    while (!text.empty() && (text.back() == '\\' || text.back() == '/')) text.pop_back();
    return text;
}

bool IsInteractive() {
#ifdef _WIN32
    return _isatty(_fileno(stdin)) != 0 && _isatty(_fileno(stderr)) != 0;
#else
    return ::isatty(STDIN_FILENO) != 0 && ::isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace

void CliInteraction::ShowMessage(std::string_view text, std::string_view caption, platform::MessageIcon icon) {
    platform::SystemUserInteraction().ShowMessage(text, caption, icon);
}

bool CliInteraction::AskYesNo(std::string_view text, std::string_view caption) {
    if (assumeYes_) return true;
    if (IsInteractive()) return platform::SystemUserInteraction().AskYesNo(text, caption);
    // Nobody can answer: the question is shown and answered "no".
    platform::SystemUserInteraction().ShowMessage(text, caption, platform::MessageIcon::kInformation);
    return false;
}

fs::path FindFolderAnyCase(const fs::path& parent, std::string_view name) {
    std::error_code ec;
    if (fs::is_directory(parent / name, ec)) return parent / name;
    for (auto it = fs::directory_iterator(parent, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && EqualsIgnoringCase(it->path().filename().string(), name)) return it->path();
    }
    return parent / name;
}

fs::path ProgramFile(const char* argv0) {
    std::error_code ec;
#ifndef _WIN32
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return self;
#endif
    const fs::path given = fs::absolute(argv0 != nullptr ? argv0 : "", ec);
    return ec ? fs::path(argv0 != nullptr ? argv0 : "") : given;
}

CliSession::CliSession(GlobalOptions options) : options_(std::move(options)) {}

CliSession::~CliSession() {
    report_.reset();
    if (store_) store_->Release();
}

bool CliSession::Open() {
    backend_ = platform::OpenSystemSettings(options_.configFolder);
    if (!backend_) {
        ui_.ShowMessage("The settings store can't be opened.", "Tavolex", platform::MessageIcon::kError);
        return false;
    }
    settings_ = std::make_unique<ApplicationSettings>(*backend_);
    const ShellEnvironment env{ui_, platform::SystemPalmDesktop(), platform::FullScreenClientSize, ProgramFile(nullptr)};
    if (!LoadStartupSettings(*settings_, env)) return false;
    if (!options_.palmFolder.empty()) settings_->palmDesktopFolder = options_.palmFolder;

    std::unique_ptr<PalmUserList> list = CreatePalmUserList(platform::SystemPalmDesktop(), *settings_);
    list->FillEntries(settings_->appKey);
    const std::string last = settings_->appKey.ReadPalmLastUserName(kNameBufferSize);
    for (const auto& entry : list->Entries()) {
        CliUser user;
        user.name = entry->name;
        user.directory = WithoutTrailingSeparator(entry->directory);
        user.folder = settings_->palmDesktopFolder / platform::PathFromCp932(user.directory);
        users_.push_back(std::move(user));
    }
    // The run's user: --user by exact name, else "LastUsername", else the first.
    const std::string wanted = options_.user ? platform::Utf8ToCp932(*options_.user) : last;
    auto match = std::find_if(users_.begin(), users_.end(), [&](const CliUser& u) { return u.name == wanted; });
    if (match == users_.end() && !options_.user && !users_.empty()) match = users_.begin();
    if (match != users_.end()) match->current = true;
    return true;
}

bool CliSession::LoadUser() {
    const auto current = std::find_if(users_.begin(), users_.end(), [](const CliUser& u) { return u.current; });
    if (current == users_.end()) {
        if (options_.user) {
            ui_.ShowMessage("No Palm user named \"" + platform::Utf8ToCp932(*options_.user) + "\" was found in " +
                                platform::PathToCp932(settings_->palmDesktopFolder) + ".",
                            "Tavolex", platform::MessageIcon::kInformation);
        } else {
            ui_.ShowMessage("No Palm user was found in " + platform::PathToCp932(settings_->palmDesktopFolder) + ".",
                            "Tavolex", platform::MessageIcon::kInformation);
        }
        return false;
    }
    // The user's own key gets the defaults the desktop program would write; nothing else is
    // stored, so the run leaves "LastUsername" as it was.
    SettingsKey& key = settings_->userKey;
    key.OpenUserKey(current->directory + kFolderSeparator);
    if (key.ReadString("OutputPath", kPathBufferSize).empty() || key.ReadString("DatabasePath", kPathBufferSize).empty()) {
        key.WriteUserDefaults(current->directory + kFolderSeparator, current->name, platform::FullScreenClientSize());
    }
    const fs::path dataFolder = FindFolderAnyCase(current->folder, "Tavolex");
    const auto stored = [&](std::string_view name) {
        return PathFromSettingsText(key.ReadString(name, kPathBufferSize));
    };
    // The stored output folder was made from the Palm Desktop folder of the settings; a run on
    // another Palm folder (or a folder since removed) writes into the user's data folder instead.
    std::error_code ec;
    outputFolder_ = !options_.outputFolder.empty() ? options_.outputFolder : stored("OutputPath");
    if (options_.outputFolder.empty() && (outputFolder_.empty() || !fs::is_directory(outputFolder_, ec))) {
        outputFolder_ = dataFolder;
    }
    templateFolder_ = !options_.templateFolder.empty() ? options_.templateFolder : stored("TemplatePath");
    if (templateFolder_.empty()) templateFolder_ = settings_->templateFolder;
    browserPath_ = stored("BrowserPath");
    autoView_ = key.ReadDword("AutoView");

    store_ = std::make_unique<MeetingDatabase>(dataFolder);
    store_->ReloadAll();
    book_ = std::make_unique<AddressBook>(AddressBook::PathInUserFolder(current->folder));
    book_->Reload();
    report_ = std::make_unique<ReportFolder>(*store_, *book_, ui_);
    report_->SetOptionsSource([this] { return ReadReportOptions(); });
    return true;
}

std::uint32_t CliSession::UserFlag(std::string_view name, std::uint32_t fallback) {
    std::uint32_t value = fallback;
    settings_->userKey.ReadValue(name, value);
    return value;
}

ReportOptions CliSession::ReadReportOptions() {
    return tavolex::ReadReportOptions(settings_->userKey, outputFolder_, templateFolder_);
}

}  // namespace tavolex::cli
