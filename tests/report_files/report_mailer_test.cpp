#include "report_files/report_mailer.h"

#include "resources/string_table.h"
#include "tests/support/recording_mail_sender.h"
#include "tests/support/recording_user_interaction.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

class ReportMailerTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(paths.outputFolder); }
    fs::path Out(std::string_view name) const { return paths.outputFolder / name; }

    test::TempDir dir;
    ReportPaths paths{dir / "out", dir / "templates"};
    test::RecordingUserInteraction ui;
    std::vector<test::SentMail> sent;
    ReportMailer mailer{std::make_unique<test::RecordingMailSender>(sent)};
};

// The report goes first, then each picture it shows (its sketches and template pictures); a missing picture is reported and left out. A
// report without pictures, and an empty one after the message, are sent alone. Without a mail
// program nothing is sent, with a message.
TEST_F(ReportMailerTest, ReportAndItsPicturesAreAttached) {
    test::WriteFileBytes(Out("a.htm"), "src=\"1.jpg\" src=\"2.jpg\" background=\"3.gif\" src=\"budget.xlsx\"");
    test::WriteFileBytes(Out("1.jpg"), "1");
    test::WriteFileBytes(paths.templateFolder / "3.gif", "3");  // a template picture, refreshed
    test::WriteFileBytes(Out("budget.xlsx"), "mine");           // named, but no picture of the report
    test::WriteFileBytes(Out("b.htm"), "<p>no pictures</p>");
    test::WriteFileBytes(Out("e.htm"), "");
    for (const char* name : {"a.htm", "b.htm", "e.htm"}) EXPECT_TRUE(mailer.SendReport(paths, name, ui)) << name;
    ReportMailer none;
    EXPECT_FALSE(none.Available());
    EXPECT_FALSE(none.SendReport(paths, "b.htm", ui));
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, std::string("2.jpg") + StringTableText(kIdsAttachmentNotFound));
    EXPECT_EQ(ui.messages[0].caption, "\x93\x59\x95\x74\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x83\x47\x83\x89\x81\x5b");
    EXPECT_EQ(ui.messages[0].icon, platform::MessageIcon::kInformation);
    EXPECT_EQ(ui.messages[1].text, "This file is currently empty and cannot be used.");
    EXPECT_EQ(ui.messages[2].text, "No MAPI Client is available, please upgrade your email package.");
    EXPECT_EQ(ui.messages[2].caption, "Tavolex");
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[1].subject, "b.htm");
    const std::vector<std::vector<fs::path>> attached = {{Out("a.htm"), Out("1.jpg"), Out("3.gif")}, {Out("b.htm")}, {Out("e.htm")}};
    for (std::size_t i = 0; i < attached.size(); ++i) EXPECT_EQ(sent[i].attachments, attached[i]);
}

}  // namespace
}  // namespace tavolex
