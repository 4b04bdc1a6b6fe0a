// The sound card through PortAudio: a 2-channel 16-bit 11025 Hz input stream
// whose callback writes a 2048-frame ring; WaitHalf wakes when a half is
// complete and copies the half that is not being written, so a late reader
// still gets whole halves (a reader more than a half late loses one).
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "platform/audio/AudioSource.h"

namespace morvane::platform::audio {

class PortAudioSource final : public AudioSource {
  public:
    PortAudioSource();
    ~PortAudioSource() override;
    PortAudioSource(const PortAudioSource&) = delete;
    PortAudioSource& operator=(const PortAudioSource&) = delete;

    // Input devices; the Id is the device's name as PortAudio reports it.
    std::vector<AudioDevice> ListDevices() override;
    std::optional<std::string> Open(const std::optional<std::string>& deviceId) override;
    void Stop() override;
    receive::ReadStatus WaitHalf(std::span<std::int16_t, receive::kHalfSamples> frames) override;
    void Interrupt() override;

    // Called on PortAudio's audio thread with `count` frames of the opened channel count.
    void OnInput(const std::int16_t* samples, unsigned long count);

  private:
    bool initialised_ = false;
    void* stream_ = nullptr;  // PaStream
    int channels_ = 2;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::array<std::int16_t, 2 * receive::kRingFrames> ring_{};
    std::size_t writeFrame_ = 0;    // next frame written in the ring
    std::uint64_t halvesDone_ = 0;  // completed halves so far
    std::uint64_t halvesRead_ = 0;
    bool interrupted_ = false;
    bool failed_ = false;
};

}  // namespace morvane::platform::audio
