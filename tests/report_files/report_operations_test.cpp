#include "report_files/report_operations.h"

#include "platform/file_system.h"
#include "report_files/report_name.h"
#include "resources/string_table.h"
#include "tests/support/recording_user_interaction.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr char kEmptyMessage[] = "This file is currently empty and cannot be used.";
constexpr char kReplace[] = " already exits.\nDo you want to replace it?";

std::string Cp932(const fs::path& path) { return platform::PathToCp932(path); }

using Strings = std::vector<std::string>;

// Every file of a folder as "name=bytes", sorted: what an operation left, temporary copies too.
Strings Contents(const fs::path& folder) {
    Strings files;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
        files.push_back(Cp932(e.path().filename()) + "=" + test::ReadFileBytes(e.path()));
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(ReportNameTest, ForbiddenCharactersBecomeSpacesAndLongNamesAreCut) {
    test::RecordingUserInteraction ui;
    const std::pair<std::string, std::string> table[] = {
        {"a:b", "a b"},
        {":\\/*?\"<>|x", "         x"},
        {"\x95\x5c\x83\x7c|", "\x95\x5c\x83\x7c "},  // 表ポ|: trail bytes 0x5C and 0x7C are no characters of their own
        {"Minutes 2024", "Minutes 2024"},
        {"a\nb\tc\x1b[2J\x7f\x01.", "a b c [2J  ."},  // control bytes; the trailing dot stays before the extension
        {"con", "_con"},
        {"Nul .txt", "_Nul .txt"},
        {"lpt9", "_lpt9"},
        {"COM0", "COM0"},
        {"console", "console"},
    };
    for (const auto& [in, out] : table) {
        std::string name = in;
        EXPECT_EQ(CleanReportName(name, ui), in != out) << in;
        EXPECT_EQ(name, out);
    }
    ASSERT_EQ(ui.messages.size(), 4u) << "one for each name whose characters were replaced";
    EXPECT_EQ(ui.messages[2].text, ":\\/*?\"<>| are not allowed as Windows filenames and have been replaced with spaces.");
    EXPECT_EQ(ui.messages[2].caption, "Filename Change");
    EXPECT_EQ(ui.messages[2].icon, platform::MessageIcon::kInformation);
    // An edited name is cut at 100 bytes after a whole character.
    EXPECT_EQ(EditedReportName(std::string(120, 'a')), std::string(100, 'a'));
    EXPECT_EQ(EditedReportName(std::string(99, 'a') + "\x89\xef"), std::string(99, 'a'));  // 会 would end at 101
    EXPECT_EQ(EditedReportName(std::string(98, 'a') + "\x89\xef"
                                                      "b"),
              std::string(98, 'a') + "\x89\xef");
}

class ReportOperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(paths.outputFolder);
        fs::create_directories(dir / "drop");
    }
    fs::path Out(std::string_view name) const { return paths.outputFolder / name; }

    test::TempDir dir;
    ReportPaths paths{dir / "out", dir / "templates"};
    test::RecordingUserInteraction ui;
};

