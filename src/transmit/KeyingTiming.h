// Speed steps, element durations and the speed figures shown beside the
// transmit speed slider. Pure arithmetic shared by the keying engine, the
// transmit controls and the tools.
#pragma once

#include <array>
#include <string>

namespace morvane::transmit {

inline constexpr int kSpeedStepCount = 32;
inline constexpr int kDefaultSpeedStep = 15;

// The four element weights, in dots.
struct Weights {
    double Dot = 1.0;
    double Dash = 3.0;
    double CharSpace = 3.0;
    double WordSpace = 7.0;
};

// Dot length in ms of speed step k (0..31): 6000 / (25 + 5k).
double DotLengthMs(int speedStep);

// Integer part of x + 0.5: element and gap durations are whole milliseconds.
int RoundHalfUpMs(double ms);

// Duration in ms of element code `code` ('0'..'6') at dot length `dotMs`; -1
// for a code that plays nothing. "2" and "6" are the closing gaps.
int ElementDurationMs(char code, double dotMs, const Weights& weights);

// PARIS speed in characters per minute with these weights (speed label).
int ParisSpeedPerMin(double dotMs, const Weights& weights);

// The speed label text, e.g. "100/Min".
std::string SpeedLabelText(int speedStep, const Weights& weights);

// The fastest step whose truncated-term PARIS speed is at most
// `receivedPerMin`; 0 when none (transmit speed from the received speed).
int StepForReceivedSpeed(int receivedPerMin, const Weights& weights);

// Reads the receive speed label ("123/Min") as the number without its last
// four characters; 0 when that is no decimal number.
int ReceivedSpeedFromLabel(const std::string& label);

}  // namespace morvane::transmit
