// What the receive chain feeds once per tick (32 samples at 11025 Hz, about
// 2.90 ms) after it has computed the filtered tone level: the element timing
// of the decoder listens here.
#pragma once

namespace morvane::receive {

class TickSink {
  public:
    virtual ~TickSink() = default;
    // `SignalLevel` and `Threshold` in dB; the level is a mark when above.
    virtual void TimingStep(int SignalLevel, int Threshold) = 0;
};

}  // namespace morvane::receive
