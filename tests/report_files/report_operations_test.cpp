// The report folder's own operations: names, the pictures a report shows, rename, delete, export,
// import and mail.
#include "report_files/report_images.h"
#include "report_files/report_mailer.h"
#include "report_files/report_operations.h"

#include "platform/file_system.h"
#include "platform/mail.h"
#include "report_files/report_name.h"
#include "resources/string_table.h"
#include "tests/support/recording_user_interaction.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

struct SentMail {
    std::string subject;
    std::vector<fs::path> attachments;
};

// Keeps every message in a list the test owns (the sender itself is owned by the mailer).
class RecordingMailSender final : public platform::MailSender {
public:
    explicit RecordingMailSender(std::vector<SentMail>& sent) : sent_(sent) {}
    bool Send(std::string_view subject, const std::vector<fs::path>& attachments) override {
        sent_.push_back({std::string(subject), attachments});
        return true;
    }

private:
    std::vector<SentMail>& sent_;
};

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

Strings Names(std::string_view text, bool* complete = nullptr) {
    std::vector<ImageReference> references;
    const bool ok = ScanImageReferences(text, references);
    if (complete != nullptr) *complete = ok;
    Strings names;
    for (const ImageReference& r : references) names.push_back(r.fileName);
    return names;
}

// src="..." and background="..." exactly as written, one entry per file name, and only values that
// name a file. 表 is 0x95 0x5C: its second byte is no separator; a stray lead byte never takes a '/'
// into the name (a fuzzer's finding).
TEST(ScanImageReferencesTest, FileNamesOfTheReferences) {
    EXPECT_EQ(Names("<img src=\"1234.jpg\"><td background=\"images/bg%20a.gif\">"), (Strings{"1234.jpg", "bg a.gif"}));
    EXPECT_EQ(Names("src=\"a/x.jpg\" src=\"b\\x.jpg\" src=\"x.jpg\" src=\"y%20z.jpg\" src=\"y z.jpg\""), (Strings{"x.jpg", "y z.jpg"}));
    EXPECT_EQ(Names("background=\"x\" src=\"pics\\\x95\x5c.jpg\" src=\"/a.jpg\" src=\"\xE5/y.jpg\" src="),
              (Strings{"x", "\x95\x5c.jpg", "a.jpg", "y.jpg"}));
    for (std::string_view none :
         {"<IMG SRC=\"x.jpg\"><td BACKGROUND=\"y.gif\">", "<img src = \"x.jpg\"><img src='y.jpg'>", "src=\"\" background=\"\"",
          "src=\"images/\"", "src=\"a/..\" src=\".\"", "src=\"never ends", "src=\"", "backgroun", "<htmsrc=\"al>18030c=\xE5/\"\""}) {
        EXPECT_EQ(Names(none), Strings{}) << none;
    }
    EXPECT_EQ(Names(std::string_view("src=\"a\0b.jpg\"", 13)), Strings{});  // the quote comes after a zero byte
    // Any reference after the 256th ends the scan, even one to a name already there.
    std::string text;
    for (int i = 0; i < 256; ++i) text += "src=\"" + std::to_string(i) + ".jpg\"";
    for (const std::string& more : {std::string(), std::string("src=\"0.jpg\""), std::string("src=\"new.jpg\"")}) {
        bool complete = false;
        EXPECT_EQ(Names(text + more, &complete).size(), 256u);
        EXPECT_EQ(complete, more.empty()) << more;
    }
}

