#pragma once
// The clock the report tests write REPORT_DATE and REPORT_TIME with: 2026-12-07 09:05, so that
// reports made at different moments compare byte for byte.

#include <ctime>

namespace tavolex::test {

inline std::tm FixedReportTime() {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 7;
    t.tm_hour = 9;
    t.tm_min = 5;
    return t;
}

}  // namespace tavolex::test
