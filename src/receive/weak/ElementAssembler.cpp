#include "receive/weak/ElementAssembler.h"

#include <algorithm>
#include <cmath>

namespace morvane::receive::weak {

namespace {

// An open space ends the character this far past the border, so that a
// space still growing is not cut off at its first uncertain steps.
constexpr double kOpenCharacterGapFactor = 1.25;
constexpr double kLoneElementFactor = 0.25;
// Runs this clear teach the rhythm; unclear ones may be noise.
constexpr double kRhythmClarity = 0.6;

// How well a run's summed log-likelihood ratio matches what a clean run of
// its kind and length would give: noise that the search took for a dot
// reaches only part of a real dot's sum.
double Clarity(double strength, double expected) {
    if (expected == 0.0)
        return 0.5;
    const double ratio = strength / expected;
    const double x = std::clamp((ratio - 0.1) / 0.5, 0.0, 1.0);
    return 0.1 + 0.9 * x * x * (3.0 - 2.0 * x);
}

// How clearly `dots` falls on one side of `border`, between typical lengths
// `low` and `high` (0.5 on the border, towards 1 at the typical lengths).
double ClassConfidence(double dots, double low, double border, double high) {
    const double distance =
        dots < border ? (border - dots) / (border - low) : (dots - border) / (high - border);
    return 0.5 + 0.5 * std::min(1.0, distance * 2.0);
}

}  // namespace

ElementAssembler::ElementAssembler(decode::CharacterSink& sink, ConfidenceListener* listener)
    : sink_(sink), listener_(listener) {}

void ElementAssembler::Reset() {
    runSteps_ = 0;
    runStrength_ = 0.0;
    elements_ = 0;
    code_ = 1;
    confidence_ = 1.0;
    wordSpaceDue_ = false;
    held_.Count = 0;
    rhythm_.Reset();
}

void ElementAssembler::OnRunPiece(bool mark, int steps, double strength) {
    if (runSteps_ > 0 && mark != runMark_)
        CloseRun();
    // The next character begins: a held one did not stand alone.
    if (mark && held_.Count > 0) {
        Print(held_);
        held_.Count = 0;
    }
    runMark_ = mark;
    runSteps_ += steps;
    runStrength_ += strength;
    if (!mark)
        SpaceLength(runSteps_);
}

void ElementAssembler::OnSpaceProgress(int steps) {
    if (runSteps_ > 0 && runMark_)
        CloseRun();
    SpaceLength((runMark_ ? 0 : runSteps_) + steps);
}

// A character is as certain as its least certain run.
void ElementAssembler::Weigh(double runConfidence) {
    confidence_ = std::min(confidence_, runConfidence);
}

void ElementAssembler::CloseRun() {
    const double dots = runSteps_ / dotSteps_;
    if (runMark_) {
        const double border = rhythm_.DashBorder();
        const double clarity = Clarity(runStrength_, runSteps_ * markPerStep_);
        if (elements_ < decode::kMaxCharacterElements) {
            markLengths_[elements_] = runSteps_;
            code_ = 2 * code_ + (dots > border ? 1 : 0);
            ++elements_;
            Weigh(clarity * ClassConfidence(dots, 1.0, border, 3.0));
        }
        if (clarity >= kRhythmClarity)
            rhythm_.AddMark(dots);
        if (elements_ == decode::kMaxCharacterElements)
            EndCharacter();
    } else {
        const double border = rhythm_.CharacterBorder();
        const double clarity = Clarity(runStrength_, runSteps_ * spacePerStep_);
        if (elements_ > 0) {
            Weigh(clarity * ClassConfidence(dots, 1.0, border, 3.0));
            if (dots < border)
                gapLengths_[elements_] = runSteps_;
            else
                EndCharacter();
        }
        if (clarity >= kRhythmClarity)
            rhythm_.AddSpace(dots);
    }
    runSteps_ = 0;
    runStrength_ = 0.0;
}

void ElementAssembler::SpaceLength(int steps) {
    // A space still open ends the character once it is clearly no inner gap;
    // a closed one is judged on its whole length in CloseRun.
    const double dots = steps / dotSteps_;
    if (dots >= kOpenCharacterGapFactor * rhythm_.CharacterBorder() && elements_ > 0)
        EndCharacter();
    if (dots < rhythm_.WordBorder())
        return;
    if (held_.Count > 0) {
        // A lone dot or dash between word spaces is what noise most often
        // makes of itself.
        held_.Confidence *= kLoneElementFactor;
        Print(held_);
        held_.Count = 0;
    }
    if (wordSpaceDue_) {
        sink_.EmitWordSpace();
        wordSpaceDue_ = false;
    }
}

void ElementAssembler::Finish() {
    if (runSteps_ > 0)
        CloseRun();
    if (elements_ > 0)
        EndCharacter();
    SpaceLength(static_cast<int>(std::ceil(rhythm_.WordBorder() * dotSteps_)));
}

void ElementAssembler::EndCharacter() {
    const Finished finished{.Code = code_, .Count = elements_, .Confidence = confidence_};
    const bool afterWordSpace = !wordSpaceDue_;
    elements_ = 0;
    code_ = 1;
    confidence_ = 1.0;
    if (finished.Count == 1 && afterWordSpace) {
        held_ = finished;
        return;
    }
    Print(finished);
}

void ElementAssembler::Print(const Finished& finished) {
    if (finished.Confidence < squelch_)
        return;
    if (listener_ != nullptr)
        listener_->NextConfidence(static_cast<float>(finished.Confidence));
    wordSpaceDue_ = true;
    if (!sink_.ExtendOn() || finished.Count == 1) {
        sink_.EmitCharacter(finished.Code);
        return;
    }
    const int count = finished.Count;
    const int dashThreshold = static_cast<int>(std::lround(rhythm_.DashBorder() * dotSteps_));
    gapLengths_[0] = 0;
    const decode::ExtendedCharacter character{
        .CodeNumber = finished.Code,
        .ElementCount = count,
        .MarkLengths = std::span<const int>(markLengths_.data(), static_cast<std::size_t>(count)),
        .GapLengths = std::span<const int>(gapLengths_.data(), static_cast<std::size_t>(count)),
        .DashThreshold = dashThreshold,
        .CharGapThreshold = static_cast<int>(std::lround(rhythm_.CharacterBorder() * dotSteps_)),
        .PartialFlush = false};
    sink_.EmitExtended(character);
}

}  // namespace morvane::receive::weak
