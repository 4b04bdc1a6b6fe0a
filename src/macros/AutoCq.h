// Auto CQ's counters: the keying engine lowers the characters left of the
// current repetition (keying thread); the one-second timer counts the pause
// and decides the next repetition (user-interface thread). Every counter is
// atomic because the two threads share them without a lock.
#pragma once

#include <atomic>
#include <string_view>

namespace morvane::macros {

class AutoCq {
  public:
    // "IIRR": interval in seconds (1 to 30) and repetitions (1 to 7).
    void SetTimes(std::string_view times);
    int Interval() const { return interval_.load(); }
    int Repeat() const { return repeat_.load(); }

    // User-interface thread.
    void Begin(int expandedLength);  // first repetition appended
    // The next repetition was appended: its characters count, the pause ends.
    void NextRepetition(int expandedLength);
    void Stop();  // running and waiting cleared
    enum class Tick { Nothing, SendAgain, Ended };
    Tick OnSecondTick();

    // Keying thread (the engine's counter interface).
    bool Running() const { return running_.load(); }
    bool Waiting() const { return waiting_.load(); }
    int CountDown(int characters) { return remaining_.fetch_sub(characters) - characters; }
    int Remaining() const { return remaining_.load(); }
    // The repetition is used up: wait the interval unless it was the last.
    void MarkFinished();

    int Left() const { return left_.load(); }
    int Wait() const { return wait_.load(); }

  private:
    std::atomic<int> interval_{7};
    std::atomic<int> repeat_{5};
    std::atomic<bool> running_{false};
    std::atomic<bool> waiting_{false};
    std::atomic<int> remaining_{0};
    std::atomic<int> wait_{0};
    std::atomic<int> left_{0};
};

}  // namespace morvane::macros
