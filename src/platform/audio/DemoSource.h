// The demo contact as a capture source. Paced, each half is handed out when
// its 92.9 ms would have been recorded (for the program); unpaced, at once
// (tests and tools). Optionally ends after a given length.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>

#include "platform/audio/AudioSource.h"
#include "synth/DemoContact.h"

namespace morvane::platform::audio {

struct DemoOptions {
    bool Paced = true;
    std::optional<double> LengthS;  // end after this many seconds; endless when empty
    std::uint64_t Seed = 1;
};

class DemoSource final : public AudioSource {
  public:
    // How far behind its pace a paced reader may fall and still catch up.
    static constexpr std::chrono::milliseconds kMostLate{200};

    explicit DemoSource(DemoOptions options = {});

    std::vector<AudioDevice> ListDevices() override;
    std::optional<std::string> Open(const std::optional<std::string>& deviceId) override;
    void Stop() override;
    receive::ReadStatus WaitHalf(std::span<std::int16_t, receive::kHalfSamples> frames) override;
    void Interrupt() override;

  private:
    DemoOptions options_;
    synth::DemoStream stream_;
    std::int64_t halves_ = 0;
    std::chrono::steady_clock::time_point start_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool interrupted_ = false;  // guarded by mutex_
    std::atomic<bool> open_{false};
};

}  // namespace morvane::platform::audio
