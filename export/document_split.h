#pragma once
// A calendar or a file of cards split into files that other programs import whole: Google Calendar
// takes about 1 MB per imported file, and desktop Outlook only the first card of a .vcf. The split
// works on the document as written (one user's or several users' joined), so the files hold
// exactly its components.

#include <string>
#include <string_view>
#include <vector>

namespace tavolex {

class ExportText;

struct SplitFile {
    std::string name;      // the file's name, UTF-8, with its extension
    std::string document;  // a whole document of its format
};

// An iCalendar document as one calendar per year: "<year>.ics" holds the events starting in that
// year and the to-dos related to them; "undated.ics" the to-dos related to no event of the
// document. Each file has the document's own header lines, and the components in their order.
// Years in order, "undated.ics" last.
[[nodiscard]] std::vector<SplitFile> SplitCalendarByYear(std::string_view calendar);

// A vCard document as one file per card, named by its FN as the report-name rules make file names
// (silently), each name unique in the folder ("contact.vcf" for a card without a name). `names`
// converts the names for the rules and counts what was not Shift-JIS.
[[nodiscard]] std::vector<SplitFile> SplitVCards(std::string_view cards, ExportText& names);

}  // namespace tavolex
