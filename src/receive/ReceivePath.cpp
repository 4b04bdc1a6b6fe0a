#include "receive/ReceivePath.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "decode/CharacterDecoder.h"
#include "decode/ElementTiming.h"
#include "decode/ReceiveTextOutput.h"
#include "receive/SignalChain.h"
#include "receive/weak/WeakDecoder.h"
#include "text/MonitorWindow.h"
#include "text/ReceiveWindow.h"
#include "text/WindowCommand.h"

namespace morvane::receive {

int NearestToneBin(double hz) {
    const long bin = std::lround(hz * 512.0 / kCaptureRateHz);
    return static_cast<int>(std::clamp<long>(bin, kMinToneBin, kMaxToneBin));
}

namespace {

// Passes received text on and, when asked, keeps each piece with the
// confidence the weak decoder gave its character.
class ConfidenceTap final : public decode::ReceiveTextOutput, public weak::ConfidenceListener {
  public:
    ConfidenceTap(decode::ReceiveTextOutput& next, bool keep) : next_(next), keep_(keep) {}

    void AppendReceived(std::string_view text) override {
        if (keep_)
            Log.push_back(ConfidentText{std::string(text), confidence_});
        if (rated_)
            next_.AppendRatedReceived(text, confidence_);
        else
            next_.AppendReceived(text);
    }
    void AppendWordSpace() override {
        if (keep_)
            Log.push_back(ConfidentText{" ", 1.0f});
        next_.AppendWordSpace();
    }
    void LanguageSwitched(decode::RxLanguage language) override {
        next_.LanguageSwitched(language);
    }
    void NextConfidence(float confidence) override { confidence_ = confidence; }
    // Whether the running decoder rates its characters (the weak one does).
    void SetRated(bool rated) {
        rated_ = rated;
        confidence_ = 1.0f;
    }

    std::vector<ConfidentText> Log;

  private:
    decode::ReceiveTextOutput& next_;
    bool keep_;
    bool rated_ = false;
    float confidence_ = 1.0f;
};

// Publishes each accepted estimate as one word, so a reader on another
// thread never sees a speed with the step of another estimate.
class SpeedBoard final : public decode::SpeedDisplay {
  public:
    void ShowReceiveSpeed(int charsPerMinute, int rxSpeedIndex) override {
        const std::uint64_t serial = (word_.load(std::memory_order_relaxed) >> 32) + 1;
        word_.store(serial << 32 | static_cast<std::uint64_t>(charsPerMinute & 0xffff) << 8 |
                        static_cast<std::uint64_t>(rxSpeedIndex & 0xff),
                    std::memory_order_release);
    }
    SpeedReading Latest() const {
        const std::uint64_t word = word_.load(std::memory_order_acquire);
        return {.Serial = static_cast<std::uint32_t>(word >> 32),
                .CharsPerMinute = static_cast<int>(word >> 8 & 0xffff),
                .Step = static_cast<int>(word & 0xff)};
    }

