// A recording as a capture source: WAV, FLAC or OGG at any rate and channel
// count, converted while streaming to 11025 Hz stereo (mono is copied to both
// channels, extra channels are dropped). A file already at 11025 Hz is not
// resampled: the chain sees its samples exactly as a sound card would have
// delivered them (the converter's low-pass would change noisy recordings).
// Memory stays fixed however long the file is. Unpaced: each WaitHalf
// returns the next half at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/audio/AudioSource.h"

namespace morvane::platform::audio {

class FileSource final : public AudioSource {
  public:
    explicit FileSource(std::string path);
    ~FileSource() override;

    std::vector<AudioDevice> ListDevices() override;
    // The device id is ignored; the message names the file and the problem.
    std::optional<std::string> Open(const std::optional<std::string>& deviceId) override;
    void Stop() override;

    receive::ReadStatus WaitHalf(std::span<std::int16_t, receive::kHalfSamples> frames) override;
    void Interrupt() override;

    // Frames of the file's own rate and channel count, and their length at 11025 Hz.
    int FileRateHz() const { return fileRateHz_; }
    int FileChannels() const { return fileChannels_; }
    std::int64_t FileFrames() const { return fileFrames_; }
    std::int64_t OutputFrames() const;
    // The last half, padded with silence, is followed by End.
    std::int64_t FramesDelivered() const { return delivered_; }

  private:
    bool Refill();
    receive::ReadStatus ReadDirect(std::span<std::int16_t, receive::kHalfSamples> frames);

    struct Handles;
    std::string path_;
    std::unique_ptr<Handles> handles_;
    int fileRateHz_ = 0;
    int fileChannels_ = 0;
    std::int64_t fileFrames_ = 0;
    std::vector<float> input_;   // stereo frames read from the file, not yet converted
    std::size_t inputUsed_ = 0;  // frames of input_ already consumed by the converter
    std::vector<float> output_;  // converted stereo frames at 11025 Hz
    std::size_t outputUsed_ = 0;
    bool resampled_ = true;  // false: the file is at the capture rate
    bool fileEnded_ = false;
    bool converterDone_ = false;
    std::atomic<bool> interrupted_{false};
    std::int64_t delivered_ = 0;
};

}  // namespace morvane::platform::audio
