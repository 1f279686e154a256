#include "shell/application_settings.h"

#include "shell/palm_user_list.h"
#include "shell/settings_text.h"
#include "shell/shell_strings.h"
#include "tests/support/fake_palm_desktop.h"
#include "tests/support/memory_settings.h"
#include "tests/support/recording_user_interaction.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr char kAppKey[] = "Software\\Brenmark\\Tavolex";
constexpr char kUserBKey[] = "Software\\Brenmark\\Tavolex\\UserB";
constexpr platform::ScreenSize kScreen{1280, 994};
constexpr WindowPlacement kDefaultPlacement{128, 100, 1024, 795};

TEST(ValidateWindowPlacementTest, OutOfRangeValuesTakeTheDefaults) {
    EXPECT_EQ(ValidateWindowPlacement(10, 20, 300, 400, kScreen), (WindowPlacement{10, 20, 300, 400}));
    EXPECT_EQ(ValidateWindowPlacement(0, 20, 300, 400, kScreen), (WindowPlacement{128, 20, 300, 400}));
    EXPECT_EQ(ValidateWindowPlacement(1281, 995, 300, 400, kScreen), (WindowPlacement{128, 100, 300, 400}));
    EXPECT_EQ(ValidateWindowPlacement(10, 20, 49, 400, kScreen), (WindowPlacement{10, 20, 1024, 400}));
    EXPECT_EQ(ValidateWindowPlacement(10, 20, 50, 50, kScreen), (WindowPlacement{10, 20, 50, 50}));
    // An invalid height resets the valid width too.
    EXPECT_EQ(ValidateWindowPlacement(10, 20, 300, 30, kScreen), (WindowPlacement{10, 20, 1024, 795}));
    // Stored while minimised: far negative position, tiny size.
    const auto far = static_cast<std::uint32_t>(-32000);
    EXPECT_EQ(ValidateWindowPlacement(far, far, 160, 28, kScreen), kDefaultPlacement);
    EXPECT_EQ(ValidateWindowPlacement(1280, 994, 1280, 994, kScreen), (WindowPlacement{1280, 994, 1280, 994}));
}

class StartupSettingsTest : public ::testing::Test {
protected:
    StartupSettingsTest() {
        backend.SetString(kPalmCoreKeyPath, "Path", SettingsTextFromPath(dir.Path() / "Palm"));
        backend.SetString(kPalmCoreKeyPath, "HotSyncPath", FolderText(dir.Path() / "HotSync") + "HotSync.exe");
        backend.SetString(kPalmPreferencesKeyPath, "LastUserName", "UserB");
        backend.browser = {"C:\\PROGRA~1\\BROWSER\\BROWSE.EXE %1", true};
        fs::create_directories(install);
        test::WriteFileBytes(install / "tavolexconduit.dll", "conduit");
        fs::create_directories(dir.Path() / "HotSync");
    }

    bool Load() { return LoadStartupSettings(settings, env); }
    std::string InstallText() const { return FolderText(install); }
    void StoreUserB() {
        backend.SetString(kAppKey, "UserPath", "UserB\\");
        backend.SetString(kUserBKey, "OutputPath", "D:\\Reports\\");
        backend.SetString(kUserBKey, "DatabasePath", "D:\\Data\\");
    }

    test::TempDir dir;
    fs::path install = dir.Path() / "Program";
    test::MemorySettingsBackend backend;
    test::RecordingUserInteraction ui;
    test::FakePalmDesktop desktop;
    ShellEnvironment env{ui, desktop, [] { return kScreen; }, install / "tavolex.exe"};
    ApplicationSettings settings{backend};
};

TEST_F(StartupSettingsTest, FirstStartWithoutUserPathFillsTheApplicationKey) {
    ASSERT_TRUE(Load());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(backend.GetString(kAppKey, "InstallPath"), InstallText());
    EXPECT_EQ(backend.GetString(kAppKey, "HelpPath"), kVendorHelpAddress);
    EXPECT_EQ(settings.authorName, "UserB");
    // No user directory: the user defaults land in the application key itself.
    const std::string database = SettingsTextFromPath(dir.Path() / "Palm") + kFolderSeparator + "Tavolex" + kFolderSeparator;
    EXPECT_EQ(backend.GetString(kAppKey, "DatabasePath"), database);
    EXPECT_EQ(backend.GetString(kAppKey, "cAuthor"), "UserB");
    EXPECT_EQ(SettingsTextFromPath(settings.databaseFolder), database);
    EXPECT_EQ(SettingsTextFromPath(settings.outputFolder), database);
    EXPECT_EQ(settings.browserPath, PathFromSettingsText("C:\\PROGRA~1\\BROWSER\\BROWSE.EXE"));
    EXPECT_EQ(backend.GetString(kAppKey, "TemplatePath"), InstallText() + "templates" + kFolderSeparator);
    EXPECT_EQ(std::make_pair(settings.meetingView, settings.reportView), std::make_pair(2u, 1u));
    EXPECT_EQ(settings.placement, kDefaultPlacement);
    EXPECT_EQ(FolderText(settings.hotSyncFolder), FolderText(dir.Path() / "HotSync"));
    EXPECT_FALSE(backend.GetDword(kAppKey, "Version").has_value());
}

