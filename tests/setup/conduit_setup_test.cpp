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

TEST_F(ConduitSetupTest, CallsTheInstallerInOrderWithItsArguments) {
    test::WriteFileBytes(hotSync / "tavolexconduit.dll", "old");
    fs::permissions(hotSync / "tavolexconduit.dll", fs::perms::owner_read);
    EXPECT_EQ(RegisterConduit(appKey, ui, desktop), 0);
    const std::string withoutSeparator = HotSyncText().substr(0, HotSyncText().size() - 1);
    EXPECT_EQ(desktop.calls,
              (std::vector<std::string>{"LoadConduitInstaller(" + (install / "condinst.dll").string() + ")",
                                        "UninstallConduit(" + HotSyncText() + "|Tvlx)",
                                        "InstallConduit(" + FolderText(install) + "|Tvlx|" + withoutSeparator +
                                            "|TavolexConduit.dll|Tavolex|Tavolex.dat|Tvlx|Tavolex|2|Brenmark Technologies Inc.)",
                                        "DecodePCIErrorCode(0)"}));
    // A read-only old copy is replaced.
    EXPECT_EQ(test::ReadFileBytes(hotSync / "tavolexconduit.dll"), "new conduit");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ConduitSetupTest, InstallerErrorIsShownDecodedAndReturned) {
    desktop.installResult = -1003;
    EXPECT_EQ(RegisterConduit(appKey, ui, desktop), -1003);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(std::tie(ui.messages[0].text, ui.messages[0].caption, desktop.calls.back()),
              std::make_tuple(kUnableText, "Tavolex Install", "DecodePCIErrorCode(-1003)"));
}

// Without HotSync, or where conduits can't be installed, nothing is called or copied.
TEST_F(ConduitSetupTest, MissingHotSyncOrConduitSupportStopsBeforeAnythingIsCopied) {
    backend.SetString(kPalmCoreKeyPath, "HotSyncPath", "");
    EXPECT_EQ(RegisterConduit(appKey, ui, desktop), -1);
    backend.SetString(kPalmCoreKeyPath, "HotSyncPath", HotSyncText() + "HotSync.exe");
    desktop.installsConduits = false;
    EXPECT_EQ(RegisterConduit(appKey, ui, desktop), -1);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, std::string("A version of Palm Desktop v3.0.1+ software MUST be installed in order to "
                                               "upload programs to your PDA.\n\nPlease install the Palm Desktop software now (") +
                                       kPalmDesktopDownloadAddress + ") and then run Setup.exe again.");
    EXPECT_EQ(ui.messages[0].caption, "Install Error");
    EXPECT_NE(ui.messages[1].text.find("can't be registered on this system"), std::string::npos);
    EXPECT_TRUE(desktop.calls.empty());
    EXPECT_FALSE(fs::exists(hotSync / "tavolexconduit.dll"));
}

TEST_F(ConduitSetupTest, InstallerThatCannotBeLoadedStopsWithTheMessage) {
    desktop.hasInstaller = false;
    EXPECT_EQ(RegisterConduit(appKey, ui, desktop), -1);
    EXPECT_EQ(desktop.calls.size(), 1u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kUnableText);
    // The copy stays: nothing is rolled back.
    EXPECT_TRUE(fs::exists(hotSync / "tavolexconduit.dll"));
}

TEST_F(ConduitSetupTest, IntegrationMarksOnlyOurComponentAndIsRepeatable) {
    const std::string ours = std::string(kComponents) + "\\Tavolex";
    const std::string theirs = std::string(kComponents) + "\\Other";
    backend.SetDword(ours, "Creator", kCreatorId);
    backend.SetDword(theirs, "Creator", 0x64617465);
    for (int run = 0; run < 2; ++run) IntegrateWithPalmDesktop(backend, ui, desktop, "C:\\Program\\");
    EXPECT_EQ(std::make_tuple(backend.GetDword(ours, "Integrate"), backend.GetString(ours, "Name"), backend.GetString(ours, "Module"),
                              backend.ValueCount(ours), backend.ValueCount(theirs)),
              std::make_tuple(1u, "Tavolex", "C:\\Program\\tavolex.exe", 4u, 1u));
    EXPECT_TRUE(ui.messages.empty());

    test::MemorySettingsBackend empty;
    IntegrateWithPalmDesktop(empty, ui, desktop, "C:\\Program\\");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(std::tie(ui.messages[0].text, ui.messages[0].caption),
              std::make_tuple("Failed to Open Palm Desktop, please stop the install, set-up the Palm Desktop and try again.", "Error"));
}

TEST_F(ConduitSetupTest, ComponentThatCannotBeOpenedIsReportedAndSkipped) {
    backend.SetDword(std::string(kComponents) + "\\Locked", "Creator", kCreatorId);
    backend.SetDword(std::string(kComponents) + "\\Tavolex", "Creator", kCreatorId);
    backend.failingKeys.insert("software\\u.s. robotics\\pilot desktop\\locked");
    IntegrateWithPalmDesktop(backend, ui, desktop, "C:\\P\\");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(std::tie(ui.messages[0].text, ui.messages[0].caption),
              std::make_tuple(std::string(kComponents) + "\\Locked", "Failed To Open"));
    EXPECT_EQ(backend.GetDword(std::string(kComponents) + "\\Tavolex", "Integrate"), 1u);
}

}  // namespace
}  // namespace tavolex
