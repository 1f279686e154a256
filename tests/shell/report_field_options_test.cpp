#include "shell/report_field_options.h"

#include "shell/application_settings.h"
#include "tests/support/memory_settings.h"

#include <gtest/gtest.h>

namespace tavolex {
namespace {

constexpr char kAppKey[] = "Software\\Brenmark\\Tavolex";
constexpr char kUserKey[] = "Software\\Brenmark\\Tavolex\\UserA";

class ReportOptionsTabTest : public ::testing::Test {
protected:
    ReportOptionsTabTest() {
        settings.appKey.OpenApplicationKey();
        settings.userDirectory = "UserA\\";
        backend.SetString(kAppKey, "LastUsername", "Palm User");
    }
    test::MemorySettingsBackend backend;
    ApplicationSettings settings{backend};
};

TEST_F(ReportOptionsTabTest, MissingSwitchesAreCreatedSetAndStoredOnesKept) {
    backend.SetDword(kUserKey, "rPhone3", 0);
    backend.SetDword(kUserKey, "rFirstName", 0);  // the other spelling is the same value
    backend.SetString(kUserKey, "rCity", "not a number");
    ReportOptionsValues values;
    LoadReportOptionsTab(settings, ReportOptionsTab::kFields, values);
    for (std::size_t k = 0; k < kReportFieldCount; ++k) {
        const std::string_view name = kReportFieldSwitches[k].name;
        EXPECT_EQ(values.fields[k], name != "rPhone3" && name != "rFirstname") << name;
        const std::uint32_t stored = name == "rPhone3" || name == "rFirstname" ? 0 : 1;
        EXPECT_EQ(backend.GetDword(kUserKey, name), stored) << name;
    }
    // Nothing else is written, and the author tab is not touched.
    EXPECT_FALSE(backend.GetDword(kUserKey, "rShowLabels").has_value());
    EXPECT_EQ(backend.writes.size(), 17u);
    EXPECT_EQ(values.author, "");
}

TEST_F(ReportOptionsTabTest, FieldsSaveWritesEverySwitchInOrderAndHidesLabels) {
    ReportOptionsValues values;
    values.fields.fill(true);
    values.fields[6] = false;  // 電話 3
    SaveReportOptionsTab(settings, ReportOptionsTab::kFields, values);
    ASSERT_EQ(backend.writes.size(), kReportFieldCount + 1);
    for (std::size_t k = 0; k < kReportFieldCount; ++k) {
        EXPECT_EQ(backend.writes[k], std::string(kUserKey) + "|" + std::string(kReportFieldSwitches[k].name));
    }
    EXPECT_EQ(backend.writes.back(), std::string(kUserKey) + "|rShowLabels");
    EXPECT_EQ(std::make_tuple(backend.GetDword(kUserKey, "rPhone3"), backend.GetDword(kUserKey, "rPhone2"),
                              backend.GetDword(kUserKey, "rShowLabels")),
              std::make_tuple(0u, 1u, 0u));
}

TEST_F(ReportOptionsTabTest, AuthorReadsBackAndAnEmptyOneBecomesThePalmUser) {
    ReportOptionsValues values;
    values.author = "\x8d\xec\x90\xac\x8e\xd2";  // 作成者
    SaveReportOptionsTab(settings, ReportOptionsTab::kAuthor, values);
    EXPECT_EQ(backend.GetString(kUserKey, "cAuthor"), values.author);
    values.author.clear();
    SaveReportOptionsTab(settings, ReportOptionsTab::kAuthor, values);
    EXPECT_EQ(backend.GetString(kUserKey, "cAuthor"), "Palm User");
    LoadReportOptionsTab(settings, ReportOptionsTab::kAuthor, values);
    EXPECT_EQ(values.author, "Palm User");
    EXPECT_EQ(backend.ValueCount(kUserKey), 1u);  // no switch was written
}

}  // namespace
}  // namespace tavolex
