#include "setup/startup_settings.h"

#include "session/user_change.h"
#include "settings/settings_text.h"
#include "settings/program_strings.h"
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

// Out-of-range values take the defaults; an invalid height resets the valid width too; a placement
// stored while minimised (far negative position, tiny size) is the default one.
TEST(ValidateWindowPlacementTest, OutOfRangeValuesTakeTheDefaults) {
    const auto far = static_cast<std::uint32_t>(-32000);
    const struct {
        std::uint32_t x, y, w, h;
        WindowPlacement valid;
    } table[] = {
        {10, 20, 300, 400, {10, 20, 300, 400}},      {0, 20, 300, 400, {128, 20, 300, 400}}, {10, 0, 300, 400, {10, 100, 300, 400}},
        {1281, 995, 300, 400, {128, 100, 300, 400}}, {10, 20, 49, 400, {10, 20, 1024, 400}}, {10, 20, 50, 50, {10, 20, 50, 50}},
        {10, 20, 300, 30, {10, 20, 1024, 795}},      {far, far, 160, 28, kDefaultPlacement}, {1280, 994, 1280, 994, {1280, 994, 1280, 994}},
    };
    for (const auto& c : table) EXPECT_EQ(ValidateWindowPlacement(c.x, c.y, c.w, c.h, kScreen), c.valid) << c.x << " " << c.h;
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
    // No user directory: the user defaults land in the application key itself.
    const std::string database = SettingsTextFromPath(dir.Path() / "Palm") + kFolderSeparator + "Tavolex" + kFolderSeparator;
    EXPECT_EQ(
        std::make_tuple(backend.GetString(kAppKey, "InstallPath"), backend.GetString(kAppKey, "HelpPath"),
                        backend.GetString(kAppKey, "DatabasePath"), backend.GetString(kAppKey, "cAuthor"),
                        backend.GetString(kAppKey, "TemplatePath")),
        std::make_tuple(InstallText(), std::string(kVendorHelpAddress), database, "UserB", InstallText() + "templates" + kFolderSeparator));
    EXPECT_EQ(std::make_tuple(settings.authorName, SettingsTextFromPath(settings.outputFolder),
                              SettingsTextFromPath(settings.databaseFolder), settings.browserPath),
              std::make_tuple("UserB", database, database, PathFromSettingsText("C:\\PROGRA~1\\BROWSER\\BROWSE.EXE")));
    EXPECT_EQ(FolderText(settings.hotSyncFolder), FolderText(dir.Path() / "HotSync"));
    EXPECT_FALSE(backend.GetDword(kAppKey, "Version").has_value());
}

TEST_F(StartupSettingsTest, ApplicationKeyThatCannotBeCreated) {
    backend.failingKeys.insert("software\\brenmark\\tavolex");
    EXPECT_FALSE(Load());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Couldn't create registry key.");
}

TEST_F(StartupSettingsTest, FirstRunRegistersTheConduitOnceOrIsTriedAgain) {
    backend.SetDword(kAppKey, "Setup", 1);
    ASSERT_TRUE(Load());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(std::tie(ui.messages[0].text, ui.messages[0].caption, ui.messages[0].icon),
              std::make_tuple(kFirstRunText, kFirstRunCaption, platform::MessageIcon::kInformation));
    EXPECT_EQ(
        std::make_tuple(backend.GetDword(kAppKey, "Setup"), backend.GetString(kAppKey, "Version"), backend.GetDword(kAppKey, "AutoView")),
        std::make_tuple(0u, "2.7.1", 2u));

    // Without HotSync Manager the request waits for a later start, without a word; a failed
    // registration keeps it too.
    ui.messages.clear();
    backend.SetDword(kAppKey, "Setup", 1);
    backend.SetString(kAppKey, "Version", "");
    backend.SetString(kPalmCoreKeyPath, "HotSyncPath", "");
    ASSERT_TRUE(Load());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(std::make_tuple(backend.GetDword(kAppKey, "Setup"), backend.GetString(kAppKey, "Version")), std::make_tuple(1u, ""));
    fs::remove(install / "tavolexconduit.dll");
    backend.SetString(kPalmCoreKeyPath, "HotSyncPath", FolderText(dir.Path() / "HotSync") + "HotSync.exe");
    ASSERT_TRUE(Load());
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].caption, "Tavolex Install");
    EXPECT_EQ(ui.messages[1].text, std::string("There was a problem registering the conduit.\n\nPlease contact technical "
                                               "support at:\n\n") +
                                       kVendorSupportAddress);
    EXPECT_EQ(ui.messages[1].caption, "Tavolex Install");
    EXPECT_EQ(std::make_tuple(backend.GetDword(kAppKey, "Setup"), backend.GetString(kAppKey, "Version")), std::make_tuple(1u, ""));
}

TEST_F(StartupSettingsTest, ShutdownWritesViewsPlacementAndEveryMarkedUser) {
    ASSERT_TRUE(Load());
    settings.userDirectory = "UserB\\";
    settings.meetingView = 4;
    PalmUserList users(
        std::make_unique<test::FakePalmUserLibrary>(std::vector<test::FakePalmUser>{{11, "UserA", "UserA"}, {22, "UserB", "UserB"}}));
    backend.SetString(kAppKey, "LastUsername", "UserB");
    ASSERT_EQ(users.FillEntries(settings.appKey), 1);
    SaveShutdownSettings(settings, {-32000, -32000, -31840, -31972}, users);
    std::vector<std::optional<std::uint32_t>> numbers;
    for (const char* name : {"MeetingView", "x", "y", "w", "h"}) numbers.push_back(backend.GetDword(kUserBKey, name));
    EXPECT_EQ(numbers, (std::vector<std::optional<std::uint32_t>>{4, static_cast<std::uint32_t>(-32000), static_cast<std::uint32_t>(-32000),
                                                                  160, 28}));
    EXPECT_EQ(std::make_tuple(backend.GetString(kAppKey, "LastUsername"), backend.GetDword(kAppKey, "LastUser"),
                              backend.GetString(kAppKey, "UserPath")),
              std::make_tuple("UserB", 22u, std::string("UserB") + kFolderSeparator));
}

}  // namespace
}  // namespace tavolex
