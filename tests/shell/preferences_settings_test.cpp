#include "shell/preferences_settings.h"

#include "shell/application_settings.h"
#include "shell/palm_user_list.h"
#include "shell/settings_text.h"
#include "tests/support/fake_palm_desktop.h"
#include "tests/support/memory_settings.h"

#include <gtest/gtest.h>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr char kAppKey[] = "Software\\Brenmark\\Tavolex";
constexpr char kUserKey[] = "Software\\Brenmark\\Tavolex\\UserA";

class PreferencesSettingsTest : public ::testing::Test {
protected:
    PreferencesSettingsTest() {
        settings.appKey.OpenApplicationKey();
        settings.userDirectory = "UserA\\";
        backend.SetString(kAppKey, "LastUsername", "UserA");
        backend.SetString(kUserKey, "OutputPath", "out");
        backend.SetString(kUserKey, "BrowserPath", "browse.exe");
        backend.SetString(kUserKey, "TemplatePath", "templates");
        backend.SetDword(kUserKey, "AutoView", 1);
        users.FillEntries(settings.appKey);  // UserA, the first entry, is current
    }

    static PreferencesOptions NewPaths() {
        return {fs::path("viewer.exe"), fs::path("reports"), fs::path("mine"), kAutoViewWithBrowserPath};
    }

    test::MemorySettingsBackend backend;
    ApplicationSettings settings{backend};
    PalmUserList users{std::make_unique<test::FakePalmUserLibrary>(
        std::vector<test::FakePalmUser>{{1, "UserA", "UserA"}, {2, "UserB", "UserB"}})};
};

TEST_F(PreferencesSettingsTest, LoadsTheCurrentUsersValues) {
    const PreferencesOptions options = LoadPreferences(settings);
    EXPECT_EQ(std::tie(options.outputPath, options.browserPath, options.templatePath),
              std::make_tuple(fs::path("out"), fs::path("browse.exe"), fs::path("templates")));
    EXPECT_EQ(options.autoView, kAutoViewWithAssociation);
    // A path that would not fit the program's buffer reads as missing.
    backend.SetString(kUserKey, "OutputPath", std::string(512, 'x'));
    EXPECT_TRUE(LoadPreferences(settings).outputPath.empty());
}

// An empty path, or one too long to read back, is refused; the viewer choice is stored anyway.
TEST_F(PreferencesSettingsTest, RefusedPathsStillStoreTheViewerChoice) {
    for (int refused = 0; refused < 4; ++refused) {
        PreferencesOptions options = NewPaths();
        fs::path* fields[] = {&options.browserPath, &options.outputPath, &options.templatePath, &options.templatePath};
        *fields[refused] = refused == 3 ? fs::path(std::string(512, 't')) : fs::path();
        options.autoView = refused == 1 ? kAutoViewWithBrowserPath : kAutoViewWithAssociation;
        EXPECT_FALSE(SavePreferences(settings, users, options)) << refused;
        EXPECT_EQ(backend.GetDword(kUserKey, "AutoView"), options.autoView);
    }
    EXPECT_EQ(backend.GetString(kUserKey, "TemplatePath"), "templates");
    EXPECT_TRUE(settings.outputFolder.empty());
}

TEST_F(PreferencesSettingsTest, AcceptedPathsGoToMemoryAndTheCurrentUserOnly) {
    PreferencesOptions options = NewPaths();
    options.autoView = 0;  // anything but the viewer program is the associated program
    ASSERT_TRUE(SavePreferences(settings, users, options));
    EXPECT_EQ(backend.GetDword(kUserKey, "AutoView"), kAutoViewWithAssociation);
    EXPECT_EQ(backend.GetString(kUserKey, "OutputPath"), "reports");
    EXPECT_EQ(backend.GetString(kUserKey, "BrowserPath"), "viewer.exe");
    EXPECT_EQ(backend.GetString(kUserKey, "TemplatePath"), "mine");
    EXPECT_EQ(std::tie(settings.outputFolder, settings.browserPath, settings.templateFolder),
              std::make_tuple(fs::path("reports"), fs::path("viewer.exe"), fs::path("mine")));
    EXPECT_FALSE(backend.KeyExists("Software\\Brenmark\\Tavolex\\UserB"));
    // With no current user the paths live only in memory.
    users.ClearCurrentMarks();
    options.templatePath = "theirs";
    ASSERT_TRUE(SavePreferences(settings, users, options));
    EXPECT_EQ(settings.templateFolder, fs::path("theirs"));
    EXPECT_EQ(backend.GetString(kUserKey, "TemplatePath"), "mine");
}

}  // namespace
}  // namespace tavolex
