// A small multi-producer queue for values that one thread hands to another
// (decoded text to the window's owner, commands to a worker). Producers never
// wait for the consumer beyond the short lock of a push.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace morvane::common {

template <typename T>
class MessageQueue {
  public:
    void Push(T value) {
        {
            std::lock_guard lock(mutex_);
            items_.push_back(std::move(value));
        }
        ready_.notify_one();
    }

    std::optional<T> TryPop() {
        std::lock_guard lock(mutex_);
        if (items_.empty())
            return std::nullopt;
        T value = std::move(items_.front());
        items_.pop_front();
        return value;
    }

    // Waits up to `timeout` for one value.
    template <typename Rep, typename Period>
    std::optional<T> PopFor(std::chrono::duration<Rep, Period> timeout) {
        std::unique_lock lock(mutex_);
        if (!ready_.wait_for(lock, timeout, [this] { return !items_.empty(); }))
            return std::nullopt;
        T value = std::move(items_.front());
        items_.pop_front();
        return value;
    }

    // Takes everything queued so far, oldest first.
    std::vector<T> Drain() {
        std::lock_guard lock(mutex_);
        std::vector<T> all(std::make_move_iterator(items_.begin()),
                           std::make_move_iterator(items_.end()));
        items_.clear();
        return all;
    }

    bool Empty() const {
        std::lock_guard lock(mutex_);
        return items_.empty();
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<T> items_;
};

}  // namespace morvane::common
