#include "report_files/report_name.h"

#include "platform/file_system.h"
#include "platform/platform.h"
#include "report/template_scanner.h"
#include "resources/string_table.h"

#include <system_error>

namespace tavolex {

bool CleanReportName(std::string& cp932Name, platform::UserInteraction& ui) {
    bool replaced = false;
    for (std::size_t i = 0; i < cp932Name.size();) {
        if (IsLeadByte(static_cast<std::uint8_t>(cp932Name[i])) && i + 1 < cp932Name.size()) {
            i += 2;
            continue;
        }
        if (kForbiddenNameCharacters.find(cp932Name[i]) != std::string_view::npos) {
            cp932Name[i] = ' ';
            replaced = true;
        }
        ++i;
    }
    if (replaced) {
        ui.ShowMessage(std::string(kForbiddenNameCharacters) +
                           " are not allowed as Windows filenames and have been replaced with spaces.",
                       "Filename Change", platform::MessageIcon::kInformation);
    }
    return replaced;
}

std::string EditedReportName(std::string_view cp932Text) {
    return std::string(cp932Text.substr(0, WholeCharacterPrefix(cp932Text, kEditedNameBytes)));
}

bool ConfirmOverwrite(const std::filesystem::path& reportPath, platform::UserInteraction& ui) {
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(reportPath, ec))) return true;
    return ui.AskYesNo(platform::PathToCp932(reportPath) + StringTableText(kIdsConfirmReplace), "Tavolex",
                      platform::kConfirmation);
}

}  // namespace tavolex
