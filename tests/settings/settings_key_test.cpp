#include "settings/settings_key.h"

#include "settings/settings_text.h"
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

TEST_F(SettingsKeyTest, PalmDesktopValues) {
    // Not installed: the keys are created empty (SettingsFileTest.EveryWriteIsOnDiskAndPalmKeysAreSections
    // shows the one made in the file).
    EXPECT_EQ(std::make_tuple(key.ReadPalmDesktopFolder(513), key.ReadHotSyncFolder(513), key.ReadPalmLastUserName(8192)),
              std::make_tuple(std::string(1, kFolderSeparator), "", ""));
    const std::string palm = std::string("C:") + kFolderSeparator + "Palm" + kFolderSeparator;
    backend.SetString(kPalmCoreKeyPath, "HotSyncPath", palm + "HotSync.exe");
    backend.SetString(kPalmCoreKeyPath, "path", "C:PalmDesktop");
    backend.SetString(kPalmPreferencesKeyPath, "LastUserName", "UserB");
    EXPECT_EQ(std::make_tuple(key.ReadHotSyncFolder(513), key.ReadPalmDesktopFolder(513), key.ReadPalmLastUserName(8192)),
              std::make_tuple(palm, std::string("C:PalmDesktop") + kFolderSeparator, "UserB"));
    // The separator must fit the buffer too: 13 bytes + separator + terminator.
    EXPECT_EQ(key.ReadPalmDesktopFolder(14), std::string(1, kFolderSeparator));
}

// The user's defaults keep the texts they hold and reset every other value.
TEST_F(SettingsKeyTest, UserDefaultsKeepEditedTextsAndResetTheRest) {
    backend.SetString(kPalmCoreKeyPath, "Path", "/palm");
    backend.SetString(kUserKey, "OutputPath", "D:\\Reports\\");
    backend.SetDword(kUserKey, "rFirstName", 0);
    backend.SetDword(kUserKey, "MeetingView", 4);
    backend.browser = {"C:\\PROGRA~1\\BROWSER\\BROWSE.EXE %1", true};
    ASSERT_EQ(key.WriteUserDefaults("UserA\\", "Author", kScreen), 0);
    EXPECT_EQ(std::make_tuple(backend.GetString(kUserKey, "OutputPath"), backend.GetString(kUserKey, "cAuthor"),
                              backend.GetString(kUserKey, "BrowserPath"), backend.GetString(kUserKey, "DatabasePath")),
              std::make_tuple("D:\\Reports\\", "Author", "C:\\PROGRA~1\\BROWSER\\BROWSE.EXE",
                              std::string("/palm") + kFolderSeparator + "UserA\\Tavolex" + kFolderSeparator));
    std::vector<std::optional<std::uint32_t>> numbers;
    for (const char* name : {"AutoView", "rFirstname", "rShowLabels", "MeetingView", "ReportView", "x", "y", "w", "h"}) {
        numbers.push_back(backend.GetDword(kUserKey, name));
    }
    EXPECT_EQ(numbers, (std::vector<std::optional<std::uint32_t>>{2, 1, 1, 2, 1, 128, 100, 1024, 795}));
}

// The program of the shell's browser command (the defaults above show an upper-case one): cut after
// its ".exe", the opening quote dropped; without ".exe", the whole command but that quote.
TEST(BrowserCommandTest, ProgramOfTheCommandLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"\"C:\\Program Files\\Browser\\browse.exe\" -nohome", "C:\\Program Files\\Browser\\browse.exe"},
        {"\"C:\\Browser\\browse\" %1", "C:\\Browser\\browse\" %1"},
    };
    for (const auto& [command, program] : cases) EXPECT_EQ(ProgramFromBrowserCommandLine(command), program) << command;
}

}  // namespace
}  // namespace tavolex
