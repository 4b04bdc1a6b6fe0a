// A second CW generator for measuring the decoders, written apart from the
// program's own synthesiser so that the accuracy figures are not a decoder
// scored on the very signal model it was tuned on. Its own Morse table,
// texts, timing model (a keyer with jitter, or a hand sender with his own
// dash weight, dot weighting, uneven spaces and speed drift), keying
// envelopes (raised-cosine or exponential edges), tone drift, noise source
// and levels. One second of noise before and after the signal.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace morvane::accuracy {

enum class EdgeShape { RaisedCosine, Exponential };

// How one operator keys. Lengths in dots of the nominal speed.
struct KeyingStyle {
    double Wpm = 20.0;
    double DashDots = 3.0;
    double Weighting = 0.0;  // dots added to every mark and taken from the gap after it
    double CharSpaceDots = 3.0;
    double WordSpaceDots = 7.0;
    double SpaceSpread = 0.0;  // relative spread of each character and word space
    double Jitter = 0.06;      // relative spread of every mark and gap
    double DriftFraction = 0;  // slow speed wander, as a fraction of the speed
};

struct IndependentPlan {
    std::string Text;
    KeyingStyle Style;
    double ToneHz = 700.0;
    double ToneDriftHz = 0.0;  // slow wander over the recording
    EdgeShape Edge = EdgeShape::RaisedCosine;
    double RiseMs = 4.0;  // 10-90 % for the exponential edge
    bool Noise = true;
    double SnrDb = 0.0;  // in 500 Hz against the steady tone
    double Amplitude = 1500.0;
    double PadS = 1.0;  // noise before and after
    std::uint64_t Seed = 1;
};

struct KeyedMark {
    double StartS, EndS;
};

struct IndependentRecording {
    std::string Text;
    std::vector<KeyedMark> Marks;      // key-down intervals, seconds from the start
    std::vector<std::int16_t> Stereo;  // 11025 Hz, same on both channels, whole 1024-frame halves
};

// Random text of `words` words in the style of contest and chat exchanges.
std::string ExchangeText(std::mt19937_64& rng, int words);

// A plan at `wpm` with everything else drawn from `rng`: tone 500-950 Hz,
// either edge shape with a 1-10 ms rise, level, and with `handSent` a hand
// sender's weights (dash 2.5-4 dots, uneven spaces, more jitter, drift).
IndependentPlan DrawPlan(std::mt19937_64& rng, double wpm, bool handSent);

// The key-down intervals of `plan`'s text with its timing model.
std::vector<KeyedMark> KeyText(const IndependentPlan& plan);

IndependentRecording Render(const IndependentPlan& plan);

}  // namespace morvane::accuracy
