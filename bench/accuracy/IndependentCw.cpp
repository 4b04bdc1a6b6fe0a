#include "IndependentCw.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string_view>

#include "MorseCodes.h"

namespace morvane::accuracy {

namespace {

constexpr double kSampleRateHz = 11025.0;
constexpr std::size_t kHalfFrames = 1024;

constexpr std::array<std::string_view, 36> kWords{
    "5NN", "TU",    "UR",   "RST",  "OP",   "HANDLE", "QTH", "RIG", "PWR",   "ANT", "YAGI", "VERT",
    "WX",  "SUNNY", "RAIN", "COLD", "TEMP", "C",      "ES",  "HPE", "CUAGN", "CUL", "BEST", "DX",
    "NW",  "QRL",   "QRS",  "QRZ",  "AGN",  "PSE",    "SRI", "QSB", "QRM",   "GUD", "SIGS", "TKS"};
constexpr std::array<std::string_view, 16> kPrefixes{
    "OH", "F", "EA", "I", "UA", "VE", "ZL", "PY", "JA", "BV", "HL", "9A", "S5", "OK", "SP", "LU"};

// splitmix64 with Box-Muller: the noise owes nothing to the standard
// library's distributions, which the program's synthesiser uses.
class Gaussian {
  public:
    explicit Gaussian(std::uint64_t seed) : state_(seed) {}

    double Next() {
        if (spare_) {
            spare_ = false;
            return held_;
        }
        const double u1 = (static_cast<double>(Bits() >> 11) + 1.0) * 0x1.0p-53;
        const double u2 = static_cast<double>(Bits() >> 11) * 0x1.0p-53;
        const double radius = std::sqrt(-2.0 * std::log(u1));
        held_ = radius * std::sin(2.0 * std::numbers::pi * u2);
        spare_ = true;
        return radius * std::cos(2.0 * std::numbers::pi * u2);
    }

  private:
    std::uint64_t Bits() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    std::uint64_t state_;
    double held_ = 0.0;
    bool spare_ = false;
};

std::string_view CodeOf(char c) {
    for (const auto& entry : kMorseCodes)
        if (entry.Character == c)
            return entry.Code;
    return {};
}

double Uniform(std::mt19937_64& rng, double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(rng);
}

std::string Call(std::mt19937_64& rng) {
    std::string call(kPrefixes[rng() % kPrefixes.size()]);
    call += static_cast<char>('0' + rng() % 10);
    const int letters = 1 + static_cast<int>(rng() % 3);
    for (int i = 0; i < letters; ++i)
        call += static_cast<char>('A' + rng() % 26);
    if (rng() % 8 == 0)
        call += "/P";
    return call;
}

// The envelope of one edge, 0 at `x` <= 0 to 1 at `x` >= 1.
double RaisedCosine(double x) {
    if (x <= 0.0)
        return 0.0;
    if (x >= 1.0)
        return 1.0;
    return 0.5 - 0.5 * std::cos(std::numbers::pi * x);
}

std::vector<double> Envelope(const IndependentPlan& plan, const std::vector<KeyedMark>& marks,
                             std::size_t frames, std::uint64_t seed) {
    std::vector<double> envelope(frames, 0.0);
    const double riseS = plan.RiseMs / 1000.0;
    if (plan.Edge == EdgeShape::RaisedCosine) {
        for (const auto& mark : marks) {
            const auto first = static_cast<std::size_t>(mark.StartS * kSampleRateHz);
            const auto last =
                std::min(frames, static_cast<std::size_t>((mark.EndS + riseS) * kSampleRateHz) + 1);
            for (std::size_t i = first; i < last; ++i) {
                const double t = static_cast<double>(i) / kSampleRateHz;
                const double up = RaisedCosine((t - mark.StartS) / riseS);
                const double down = 1.0 - RaisedCosine((t - mark.EndS) / riseS);
                envelope[i] = std::max(envelope[i], std::min(up, down));
            }
        }
        return envelope;
    }
    // A transmitter's RC shaping: the decay often a little slower than the rise.
    std::mt19937_64 rng(seed);
    const double tauUp = riseS / std::log(9.0);
    const double tauDown = tauUp * Uniform(rng, 1.0, 1.6);
    const double up = 1.0 - std::exp(-1.0 / (tauUp * kSampleRateHz));
    const double down = 1.0 - std::exp(-1.0 / (tauDown * kSampleRateHz));
    double level = 0.0;
    std::size_t next = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kSampleRateHz;
        while (next < marks.size() && marks[next].EndS <= t)
            ++next;
        const bool keyed = next < marks.size() && marks[next].StartS <= t;
        level += ((keyed ? 1.0 : 0.0) - level) * (keyed ? up : down);
        envelope[i] = level;
    }
    return envelope;
}

}  // namespace

std::string ExchangeText(std::mt19937_64& rng, int words) {
    std::string text;
    for (int i = 0; i < words; ++i) {
        if (!text.empty())
            text += ' ';
        const auto pick = rng() % 12;
        if (pick < 3)
            text += Call(rng);
        else if (pick < 5)
            text += std::to_string(1 + rng() % 2000);
        else if (pick < 6)
            text += i + 1 < words ? "HW?" : "K";
        else
            text += kWords[rng() % kWords.size()];
    }
    return text;
}

