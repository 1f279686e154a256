// The settings store of POSIX: the INI text, the file that holds it and the desktop's default
// browser.
#include "platform/posix/default_browser.h"
#include "platform/posix/settings_file.h"
#include "settings/settings_key.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using namespace platform::posix;

TEST(SettingsFileTextTest, ReadableTextWithEscapes) {
    SettingsDocument doc;
    SettingsSection& s = doc.FindOrAdd("Software\\Brenmark\\Tavolex\\UserA");
    s.values.push_back({"cAuthor", false, "\x89\xef\x8b\x63 100%\n\"x\"", 0});  // 会議
    s.values.push_back({"a=[b]", false, "", 0});
    s.values.push_back({"MeetingView", true, {}, 0x2A});
    // 漾×: the first lead byte, the last trail byte below 0x80; then a character that reads back as another code.
    s.values.push_back({"edges", false, "\xe0\x40\x81\x7e\xed\x40", 0});
    EXPECT_EQ(SerializeSettingsFile(doc),
              "[Software\\Brenmark\\Tavolex\\UserA]\n"
              "cAuthor=\"会議 100%25%0A\"x\"\"\n"
              "a%3D%5Bb%5D=\"\"\n"
              "MeetingView=dword:0000002A\n"
              "edges=\"漾×%ED%40\"\n");
}

TEST(SettingsFileTextTest, DamagedLinesAreSkippedAndReported) {
    const ParsedSettings parsed = ParseSettingsFile(
        "orphan=\"x\"\n[A\\B]\r\nGood=\"1\"\nnoequals\nBad=dword:12\nBad2=\"%zz\"\nBad3=\"a\tb\"\nGood=\"dup\"\n[]\nx=\"1\"\n[C]\nLast="
        "dword:00000001");
    EXPECT_TRUE(parsed.damaged);
    // A last line without its end was cut; an empty section name is the empty path, as written.
    EXPECT_EQ(SerializeSettingsFile(parsed.document), "[A\\B]\nGood=\"1\"\n\n[]\nx=\"1\"\n\n[C]\n");
    EXPECT_FALSE(ParseSettingsFile("[a]\nx=\"y\"\n\n").damaged);
    EXPECT_EQ(SerializeSettingsFile(ParseSettingsFile("[a]\nv=dword:0000002A\n").document), "[a]\nv=dword:0000002A\n");
}

class SettingsFileTest : public ::testing::Test {
protected:
    std::unique_ptr<platform::SettingsBackend> Open() { return platform::OpenSystemSettings(dir.Path()); }
    fs::path File() const { return dir / "settings.ini"; }

    test::TempDir dir;
};

// The store's file: in the folder named, else under an absolute XDG_CONFIG_HOME, else under HOME,
// else under the working folder.
TEST(SettingsLocationTest, FolderNamedElseTheConfigurationFolder) {
    struct Case {
        const char* folder;
        std::optional<std::string> config;
        std::optional<std::string> home;
        const char* file;
    };
    const Case table[] = {
        {"/cfg", "/xdg", "/home/me", "/cfg/settings.ini"},
        {"", "/xdg", "/home/me", "/xdg/tavolex/settings.ini"},
        {"", "relative", "/home/me", "/home/me/.config/tavolex/settings.ini"},
        {"", std::nullopt, "/home/me", "/home/me/.config/tavolex/settings.ini"},
        {"", std::nullopt, "", ".config/tavolex/settings.ini"},
        {"", std::nullopt, std::nullopt, ".config/tavolex/settings.ini"},
    };
    for (const Case& c : table) {
        const test::ScopedEnv config("XDG_CONFIG_HOME", c.config);
        const test::ScopedEnv home("HOME", c.home);
        EXPECT_EQ(platform::SettingsFilePath(c.folder), fs::path(c.file)) << c.file;
    }
}

