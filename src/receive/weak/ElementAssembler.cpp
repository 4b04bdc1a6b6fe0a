#include "receive/weak/ElementAssembler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace morvane::receive::weak {

namespace {

// An open space ends the character this far past the border, so that a
// space still growing is not cut off at its first uncertain steps.
constexpr double kOpenCharacterGapFactor = 1.25;
constexpr double kLoneElementFactor = 0.25;
// Runs this clear teach the rhythm; unclear ones may be noise.
constexpr double kRhythmClarity = 0.6;
// The search reads lengths in units of about this many per dot.
constexpr double kSearchUnitsPerDot = 6.0;
// A run the search put on the other side of its border than its length.
constexpr double kAgainstBorderConfidence = 0.4;
// The text prior's weight against the evidence while it foresees the text.
constexpr double kTextPriorWeight = 0.8;
// How it foresaw the text is averaged over about 16 characters; the
// weight fades from full at the first mean log ratio to none at the second
// (plain text and contacts average about +0.5, random groups and calls
// about -0.9).
constexpr double kTextFitRate = 1.0 / 16.0;
constexpr double kTextFitFull = 0.2;
constexpr double kTextFitNone = -0.6;
// From a cold start the text is judged afresh, from halfway.
constexpr double kTextFitStart = 0.5 * (kTextFitFull + kTextFitNone);

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
    : sink_(sink), listener_(listener), textFit_(kTextFitStart) {}

void ElementAssembler::Reset() {
    runSteps_ = 0;
    runStrength_ = 0.0;
    nextStart_ = 0;
    committedEnd_ = 0;
    elements_ = 0;
    code_ = 1;
    confidence_ = 1.0;
    wordSpaceDue_ = false;
    textBefore_ = TextPrior::kWordStart;
    textFit_ = kTextFitStart;
    held_.Count = 0;
    span_.clear();
    rhythm_.Reset();
}

void ElementAssembler::OnRunPiece(std::int64_t start, bool mark, int steps, double strength) {
    // The search started again (a new over): the stretch held refers to
    // steps it no longer has.
    if (start != nextStart_) {
        if (!span_.empty())
            ReadByBorders();
        span_.clear();
        committedEnd_ = 0;
    }
    nextStart_ = start + steps;
    if (runSteps_ > 0 && mark != runMark_)
        CloseRun();
    // The next character begins: a held one did not stand alone.
    if (mark && held_.Count > 0) {
        Print(held_);
        held_.Count = 0;
    }
    if (runSteps_ == 0)
        runStart_ = start;
    runMark_ = mark;
    runSteps_ += steps;
    runStrength_ += strength;
    if (!mark)
        SpaceLength(runSteps_);
    CommitOld(nextStart_);
}

void ElementAssembler::OnSpaceProgress(int steps) {
    if (runSteps_ > 0 && runMark_)
        CloseRun();
    SpaceLength((runMark_ ? 0 : runSteps_) + steps);
    CommitOld(nextStart_ + steps);
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
        span_.push_back(SpanRun{.Start = runStart_,
                                .Steps = runSteps_,
                                .Mark = true,
                                .Long = dots > border,
                                .Confidence = clarity * ClassConfidence(dots, 1.0, border, 3.0)});
        if (clarity >= kRhythmClarity)
            rhythm_.AddMark(dots);
        if (std::ranges::count_if(span_, [](const SpanRun& r) { return r.Mark; }) >=
            decode::kMaxCharacterElements)
            EndSpan(false);
    } else {
        const double border = rhythm_.CharacterBorder();
        const double clarity = Clarity(runStrength_, runSteps_ * spacePerStep_);
        if (!span_.empty()) {
            if (dots >= SpanBorder())
                EndSpan(true);
            else
                span_.push_back(
                    SpanRun{.Start = runStart_,
                            .Steps = runSteps_,
                            .Mark = false,
                            .Long = dots >= border,
                            .Confidence = clarity * ClassConfidence(dots, 1.0, border, 3.0)});
        }
        if (clarity >= kRhythmClarity)
            rhythm_.AddSpace(dots);
    }
    runSteps_ = 0;
    runStrength_ = 0.0;
}

