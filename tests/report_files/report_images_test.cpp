#include "report_files/report_images.h"

#include "platform/file_system.h"
#include "tests/support/recording_user_interaction.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(std::string_view text, bool* complete = nullptr) {
    std::vector<ImageReference> references;
    const bool ok = ScanImageReferences(text, references);
    if (complete != nullptr) *complete = ok;
    std::vector<std::string> names;
    for (const ImageReference& r : references) names.push_back(r.fileName);
    return names;
}

using Strings = std::vector<std::string>;

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

class CollectReportImagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(paths.outputFolder);
        fs::create_directories(paths.templateFolder / "images");
    }

    test::TempDir dir;
    ReportPaths paths{dir / "out", dir / "templates"};
    test::RecordingUserInteraction ui;
    ReportImageList list;
};

// A report's pictures are its sketch pictures and the template pictures it copied (a leading
// separator stands for the template folder's top); other files the text names (a user's, one
// beside the template folder, one only named like a sketch) are not.
TEST_F(CollectReportImagesTest, TemplatePicturesAreRefreshed) {
    const fs::path report = paths.outputFolder / "a.htm";
    test::WriteFileBytes(report,
                         "<img src=\"1234.jpg\"><td background=\"images/bg%20a.gif\"><img src=\"b.htm\">"
                         "<img src=\"budget.xlsx\"><img src=\"../secret.gif\"><img src=\"0012.jpg\">"
                         "<img src=\"-7-2.jpg\"><img src=\"7-1.jpg\"><img src=\"/images/top.gif\">");
    test::WriteFileBytes(dir / "secret.gif", "S");
    test::WriteFileBytes(paths.outputFolder / "budget.xlsx", "mine");
    test::WriteFileBytes(paths.templateFolder / "images" / "bg a.gif", "NEW");
    test::WriteFileBytes(paths.outputFolder / "bg a.gif", "OLD");
    test::WriteFileBytes(paths.templateFolder / "images" / "top.gif", "TOP");
    test::WriteFileBytes(paths.outputFolder / "1234.jpg", "SKETCH");
    test::WriteFileBytes(paths.templateFolder / "b.htm", "template");
    test::WriteFileBytes(paths.outputFolder / "b.htm", "report");

    ASSERT_TRUE(CollectReportImages(report, paths, ui, list));
    EXPECT_EQ(list.names, (Strings{"1234.jpg", "bg a.gif", "b.htm", "-7-2.jpg", "top.gif"}));
    EXPECT_EQ(test::ReadFileBytes(paths.outputFolder / "bg a.gif"), "NEW");
    EXPECT_EQ(test::ReadFileBytes(paths.outputFolder / "top.gif"), "TOP");
    EXPECT_EQ(test::ReadFileBytes(paths.outputFolder / "1234.jpg"), "SKETCH");
    EXPECT_EQ(test::ReadFileBytes(paths.outputFolder / "b.htm"), "report");  // a report is no picture to refresh
    EXPECT_TRUE(ui.messages.empty());
}

// An empty report shows the message; a missing one and one with too many pictures (257) fail
// silently.
TEST_F(CollectReportImagesTest, FailuresLeaveNoNames) {
    std::string many;
    for (int i = 0; i < 257; ++i) many += "src=\"" + std::to_string(i) + ".jpg\"";
    test::WriteFileBytes(paths.outputFolder / "many.htm", many);
    test::WriteFileBytes(paths.outputFolder / "empty.htm", "");
    for (const char* name : {"gone.htm", "many.htm", "empty.htm"}) {
        list.names = {"stale"};
        EXPECT_FALSE(CollectReportImages(paths.outputFolder / name, paths, ui, list)) << name;
        EXPECT_TRUE(list.names.empty()) << name;
    }
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "This file is currently empty and cannot be used.");
    EXPECT_EQ(ui.messages[0].caption, "Tavolex");
    EXPECT_EQ(ui.messages[0].icon, platform::MessageIcon::kInformation);
}

}  // namespace
}  // namespace tavolex
