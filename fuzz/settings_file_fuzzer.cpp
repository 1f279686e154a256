// The settings file of the POSIX store: whatever is read must write back to a file that reads as
// the same settings, and field escaping must undo itself.

#include "fuzz/fuzz_support.h"
#include "platform/posix/settings_file.h"

using namespace tavolex;
using namespace tavolex::platform::posix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::AsText(data, size);
    const ParsedSettings parsed = ParseSettingsFile(bytes);
    const std::string written = SerializeSettingsFile(parsed.document);
    const ParsedSettings again = ParseSettingsFile(written);
    if (again.damaged) std::abort();
    if (SerializeSettingsFile(again.document) != written) std::abort();
    for (const SettingsSection& section : parsed.document.sections) {
        (void)parsed.document.KeyExists(section.path);
        (void)parsed.document.Subkeys(section.path);
    }
    (void)NormalizeKeyPath(bytes);
    std::string back;
    if (!UnescapeSettingsText(EscapeSettingsText(bytes, "\"=]"), back) || back != bytes) std::abort();
    return 0;
}
