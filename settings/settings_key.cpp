#include "settings/settings_key.h"

#include "settings/report_switches.h"
#include "settings/settings_text.h"

namespace tavolex {
namespace {

constexpr std::size_t kBrowserBufferSize = 260;

// The largest text a buffer of bufferSize bytes holds with its terminator.
std::size_t TextCapacity(std::size_t bufferSize) { return bufferSize == 0 ? 0 : bufferSize - 1; }

}  // namespace

WindowPlacement DefaultWindowPlacement(platform::ScreenSize screen) {
    // 0.8 of each side, truncated; integer arithmetic gives the exact truncation.
    const auto w = static_cast<std::int32_t>(static_cast<std::uint64_t>(screen.width) * 4 / 5);
    const auto h = static_cast<std::int32_t>(static_cast<std::uint64_t>(screen.height) * 4 / 5);
    const auto halfWidth = static_cast<std::int32_t>(screen.width / 2);
    const auto halfHeight = static_cast<std::int32_t>(screen.height / 2);
    return {halfWidth - w / 2, halfHeight - h / 2, w, h};
}

std::string ProgramFromBrowserCommandLine(std::string_view command) {
    std::string text(command);
    for (std::size_t i = 0; i + 3 < text.size(); ++i) {
        if (text.compare(i, 4, ".exe") == 0 || text.compare(i + 1, 3, "EXE") == 0) {
            text.resize(i + 4);
            break;
        }
    }
    if (!text.empty() && text.front() == '"') text.erase(0, 1);
    return text;
}

SettingsStatus SettingsKey::Open(std::string_view path) {
    key_.reset();
    status_ = backend_->OpenKey(path, platform::KeyAccess::kCreate, key_);
    if (status_ != platform::kSettingsOk) key_.reset();
    return status_;
}

SettingsStatus SettingsKey::OpenApplicationKey() { return Open(kApplicationKeyPath); }

SettingsStatus SettingsKey::OpenUserKey(std::string_view userDirectory) {
    return Open(std::string(kApplicationKeyPath) + std::string(userDirectory));
}

void SettingsKey::CloseKey() { key_.reset(); }

SettingsStatus SettingsKey::ReadValue(std::string_view name, std::string& text, std::size_t bufferSize) {
    status_ = key_ ? key_->ReadString(name, TextCapacity(bufferSize), text) : platform::kSettingsNoKey;
    return status_;
}

SettingsStatus SettingsKey::ReadValue(std::string_view name, std::uint32_t& value) {
    status_ = key_ ? key_->ReadDword(name, value) : platform::kSettingsNoKey;
    return status_;
}

std::string SettingsKey::ReadString(std::string_view name, std::size_t bufferSize) {
    std::string text;
    ReadValue(name, text, bufferSize);
    return text;
}

std::uint32_t SettingsKey::ReadDword(std::string_view name) {
    std::uint32_t value = 0;
    ReadValue(name, value);
    return value;
}

SettingsStatus SettingsKey::WriteString(std::string_view name, std::string_view text) {
    status_ = key_ ? key_->WriteString(name, text) : platform::kSettingsNoKey;
    return status_;
}

SettingsStatus SettingsKey::WriteDword(std::string_view name, std::uint32_t value) {
    status_ = key_ ? key_->WriteDword(name, value) : platform::kSettingsNoKey;
    return status_;
}

std::string SettingsKey::ReadOtherKey(std::string_view keyPath, std::string_view name, std::size_t bufferSize) {
    std::unique_ptr<platform::SettingsKeyHandle> key;
    std::string text;
    status_ = backend_->OpenKey(keyPath, platform::KeyAccess::kCreate, key);
    if (status_ == platform::kSettingsOk) status_ = key->ReadString(name, TextCapacity(bufferSize), text);
    return text;
}

std::string SettingsKey::ReadPalmDesktopFolder(std::size_t bufferSize) {
    // Room is kept for the separator, so the folder always fits the caller's buffer.
    std::string folder = ReadOtherKey(kPalmCoreKeyPath, "Path", bufferSize == 0 ? 0 : bufferSize - 1);
    AppendSeparator(folder);
    return folder;
}

std::string SettingsKey::ReadHotSyncFolder(std::size_t bufferSize) {
    std::string program = ReadOtherKey(kPalmCoreKeyPath, "HotSyncPath", bufferSize);
    const std::size_t last = program.find_last_of(kFolderSeparator);
    return last == std::string::npos ? std::string() : program.substr(0, last + 1);
}

std::string SettingsKey::ReadPalmLastUserName(std::size_t bufferSize) {
    return ReadOtherKey(kPalmPreferencesKeyPath, "LastUserName", bufferSize);
}

std::string SettingsKey::ReadDefaultBrowser() {
    const platform::BrowserCommand command = backend_->DefaultBrowser();
    if (command.text.size() > TextCapacity(kBrowserBufferSize)) return {};
    return command.isCommandLine ? ProgramFromBrowserCommandLine(command.text) : command.text;
}

SettingsStatus SettingsKey::WriteUserDefaults(std::string_view userDirectory, std::string_view authorName,
                                              platform::ScreenSize screen) {
    OpenUserKey(userDirectory);
    if (ReadString("cAuthor", kShortPathBufferSize).empty()) WriteString("cAuthor", authorName);
    if (ReadString("BrowserPath", kShortPathBufferSize).empty()) WriteString("BrowserPath", ReadDefaultBrowser());
    WriteDword("AutoView", 2);
    const std::string database = UserDataFolderText(ReadPalmDesktopFolder(kSelectionPathBufferSize), userDirectory);
    WriteString("DatabasePath", database);
    if (ReadString("OutputPath", kShortPathBufferSize).empty()) WriteString("OutputPath", database);
    for (const std::string_view name : kReportSwitches) WriteDword(name, 1);
    WriteDword("MeetingView", 2);
    WriteDword("ReportView", 1);
    const WindowPlacement placement = DefaultWindowPlacement(screen);
    WriteDword("x", static_cast<std::uint32_t>(placement.x));
    WriteDword("y", static_cast<std::uint32_t>(placement.y));
    WriteDword("w", static_cast<std::uint32_t>(placement.w));
    return WriteDword("h", static_cast<std::uint32_t>(placement.h));
}

}  // namespace tavolex
