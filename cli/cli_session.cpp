#include "cli/cli_session.h"

#include "base/ascii.h"
#include "cli/cli_messages.h"
#include "setup/startup_settings.h"
#include "platform/file_system.h"
#include "report/report_folder.h"
#include "report_files/report_writer.h"
#include "session/folder_users.h"
#include "session/report_settings.h"
#include "session/user_place.h"
#include "session/user_stores.h"
#include "settings/settings_key.h"
#include "settings/settings_text.h"

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tavolex::cli {
namespace {

namespace fs = std::filesystem;

bool IsInteractive() {
    return platform::IsTerminal(platform::StandardStream::kInput) &&
           platform::IsTerminal(platform::StandardStream::kError);
}

fs::path PathFromUtf8(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

// The command line's messages go to stderr in UTF-8, caption first, on every platform: a message
// box from a console program would wait for a click that a script never gives.
std::string ConsoleLine(std::string_view text, std::string_view caption) {
    std::string line;
    if (!caption.empty()) line = platform::Cp932ToUtf8(caption) + ": ";
    return line + platform::Cp932ToUtf8(text);
}

}  // namespace

void CliInteraction::ShowMessage(std::string_view text, std::string_view caption, platform::MessageIcon) {
    std::fputs((ConsoleLine(text, caption) + "\n").c_str(), stderr);
    std::fflush(stderr);
    // The desktop program's messages that send the user to a menu get the command line's way too.
    if (text.find("Preferred HTML Viewer") != std::string_view::npos) {
        Detail("On the command line the viewer is set by: tavolex config viewer PROGRAM");
    }
}

bool CliInteraction::AskYesNo(std::string_view text, std::string_view caption) {
    if (assumeYes_) return true;
    if (IsInteractive()) {
        // Enter alone answers no, like the desktop program's questions.
        std::fputs((ConsoleLine(text, caption) + " [y/N] ").c_str(), stderr);
        std::fflush(stderr);
        char answer[64] = {};
        if (std::fgets(answer, sizeof answer, stdin) == nullptr) return false;
        return answer[0] == 'y' || answer[0] == 'Y';
    }
    // Nobody can answer: the question is shown, answered "no", and the option that says yes named.
    ShowMessage(text, caption, platform::MessageIcon::kInformation);
    Detail("No terminal to answer the question, so the answer is no; --yes (or --force) answers yes.");
    return false;
}

fs::path ProgramFile(const char* argv0) {
    std::error_code ec;
#ifdef _WIN32
    // The program's own file (tavolex.com in the install folder), wherever it was started from.
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    if (!self.empty()) return fs::path(self);
#else
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return self;
#endif
    const fs::path given = fs::absolute(argv0 != nullptr ? argv0 : "", ec);
    return ec ? fs::path(argv0 != nullptr ? argv0 : "") : given;
}

fs::path InstalledTemplateFolder() {
    const fs::path program = ProgramFile(nullptr).parent_path();
    std::error_code ec;
    for (const fs::path& candidate : {program / "templates", program / ".." / "share" / "tavolex" / "templates"}) {
        if (fs::is_directory(candidate, ec)) return candidate.lexically_normal();
    }
    return {};
}

CliSession::CliSession(GlobalOptions options) : options_(std::move(options)) { ui_.AssumeYes(options_.yes); }

CliSession::~CliSession() {
    report_.reset();
    if (store_) store_->Release();
}

const fs::path& CliSession::BrowserPath() {
    // A viewer stored empty (no browser was installed then) is looked up again.
    if (browserPath_.empty() && !browserLookedUp_) {
        browserLookedUp_ = true;
        SettingsKey& key = settings_->userKey;
        const std::string found = key.ReadDefaultBrowser();
        if (!found.empty()) {
            key.WriteString("BrowserPath", found);
            browserPath_ = PathFromSettingsText(found);
        }
    }
    return browserPath_;
}

fs::path CliSession::SettingsLocation() const {
    const fs::path file = platform::SettingsFilePath(options_.configFolder);
    return file.empty() ? fs::path("HKEY_CURRENT_USER") / kApplicationKeyPath : file;
}

bool CliSession::OpenSettings() {
    backend_ = std::make_unique<FallbackSettingsBackend>(platform::OpenSystemSettings(options_.configFolder));
    settings_ = std::make_unique<ApplicationSettings>(*backend_);
    const ShellEnvironment env{ui_, platform::SystemPalmDesktop(), platform::FullScreenClientSize,
                               ProgramFile(nullptr)};
    if (!LoadStartupSettings(*settings_, env)) {
        Detail(PathText(SettingsLocation()) + ": the settings can't be opened");
        return false;
    }
    return true;
}

fs::path CliSession::SavedPalmFolder() {
    const std::string text = settings_->appKey.ReadPalmDesktopFolder(kPalmFolderBufferSize);
    return text.size() <= 1 ? fs::path() : PathFromSettingsText(text);
}

bool CliSession::FindUsers(bool quiet) {
    PlaceRequest request;
    request.palmFolder = options_.palmFolder;
    if (const char* env = std::getenv("TAVOLEX_PALM_FOLDER"); env != nullptr && *env != '\0') {
        request.environmentPalmFolder = PathFromUtf8(env);
    }
    if (options_.user) request.user = platform::Utf8ToCp932(*options_.user);
    request.reportFolder = options_.outputFolder;
    place_ = FindUserPlace(request, *settings_, platform::SystemPalmDesktop());
    palmFolder_ = place_.palmFolder;
    const bool found =
        place_.problem != PlaceProblem::kNoPalmFolder && place_.problem != PlaceProblem::kPalmFolderUnreadable;
    if (quiet && !found) return false;
    if (place_.problem == PlaceProblem::kNoPalmFolder) {
        Fail(ui_, "No Palm Desktop folder is set.", kPalmFolderHint);
        return false;
    }
    if (place_.problem == PlaceProblem::kPalmFolderUnreadable) {
        Fail(ui_, "The Palm Desktop folder " + platform::PathToCp932(palmFolder_) + " can't be read.",
             FolderReason(palmFolder_));
        Detail(kPalmFolderHint);
        return false;
    }
    if (const fs::path unreadable = JoinEarlierCopies(place_, options_.earlierPalmFolders, request, *settings_);
        !unreadable.empty()) {
        Fail(ui_, "The Palm Desktop folder " + platform::PathToCp932(unreadable) + " can't be read.",
             FolderReason(unreadable));
        return false;
    }
    settings_->palmDesktopFolder = palmFolder_;
    for (std::size_t i = 0; i < place_.users.size(); ++i) {
        const PlaceUser& found = place_.users[i];
        users_.push_back(
            {found.name, found.directory, found.folders, static_cast<int>(i) == place_.current, found.earlierData});
    }
    return true;
}

const CliUser* CliSession::CurrentUser() const {
    const auto current = std::find_if(users_.begin(), users_.end(), [](const CliUser& u) { return u.current; });
    return current == users_.end() ? nullptr : &*current;
}

bool CliSession::LoadUser() {
    const CliUser* current = CurrentUser();
    if (current == nullptr) {
        if (options_.user) {
            ui_.ShowMessage("No Palm user named \"" + platform::Utf8ToCp932(*options_.user) + "\" was found in " +
                                platform::PathToCp932(palmFolder_) + ".",
                            "Tavolex", platform::MessageIcon::kInformation);
            Detail("The users are listed by: tavolex users");
        } else {
            ui_.ShowMessage("No Palm user was found in " + platform::PathToCp932(palmFolder_) + ".", "Tavolex",
                            platform::MessageIcon::kInformation);
            Detail("A Palm user is a folder of the Palm Desktop folder that holds a Tavolex folder.");
        }
        return false;
    }
    dataFolder_ = place_.dataFolder;
    SettingsKey& key = settings_->userKey;
    WriteMissingDefaults(*current);
    const auto stored = [&](std::string_view name) {
        return PathFromSettingsText(key.ReadString(name, kPathBufferSize));
    };
    // The output folder: the place's (--output, the person's setting, or the default), made at the
    // first report when it was named or is a folder user's default.
    std::error_code ec;
    outputFolder_ = place_.reportFolder;
    outputNamed_ = place_.reportFolderFrom != PlaceSource::kDefault || place_.reportFolderMadeOnWrite;
    outputDefault_ = place_.reportFolderMadeOnWrite;
    // The template folder: --templates, else the setting when it names a folder that is there,
    // else the installed one (a setting made by a copy of the program elsewhere is passed over).
    templateFolder_ = options_.templateFolder;
    if (templateFolder_.empty()) {
        const fs::path setting = stored("TemplatePath");
        templateFolder_ = !setting.empty() && fs::is_directory(setting, ec) ? setting : InstalledTemplateFolder();
        if (templateFolder_.empty()) templateFolder_ = setting.empty() ? settings_->templateFolder : setting;
    }
    browserPath_ = stored("BrowserPath");
    autoView_ = key.ReadDword("AutoView");

    UserStores stores = LoadUserStores(dataFolder_, current->folders.addressBook);
    store_ = std::move(stores.meetings);
    book_ = std::move(stores.book);
    if (!options_.earlierPalmFolders.empty()) {
        // The same user in earlier copies: their stores merged into this one, the latest copy winning.
        std::vector<std::unique_ptr<MeetingDatabase>> earlier;
        std::vector<const MeetingDatabase*> copies;
        for (const fs::path& folder : current->earlierData) {
            earlier.push_back(std::make_unique<MeetingDatabase>(folder));
            LoadMeetingStore(*earlier.back(), folder);
            copies.push_back(earlier.back().get());
        }
        copies.push_back(store_.get());
        merged_ = MergeStores(copies, *store_);
        for (const auto& copy : earlier) copy->Release();
    }
    report_ = std::make_unique<ReportFolder>(*store_, *book_);
    writer_ = std::make_unique<ReportWriter>(*report_, ui_);
    writer_->SetOptionsSource([this] { return ReadReportOptions(); });
    return true;
}

void CliSession::WriteMissingDefaults(const CliUser& user) {
    // The user's own key gets the defaults the desktop program would write, with the folders of
    // this run's Palm Desktop folder, which --palm-folder or the environment may have named instead
    // of the saved one. Nothing else is stored, so the run leaves "LastUsername" as it was.
    SettingsKey& key = settings_->userKey;
    key.OpenUserKey(user.directory + kFolderSeparator);
    const bool outputSet = !key.ReadString("OutputPath", kPathBufferSize).empty();
    if (outputSet && !key.ReadString("DatabasePath", kPathBufferSize).empty()) return;
    key.WriteUserDefaults(user.directory + kFolderSeparator, user.name, platform::FullScreenClientSize());
    const std::string data = FolderText(dataFolder_);
    key.WriteString("DatabasePath", data);
    if (!outputSet) key.WriteString("OutputPath", data);
}

bool CliSession::ReadyOutputFolder(bool create) {
    std::error_code ec;
    if (fs::is_directory(outputFolder_, ec)) return true;
    if (!create && outputDefault_ && !fs::exists(outputFolder_, ec)) return true;  // no report yet
    if (create && outputNamed_ && !fs::exists(outputFolder_, ec)) {
        fs::create_directories(outputFolder_, ec);
        if (!ec) return true;
        Fail(ui_, "The output folder " + platform::PathToCp932(outputFolder_) + " can't be created.",
             PathReason(outputFolder_, ec));
        return false;
    }
    Fail(ui_, "The output folder " + platform::PathToCp932(outputFolder_) + " does not exist.",
         FolderReason(outputFolder_));
    Detail("Name it with --output DIR, or keep it with: tavolex config output DIR");
    return false;
}

std::uint32_t CliSession::UserFlag(std::string_view name, std::uint32_t fallback) {
    std::uint32_t value = fallback;
    settings_->userKey.ReadValue(name, value);
    return value;
}

fs::path CliSession::TemplatePath(const std::string& utf8Name) const {
    const fs::path given = platform::PathFromCp932(platform::Utf8ToCp932(utf8Name));
    std::error_code ec;
    return given.has_parent_path() || fs::exists(given, ec) ? given : templateFolder_ / given;
}

ReportOptions CliSession::ReadReportOptions() {
    return tavolex::ReadReportOptions(settings_->userKey, outputFolder_, templateFolder_);
}

}  // namespace tavolex::cli
