#include "setup/conduit_setup.h"

#include "settings/settings_key.h"
#include "settings/settings_text.h"
#include "settings/program_strings.h"
#include "tests/support/fake_palm_desktop.h"
#include "tests/support/memory_settings.h"
#include "tests/support/recording_user_interaction.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace tavolex {
namespace {

namespace fs = std::filesystem;
constexpr char kComponents[] = "Software\\U.S. Robotics\\Pilot Desktop";
constexpr char kUnableText[] = "Unable to register the Tavolex Meeting conduit.  Please verify that the HotSync manager is running.";

class ConduitSetupTest : public ::testing::Test {
protected:
    ConduitSetupTest() {
        fs::create_directories(install);
        fs::create_directories(hotSync);
        test::WriteFileBytes(install / "tavolexconduit.dll", "new conduit");
        backend.SetString(kPalmCoreKeyPath, "HotSyncPath", HotSyncText() + "HotSync.exe");
        backend.SetString(kApplicationKeyPath, "InstallPath", FolderText(install));
        appKey.OpenApplicationKey();
    }
    std::string HotSyncText() const { return FolderText(hotSync); }

    test::TempDir dir;
    fs::path install = dir / "Program";
    fs::path hotSync = dir / "Palm";
    test::MemorySettingsBackend backend;
    SettingsKey appKey{backend};
    test::RecordingUserInteraction ui;
    test::FakePalmDesktop desktop;
};

// The installer's calls and their arguments are proven against the installation library itself
// (Win32SettingsTest.FirstRunRegistersTheConduitAndIntegrates); here, a read-only old copy is
// replaced, and the installer's error is shown decoded and returned.
TEST_F(ConduitSetupTest, ReadOnlyOldCopyIsReplacedAndTheInstallersErrorShown) {
    test::WriteFileBytes(hotSync / "tavolexconduit.dll", "old");
    fs::permissions(hotSync / "tavolexconduit.dll", fs::perms::owner_read);
    fs::permissions(install / "tavolexconduit.dll", fs::perms::owner_read);  // as installed, read-only
    desktop.installResult = -1003;
    EXPECT_EQ(RegisterConduit(appKey, ui, desktop), -1003);
    EXPECT_EQ(test::ReadFileBytes(hotSync / "tavolexconduit.dll"), "new conduit");
    EXPECT_NE(fs::status(hotSync / "tavolexconduit.dll").permissions() & fs::perms::owner_write, fs::perms::none)
        << "the copy can be replaced";
    fs::permissions(install / "tavolexconduit.dll", fs::perms::owner_write, fs::perm_options::add);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(std::tie(ui.messages[0].text, ui.messages[0].caption, desktop.calls.back()),
              std::make_tuple(kUnableText, "Tavolex Install", "DecodePCIErrorCode(-1003)"));
}

// Without HotSync, or where conduits can't be installed, nothing is called or copied; an installer
// that can't be loaded stops with the message after the copy, which stays.
TEST_F(ConduitSetupTest, MissingHotSyncConduitSupportOrInstallerStops) {
    backend.SetString(kPalmCoreKeyPath, "HotSyncPath", "");
    EXPECT_EQ(RegisterConduit(appKey, ui, desktop), -1);
    backend.SetString(kPalmCoreKeyPath, "HotSyncPath", HotSyncText() + "HotSync.exe");
    desktop.installsConduits = false;
    EXPECT_EQ(RegisterConduit(appKey, ui, desktop), -1);
    EXPECT_TRUE(desktop.calls.empty());
    EXPECT_FALSE(fs::exists(hotSync / "tavolexconduit.dll"));
    desktop.installsConduits = true;
    desktop.hasInstaller = false;
    EXPECT_EQ(RegisterConduit(appKey, ui, desktop), -1);
    EXPECT_EQ(desktop.calls.size(), 1u);
    EXPECT_TRUE(fs::exists(hotSync / "tavolexconduit.dll"));
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(std::tie(ui.messages[0].text, ui.messages[0].caption),
              std::make_tuple(std::string("A version of Palm Desktop v3.0.1+ software MUST be installed in order to upload programs to "
                                          "your PDA.\n\nPlease install the Palm Desktop software now (") +
                                  kPalmDesktopDownloadAddress + ") and then run Setup.exe again.",
                              "Install Error"));
    EXPECT_NE(ui.messages[1].text.find("can't be registered on this system"), std::string::npos);
    EXPECT_EQ(ui.messages[2].text, kUnableText);
}

// Only our component is marked (beside others' components, Win32SettingsTest proves that too), and
// again on a second run; one that can't be opened is reported and skipped; no Palm Desktop key fails
// with the message.
TEST_F(ConduitSetupTest, IntegrationMarksOnlyOurComponentAndIsRepeatable) {
    const std::string ours = std::string(kComponents) + "\\Tavolex";
    backend.SetDword(ours, "Creator", kCreatorId);
    backend.SetDword(std::string(kComponents) + "\\Locked", "Creator", kCreatorId);
    backend.failingKeys.insert("software\\u.s. robotics\\pilot desktop\\locked");
    for (int run = 0; run < 2; ++run) IntegrateWithPalmDesktop(backend, ui, desktop, "C:\\Program\\");
    EXPECT_EQ(std::make_tuple(backend.GetDword(ours, "Integrate"), backend.GetString(ours, "Name"), backend.GetString(ours, "Module"),
                              backend.ValueCount(ours)),
              std::make_tuple(1u, "Tavolex", "C:\\Program\\tavolex.exe", 4u));
    test::MemorySettingsBackend empty;
    IntegrateWithPalmDesktop(empty, ui, desktop, "C:\\Program\\");
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(std::tie(ui.messages[0].text, ui.messages[0].caption),
              std::make_tuple(std::string(kComponents) + "\\Locked", "Failed To Open"));
    EXPECT_EQ(ui.messages[1].text, ui.messages[0].text);
    EXPECT_EQ(std::tie(ui.messages[2].text, ui.messages[2].caption),
              std::make_tuple("Failed to Open Palm Desktop, please stop the install, set-up the Palm Desktop and try again.", "Error"));
}

}  // namespace
}  // namespace tavolex
