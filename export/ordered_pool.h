#pragma once
// Work of an export spread over threads, its results taken in order: each item is produced on one
// of the workers and consumed on the calling thread in the items' order, so what an export writes,
// and the progress it reports, are the same whatever the number of threads.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tavolex {

// The batch for items that are mostly light: a meeting's pictures, when most meetings have none.
inline constexpr std::size_t kLightBatch = 32;
// The batch for reports: most meetings' reports are small; at most four batches wait in memory.
inline constexpr std::size_t kReportBatch = 16;

// The threads an export uses unless told: the machine's cores, at least one.
[[nodiscard]] inline int DefaultJobs() { return static_cast<int>(std::max(1u, std::thread::hardware_concurrency())); }

// Calls produce(worker, i) for every i below count on `jobs` threads (worker from 0 to jobs - 1,
// so each worker can keep objects of its own), and consume(i, result) on the calling thread for
// i = 0, 1, 2... in order. When consume returns false no later item is consumed, the workers stop
// after the item they hold, and the result is false. With one job everything runs on the calling
// thread. A result waits at most a few items per worker for its turn, so memory stays bounded. An
// exception thrown by produce is thrown again on the calling thread, after the workers stopped.
// A worker takes `batch` neighbouring items at a time and hands their results over together: for
// light items (most meetings have no picture) the threads then meet once per batch, not per item.
template <class Result, class Produce, class Consume>
bool RunInOrder(std::size_t count, int jobs, Produce&& produce, Consume&& consume, std::size_t batch = 1) {
    if (jobs <= 1 || count <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            Result result = produce(0, i);
            if (!consume(i, result)) return false;
        }
        return true;
    }
    struct Slot {
        std::optional<Result> result;
        std::exception_ptr error;
    };
    batch = std::max<std::size_t>(batch, 1);
    // Each worker may be a few items, or two batches, ahead of the calling thread.
    const std::size_t window = static_cast<std::size_t>(jobs) * std::max<std::size_t>(8, 2 * batch);
    std::mutex mutex;
    std::condition_variable ready;  // a result came in
    std::condition_variable room;   // the window moved on, or the pool stops
    std::vector<Slot> slots(window);
    std::size_t next = 0;      // the next item handed out
    std::size_t consumed = 0;  // the items taken by the calling thread
    bool stop = false;

    auto work = [&](int worker) {
        for (;;) {
            std::size_t first = 0;
            std::size_t end = 0;
            {
                std::unique_lock lock(mutex);
                room.wait(lock, [&] { return stop || next >= count || next + batch <= consumed + window; });
                if (stop || next >= count) return;
                first = next;
                end = std::min(count, next + batch);
                next = end;
            }
            std::vector<Slot> made(end - first);
            for (std::size_t i = first; i < end; ++i) {
                Slot& slot = made[i - first];
                try {
                    slot.result.emplace(produce(worker, i));
                } catch (...) {
                    slot.error = std::current_exception();
                    made.resize(i - first + 1);  // an error ends the batch: nothing after it is consumed
                    break;
                }
            }
            {
                std::lock_guard lock(mutex);
                for (std::size_t k = 0; k < made.size(); ++k) slots[(first + k) % window] = std::move(made[k]);
            }
            ready.notify_one();
        }
    };

    std::vector<std::thread> threads;
    std::exception_ptr error;
    bool ok = true;
    try {
        for (int w = 0; w < jobs; ++w) threads.emplace_back(work, w);
        for (std::size_t i = 0; i < count && ok; ++i) {
            Slot slot;
            {
                std::unique_lock lock(mutex);
                ready.wait(lock, [&] { return slots[i % window].result || slots[i % window].error; });
                slot = std::move(slots[i % window]);
                slots[i % window] = Slot{};
                consumed = i + 1;
            }
            room.notify_all();
            if (slot.error) std::rethrow_exception(slot.error);
            ok = consume(i, *slot.result);
        }
    } catch (...) {
        error = std::current_exception();
    }
    {
        std::lock_guard lock(mutex);
        stop = true;
    }
    room.notify_all();
    for (std::thread& t : threads) t.join();
    if (error) std::rethrow_exception(error);
    return ok;
}

}  // namespace tavolex