  private:
    std::atomic<std::uint64_t> word_{0};
};

}  // namespace

// Declared in the order the audio flows through them; each refers to the next.
struct ReceivePath::Parts {
    Parts(text::WindowCommandQueue* external, bool keepConfidence)
        : Queue(external != nullptr ? *external : OwnQueue), Tap(Output, keepConfidence) {}
    text::WindowCommandQueue OwnQueue;
    text::WindowCommandQueue& Queue;
    decode::QueuedReceiveOutput Output{Queue};
    ConfidenceTap Tap;
    decode::CharacterDecoder Decoder{Tap};
    SpeedBoard Speed;
    decode::ElementTiming Timing{Decoder, &Speed};
    SignalChain Chain{Timing};
    weak::WeakDecoder Weak{Decoder, &Tap};
    std::array<float, kHalfFrames> Mono{};
    // Owned by whoever reads the text; filled from Queue.
    text::ReceiveWindow Window;
    text::MonitorWindow Monitor;
};

ReceivePath::ReceivePath(const ReceivePathOptions& options) : ReceivePath(options, nullptr) {}

ReceivePath::ReceivePath(const ReceivePathOptions& options, text::WindowCommandQueue& windowQueue)
    : ReceivePath(options, &windowQueue) {}

ReceivePath::ReceivePath(const ReceivePathOptions& options, text::WindowCommandQueue* windowQueue)
    : parts_(std::make_unique<Parts>(windowQueue, options.KeepConfidence)), options_(options) {
    decoder_ = options.Decoder;
    running_ = options.Decoder;
    parts_->Tap.SetRated(options.Decoder == DecoderKind::Weak);
    SetSquelch(options.Squelch);
    parts_->Weak.SetTextPrior(options.TextPrior);
    if (options.ToneBin)
        parts_->Weak.SetToneHz(*options.ToneBin * static_cast<double>(kCaptureRateHz) / 512.0);
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

SignalChain& ReceivePath::Chain() {
    return parts_->Chain;
}
decode::ElementTiming& ReceivePath::Timing() {
    return parts_->Timing;
}
decode::CharacterDecoder& ReceivePath::Decoder() {
    return parts_->Decoder;
}

void ReceivePath::SetSquelch(double level) {
    squelch_ = std::clamp(level, 0.0, 1.0);
    parts_->Weak.SetSquelch(squelch_);
}

SpeedReading ReceivePath::LatestSpeed() const {
    return parts_->Speed.Latest();
}

const std::vector<ConfidentText>& ReceivePath::ConfidenceLog() const {
    return parts_->Tap.Log;
}

void ReceivePath::OnBlock(std::span<const std::int16_t, kHalfSamples> frames, int channel) {
    const DecoderKind wanted = decoder_;
    if (wanted != running_) {
        running_ = wanted;
        if (wanted == DecoderKind::Weak)
            parts_->Weak.Reset();
        parts_->Tap.SetRated(wanted == DecoderKind::Weak);
    }
    if (running_ == DecoderKind::Weak) {
        const int c = std::clamp(channel, 0, 1);
        for (std::size_t i = 0; i < kHalfFrames; ++i)
            parts_->Mono[i] = frames[2 * i + static_cast<std::size_t>(c)];
        parts_->Weak.Process(parts_->Mono);
        ShowWeakSpeed();
        return;
    }
    parts_->Chain.Options().InputChannel = channel;
    parts_->Chain.ReadBlock(frames);
    parts_->Chain.ProcessBlock();
}

// The weak decoder's speed goes to the same display as the standard
// estimate, on the same scale, while it hears a signal.
void ReceivePath::ShowWeakSpeed() {
    if (!parts_->Weak.SignalPresent() || parts_->Weak.DotMs() <= 0.0)
        return;
    // A dot of 6000 / S ms is S characters per minute.
    const int cpm = static_cast<int>(std::lround(6000.0 / parts_->Weak.DotMs()));
    if (cpm <= 20 || cpm >= 181 || cpm == weakCpmShown_)
        return;
    weakCpmShown_ = cpm;
    int step = decode::kSpeedSteps - 1;
    for (int i = 0; i < decode::kSpeedSteps; ++i) {
        if (cpm - 2 <= decode::RxSpeedTable[static_cast<std::size_t>(i)]) {
            step = i;
            break;
        }
    }
    parts_->Speed.ShowReceiveSpeed(cpm, step);
}

void ReceivePath::OnRecording(std::span<const std::int16_t> frames, int channel) {
    for (std::size_t at = 0; at + kHalfSamples <= frames.size(); at += kHalfSamples)
        OnBlock(frames.subspan(at).first<kHalfSamples>(), channel);
}

void ReceivePath::Flush() {
    const std::array<std::int16_t, kHalfSamples> silence{};
    for (int i = 0; i < 22; ++i)
        OnBlock(silence, options_.Channel);
    if (running_ == DecoderKind::Weak)
        parts_->Weak.Finish();
}

std::string ReceivePath::Text() {
    text::DrainInto(parts_->OwnQueue, parts_->Window, parts_->Monitor);
    return parts_->Window.Window().Text();
}

std::string ReceivePath::ReceivedText() {
    std::string text = Text();
    for (std::size_t at; (at = text.find("RX> ")) != std::string::npos;)
        text.erase(at, 4);
    return text;
}

}  // namespace morvane::receive
