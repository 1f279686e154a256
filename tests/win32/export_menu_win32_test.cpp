// The File menu's exports through the frame's commands, under Wine: each writes its file (or the
// archive's folder) where the chooser answered, and closes with the counts; a cancelled chooser
// writes nothing.
#include "tests/win32/desktop_fixture.h"
#include "ui/export_runner.h"

namespace tavolex {
namespace {

struct ExportCase {
    int command;
    const char* target;     // under the test folder
    const char* written;    // the file to look at, under the test folder
    std::string_view head;  // its first bytes
};

class ExportMenuTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        InstallPalmDesktop();
        choosers = ui::Choosers{[this](HWND) { return answer; }, [](HWND, fs::path&) { return false; },
                                [](HWND, const fs::path&) { return ui::ExploreResult::kShown; },
                                [this](HWND, const std::wstring&, const wchar_t*) { return answer; }};
        // The archive opens in the viewer: none is configured, so nothing is started.
        Start();
    }

    std::optional<fs::path> answer;
};

TEST_F(ExportMenuTest, EachExportWritesItsFileAndTellsTheCounts) {
    const ExportCase cases[] = {
        {ui::kCmdExportCalendar, "minutes.ics", "minutes.ics", "BEGIN:VCALENDAR\r\n"},
        {ui::kCmdExportContacts, "people.vcf", "people.vcf", "BEGIN:VCARD\r\n"},
        {ui::kCmdExportDatabase, "store.sqlite", "store.sqlite", std::string_view("SQLite format 3\0", 16)},
        {ui::kCmdExportArchive, "archive", "archive/index.html", "<!DOCTYPE html>"},
    };
    const std::string done = ui::Narrow(ui::LoadText(GetModuleHandleW(nullptr), ui::kIdsExportDone));
    for (const ExportCase& c : cases) {
        ui.messages.clear();
        if (c.command == ui::kCmdExportArchive) fs::create_directories(dir / c.target);
        answer = dir / c.target;
        Command(c.command);
        const std::string bytes = test::ReadFileBytes(dir / c.written);
        EXPECT_EQ(bytes.substr(0, c.head.size()), c.head) << c.target;
        ASSERT_EQ(ui.messages.size(), 1u) << c.target;
        EXPECT_EQ(ui.messages[0].text.substr(0, done.size()), done) << c.target;
        EXPECT_EQ(ui.messages[0].icon, platform::MessageIcon::kInformation);
        EXPECT_TRUE(IsWindowEnabled(App().frame));
    }
    answer.reset();
    ui.messages.clear();
    Command(ui::kCmdExportCalendar);
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace tavolex
