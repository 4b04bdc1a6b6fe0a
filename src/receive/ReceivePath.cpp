#include "receive/ReceivePath.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "decode/CharacterDecoder.h"
#include "decode/ElementTiming.h"
#include "decode/MonitorWindow.h"
#include "decode/ReceiveTextOutput.h"
#include "decode/ReceiveWindow.h"
#include "decode/WindowCommand.h"
#include "receive/SignalChain.h"

namespace morvane::receive {

int NearestToneBin(double hz) {
    const long bin = std::lround(hz * 512.0 / kCaptureRateHz);
    return static_cast<int>(std::clamp<long>(bin, kMinToneBin, kMaxToneBin));
}

// Declared in the order the audio flows through them; each refers to the next.
struct ReceivePath::Parts {
    decode::WindowCommandQueue Queue;
    decode::QueuedReceiveOutput Output{Queue};
    decode::CharacterDecoder Decoder{Output};
    decode::ElementTiming Timing{Decoder};
    SignalChain Chain{Timing};
    // Owned by whoever reads the text; filled from Queue.
    decode::ReceiveWindow Window;
    decode::MonitorWindow Monitor;
};

ReceivePath::ReceivePath(const ReceivePathOptions& options)
    : parts_(std::make_unique<Parts>()), options_(options) {
    auto& chain = parts_->Chain.Options();
    chain.InputChannel = options.Channel;
    chain.ToneAuto = !options.ToneBin.has_value();
    if (options.ToneBin)
        chain.ToneBin = std::clamp(*options.ToneBin, kMinToneBin, kMaxToneBin);
    chain.ThresholdAuto = !options.ThresholdDb.has_value();
    if (options.ThresholdDb)
        chain.Threshold = *options.ThresholdDb;
    chain.Nr1On = options.NoiseReduction == 1;
    chain.Nr2On = options.NoiseReduction == 2;
    chain.QrmFilterOn = options.QrmFilterOn;

    auto& decoder = parts_->Decoder;
    decoder.SetTxInputMode(static_cast<int>(options.Mode));
    decoder.SetKatakanaDisplay(options.Katakana);
    decoder.SetRxLanguage(options.Japanese ? decode::RxLanguage::Japanese
                                           : decode::RxLanguage::English);
    decoder.SetAutoLanguage(options.AutoLanguage);
    decoder.SetExtendOn(options.ExtendOn);

    // Speed step k is 25 + 5k characters per minute.
    if (options.SpeedCpm)
        parts_->Timing.SetRxSpeedAuto(
            false, static_cast<int>(std::lround((*options.SpeedCpm - 25) / 5.0)));
}

ReceivePath::~ReceivePath() = default;

void ReceivePath::OnBlock(std::span<const std::int16_t, kHalfSamples> frames, int channel) {
    parts_->Chain.Options().InputChannel = channel;
    parts_->Chain.ReadBlock(frames);
    parts_->Chain.ProcessBlock();
}

void ReceivePath::Flush() {
    const std::array<std::int16_t, kHalfSamples> silence{};
    for (int i = 0; i < 22; ++i)
        OnBlock(silence, options_.Channel);
}

std::string ReceivePath::Text() {
    decode::DrainInto(parts_->Queue, parts_->Window, parts_->Monitor);
    return parts_->Window.Window().Text();
}

std::string ReceivePath::ReceivedText() {
    std::string text = Text();
    for (std::size_t at; (at = text.find("RX> ")) != std::string::npos;)
        text.erase(at, 4);
    return text;
}

}  // namespace morvane::receive
