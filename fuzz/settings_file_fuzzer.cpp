// The settings file of the POSIX store: whatever is read must write back to a file that reads as
// the same settings, and field escaping must undo itself.

#include "fuzz/fuzz_support.h"
#include "platform/posix/settings_file.h"

using namespace tavolex;
using namespace tavolex::platform::posix;

void fuzz::FuzzOne(std::string_view input) {
    const ParsedSettings parsed = ParseSettingsFile(input);
    const std::string written = SerializeSettingsFile(parsed.document);
    const ParsedSettings again = ParseSettingsFile(written);
    if (again.damaged) std::abort();
    if (SerializeSettingsFile(again.document) != written) std::abort();
    for (const SettingsSection& section : parsed.document.sections) {
        (void)parsed.document.KeyExists(section.path);
        (void)parsed.document.Subkeys(section.path);
    }
    (void)NormalizeKeyPath(input);
    std::string back;
    if (!UnescapeSettingsText(EscapeSettingsText(input, "\"=]"), back) || back != input) std::abort();
}
