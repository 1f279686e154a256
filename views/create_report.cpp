#include "views/create_report.h"

#include "base/ascii.h"
#include "base/shift_jis.h"
#include "meeting_store/records.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "report/report_folder.h"
#include "report_files/report_name.h"
#include "report_files/report_writer.h"
#include "settings/settings_key.h"

#include <optional>
#include <system_error>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kRememberedChoiceCapacity = 261;

bool BeginsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Cp932CharWidth(prefix, i) == 2) {
            if (text[i] != prefix[i] || text[i + 1] != prefix[i + 1]) return false;
            ++i;
            continue;
        }
        if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
    }
    return true;
}

bool HasExtension(const fs::path& file, std::string_view lower) {
    return EqualsIgnoringAsciiCase(platform::PathToCp932(file.extension()), lower);
}

// The report's path once its name is cleaned, or nothing (the dialog stays) when the user keeps
// an existing report or the output folder is missing (and not one the writer makes).
std::optional<fs::path> ReportPathFor(const ReportPaths& paths, std::string reportName, std::string_view extension,
                                      platform::UserInteraction& ui) {
    if (reportName.size() > kReportNameCapacity) reportName.resize(kReportNameCapacity);
    CleanReportName(reportName, ui);
    std::error_code ec;
    if (!paths.outputFolderMadeOnWrite && !fs::is_directory(paths.outputFolder, ec)) {
        // The report could not be created; say where it was to go rather than do nothing.
        ui.ShowMessage("The output folder " + platform::PathToCp932(paths.outputFolder) +
                           " does not exist.  Please check your settings in File > Preferences.",
                       "Tavolex", platform::MessageIcon::kInformation);
        return std::nullopt;
    }
    fs::path reportPath = InFolder(paths.outputFolder, reportName + std::string(extension));
    if (!ConfirmOverwrite(reportPath, ui)) return std::nullopt;
    return reportPath;
}

}  // namespace

std::vector<std::string> ListTemplateFiles(const fs::path& templateFolder) {
    std::vector<std::string> html;
    std::vector<std::string> rtf;
    std::error_code ec;
    fs::directory_iterator it(templateFolder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const fs::path name = it->path().filename();
        if (HasExtension(name, ".htm")) {
            html.push_back(platform::PathToCp932(name));
        } else if (HasExtension(name, ".rtf")) {
            rtf.push_back(platform::PathToCp932(name));
        }
    }
    html.insert(html.end(), rtf.begin(), rtf.end());
    return html;
}

int SelectByPrefix(const std::vector<std::string>& items, std::string_view prefix, int current) {
    if (prefix.empty()) return current;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (BeginsWithIgnoringCase(items[i], prefix)) return static_cast<int>(i);
    }
    return current;
}

CreateReportChoices LoadCreateReportChoices(SettingsKey& userKey, const fs::path& templateFolder,
                                            std::vector<std::string> instantNames) {
    CreateReportChoices choices;
    choices.templates = ListTemplateFiles(templateFolder);
    choices.templateSelection = choices.templates.empty() ? -1 : 0;
    for (std::size_t i = 0; i < choices.templates.size(); ++i) {
        if (choices.templates[i] == kExecutiveTemplateName) choices.templateSelection = static_cast<int>(i);
    }
    choices.templateSelection = SelectByPrefix(
        choices.templates, userKey.ReadString("LastTemplate", kRememberedChoiceCapacity), choices.templateSelection);

    choices.instantNames = std::move(instantNames);
    choices.instantSelection =
        SelectByPrefix(choices.instantNames, userKey.ReadString("LastReport", kRememberedChoiceCapacity), 0);

    for (std::size_t i = 0; i < kSectionSettingNames.size(); ++i) {
        std::uint32_t value = 1;
        if (userKey.ReadValue(kSectionSettingNames[i], value) != platform::kSettingsOk) value = 1;
        choices.sections[i] = value != 0;
    }
    return choices;
}

std::string ProposedReportName(std::string_view meetingTitle, platform::UserInteraction& ui) {
    std::string name(meetingTitle.substr(0, kReportNameCapacity));
    CleanReportName(name, ui);
    return name;
}

void StoreSection(SettingsKey& userKey, int section, bool checked) {
    if (section < 0 || section >= static_cast<int>(kSectionSettingNames.size())) return;
    (void)userKey.WriteDword(kSectionSettingNames[static_cast<std::size_t>(section)], checked ? 1 : 0);
}

void StoreRememberedChoices(SettingsKey& userKey, std::string_view templateText, std::string_view instantText) {
    (void)userKey.WriteString("LastTemplate", templateText);
    (void)userKey.WriteString("LastReport", instantText);
}

CreateReportResult CreateTemplateReport(ReportWriter& writer, const Meeting& meeting, const ReportPaths& paths,
                                        std::string_view templateFileName, std::string reportName,
                                        platform::UserInteraction& ui) {
    const fs::path templatePath = InFolder(paths.templateFolder, templateFileName);
    if (!writer.LoadTemplateFile(templatePath)) return CreateReportResult::kStay;
    writer.Generator().SetMode(TemplateExpansionMode(templatePath));
    const std::optional<fs::path> reportPath =
        ReportPathFor(paths, std::move(reportName), platform::PathToCp932(templatePath.extension()), ui);
    if (!reportPath) return CreateReportResult::kStay;
    return writer.WriteTemplateReport(*reportPath, meeting) ? CreateReportResult::kWritten
                                                            : CreateReportResult::kWriteFailed;
}

CreateReportResult CreateBuiltInReport(ReportWriter& writer, const Meeting& meeting, const ReportPaths& paths,
                                       ReportKind kind, std::string reportName, platform::UserInteraction& ui) {
    const std::optional<fs::path> reportPath = ReportPathFor(paths, std::move(reportName), ".htm", ui);
    if (!reportPath) return CreateReportResult::kStay;
    return writer.WriteBuiltInReport(*reportPath, meeting, kind) ? CreateReportResult::kWritten
                                                                 : CreateReportResult::kWriteFailed;
}

}  // namespace tavolex
