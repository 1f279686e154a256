#include "shell/settings_key.h"

#include "shell/settings_text.h"
#include "tests/support/memory_settings.h"

#include <gtest/gtest.h>

namespace tavolex {
namespace {

constexpr char kUserKey[] = "Software\\Brenmark\\Tavolex\\UserA\\";
constexpr platform::ScreenSize kScreen{1280, 994};

class SettingsKeyTest : public ::testing::Test {
protected:
    test::MemorySettingsBackend backend;
    SettingsKey key{backend};
};

// With no user directory the user's values go to the application key; a key never opened takes none.
TEST_F(SettingsKeyTest, NoUserDirectoryIsTheApplicationKey) {
    EXPECT_EQ(key.WriteDword("x", 1), platform::kSettingsNoKey);
    key.OpenUserKey("");
    key.WriteString("OutputPath", "D:\\Out\\");
    EXPECT_EQ(backend.GetString("Software\\Brenmark\\Tavolex", "OutputPath"), "D:\\Out\\");
}

TEST_F(SettingsKeyTest, MissingOversizedOrMistypedValueLeavesTheBufferUntouched) {
    ASSERT_EQ(key.OpenApplicationKey(), 0);
    std::uint32_t number = 77;
    EXPECT_EQ(key.ReadValue("Setup", number), platform::kSettingsNotFound);
    std::string text = "before";
    EXPECT_EQ(key.ReadValue("UserPath", text, 512), platform::kSettingsNotFound);
    key.WriteString("UserPath", std::string(511, 'x'));
    EXPECT_EQ(key.ReadValue("UserPath", text, 511), platform::kSettingsMoreData);
    EXPECT_EQ(text, "before");
    EXPECT_EQ(key.ReadValue("UserPath", text, 512), 0);
    EXPECT_EQ(text.size(), 511u);
    EXPECT_EQ(key.ReadValue("UserPath", number), platform::kSettingsBadData);
    EXPECT_EQ(number, 77u);
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
    const std::string palm = std::string("C:") + kFolderSeparator + "Palm" + kFolderSeparator;
    backend.SetString(kPalmCoreKeyPath, "HotSyncPath", palm + "HotSync.exe");
    backend.SetString(kPalmCoreKeyPath, "path", "C:PalmDesktop");
    backend.SetString(kPalmPreferencesKeyPath, "LastUserName", "UserB");
    EXPECT_EQ(key.ReadHotSyncFolder(513), palm);
    EXPECT_EQ(key.ReadPalmDesktopFolder(513), std::string("C:PalmDesktop") + kFolderSeparator);
    EXPECT_EQ(key.ReadPalmLastUserName(8192), "UserB");
    // The separator must fit the buffer too: 13 bytes + separator + terminator.
    EXPECT_EQ(key.ReadPalmDesktopFolder(14), std::string(1, kFolderSeparator));
}

// The user's defaults keep the texts they hold and reset every other value, writing in the order of
// the list.
TEST_F(SettingsKeyTest, UserDefaultsKeepEditedTextsAndResetTheRest) {
    backend.SetString(kPalmCoreKeyPath, "Path", "/palm");
    backend.SetString(kUserKey, "OutputPath", "D:\\Reports\\");
    backend.SetDword(kUserKey, "rFirstName", 0);
    backend.SetDword(kUserKey, "MeetingView", 4);
    backend.browser = {"C:\\PROGRA~1\\BROWSER\\BROWSE.EXE %1", true};
    ASSERT_EQ(key.WriteUserDefaults("UserA\\", "Author", kScreen), 0);
    EXPECT_EQ(backend.GetString(kUserKey, "OutputPath"), "D:\\Reports\\");
    EXPECT_EQ(backend.GetString(kUserKey, "cAuthor"), "Author");
    EXPECT_EQ(backend.GetString(kUserKey, "BrowserPath"), "C:\\PROGRA~1\\BROWSER\\BROWSE.EXE");
    EXPECT_EQ(backend.GetString(kUserKey, "DatabasePath"), std::string("/palm") + kFolderSeparator + "UserA\\Tavolex" + kFolderSeparator);
    std::vector<std::optional<std::uint32_t>> numbers;
    for (const char* name : {"AutoView", "rFirstname", "rShowLabels", "MeetingView", "ReportView", "x", "y", "w", "h"}) {
        numbers.push_back(backend.GetDword(kUserKey, name));
    }
    EXPECT_EQ(numbers, (std::vector<std::optional<std::uint32_t>>{2, 1, 1, 2, 1, 128, 100, 1024, 795}));
    EXPECT_EQ(backend.ValueCount(kUserKey), 37u);  // 4 texts, AutoView, 26 switches, 2 views, 4 placement values
    std::vector<std::string> names;
    for (const std::string& write : backend.writes) names.push_back(write.substr(write.find('|') + 1));
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 5),
              (std::vector<std::string>{"cAuthor", "BrowserPath", "AutoView", "DatabasePath", "rAuthor"}));
    EXPECT_EQ(backend.writes.back(), "Software\\Brenmark\\Tavolex\\UserA|h");
}

}  // namespace
}  // namespace tavolex
