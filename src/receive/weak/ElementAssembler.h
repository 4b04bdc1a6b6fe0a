// Turns decided mark and space runs into characters. The runs up to a word
// space are read again from the steps' own evidence by a search over whole
// characters of the text table in use (a dot the noise hid between two inner
// gaps leaves a space as long as a character space, so the stretch does not
// end there); a character is handed on once it has a short while of what
// follows it, so the text keeps pace with the audio. The borders between
// dots and dashes, inner gaps, character and word spaces follow the sender's
// rhythm, which also gives the search its length priors. Finished characters
// go to the same CharacterSink as the standard decoder's (so the code tables,
// language switching, kana and Extend apply unchanged), each with a
// confidence made of how clearly its runs stood out of the noise and how
// clearly their lengths fell into the class the search chose. With Latin
// text the search also weighs what amateur text is likely to say next
// (TextPrior); kana are read on the evidence alone. Characters
// below the squelch level are dropped, and a lone E or T between word spaces
// (noise's favourite) has to be clearer than others.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "decode/CharacterSink.h"
#include "receive/weak/CharacterSearch.h"
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
    // Where the stretches between clear spaces are read again from as whole
    // characters; null: the runs are read by the borders alone.
    void SetEvidence(const StepEvidence* evidence) { evidence_ = evidence; }
    // Characters are handed on once they ended this long ago, read with what
    // followed them meanwhile (bounds their delay).
    void SetHoldSteps(int steps) { holdSteps_ = steps; }
    // What one step of a clean mark and of a clean space adds to a run's
    // strength at the present levels (positive and negative).
    void SetExpectedStrength(double markPerStep, double spacePerStep) {
        markPerStep_ = markPerStep;
        spacePerStep_ = spacePerStep;
    }
    // Any thread: whether the search weighs readings by likely text.
    void SetTextPrior(bool on) { textPriorOn_ = on; }
    // Any thread: characters under this confidence are not printed.
    void SetSquelch(double level) { squelch_ = level; }
    double Squelch() const { return squelch_; }
    const SenderRhythm& Rhythm() const { return rhythm_; }
    // Ends a character still open (end of the audio).
    void Finish();
    void Reset();

    void OnRunPiece(std::int64_t start, bool mark, int steps, double strength) override;
    void OnSpaceProgress(int steps) override;

  private:
    // A run of the stretch since the last clear character space.
    struct SpanRun {
        std::int64_t Start = 0;
        int Steps = 0;
        bool Mark = false;
        bool Long = false;  // a dash, or a space that ends a character
        double Confidence = 1.0;
    };
    void CloseRun();
    // `endsWord`: a word space follows.
    void EndSpan(bool endsWord);
    double SpanBorder() const;
    void ReadByBorders();
    // Returns where the first character left for later begins.
    std::int64_t ReadBySearch(std::int64_t commitBefore, bool endsWord);
    void CommitOld(std::int64_t now);
    void AddElement(int markSteps, bool dash, int gapSteps, double confidence);
    void Weigh(double runConfidence);
    void SpaceLength(int steps);
    struct Finished {
        long long Code = 1;
        int Count = 0;
        double Confidence = 1.0;
    };
    void EndCharacter();
    void Print(const Finished& finished);
    double TextWeight() const;

    decode::CharacterSink& sink_;
    ConfidenceListener* listener_;
    std::atomic<double> squelch_{kDefaultSquelch};
    std::atomic<bool> textPriorOn_{true};
    TextPrior textPrior_;
    int textBefore_ = TextPrior::kWordStart;  // the characters read since the last word space
    double textFit_;                          // how well the prior foresaw the last characters
    double dotSteps_ = 20.0;
    double markPerStep_ = 0.0;
    double spacePerStep_ = 0.0;
    SenderRhythm rhythm_;
    const StepEvidence* evidence_ = nullptr;
    int holdSteps_ = 0;
    std::int64_t committedEnd_ = 0;  // end of the last mark handed on
    CharacterSearch search_;
    std::vector<SpanRun> span_;
    std::vector<double> units_;  // scratch: summed evidence of the search's units
    KnownCodes known_{};

    // The run being built from pieces.
    bool runMark_ = false;
    std::int64_t runStart_ = 0;
    std::int64_t nextStart_ = 0;  // where the next piece should begin
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
