#pragma once
// The three output formats of the command line, in one place: tab-separated lines (a control
// character inside a field, TAB, CR or LF among them, becomes a space), one JSON document, and
// RFC 4180 CSV (UTF-8 with a byte-order mark, CR LF line ends, a header row). JSON and CSV keep
// texts whole: JSON escapes control characters and CSV quotes its fields, so they stay data; a CSV
// text cell a spreadsheet would run as a formula is guarded. A listing is built once as JSON
// records; the CSV writer takes its columns from them.

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex::cli {

enum class OutputFormat { kText, kJson, kCsv };

// A field of a tab-separated line: every control character (TAB, CR and LF included) a space.
std::string TsvField(std::string_view text);
// Lines of text for the terminal: every control character but TAB and line ends a space.
std::string TerminalText(std::string_view text);
// One line of fields, each cleaned, joined by TABs.
void WriteTsvLine(std::ostream& out, const std::vector<std::string>& fields);

// The document, indented by two, and a line feed.
void WriteJson(std::ostream& out, const nlohmann::ordered_json& document);

// What a column of a CSV listing holds: texts (of the store, the user, the file system), or values
// the program writes (numbers, ISO dates and times, the locale's date and time texts, true/false,
// its own words), which are written as they are.
enum class CsvCells { kText, kValue };
inline constexpr CsvCells kCsvValue = CsvCells::kValue;

struct CsvColumn {
    std::string name;
    CsvCells cells = CsvCells::kText;
};

// One field of a CSV row. Its control characters become spaces, as in every listing, but for TAB,
// CR and LF, which a CSV cell holds. A CSV file is opened by a spreadsheet, which takes a cell that starts
// with =, +, -, @, TAB or CR for a formula: such a text cell gets an apostrophe in front, which
// the spreadsheet shows as text. The field is then quoted when it holds a comma, a quote or a line
// end (quotes doubled).
std::string CsvCell(std::string_view text, CsvCells cells);

// The header row of columns, then one row per record: a text as it is (guarded, in a text column),
// a number as JSON writes it, true/false, and an empty field for null or a missing field.
void WriteCsv(std::ostream& out, const std::vector<CsvColumn>& columns, const nlohmann::ordered_json& records);

// An optional text as JSON: null when absent.
template <class Optional>
nlohmann::ordered_json OrNull(const Optional& value) {
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

}  // namespace tavolex::cli
