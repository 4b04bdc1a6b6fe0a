// The consumer of the level stream: one call per tick of 32 samples.
#pragma once

namespace morvane::receive {

class TickSink {
  public:
    virtual ~TickSink() = default;
    // SignalLevel and Threshold in dB (−90 to 0); runs on the capture thread.
    virtual void TimingStep(int SignalLevel, int Threshold) = 0;
};

}  // namespace morvane::receive
