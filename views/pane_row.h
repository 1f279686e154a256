#pragma once
// One row of a pane's list as the sort moves it: the texts of its columns, its icon, its list
// view state and its parameter (the meeting index, item entry index or report position the row
// stands for).

#include "views/pane_layout.h"

#include <array>
#include <cstdint>
#include <string>

namespace tavolex {

// The most columns a list has (the meeting list); a sort by any later column does nothing.
inline constexpr int kPaneMaxColumns = 4;

struct PaneRow {
    std::array<std::string, kPaneMaxColumns> texts;  // columns the list does not have stay ""
    PaneIcon icon = PaneIcon::kMeeting;
    std::uint32_t state = 0;
    std::int64_t parameter = 0;
};

}  // namespace tavolex
