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

// Events of `text` at `wpm` with the spec's weights: keyed at a table speed,
// then stretched to the exact dot length.
std::vector<KeyEvent> Keyed(const std::string& text, double wpm, const RecordingSpec& spec,
                            double startMs) {
    const KeyingWeights weights{.Dot = 1.0,
                                .Dash = spec.DashDots,
                                .CharSpace = spec.CharSpaceDots,
                                .WordSpace = spec.WordSpaceDots};
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

RecordingSpec RandomSpec(std::mt19937_64& rng, const SpecRange& range) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    RecordingSpec spec;
    spec.Wpm = range.MinWpm + (range.MaxWpm - range.MinWpm) * unit(rng);
    spec.ToneHz = range.MinToneHz + (range.MaxToneHz - range.MinToneHz) * unit(rng);
    spec.EdgeMs = 1.0 + 9.0 * unit(rng);
    spec.LeadS = 0.5 + 1.5 * unit(rng);
    if (range.Hard) {
        spec.FadeDepth = 0.7 * unit(rng);
        spec.FadePeriodS = 4.0 + 12.0 * unit(rng);
        spec.DashDots = 2.5 + 1.5 * unit(rng);
        spec.CharSpaceDots = 2.6 + 1.4 * unit(rng);
        spec.WordSpaceDots = 6.0 + 3.0 * unit(rng);
        spec.JitterDots = 0.06 + 0.06 * unit(rng);
        spec.Neighbour = unit(rng) < 0.5;
        spec.NeighbourOffsetHz = unit(rng) < 0.5 ? -100.0 : 100.0;
        spec.NeighbourDb = -6.0 - 6.0 * unit(rng);
    }
    spec.Seed = rng();
    return spec;
}

Recording MakeRecording(const RecordingSpec& spec) {
    std::mt19937_64 rng(spec.Seed);
    Recording recording;
    recording.Text = RandomContactText(rng, spec.Words);
    constexpr double kAmplitude = 4000.0;
    const double dotMs = 1200.0 / spec.Wpm;
    std::vector<Station> stations{
        Station{.Events = Keyed(recording.Text, spec.Wpm, spec, 1000.0 * spec.LeadS),
                .ToneHz = spec.ToneHz,
                .Amplitude = kAmplitude,
                .FadeDepth = spec.FadeDepth,
                .FadePeriodS = spec.FadePeriodS,
                .JitterMs = spec.JitterDots * dotMs}};
    if (spec.Neighbour) {
        const double wpm = spec.Wpm * (0.8 + 0.4 * std::uniform_real_distribution<double>()(rng));
        // The neighbour keeps sending past the end, so it never stops first.
        const std::string text = RandomContactText(rng, spec.Words * 2);
        stations.push_back(
            Station{.Events = Keyed(text, wpm, spec, 200.0),
                    .ToneHz = spec.ToneHz + spec.NeighbourOffsetHz,
                    .Amplitude = kAmplitude * std::pow(10.0, spec.NeighbourDb / 20.0),
                    .JitterMs = spec.JitterDots * 1200.0 / wpm});
    }
    const std::int64_t wanted =
        static_cast<std::int64_t>(std::ceil((stations[0].Events.back().TimeMs + 1000.0) * 11.025));
    CwSynth synth({.Layout = ChannelLayout::StereoBoth,
                   .EdgeMs = spec.EdgeMs,
                   .NoiseOn = spec.NoiseOn,
                   .SnrDb = spec.SnrDb,
                   .NoiseBandwidthHz = 500.0,
                   .ReferenceAmplitude = kAmplitude,
                   .Seed = spec.Seed ^ 0x5eed},
                  std::move(stations));
    // Whole capture halves; the tail after the last key-up stays noise.
    constexpr std::int64_t half = 1024;
    const std::int64_t frames = (wanted + half - 1) / half * half;
    recording.Frames.resize(static_cast<std::size_t>(2 * frames));
    synth.Render(recording.Frames);
    return recording;
}

}  // namespace morvane::synth
