#include "qso/Clock.h"

#include <chrono>
#include <thread>

namespace morvane::qso {

void ThreadSleeper::SleepMs(int milliseconds) const {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace morvane::qso
