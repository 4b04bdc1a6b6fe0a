// The station's receive side; see StationReceiver.h.
#include "station/StationReceiver.h"

#include <algorithm>
#include <array>

#include "decode/CharacterDecoder.h"
#include "decode/ElementTiming.h"

namespace morvane::station {

namespace {

// Input gain by volume slider position 1 to 11 (position 0 is never used).
constexpr std::array<double, 12> kGainTable = {0.01, 0.05, 0.1,  0.3,  0.6,  1.0,
                                               2.0,  5.0,  12.0, 30.0, 60.0, 120.0};

}  // namespace

StationReceiver::StationReceiver(text::WindowCommandQueue& windows,
                                 std::atomic<bool>& receiveEnabled)
    : windows_(windows), receiveEnabled_(receiveEnabled), path_({}, windows) {
    auto& options = path_.Chain().Options();
    options.InputGain = kGainTable[static_cast<std::size_t>(settings_.InputVolume)];
    options.ToneAuto = false;
    options.ThresholdAuto = false;
}

void StationReceiver::ApplyQueued() {
    for (Change& change : changes_.Drain()) {
        change(path_);
    }
}

void StationReceiver::OnBlock(std::span<const std::int16_t, receive::kHalfSamples> frames,
                              int channel) {
    ApplyQueued();
    path_.OnBlock(frames, channel);
}

void StationReceiver::ResetSpeedMeasurement() {
    Post([](receive::ReceivePath& path) { path.Timing().ResetSpeedMeasurement(false); });
}

void StationReceiver::ClearSpeedValid() {
    Post([](receive::ReceivePath& path) { path.Timing().ResetSpeedMeasurement(true); });
}

void StationReceiver::ResetSendMark() {
    path_.Chain().Options().WorkBlockClearRequested.store(true);
}

void StationReceiver::ResetElementTiming() {
    Post([](receive::ReceivePath& path) { path.Timing().ResetElementTiming(); });
}

void StationReceiver::SetLevelDisplay(settings::LevelDisplay mode) {
    settings_.Level = mode;
    path_.Chain().Options().LevelDisplayMode =
        mode == settings::LevelDisplay::Cw ? receive::LevelMode::CW : receive::LevelMode::Signal;
}

void StationReceiver::SetGraphicMode(settings::GraphicMode mode) {
    settings_.Graphic = mode;
    path_.Chain().Options().ToneDisplayMode = static_cast<receive::ToneMode>(mode);
}

void StationReceiver::SetInputVolume(int position) {
    settings_.InputVolume = std::clamp(position, 1, 11);
    path_.Chain().Options().InputGain = kGainTable[static_cast<std::size_t>(settings_.InputVolume)];
}

void StationReceiver::SetNoiseReduction(int mode) {
    settings_.NoiseReduction = mode;
    path_.Chain().Options().Nr1On = mode == 1;
    path_.Chain().Options().Nr2On = mode == 2;
}

void StationReceiver::SetQrmFilter(bool on) {
    settings_.QrmFilter = on;
    path_.Chain().Options().QrmFilterOn = on;
}

void StationReceiver::SetThresholdDb(int db) {
    settings_.ThresholdDb = db;
    path_.Chain().Options().Threshold = db;
}

void StationReceiver::SetToneCentre(const settings::ToneCentre& centre) {
    settings_.Tone = centre;
    auto& options = path_.Chain().Options();
    options.ToneAuto = centre.Mode == settings::ToneCentre::Kind::Auto;
    if (centre.Mode == settings::ToneCentre::Kind::Fixed) {
        options.ToneBin = receive::NearestToneBin(centre.Hz);
    }
}

void StationReceiver::SetReceiveLanguage(char language, char autoSwitch) {
    settings_.Language = language;
    settings_.AutoSwitch = autoSwitch;
    const auto rx = language == 'J' ? decode::RxLanguage::Japanese : decode::RxLanguage::English;
    const bool automatic = autoSwitch == 'A';
    Post([rx, automatic](receive::ReceivePath& path) {
        path.Decoder().SetRxLanguage(rx);
        path.Decoder().SetAutoLanguage(automatic);
    });
}

void StationReceiver::SetExtend(bool on) {
    settings_.Extend = on;
    Post([on](receive::ReceivePath& path) { path.Decoder().SetExtendOn(on); });
}

void StationReceiver::SetAutoThreshold(bool on) {
    settings_.AutoThreshold = on;
    path_.Chain().Options().ThresholdAuto = on;
}

void StationReceiver::SetAutoReceiveSpeed(bool on) {
    settings_.AutoSpeed = on;
    // Off fixes the speed where the slider stands, which the label then shows.
    speedLabelDue_ = !on;
    Post([on, step = settings_.SpeedStep](receive::ReceivePath& path) {
        path.Timing().SetRxSpeedAuto(on, step);
    });
}

std::string StationReceiver::SetSpeedStep(int step) {
    settings_.SpeedStep = std::clamp(step, 0, decode::kSpeedSteps - 1);
    Post([step = settings_.SpeedStep](receive::ReceivePath& path) {
        path.Timing().SetRxSpeedIndex(step);
    });
    return decode::SpeedLabelText(
        decode::RxSpeedTable[static_cast<std::size_t>(settings_.SpeedStep)]);
}

decode::RxLanguage StationReceiver::DecoderLanguage() {
    return path_.Decoder().Language();
}

std::optional<std::pair<std::string, int>> StationReceiver::TakeSpeedToShow() {
    const receive::SpeedReading latest = path_.LatestSpeed();
    if (latest.Serial != speedSerialShown_) {
        speedSerialShown_ = latest.Serial;
        speedLabelDue_ = false;
        settings_.SpeedStep = latest.Step;
        return std::pair{decode::SpeedLabelText(latest.CharsPerMinute), latest.Step};
    }
    if (!speedLabelDue_)
        return std::nullopt;
    speedLabelDue_ = false;
    return std::pair{
        decode::SpeedLabelText(decode::RxSpeedTable[static_cast<std::size_t>(settings_.SpeedStep)]),
        settings_.SpeedStep};
}

void StationReceiver::ClearReceiveText() {
    windows_.Push(text::command::ClearReceive{});
}

void StationReceiver::SetKeyMode(common::KeyMode mode) {
    Post([mode](receive::ReceivePath& path) {
        path.Decoder().SetTxInputMode(static_cast<int>(mode));
    });
}

void StationReceiver::SetKatakana(bool katakana) {
    settings_.Katakana = katakana;
    Post([katakana](receive::ReceivePath& path) { path.Decoder().SetKatakanaDisplay(katakana); });
}

}  // namespace morvane::station
