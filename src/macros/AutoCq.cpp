// Auto CQ counters; see AutoCq.h.
#include "macros/AutoCq.h"

#include "macros/MacroDialogs.h"

namespace morvane::macros {

void AutoCq::SetTimes(std::string_view times) {
    AutoCqSpinners spinners = SpinnersFromTimes(times);
    interval_.store(spinners.Interval);
    repeat_.store(spinners.Repeat);
}

void AutoCq::Begin(int expandedLength) {
    waiting_.store(false);
    remaining_.store(expandedLength);
    left_.store(repeat_.load());
    running_.store(true);
}

void AutoCq::NextRepetition(int expandedLength) {
    // The count first, so the engine never sees a finished pause with the old count.
    remaining_.store(expandedLength);
    waiting_.store(false);
}

void AutoCq::Stop() {
    running_.store(false);
    waiting_.store(false);
}

void AutoCq::MarkFinished() {
    wait_.store(left_.load() >= 2 ? interval_.load() : 0);
    waiting_.store(true);
}

AutoCq::Tick AutoCq::OnSecondTick() {
    if (!running_.load() || !waiting_.load()) {
        return Tick::Nothing;
    }
    if (wait_.fetch_sub(1) - 1 >= 1) {
        return Tick::Nothing;
    }
    int left = left_.fetch_sub(1) - 1;
    if (left >= 1) {
        return Tick::SendAgain;  // waiting ends in NextRepetition
    }
    waiting_.store(false);
    wait_.store(0);
    running_.store(false);
    return Tick::Ended;
}

}  // namespace morvane::macros