void ElementAssembler::SpaceLength(int steps) {
    // A space still open ends the stretch once it is clearly no inner gap; a
    // closed one is judged on its whole length in CloseRun.
    const double dots = steps / dotSteps_;
    if (!span_.empty() && dots >= SpanBorder())
        EndSpan(true);
    if (dots < rhythm_.WordBorder())
        return;
    textBefore_ = TextPrior::kWordStart;
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

// Spaces of a character space or more may be a hidden dot between two inner
// gaps, so the stretch goes on to the next word space; its characters are
// handed on meanwhile as they get old enough (CommitOld).
double ElementAssembler::SpanBorder() const {
    const double character = kOpenCharacterGapFactor * rhythm_.CharacterBorder();
    if (evidence_ == nullptr)
        return character;
    return std::max(character, rhythm_.WordBorder());
}

// Hands on the characters of the stretch that ended `holdSteps_` before
// `now`, read with what followed them; the rest stays for the next reading.
void ElementAssembler::CommitOld(std::int64_t now) {
    if (evidence_ == nullptr)
        return;
    if (span_.empty())
        return;
    // The end of the first character: a space that ends one, or the space
    // now open once it is long enough to.
    const auto gap =
        std::ranges::find_if(span_, [](const SpanRun& r) { return !r.Mark && r.Long; });
    std::int64_t end = 0;
    if (gap != span_.end()) {
        end = gap->Start;
    } else {
        const bool spaceOpen = span_.back().Mark && (runSteps_ == 0 || !runMark_);
        end = span_.back().Start + span_.back().Steps;
        if (!spaceOpen ||
            now - end < kOpenCharacterGapFactor * rhythm_.CharacterBorder() * dotSteps_)
            return;
    }
    if (now - end < holdSteps_)
        return;
    const std::int64_t cut = ReadBySearch(now - holdSteps_, false);
    if (cut == std::numeric_limits<std::int64_t>::max()) {
        span_.clear();
        return;
    }
    std::erase_if(span_, [cut](const SpanRun& r) { return r.Start + r.Steps <= cut; });
    while (!span_.empty() && !span_.front().Mark)
        span_.erase(span_.begin());
}

// The stretch between two clear spaces is complete: read it again from the
// steps' evidence as whole characters.
void ElementAssembler::EndSpan(bool endsWord) {
    if (span_.empty())
        return;
    if (evidence_ == nullptr)
        ReadByBorders();
    else
        ReadBySearch(std::numeric_limits<std::int64_t>::max(), endsWord);
    span_.clear();
}

void ElementAssembler::AddElement(int markSteps, bool dash, int gapSteps, double confidence) {
    if (elements_ >= decode::kMaxCharacterElements)
        return;
    markLengths_[elements_] = markSteps;
    gapLengths_[elements_] = gapSteps;
    code_ = 2 * code_ + (dash ? 1 : 0);
    ++elements_;
    Weigh(confidence);
}

void ElementAssembler::ReadByBorders() {
    int gap = 0;
    for (const SpanRun& run : span_) {
        if (run.Mark) {
            AddElement(run.Steps, run.Long, gap, run.Confidence);
            continue;
        }
        Weigh(run.Confidence);
        gap = run.Steps;
        if (run.Long)
            EndCharacter();
    }
    if (elements_ > 0)
        EndCharacter();
}

std::int64_t ElementAssembler::ReadBySearch(std::int64_t commitBefore, bool endsWord) {
    const SpanRun& last = span_.back();
    const auto margin = static_cast<std::int64_t>(std::lround(dotSteps_));
    // The margin may reach into a mark still open: what it shows of it is
    // no character yet.
    const auto lastMark =
        std::ranges::find_if(span_.rbegin(), span_.rend(), [](const SpanRun& r) { return r.Mark; });
    commitBefore = std::min(commitBefore, lastMark->Start + lastMark->Steps + margin / 2);
    const std::int64_t from =
        std::max({std::int64_t{0}, span_.front().Start - margin, committedEnd_});
    const std::int64_t to = std::min(evidence_->Newest(), last.Start + last.Steps - 1 + margin);
    // A few units a dot are enough to tell the lengths apart.
    const int unit = std::max(1, static_cast<int>(dotSteps_ / kSearchUnitsPerDot));
    const auto n = static_cast<std::size_t>((to - from + 1) / unit);
    units_.assign(n + 1, 0.0);
    for (std::size_t u = 0; u < n; ++u) {
        const std::int64_t first = from + static_cast<std::int64_t>(u) * unit;
        units_[u + 1] = units_[u] + evidence_->Sum(first, first + unit - 1);
    }
    for (int code = 0; code < kSearchCodes; ++code)
        known_[static_cast<std::size_t>(code)] = code >= 2 && sink_.KnowsCode(code);
    TimingPriors priors;
    for (auto [prior, kind] : {std::pair{&priors.Dot, 0}, std::pair{&priors.Dash, 1}}) {
        prior->LogDots = rhythm_.MarkLogDots(kind);
        prior->Spread = rhythm_.MarkSpread(kind);
    }
    for (auto [prior, kind] : {std::pair{&priors.Inner, 0}, std::pair{&priors.Character, 1},
                               std::pair{&priors.Word, 2}}) {
        prior->LogDots = rhythm_.SpaceLogDots(kind);
        prior->Spread = rhythm_.SpaceSpread(kind);
    }
    const double textWeight = TextWeight();
    const TextContext text{.Prior = textWeight > 0.0 ? &textPrior_ : nullptr,
                           .Weight = textWeight,
                           .Before = textBefore_,
                           .EndsWord = endsWord};
    const auto marks = search_.Search(units_, dotSteps_ / unit, priors, known_, text);

    const int dashSteps = static_cast<int>(std::lround(rhythm_.DashBorder() * dotSteps_));
    const int gapSteps = static_cast<int>(std::lround(rhythm_.CharacterBorder() * dotSteps_));
    std::int64_t previousEnd = 0;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const FoundMark& mark = marks[i];
        const std::int64_t start = from + static_cast<std::int64_t>(mark.Start) * unit;
        const std::int64_t end = from + static_cast<std::int64_t>(mark.End) * unit;
        if (mark.FirstOfCharacter) {
            if (elements_ > 0)
                EndCharacter();
            // A character still young waits to be read again with more of
            // what follows it.
            std::size_t tail = i;
            while (tail + 1 < marks.size() && !marks[tail + 1].FirstOfCharacter)
                ++tail;
            if (from + static_cast<std::int64_t>(marks[tail].End) * unit > commitBefore) {
                // The next reading begins in the middle of the space before it.
                if (i > 0)
                    committedEnd_ = (previousEnd + start) / 2;
                return committedEnd_;
            }
        }
        const int steps = static_cast<int>(end - start);
        const double dots = steps / dotSteps_;
        const double border = rhythm_.DashBorder();
        const double clarity = Clarity(evidence_->Sum(start, end - 1), steps * markPerStep_);
        const double fit = mark.Dash == (dots > border) ? ClassConfidence(dots, 1.0, border, 3.0)
                                                        : kAgainstBorderConfidence;
        int gap = 0;
        if (!mark.FirstOfCharacter) {
            gap = static_cast<int>(start - previousEnd);
            const double gapDots = gap / dotSteps_;
            const double gapBorder = rhythm_.CharacterBorder();
            const double gapClarity =
                Clarity(evidence_->Sum(previousEnd, start - 1), gap * spacePerStep_);
            Weigh(gapClarity * (gapDots < gapBorder ? ClassConfidence(gapDots, 1.0, gapBorder, 3.0)
                                                    : kAgainstBorderConfidence));
            // Extend reads the lengths again by the borders: keep them on the
            // side the search chose.
            gap = std::min(gap, gapSteps - 1);
        }
        AddElement(mark.Dash ? std::max(steps, dashSteps + 1) : std::min(steps, dashSteps),
                   mark.Dash, gap, clarity * fit);
        previousEnd = end;
    }
    if (elements_ > 0)
        EndCharacter();
    return std::numeric_limits<std::int64_t>::max();
}

