#include "setup/startup_settings.h"

#include "settings/program_strings.h"
#include "settings/settings_text.h"
#include "setup/conduit_setup.h"

#include <system_error>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr char kCouldNotCreateKey[] = "Couldn't create registry key.";
constexpr char kInstallCaption[] = "Tavolex Install";

std::string ProblemRegisteringText() {
    return std::string("There was a problem registering the conduit.\n\nPlease contact technical support at:\n\n") +
           kVendorSupportAddress;
}

// Install folder, its Palm Desktop integration and the help path (they are written at every
// start).
void RecordInstallation(ApplicationSettings& s, const ShellEnvironment& env) {
    s.installFolder =
        env.programFile.empty() ? fs::path() : PathFromSettingsText(FolderText(env.programFile.parent_path()));
    const std::string installText = FolderText(s.installFolder);
    s.appKey.WriteString("InstallPath", installText);
    // Without Palm Desktop the front end says so, and only when it has nowhere else to find the users.
    IntegrateWithPalmDesktop(s.appKey.Backend(), env.ui, env.palmDesktop, installText, true);
    std::error_code ec;
    const fs::path help = s.installFolder / "help" / "index.html";
    s.helpPath =
        !s.installFolder.empty() && fs::is_regular_file(help, ec) ? SettingsTextFromPath(help) : kVendorHelpAddress;
    s.appKey.WriteString("HelpPath", s.helpPath);
}

// The current Palm user as last stored, and the author name Palm Desktop suggests.
void ReadUserIdentity(ApplicationSettings& s) {
    s.userDirectory = s.appKey.ReadString("UserPath", kPathBufferSize);
    s.authorName = s.appKey.ReadPalmLastUserName(kNameBufferSize);
    s.userKey.OpenUserKey(s.userDirectory);
    s.storedInstallFolder = PathFromSettingsText(s.appKey.ReadString("InstallPath", kPathBufferSize));
}

// The installer asks for these by a non-zero "Setup"; it stays set until they succeed.
void RunFirstRunSteps(ApplicationSettings& s, const ShellEnvironment& env) {
    if (s.appKey.ReadDword("Setup") == 0) return;
    // Without HotSync Manager there is nothing to register the conduit with yet: the request waits,
    // without a word, for a start after HotSync Manager is installed.
    if (s.appKey.ReadHotSyncFolder(kPalmFolderBufferSize).empty()) return;
    if (RegisterConduit(s.appKey, env.ui, env.palmDesktop) != 0) {
        env.ui.ShowMessage(ProblemRegisteringText(), kInstallCaption, platform::MessageIcon::kInformation);
        return;
    }
    env.ui.ShowMessage(kFirstRunText, kFirstRunCaption, platform::MessageIcon::kInformation);
    s.appKey.WriteDword("Setup", 0);
    s.userKey.WriteUserDefaults(s.userDirectory, s.authorName, env.screenSize());
    IntegrateWithPalmDesktop(s.appKey.Backend(), env.ui, env.palmDesktop, FolderText(s.storedInstallFolder));
    s.appKey.WriteString("Version", kProgramVersion);
}

fs::path ReadPath(SettingsKey& key, std::string_view name, std::size_t bufferSize) {
    return PathFromSettingsText(key.ReadString(name, bufferSize));
}

// The user's folders and views; an empty folder gets the user defaults and is read again.
void ReadUserFolders(ApplicationSettings& s, const ShellEnvironment& env) {
    SettingsKey& user = s.userKey;
    s.outputFolder = ReadPath(user, "OutputPath", kPathBufferSize);
    s.databaseFolder = ReadPath(user, "DatabasePath", kPathBufferSize);
    if (s.outputFolder.empty()) {
        user.WriteUserDefaults(s.userDirectory, s.authorName, env.screenSize());
        s.outputFolder = ReadPath(user, "OutputPath", kPathBufferSize);
    }
    if (s.databaseFolder.empty()) {
        user.WriteUserDefaults(s.userDirectory, s.authorName, env.screenSize());
        s.databaseFolder = ReadPath(user, "DatabasePath", kPathBufferSize);
    }
    if (const std::uint32_t view = user.ReadDword("MeetingView"); view != 0) s.meetingView = view;
    if (const std::uint32_t view = user.ReadDword("ReportView"); view != 0) s.reportView = view;
    s.browserPath = ReadPath(user, "BrowserPath", kPathBufferSize);
    if (s.browserPath.empty()) {
        // The user's defaults are in place by now (the database folder is set); only the viewer is
        // missing. Look it up again instead of writing all the defaults, which would reset the
        // user's report switches and views at every start on a system without a web browser.
        user.WriteString("BrowserPath", user.ReadDefaultBrowser());
        s.browserPath = ReadPath(user, "BrowserPath", kPathBufferSize);
    }
    s.templateFolder = ReadPath(user, "TemplatePath", kPathBufferSize);
    if (s.templateFolder.empty()) {
        std::string templates = s.appKey.ReadString("InstallPath", kShortPathBufferSize) + "templates";
        templates += kFolderSeparator;
        s.templateFolder = PathFromSettingsText(templates);
        user.WriteString("TemplatePath", templates);
    }
}

}  // namespace

bool LoadStartupSettings(ApplicationSettings& s, const ShellEnvironment& env) {
    const platform::ScreenSize screen = env.screenSize();
    s.applicationKeyOpen = s.appKey.OpenApplicationKey() == platform::kSettingsOk;
    if (!s.applicationKeyOpen) {
        env.ui.ShowMessage(kCouldNotCreateKey, "", platform::MessageIcon::kNone);
        s.placement = ValidateWindowPlacement(0, 0, 0, 0, screen);
        return false;
    }
    RecordInstallation(s, env);
    ReadUserIdentity(s);
    RunFirstRunSteps(s, env);
    ReadUserFolders(s, env);
    SettingsKey& user = s.userKey;
    s.placement = ValidateWindowPlacement(user.ReadDword("x"), user.ReadDword("y"), user.ReadDword("w"),
                                          user.ReadDword("h"), screen);
    s.hotSyncFolder = PathFromSettingsText(s.appKey.ReadHotSyncFolder(kPalmFolderBufferSize));
    s.palmDesktopFolder = PathFromSettingsText(s.appKey.ReadPalmDesktopFolder(kPalmFolderBufferSize));
    return true;
}

}  // namespace tavolex
