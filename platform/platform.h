#pragma once
// The platform seam: what the portable core needs of the operating system, and nothing more.
// platform/win32/ and platform/posix/ implement it; the core never includes a system header.

#include "base/trace.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex::platform {

// --- Code page 932 (Shift-JIS as Windows writes it) -------------------------------------------
// Bytes that cannot be converted become '?' (CP932 output) or U+FFFD (Unicode output, the same
// U+FFFD on every platform, as ICU substitutes); the conversions never fail and never read past
// their input.
std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);
std::u16string Cp932ToUtf16(std::string_view cp932);
std::string Utf16ToCp932(std::u16string_view utf16);

// --- Text comparison -------------------------------------------------------------------------
// A text as a search compares it: Unicode NFKC with case folding, so half-width "ｶﾞ" is "ガ" and
// full-width "ＡＢＣ" is "abc". POSIX: ICU's NFKC_Casefold. Windows: NormalizeString (form KC),
// then the invariant locale's lower-case mapping.
std::u16string FoldForSearch(std::u16string_view text);

// --- Locale formatting ----------------------------------------------------------------------
// The user's short date and time, as CP932 text. Both return an empty text when the platform's
// formatter rejects the value; callers validate first and supply their own fallback.
std::string FormatShortDate(int year, int month, int day);
std::string FormatTimeOfDay(int hour, int minute, int second);

// --- Clock ---------------------------------------------------------------------------------
// A moment as calendar fields: in the user's time zone, and in UTC. Windows: localtime_s and
// gmtime_s. POSIX: localtime_r and gmtime_r.
std::tm LocalTime(std::time_t moment);
std::tm UtcTime(std::time_t moment);

// --- Terminal ------------------------------------------------------------------------------
enum class StandardStream { kInput, kOutput, kError };

// Whether the process's standard stream is a terminal, where a person reads or types, rather than
// a file or a pipe.
[[nodiscard]] bool IsTerminal(StandardStream stream);

// --- Memory ----------------------------------------------------------------------------------
// A block of `size` bytes for many small objects made together and freed together (a store's
// sketch bitmaps). POSIX: a block of 2 MiB or more is aligned to 2 MiB and the system is asked
// for large pages, so filling it takes a page fault per 2 MiB, not per 4 KiB. Windows: an
// ordinary allocation. Null when the memory can't be had.
[[nodiscard]] std::shared_ptr<std::uint8_t[]> AllocateBulk(std::size_t size);

// --- Debug-output channel -------------------------------------------------------------------
// Windows: OutputDebugStringA. POSIX: the file named by TAVOLEX_TRACE ("-" for stderr), nothing
// when it is unset.
class DebugChannel : public TraceChannel {};

// The process's own channel; lives for the whole run.
DebugChannel& SystemDebugChannel();

}  // namespace tavolex::platform

namespace tavolex {

// The trace targets the front ends install at start: the desktop program writes the
// standard-stream part to stdout/stderr; the command-line tool keeps its standard streams for
// results. Both write to the system debug channel.
TraceTargets DesktopTraceTargets();
TraceTargets CommandLineTraceTargets();

}  // namespace tavolex

namespace tavolex::platform {

// --- Settings --------------------------------------------------------------------------------
// A two-level store of named values under key paths of the current user
// ("Software\Brenmark\Tavolex\UserA"). Windows: the registry under HKEY_CURRENT_USER.
// POSIX: one INI-style file (settings.ini) whose sections are the key paths, rewritten
// atomically on every change.
// Key paths use '\' between components (POSIX also takes '/'); a trailing separator is ignored.
// Value names and key paths match without regard to ASCII letter case. Texts are CP932 bytes.
// Every call returns a status: 0 or one of the codes below (Windows error numbers on both).
using SettingsStatus = std::int32_t;
inline constexpr SettingsStatus kSettingsOk = 0;
inline constexpr SettingsStatus kSettingsNotFound = 2;      // no such key or value
inline constexpr SettingsStatus kSettingsAccessDenied = 5;  // the store can't be written safely
inline constexpr SettingsStatus kSettingsNoKey = 6;         // no key is open
inline constexpr SettingsStatus kSettingsBadData = 13;      // the value has another type
inline constexpr SettingsStatus kSettingsWriteFault = 29;   // writing the store failed
inline constexpr SettingsStatus kSettingsMoreData = 234;    // the value is larger than allowed

enum class KeyAccess {
    kCreate,         // open with full access, creating the key (and its parents) when missing
    kReadExisting,   // open an existing key for reading
    kWriteExisting,  // open an existing key with full access
};

// One open key. A failed read leaves the caller's variable untouched.
class SettingsKeyHandle {
public:
    virtual ~SettingsKeyHandle() = default;
    // A text value of at most maxBytes bytes (a longer one gives kSettingsMoreData).
    [[nodiscard]] virtual SettingsStatus ReadString(std::string_view name, std::size_t maxBytes,
                                                    std::string& value) = 0;
    [[nodiscard]] virtual SettingsStatus ReadDword(std::string_view name, std::uint32_t& value) = 0;
    virtual SettingsStatus WriteString(std::string_view name, std::string_view value) = 0;
    virtual SettingsStatus WriteDword(std::string_view name, std::uint32_t value) = 0;
    // Names of the direct sub-keys, at most maxCount of them, in the store's order.
    [[nodiscard]] virtual SettingsStatus ListSubkeys(std::size_t maxCount, std::vector<std::string>& names) = 0;
};

// How the desktop opens web pages.
struct BrowserCommand {
    std::string text;            // CP932
    bool isCommandLine = false;  // a shell command line ("...\browse.exe" -nohome) to cut the program from
};

class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;
    [[nodiscard]] virtual SettingsStatus OpenKey(std::string_view path, KeyAccess access,
                                                 std::unique_ptr<SettingsKeyHandle>& key) = 0;
    // Windows: the default value of HKEY_CLASSES_ROOT "http\shell\open\command", as a command
    // line. POSIX: the full path of the desktop's default web browser program, else of xdg-open,
    // else empty.
    virtual BrowserCommand DefaultBrowser() = 0;
};

