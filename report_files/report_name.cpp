#include "report_files/report_name.h"

#include "base/ascii.h"
#include "base/shift_jis.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "report/template_scanner.h"
#include "resources/string_table.h"

#include <system_error>

namespace tavolex {
namespace {

// A line feed, tab or escape in a name would break listings and scripts, and reach terminals.
bool IsControlByte(std::uint8_t b) { return b < 0x20 || b == 0x7F; }

// Windows opens the device, not a file, for these names in any letter case, whatever extension
// follows the first dot and with spaces before it.
bool IsDeviceName(std::string_view name) {
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    const std::string lower = LowerAsciiText(stem);
    if (lower == "con" || lower == "prn" || lower == "aux" || lower == "nul") return true;
    return lower.size() == 4 && (lower.starts_with("com") || lower.starts_with("lpt")) && lower[3] >= '1' &&
           lower[3] <= '9';
}

}  // namespace

bool CleanReportName(std::string& cp932Name, platform::UserInteraction& ui) {
    bool replaced = false;
    for (std::size_t i = 0; i < cp932Name.size();) {
        if (Cp932CharWidth(cp932Name, i) == 2) {
            i += 2;
            continue;
        }
        if (kForbiddenNameCharacters.find(cp932Name[i]) != std::string_view::npos ||
            IsControlByte(static_cast<std::uint8_t>(cp932Name[i]))) {
            cp932Name[i] = ' ';
            replaced = true;
        }
        ++i;
    }
    // On every platform: reports travel to Windows in archives, exports and mail.
    const bool device = IsDeviceName(cp932Name);
    if (device) cp932Name = "_" + cp932Name;
    if (replaced) {
        ui.ShowMessage(std::string(kForbiddenNameCharacters) +
                           " are not allowed as Windows filenames and have been replaced with spaces.",
                       "Filename Change", platform::MessageIcon::kInformation);
    }
    return replaced || device;
}

std::string EditedReportName(std::string_view cp932Text) {
    return std::string(cp932Text.substr(0, Cp932FitLength(cp932Text, kEditedNameBytes)));
}

bool ConfirmOverwrite(const std::filesystem::path& reportPath, platform::UserInteraction& ui) {
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(reportPath, ec))) return true;
    return ui.AskYesNo(platform::PathToCp932(reportPath) + StringTableText(kIdsConfirmReplace), "Tavolex",
                       platform::kConfirmation);
}

}  // namespace tavolex