// The new name is cleaned and keeps the old extension; a missing or empty name and an existing
// report as the target fail and change nothing.
TEST_F(ReportOperationsTest, RenameKeepsTheExtensionAndNeverReplaces) {
    test::WriteFileBytes(Out("a.rtf"), "{\\rtf1 a}");
    test::WriteFileBytes(Out("a.htm"), "A");
    test::WriteFileBytes(Out("b.htm"), "B");
    EXPECT_TRUE(RenameReport(paths, "a.rtf", "x:y", ui));
    const std::pair<const char*, const char*> refused[] = {{"a.htm", "b"}, {"", "c"}, {"a.htm", ""}, {"gone.htm", "c"}};
    for (const auto& [from, to] : refused) EXPECT_FALSE(RenameReport(paths, from, to, ui)) << from << " to " << to;
    EXPECT_EQ(Contents(paths.outputFolder), (Strings{"a.htm=A", "b.htm=B", "x y.rtf={\\rtf1 a}"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Filename Change");
}

// Each question replaces or deletes a file: the information icon, and Enter answers "no". Only an
// existing report is asked about.
TEST_F(ReportOperationsTest, EveryQuestionDefaultsToNo) {
    EXPECT_TRUE(ConfirmOverwrite(Out("new.htm"), ui));
    EXPECT_TRUE(ui.questions.empty());
    test::WriteFileBytes(Out("a.htm"), "x");
    test::WriteFileBytes(dir / "drop" / "a.htm", "y");
    EXPECT_FALSE(ConfirmOverwrite(Out("a.htm"), ui));
    EXPECT_EQ(DeleteReport(paths, "a.htm", ui), DeleteOutcome::kDeclined);
    EXPECT_EQ(ImportReport(paths, dir / "drop" / "a.htm", ui), TransferOutcome::kDeclined);
    ASSERT_EQ(ui.questions.size(), 3u);
    EXPECT_EQ(ui.questions[0].text, Cp932(Out("a.htm")) + StringTableText(kIdsConfirmReplace));
    EXPECT_EQ(ui.questions[0].caption, "Tavolex");
    EXPECT_EQ(ui.questions[1].text, Cp932(Out("a.htm")) + "\n\n" + StringTableText(kIdsConfirmDelete));
    EXPECT_EQ(ui.questions[1].caption, "Deleting...");
    for (const test::AskedQuestion& question : ui.questions) {
        EXPECT_EQ(question.style, platform::kConfirmation) << question.text;
    }
    EXPECT_EQ(test::ReadFileBytes(Out("a.htm")), "x");
    ui.answer = true;
    EXPECT_TRUE(ConfirmOverwrite(Out("a.htm"), ui));
}

// Two reports of one meeting share its sketches: deleting one leaves the other whole, and a report
// or a user's file the text names is never removed as a picture. An empty report gives the
// message and is deleted.
TEST_F(ReportOperationsTest, DeleteKeepsPicturesOtherReportsShow) {
    test::WriteFileBytes(Out("a.htm"), "src=\"1.jpg\" src=\"2.jpg\" src=\"b.rtf\" src=\"budget.xlsx\"");
    test::WriteFileBytes(Out("budget.xlsx"), "mine");
    test::WriteFileBytes(Out("b.rtf"), "src=\"2.jpg\"");
    test::WriteFileBytes(Out("1.jpg"), "1");
    test::WriteFileBytes(Out("2.jpg"), "2");
    test::WriteFileBytes(Out("e.htm"), "");
    ui.answer = true;
    EXPECT_EQ(DeleteReport(paths, "a.htm", ui), DeleteOutcome::kDeleted);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(DeleteReport(paths, "e.htm", ui), DeleteOutcome::kDeleted);
    EXPECT_EQ(DeleteReport(paths, "../out/x.htm", ui), DeleteOutcome::kFailed);
    EXPECT_EQ(Contents(paths.outputFolder), (Strings{"2.jpg=2", "b.rtf=src=\"2.jpg\"", "budget.xlsx=mine"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kEmptyMessage);
}

// The report and its pictures are copied; a folder as the destination takes the report's name;
// replacing is asked first, onto itself too (leaving both whole); a missing folder and an empty
// report say so.
TEST_F(ReportOperationsTest, ExportCopiesTheReportAndItsPictures) {
    test::WriteFileBytes(Out("a.htm"), "src=\"1.jpg\"");
    test::WriteFileBytes(Out("1.jpg"), "J");
    test::WriteFileBytes(Out("e.htm"), "");
    EXPECT_EQ(ExportReport(paths, "a.htm", dir / "drop", ui), TransferOutcome::kDone);
    EXPECT_TRUE(ui.questions.empty());
    test::WriteFileBytes(dir / "drop" / "e.htm", "old");
    EXPECT_EQ(ExportReport(paths, "e.htm", dir / "drop" / "e.htm", ui), TransferOutcome::kDeclined);
    EXPECT_EQ(Contents(dir / "drop"), (Strings{"1.jpg=J", "a.htm=src=\"1.jpg\"", "e.htm=old"}));
    ui.answer = true;
    EXPECT_EQ(ExportReport(paths, "a.htm", Out("a.htm"), ui), TransferOutcome::kDone);
    EXPECT_EQ(Contents(paths.outputFolder), (Strings{"1.jpg=J", "a.htm=src=\"1.jpg\"", "e.htm="}));
    ASSERT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(ui.questions[1].text, std::string("a.htm") + kReplace);
    EXPECT_EQ(ui.questions[1].caption, "Tavolex");
    const fs::path missing = dir / "missing" / "a.htm";
    EXPECT_EQ(ExportReport(paths, "a.htm", missing, ui), TransferOutcome::kFailed);
    EXPECT_EQ(ExportReport(paths, "e.htm", dir / "e.htm", ui), TransferOutcome::kDone);
    EXPECT_EQ(ExportReport(paths, "../a.htm", dir / "drop", ui), TransferOutcome::kFailed);  // a name, never a path: no message
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text.rfind(Cp932(missing) + "\n", 0), 0u) << ui.messages[0].text;
    EXPECT_EQ(ui.messages[1].text, kEmptyMessage);
}

// Pictures move first, then the report, after asking before replacing; an RTF report is refused
// after its pictures moved; a report of the output folder itself stays; a copy that fails keeps
// the source.
TEST_F(ReportOperationsTest, ImportMovesPicturesThenTheReport) {
    test::WriteFileBytes(dir / "drop" / "m.HTM", "src=\"pics/1.jpg\"");
    test::WriteFileBytes(dir / "drop" / "1.jpg", "J");
    test::WriteFileBytes(Out("m.HTM"), "old");
    EXPECT_EQ(ImportReport(paths, dir / "drop" / "m.HTM", ui), TransferOutcome::kDeclined);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].text, Cp932(Out("m.HTM")) + kReplace);
    EXPECT_EQ(test::ReadFileBytes(Out("m.HTM")), "old");
    ui.answer = true;
    EXPECT_EQ(ImportReport(paths, dir / "drop" / "m.HTM", ui), TransferOutcome::kDone);
    EXPECT_EQ(ImportReport(paths, Out("m.HTM"), ui), TransferOutcome::kDone);
    test::WriteFileBytes(dir / "drop" / "m.rtf", "src=\"3.jpg\"");
    test::WriteFileBytes(dir / "drop" / "3.jpg", "L");
    EXPECT_EQ(ImportReport(paths, dir / "drop" / "m.rtf", ui), TransferOutcome::kRefused);
    EXPECT_EQ(Contents(paths.outputFolder), (Strings{"1.jpg=J", "3.jpg=L", "m.HTM=src=\"pics/1.jpg\""}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The specified file cannot be identified as a supported type.");
    test::WriteFileBytes(dir / "drop" / "n.htm", "only copy");
    paths.outputFolder = dir / "missing";
    EXPECT_EQ(ImportReport(paths, dir / "drop" / "n.htm", ui), TransferOutcome::kFailed);
    EXPECT_EQ(Contents(dir / "drop"), (Strings{"m.rtf=src=\"3.jpg\"", "n.htm=only copy"}));
}

}  // namespace
}  // namespace tavolex
