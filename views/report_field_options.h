#pragma once
// The values of the Report Options dialog: which fields of an attendee the quick view and the
// built-in reports show ("rLastname" ... "rCustom4") and the author printed on reports
// ("cAuthor"). The dialog shows one tab at a time; each tab's values are read from the current
// user's key when the tab is built and stored there when the tab is left or the dialog closes.

#include "resources/string_ids.h"
#include "resources/string_table.h"
#include "settings/report_switches.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavolex {

struct ApplicationSettings;

enum class ReportOptionsTab : std::uint8_t { kFields = 0, kAuthor = 1 };

// One check box of the fields tab: its setting and the string id of its label.
struct ReportFieldSwitch {
    std::string_view name;
    int labelId;
};

inline constexpr std::size_t kReportFieldCount = kAttendeeFieldSwitches.size();
// The string ids of the check boxes' labels, in the order of kAttendeeFieldSwitches.
inline constexpr std::array<int, kReportFieldCount> kReportFieldLabelIds = {
    kIdsLabelLastName, kIdsLabelFirstName,   kIdsLabelTitle,       kIdsLabelCompany, IDS_FIELD_PHONE1,
    IDS_FIELD_PHONE2,  IDS_FIELD_PHONE3,     IDS_FIELD_PHONE4,     IDS_FIELD_PHONE5, kIdsLabelAddress,
    kIdsLabelCity,     kIdsLabelState,       kIdsLabelZipCode,     kIdsLabelCountry, kIdsLabelAddrNote,
    kIdsLabelCustom1,  kIdsLabelCustom1 + 1, kIdsLabelCustom1 + 2, kIdsLabelCustom4,
};
// In the order of the fields tab: the first nine in the left column, the rest in the right one.
inline constexpr std::array<ReportFieldSwitch, kReportFieldCount> kReportFieldSwitches = [] {
    std::array<ReportFieldSwitch, kReportFieldCount> switches{};
    for (std::size_t k = 0; k < kReportFieldCount; ++k)
        switches[k] = {kAttendeeFieldSwitches[k], kReportFieldLabelIds[k]};
    return switches;
}();
inline constexpr std::size_t kReportFieldsInLeftColumn = 9;

struct ReportOptionsValues {
    std::array<bool, kReportFieldCount> fields{};  // kReportFieldSwitches order; true = shown
    std::string author;                            // CP932
};

// Reads the tab's values from the current user's key into values (the other tab's values are
// left alone). Fields tab: a switch that is missing (or not a number) is created with 1 and
// taken as set. Author tab: "cAuthor", empty when missing.
void LoadReportOptionsTab(ApplicationSettings& settings, ReportOptionsTab tab, ReportOptionsValues& values);

// Stores the tab's values in the current user's key. Fields tab: the 19 switches (1 or 0) in
// table order, then "rShowLabels" = 0. Author tab: the author as "cAuthor", or the current Palm
// user's name ("LastUsername" of the application key) when the author is empty.
void SaveReportOptionsTab(ApplicationSettings& settings, ReportOptionsTab tab, const ReportOptionsValues& values);

}  // namespace tavolex
