#include "shell/settings_key.h"

#include "shell/settings_text.h"
#include "tests/support/memory_settings.h"

#include <gtest/gtest.h>

namespace tavolex {
namespace {

using test::MemorySettingsBackend;

constexpr char kUserKey[] = "Software\\Brenmark\\Tavolex\\UserA\\";
constexpr platform::ScreenSize kScreen{1280, 994};

std::string Folder(std::initializer_list<const char*> parts) {
    std::string text;
    for (const char* part : parts) {
        text += part;
        text += kFolderSeparator;
    }
    return text;
}

class SettingsKeyTest : public ::testing::Test {
protected:
    MemorySettingsBackend backend;
    SettingsKey key{backend};
};

TEST_F(SettingsKeyTest, ValueNamesMatchWithoutRegardToCase) {
    ASSERT_EQ(key.OpenUserKey("UserA\\"), 0);
    key.WriteDword("rFirstname", 0);
    key.WriteDword("rFirstName", 1);
    EXPECT_EQ(backend.ValueCount(kUserKey), 1u);
    EXPECT_EQ(key.ReadDword("RFIRSTNAME"), 1u);
    EXPECT_EQ(backend.GetDword(kUserKey, "rfirstname"), 1u);
}

TEST_F(SettingsKeyTest, MissingOrOversizedValueLeavesTheBufferUntouched) {
    ASSERT_EQ(key.OpenApplicationKey(), 0);
    std::uint32_t number = 77;
    EXPECT_EQ(key.ReadValue("Setup", number), platform::kSettingsNotFound);
    EXPECT_EQ(number, 77u);
    std::string text = "before";
    EXPECT_EQ(key.ReadValue("UserPath", text, 512), platform::kSettingsNotFound);
    EXPECT_EQ(text, "before");
    key.WriteString("UserPath", std::string(511, 'x'));
    EXPECT_EQ(key.ReadValue("UserPath", text, 511), platform::kSettingsMoreData);
    EXPECT_EQ(text, "before");
    EXPECT_EQ(key.ReadValue("UserPath", text, 512), 0);
    EXPECT_EQ(text.size(), 511u);
    // Another type counts as not set.
    EXPECT_EQ(key.ReadValue("UserPath", number), platform::kSettingsBadData);
    EXPECT_EQ(number, 77u);
}

TEST_F(SettingsKeyTest, NoUserDirectoryMeansTheApplicationKey) {
    key.OpenUserKey("");
    key.WriteString("OutputPath", "D:\\Out\\");
    EXPECT_EQ(backend.GetString("Software\\Brenmark\\Tavolex", "OutputPath"), "D:\\Out\\");
    SettingsKey closed{backend};
    EXPECT_EQ(closed.WriteDword("x", 1), platform::kSettingsNoKey);
}

// The program is cut from the desktop's browser command; a path that is not a command is taken
// whole, and one longer than its 260-byte buffer is none.
TEST_F(SettingsKeyTest, DefaultBrowserOfTheDesktop) {
    const struct {
        std::string command;
        bool isCommandLine;
        std::string program;
    } table[] = {
        {"\"C:\\Program Files\\Browser\\browse.exe\" -nohome", true, "C:\\Program Files\\Browser\\browse.exe"},
        {"C:\\PROGRA~1\\BROWSER\\BROWSE.EXE %1", true, "C:\\PROGRA~1\\BROWSER\\BROWSE.EXE"},
        {"\"C:\\Browser\\browse\" -url \"%1\"", true, "C:\\Browser\\browse\" -url \"%1\""},
        {".ex", true, ".ex"},
        {"", true, ""},
        {"/usr/bin/EXEC.exe-browser", false, "/usr/bin/EXEC.exe-browser"},
        {std::string(260, 'a'), true, ""},
    };
    for (const auto& row : table) {
        backend.browser = {row.command, row.isCommandLine};
        EXPECT_EQ(key.ReadDefaultBrowser(), row.program) << row.command;
    }
}

TEST_F(SettingsKeyTest, PalmDesktopValues) {
    // Not installed: the keys are created empty.
    EXPECT_EQ(key.ReadPalmDesktopFolder(513), std::string(1, kFolderSeparator));
    EXPECT_EQ(key.ReadHotSyncFolder(513), "");
    EXPECT_EQ(key.ReadPalmLastUserName(8192), "");
    EXPECT_TRUE(backend.KeyExists("Software\\U.S. Robotics\\Pilot Desktop\\Preferences"));

    const std::string program = Folder({"C:", "Palm"}) + "HotSync.exe";
    backend.SetString(kPalmCoreKeyPath, "HotSyncPath", program);
    backend.SetString(kPalmCoreKeyPath, "path", "C:PalmDesktop");
    backend.SetString(kPalmPreferencesKeyPath, "LastUserName", "UserB");
    EXPECT_EQ(key.ReadHotSyncFolder(513), Folder({"C:", "Palm"}));
    EXPECT_EQ(key.ReadPalmDesktopFolder(513), std::string("C:PalmDesktop") + kFolderSeparator);
    EXPECT_EQ(key.ReadPalmLastUserName(8192), "UserB");
    // The separator must fit the buffer too: 13 bytes + separator + terminator.
    EXPECT_EQ(key.ReadPalmDesktopFolder(14), std::string(1, kFolderSeparator));
}

TEST_F(SettingsKeyTest, UserDefaultsKeepEditedTextsAndResetTheRest) {
    backend.SetString(kPalmCoreKeyPath, "Path", "/palm");
    backend.SetString(kUserKey, "OutputPath", "D:\\Reports\\");
    backend.SetString(kUserKey, "cAuthor", "Someone");
    backend.SetDword(kUserKey, "AutoView", 1);
    backend.SetDword(kUserKey, "rFirstName", 0);
    backend.SetDword(kUserKey, "MeetingView", 4);
    backend.SetDword(kUserKey, "x", 5);
    backend.browser = {"C:\\PROGRA~1\\BROWSER\\BROWSE.EXE %1", true};

    ASSERT_EQ(key.WriteUserDefaults("UserA\\", "Author", kScreen), 0);
    EXPECT_EQ(backend.GetString(kUserKey, "OutputPath"), "D:\\Reports\\");
    EXPECT_EQ(backend.GetString(kUserKey, "cAuthor"), "Someone");
    EXPECT_EQ(backend.GetString(kUserKey, "BrowserPath"), "C:\\PROGRA~1\\BROWSER\\BROWSE.EXE");
    EXPECT_EQ(backend.GetString(kUserKey, "DatabasePath"), std::string("/palm") + kFolderSeparator + "UserA\\Tavolex" + kFolderSeparator);
    EXPECT_EQ(backend.GetDword(kUserKey, "AutoView"), 2u);
    EXPECT_EQ(backend.GetDword(kUserKey, "rFirstname"), 1u);
    EXPECT_EQ(backend.GetDword(kUserKey, "rShowLabels"), 1u);
    EXPECT_EQ(backend.GetDword(kUserKey, "MeetingView"), 2u);
    EXPECT_EQ(backend.GetDword(kUserKey, "ReportView"), 1u);
    EXPECT_EQ(backend.GetDword(kUserKey, "x"), 128u);
    EXPECT_EQ(backend.GetDword(kUserKey, "y"), 100u);
    EXPECT_EQ(backend.GetDword(kUserKey, "w"), 1024u);
    EXPECT_EQ(backend.GetDword(kUserKey, "h"), 795u);
    EXPECT_EQ(backend.ValueCount(kUserKey), 37u);  // 4 texts, AutoView, 26 switches, 2 views, 4 placement values
}

TEST_F(SettingsKeyTest, UserDefaultsOfAnEmptyKeyWriteTheOrderOfTheList) {
    key.WriteUserDefaults("UserA\\", "Author", kScreen);
    const std::vector<std::string> expectedStart = {
        "Software\\Brenmark\\Tavolex\\UserA|cAuthor",     "Software\\Brenmark\\Tavolex\\UserA|BrowserPath",
        "Software\\Brenmark\\Tavolex\\UserA|AutoView",    "Software\\Brenmark\\Tavolex\\UserA|DatabasePath",
        "Software\\Brenmark\\Tavolex\\UserA|OutputPath",  "Software\\Brenmark\\Tavolex\\UserA|rAuthor"};
    ASSERT_GE(backend.writes.size(), expectedStart.size());
    EXPECT_EQ(std::vector<std::string>(backend.writes.begin(), backend.writes.begin() + 6), expectedStart);
    EXPECT_EQ(backend.writes.back(), "Software\\Brenmark\\Tavolex\\UserA|h");
    EXPECT_EQ(backend.GetString(kUserKey, "cAuthor"), "Author");
    EXPECT_EQ(backend.GetString(kUserKey, "OutputPath"), backend.GetString(kUserKey, "DatabasePath"));
}

}  // namespace
}  // namespace tavolex
