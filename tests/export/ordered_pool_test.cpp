#include "export/ordered_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavolex {
namespace {

// Results come in the items' order whatever the threads and batches; a false from consume stops
// the pool there, and a failing item is thrown on the calling thread with nothing after it taken;
// once stopped, the workers make no more than the window they were allowed ahead.
TEST(OrderedPoolTest, ResultsInOrderStopsAndErrors) {
    const struct {
        int jobs;
        std::size_t batch;
        std::size_t count;
        std::size_t stopAt;  // consume answers false here (count: never)
        std::size_t failAt;  // produce throws here (count: never)
        std::size_t consumed;
        bool result;
    } cases[] = {
        {1, 1, 100, 100, 100, 100, true},      {2, 1, 100, 100, 100, 100, true},     {4, 3, 100, 100, 100, 100, true},
        {2, 32, 1000, 1000, 1000, 1000, true}, {2, 32, 1000, 500, 1000, 501, false}, {4, 1, 100, 7, 100, 8, false},
        {2, 5, 100, 100, 42, 42, false},       {1, 1, 100, 100, 42, 42, false},      {3, 32, 0, 0, 0, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("jobs " + std::to_string(c.jobs) + " batch " + std::to_string(c.batch));
        std::vector<std::size_t> seen;
        std::atomic<std::size_t> made = 0;
        bool result = false;
        bool threw = false;
        try {
            result = RunInOrder<std::size_t>(
                c.count, c.jobs,
                [&](int, std::size_t i) {
                    ++made;
                    if (i == c.failAt) throw std::runtime_error("item failed");
                    return i * 3;
                },
                [&](std::size_t i, const std::size_t& value) {
                    EXPECT_EQ(value, i * 3);
                    seen.push_back(i);
                    return i != c.stopAt;
                },
                c.batch);
        } catch (const std::runtime_error&) {
            threw = true;
        }
        EXPECT_EQ(threw, c.failAt < c.count);
        if (!threw) {
            EXPECT_EQ(result, c.result);
        }
        ASSERT_EQ(seen.size(), c.consumed);
        EXPECT_LE(made, c.consumed + static_cast<std::size_t>(c.jobs) * (std::max<std::size_t>(8, 2 * c.batch) + c.batch));
        for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], i);
    }
}

}  // namespace
}  // namespace tavolex
