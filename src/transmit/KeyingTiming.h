// Speed steps, element durations and the speed figures shown beside the
// transmit speed slider. Pure arithmetic shared by the keying engine, the
// transmit controls and the tools.
#pragma once

#include <array>
#include <string>

#include "common/SpeedSteps.h"

namespace morvane::transmit {

using common::kDefaultSpeedStep;
using common::kSpeedStepCount;

// The four element weights, in dots.
using Weights = common::KeyingWeights;

using common::DotLengthMs;

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
