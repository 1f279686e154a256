#include "cli/output_format.h"

namespace tavolex::cli {
namespace {

// The first characters that make a spreadsheet read a cell as a formula (OWASP's list).
constexpr std::string_view kFormulaStarts = "=+-@\t\r";

std::string CsvValue(const nlohmann::ordered_json& value) {
    if (value.is_null()) return {};
    if (value.is_string()) return value.get<std::string>();
    if (value.is_boolean()) return value.get<bool>() ? "true" : "false";
    return value.dump();
}

// Which line characters a text keeps when its other control characters become spaces.
enum class Kept { kNone, kLines, kCsvBreaks };

// Every control character becomes a space: C0, DEL and C1 (U+0080–U+009F, C2 80–C2 9F in UTF-8),
// so that no text of a store moves the cursor, sets a title or sends a command to the terminal.
// kLines keeps TAB, LF and the CR of a CR LF; kCsvBreaks keeps TAB, LF and every CR, which a quoted
// CSV cell holds as they are.
std::string Spaced(std::string_view text, Kept kept) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
            out += ' ';
            ++i;
            continue;
        }
        const bool line = c == '\t' || c == '\n' || (c == '\r' && (next == '\n' || kept == Kept::kCsvBreaks));
        out += (c < 0x20 || c == 0x7F) && !(kept != Kept::kNone && line) ? ' ' : text[i];
    }
    return out;
}

}  // namespace

std::string CsvCell(std::string_view text, CsvCells cells) {
    std::string cell;
    if (cells == CsvCells::kText && !text.empty() && kFormulaStarts.find(text.front()) != std::string_view::npos)
        cell = "'";
    cell += Spaced(text, Kept::kCsvBreaks);
    if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
    std::string out = "\"";
    for (const char c : cell) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string TsvField(std::string_view text) { return Spaced(text, Kept::kNone); }

std::string TerminalText(std::string_view text) { return Spaced(text, Kept::kLines); }

void WriteTsvLine(std::ostream& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) out << (i == 0 ? "" : "\t") << TsvField(fields[i]);
    out << '\n';
}

void WriteJson(std::ostream& out, const nlohmann::ordered_json& document) {
    out << document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
}

void WriteCsv(std::ostream& out, const std::vector<CsvColumn>& columns, const nlohmann::ordered_json& records) {
    out << "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < columns.size(); ++i) out << (i == 0 ? "" : ",") << CsvCell(columns[i].name, kCsvValue);
    out << "\r\n";
    for (const nlohmann::ordered_json& record : records) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const auto it = record.find(columns[i].name);
            out << (i == 0 ? "" : ",") << CsvCell(it == record.end() ? std::string() : CsvValue(*it), columns[i].cells);
        }
        out << "\r\n";
    }
}

}  // namespace tavolex::cli
