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
    EXPECT_EQ(options.outputPath, fs::path("out"));
    EXPECT_EQ(options.browserPath, fs::path("browse.exe"));
    EXPECT_EQ(options.templatePath, fs::path("templates"));
    EXPECT_EQ(options.autoView, kAutoViewWithAssociation);
    // A path that would not fit the program's buffer reads as missing.
    backend.SetString(kUserKey, "OutputPath", std::string(512, 'x'));
    EXPECT_TRUE(LoadPreferences(settings).outputPath.empty());
}

TEST_F(PreferencesSettingsTest, RefusedPathsStillStoreTheViewerChoice) {
    for (int missing = 0; missing < 3; ++missing) {
        PreferencesOptions options = NewPaths();
        fs::path* fields[] = {&options.browserPath, &options.outputPath, &options.templatePath};
        fields[missing]->clear();
        options.autoView = missing == 1 ? kAutoViewWithBrowserPath : kAutoViewWithAssociation;
        EXPECT_FALSE(SavePreferences(settings, users, options)) << missing;
        EXPECT_EQ(backend.GetDword(kUserKey, "AutoView"), options.autoView);
    }
    // Too long to read back is refused like empty.
    PreferencesOptions tooLong = NewPaths();
    tooLong.templatePath = fs::path(std::string(512, 't'));
    EXPECT_FALSE(SavePreferences(settings, users, tooLong));

    EXPECT_EQ(backend.GetString(kUserKey, "OutputPath"), "out");
    EXPECT_EQ(backend.GetString(kUserKey, "TemplatePath"), "templates");
    EXPECT_TRUE(settings.outputFolder.empty());
}

TEST_F(PreferencesSettingsTest, AcceptedPathsGoToMemoryAndTheCurrentUser) {
    PreferencesOptions options = NewPaths();
    options.autoView = 0;  // anything but the viewer program is the associated program
    ASSERT_TRUE(SavePreferences(settings, users, options));
    EXPECT_EQ(backend.GetDword(kUserKey, "AutoView"), kAutoViewWithAssociation);
    EXPECT_EQ(backend.GetString(kUserKey, "OutputPath"), "reports");
    EXPECT_EQ(backend.GetString(kUserKey, "BrowserPath"), "viewer.exe");
    EXPECT_EQ(backend.GetString(kUserKey, "TemplatePath"), "mine");
    EXPECT_EQ(settings.outputFolder, fs::path("reports"));
    EXPECT_EQ(settings.browserPath, fs::path("viewer.exe"));
    EXPECT_EQ(settings.templateFolder, fs::path("mine"));
    EXPECT_FALSE(backend.KeyExists("Software\\Brenmark\\Tavolex\\UserB"));
}

TEST_F(PreferencesSettingsTest, WithNoCurrentUserThePathsLiveOnlyInMemory) {
    users.ClearCurrentMarks();
    ASSERT_TRUE(SavePreferences(settings, users, NewPaths()));
    EXPECT_EQ(settings.templateFolder, fs::path("mine"));
    EXPECT_EQ(backend.GetString(kUserKey, "TemplatePath"), "templates");
    EXPECT_EQ(backend.GetDword(kUserKey, "AutoView"), kAutoViewWithBrowserPath);
}

}  // namespace
}  // namespace tavolex
