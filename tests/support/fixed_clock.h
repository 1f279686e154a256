#pragma once
// The clock the report tests write REPORT_DATE and REPORT_TIME with: 2026-12-07 09:05, so that
// reports made at different moments compare byte for byte.

#include <ctime>

namespace tavolex::test {

inline std::tm FixedReportTime() { return {.tm_min = 5, .tm_hour = 9, .tm_mday = 7, .tm_mon = 11, .tm_year = 2026 - 1900}; }

}  // namespace tavolex::test
