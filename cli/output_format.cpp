#include "cli/output_format.h"

namespace tavolex::cli {
namespace {

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (const char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string CsvValue(const nlohmann::ordered_json& value) {
    if (value.is_null()) return {};
    if (value.is_string()) return value.get<std::string>();
    if (value.is_boolean()) return value.get<bool>() ? "true" : "false";
    return value.dump();
}

}  // namespace

std::string TsvField(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

void WriteTsvLine(std::ostream& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) out << (i == 0 ? "" : "\t") << TsvField(fields[i]);
    out << '\n';
}

void WriteJson(std::ostream& out, const nlohmann::ordered_json& document) {
    out << document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
}

void WriteCsv(std::ostream& out, const std::vector<std::string>& columns, const nlohmann::ordered_json& records) {
    out << "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < columns.size(); ++i) out << (i == 0 ? "" : ",") << CsvField(columns[i]);
    out << "\r\n";
    for (const nlohmann::ordered_json& record : records) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const auto it = record.find(columns[i]);
            out << (i == 0 ? "" : ",") << CsvField(it == record.end() ? std::string() : CsvValue(*it));
        }
        out << "\r\n";
    }
}

}  // namespace tavolex::cli
