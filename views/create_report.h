#pragma once
// What the Create Report dialog offers and does, without a window: the template files of the
// template folder, the selections remembered from the last time ("LastTemplate", "LastReport"),
// the custom report's section switches, the proposed report name, and the making of a report
// from a template, an instant kind or the custom sections.

#include "report/report_options.h"
#include "report_files/report_paths.h"
#include "settings/report_switches.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex {

class ReportWriter;
class SettingsKey;
struct Meeting;
namespace platform {
class UserInteraction;
}

// The custom report's sections in the order of the dialog's check boxes (1046 ... 1051).
inline constexpr const std::array<std::string_view, 6>& kSectionSettingNames = kReportSectionSwitches;
// The template preselected before the remembered one, CP932 ("エグゼクティブ.htm").
inline constexpr char kExecutiveTemplateName[] = "\x83\x47\x83\x4f\x83\x5b\x83\x4e\x83\x65\x83\x42\x83\x75.htm";
// Bytes of the report name field that are used.
inline constexpr std::size_t kReportNameCapacity = 511;

// The template folder's report templates as CP932 file names: every "*.htm" file, then every
// "*.rtf" file (extensions in any letter case), each group in the order the folder lists them.
// Empty when the folder can't be read.
std::vector<std::string> ListTemplateFiles(const std::filesystem::path& templateFolder);

// The first item that begins with prefix, ASCII letters compared without regard to case (the
// second byte of a double-byte character is never folded); current when none does. An empty
// prefix keeps current.
int SelectByPrefix(const std::vector<std::string>& items, std::string_view prefix, int current);

struct CreateReportChoices {
    std::vector<std::string> templates;     // CP932 file names
    int templateSelection = -1;             // into templates, -1 when there is none
    std::vector<std::string> instantNames;  // "エグゼクティブ", "議題"
    int instantSelection = 0;
    std::array<bool, 6> sections{};  // in the order of kSectionSettingNames
};

// The lists with their selections and the section switches (a missing switch reads as set).
// userKey is open on the current user's key.
CreateReportChoices LoadCreateReportChoices(SettingsKey& userKey, const std::filesystem::path& templateFolder,
                                            std::vector<std::string> instantNames);
// The proposed report name: the meeting title, cleaned of the characters a file name can't hold
// (with the "Filename Change" message when any was replaced), at most kReportNameCapacity bytes.
std::string ProposedReportName(std::string_view meetingTitle, platform::UserInteraction& ui);
// Stores one section switch (1 or 0) as its check box is clicked.
void StoreSection(SettingsKey& userKey, int section, bool checked);
// Stores the texts of the selected list items as "LastTemplate" and "LastReport".
void StoreRememberedChoices(SettingsKey& userKey, std::string_view templateText, std::string_view instantText);

enum class CreateReportResult {
    kWritten,      // the report was written; the dialog closes
    kWriteFailed,  // the writer showed its failure message; the dialog closes all the same
    kStay,         // nothing written: the template could not be loaded, the user kept the old file,
                   // or the output folder is missing; the dialog stays open
};

// A report of the meeting from the template file (its name in the template folder): expanded in
// RTF for a ".rtf" template, else in HTML; the report takes the template's extension as written.
// The name is cleaned first; an existing report is replaced only when the user agrees.
CreateReportResult CreateTemplateReport(ReportWriter& writer, const Meeting& meeting, const ReportPaths& paths,
                                        std::string_view templateFileName, std::string reportName,
                                        platform::UserInteraction& ui);
// A built-in report of the kind (executive, agenda or custom), written as name + ".htm".
CreateReportResult CreateBuiltInReport(ReportWriter& writer, const Meeting& meeting, const ReportPaths& paths,
                                       ReportKind kind, std::string reportName, platform::UserInteraction& ui);

}  // namespace tavolex
