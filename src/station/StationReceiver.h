// The station's receive side: the receive path fed by the capture thread,
// the keying engine's hand-over (reception paused while sending, work block
// cleared and speed measurement restarted afterwards), and the receive
// settings. Settings of the decoder and the timing step are owned by the
// capture thread, so the view thread queues them and the capture thread
// applies them before its next block; the signal chain's settings are atomics.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "common/KeyMode.h"
#include "common/MessageQueue.h"
#include "decode/ReceiveTextOutput.h"
#include "receive/ReceivePath.h"
#include "receive/SignalChain.h"
#include "settings/ApplyTargets.h"
#include "transmit/KeyingHooks.h"

namespace morvane::station {

// The receive settings as the view thread last set them (what they read back as).
struct ReceiveSettings {
    settings::LevelDisplay Level = settings::LevelDisplay::Signal;
    settings::GraphicMode Graphic = settings::GraphicMode::Fft;
    int InputVolume = 6;
    int NoiseReduction = 2;
    bool QrmFilter = false;
    int ThresholdDb = -45;
    settings::ToneCentre Tone{.Mode = settings::ToneCentre::Kind::AutoOff, .Hz = 0};
    bool SpaceDelete = true;
    char Language = 'E';
    char AutoSwitch = 'N';
    bool Extend = true;
    bool AutoThreshold = false;
    bool AutoSpeed = true;
    int SpeedStep = 15;    // receive slider: by hand or moved by the estimates
    bool Katakana = true;  // kana decoded as katakana
};

class StationReceiver final : public receive::BlockSink,
                              public transmit::ReceiveHandOver,
                              public settings::ReceiveOptions {
  public:
    StationReceiver(text::WindowCommandQueue& windows, std::atomic<bool>& receiveEnabled);

    // Capture thread (or the virtual-time runner).
    void OnBlock(std::span<const std::int16_t, receive::kHalfSamples> frames, int channel) override;
    // Applies queued changes without audio (when no capture runs).
    void ApplyQueued();

    void SetChannel(int channel) { channel_.store(channel); }
    int Channel() const { return channel_.load(); }
    receive::SignalChain& Chain() { return path_.Chain(); }

    // transmit::ReceiveHandOver, from the keying thread.
    void SetReceiveEnabled(bool enabled) override { receiveEnabled_.store(enabled); }
    void ResetSpeedMeasurement() override;
    void ResetSendMark() override;
    void ResetElementTiming() override;
    // The F5 key and its tag: the speed measurement restarts and is invalid.
    void ClearSpeedValid();

    // settings::ReceiveOptions, from the view thread.
    void SetLevelDisplay(settings::LevelDisplay mode) override;
    void SetGraphicMode(settings::GraphicMode mode) override;
    void SetInputVolume(int position) override;
    void SetNoiseReduction(int mode) override;
    void SetQrmFilter(bool on) override;
    void SetThresholdDb(int db) override;
    void SetToneCentre(const settings::ToneCentre& centre) override;
    void SetSpaceDelete(bool on) override { settings_.SpaceDelete = on; }
    void SetReceiveLanguage(char language, char autoSwitch) override;
    void SetExtend(bool on) override;
    void SetAutoThreshold(bool on) override;
    void SetAutoReceiveSpeed(bool on) override;
    void ClearReceiveText() override;

    void SetKeyMode(common::KeyMode mode);
    void SetKatakana(bool katakana);
    // Any thread: the path switches between blocks (an atomic it reads).
    void SetDecoder(receive::DecoderKind kind) { path_.SetDecoder(kind); }
    receive::DecoderKind Decoder() const { return path_.DecoderChoice(); }
    void SetSquelch(double level) { path_.SetSquelch(level); }
    double Squelch() const { return path_.Squelch(); }
    const ReceiveSettings& Settings() const { return settings_; }

    // --- receive speed and language, view thread ---
    // The slider moved by hand; returns the label for the new speed.
    std::string SetSpeedStep(int step);
    // A label and slider position to show since the last call: the latest
    // accepted estimate, or the slider's own speed after Auto went off.
    std::optional<std::pair<std::string, int>> TakeSpeedToShow();
    // The language the decoder runs with now (it switches on bracket signs).
    decode::RxLanguage DecoderLanguage();

  private:
    using Change = std::function<void(receive::ReceivePath&)>;
    void Post(Change change) { changes_.Push(std::move(change)); }

    text::WindowCommandQueue& windows_;
    std::atomic<bool>& receiveEnabled_;
    receive::ReceivePath path_;
    common::MessageQueue<Change> changes_;
    std::atomic<int> channel_{1};
    ReceiveSettings settings_;
    std::uint32_t speedSerialShown_ = 0;
    bool speedLabelDue_ = false;
};

}  // namespace morvane::station
