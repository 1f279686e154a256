#pragma once
// The find box's filter over the meeting list: the meetings whose title, location, category or
// any item text holds the text typed, compared as `search` compares (NFKC and case folding). The
// store's texts are folded once, when the filter is built, so a keystroke only looks for the
// folded text in them.

#include "meeting_query/store_search.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex {

class MeetingFilter {
public:
    MeetingFilter() = default;
    // The texts of every meeting of the store, their items as itemsOf gives them.
    MeetingFilter(const MeetingDatabase& store, const SearchItemsOf& itemsOf);

    // The text to find (UTF-8); an empty one shows every meeting.
    void SetText(std::string_view utf8);
    // Whether the meeting at the 0-based store position is shown.
    [[nodiscard]] bool Shows(std::int32_t meetingIndex) const;
    // The number of meetings shown.
    [[nodiscard]] std::int32_t ShownCount() const { return shownCount_; }
    // The text set last (UTF-8).
    [[nodiscard]] const std::string& Text() const { return text_; }
    // Whether a text is set.
    [[nodiscard]] bool Active() const { return active_; }

private:
    std::vector<std::u16string> texts_;  // per meeting: its texts folded, each followed by U+0000
    std::vector<bool> shown_;
    std::int32_t shownCount_ = 0;
    bool active_ = false;
    std::string text_;
};

}  // namespace tavolex
