#include "synth/BandRecording.h"

#include <array>
#include <cmath>
#include <string_view>

#include "synth/CwSynth.h"
#include "synth/TextKeying.h"

namespace morvane::synth {

namespace {

constexpr std::array<std::string_view, 40> kWords{
    "CQ",  "DE",  "K",   "KN",  "BK",   "R",   "TNX",  "FER", "QSO",  "UR",
    "RST", "599", "579", "449", "NAME", "QTH", "RIG",  "ANT", "WX",   "HR",
    "ES",  "73",  "GL",  "SK",  "HW",   "CPY", "PSE",  "AGN", "QRZ",  "TU",
    "FB",  "OM",  "DR",  "GM",  "GE",   "5NN", "TEST", "QRP", "100W", "DIPOLE"};
constexpr std::array<std::string_view, 12> kNames{"TARO", "JOHN", "KEN", "ANNA", "BOB",  "YUKI",
                                                  "HANS", "MIKE", "EMI", "RAY",  "JIRO", "SUE"};

std::string CallSign(std::mt19937_64& rng) {
    static constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static constexpr std::array<std::string_view, 10> kPrefixes{"JA", "JH", "7N", "K",  "W",
                                                                "DL", "G",  "VK", "JR", "5W"};
    std::uniform_int_distribution<std::size_t> letter(0, kLetters.size() - 1);
    std::string call(kPrefixes[rng() % kPrefixes.size()]);
    call += static_cast<char>('0' + rng() % 10);
    const int suffix = 1 + static_cast<int>(rng() % 3);
    for (int i = 0; i < suffix; ++i)
        call += kLetters[letter(rng)];
    return call;
}

// Events of `text` at `wpm` with the plan's weights: keyed at a table speed,
// then stretched to the exact dot length.
std::vector<KeyEvent> Keyed(const std::string& text, double wpm, const RecordingPlan& plan,
                            double startMs) {
    const KeyingWeights weights{.Dot = 1.0,
                                .Dash = plan.DashDots,
                                .CharSpace = plan.CharSpaceDots,
                                .WordSpace = plan.WordSpaceDots};
    const int step = 15;
    auto events = TextToEvents(text, TextAlphabet::English, step, weights, 0.0).Events;
    const double stretch = (1200.0 / wpm) / DotLengthMs(step);
    for (auto& event : events)
        event.TimeMs = startMs + event.TimeMs * stretch;
    return events;
}

}  // namespace

std::string RandomContactText(std::mt19937_64& rng, int words) {
    std::string text;
    for (int i = 0; i < words; ++i) {
        if (!text.empty())
            text += ' ';
        const auto pick = rng() % 10;
        if (pick < 2)
            text += CallSign(rng);
        else if (pick < 3)
            text += kNames[rng() % kNames.size()];
        else if (pick < 4)
            text += std::to_string(rng() % 1000);
        else
            text += kWords[rng() % kWords.size()];
    }
    return text;
}

std::string RandomOddText(std::mt19937_64& rng, OddText kind, int words) {
    const auto count = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    const auto letter = [&] { return static_cast<char>('A' + count(0, 25)); };
    std::string text;
    for (int w = 0; w < words; ++w) {
        if (w > 0)
            text += ' ';
        if (kind == OddText::Groups) {
            for (int i = 0; i < 5; ++i)
                text += letter();
            continue;
        }
        for (int i = count(1, 2); i > 0; --i)
            text += letter();
        text += static_cast<char>('0' + count(0, 9));
        for (int i = count(1, 3); i > 0; --i)
            text += letter();
    }
    return text;
}

RecordingPlan RandomPlan(std::mt19937_64& rng, const PlanRange& range) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    RecordingPlan plan;
    plan.Wpm = range.MinWpm + (range.MaxWpm - range.MinWpm) * unit(rng);
    plan.ToneHz = range.MinToneHz + (range.MaxToneHz - range.MinToneHz) * unit(rng);
    plan.EdgeMs = 1.0 + 9.0 * unit(rng);
    plan.LeadS = 0.5 + 1.5 * unit(rng);
    if (range.Hard) {
        plan.FadeDepth = 0.7 * unit(rng);
        plan.FadePeriodS = 4.0 + 12.0 * unit(rng);
        plan.DashDots = 2.5 + 1.5 * unit(rng);
        plan.CharSpaceDots = 2.6 + 1.4 * unit(rng);
        plan.WordSpaceDots = 6.0 + 3.0 * unit(rng);
        plan.JitterDots = 0.06 + 0.06 * unit(rng);
        plan.Neighbour = unit(rng) < 0.5;
        plan.NeighbourOffsetHz = unit(rng) < 0.5 ? -100.0 : 100.0;
        plan.NeighbourDb = -6.0 - 6.0 * unit(rng);
    }
    plan.Seed = rng();
    return plan;
}

Recording MakeRecording(const RecordingPlan& plan) {
    std::mt19937_64 rng(plan.Seed);
    Recording recording;
    recording.Text = plan.Text.empty() ? RandomContactText(rng, plan.Words) : plan.Text;
    constexpr double kAmplitude = 4000.0;
    const double dotMs = 1200.0 / plan.Wpm;
    std::vector<Station> stations{
        Station{.Events = Keyed(recording.Text, plan.Wpm, plan, 1000.0 * plan.LeadS),
                .ToneHz = plan.ToneHz,
                .Amplitude = kAmplitude,
                .FadeDepth = plan.FadeDepth,
                .FadePeriodS = plan.FadePeriodS,
                .JitterMs = plan.JitterDots * dotMs}};
    if (plan.Neighbour) {
        const double wpm = plan.Wpm * (0.8 + 0.4 * std::uniform_real_distribution<double>()(rng));
        // The neighbour keeps sending past the end, so it never stops first.
        const std::string text = RandomContactText(rng, plan.Words * 2);
        stations.push_back(
            Station{.Events = Keyed(text, wpm, plan, 200.0),
                    .ToneHz = plan.ToneHz + plan.NeighbourOffsetHz,
                    .Amplitude = kAmplitude * std::pow(10.0, plan.NeighbourDb / 20.0),
                    .JitterMs = plan.JitterDots * 1200.0 / wpm});
    }
    const std::int64_t wanted =
        static_cast<std::int64_t>(std::ceil((stations[0].Events.back().TimeMs + 1000.0) * 11.025));
    CwSynth synth({.Layout = ChannelLayout::StereoBoth,
                   .EdgeMs = plan.EdgeMs,
                   .NoiseOn = plan.NoiseOn,
                   .SnrDb = plan.SnrDb,
                   .NoiseBandwidthHz = 500.0,
                   .ReferenceAmplitude = kAmplitude,
                   .Seed = plan.Seed ^ 0x5eed},
                  std::move(stations));
    // Whole capture halves; the tail after the last key-up stays noise.
    constexpr std::int64_t half = 1024;
    const std::int64_t frames = (wanted + half - 1) / half * half;
    recording.Frames.resize(static_cast<std::size_t>(2 * frames));
    synth.Render(recording.Frames);
    return recording;
}

}  // namespace morvane::synth
