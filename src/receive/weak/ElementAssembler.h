// Turns decided mark and space runs into characters: marks longer than about
// two dots are dashes, spaces of about two dots or more end a character, five
// or more a word, the borders following the sender's rhythm. Finished characters go to the same
// CharacterSink as the standard decoder's (so the code tables, language switching, kana and Extend
// apply unchanged), each with a confidence made of how clearly its runs stood out of the noise and
// how clearly their lengths fell into one class. Characters below the squelch level are dropped,
// and a lone E or T between word spaces (noise's favourite) has to be clearer than others.
#pragma once

#include <array>
#include <atomic>

#include "decode/CharacterSink.h"
#include "receive/weak/MarkSpaceViterbi.h"
#include "receive/weak/SenderRhythm.h"

namespace morvane::receive::weak {

// Characters under this confidence are mostly noise; higher levels start
// dropping real characters at weak signals.
inline constexpr double kDefaultSquelch = 0.1;

// Told the confidence (0..1) of each character just before it is emitted.
class ConfidenceListener {
  public:
    virtual ~ConfidenceListener() = default;
    virtual void NextConfidence(float confidence) = 0;
};

class ElementAssembler final : public RunSink {
  public:
    // `listener` may be null.
    ElementAssembler(decode::CharacterSink& sink, ConfidenceListener* listener);

    void SetDotSteps(double dotSteps) { dotSteps_ = dotSteps; }
    // What one step of a clean mark and of a clean space adds to a run's
    // strength at the present levels (positive and negative).
    void SetExpectedStrength(double markPerStep, double spacePerStep) {
        markPerStep_ = markPerStep;
        spacePerStep_ = spacePerStep;
    }
    // Any thread: characters under this confidence are not printed.
    void SetSquelch(double level) { squelch_ = level; }
    double Squelch() const { return squelch_; }
    // Ends a character still open (end of the audio).
    void Finish();
    void Reset();

    void OnRunPiece(bool mark, int steps, double strength) override;
    void OnSpaceProgress(int steps) override;

  private:
    void CloseRun();
    void Weigh(double runConfidence);
    void SpaceLength(int steps);
    struct Finished {
        long long Code = 1;
        int Count = 0;
        double Confidence = 1.0;
    };
    void EndCharacter();
    void Print(const Finished& finished);

    decode::CharacterSink& sink_;
    ConfidenceListener* listener_;
    std::atomic<double> squelch_{kDefaultSquelch};
    double dotSteps_ = 20.0;
    double markPerStep_ = 0.0;
    double spacePerStep_ = 0.0;
    SenderRhythm rhythm_;

    // The run being built from pieces.
    bool runMark_ = false;
    int runSteps_ = 0;
    double runStrength_ = 0.0;

    // The character being built.
    int elements_ = 0;
    long long code_ = 1;
    double confidence_ = 1.0;
    std::array<int, decode::kMaxCharacterElements> markLengths_{};
    std::array<int, decode::kMaxCharacterElements> gapLengths_{};
    bool wordSpaceDue_ = false;  // a character was printed since the last word space
    // A one-element character after a word space, printed once the next
    // space shows whether it stands alone.
    Finished held_;
};

}  // namespace morvane::receive::weak
