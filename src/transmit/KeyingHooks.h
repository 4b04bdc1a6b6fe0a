// What the keying engine asks of the rest of the station: the receive path it
// suspends while sending, the controls that show tag changes, function-key
// tags, and the Auto CQ counters. Every hook runs on the keying thread, so an
// implementation that touches a window posts to the window's owner.
#pragma once

#include <string>

namespace morvane::transmit {

// The receive path's side of the hand-over.
class ReceiveHandOver {
  public:
    virtual ~ReceiveHandOver() = default;
    virtual void SetReceiveEnabled(bool enabled) = 0;  // `ReceiveEnabled`
    virtual void ResetSpeedMeasurement() = 0;          // decoder ring index back to 0
    virtual void ResetSendMark() = 0;                  // clear the receive work block
    virtual void ResetElementTiming() = 0;             // restart the mark/space counters
};

// Things tags and the end of a character do beyond keying.
class KeyingListener {
  public:
    virtual ~KeyingListener() = default;
    // A speed tag moved the transmit speed to `step`; the slider follows.
    virtual void SpeedStepChanged(int /*step*/) {}
    // A weight tag chose `value`; `which` is 'D' dot, 'A' dash, 'C' char space, 'W' word space.
    virtual void WeightShown(char /*which*/, double /*value*/) {}
    // "<VK_F1>", "<VK_F5>", "<VK_F6>" or "<VK_F7>": `key` is 1, 5, 6 or 7.
    virtual void FunctionKeyTag(int /*key*/) {}
    // The end of every sent character reloads the automatic-clear countdown.
    virtual void CharacterFinished() {}
    // Text of the clock display for "<TXTIME>" stamps, without brackets.
    virtual std::string ClockText() { return {}; }
};

// The Auto CQ counters, owned by the macro subsystem.
class AutoCqCounter {
  public:
    virtual ~AutoCqCounter() = default;
    virtual bool Running() const = 0;
    virtual bool Finished() const = 0;
    // Counts `characters` of the Auto CQ text as sent; returns what remains.
    virtual int CountDown(int characters) = 0;
    virtual int Remaining() const = 0;
    // Marks the Auto CQ text finished and loads its wait.
    virtual void MarkFinished() = 0;
    // Stops Auto CQ (running and finished cleared, its label enabled again);
    // the transmit clears call it on the user-interface thread.
    virtual void Stop() = 0;
};

}  // namespace morvane::transmit
