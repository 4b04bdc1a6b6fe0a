// Auto CQ's counters as the keying engine and the transmit controls see them:
// the engine lowers the characters left as it takes text and marks the
// repetition finished; a clear of the transmit window stops Auto CQ as any
// early stop does, label enabled again.
#pragma once

#include "macros/MacroController.h"
#include "transmit/KeyingHooks.h"

namespace morvane::macros {

class AutoCqEngineCounter final : public transmit::AutoCqCounter {
  public:
    explicit AutoCqEngineCounter(MacroController& macros)
        : macros_(macros), autoCq_(macros.AutoCqCounters()) {}
    bool Running() const override { return autoCq_.Running(); }
    bool Finished() const override { return autoCq_.Waiting(); }
    int CountDown(int characters) override { return autoCq_.CountDown(characters); }
    int Remaining() const override { return autoCq_.Remaining(); }
    void MarkFinished() override { autoCq_.MarkFinished(); }
    // User-interface thread only (the clears).
    void Stop() override { macros_.StopAutoCq(); }

  private:
    MacroController& macros_;
    AutoCq& autoCq_;
};

}  // namespace morvane::macros
