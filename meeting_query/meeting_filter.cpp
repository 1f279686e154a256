#include "meeting_query/meeting_filter.h"

#include "meeting_query/text_match.h"

#include <algorithm>

namespace tavolex {

MeetingFilter::MeetingFilter(const MeetingDatabase& store, const SearchItemsOf& itemsOf) {
    const std::int32_t count = store.MeetingCount();
    texts_.resize(static_cast<std::size_t>(std::max(count, 0)));
    for (std::int32_t index = 0; index < count; ++index) {
        std::u16string& folded = texts_[static_cast<std::size_t>(index)];
        // Each text on its own, so a hit never spans two of them; an attendee's both names count.
        VisitSearchTexts(store, index, itemsOf, [&](const char*, std::int32_t, std::uint32_t, std::string_view text) {
            folded += TextMatch::Fold(text);
            folded += u'\0';
            return false;
        });
    }
    SetText("");
}

void MeetingFilter::SetText(std::string_view utf8) {
    text_ = std::string(utf8);
    const TextMatch match(utf8);
    active_ = !match.Empty();
    shown_.assign(texts_.size(), !active_);
    shownCount_ = active_ ? 0 : static_cast<std::int32_t>(texts_.size());
    if (!active_) return;
    for (std::size_t index = 0; index < texts_.size(); ++index) {
        if (match.MatchesFolded(texts_[index])) {
            shown_[index] = true;
            ++shownCount_;
        }
    }
}

bool MeetingFilter::Shows(std::int32_t meetingIndex) const {
    if (meetingIndex < 0) return false;
    const auto index = static_cast<std::size_t>(meetingIndex);
    return index < shown_.size() && shown_[index];
}

}  // namespace tavolex