TEST_F(StartupSettingsTest, StoredUserValuesAreKept) {
    fs::create_directories(install / "help");
    test::WriteFileBytes(install / "help" / "index.html", "<html>");
    StoreUserB();
    backend.SetString(kUserBKey, "BrowserPath", "C:\\b.exe");
    backend.SetString(kUserBKey, "TemplatePath", "D:\\T\\");
    backend.SetDword(kUserBKey, "MeetingView", 3);
    for (const auto& [name, value] : {std::pair{"x", 5u}, {"y", 6u}, {"w", 700u}, {"h", 30u}}) {
        backend.SetDword(kUserBKey, name, value);
    }
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings.helpPath, SettingsTextFromPath(install / "help" / "index.html"));
    EXPECT_EQ(settings.userDirectory, "UserB\\");
    EXPECT_EQ(settings.outputFolder, PathFromSettingsText("D:\\Reports\\"));
    EXPECT_EQ(settings.templateFolder, PathFromSettingsText("D:\\T\\"));
    EXPECT_EQ(std::make_pair(settings.meetingView, settings.reportView), std::make_pair(3u, 0u));
    EXPECT_EQ(settings.placement, (WindowPlacement{5, 6, 1024, 795}));
    EXPECT_FALSE(backend.GetDword(kUserBKey, "AutoView").has_value()) << "no defaults were needed";
}

TEST_F(StartupSettingsTest, AMissingViewerDoesNotResetTheUsersSwitches) {
    StoreUserB();
    backend.SetDword(kUserBKey, "rAgenda", 0);
    backend.SetDword(kUserBKey, "AutoView", 1);
    backend.browser = {};
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Load());  // a system without a web browser, started twice
    EXPECT_EQ(backend.GetDword(kUserBKey, "AutoView"), 1u);
    EXPECT_EQ(backend.GetString(kUserBKey, "BrowserPath"), "");
    backend.browser = {"C:\\PROGRA~1\\BROWSER\\BROWSE.EXE %1", true};
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings.browserPath, PathFromSettingsText("C:\\PROGRA~1\\BROWSER\\BROWSE.EXE"));
    EXPECT_EQ(backend.GetDword(kUserBKey, "rAgenda"), 0u);
}

TEST_F(StartupSettingsTest, ApplicationKeyThatCannotBeCreated) {
    backend.failingKeys.insert("software\\brenmark\\tavolex");
    EXPECT_FALSE(Load());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Couldn't create registry key.");
    EXPECT_TRUE(settings.outputFolder.empty());
    EXPECT_EQ(settings.placement, kDefaultPlacement);
}

TEST_F(StartupSettingsTest, FirstRunRegistersTheConduitOnceOrIsTriedAgain) {
    backend.SetDword(kAppKey, "Setup", 1);
    ASSERT_TRUE(Load());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kFirstRunText);
    EXPECT_EQ(ui.messages[0].caption, kFirstRunCaption);
    EXPECT_EQ(ui.messages[0].icon, platform::MessageIcon::kInformation);
    EXPECT_EQ(backend.GetDword(kAppKey, "Setup"), 0u);
    EXPECT_EQ(backend.GetString(kAppKey, "Version"), "2.7.1");
    EXPECT_EQ(backend.GetDword(kAppKey, "AutoView"), 2u);
    EXPECT_TRUE(fs::exists(dir.Path() / "HotSync" / "tavolexconduit.dll"));
    EXPECT_EQ(desktop.calls.back(), "DecodePCIErrorCode(0)");
    ApplicationSettings again{backend};
    ui.messages.clear();
    ASSERT_TRUE(LoadStartupSettings(again, env));
    EXPECT_TRUE(ui.messages.empty());

    // A failed registration keeps the request for the next start.
    backend.SetDword(kAppKey, "Setup", 1);
    backend.SetString(kAppKey, "Version", "");
    backend.SetString(kPalmCoreKeyPath, "HotSyncPath", "");
    ASSERT_TRUE(Load());
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].caption, "Install Error");
    EXPECT_EQ(ui.messages[1].text, std::string("There was a problem registering the conduit.\n\nPlease contact technical "
                                               "support at:\n\n") + kVendorSupportAddress);
    EXPECT_EQ(ui.messages[1].caption, "Tavolex Install");
    EXPECT_EQ(backend.GetDword(kAppKey, "Setup"), 1u);
    EXPECT_EQ(backend.GetString(kAppKey, "Version"), "");
}

TEST_F(StartupSettingsTest, ShutdownWritesViewsPlacementAndEveryMarkedUser) {
    ASSERT_TRUE(Load());
    settings.userDirectory = "UserB\\";
    settings.meetingView = 4;
    PalmUserList users(std::make_unique<test::FakePalmUserLibrary>(
        std::vector<test::FakePalmUser>{{11, "UserA", "UserA"}, {22, "UserB", "UserB"}}));
    backend.SetString(kAppKey, "LastUsername", "UserB");
    ASSERT_EQ(users.FillEntries(settings.appKey), 1);
    backend.writes.clear();
    SaveShutdownSettings(settings, {-32000, -32000, -31840, -31972}, users);
    EXPECT_EQ(backend.GetDword(kUserBKey, "MeetingView"), 4u);
    EXPECT_EQ(backend.GetDword(kUserBKey, "x"), static_cast<std::uint32_t>(-32000));
    EXPECT_EQ(backend.GetDword(kUserBKey, "w"), 160u);
    EXPECT_EQ(backend.GetDword(kUserBKey, "h"), 28u);
    // Both marked entries are written, the later one last.
    EXPECT_EQ(std::count(backend.writes.begin(), backend.writes.end(), "Software\\Brenmark\\Tavolex|LastUsername"), 2);
    EXPECT_EQ(backend.GetString(kAppKey, "LastUsername"), "UserB");
    EXPECT_EQ(backend.GetDword(kAppKey, "LastUser"), 22u);
    EXPECT_EQ(backend.GetString(kAppKey, "UserPath"), std::string("UserB") + kFolderSeparator);
}

}  // namespace
}  // namespace tavolex
