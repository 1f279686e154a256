#include "meeting_query/store_merge.h"

#include "meeting_query/store_compare.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tavolex {
namespace {

std::unique_ptr<Link> CopyLink(const Link& link) {
    auto copy = std::make_unique<Link>();
    copy->dwDBID = link.dwDBID;
    copy->dwMeetingDBID = link.dwMeetingDBID;
    copy->nChildCount = link.nChildCount;
    if (link.pdwChildDBID && link.nChildCount > 0) {
        copy->pdwChildDBID = std::make_unique<std::uint32_t[]>(static_cast<std::size_t>(link.nChildCount));
        std::copy_n(link.pdwChildDBID.get(), link.nChildCount, copy->pdwChildDBID.get());
    }
    return copy;
}

template <class Record>
void CopyRecord(const std::vector<std::unique_ptr<Record>>& from, std::int32_t index,
                std::vector<std::unique_ptr<Record>>& to) {
    if (index >= 0 && static_cast<std::size_t>(index) < from.size() && from[static_cast<std::size_t>(index)]) {
        to.push_back(std::make_unique<Record>(*from[static_cast<std::size_t>(index)]));
    }
}

// Takes the links and items of one meeting id from one copy.
class ItemTaker {
public:
    explicit ItemTaker(RecordArrays& into) : into_(into) {}

    void Take(const MeetingDatabase& copy, std::uint32_t meetingId) {
        if (&copy != linksOf_) IndexLinks(copy);
        if (const auto links = linksByMeeting_.find(meetingId & 0x00FFFFFFu); links != linksByMeeting_.end()) {
            for (const std::size_t i : links->second) into_.links.push_back(CopyLink(*copy.Links()[i]));
        }
        for (const MeetingItem& item : copy.ItemsOf(meetingId)) {
            if (!takenHere_.insert({static_cast<int>(item.type), item.recordIndex}).second) continue;
            const std::uint32_t id = IdOf(copy, item);
            // The same item (kind and id) from a later copy stands for this one.
            const auto [owner, added] = owners_.emplace(std::make_pair(static_cast<int>(item.type), id), &copy);
            if (!added && owner->second != &copy) continue;
            const RecordArrays& from = copy.Records();
            switch (item.type) {
                case ChildType::kAgenda: CopyRecord(from.agendas, item.recordIndex, into_.agendas); break;
                case ChildType::kNote: CopyRecord(from.notes, item.recordIndex, into_.notes); break;
                case ChildType::kToDo: CopyRecord(from.toDos, item.recordIndex, into_.toDos); break;
                case ChildType::kSketch: CopyRecord(from.sketches, item.recordIndex, into_.sketches); break;
                case ChildType::kAttendee: CopyRecord(from.attendees, item.recordIndex, into_.attendees); break;
            }
        }
    }

private:
    static std::uint32_t IdOf(const MeetingDatabase& copy, const MeetingItem& item) {
        const RecordArrays& r = copy.Records();
        const auto id = [&](const auto& records) {
            return records[static_cast<std::size_t>(item.recordIndex)]->dwDBID;
        };
        switch (item.type) {
            case ChildType::kAgenda: return id(r.agendas);
            case ChildType::kNote: return id(r.notes);
            case ChildType::kToDo: return id(r.toDos);
            case ChildType::kSketch: return id(r.sketches);
            case ChildType::kAttendee: return id(r.attendees);
        }
        return 0;
    }

    void IndexLinks(const MeetingDatabase& copy) {
        linksOf_ = &copy;
        linksByMeeting_.clear();
        takenHere_.clear();
        for (std::size_t i = 0; i < copy.Links().size(); ++i) {
            if (const Link* link = copy.Links()[i].get())
                linksByMeeting_[link->dwMeetingDBID & 0x00FFFFFFu].push_back(i);
        }
    }

    RecordArrays& into_;
    const MeetingDatabase* linksOf_ = nullptr;
    std::unordered_map<std::uint32_t, std::vector<std::size_t>> linksByMeeting_;
    std::set<std::pair<int, std::int32_t>> takenHere_;                        // (kind, record) of this copy
    std::map<std::pair<int, std::uint32_t>, const MeetingDatabase*> owners_;  // (kind, id): the copy it came from
};

}  // namespace

MergeCounts MergeStores(std::span<const MeetingDatabase* const> copies, MeetingDatabase& into) {
    RecordArrays merged;
    ItemTaker items(merged);
    // Each id's meeting as taken (newest copy first), and whether an older copy differs from it.
    std::unordered_map<std::uint32_t, std::pair<const MeetingDatabase*, const Meeting*>> taken;
    std::map<std::uint32_t, bool> inSeveral;
    for (auto c = copies.rbegin(); c != copies.rend(); ++c) {
        const MeetingDatabase& copy = **c;
        std::set<std::uint32_t> seenHere;
        for (std::int32_t i = 0; i < copy.MeetingCount(); ++i) {
            const Meeting* m = copy.MeetingAt(i);
            if (m == nullptr) continue;
            const bool first = seenHere.insert(m->dwDBID).second;
            const auto [at, fresh] = taken.emplace(m->dwDBID, std::make_pair(&copy, m));
            if (!fresh && at->second.first != &copy) {
                if (first) {
                    const bool differs = Differs(CompareMeetings(copy, *m, *at->second.first, *at->second.second));
                    bool& any = inSeveral[m->dwDBID];
                    any = any || differs;
                }
                continue;
            }
            merged.meetings.push_back(std::make_unique<Meeting>(*m));
            if (first) items.Take(copy, m->dwDBID);
        }
    }
    // A sketch's place among the records of its id, as a store read from one file numbers it.
    std::map<std::uint32_t, int> occurrences;
    for (const auto& sketch : merged.sketches) sketch->idOccurrence = ++occurrences[sketch->dwDBID];
    MergeCounts counts;
    for (const auto& [id, differs] : inSeveral) ++(differs ? counts.replaced : counts.merged);
    into.Adopt(std::move(merged));
    return counts;
}

}  // namespace tavolex
