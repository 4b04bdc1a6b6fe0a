// Latest-value mailbox from the capture thread to the window owner. Only the
// newest value is kept, so nothing grows when no window reads it.
#pragma once

#include <cstdint>
#include <mutex>

namespace morvane::receive {

template <typename T>
class Snapshot {
  public:
    void Publish(const T& value) {
        std::lock_guard lock(mutex_);
        value_ = value;  // copy-assign reuses the stored capacity
        ++version_;
    }

    // Copies the value into `out` when it is newer than `seenVersion`.
    bool ReadIfNewer(T& out, std::uint64_t& seenVersion) const {
        std::lock_guard lock(mutex_);
        if (version_ == seenVersion)
            return false;
        out = value_;
        seenVersion = version_;
        return true;
    }

    T Read() const {
        std::lock_guard lock(mutex_);
        return value_;
    }

    // 0 until the first Publish.
    std::uint64_t Version() const {
        std::lock_guard lock(mutex_);
        return version_;
    }

  private:
    mutable std::mutex mutex_;
    T value_{};
    std::uint64_t version_ = 0;
};

}  // namespace morvane::receive
