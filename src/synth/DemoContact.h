// The built-in demonstration signal: a plausible CW contact as a receiver
// would hear it — band noise, slow fading, a weaker station nearby, the two
// operators at different speeds, and one over in Wabun opened and closed by
// the bracket signs. Rendered on the fly and repeated for as long as asked.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "synth/CwSynth.h"

namespace morvane::synth {

struct DemoOver {
    std::string Text;    // as sent, UTF-8
    bool Wabun = false;  // kana between the opening and closing bracket signs
    int SpeedStep = 15;
    double ToneHz = 603.0;
};

// The overs of the contact, in order.
std::span<const DemoOver> DemoOvers();

// One pass of the contact as generator input (the main stations, then the
// weaker neighbour); `seed` varies noise, jitter and fading.
struct DemoScript {
    SynthConfig Config;
    std::vector<Station> Stations;
    double DurationMs = 0.0;
};
DemoScript MakeDemoScript(std::uint64_t seed);

// Endless stereo demo audio at 11025 Hz: each pass of the contact uses the
// next seed, so repeats are not identical.
class DemoStream {
  public:
    explicit DemoStream(std::uint64_t seed = 1);
    // Fills interleaved stereo frames.
    void Render(std::span<std::int16_t> interleaved);
    std::int64_t FramesRendered() const { return rendered_; }

  private:
    std::uint64_t seed_;
    std::unique_ptr<CwSynth> pass_;
    std::int64_t rendered_ = 0;
};

}  // namespace morvane::synth
