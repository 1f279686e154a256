#pragma once
// What a caller of the report generator names without needing the generator itself: the kinds
// of built-in report and the options a report is made with, read of the user's settings.

#include <filesystem>
#include <string>

namespace tavolex {

enum class ReportKind : int {
    kExecutive = 3003,
    kAgenda = 3004,
    kCustom = 3005,
};

// What the writers read of the current Palm user's settings, taken when a report is written.
// A flag that is absent from the settings counts as set: the user defaults always create it as 1.
struct ReportOptions {
    std::string author{};                    // "cAuthor", CP932
    std::filesystem::path outputFolder{};    // "OutputPath"
    std::filesystem::path templateFolder{};  // "TemplatePath"
    // The output folder is made, if it is missing, when a report is written into it (the default
    // report folder of a user found in a chosen folder, which no installation made).
    bool makeOutputFolder = false;
    // Sections of the custom report: "rAuthor", "rAttendee", "rAgenda", "rToDo", "rNote", "rSketch".
    bool withAuthor = true;
    bool withAttendees = true;
    bool withAgendas = true;
    bool withToDos = true;
    bool withNotes = true;
    bool withSketches = true;
    // Name lines of the attendee boxes: "rFirstName", "rLastName", "rTitle", "rCompany".
    bool withFirstName = true;
    bool withLastName = true;
    bool withTitle = true;
    bool withCompany = true;
};

}  // namespace tavolex