void ElementAssembler::Finish() {
    if (runSteps_ > 0)
        CloseRun();
    EndSpan(true);
    SpaceLength(static_cast<int>(std::ceil(rhythm_.WordBorder() * dotSteps_)));
}

void ElementAssembler::EndCharacter() {
    const Finished finished{.Code = code_, .Count = elements_, .Confidence = confidence_};
    const int symbol = TextPrior::SymbolOf(code_);
    if (!sink_.KanaTable())
        textFit_ += (textPrior_.LogRatio(textBefore_, symbol) - textFit_) * kTextFitRate;
    textBefore_ = TextPrior::Next(textBefore_, symbol);
    const bool afterWordSpace = !wordSpaceDue_;
    elements_ = 0;
    code_ = 1;
    confidence_ = 1.0;
    // A stretch read at once may hold a character after a held one.
    if (held_.Count > 0) {
        Print(held_);
        held_.Count = 0;
    }
    if (finished.Count == 1 && afterWordSpace) {
        held_ = finished;
        return;
    }
    Print(finished);
}

// Text the prior keeps failing to foresee (random groups, unusual calls)
// is read on the evidence alone, as an operator stops guessing words.
double ElementAssembler::TextWeight() const {
    if (!textPriorOn_ || sink_.KanaTable())
        return 0.0;
    const double x =
        std::clamp((textFit_ - kTextFitNone) / (kTextFitFull - kTextFitNone), 0.0, 1.0);
    return kTextPriorWeight * x;
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
