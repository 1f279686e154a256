#pragma once
// The text form of the settings store on POSIX: one INI-style file whose sections are key paths.
//
//   [Software\Brenmark\Tavolex\UserA]
//   OutputPath="/home/me/Reports/"
//   MeetingView=dword:00000002
//
// Values are CP932 bytes. A character that converts to UTF-8 and back unchanged is written as
// UTF-8; every other byte, the control bytes, '%' and the bytes that would end the field are
// written as %HH. Strings are quoted, numbers are eight hexadecimal digits. Lines end in LF.

#include "platform/platform.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex::platform::posix {

struct SettingsValue {
    std::string name;  // CP932
    bool isDword = false;
    std::string text;  // CP932, when !isDword
    std::uint32_t number = 0;
};

struct SettingsSection {
    std::string path;  // normalized key path (components joined by '\')
    std::vector<SettingsValue> values;
};

struct SettingsDocument {
    std::vector<SettingsSection> sections;

    SettingsSection* Find(std::string_view path);
    const SettingsSection* Find(std::string_view path) const;
    SettingsSection& FindOrAdd(std::string_view path);
    // A key exists when its section does or a section below it does.
    [[nodiscard]] bool KeyExists(std::string_view path) const;
    std::vector<std::string> Subkeys(std::string_view path) const;
};

SettingsValue* FindValue(SettingsSection& section, std::string_view name);
const SettingsValue* FindValue(const SettingsSection& section, std::string_view name);

// Components separated by '\' or '/', empty components dropped, joined by '\'.
std::string NormalizeKeyPath(std::string_view path);

struct ParsedSettings {
    SettingsDocument document;
    // Some line could not be read (or the last line was cut off); what could be read is kept.
    bool damaged = false;
};

ParsedSettings ParseSettingsFile(std::string_view bytes);
std::string SerializeSettingsFile(const SettingsDocument& document);

// The field escaping; extra lists the bytes that must be escaped besides '%' and controls.
std::string EscapeSettingsText(std::string_view cp932, std::string_view extra);
// False when the text holds a bad escape or a character that has no CP932 form.
[[nodiscard]] bool UnescapeSettingsText(std::string_view text, std::string& cp932);

}  // namespace tavolex::platform::posix