TEST(ReportNameTest, ForbiddenCharactersBecomeSpacesAndLongNamesAreCut) {
    test::RecordingUserInteraction ui;
    const std::pair<std::string, std::string> table[] = {
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
    ASSERT_EQ(ui.messages.size(), 3u) << "one for each name whose characters were replaced";
    EXPECT_EQ(std::tie(ui.messages[2].text, ui.messages[2].caption, ui.messages[2].icon),
              std::make_tuple(":\\/*?\"<>| are not allowed as Windows filenames and have been replaced with spaces.", "Filename Change",
                              platform::MessageIcon::kInformation));
    // An edited name is cut at 100 bytes after a whole character (会 0x89 0xEF would end at 101).
    const std::pair<std::string, std::string> edited[] = {{std::string(120, 'a'), std::string(100, 'a')},
                                                          {std::string(99, 'a') + "\x89\xef", std::string(99, 'a')},
                                                          {std::string(98, 'a') + "\x89\xef" + "b", std::string(98, 'a') + "\x89\xef"}};
    for (const auto& [in, out] : edited) EXPECT_EQ(EditedReportName(in), out);
}

class ReportFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(paths.outputFolder);
        fs::create_directories(paths.templateFolder / "images");
        fs::create_directories(dir / "drop");
    }
    fs::path Out(std::string_view name) const { return paths.outputFolder / name; }

    test::TempDir dir;
    ReportPaths paths{dir / "out", dir / "templates"};
    test::RecordingUserInteraction ui;
};

// A report's pictures are its sketch pictures and the template pictures it copied (a leading
// separator stands for the template folder's top); other files the text names (a user's, one
// beside the template folder, one only named like a sketch) are not. A missing report, one with
// too many pictures (257) and an empty one (with the message) leave no names.
TEST_F(ReportFilesTest, PicturesOfAReportAndTemplatePicturesRefreshed) {
    test::WriteFileBytes(Out("a.htm"),
                         "<img src=\"1234.jpg\"><td background=\"images/bg%20a.gif\"><img src=\"b.htm\">"
                         "<img src=\"budget.xlsx\"><img src=\"../secret.gif\"><img src=\"0012.jpg\">"
                         "<img src=\"-7-2.jpg\"><img src=\"7-1.jpg\"><img src=\"/images/top.gif\"><img src=\".jpg\"><img src=\"\">");
    test::WriteFileBytes(dir / "secret.gif", "S");
    test::WriteFileBytes(Out("budget.xlsx"), "mine");
    test::WriteFileBytes(paths.templateFolder / "images" / "bg a.gif", "NEW");
    test::WriteFileBytes(Out("bg a.gif"), "OLD");
    test::WriteFileBytes(paths.templateFolder / "images" / "top.gif", "TOP");
    test::WriteFileBytes(Out("1234.jpg"), "SKETCH");
    test::WriteFileBytes(paths.templateFolder / "b.htm", "template");
    test::WriteFileBytes(Out("b.htm"), "report");
    ReportImageList list;
    ASSERT_TRUE(CollectReportImages(Out("a.htm"), paths, ui, list));
    EXPECT_EQ(list.names, (Strings{"1234.jpg", "bg a.gif", "b.htm", "-7-2.jpg", "top.gif"}));
    EXPECT_EQ(Contents(paths.outputFolder), (Strings{"1234.jpg=SKETCH", "a.htm=" + test::ReadFileBytes(Out("a.htm")), "b.htm=report",
                                                     "bg a.gif=NEW", "budget.xlsx=mine", "top.gif=TOP"}));
    EXPECT_TRUE(ui.messages.empty());

    std::string many;
    for (int i = 0; i < 257; ++i) many += "src=\"" + std::to_string(i) + ".jpg\"";
    test::WriteFileBytes(Out("many.htm"), many);
    test::WriteFileBytes(Out("empty.htm"), "");
    for (const char* name : {"gone.htm", "many.htm", "empty.htm"}) {
        list.names = {"stale"};
        EXPECT_FALSE(CollectReportImages(Out(name), paths, ui, list)) << name;
        EXPECT_TRUE(list.names.empty()) << name;
    }
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(std::tie(ui.messages[0].text, ui.messages[0].caption, ui.messages[0].icon),
              std::make_tuple(kEmptyMessage, "Tavolex", platform::MessageIcon::kInformation));
}

