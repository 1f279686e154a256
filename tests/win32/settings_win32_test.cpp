// The settings store, Palm Desktop's user list and the conduit registration on Windows, under
// Wine, against the registry and the stand-in libraries. HKEY_CURRENT_USER and HKEY_CLASSES_ROOT
// are redirected into a key of our own for each test, which is deleted afterwards, so nothing
// outside it is touched. What the settings make of the values is tested on Linux.
#include "session/palm_user_list.h"
#include "setup/conduit_setup.h"
#include "setup/startup_settings.h"
#include "settings/settings_key.h"
#include "settings/settings_text.h"
#include "settings/program_strings.h"
#include "tests/support/recording_user_interaction.h"
#include "tests/win32/win32_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kTestRoot[] = L"Software\\Brenmark\\TavolexTests";
using test::kAppKey;
using test::kCore;
constexpr wchar_t kUserKey[] = L"Software\\Brenmark\\Tavolex\\UserA";
constexpr platform::ScreenSize kScreen{1280, 994};

class Win32SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(registry.Redirect(kTestRoot));
        backend = platform::OpenSystemSettings();
        settings = std::make_unique<ApplicationSettings>(*backend);
    }

    test::RedirectedRegistry registry;  // first, so restored last: after the settings and their store are gone
    std::unique_ptr<platform::SettingsBackend> backend;
    std::unique_ptr<ApplicationSettings> settings;
    test::RecordingUserInteraction ui;
    test::TempDir dir;
};

TEST_F(Win32SettingsTest, RegistryHoldsUnicodeTextsAndMatchesNamesWithoutCase) {
    SettingsKey& key = settings->userKey;
    ASSERT_EQ(key.OpenUserKey("UserA\\"), 0);
    key.WriteString("cAuthor", "\x89\xef\x8b\x63");  // 会議
    key.WriteDword("rFirstname", 0);
    key.WriteDword("rFirstName", 1);
    EXPECT_EQ(registry.Text(kUserKey, L"cAuthor"), L"会議");
    EXPECT_EQ(registry.Number(kUserKey, L"rFirstname"), 1u);
    EXPECT_EQ(registry.ValueCount(kUserKey), 2u);
    EXPECT_EQ(key.ReadString("CAUTHOR", 8192), "\x89\xef\x8b\x63");
    std::uint32_t untouched = 9;
    EXPECT_EQ(key.ReadValue("Setup", untouched), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(untouched, 9u);
    std::string text = "kept";
    EXPECT_EQ(key.ReadValue("cAuthor", text, 4), ERROR_MORE_DATA);
    EXPECT_EQ(text, "kept");
}

// The shell's command for http (the program cut from it is tested on Linux), or none.
TEST_F(Win32SettingsTest, DefaultBrowserFromTheShellsKey) {
    EXPECT_EQ(settings->appKey.ReadDefaultBrowser(), "");
    registry.SetText(L"Classes\\http\\shell\\open\\command", L"", L"\"C:\\Program Files\\Browser\\browse.exe\" -nohome");
    EXPECT_EQ(settings->appKey.ReadDefaultBrowser(), "C:\\Program Files\\Browser\\browse.exe");
}

// The library's users, names and folders, are the desktop's (Win32DesktopTest.UserChangeRefills...:
// the user box, LastUsername, UserPath). Here: no library, or one without the four functions, gives no users.
TEST_F(Win32SettingsTest, NoUsersWithoutTheUserDataLibraryOrItsFunctions) {
    const auto hasLibrary = [&](const fs::path& hotSync) {
        return PalmUserList(platform::SystemPalmDesktop().LoadUserLibrary(hotSync, settings->palmDesktopFolder)).HasLibrary();
    };
    fs::create_directories(dir / "Wrong");
    fs::copy_file(test::ProgramFolder() / "MAPI32.dll", dir / "Wrong" / "UserData.dll");
    EXPECT_FALSE(hasLibrary(dir / "Nowhere"));
    EXPECT_FALSE(hasLibrary(dir / "Wrong"));
}

// The first run registers the conduit through the installation library and integrates with
// Palm Desktop beside the other programs' keys; the library's failure is shown and returned.
TEST_F(Win32SettingsTest, FirstRunRegistersTheConduitAndIntegrates) {
    const fs::path install = dir / "Program Files" / "Tavolex";
    const fs::path hotSync = dir / "Palm";
    test::WriteFileBytes(install / "tavolexconduit.dll", "conduit");
    fs::copy_file(test::ProgramFolder() / "condinst.dll", install / "condinst.dll");
    fs::create_directories(hotSync);
    registry.SetText(kCore, L"HotSyncPath", (hotSync / L"HotSync.exe").wstring());
    registry.SetText(kCore, L"Path", hotSync.wstring());
    settings->appKey.OpenApplicationKey();
    settings->appKey.WriteString("InstallPath", FolderText(install));
    const wchar_t* ours = L"Software\\U.S. Robotics\\Pilot Desktop\\Tavolex";
    const wchar_t* theirs = L"Software\\U.S. Robotics\\Pilot Desktop\\Date Book";
    registry.SetNumber(ours, L"Creator", kCreatorId);
    registry.SetNumber(theirs, L"Creator", 0x64617465);
    registry.SetNumber(kAppKey, L"Setup", 1);
    ShellEnvironment env{ui, platform::SystemPalmDesktop(), [] { return kScreen; }, install / "tavolex.exe"};
    ASSERT_TRUE(LoadStartupSettings(*settings, env));  // the first-run message and Setup's reset: tested on Linux
    EXPECT_EQ(registry.Text(ours, L"Module"), (install / L"tavolex.exe").wstring());  // the rest of it is tested on Linux
    EXPECT_EQ(registry.ValueCount(theirs), 1u);
    const std::string installText = FolderText(install);
    const std::string hotSyncText = FolderText(hotSync);
    EXPECT_EQ(test::Lines(test::ReadFileBytes(install / "condinst.log")),
              (std::vector<std::string>{"UninstallConduit|" + hotSyncText + "|Tvlx",
                                        "InstallConduit|" + installText + "|Tvlx|" + hotSyncText.substr(0, hotSyncText.size() - 1) +
                                            "|TavolexConduit.dll|Tavolex|Tavolex.dat|Tvlx|Tavolex|2|Brenmark Technologies Inc.",
                                        "DecodePCIErrorCode|0"}));
    EXPECT_EQ(test::ReadFileBytes(hotSync / "tavolexconduit.dll"), "conduit");

    fs::remove(hotSync / "tavolexconduit.dll");
    test::WriteFileBytes(install / "condinst.result", "-1003");
    EXPECT_EQ(RegisterConduit(settings->appKey, ui, platform::SystemPalmDesktop()), -1003);
    EXPECT_EQ(ui.messages.size(), 2u);  // the first run's and the failure's
    EXPECT_EQ(test::Lines(test::ReadFileBytes(install / "condinst.log")).back(), "DecodePCIErrorCode|-1003");
}

}  // namespace
}  // namespace tavolex
