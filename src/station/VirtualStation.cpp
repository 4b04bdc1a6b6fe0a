// Virtual-time runner; see VirtualStation.h.
#include "station/VirtualStation.h"

#include <algorithm>
#include <array>

namespace morvane::station {

namespace {

// Virtual time at which capture half `k` is complete (1024 frames at 11025 Hz).
std::int64_t HalfDueMs(std::int64_t k) {
    return (k + 1) * static_cast<std::int64_t>(receive::kHalfFrames) * 1000 /
           receive::kCaptureRateHz;
}

}  // namespace

void VirtualStation::CaptureOneBlock() {
    receive::BlockSource* source = station_.CaptureSource();
    ++blocksRead_;
    if (source == nullptr)
        return;
    std::array<std::int16_t, receive::kHalfSamples> frames{};
    if (source->WaitHalf(frames) == receive::ReadStatus::Block) {
        station_.CaptureBlock(frames);
    } else {
        captureEnded_ = true;
    }
}

void VirtualStation::RunUntil(std::int64_t endMs) {
    for (;;) {
        const std::int64_t captureDue = captureEnded_ ? INT64_MAX : HalfDueMs(blocksRead_);
        const std::int64_t next = std::min({keyingDueMs_, captureDue, secondDueMs_});
        if (next > endMs)
            break;
        nowMs_ = next;
        if (next == keyingDueMs_) {
            if (auto period = station_.KeyingTick())
                keyingPeriodMs_ = *period;
            keyingDueMs_ += keyingPeriodMs_;
        } else if (next == captureDue) {
            CaptureOneBlock();
            station_.Pump();
        } else {
            secondDueMs_ += 1000;
            station_.OneSecondTick();
        }
    }
    nowMs_ = endMs;
    station_.Pump();
}

void VirtualStation::AdvanceMs(std::int64_t ms) {
    RunUntil(nowMs_ + ms);
}

bool VirtualStation::RunUntilSent(std::int64_t limitMs) {
    const std::int64_t end = nowMs_ + limitMs;
    // Three idle ticks in a row: the last key-up and the PTT tail are out.
    int idleTicks = 0;
    while (nowMs_ < end) {
        RunUntil(std::min(end, keyingDueMs_));
        idleTicks = station_.Sending() ? 0 : idleTicks + 1;
        if (idleTicks >= 3)
            return true;
    }
    return false;
}

}  // namespace morvane::station
