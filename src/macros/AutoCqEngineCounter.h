// Auto CQ's counters as the keying engine sees them: the engine lowers the
// characters left as it takes text and marks the repetition finished.
#pragma once

#include "macros/AutoCq.h"
#include "transmit/KeyingHooks.h"

namespace morvane::macros {

class AutoCqEngineCounter final : public transmit::AutoCqCounter {
  public:
    explicit AutoCqEngineCounter(AutoCq& autoCq) : autoCq_(autoCq) {}
    bool Running() const override { return autoCq_.Running(); }
    bool Finished() const override { return autoCq_.Waiting(); }
    int CountDown(int characters) override { return autoCq_.CountDown(characters); }
    int Remaining() const override { return autoCq_.Remaining(); }
    void MarkFinished() override { autoCq_.MarkFinished(); }
    void Stop() override { autoCq_.Stop(); }

  private:
    AutoCq& autoCq_;
};

}  // namespace morvane::macros
