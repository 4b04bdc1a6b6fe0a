#include "synth/DemoContact.h"

#include <array>

#include "synth/TextKeying.h"

namespace morvane::synth {

namespace {

// Wabun is opened with .-..-. and closed with -.--.- (sent as joined signs).
constexpr const char* kWabunOpen = "143414143412";
constexpr const char* kWabunClose = "341434341432";

const std::array<DemoOver, 5> kOvers = {{
    {.Text = "CQ CQ CQ DE JA1ABC JA1ABC PSE K", .SpeedStep = 15, .ToneHz = 603.0},
    {.Text = "JA1ABC DE JH2XYZ JH2XYZ K", .SpeedStep = 19, .ToneHz = 615.0},
    {.Text = "JH2XYZ DE JA1ABC GM TNX FER CALL UR RST 599 599 NAME TARO QTH TOKYO HW? BK",
     .SpeedStep = 15,
     .ToneHz = 603.0},
    {.Text = "コンニチハ　タロウサン　アリガトウ", .Wabun = true, .SpeedStep = 13, .ToneHz = 615.0},
    {.Text = "R FB TNX QSO 73 TU E E", .SpeedStep = 17, .ToneHz = 603.0},
}};

constexpr double kOverGapMs = 1500.0;

}  // namespace

std::span<const DemoOver> DemoOvers() {
    return kOvers;
}

DemoScript MakeDemoScript(std::uint64_t seed) {
    DemoScript script;
    script.Config = {.Layout = ChannelLayout::StereoBoth,
                     .NoiseOn = true,
                     .SnrDb = 12.0,
                     .NoiseBandwidthHz = 500.0,
                     .ReferenceAmplitude = 4000.0,
                     .Seed = seed};
    double timeMs = 500.0;
    for (const auto& over : kOvers) {
        Station station{.Events = {},
                        .ToneHz = over.ToneHz,
                        .Amplitude = 4000.0,
                        .FadeDepth = 0.3,
                        .FadePeriodS = 7.0,
                        .JitterMs = 2.0};
        const double dotMs = DotLengthMs(over.SpeedStep);
        if (over.Wabun)
            AppendPattern(kWabunOpen, dotMs, {}, timeMs, station.Events);
        auto keyed =
            TextToEvents(over.Text, over.Wabun ? TextAlphabet::Katakana : TextAlphabet::English,
                         over.SpeedStep, {}, timeMs);
        station.Events.insert(station.Events.end(), keyed.Events.begin(), keyed.Events.end());
        timeMs = keyed.EndMs;
        if (over.Wabun)
            AppendPattern(kWabunClose, dotMs, {}, timeMs, station.Events);
        timeMs += kOverGapMs;
        script.Stations.push_back(std::move(station));
    }
    script.DurationMs = timeMs;
    // A weaker station 280 Hz higher calling CQ throughout.
    Station neighbour{
        .Events = {}, .ToneHz = 883.0, .Amplitude = 1000.0, .FadeDepth = 0.5, .FadePeriodS = 11.0};
    double t = 2000.0;
    while (t < script.DurationMs - 5000.0) {
        auto keyed = TextToEvents("CQ TEST JR3QQQ ", TextAlphabet::English, 21, {}, t);
        neighbour.Events.insert(neighbour.Events.end(), keyed.Events.begin(), keyed.Events.end());
        t = keyed.EndMs + 3000.0;
    }
    script.Stations.push_back(std::move(neighbour));
    return script;
}

DemoStream::DemoStream(std::uint64_t seed) : seed_(seed) {}

void DemoStream::Render(std::span<std::int16_t> interleaved) {
    std::size_t done = 0;
    while (done < interleaved.size()) {
        if (!pass_ || pass_->Position() >= pass_->TotalFrames()) {
            auto script = MakeDemoScript(seed_++);
            pass_ = std::make_unique<CwSynth>(script.Config, std::move(script.Stations));
        }
        const std::int64_t left = pass_->TotalFrames() - pass_->Position();
        const std::size_t frames =
            std::min<std::size_t>((interleaved.size() - done) / 2, static_cast<std::size_t>(left));
        pass_->Render(interleaved.subspan(done, 2 * frames));
        done += 2 * frames;
        rendered_ += static_cast<std::int64_t>(frames);
    }
}

}  // namespace morvane::synth
