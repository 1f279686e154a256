#pragma once
// The meetings as an Excel workbook (.xlsx): a sheet per kind of row (the meetings; their agenda
// items, notes, to-dos and attendees, each row with its meeting's number, date and title; the
// people who attended them), each a table with a frozen header row, an autofilter and columns as
// wide as their texts. Every text is a string cell, so nothing from the handheld becomes a formula;
// dates and times are Excel's own, so they sort and filter as dates; a date the calendar does not
// have leaves its cell empty and its stored text in the sheet's text column. The rows are written
// as they come (a row at a time), so a store at full capacity takes little memory; a sheet that
// reaches Excel's last row goes on in a sheet of the same name numbered "(2)", "(3)", ...

#include "export/export_text.h"

#include <ctime>
#include <filesystem>
#include <memory>
#include <string_view>

namespace tavolex {

// A workbook written at `path`: each user's rows added in turn, the file put in place by Finish.
// One that ends unfinished (a failure, a cancel) leaves nothing at `path`.
class XlsxWorkbook {
public:
    // severalUsers: each sheet leads with a 利用者 column naming the row's user. `created`: the
    // workbook's creation time in its properties.
    XlsxWorkbook(std::filesystem::path path, bool severalUsers, std::time_t created);
    ~XlsxWorkbook();
    XlsxWorkbook(const XlsxWorkbook&) = delete;
    XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

    // Adds the selected meetings (in the order given) with their items, and the people who
    // attended them. False, with summary saying why, on a failure or cancel.
    bool Add(std::string_view user, const MeetingDatabase& store, const AddressBook& book,
             const MeetingIndexes& selection, ExportText& text, ExportSummary& summary,
             const ExportProgress& progress = {});
    // Writes the file and puts it at the path; adds the path to summary.files.
    bool Finish(ExportSummary& summary);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// One user's workbook, as XlsxWorkbook writes it without the 利用者 column.
bool WriteXlsxWorkbook(const MeetingDatabase& store, const AddressBook& book, const MeetingIndexes& selection,
                       const std::filesystem::path& path, std::time_t created, ExportText& text, ExportSummary& summary,
                       const ExportProgress& progress = {});

}  // namespace tavolex
