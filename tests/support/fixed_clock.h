#pragma once
// The clock the report tests write REPORT_DATE and REPORT_TIME with: 2026-12-07 09:05, so that
// reports made at different moments compare byte for byte.

#include <ctime>

namespace tavolex::test {

inline std::tm FixedReportTime() {
    std::tm time{};
    time.tm_min = 5;
    time.tm_hour = 9;
    time.tm_mday = 7;
    time.tm_mon = 11;
    time.tm_year = 2026 - 1900;
    return time;
}

}  // namespace tavolex::test
