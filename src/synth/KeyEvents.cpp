#include "synth/KeyEvents.h"

#include <algorithm>

namespace morvane::synth {

void AppendPattern(std::string_view pattern, double dotMs, const KeyingWeights& weights,
                   double& timeMs, std::vector<KeyEvent>& events) {
    auto mark = [&](double dots) {
        events.push_back({timeMs, true});
        timeMs += dots * dotMs;
        events.push_back({timeMs, false});
    };
    for (char code : pattern) {
        switch (code) {
            case '1':
                mark(weights.Dot);
                break;
            case '3':
                mark(weights.Dash);
                break;
            case '0':
            case '4':
                timeMs += dotMs;
                break;
            case '5':
                timeMs += weights.CharSpace * dotMs;
                break;
            // The keyer spends one more dot loading the next character after
            // each closing code, hence the "+ 1".
            case '2':
                timeMs += weights.CharSpace * dotMs;
                break;
            case '6':
                timeMs += std::max(weights.WordSpace - 4.0, 0.0) * dotMs + dotMs;
                break;
            default:
                break;
        }
    }
}

}  // namespace morvane::synth
