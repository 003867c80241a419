#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>

namespace quotaplan {

// One thread kept for a caller's whole run, doing the computations handed to it in turn, so
// that the caller can go on with work of its own (reading the archive) meanwhile instead of
// starting a thread for each. Destroying it finishes what was handed over, then joins.
class SideThread {
public:
    SideThread() : thread_([this] { Serve(); }) {}
    ~SideThread() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        ready_.notify_one();
        thread_.join();
    }
    SideThread(const SideThread&) = delete;
    SideThread& operator=(const SideThread&) = delete;

    // Runs `work` on the side thread; its result, or what it threw, comes from the future.
    template <typename Work>
    std::future<std::invoke_result_t<Work>> Run(Work work) {
        auto task = std::make_shared<std::packaged_task<std::invoke_result_t<Work>()>>(
            std::move(work));
        auto result = task->get_future();
        {
            std::lock_guard lock(mutex_);
            queue_.emplace_back([task] { (*task)(); });
        }
        ready_.notify_one();
        return result;
    }

private:
    void Serve() {
        std::unique_lock lock(mutex_);
        for (;;) {
            ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            auto next = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            next();
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> queue_;
    bool stopping_ = false;
    std::thread thread_;  // last: it starts once the members it uses are made
};

}  // namespace quotaplan
