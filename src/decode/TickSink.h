// The consumer of the level stream: one call per tick of 32 samples. The
// timing step implements it; the receive chain feeds it.
#pragma once

namespace morvane::decode {

class TickSink {
  public:
    virtual ~TickSink() = default;
    // SignalLevel and Threshold in dB (−90 to 0); runs on the capture thread.
    virtual void TimingStep(int SignalLevel, int Threshold) = 0;
};

}  // namespace morvane::decode
