#pragma once
// SettingsKey: one open key of the settings store, and the program's reads of Palm Desktop's
// and the desktop's values. Two live for the whole run (ApplicationSettings): the application
// key and the user key of the current Palm user.

#include "platform/platform.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tavolex {

using platform::SettingsStatus;

inline constexpr char kApplicationKeyPath[] = "Software\\Brenmark\\Tavolex\\";
inline constexpr char kPalmDesktopKeyPath[] = "Software\\U.S. Robotics\\Pilot Desktop";
inline constexpr char kPalmCoreKeyPath[] = "Software\\U.S. Robotics\\Pilot Desktop\\Core";
inline constexpr char kPalmPreferencesKeyPath[] = "Software\\U.S. Robotics\\Pilot Desktop\\Preferences";

// Buffer sizes of the callers, in bytes with the terminator: a text must be shorter.
inline constexpr std::size_t kPathBufferSize = 512;
inline constexpr std::size_t kShortPathBufferSize = 260;
inline constexpr std::size_t kSelectionPathBufferSize = 261;
inline constexpr std::size_t kNameBufferSize = 8192;
inline constexpr std::size_t kPalmFolderBufferSize = 513;

// Frame window position and size in screen pixels.
struct WindowPlacement {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t w = 0;
    std::int32_t h = 0;

    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// 0.8 of the full-screen client area, centred.
WindowPlacement DefaultWindowPlacement(platform::ScreenSize screen);

// The program of a shell command line: cut after the first ".exe" or after the first "EXE"
// preceded by any character, then drop a leading double quote.
std::string ProgramFromBrowserCommandLine(std::string_view command);

class SettingsKey {
public:
    explicit SettingsKey(platform::SettingsBackend& backend) : backend_(&backend) {}

    // Creates or opens the application key.
    SettingsStatus OpenApplicationKey();
    // Closes the held key, then creates or opens application key path + userDirectory (the
    // application key itself when userDirectory is empty).
    SettingsStatus OpenUserKey(std::string_view userDirectory);
    void CloseKey();
    [[nodiscard]] bool IsOpen() const { return key_ != nullptr; }
    // The result of the last call made through this object.
    [[nodiscard]] SettingsStatus Status() const { return status_; }

    // A text into a buffer of bufferSize bytes (terminator included). A missing value, or one
    // that doesn't fit, leaves text untouched.
    SettingsStatus ReadValue(std::string_view name, std::string& text, std::size_t bufferSize);
    // A 32-bit value; a missing one leaves value untouched.
    SettingsStatus ReadValue(std::string_view name, std::uint32_t& value);
    // The callers' idiom: a cleared buffer read, empty or 0 when not set.
    std::string ReadString(std::string_view name, std::size_t bufferSize);
    std::uint32_t ReadDword(std::string_view name);

    SettingsStatus WriteString(std::string_view name, std::string_view text);
    SettingsStatus WriteDword(std::string_view name, std::uint32_t value);

    // "Path" of Palm Desktop's core key with a separator appended (a lone separator when Palm
    // Desktop is not installed).
    std::string ReadPalmDesktopFolder(std::size_t bufferSize);
    // "HotSyncPath" of the core key cut after its last separator, which stays; empty when
    // missing.
    std::string ReadHotSyncFolder(std::size_t bufferSize);
    // The Palm user who synchronised last.
    std::string ReadPalmLastUserName(std::size_t bufferSize);
    // The program that opens web pages, at most 259 bytes; empty when none is known.
    std::string ReadDefaultBrowser();

    // Re-targets this object to userDirectory's key and fills in the defaults of a user key:
    // the author, browser and output folder only when empty; the data folder, the report
    // switches, the views and the window placement always.
    SettingsStatus WriteUserDefaults(std::string_view userDirectory, std::string_view authorName,
                                     platform::ScreenSize screen);

    platform::SettingsBackend& Backend() const { return *backend_; }

private:
    SettingsStatus Open(std::string_view path);
    std::string ReadOtherKey(std::string_view keyPath, std::string_view name, std::size_t bufferSize);

    platform::SettingsBackend* backend_;
    std::unique_ptr<platform::SettingsKeyHandle> key_;
    SettingsStatus status_ = platform::kSettingsOk;
};

}  // namespace tavolex
