// The sound card through PortAudio: a 2-channel 16-bit 11025 Hz input stream
// whose callback writes a 2048-frame ring; WaitHalf wakes when a half is
// complete and copies the half that is not being written, so a late reader
// still gets whole halves (a reader more than a half late loses one).
//
// A device that goes away (unplugged, sound server gone) is noticed two
// ways: PortAudio ends the stream (finished callback), or no audio arrives
// for kLostAfterBlocks block times. WaitHalf then returns Error, and keeps
// doing so until the source is opened again.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/audio/AudioSource.h"

namespace morvane::platform::audio {

// A running stream that delivers nothing for this many block times (about
// 0.56 s) is taken as lost. The wait is bounded on purpose: a sound server
// that stops answering must not stall the capture thread for good.
inline constexpr int kLostAfterBlocks = 6;
// Before the first audio of a freshly opened stream: sound servers can take
// over a second to start a stream on a loaded machine.
inline constexpr std::chrono::milliseconds kFirstAudioWithin{4000};
// Stop waits this long for the stream to close. A frozen sound server holds
// a close for a minute; such a stream is left to close in the background.
inline constexpr std::chrono::milliseconds kCloseWithin{1000};

class PortAudioSource final : public AudioSource {
  public:
    PortAudioSource();
    ~PortAudioSource() override;
    PortAudioSource(const PortAudioSource&) = delete;
    PortAudioSource& operator=(const PortAudioSource&) = delete;

    // Input devices, at most kMaxIdentifiedDevices; the Id is the device's
    // name as PortAudio reports it. Read afresh while no stream is open, so a
    // replugged interface shows up.
    std::vector<AudioDevice> ListDevices() override;
    std::optional<std::string> Open(const std::optional<std::string>& deviceId) override;
    void Stop() override;
    receive::ReadStatus WaitHalf(std::span<std::int16_t, receive::kHalfSamples> frames) override;
    void Interrupt() override;

    // PortAudio started; without it nothing can be listed or opened.
    bool Initialised() const { return initialised_; }

    // Called on PortAudio's audio thread with `count` frames of the opened channel count.
    void OnInput(const std::int16_t* samples, unsigned long count);
    // PortAudio's audio thread: the stream ended without Stop (device lost).
    void OnStreamFinished();

    struct StreamLink;

  private:
    void Reinitialise();
    void CloseStream();

    bool initialised_ = false;
    bool freshList_ = false;  // initialised and not yet listed
    void* stream_ = nullptr;  // PaStream
    // What the stream's callbacks reach this source through; it can outlive
    // the source while the stream closes in the background.
    std::unique_ptr<StreamLink> link_;
    // Streams still closing in the background; PortAudio must stay up for them.
    std::shared_ptr<std::atomic<int>> pendingCloses_ = std::make_shared<std::atomic<int>>(0);
    int channels_ = 2;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::array<std::int16_t, 2 * receive::kRingFrames> ring_{};
    std::size_t writeFrame_ = 0;    // next frame written in the ring
    std::uint64_t halvesDone_ = 0;  // completed halves so far
    std::uint64_t halvesRead_ = 0;
    std::uint64_t framesIn_ = 0;  // frames received since Open
    bool interrupted_ = false;
    bool failed_ = false;
};

}  // namespace morvane::platform::audio
