#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace quotaplan {

// Runs `work` on the items that `next` hands out, on `jobs` threads, and gives each result
// to `emit` in the order the items came, on the calling thread. At most `window` items are
// read ahead of the oldest result not yet emitted, so memory stays bounded whatever the
// number of items. `next` returns nullopt at the end; `emit` returns false to stop: no
// further item is read, the items already started are finished and dropped. `work` runs
// on the pool's threads and must not throw; `next` and `emit` run on the calling thread.
// Returns the number of results emitted.
template <typename Item, typename Result>
std::size_t RunInOrder(int jobs, std::size_t window,
                       const std::function<std::optional<Item>()>& next,
                       const std::function<Result(Item&)>& work,
                       const std::function<bool(Result&)>& emit) {
    struct Slot {
        std::optional<Item> item;  // emptied when a worker takes it
        std::optional<Result> result;
    };
    std::mutex mutex;
    std::condition_variable workReady;
    std::condition_variable resultReady;
    std::deque<Slot> slots;       // the items in flight, oldest first
    std::size_t firstSlot = 0;    // the sequence number of slots.front()
    std::size_t nextToStart = 0;  // the sequence number of the next item for a worker
    bool stopping = false;

    const auto worker = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            workReady.wait(lock,
                           [&] { return stopping || nextToStart < firstSlot + slots.size(); });
            if (nextToStart >= firstSlot + slots.size()) return;  // stopping, nothing left
            const std::size_t sequence = nextToStart++;
            Item item = std::move(*slots[sequence - firstSlot].item);
            slots[sequence - firstSlot].item.reset();
            lock.unlock();
            Result result = work(item);
            lock.lock();
            // The slot may be gone when the caller stopped; its result is then dropped.
            if (sequence >= firstSlot) {
                slots[sequence - firstSlot].result = std::move(result);
                if (sequence == firstSlot) resultReady.notify_one();
            }
        }
    };
    std::vector<std::thread> threads;
    const int workers = std::max(1, jobs);
    threads.reserve(static_cast<std::size_t>(workers));
    for (int k = 0; k < workers; ++k) threads.emplace_back(worker);

    std::size_t emitted = 0;
    bool inputLeft = true;
    bool going = true;
    window = std::max<std::size_t>(window, 1);
    while (going) {
        // Read ahead up to the window, outside the lock: `next` may block on its input.
        while (inputLeft) {
            {
                std::lock_guard lock(mutex);
                if (slots.size() >= window) break;
            }
            std::optional<Item> item = next();
            if (!item) {
                inputLeft = false;
                break;
            }
            {
                std::lock_guard lock(mutex);
                slots.push_back(Slot{std::move(item), std::nullopt});
            }
            workReady.notify_one();
        }
        std::optional<Result> result;
        {
            std::unique_lock lock(mutex);
            if (slots.empty()) break;
            resultReady.wait(lock, [&] { return slots.front().result.has_value(); });
            result = std::move(slots.front().result);
            slots.pop_front();
            ++firstSlot;
        }
        ++emitted;
        going = emit(*result);
    }
    {
        std::lock_guard lock(mutex);
        stopping = true;
        // Items not yet started are dropped; those running finish into nothing.
        firstSlot += slots.size();
        nextToStart = std::max(nextToStart, firstSlot);
        slots.clear();
    }
    workReady.notify_all();
    for (std::thread& thread : threads) thread.join();
    return emitted;
}

}  // namespace quotaplan