IndependentPlan DrawPlan(std::mt19937_64& rng, double wpm, bool handSent) {
    IndependentPlan plan;
    plan.Text = ExchangeText(rng, 10);
    plan.Style.Wpm = wpm;
    if (handSent) {
        plan.Style.DashDots = Uniform(rng, 2.5, 4.0);
        // The weighting keeps the keyed dash within 2.5 to 4 dots of his
        // keyed dot.
        plan.Style.Weighting = Uniform(rng, std::max(-0.1, (plan.Style.DashDots - 4.0) / 3.0),
                                       std::min(0.25, (plan.Style.DashDots - 2.5) / 1.5));
        plan.Style.CharSpaceDots = Uniform(rng, 2.6, 4.0);
        plan.Style.WordSpaceDots = Uniform(rng, 6.0, 9.0);
        plan.Style.SpaceSpread = 0.15;
        plan.Style.Jitter = Uniform(rng, 0.08, 0.14);
        plan.Style.DriftFraction = Uniform(rng, 0.03, 0.08);
    } else {
        plan.Style.Weighting = Uniform(rng, 0.0, 0.1);
    }
    plan.ToneHz = Uniform(rng, 500.0, 950.0);
    plan.ToneDriftHz = Uniform(rng, 0.0, 3.0);
    plan.Edge = rng() % 2 == 0 ? EdgeShape::RaisedCosine : EdgeShape::Exponential;
    plan.RiseMs = Uniform(rng, 1.0, 10.0);
    plan.Amplitude = 600.0 * std::pow(4.0, Uniform(rng, 0.0, 1.0));
    plan.Seed = rng();
    return plan;
}

std::vector<KeyedMark> KeyText(const IndependentPlan& plan) {
    const KeyingStyle& style = plan.Style;
    Gaussian gauss(plan.Seed ^ 0x7e57);
    std::mt19937_64 rng(plan.Seed);
    const double driftPeriodS = Uniform(rng, 8.0, 20.0);
    const double driftPhase = Uniform(rng, 0.0, 2.0 * std::numbers::pi);
    const auto varied = [&](double length, double spread) {
        return length * std::max(0.4, 1.0 + spread * gauss.Next());
    };
    std::vector<KeyedMark> marks;
    double t = plan.PadS;
    for (std::size_t i = 0; i < plan.Text.size(); ++i) {
        const double dotS =
            1.2 / style.Wpm /
            (1.0 + style.DriftFraction *
                       std::sin(2.0 * std::numbers::pi * t / driftPeriodS + driftPhase));
        if (plan.Text[i] == ' ')
            continue;
        const std::string_view code = CodeOf(plan.Text[i]);
        for (std::size_t e = 0; e < code.size(); ++e) {
            const double mark = (code[e] == '-' ? style.DashDots : 1.0) + style.Weighting;
            const double length = varied(mark * dotS, style.Jitter);
            marks.push_back({t, t + length});
            t += length;
            if (e + 1 < code.size())
                t += varied((1.0 - style.Weighting) * dotS, style.Jitter);
        }
        const bool wordEnds = i + 1 < plan.Text.size() && plan.Text[i + 1] == ' ';
        const double space = (wordEnds ? style.WordSpaceDots : style.CharSpaceDots);
        // Spaces a listener could still tell apart: a character space never
        // reaches five dots, a word space never falls under five.
        double gap = varied(varied(space, style.SpaceSpread), style.Jitter);
        gap = wordEnds ? std::max(gap, 5.0) : std::clamp(gap, 2.0, 4.8);
        t += (gap - style.Weighting) * dotS;
    }
    return marks;
}

IndependentRecording Render(const IndependentPlan& plan) {
    IndependentRecording recording;
    recording.Text = plan.Text;
    recording.Marks = KeyText(plan);
    const double endS =
        (recording.Marks.empty() ? plan.PadS : recording.Marks.back().EndS) + plan.PadS;
    const auto wanted = static_cast<std::size_t>(std::ceil(endS * kSampleRateHz));
    const std::size_t frames = (wanted + kHalfFrames - 1) / kHalfFrames * kHalfFrames;
    const auto envelope = Envelope(plan, recording.Marks, frames, plan.Seed ^ 0xe5);

    // White noise over 0..fs/2 whose share in 500 Hz sits SnrDb under the
    // steady tone's power A^2 / 2.
    const double toneInBand = plan.Amplitude * plan.Amplitude / 2.0;
    const double sigma = plan.Noise ? std::sqrt(toneInBand / std::pow(10.0, plan.SnrDb / 10.0) *
                                                (kSampleRateHz / 2.0) / 500.0)
                                    : 0.0;
    Gaussian noise(plan.Seed ^ 0x0153);
    std::mt19937_64 rng(plan.Seed ^ 0x70e);
    const double driftPeriodS = Uniform(rng, 5.0, 30.0);
    double phase = Uniform(rng, 0.0, 2.0 * std::numbers::pi);
    recording.Stereo.resize(2 * frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kSampleRateHz;
        const double hz =
            plan.ToneHz + plan.ToneDriftHz * std::sin(2.0 * std::numbers::pi * t / driftPeriodS);
        phase =
            std::fmod(phase + 2.0 * std::numbers::pi * hz / kSampleRateHz, 2.0 * std::numbers::pi);
        double value = plan.Amplitude * envelope[i] * std::sin(phase);
        if (sigma > 0.0)
            value += sigma * noise.Next();
        const auto sample =
            static_cast<std::int16_t>(std::lround(std::clamp(value, -32768.0, 32767.0)));
        recording.Stereo[2 * i] = sample;
        recording.Stereo[2 * i + 1] = sample;
    }
    return recording;
}

}  // namespace morvane::accuracy
