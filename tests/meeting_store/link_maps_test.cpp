#include "meeting_store/link_maps.h"

#include "tests/support/nested_link_scan.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tavolex {
namespace {

constexpr std::uint32_t Child(std::uint32_t type, std::uint32_t id) { return (type << 24) | id; }

// A small store written out by hand.
class Store {
public:
    Store& Link(std::uint32_t meetingId, std::vector<std::uint32_t> children) {
        auto link = std::make_unique<tavolex::Link>();
        link->dwMeetingDBID = meetingId;
        link->nChildCount = static_cast<std::int32_t>(children.size());
        if (!children.empty()) {
            link->pdwChildDBID = std::make_unique<std::uint32_t[]>(children.size());
            std::copy(children.begin(), children.end(), link->pdwChildDBID.get());
        }
        records.links.push_back(std::move(link));
        return *this;
    }
    template <class Record>
    Store& Add(std::vector<std::unique_ptr<Record>>& array, std::vector<std::uint32_t> ids) {
        for (const std::uint32_t id : ids) {
            array.push_back(std::make_unique<Record>());
            array.back()->dwDBID = id;
        }
        return *this;
    }

    RecordArrays records;
};

// Every map of a build, to compare two builds whole.
auto AllMaps(const MeetingMaps& m) { return std::tie(m.linkMap, m.agendaMap, m.noteMap, m.toDoMap, m.sketchMap, m.attendeeMap, m.full); }

TEST(LinkMapsTest, MatchingRules) {
    Store s;
    s.Add(s.records.meetings, {1, 0x01000002, 3, 1});
    s.Link(0x7F000001, {Child(3, 1), Child(3, 1), Child(3, 404), Child(5, 2)})  // top byte ignored, id twice
        .Link(0x01000002, {Child(3, 1)})                                        // meeting id with top bits: never matches its meeting
        .Link(99, {Child(3, 1)})                                                // no such meeting
        .Link(3, {Child(9, 1), Child(4, 0x000002), Child(6, 7)})
        .Link(1, {Child(6, 7)});              // a second link of meeting 1
    s.Add(s.records.notes, {1, 0x02000001});  // a note whose id has top bits is never named
    s.Add(s.records.toDos, {2, 2});           // duplicate ids both appear
    s.Add(s.records.sketches, {0x01000002});
    s.Add(s.records.attendees, {7});
    const MeetingMaps maps = BuildLinkMaps(s.records);
    const std::vector<LinkMap> perMeeting1 = {{1, 0, 3}, {1, 1, 3}, {1, 0, 5}, {1, 1, 5}, {1, 0, 6}};
    std::vector<LinkMap> expected = perMeeting1;
    expected.push_back({3, 1, 6});
    for (LinkMap entry : perMeeting1) {  // the second meeting with id 1 gets the same items again
        entry.nMapIndex += 2;
        expected.push_back(entry);
    }
    EXPECT_EQ(maps.linkMap, expected);
    EXPECT_EQ(maps.noteMap, (std::vector<NoteMap>{{1, 0}, {1, 0}, {1, 0}, {1, 0}}));
    EXPECT_EQ(maps.toDoMap, (std::vector<ToDoMap>{{1, 0}, {1, 1}, {1, 0}, {1, 1}}));
    EXPECT_EQ(maps.attendeeMap, (std::vector<AttendeeMap>{{1, 0}, {3, 0}, {1, 0}}));
    EXPECT_TRUE(maps.sketchMap.empty());
    EXPECT_EQ(AllMaps(maps), AllMaps(test::NestedLinkScan(s.records)));
    MeetingMaps again = maps;  // a second build into the same maps starts from empty ones
    LinkMapBuilder().Build(s.records, again);
    EXPECT_EQ(AllMaps(again), AllMaps(maps));
}

// A child list longer than its count: only the counted children are read.
TEST(LinkMapsTest, OnlyTheCountedChildrenAreRead) {
    Store s;
    s.Add(s.records.meetings, {1}).Link(1, {Child(3, 1), Child(3, 2)}).Add(s.records.notes, {1, 2});
    s.records.links.back()->nChildCount = 1;
    EXPECT_EQ(BuildLinkMaps(s.records).noteMap, (std::vector<NoteMap>{{1, 0}}));
}

// Handheld order across types, whatever the order of the records (agenda 5 before agenda 6); a limit
// stops the build with whole entries.
TEST(LinkMapsTest, HandheldOrderAcrossTypesAndLimitStopsWithWholeEntries) {
    Store s;
    s.Add(s.records.meetings, {1}).Link(1, {Child(3, 1), Child(7, 5), Child(3, 1), Child(7, 6)});
    s.Add(s.records.notes, {1, 1}).Add(s.records.agendas, {6, 5});
    for (std::int32_t limit = 0; limit <= 7; ++limit) {
        const MeetingMaps maps = BuildLinkMaps(s.records, limit);
        EXPECT_EQ(AllMaps(maps), AllMaps(test::NestedLinkScan(s.records, limit))) << limit;
    }
}

}  // namespace
}  // namespace tavolex
