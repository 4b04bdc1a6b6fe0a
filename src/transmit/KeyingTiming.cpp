#include "transmit/KeyingTiming.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace morvane::transmit {

int RoundHalfUpMs(double ms) {
    return static_cast<int>(ms + 0.5);
}

int ElementDurationMs(char code, double dotMs, const Weights& weights) {
    switch (code) {
        case '1':
            return RoundHalfUpMs(dotMs * weights.Dot);
        case '3':
            return RoundHalfUpMs(dotMs * weights.Dash);
        case '0':
        case '4':
            return RoundHalfUpMs(dotMs);
        case '5':
            return RoundHalfUpMs(dotMs * weights.CharSpace);
        case '2':
            return RoundHalfUpMs(dotMs * (weights.CharSpace - 1.0));
        case '6': {
            // Word spaces shorter than the loading steps around them collapse
            // to a token 10 ms so the timer is still re-armed.
            int ms = RoundHalfUpMs(dotMs * (weights.WordSpace - 4.0));
            return ms <= 0 ? 10 : ms;
        }
        default:
            return -1;
    }
}

int ParisSpeedPerMin(double dotMs, const Weights& weights) {
    double total = 10 * dotMs * weights.Dot + 4 * dotMs * weights.Dash + 9 * dotMs +
                   4 * dotMs * weights.CharSpace;
    if (weights.WordSpace > weights.CharSpace)
        total += dotMs * weights.WordSpace;
    return static_cast<int>(300000.0 / total + 0.5);
}

std::string SpeedLabelText(int speedStep, const Weights& weights) {
    char text[32];
    std::snprintf(text, sizeof text, "%d/Min", ParisSpeedPerMin(DotLengthMs(speedStep), weights));
    return text;
}

int StepForReceivedSpeed(int receivedPerMin, const Weights& weights) {
    for (int step = kSpeedStepCount - 1; step >= 0; --step) {
        double d = DotLengthMs(step);
        auto term = [](double x) { return static_cast<long>(x); };
        long total = term(10 * d * weights.Dot) + term(4 * d * weights.Dash) + term(9 * d) +
                     term(4 * d * weights.CharSpace) + term(d * weights.WordSpace);
        int speed = static_cast<int>(300000.0 / static_cast<double>(total) + 0.5);
        if (speed <= receivedPerMin)
            return step;
    }
    return 0;
}

int ReceivedSpeedFromLabel(const std::string& label) {
    if (label.size() <= 4)
        return 0;
    std::string_view digits(label.data(), label.size() - 4);
    int value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end == digits.data())
        return 0;
    return value;
}

}  // namespace morvane::transmit
