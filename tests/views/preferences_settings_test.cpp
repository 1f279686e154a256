// The options the user edits: the preferences dialog and the report options tabs.
#include "views/preferences_settings.h"

#include "session/palm_user_list.h"
#include "settings/application_settings.h"
#include "views/report_field_options.h"
#include "settings/settings_text.h"
#include "tests/support/fake_palm_desktop.h"
#include "tests/support/memory_settings.h"

#include <gtest/gtest.h>

#include <set>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr char kAppKey[] = "Software\\Brenmark\\Tavolex";
constexpr char kUserKey[] = "Software\\Brenmark\\Tavolex\\UserA";

// One Palm user, UserA, current, with the paths and viewer choice of the preferences stored.
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
    PalmUserList users{
        std::make_unique<test::FakePalmUserLibrary>(std::vector<test::FakePalmUser>{{1, "UserA", "UserA"}, {2, "UserB", "UserB"}})};
};

TEST_F(PreferencesSettingsTest, LoadsTheCurrentUsersValues) {
    const PreferencesOptions options = LoadPreferences(settings);
    EXPECT_EQ(std::tie(options.outputPath, options.browserPath, options.templatePath, options.autoView),
              std::make_tuple(fs::path("out"), fs::path("browse.exe"), fs::path("templates"), kAutoViewWithAssociation));
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
        EXPECT_FALSE(SavePreferences(settings, users.CurrentCount(), options)) << refused;
        EXPECT_EQ(backend.GetDword(kUserKey, "AutoView"), options.autoView);
    }
    EXPECT_EQ(backend.GetString(kUserKey, "TemplatePath"), "templates");
    EXPECT_TRUE(settings.outputFolder.empty());
}

// The stored texts are read back by Win32DesktopTest.PreferencesRefuseEmptyPathsAndStoreOnOk.
TEST_F(PreferencesSettingsTest, AcceptedPathsGoToMemoryAndTheCurrentUserOnly) {
    PreferencesOptions options = NewPaths();
    options.autoView = 0;  // anything but the viewer program is the associated program
    ASSERT_TRUE(SavePreferences(settings, users.CurrentCount(), options));
    EXPECT_EQ(backend.GetDword(kUserKey, "AutoView"), kAutoViewWithAssociation);
    EXPECT_EQ(std::tie(settings.outputFolder, settings.browserPath, settings.templateFolder),
              std::make_tuple(fs::path("reports"), fs::path("viewer.exe"), fs::path("mine")));
    EXPECT_EQ(backend.GetString(kUserKey, "OutputPath"), "reports");
    EXPECT_FALSE(backend.KeyExists("Software\\Brenmark\\Tavolex\\UserB"));
}

TEST_F(PreferencesSettingsTest, MissingSwitchesAreCreatedSetAndStoredOnesKept) {
    backend.SetDword(kUserKey, "rPhone3", 0);
    backend.SetDword(kUserKey, "rFirstName", 0);  // the other spelling is the same value
    backend.SetString(kUserKey, "rCity", "not a number");
    ReportOptionsValues values;
    LoadReportOptionsTab(settings, ReportOptionsTab::kFields, values);
    std::set<int> labels;
    for (const ReportFieldSwitch& field : kReportFieldSwitches) labels.insert(field.labelId);
    EXPECT_EQ(labels.size(), kReportFieldCount) << "each check box has a label of its own";
    for (std::size_t k = 0; k < kReportFieldCount; ++k) {
        const std::string_view name = kReportFieldSwitches[k].name;
        EXPECT_EQ(values.fields[k], name != "rPhone3" && name != "rFirstname") << name;
        const std::uint32_t stored = name == "rPhone3" || name == "rFirstname" ? 0 : 1;
        EXPECT_EQ(backend.GetDword(kUserKey, name), stored) << name;
    }
    // The labels' switch is not written, and the author tab is not touched.
    EXPECT_FALSE(backend.GetDword(kUserKey, "rShowLabels").has_value());
    EXPECT_EQ(values.author, "");
}

TEST_F(PreferencesSettingsTest, FieldsSaveWritesEverySwitchAndHidesLabels) {
    ReportOptionsValues values;
    values.fields.fill(true);
    values.fields[6] = false;  // 電話 3
    SaveReportOptionsTab(settings, ReportOptionsTab::kFields, values);
    for (const auto& field : kReportFieldSwitches)
        EXPECT_EQ(backend.GetDword(kUserKey, field.name), field.name == "rPhone3" ? 0u : 1u) << field.name;
    EXPECT_EQ(backend.GetDword(kUserKey, "rShowLabels"), 0u);
}

TEST_F(PreferencesSettingsTest, AuthorReadsBackAndAnEmptyOneBecomesThePalmUser) {
    ReportOptionsValues values;
    values.author = "\x8d\xec\x90\xac\x8e\xd2";  // 作成者
    SaveReportOptionsTab(settings, ReportOptionsTab::kAuthor, values);
    EXPECT_EQ(backend.GetString(kUserKey, "cAuthor"), values.author);
    values.author.clear();
    SaveReportOptionsTab(settings, ReportOptionsTab::kAuthor, values);
    EXPECT_EQ(backend.GetString(kUserKey, "cAuthor"), "UserA");
    LoadReportOptionsTab(settings, ReportOptionsTab::kAuthor, values);
    EXPECT_EQ(values.author, "UserA");
    EXPECT_EQ(backend.ValueCount(kUserKey), 5u);  // the four of the preferences and the author: no switch was written
}

}  // namespace
}  // namespace tavolex
