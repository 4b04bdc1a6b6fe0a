// The whole receive path in one object: capture halves → signal chain → element
// timing → character decoder → receive window. The program's capture thread,
// the decode tool and the end-to-end tests all run audio through this same
// composition. Decoded text leaves through a queue of window commands, so the
// window itself can live on another thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "receive/CaptureThread.h"

namespace morvane::receive {

enum class KeyMode { English, Direct, Ime, Kana };

struct ReceivePathOptions {
    int Channel = 0;            // 0 left, 1 right
    bool Japanese = false;      // start decoding kana
    bool AutoLanguage = false;  // switch on the bracket signs
    KeyMode Mode = KeyMode::English;
    bool Katakana = true;            // kana shown as katakana, else hiragana
    std::optional<int> ToneBin;      // 8..44 (bin × 11025 / 512 Hz); follow the peak when empty
    std::optional<int> ThresholdDb;  // mark threshold; automatic when empty
    int NoiseReduction = 2;          // 0 off, 1 or 2
    bool QrmFilterOn = false;
    bool ExtendOn = true;
    std::optional<int> SpeedCpm;  // fixed receive speed; automatic when empty
};

// Tone bin 8..44 nearest to `hz`.
int NearestToneBin(double hz);

class ReceivePath final : public BlockSink {
  public:
    explicit ReceivePath(const ReceivePathOptions& options);
    ~ReceivePath() override;
    ReceivePath(const ReceivePath&) = delete;
    ReceivePath& operator=(const ReceivePath&) = delete;

    // One half of the capture ring (1024 interleaved stereo frames).
    void OnBlock(std::span<const std::int16_t, kHalfSamples> frames, int channel) override;
    // Runs a second of silence through the chain so that a character still
    // being timed at the end of the audio is printed.
    void Flush();

    // The receive window's text so far (applied from the command queue; call
    // on the thread that owns the window, or after capture has stopped).
    std::string Text();
    // Received text without the line labels: what the operator reads.
    std::string ReceivedText();

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
    ReceivePathOptions options_;
};

}  // namespace morvane::receive
