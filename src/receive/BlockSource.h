// Where the capture thread gets its audio: a looping 2048-frame ring of
// 16-bit stereo at 11025 Hz whose completed halves (1024 frames, 92.9 ms) are
// handed out one at a time. Sound cards, files and the demo signal all sit
// behind this, so the receive logic never sees a platform library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace morvane::receive {

inline constexpr int kCaptureRateHz = 11025;
inline constexpr std::size_t kRingFrames = 2048;
inline constexpr std::size_t kHalfFrames = 1024;
inline constexpr std::size_t kHalfSamples = 2 * kHalfFrames;  // interleaved left, right

enum class ReadStatus {
    Block,        // a completed half was copied out
    Interrupted,  // Interrupt() was called; nothing copied
    End,          // the source has no more audio (files, finite demo)
    Error         // the device failed; nothing copied
};

class BlockSource {
  public:
    virtual ~BlockSource() = default;

    // Waits for the next completed half of the ring and copies its 1024
    // interleaved stereo frames into `frames`.
    virtual ReadStatus WaitHalf(std::span<std::int16_t, kHalfSamples> frames) = 0;

    // Makes a waiting or the next WaitHalf return Interrupted; any thread.
    virtual void Interrupt() = 0;
};

}  // namespace morvane::receive