// The new name is cleaned and keeps the old extension; a missing or empty name and an existing
// report as the target fail and change nothing.
TEST_F(ReportFilesTest, RenameKeepsTheExtensionAndNeverReplaces) {
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
TEST_F(ReportFilesTest, EveryQuestionDefaultsToNo) {
    EXPECT_TRUE(ConfirmOverwrite(Out("new.htm"), ui));
    EXPECT_TRUE(ui.questions.empty());
    test::WriteFileBytes(Out("a.htm"), "x");
    test::WriteFileBytes(dir / "drop" / "a.htm", "y");
    EXPECT_FALSE(ConfirmOverwrite(Out("a.htm"), ui));
    EXPECT_EQ(DeleteReport(paths, "a.htm", ui), DeleteOutcome::kDeclined);
    EXPECT_EQ(ImportReport(paths, dir / "drop" / "a.htm", ui), TransferOutcome::kDeclined);
    ASSERT_EQ(ui.questions.size(), 3u);
    EXPECT_EQ(std::tie(ui.questions[0].text, ui.questions[0].caption),
              std::make_tuple(Cp932(Out("a.htm")) + StringTableText(kIdsConfirmReplace), "Tavolex"));
    EXPECT_EQ(std::tie(ui.questions[1].text, ui.questions[1].caption),
              std::make_tuple(Cp932(Out("a.htm")) + "\n\n" + StringTableText(kIdsConfirmDelete), "Deleting..."));
    for (const test::AskedQuestion& question : ui.questions) EXPECT_EQ(question.style, platform::kConfirmation) << question.text;
    EXPECT_EQ(test::ReadFileBytes(Out("a.htm")), "x");
}

// Two reports of one meeting share its sketches: deleting one leaves the other whole, and a report
// or a user's file the text names is never removed as a picture. An empty report gives the
// message and is deleted.
TEST_F(ReportFilesTest, DeleteKeepsPicturesOtherReportsShow) {
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
TEST_F(ReportFilesTest, ExportCopiesTheReportAndItsPictures) {
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
    EXPECT_EQ(std::tie(ui.questions[1].text, ui.questions[1].caption), std::make_tuple(std::string("a.htm") + kReplace, "Tavolex"));
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
TEST_F(ReportFilesTest, ImportMovesPicturesThenTheReport) {
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

// The report goes first, then each picture it shows; a missing picture is reported and left out;
// an empty report is sent alone after the message. Without a mail program nothing is sent, with a
// message.
TEST_F(ReportFilesTest, MailAttachesTheReportAndItsPictures) {
    std::vector<SentMail> sent;
    ReportMailer mailer{std::make_unique<RecordingMailSender>(sent)};
    test::WriteFileBytes(Out("a.htm"), "src=\"1.jpg\" src=\"2.jpg\" background=\"3.gif\" src=\"budget.xlsx\"");
    test::WriteFileBytes(Out("1.jpg"), "1");
    test::WriteFileBytes(paths.templateFolder / "3.gif", "3");
    test::WriteFileBytes(Out("budget.xlsx"), "mine");
    test::WriteFileBytes(Out("e.htm"), "");
    for (const char* name : {"a.htm", "e.htm"}) EXPECT_TRUE(mailer.SendReport(paths, name, ui)) << name;
    ReportMailer none;
    EXPECT_FALSE(none.Available());
    EXPECT_FALSE(none.SendReport(paths, "a.htm", ui));
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(std::tie(ui.messages[0].text, ui.messages[0].caption, ui.messages[0].icon),
              std::make_tuple(std::string("2.jpg") + StringTableText(kIdsAttachmentNotFound),
                              "\x93\x59\x95\x74\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x83\x47\x83\x89\x81\x5b",
                              platform::MessageIcon::kInformation));
    EXPECT_EQ(ui.messages[1].text, kEmptyMessage);
    EXPECT_EQ(std::tie(ui.messages[2].text, ui.messages[2].caption),
              std::make_tuple("No MAPI Client is available, please upgrade your email package.", "Tavolex"));
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].attachments, (std::vector<fs::path>{Out("a.htm"), Out("1.jpg"), Out("3.gif")}));
    EXPECT_EQ(sent[1].attachments, std::vector<fs::path>{Out("e.htm")});
}

}  // namespace
}  // namespace tavolex
