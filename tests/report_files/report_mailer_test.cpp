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
    void SetUp() override {
        paths.outputFolder = dir / "out";
        paths.templateFolder = dir / "templates";
        fs::create_directories(paths.outputFolder);
        fs::create_directories(paths.templateFolder);
    }
    fs::path Out(std::string_view name) const { return paths.outputFolder / name; }

    test::TempDir dir;
    ReportPaths paths;
    test::RecordingUserInteraction ui;
    std::vector<test::SentMail> sent;
    ReportMailer mailer{std::make_unique<test::RecordingMailSender>(sent)};
};

TEST_F(ReportMailerTest, UnavailableMailSaysSo) {
    ReportMailer none;
    EXPECT_FALSE(none.Available());
    test::WriteFileBytes(Out("a.htm"), "x");
    EXPECT_FALSE(none.SendReport(paths, "a.htm", ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "No MAPI Client is available, please upgrade your email package.");
    EXPECT_EQ(ui.messages[0].caption, "Tavolex");
}

TEST_F(ReportMailerTest, MissingPictureIsReportedAndLeftOut) {
    test::WriteFileBytes(Out("a.htm"), "src=\"1.jpg\" src=\"2.jpg\" background=\"3.gif\"");
    test::WriteFileBytes(Out("1.jpg"), "1");
    test::WriteFileBytes(Out("3.gif"), "3");
    EXPECT_TRUE(mailer.SendReport(paths, "a.htm", ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, std::string("2.jpg") + StringTableText(kIdsAttachmentNotFound));
    EXPECT_EQ(ui.messages[0].caption, "\x93\x59\x95\x74\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x83\x47\x83\x89\x81\x5b");
    EXPECT_EQ(ui.messages[0].icon, platform::MessageIcon::kInformation);
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].attachments.size(), 3u);
    EXPECT_TRUE(fs::equivalent(sent[0].attachments[1], Out("1.jpg")));
    EXPECT_TRUE(fs::equivalent(sent[0].attachments[2], Out("3.gif")));
}

// A report without pictures, and an empty one after the message, are sent alone.
TEST_F(ReportMailerTest, ReportWithoutPicturesIsSentAlone) {
    test::WriteFileBytes(Out("a.htm"), "<p>no pictures</p>");
    test::WriteFileBytes(Out("e.htm"), "");
    EXPECT_TRUE(mailer.Available());
    EXPECT_TRUE(mailer.SendReport(paths, "a.htm", ui));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(mailer.SendReport(paths, "e.htm", ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "This file is currently empty and cannot be used.");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].subject, "a.htm");
    ASSERT_EQ(sent[0].attachments.size(), 1u);
    EXPECT_TRUE(fs::equivalent(sent[0].attachments[0], Out("a.htm")));
    EXPECT_EQ(sent[1].attachments.size(), 1u);
}

}  // namespace
}  // namespace tavolex
