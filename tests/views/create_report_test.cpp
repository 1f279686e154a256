#include "views/create_report.h"

#include "platform/file_system.h"
#include "report/report_folder.h"
#include "report_files/report_writer.h"
#include "settings/settings_key.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/memory_settings.h"
#include "tests/support/loaded_user.h"
#include "tests/support/recording_user_interaction.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr char kUserKey[] = "Software\\Brenmark\\Tavolex\\TanakaT";
const std::string kExecutive = "\x83\x47\x83\x4f\x83\x5b\x83\x4e\x83\x65\x83\x42\x83\x75";  // エグゼクティブ
const std::string kAgenda = "\x8b\x63\x91\xe8";                                             // 議題

TEST(SelectByPrefixTest, AsciiLettersMatchInAnyCaseAndDoubleByteCharactersWhole) {
    const std::vector<std::string> items = {kExecutive + ".htm", "Minutes.rtf", "weekly review.htm", "Weekly.htm"};
    const std::vector<std::tuple<std::string, int, int>> table = {{"Weekly", 0, 2}, {"MINUTES.RTF", 0, 1}, {"Quarterly", 0, 0},
                                                                  {"", 3, 3},       {kExecutive, 1, 0},    {"Minutes.rtf and more", 0, 0}};
    for (const auto& [prefix, fallback, expected] : table) {
        EXPECT_EQ(SelectByPrefix(items, prefix, fallback), expected) << prefix;
    }
    // ア is 83 41 and ヂ is 83 61: the second byte is no letter to fold.
    EXPECT_EQ(SelectByPrefix({"\x83\x61.htm"}, "\x83\x41", -1), -1);
}

class CreateReportTest : public ::testing::Test {
protected:
    static test::PalmUserSpec User() {
        test::MeetingSpec meeting{.title = "Plan A/B",
                                  .location = "Room 5",
                                  .date = test::HandheldDay(2004, 5, 17),
                                  .start = {10, 0},
                                  .end = {11, 30},
                                  .id = 0x10};
        meeting.items = {test::AgendaSpec{.text = "Budget\nnext year", .status = 1, .id = 0x20},
                         test::NoteSpec{.text = "a\nb", .id = 0x30}};
        return {.categories = {"Unfiled"}, .meetings = {meeting}};
    }
    void SetUp() override {
        fs::create_directories(paths.outputFolder);
        fs::create_directories(paths.templateFolder);
        report.SetClock(test::FixedReportTime);
    }

    const Meeting& M() const { return user.M(0); }
    SettingsKey UserKey() {
        SettingsKey key(backend);
        EXPECT_EQ(key.OpenUserKey("TanakaT"), platform::kSettingsOk);
        return key;
    }

    const test::LoadedUser user{User()};
    test::MemorySettingsBackend backend;
    test::RecordingUserInteraction ui;
    ReportFolder report{user.store, user.book};
    ReportWriter writer{report, ui};
    ReportPaths paths{user.dir / "out", user.dir / "templates"};
};

TEST_F(CreateReportTest, ChoicesStartFromTheExecutiveItemsAndTheRememberedTexts) {
    test::WriteFileBytes(paths.templateFolder / "Weekly.htm", "<p>");
    test::WriteFileBytes(paths.templateFolder / "notes.txt", "not a template");
    test::WriteFileBytes(paths.templateFolder / platform::PathFromCp932(kExecutive + ".htm"), "<p>");
    SettingsKey key = UserKey();
    CreateReportChoices choices = LoadCreateReportChoices(key, paths.templateFolder, {kExecutive, kAgenda});
    EXPECT_EQ(choices.templates.size(), 2u);
    EXPECT_EQ(choices.templates.at(static_cast<std::size_t>(choices.templateSelection)), kExecutive + ".htm");
    EXPECT_EQ(choices.instantSelection, 0);

    backend.SetString(kUserKey, "LastTemplate", "weekly");
    backend.SetString(kUserKey, "LastReport", kAgenda);
    backend.SetDword(kUserKey, "rToDo", 0);
    StoreSection(key, 0, false);
    choices = LoadCreateReportChoices(key, paths.templateFolder, {kExecutive, kAgenda});
    EXPECT_EQ(choices.templates.at(static_cast<std::size_t>(choices.templateSelection)), "Weekly.htm");
    EXPECT_EQ(choices.instantSelection, 1);
    EXPECT_EQ(choices.sections, (std::array<bool, 6>{false, true, false, true, true, true}));
    EXPECT_EQ(backend.GetDword(kUserKey, "rAuthor"), 0u);
}

TEST_F(CreateReportTest, TheProposedNameIsTheTitleCleaned) {
    EXPECT_EQ(ProposedReportName(M().szTitle, ui), "Plan A B");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Filename Change");
    EXPECT_EQ(ProposedReportName(std::string(600, 'x'), ui).size(), kReportNameCapacity);
}

TEST_F(CreateReportTest, AnRtfTemplateKeepsItsExtension) {
    test::WriteFileBytes(paths.templateFolder / "Minutes.RTF", "{\\rtf1 \\{ AGENDAS_BEGIN \\}\\{ AGENDA \\}\\{ AGENDAS_END \\}}");
    ASSERT_EQ(CreateTemplateReport(writer, M(), paths, "Minutes.RTF", "min", ui), CreateReportResult::kWritten);
    EXPECT_TRUE(fs::exists(paths.outputFolder / "min.RTF"));
    EXPECT_NE(test::ReadFileBytes(paths.outputFolder / "min.RTF").find("Budget \\line next year"), std::string::npos);
}

TEST_F(CreateReportTest, ADeclinedOverwriteKeepsTheOldReportAndTheDialogOpen) {
    test::WriteFileBytes(paths.outputFolder / "r.htm", "old");
    ui.answer = false;
    EXPECT_EQ(CreateBuiltInReport(writer, M(), paths, ReportKind::kAgenda, "r", ui), CreateReportResult::kStay);
    EXPECT_EQ(test::ReadFileBytes(paths.outputFolder / "r.htm"), "old");
    EXPECT_EQ(ui.questions.at(0).caption, "Tavolex");

    ui.answer = true;
    EXPECT_EQ(CreateBuiltInReport(writer, M(), paths, ReportKind::kAgenda, "r", ui), CreateReportResult::kWritten);
    EXPECT_NE(test::ReadFileBytes(paths.outputFolder / "r.htm"), "old");
}

}  // namespace
}  // namespace tavolex
