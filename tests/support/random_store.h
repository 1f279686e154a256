#pragma once
// Generated stores for comparing the map build with the nested scan and for measuring it: ids drawn
// from a small space so that duplicates, ids named twice and ids naming nothing are common, with
// some ids carrying top-byte bits, links to missing meetings and children of unknown types.

#include "meeting_store/link_maps.h"

#include <random>

namespace tavolex::test {

struct RandomStoreShape {
    int meetings = 20;
    int links = 25;
    int recordsPerType = 30;
    int maxChildren = 8;
    std::uint32_t idSpace = 40;         // ids are drawn from 0 ... idSpace - 1 (plus top-byte noise)
    double topByteNoise = 0.05;         // share of ids given random top-byte bits
    double unknownChildTypes = 0.05;    // share of children of a type no map takes
};

namespace detail {

inline std::uint32_t RandomId(std::mt19937& random, const RandomStoreShape& shape) {
    std::uint32_t id = std::uniform_int_distribution<std::uint32_t>(0, shape.idSpace - 1)(random);
    if (std::bernoulli_distribution(shape.topByteNoise)(random)) {
        id |= std::uniform_int_distribution<std::uint32_t>(1, 255)(random) << 24;
    }
    return id;
}

template <class Record>
void FillRecords(std::vector<std::unique_ptr<Record>>& records, int count, std::mt19937& random,
                 const RandomStoreShape& shape) {
    records.clear();
    for (int i = 0; i < count; ++i) {
        records.push_back(std::make_unique<Record>());
        records.back()->dwDBID = RandomId(random, shape);
    }
}

}  // namespace detail

inline RecordArrays RandomRecordArrays(std::mt19937& random, const RandomStoreShape& shape) {
    RecordArrays records;
    detail::FillRecords(records.meetings, shape.meetings, random, shape);
    detail::FillRecords(records.agendas, shape.recordsPerType, random, shape);
    detail::FillRecords(records.notes, shape.recordsPerType, random, shape);
    detail::FillRecords(records.toDos, shape.recordsPerType, random, shape);
    detail::FillRecords(records.sketches, shape.recordsPerType, random, shape);
    detail::FillRecords(records.attendees, shape.recordsPerType, random, shape);
    std::uniform_int_distribution<int> childCount(0, shape.maxChildren);
    std::uniform_int_distribution<std::uint32_t> knownType(3, 7);
    std::uniform_int_distribution<std::uint32_t> anyType(0, 255);
    std::bernoulli_distribution unknown(shape.unknownChildTypes);
    for (int i = 0; i < shape.links; ++i) {
        auto link = std::make_unique<Link>();
        link->dwDBID = static_cast<std::uint32_t>(i);
        // The meeting id's top byte is ignored by the match: give it noise half the time.
        link->dwMeetingDBID = detail::RandomId(random, shape) & 0xFFFFFF;
        if (i % 2 == 0) link->dwMeetingDBID |= anyType(random) << 24;
        link->nChildCount = childCount(random);
        if (link->nChildCount > 0) {
            link->pdwChildDBID = std::make_unique<std::uint32_t[]>(static_cast<std::size_t>(link->nChildCount));
            for (int c = 0; c < link->nChildCount; ++c) {
                const std::uint32_t type = unknown(random) ? anyType(random) : knownType(random);
                link->pdwChildDBID[static_cast<std::size_t>(c)] =
                    (type << 24) | (detail::RandomId(random, shape) & 0xFFFFFF);
            }
        }
        records.links.push_back(std::move(link));
    }
    return records;
}

}  // namespace tavolex::test
