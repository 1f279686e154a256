#pragma once
// The report switches of a user's settings (1: shown, 0: not), each name written once: the custom
// report's sections, the attendee fields the quick view and the built-in reports show, and the
// labels switch. The settings store matches names without regard to case, so "rLastname" is also
// "rLastName".

#include <array>
#include <cstddef>
#include <string_view>

namespace tavolex {

namespace report_switch {
inline constexpr std::string_view kAuthor = "rAuthor";
inline constexpr std::string_view kAgenda = "rAgenda";
inline constexpr std::string_view kToDo = "rToDo";
inline constexpr std::string_view kNote = "rNote";
inline constexpr std::string_view kSketch = "rSketch";
inline constexpr std::string_view kAttendee = "rAttendee";
inline constexpr std::string_view kLastname = "rLastname";
inline constexpr std::string_view kFirstname = "rFirstname";
inline constexpr std::string_view kTitle = "rTitle";
inline constexpr std::string_view kCompany = "rCompany";
inline constexpr std::string_view kPhone1 = "rPhone1";
inline constexpr std::string_view kPhone2 = "rPhone2";
inline constexpr std::string_view kPhone3 = "rPhone3";
inline constexpr std::string_view kPhone4 = "rPhone4";
inline constexpr std::string_view kPhone5 = "rPhone5";
inline constexpr std::string_view kAddress = "rAddress";
inline constexpr std::string_view kCity = "rCity";
inline constexpr std::string_view kState = "rState";
inline constexpr std::string_view kZipCode = "rZipCode";
inline constexpr std::string_view kCountry = "rCountry";
inline constexpr std::string_view kAddrNote = "rAddrNote";
inline constexpr std::string_view kCustom1 = "rCustom1";
inline constexpr std::string_view kCustom2 = "rCustom2";
inline constexpr std::string_view kCustom3 = "rCustom3";
inline constexpr std::string_view kCustom4 = "rCustom4";
inline constexpr std::string_view kShowLabels = "rShowLabels";
}  // namespace report_switch

// The custom report's sections, in the order of the Create Report dialog's check boxes.
inline constexpr std::array<std::string_view, 6> kReportSectionSwitches = {
    report_switch::kAuthor, report_switch::kAgenda, report_switch::kToDo,
    report_switch::kNote,   report_switch::kSketch, report_switch::kAttendee,
};

// The attendee fields, in the order of the Report Options dialog's fields tab.
inline constexpr std::array<std::string_view, 19> kAttendeeFieldSwitches = {
    report_switch::kLastname, report_switch::kFirstname, report_switch::kTitle,    report_switch::kCompany,
    report_switch::kPhone1,   report_switch::kPhone2,    report_switch::kPhone3,   report_switch::kPhone4,
    report_switch::kPhone5,   report_switch::kAddress,   report_switch::kCity,     report_switch::kState,
    report_switch::kZipCode,  report_switch::kCountry,   report_switch::kAddrNote, report_switch::kCustom1,
    report_switch::kCustom2,  report_switch::kCustom3,   report_switch::kCustom4,
};

// Every switch, in the order a new user's defaults write them: the sections, the fields, the labels.
inline constexpr std::array<std::string_view, 26> kReportSwitches = [] {
    std::array<std::string_view, 26> all{};
    std::size_t n = 0;
    for (const std::string_view name : kReportSectionSwitches) all[n++] = name;
    for (const std::string_view name : kAttendeeFieldSwitches) all[n++] = name;
    all[n] = report_switch::kShowLabels;
    return all;
}();

}  // namespace tavolex
