#include "platform/audio/DemoSource.h"

namespace morvane::platform::audio {

DemoSource::DemoSource(DemoOptions options) : options_(options), stream_(options.Seed) {}

std::vector<AudioDevice> DemoSource::ListDevices() {
    return {{"Demo contact", "demo"}};
}

std::optional<std::string> DemoSource::Open(const std::optional<std::string>&) {
    stream_ = synth::DemoStream(options_.Seed);
    halves_ = 0;
    start_ = std::chrono::steady_clock::now();
    {
        std::lock_guard lock(mutex_);
        interrupted_ = false;
    }
    open_ = true;
    return std::nullopt;
}

void DemoSource::Stop() {
    open_ = false;
    Interrupt();
}

receive::ReadStatus DemoSource::WaitHalf(std::span<std::int16_t, receive::kHalfSamples> frames) {
    if (!open_)
        return receive::ReadStatus::End;
    if (options_.LengthS && static_cast<double>(halves_ * receive::kHalfFrames) >=
                                *options_.LengthS * receive::kCaptureRateHz)
        return receive::ReadStatus::End;
    if (options_.Paced) {
        auto due = start_ + std::chrono::microseconds((halves_ + 1) * receive::kHalfFrames *
                                                      1000000 / receive::kCaptureRateHz);
        // A reader held up for longer than a sound card buffers (the process
        // stopped, the machine busy) loses that audio as with a card, rather
        // than getting seconds of halves in one burst: the pace restarts now.
        const auto now = std::chrono::steady_clock::now();
        if (now - due > kMostLate) {
            start_ += now - due;
            due = now;
        }
        std::unique_lock lock(mutex_);
        wake_.wait_until(lock, due, [this] { return interrupted_; });
        if (interrupted_) {
            interrupted_ = false;
            return receive::ReadStatus::Interrupted;
        }
    } else {
        std::lock_guard lock(mutex_);
        if (interrupted_) {
            interrupted_ = false;
            return receive::ReadStatus::Interrupted;
        }
    }
    stream_.Render(frames);
    ++halves_;
    return receive::ReadStatus::Block;
}

void DemoSource::Interrupt() {
    {
        std::lock_guard lock(mutex_);
        interrupted_ = true;
    }
    wake_.notify_all();
}

}  // namespace morvane::platform::audio