// The system's store. POSIX: settings.ini in folder, or when folder is empty in
// $XDG_CONFIG_HOME/tavolex (else ~/.config/tavolex). Windows: the registry; folder is ignored.
std::unique_ptr<SettingsBackend> OpenSystemSettings(const std::filesystem::path& folder = {});

// The file OpenSystemSettings(folder) keeps the store in. Windows: empty, the store is the registry.
std::filesystem::path SettingsFilePath(const std::filesystem::path& folder = {});

// --- Screen ----------------------------------------------------------------------------------
struct ScreenSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};
inline constexpr ScreenSize kFallbackScreenSize{1280, 994};

// The full-screen client area of the primary display. Windows: SM_CXFULLSCREEN and
// SM_CYFULLSCREEN. POSIX: the size of the X display when one can be opened, else 1280 x 994.
ScreenSize FullScreenClientSize();

// --- User interaction ------------------------------------------------------------------------
enum class MessageIcon { kNone, kInformation, kWarning, kError };

// The answer a question gives when the user just presses Enter (its default button).
enum class DefaultAnswer { kYes, kNo };

// How a Yes/No question is put.
struct QuestionStyle {
    MessageIcon icon = MessageIcon::kInformation;
    DefaultAnswer defaultAnswer = DefaultAnswer::kNo;
    friend bool operator==(const QuestionStyle&, const QuestionStyle&) = default;
};

// Every question the system asks replaces or deletes a user's file, so Enter must keep it.
inline constexpr QuestionStyle kConfirmation{MessageIcon::kInformation, DefaultAnswer::kNo};

// The button a Yes/No/Cancel question was answered with.
enum class Answer { kYes, kNo, kCancel };

// Texts are CP932. An empty caption means the system's default caption.
class UserInteraction {
public:
    virtual ~UserInteraction() = default;
    // A message with an OK button and no owner window.
    virtual void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) = 0;
    // A Yes/No question put with the style's icon and default button; true for "yes". A front end
    // without buttons (the console) answers it as the plain question below.
    [[nodiscard]] virtual bool AskYesNo(std::string_view text, std::string_view caption, QuestionStyle style) {
        (void)style;
        return AskYesNo(text, caption);
    }
    // The plain question of a front end without buttons, where "no" is what a missing answer means.
    [[nodiscard]] virtual bool AskYesNo(std::string_view text, std::string_view caption) = 0;
    // A choice of two ways with Cancel, put with the style's icon and default button. A front end
    // without buttons answers it as the Yes/No question (never Cancel).
    [[nodiscard]] virtual Answer AskYesNoCancel(std::string_view text, std::string_view caption, QuestionStyle style) {
        return AskYesNo(text, caption, style) ? Answer::kYes : Answer::kNo;
    }
};

// Windows: MessageBoxW. POSIX: standard error in UTF-8, caption first; a question is answered
// "yes" only by a person at a terminal.
UserInteraction& SystemUserInteraction();

// --- Palm Desktop ----------------------------------------------------------------------------
// The Palm users as Palm Desktop's user-data library reports them.
class PalmUserLibrary {
public:
    virtual ~PalmUserLibrary() = default;
    // The number of users, as the library's signed 16-bit value.
    virtual std::int16_t UserCount() = 0;
    virtual std::uint32_t UserId(std::int32_t index) = 0;
    // CP932, at most 8191 bytes.
    virtual std::string UserName(std::uint32_t userId) = 0;
    // The user's folder relative to the Palm Desktop folder, CP932, at most 259 bytes, no
    // trailing separator.
    virtual std::string UserDirectory(std::uint32_t userId) = 0;
};

// The ten arguments of the conduit installation library's InstallConduit, in call order.
struct ConduitInstallArgs {
    std::string installFolder;
    std::string creator;
    std::string hotSyncFolder;
    std::string conduitFile;
    std::string conduitName;
    std::string dataFile;
    std::string directory;
    std::string remoteName;
    std::int32_t priority = 0;
    std::string company;
};

// The loaded conduit installation library (condinst.dll). Texts are CP932.
class ConduitInstaller {
public:
    virtual ~ConduitInstaller() = default;
    virtual std::int32_t UninstallConduit(std::string_view hotSyncFolder, std::string_view creator) = 0;
    virtual std::int32_t InstallConduit(const ConduitInstallArgs& args) = 0;
    virtual std::int32_t DecodePCIErrorCode(std::int32_t code) = 0;
};

class PalmDesktop {
public:
    virtual ~PalmDesktop() = default;
    // Windows: UserData.dll of the HotSync folder, null when it or one of its four functions is
    // missing. POSIX: null, there is no such library (the users are folders, session/folder_users.h).
    virtual std::unique_ptr<PalmUserLibrary> LoadUserLibrary(const std::filesystem::path& hotSyncFolder,
                                                             const std::filesystem::path& palmDesktopFolder) = 0;
    // False where HotSync conduits can't be installed (POSIX): conduit registration reports that
    // it is not available and the Palm Desktop integration does nothing.
    [[nodiscard]] virtual bool InstallsConduits() const = 0;
    // condinst.dll at that path; null when it or one of its three functions is missing.
    virtual std::unique_ptr<ConduitInstaller> LoadConduitInstaller(const std::filesystem::path& library) = 0;
};

PalmDesktop& SystemPalmDesktop();

}  // namespace tavolex::platform
