#include "settings/settings_text.h"

#include "base/ascii.h"
#include "platform/file_system.h"
#include "platform/platform.h"

#include <system_error>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

bool EndsInSeparator(std::string_view text) {
    return !text.empty() && (text.back() == kFolderSeparator || text.back() == '/');
}

}  // namespace

std::string SettingsTextFromPath(const fs::path& path) { return platform::PathToCp932(path); }

// Without the path reading's backslash rule: on POSIX a stored folder's separators are already '/',
// and a backslash there is a character of a folder's name.
fs::path PathFromSettingsText(std::string_view cp932) { return platform::PathFromNativeCp932(cp932); }

std::string FolderText(const fs::path& folder) {
    std::string text = SettingsTextFromPath(folder);
    if (!text.empty()) AppendSeparator(text);
    return text;
}

void AppendSeparator(std::string& text) {
    if (!EndsInSeparator(text)) text += kFolderSeparator;
}

std::string ResolveComponentCase(std::string_view parentText, std::string_view name) {
    const fs::path parent = PathFromSettingsText(parentText);
    std::error_code ec;
    if (parent.empty() || fs::exists(parent / PathFromSettingsText(name), ec)) return std::string(name);
    for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = SettingsTextFromPath(it->path().filename());
        if (EqualsIgnoringAsciiCase(entry, name)) return entry;
    }
    return std::string(name);
}

std::string UserDataFolderText(std::string_view palmDesktopFolder, std::string_view userDirectory) {
    std::string text = std::string(palmDesktopFolder) + std::string(userDirectory);
    text += ResolveComponentCase(text, kDataFolderName);
    AppendSeparator(text);
    return text;
}

}  // namespace tavolex
