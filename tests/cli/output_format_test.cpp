#include "cli/output_format.h"

#include <gtest/gtest.h>

namespace tavolex::cli {
namespace {

// A text cell that a spreadsheet would take for a formula gets an apostrophe in front; a value
// cell, and a text that starts with anything else, keeps its bytes; then RFC 4180 quoting.
TEST(CsvCellTest, GuardsFormulaTextsAndQuotes) {
    const struct {
        std::string text;
        CsvCells cells;
        std::string field;
    } table[] = {
        {"=HYPERLINK(\"http://x\",\"click\")", CsvCells::kText, "\"'=HYPERLINK(\"\"http://x\"\",\"\"click\"\")\""},
        {"+81 3", CsvCells::kText, "'+81 3"},
        {"-5", CsvCells::kText, "'-5"},
        {"@SUM(A1)", CsvCells::kText, "'@SUM(A1)"},
        {"\tcmd", CsvCells::kText, "'\tcmd"},
        {"\rcmd", CsvCells::kText, "\"'\rcmd\""},
        {"-5", CsvCells::kValue, "-5"},
        {"2026-11-02", CsvCells::kValue, "2026-11-02"},
        {"a=b", CsvCells::kText, "a=b"},
        {"'=x", CsvCells::kText, "'=x"},
        {"\nx", CsvCells::kText, "\"\nx\""},
        {"", CsvCells::kText, ""},
        {"a,b", CsvCells::kText, "\"a,b\""},
        {"say \"hi\"", CsvCells::kText, "\"say \"\"hi\"\"\""},
        {"会議", CsvCells::kText, "会議"},
        {"a\x1b[2J\x07\x08"
         "b",
         CsvCells::kText, "a [2J  b"},                                // control characters become spaces
        {"\x7f\xc2\x9bx\rb\tc", CsvCells::kText, "\"  x\rb\tc\""},    // but TAB, CR and LF stay
        {"\xc2\x80\xc2\x9f\xc2\xa0", CsvCells::kText, "  \xc2\xa0"},  // C1 is U+0080 to U+009F
    };
    for (const auto& row : table) EXPECT_EQ(CsvCell(row.text, row.cells), row.field) << row.text;
}

}  // namespace
}  // namespace tavolex::cli
