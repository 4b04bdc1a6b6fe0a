// Varied test material for the decoders: random amateur texts keyed at any
// speed with its own weights (hand-sent dashes and spaces), jitter, soft or
// hard keying, slow fading, a weaker neighbour nearby and noise before and
// after, all drawn from one seed. Decoders are measured on many of these,
// never tuned on one.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace morvane::synth {

struct RecordingPlan {
    double Wpm = 20.0;  // words per minute (PARIS, dot = 1200 / wpm ms)
    double ToneHz = 650.0;
    bool NoiseOn = true;
    double SnrDb = 0.0;          // in 500 Hz, against the steady tone
    double JitterDots = 0.06;    // standard deviation of every key event, in dots
    double EdgeMs = 5.0;         // keying rise and fall time
    double DashDots = 3.0;       // hand senders: 2.5 to 4
    double CharSpaceDots = 3.0;  // hand senders: uneven
    double WordSpaceDots = 7.0;
    double FadeDepth = 0.0;  // 0..1
    double FadePeriodS = 10.0;
    bool Neighbour = false;  // a second, weaker station
    double NeighbourOffsetHz = 100.0;
    double NeighbourDb = -8.0;  // its level against the wanted one
    double LeadS = 1.0;         // noise before the first key-down
    int Words = 12;
    std::uint64_t Seed = 1;
    std::string Text = {};  // sent instead of a random contact text when not empty
};

struct Recording {
    std::string Text;                  // what the wanted station sends
    std::vector<std::int16_t> Frames;  // interleaved stereo, same on both channels
};

// Random text of `words` words from amateur contacts: call signs, reports,
// names, Q codes, numbers.
std::string RandomContactText(std::mt19937_64& rng, int words);

// Text no model of amateur traffic expects: random letters in groups of
// five, or random call signs of no usual prefix.
enum class OddText { Groups, Calls };
std::string RandomOddText(std::mt19937_64& rng, OddText kind, int words);

struct PlanRange {
    double MinWpm = 18.0;
    double MaxWpm = 28.0;
    double MinToneHz = 300.0;
    double MaxToneHz = 1200.0;
    bool Hard = false;  // fading, hand-sent weights, more jitter, a neighbour
};

// Draws a recording at random within `range`: speed, tone, keying edge
// 1..10 ms, noise lead 0.5..2 s, and with Hard the band's troubles.
RecordingPlan RandomPlan(std::mt19937_64& rng, const PlanRange& range);

Recording MakeRecording(const RecordingPlan& plan);

}  // namespace morvane::synth
