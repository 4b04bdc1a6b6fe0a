// The four keying actions the engine drives. Implementations: serial lines,
// the keyer board, the USB interface, recorders and the sidetone.
#pragma once

namespace morvane::transmit {

class KeyOutput {
  public:
    virtual ~KeyOutput() = default;
    virtual void KeyDown() = 0;
    virtual void KeyUp() = 0;
    virtual void PttOn() = 0;
    virtual void PttOff() = 0;
};

// Forwards every action to two outputs (e.g. a keying line and a sidetone).
class KeyOutputPair final : public KeyOutput {
  public:
    KeyOutputPair(KeyOutput& first, KeyOutput& second) : first_(first), second_(second) {}
    void KeyDown() override {
        first_.KeyDown();
        second_.KeyDown();
    }
    void KeyUp() override {
        first_.KeyUp();
        second_.KeyUp();
    }
    void PttOn() override {
        first_.PttOn();
        second_.PttOn();
    }
    void PttOff() override {
        first_.PttOff();
        second_.PttOff();
    }

  private:
    KeyOutput& first_;
    KeyOutput& second_;
};

}  // namespace morvane::transmit
