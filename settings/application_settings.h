#pragma once
// The settings the program holds in memory from start to end, filled by the settings steps of
// start-up (setup/startup_settings.h) and saved by the writes of shutdown. The desktop program and
// the command-line tool both start from here.

#include "platform/platform.h"
#include "settings/settings_key.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace tavolex {

// What the settings steps need of the system.
struct ShellEnvironment {
    platform::UserInteraction& ui;
    platform::PalmDesktop& palmDesktop;
    // The full-screen client area, read when a default placement is computed.
    std::function<platform::ScreenSize()> screenSize = platform::FullScreenClientSize;
    // The running program's file; its folder is the install folder.
    std::filesystem::path programFile{};
};

struct ApplicationSettings {
    explicit ApplicationSettings(platform::SettingsBackend& backend) : appKey(backend), userKey(backend) {}

    SettingsKey appKey;   // always on the application key
    SettingsKey userKey;  // re-targeted to the current Palm user's key before every use

    bool applicationKeyOpen = false;
    std::filesystem::path installFolder;        // ends in a separator
    std::filesystem::path storedInstallFolder;  // "InstallPath" as read back
    std::string helpPath;                       // a file's path or the vendor's address, CP932
    std::string userDirectory;                  // "UserPath": the Palm user's folder + separator, CP932
    std::string authorName;                     // CP932
    std::filesystem::path outputFolder;
    std::filesystem::path databaseFolder;
    std::filesystem::path browserPath;
    std::filesystem::path templateFolder;
    std::uint32_t meetingView = 0;  // 0 keeps the view the list was created with
    std::uint32_t reportView = 0;
    std::filesystem::path palmDesktopFolder;
    std::filesystem::path hotSyncFolder;
    WindowPlacement placement;
};

// The stored placement checked against the screen: a position of 0 or beyond the screen is
// centred, a side under 50 or beyond the screen takes the default (an invalid height resets the
// width too). Compared as unsigned, so the far negative position of a minimised window is
// beyond the screen.
WindowPlacement ValidateWindowPlacement(std::uint32_t x, std::uint32_t y, std::uint32_t w, std::uint32_t h,
                                        platform::ScreenSize screen);

}  // namespace tavolex
