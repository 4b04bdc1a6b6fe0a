// The whole receive path in one object: capture halves → signal chain → element
// timing → character decoder → receive window. The program's capture thread,
// the decode tool and the end-to-end tests all run audio through this same
// composition. The weak-signal decoder can stand in for the signal chain and
// element timing; both hand characters to the same character decoder. Decoded text leaves through a
// queue of window commands, so the window itself can live on another thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/KeyMode.h"
#include "receive/CaptureThread.h"
#include "text/WindowCommand.h"

namespace morvane::decode {
class CharacterDecoder;
class ElementTiming;
}  // namespace morvane::decode

namespace morvane::receive {

using common::KeyMode;

// Which decoder turns the audio into characters: the standard chain, or the
// weak-signal decoder (soft decisions, characters carry a confidence).
enum class DecoderKind { Standard, Weak };

// A piece of received text and the confidence (0..1) of the character it
// came from; the standard decoder's characters count as certain.
struct ConfidentText {
    std::string Text;
    float Confidence = 1.0f;
};

// An accepted speed estimate as the capture thread last published it.
struct SpeedReading {
    std::uint32_t Serial = 0;  // 0 before the first estimate; one more for each
    int CharsPerMinute = 0;
    int Step = 0;  // receive slider position 0..31
    bool operator==(const SpeedReading&) const = default;
};

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
    DecoderKind Decoder = DecoderKind::Standard;
    double Squelch = 0.1;         // weak decoder: characters under this confidence are dropped
    bool TextPrior = true;        // weak decoder: weigh readings by what amateur text says
    bool KeepConfidence = false;  // keep a ConfidentText log (tools)
};

// Tone bin 8..44 nearest to `hz`.
int NearestToneBin(double hz);

class SignalChain;

class ReceivePath final : public BlockSink {
  public:
    // Text is kept in a receive window of its own (tools and tests).
    explicit ReceivePath(const ReceivePathOptions& options);
    // Text goes to `windowQueue`, drained by the thread that owns the receive
    // window; Text() then stays empty. The queue must outlive the path.
    ReceivePath(const ReceivePathOptions& options, text::WindowCommandQueue& windowQueue);
    ~ReceivePath() override;
    ReceivePath(const ReceivePath&) = delete;
    ReceivePath& operator=(const ReceivePath&) = delete;

    // One half of the capture ring (1024 interleaved stereo frames).
    void OnBlock(std::span<const std::int16_t, kHalfSamples> frames, int channel) override;
    // Interleaved stereo frames of a recording, half by half; a part half at
    // the end is left out.
    void OnRecording(std::span<const std::int16_t> frames, int channel);
    // Runs two seconds of silence through the chain so that a character
    // still being timed at the end of the audio is printed.
    void Flush();

    // Any thread: the decoder used from the next block on. Switching to the
    // weak decoder starts it cold.
    void SetDecoder(DecoderKind kind) { decoder_ = kind; }
    DecoderKind DecoderChoice() const { return decoder_; }
    // Any thread: the weak decoder's squelch (0..1, clamped).
    void SetSquelch(double level);
    double Squelch() const { return squelch_; }

    // The parts, for the controls of the program (their settings are atomics
    // meant to be changed from the user-interface thread).
    SignalChain& Chain();
    decode::ElementTiming& Timing();
    decode::CharacterDecoder& Decoder();

    // The receive window's text so far (applied from the command queue; call
    // on the thread that owns the window, or after capture has stopped).
    std::string Text();
    // Received text without the line labels: what the operator reads.
    std::string ReceivedText();
    // Any thread: the latest accepted speed estimate of the standard decoder.
    SpeedReading LatestSpeed() const;
    // With KeepConfidence: every piece of received text with its confidence.
    const std::vector<ConfidentText>& ConfidenceLog() const;

  private:
    ReceivePath(const ReceivePathOptions& options, text::WindowCommandQueue* windowQueue);
    void ShowWeakSpeed();  // capture thread

    struct Parts;
    std::unique_ptr<Parts> parts_;
    ReceivePathOptions options_;
    std::atomic<DecoderKind> decoder_{DecoderKind::Standard};
    std::atomic<double> squelch_{0.0};
    DecoderKind running_ = DecoderKind::Standard;  // capture thread
    int weakCpmShown_ = 0;                         // capture thread
};

}  // namespace morvane::receive
