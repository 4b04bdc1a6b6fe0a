#include "receive/weak/WeakDecoder.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "receive/weak/SpeedSearch.h"

namespace morvane::receive::weak {

namespace {

constexpr int kMaxDotSteps = 56;              // 160 ms, 7.5 wpm
constexpr double kMinDotSteps = 8.0;          // 23 ms, 52 wpm
constexpr double kStartDotSteps = 20.0;       // 58 ms, 20 wpm
constexpr std::size_t kLevelWindow = 1378;    // 4 s of steps
constexpr std::size_t kLookaheadSteps = 100;  // levels see 0.29 s ahead
constexpr std::size_t kGateLateSteps = 345;   // 1 s
// The runs only mark out the stretches the character search reads again, so
// they need not settle long.
constexpr int kDecisionLagSteps = 100;  // 0.29 s
// A character is read again with what followed it for this long (0.29 s)
// before it is handed on: with the lag and the look-ahead, text stays
// within 1.5 s of the audio.
constexpr int kHoldSteps = 100;
constexpr std::size_t kFirstFitSteps = 100;
// A tone this far from the last one is another signal: forget the levels.
constexpr double kRetuneHz = 15.0;
// Below this share of mark steps the window holds no keying worth decoding.
constexpr double kMinMarkShare = 0.15;
// Blocks with a signal the decisions may wait for a first speed estimate
// (4.5 s: eight marks at 10 wpm).
constexpr int kMaxUndecidedBlocks = 48;
// Per step while no signal is present: plainly space.
constexpr double kAbsentLlr = -1.0;
// Steps of a smoothed envelope are far from independent: this many times the
// moving-average length count as one.
constexpr double kCorrelatedSteps = 0.65;
// Each of the two moving averages is up to this many dots long: a triangle a
// little over a dot, near the matched filter of a dot.
constexpr double kAverageDots = 0.625;
// Until the speed is known: a clear signal gets a low-pass that suits fast
// sending (a long one would fill in the spaces of 40 wpm and mislead the
// speed search), a weak one the low-pass of 20 wpm, which it needs to be
// seen at all. The acquisition is decoded again once the speed is known.
constexpr int kStartAverageSteps = 12;
// Silence this long ends an over (1.2 s, and at least 15 dots, longer than
// any word space): the next may come at another speed.
constexpr double kBreakSteps = 1.2 * 11025 / 32;
constexpr double kBreakDots = 15.0;
// Near the noise the search's silences include faded or missed marks: no
// new acquisition there, the speed found goes on.
constexpr double kMinBreakContrast = 3.0;
constexpr int kStartAverageStepsClear = 5;
// A first speed is taken for half its value when the acquisition, filtered
// and timed again for half, is found at under this share of it and its runs
// cost under this share of what the whole speed's own runs cost. Not below
// this signal-to-noise ratio per step (about 0.65 at -3 dB, 0.35 at -6 dB):
// there the shorter low-pass cuts noise into short runs that fit a short dot
// as well, and slow senders were taken for fast ones (10-40 wpm, seeds 101,
// 202, 303: -3 dB 7.4/8.1/10.1 -> 6.6/8.1/10.1 %, -6 dB unchanged).
constexpr double kHalfSpeedShare = 0.7;
constexpr double kHalfSpeedCost = 0.55;
constexpr double kMinProbeStepSnr = 0.45;
// The mark level of the steps being scored is fitted on this many dots
// around them: enough marks for a level, short against a fade of seconds.
constexpr double kLocalDots = 16.0;
constexpr double kMinLocalSteps = 150.0;
// The local level stays above this share of the fit's: lower, noise would be
// taken for marks.
constexpr double kMinLocalShare = 0.3;

// One step's evidence for the timing search.
double StepLlr(double amplitude, const LevelFit& fit, double scale) {
    return std::clamp(MarkLogLikelihoodRatio(amplitude, fit) * scale, -kMaxStepLlr, kMaxStepLlr);
}

// Phase certainty (von Mises concentration) below which the carrier counts
// as unknown and from which it is trusted alone. Noise alone stays under
// the first (the frequency search's best candidate lifts it to 5 or so); a
// signal at -3 dB reaches about 100.
constexpr double kKappaUnknown = 12.0;
constexpr double kKappaKnown = 30.0;
// The full coherent ratio of independent steps against the timing search's
// length priors (densities in dots). With priors of one spread for every
// sender it let noise cut runs, and 0.6 was best; with the spreads learned
// from the sender, the full ratio copies best (-3 dB, 18-28 wpm, seeds 101,
// 202, 303: 0.6 -> 1.0 took 9.8/12.0/9.4 % to 7.6/9.5/9.4 %).
constexpr double kCoherentScale = 1.0;
// Each step's in-phase part is averaged over this many dots either side: a
// short low-pass against single noisy steps, far shorter than the
// envelope's, so runs still sum to nearly their matched filter.
constexpr double kCoherentSmoothDots = 0.25;
// A clear signal is copied as well from its envelope, whose timing the rest
// of the chain was tuned on: coherent evidence is faded out from this
// signal-to-noise ratio per step (about 0.7 at -3 dB, 1.4 at 0 dB, 2.8 at
// +3 dB) to the next. Fades of a clear signal still get it.
constexpr double kCoherentOnlyStepSnr = 1.2;
constexpr double kClearStepSnr = 2.4;

// Coherent evidence where the carrier's phase is known, the envelope's where
// it is not, mixed in between.
double BlendLlr(double envelopeLlr, const CarrierView& view) {
    const double trust =
        std::clamp((view.Kappa - kKappaUnknown) / (kKappaKnown - kKappaUnknown), 0.0, 1.0) *
        std::clamp((kClearStepSnr - view.StepSnr()) / (kClearStepSnr - kCoherentOnlyStepSnr), 0.0,
                   1.0);
    if (trust <= 0.0)
        return envelopeLlr;
    const double coherent =
        std::clamp(kCoherentScale * CoherentLlr(view), -kMaxStepLlr, kMaxStepLlr);
    return trust * coherent + (1.0 - trust) * envelopeLlr;
}

// The levels the speed search's runs are judged by. Until the speed is
// known the low-pass is a guess; on a fast sender it fills the spaces in
// and the fit takes the filled-in steps for noise, with a noise level up to
// 40 % too high that hides dots. The carrier tracker's noise, from the
// steps before the low-pass, is free of that: the lower of the two holds.
// (-3 dB, 10-40 wpm, seeds 101/202/303: 15.3 -> 13.0 %.) Once the speed is
// known the fit's own noise serves better, the rest of the chain being
// tuned on it.
LevelFit WithCarrierNoise(LevelFit fit, const CarrierView& view, int averageSteps) {
    const double sigma = view.NoiseSigma * LowPassNoiseGain(averageSteps);
    if (sigma > 0.0 && sigma < fit.NoiseSigma)
        fit.NoiseSigma = sigma;
    return fit;
}

// How likely a step of the envelope is a mark, for weighing the carrier.
double MarkWeight(double amplitude, const LevelFit& fit) {
    const double share = std::clamp(fit.MarkShare, 0.05, 0.95);
    const double odds = MarkLogLikelihoodRatio(amplitude, fit) + std::log(share / (1.0 - share));
    return 1.0 / (1.0 + std::exp(-std::clamp(odds, -30.0, 30.0)));
}

// Whether `window` is better told as marks at `markLevel` among noise, in
// the fit's share, than as noise alone.
bool HoldsMarks(std::span<const float> window, LevelFit fit, double markLevel) {
    fit.MarkLevel = markLevel;
    const double share = std::clamp(fit.MarkShare, 0.05, 0.95);
    double evidence = 0.0;
    for (float a : window)
        evidence += std::log1p(share * std::expm1(std::min(30.0, MarkLogLikelihoodRatio(a, fit))));
    return evidence > 0.0;
}

}  // namespace

WeakDecoder::WeakDecoder(decode::CharacterSink& sink, ConfidenceListener* listener)
    : tracker_(ToneTrackerConfig{.SampleRateHz = kSampleRateHz, .BlockSize = kBlockSize}),
      demodulator_(ToneDemodulatorConfig{.SampleRateHz = kSampleRateHz,
                                         .StepSamples = kStepSamples,
                                         .DelaySamples = 5513}),  // 0.5 s
      carrier_(CarrierTrackerConfig{.StepSeconds = 1.0 * kStepSamples / kSampleRateHz,
                                    .HalfWindowSteps = static_cast<int>(kLookaheadSteps)}),
      levels_(kLevelWindow, kFirstFitSteps),
      viterbi_(kMaxDotSteps),
      assembler_(sink, listener),
      steps_(kBlockSize / kStepSamples + 1),
      rawSteps_(steps_.size()),
      history_(kLevelWindow),
      historyHz_(kLevelWindow),
      ordered_(kLevelWindow),
      orderedHz_(kLevelWindow),
      redone_(kLevelWindow),
      probeLevels_(kLevelWindow, kFirstFitSteps),
      probe_(kMaxDotSteps),
      lookahead_(kLookaheadSteps),
      runs_(512) {
    assembler_.SetEvidence(&viterbi_);
    assembler_.SetHoldSteps(kHoldSteps);
    Reset();
}

void WeakDecoder::Reset() {
    tracker_.Reset();
    demodulator_.Reset();
    carrier_.Reset();
    levels_.Reset();
    viterbi_.Reset();
    assembler_.Reset();
    std::fill(lookahead_.begin(), lookahead_.end(), 0.0f);
    lookaheadAt_ = 0;
    markLevel_ = 0.0;
    presence_.fill(false);
    presenceAt_ = 0;
    toneHz_ = 0.0;
    blocks_ = 0;
    dotSteps_ = kStartDotSteps;
    speedKnown_ = false;
    stepSnr_ = 0.0;
    undecidedBlocks_ = 0;
    historyAt_ = 0;
    historyFilled_ = 0;
    openSteps_ = 0;
    sinceBreak_ = 0;
    newOver_ = false;
    decided_ = false;
    demodulator_.SetAverageSteps(kStartAverageSteps);
    viterbi_.SetRhythm(assembler_.Rhythm());
    viterbi_.SetDotSteps(dotSteps_);
    assembler_.SetDotSteps(dotSteps_);
}

void WeakDecoder::Process(std::span<const float> block) {
    ++blocks_;
    tracker_.Process(block);
    if (std::abs(tracker_.ToneHz() - toneHz_) > kRetuneHz)
        levels_.Reset();
    toneHz_ = tracker_.ToneHz();
    demodulator_.SetToneHz(toneHz_);
    const std::size_t count = demodulator_.Process(block, steps_, rawSteps_);
    presence_[presenceAt_] = tracker_.SignalPresent();
    presenceAt_ = (presenceAt_ + 1) % presence_.size();
    // Two blocks in a row, so a lone spectral fluke opens nothing.
    const bool present = presence_[presenceAt_] &&
                         presence_[(presenceAt_ + 1) % presence_.size()] &&
                         levels_.Fit().MarkShare >= kMinMarkShare;
    const double scale = 1.0 / (kCorrelatedSteps * demodulator_.AverageSteps());
    const LevelFit local = FollowFading();
    // The delay line starts empty: its zeros are no noise level.
    const std::size_t primed = demodulator_.Primed() ? 0 : count;
    for (std::size_t i = 0; i < count; ++i) {
        if (i < primed) {
            viterbi_.Push(kAbsentLlr);
            continue;
        }
        levels_.Push(steps_[i]);
        history_[historyAt_] = rawSteps_[i];
        historyHz_[historyAt_] = static_cast<float>(toneHz_);
        historyAt_ = (historyAt_ + 1) % history_.size();
        historyFilled_ = std::min(historyFilled_ + 1, history_.size());
        const float due = lookahead_[lookaheadAt_];
        lookahead_[lookaheadAt_] = steps_[i];
        lookaheadAt_ = (lookaheadAt_ + 1) % lookahead_.size();
        if (!levels_.Ready())
            levels_.Update();
        const bool weighed = present && levels_.Ready();
        const CarrierView view = FeedCarrier(rawSteps_[i], toneHz_, steps_[i], weighed);
        stepSnr_ = view.StepSnr();
        double llr = kAbsentLlr;
        if (weighed) {
            llr = StepLlr(
                due,
                speedKnown_ ? local : WithCarrierNoise(local, view, demodulator_.AverageSteps()),
                scale);
            // The speed search and the acquisition judge runs by the
            // envelope's timing, which they were made for.
            if (speedKnown_)
                llr = BlendLlr(llr, view);
        }
        openSteps_ = present ? openSteps_ + 1 : 0;
        viterbi_.Push(llr);
    }
    WatchForNewOver(count);
    carrier_.Update();
    // Fit levels and speed often while acquiring, then every fourth block.
    if (blocks_ < 32 || blocks_ % 4 == 0) {
        levels_.Update();
        UpdateSpeed();
        const LevelFit& fit = levels_.Fit();
        assembler_.SetExpectedStrength(StepLlr(fit.MarkLevel, fit, scale),
                                       StepLlr(fit.NoiseSigma * 1.2533, fit, scale));
    }
    // Nothing is decided before the speed is known, or the first characters
    // would be timed against a guess; a signal found gets there in a second
    // or two.
    if (present)
        ++undecidedBlocks_;
    if (speedKnown_ || undecidedBlocks_ > kMaxUndecidedBlocks) {
        viterbi_.Decide(kDecisionLagSteps, assembler_);
        decided_ = true;
    }
}

// The envelope lags the raw steps by the low-pass's delay; the step due for
// the timing search has its raw counterpart that much older again.
CarrierView WeakDecoder::FeedCarrier(std::complex<float> raw, double mixHz, float envelope,
                                     bool weighed) {
    const int lag = demodulator_.AverageSteps() - 1;
    carrier_.Push(raw, mixHz);
    carrier_.Weigh(lag, weighed ? MarkWeight(envelope, levels_.Fit()) : 0.0);
    return carrier_.Evidence(static_cast<int>(kLookaheadSteps) + lag,
                             static_cast<int>(kCoherentSmoothDots * dotSteps_));
}

// The levels of the steps about to be scored: the fit's noise, and the mark
// level of the second or so around them, so marks in a fade are weighed
// against their own level rather than that of the last seconds. Never above
// the fit's level: that already puts the decisions halfway up the keying
// edges, and a higher one moved them off clean edges. Not while acquiring:
// then the speed search needs the steadier fit.
LevelFit WeakDecoder::FollowFading() {
    LevelFit fit = levels_.Fit();
    if (!levels_.Ready()) {
        markLevel_ = 0.0;
        return fit;
    }
    const auto steps = static_cast<std::size_t>(
        std::clamp(kLocalDots * dotSteps_, kMinLocalSteps, static_cast<double>(kMaxLocalSteps)));
    const auto window = levels_.Window(std::span<float>(local_).first(steps));
    const double start = markLevel_ > 0.0 ? markLevel_ : fit.MarkLevel;
    markLevel_ = std::clamp(LocalMarkLevel(window, fit, start), kMinLocalShare * fit.MarkLevel,
                            fit.MarkLevel);
    if (speedKnown_ && HoldsMarks(window, fit, markLevel_))
        fit.MarkLevel = markLevel_;
    return fit;
}

void WeakDecoder::UpdateSpeed() {
    if (!levels_.Ready())
        return;
    if (!speedKnown_) {
        const double clear = (StrongShare(levels_.Fit()) - 0.2) / 0.8;
        demodulator_.SetAverageSteps(static_cast<int>(std::lround(
            kStartAverageSteps + clear * (kStartAverageStepsClear - kStartAverageSteps))));
    }
    // The runs the timing search found are cleaner than any hard threshold:
    // one noisy step does not split a dash there.
    const auto runs =
        viterbi_.RecentRuns(static_cast<int>(std::min(kLevelWindow, sinceBreak_)), runs_);
    // The first estimate waits for a few characters' worth of runs.
    auto estimate = EstimateDotSteps(runs, SpeedSearchRange{.MinDotSteps = kMinDotSteps,
                                                            .MaxDotSteps = kMaxDotSteps,
                                                            .MinMarks = speedKnown_ ? 6 : 8});
    if (!estimate || !tracker_.SignalPresent())
        return;
    // Settle quickly on the first estimate, then follow changes smoothly.
    const bool first = !speedKnown_;
    if (first && *estimate >= 2.0 * kMinDotSteps && stepSnr_ >= kMinProbeStepSnr) {
        // The start low-pass fills in a fast sender's inner gaps, and his
        // dot-gap-dot reads as a dash of half his speed. Both readings are
        // timed again from the over's steps, each with its own low-pass.
        const std::size_t over = std::min(OrderHistory(), sinceBreak_ + lookahead_.size());
        const auto whole = ProbeSpeed(*estimate, over);
        const auto half = ProbeSpeed(0.5 * *estimate, over);
        if (whole && half && half->DotSteps < kHalfSpeedShare * *estimate &&
            half->CostPerRun < kHalfSpeedCost * whole->CostPerRun)
            estimate = half->DotSteps;
    }
    const double weight = first ? 1.0 : 0.25;
    dotSteps_ = std::exp((1.0 - weight) * std::log(dotSteps_) + weight * std::log(*estimate));
    speedKnown_ = true;
    // Clear signals want the timing of a shorter low-pass, weak ones its
    // noise bandwidth.
    const double averageDots = kAverageDots - 0.125 * StrongShare(levels_.Fit());
    const int average = std::max(1, static_cast<int>(std::lround(dotSteps_ * averageDots)));
    const int current = demodulator_.AverageSteps();
    if (std::abs(average - current) > std::max(1, current / 5))
        demodulator_.SetAverageSteps(average);
    viterbi_.SetRhythm(assembler_.Rhythm());
    viterbi_.SetDotSteps(dotSteps_);
    assembler_.SetDotSteps(dotSteps_);
    if (first && !decided_)
        Redecode();
}

// The acquisition was filtered and timed for a guessed speed. Nothing of it
// has been decided yet, so it is run again with the speed found: the first
// characters are then copied as well as the rest.
void WeakDecoder::Redecode() {
    const std::size_t n = OrderHistory();
    const auto raw = std::span<const std::complex<float>>(ordered_.data(), n);
    demodulator_.Refilter(raw, redone_);
    levels_.Reset();
    for (std::size_t i = 0; i < n; ++i)
        levels_.Push(redone_[i]);
    levels_.Update();
    markLevel_ = 0.0;
    const double scale = 1.0 / (kCorrelatedSteps * demodulator_.AverageSteps());
    // The steps the search had taken, and the look-ahead still to come.
    const std::size_t ahead = std::min(n, lookahead_.size());
    const std::size_t searched = n - ahead;
    // Only the new over is searched again: what came before was handed on.
    // The presence gate opens late on a weak signal, the tracker's spectrum
    // needing a second or so to show it: at a cold start on a weak signal
    // the search begins that much before the gate opened, where the levels
    // now fitted tell noise from marks; after a pause it begins in the
    // pause. Never before the tracker last moved: steps mixed down at
    // another tone were another station. A clear signal opens the gate at
    // once; before it may be a neighbour.
    const auto late = static_cast<std::size_t>(
        kGateLateSteps * std::clamp((1.0 - StrongShare(levels_.Fit())) / 0.8, 0.0, 1.0));
    std::size_t sameTone = 0;
    while (sameTone < n && std::abs(orderedHz_[n - 1 - sameTone] - toneHz_) <= kRetuneHz)
        ++sameTone;
    const std::size_t open =
        std::min({newOver_ ? sinceBreak_ : std::min(openSteps_ + late, sinceBreak_), searched,
                  sameTone - std::min(sameTone, ahead)});
    newOver_ = false;
    // The carrier is recovered over the history too, so the first word is
    // read with the same coherent evidence as the rest; it is weighed with
    // the levels just fitted and ends where the live steps take over.
    viterbi_.Reset();
    carrier_.Reset();
    for (std::size_t i = 0; i < n; ++i) {
        const bool inOver = i + open >= searched;
        const CarrierView view = FeedCarrier(ordered_[i], orderedHz_[i], redone_[i], inOver);
        if (i % (kBlockSize / kStepSamples) == 0)
            carrier_.Update();
        if (i < ahead)
            continue;
        const std::size_t due = i - ahead;
        viterbi_.Push(due + open >= searched
                          ? BlendLlr(StepLlr(redone_[due], levels_.Fit(), scale), view)
                          : kAbsentLlr);
    }
    for (std::size_t i = 0; i < lookahead_.size(); ++i)
        lookahead_[(lookaheadAt_ + i) % lookahead_.size()] =
            i + ahead >= lookahead_.size() ? redone_[searched + i + ahead - lookahead_.size()]
                                           : 0.0f;
}

// The history oldest first in ordered_ and orderedHz_; returns its length.
std::size_t WeakDecoder::OrderHistory() {
    const std::size_t n = historyFilled_;
    const std::size_t oldest = (historyAt_ + history_.size() - n) % history_.size();
    for (std::size_t i = 0; i < n; ++i) {
        ordered_[i] = history_[(oldest + i) % history_.size()];
        orderedHz_[i] = historyHz_[(oldest + i) % history_.size()];
    }
    return n;
}

// The speed search on the last `steps` of the ordered history, filtered and
// timed for a dot of `dotSteps`.
std::optional<SpeedFit> WeakDecoder::ProbeSpeed(double dotSteps, std::size_t steps) {
    const std::size_t n = historyFilled_;
    const auto raw = std::span<const std::complex<float>>(ordered_.data() + (n - steps), steps);
    const int average = std::max(1, static_cast<int>(std::lround(dotSteps * kAverageDots)));
    demodulator_.Refilter(raw, redone_, average);
    probeLevels_.Reset();
    for (std::size_t i = 0; i < steps; ++i)
        probeLevels_.Push(redone_[i]);
    probeLevels_.Update();
    if (!probeLevels_.Ready())
        return std::nullopt;
    const double scale = 1.0 / (kCorrelatedSteps * average);
    probe_.Reset();
    probe_.SetRhythm(assembler_.Rhythm());
    probe_.SetDotSteps(dotSteps);
    for (std::size_t i = 0; i < steps; ++i)
        probe_.Push(StepLlr(redone_[i], probeLevels_.Fit(), scale));
    return FitDotSteps(probe_.RecentRuns(static_cast<int>(steps), runs_),
                       SpeedSearchRange{.MinDotSteps = kMinDotSteps, .MaxDotSteps = kMaxDotSteps});
}

// After a silence that ends an over, the next over is acquired as at a cold
// start: its first characters wait for a speed judged on it alone, then it
// is decoded again from its start. Everything before the silence has been
// handed on by then (the silence is longer than the decision lag).
void WeakDecoder::WatchForNewOver(std::size_t steps) {
    const double breakSteps = std::max(kBreakSteps, kBreakDots * dotSteps_);
    const int silence = viterbi_.OpenSpaceSteps(static_cast<int>(breakSteps) + 1);
    if (silence < breakSteps || levels_.Fit().Contrast() < kMinBreakContrast) {
        sinceBreak_ += steps;
        return;
    }
    sinceBreak_ = static_cast<std::size_t>(silence / 2);
    if (speedKnown_) {
        speedKnown_ = false;
        newOver_ = true;
        undecidedBlocks_ = 0;
        decided_ = false;
    }
}

void WeakDecoder::Finish() {
    viterbi_.Decide(0, assembler_);
    assembler_.Finish();
}

}  // namespace morvane::receive::weak