// Every write is on disk, through a link to the file, keeping its permissions and leaving no
// temporary file; Palm Desktop's keys are sections of the same file.
TEST_F(SettingsFileTest, EveryWriteIsOnDiskAndPalmKeysAreSections) {
    const fs::path real = dir / "real" / "settings.ini";
    test::WriteFileBytes(real, "[Software\\U.S. Robotics\\Pilot Desktop\\Core]\nPath=\"/home/me/Palm\"\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(real, File());
    {
        auto backend = Open();
        SettingsKey key(*backend);
        EXPECT_EQ(key.ReadPalmDesktopFolder(513), "/home/me/Palm/");
        EXPECT_EQ(key.ReadPalmLastUserName(8192), "");
        ASSERT_EQ(key.OpenUserKey("UserA/"), 0);
        key.WriteDword("rFirstname", 0);
        key.WriteDword("rFirstName", 1);
        key.WriteString("OutputPath", "/out/");
    }
    EXPECT_EQ(test::ReadFileBytes(real),
              "[Software\\U.S. Robotics\\Pilot Desktop\\Core]\nPath=\"/home/me/Palm\"\n\n"
              "[Software\\U.S. Robotics\\Pilot Desktop\\Preferences]\n\n"
              "[Software\\Brenmark\\Tavolex\\UserA]\nrFirstname=dword:00000001\nOutputPath=\"/out/\"\n");
    EXPECT_TRUE(fs::is_symlink(File()));
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 1) << "no temporary file is left";
    auto backend = Open();
    SettingsKey key(*backend);
    key.OpenUserKey("userA\\");
    EXPECT_EQ(key.ReadString("OUTPUTPATH", 512), "/out/");
    std::vector<std::string> names;
    std::unique_ptr<platform::SettingsKeyHandle> desktop;
    ASSERT_EQ(backend->OpenKey("Software\\U.S. Robotics\\Pilot Desktop", platform::KeyAccess::kReadExisting, desktop), 0);
    EXPECT_EQ(desktop->ListSubkeys(1000, names), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"Core", "Preferences"}));
    EXPECT_EQ(backend->OpenKey("Software\\Nothing", platform::KeyAccess::kWriteExisting, desktop), platform::kSettingsNotFound);
}

// A file cut in half, and one of random bytes, load without a crash; their bytes are kept aside
// before the first rewrite.
TEST_F(SettingsFileTest, DamagedFilesAreNeverLost) {
    std::string whole = "[Software\\Brenmark\\Tavolex]\nUserPath=\"UserA/\"\nLastUsername=\"UserA\"\n";
    std::mt19937 random(99);
    std::string noise(4096, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    for (const std::string& damaged : {whole.substr(0, whole.size() / 2 + 3), noise}) {
        test::WriteFileBytes(File(), damaged);
        auto backend = Open();
        SettingsKey key(*backend);
        ASSERT_EQ(key.OpenApplicationKey(), 0);
        key.ReadString("UserPath", 512);
        EXPECT_EQ(key.WriteString("Version", "2.7.1"), 0);
        EXPECT_EQ(test::ReadFileBytes(dir / "settings.ini.damaged"), damaged);
        EXPECT_EQ(key.ReadString("Version", 512), "2.7.1");
        fs::remove(dir / "settings.ini.damaged");
    }
}

// A settings file that can't be read (a folder in its place, or far too large to be ours) is
// refused and never written over.
TEST_F(SettingsFileTest, UnreadableFileIsNotWrittenOver) {
    fs::create_directories(File());
    EXPECT_EQ(SettingsKey(*Open()).OpenApplicationKey(), platform::kSettingsAccessDenied);
    EXPECT_TRUE(fs::is_directory(File()));
    fs::remove(File());
    test::WriteFileBytes(File(), "[A]\nx=\"1\"\n");
    fs::resize_file(File(), 65 * 1024 * 1024);  // sparse: nothing is really written
    auto large = Open();
    SettingsKey key(*large);
    EXPECT_EQ(key.OpenApplicationKey(), platform::kSettingsAccessDenied);
    key.WriteDword("Setup", 1);
    EXPECT_EQ(fs::file_size(File()), 65u * 1024 * 1024);
}

TEST(PosixDefaultBrowserTest, ProgramOfTheDesktopEntry) {
    test::TempDir dir;
    const fs::path bin = dir / "bin";
    fs::create_directories(bin);
    const auto script = [&](const char* name, const std::string& body) {
        test::WriteFileBytes(bin / name, "#!/bin/sh\n" + body);
        fs::permissions(bin / name, fs::perms::owner_all);
    };
    test::ScopedEnv path("PATH", bin.string());
    test::ScopedEnv data("XDG_DATA_HOME", (dir / "data").string());
    test::ScopedEnv dirs("XDG_DATA_DIRS", (dir / "none").string());
    script("xdg-settings", "[ \"$1 $2\" = \"get default-web-browser\" ] && echo web.desktop\n");
    script("web-browser", "");
    test::WriteFileBytes(dir / "data" / "applications" / "web.desktop",
                         "[Desktop Action x]\nExec=wrong\n[Desktop Entry]\nName=Web\nExec=web-browser %u\n");
    EXPECT_EQ(FindDefaultBrowserProgram(), (bin / "web-browser").string());

    EXPECT_EQ(ExecProgram("\"/opt/My Browser/run\" --new %U"), "/opt/My Browser/run");
}

}  // namespace
}  // namespace tavolex
