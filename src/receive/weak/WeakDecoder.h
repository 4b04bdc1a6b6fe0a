// The weak-signal decoder: audio blocks in, characters with a confidence out
// through a CharacterSink. Tone tracker → delayed I/Q demodulator with a
// matched low-pass → two-mode level fit → per-step log-likelihood ratios,
// coherent against the recovered carrier wherever its phase is known →
// soft timing search over marks and spaces → characters. The speed comes
// from the runs of the last seconds and sets both the low-pass and the
// timing model. No signal in the spectrum: every step counts as space, so
// noise alone prints nothing. Single-threaded; only the squelch may be set
// from another thread.
#pragma once

#include <array>
#include <complex>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "decode/CharacterSink.h"
#include "receive/weak/CarrierTracker.h"
#include "receive/weak/ElementAssembler.h"
#include "receive/weak/LevelModel.h"
#include "receive/weak/MarkSpaceViterbi.h"
#include "receive/weak/SpeedSearch.h"
#include "receive/weak/ToneDemodulator.h"
#include "receive/weak/ToneTracker.h"

namespace morvane::receive::weak {

class WeakDecoder {
  public:
    static constexpr int kBlockSize = 1024;
    static constexpr int kSampleRateHz = 11025;
    static constexpr int kStepSamples = 32;

    // `listener` may be null.
    explicit WeakDecoder(decode::CharacterSink& sink, ConfidenceListener* listener = nullptr);

    // One block of kBlockSize mono samples (any scale).
    void Process(std::span<const float> block);
    // Hands on everything still held back (end of the audio).
    void Finish();
    void Reset();

    // A fixed tone instead of the strongest peak; empty to search again.
    void SetToneHz(std::optional<double> hz) { tracker_.SetFixedHz(hz); }
    void SetSquelch(double level) { assembler_.SetSquelch(level); }
    void SetTextPrior(bool on) { assembler_.SetTextPrior(on); }
    double ToneHz() const { return tracker_.ToneHz(); }
    double DotMs() const { return dotSteps_ * kStepSamples * 1000.0 / kSampleRateHz; }
    bool SignalPresent() const { return tracker_.SignalPresent(); }

  private:
    LevelFit FollowFading();
    void UpdateSpeed();
    void Redecode();
    std::size_t OrderHistory();
    std::optional<SpeedFit> ProbeSpeed(double dotSteps, std::size_t steps);
    void WatchForNewOver(std::size_t steps);
    CarrierView FeedCarrier(std::complex<float> raw, double mixHz, float envelope, bool weighed);

    ToneTracker tracker_;
    ToneDemodulator demodulator_;
    CarrierTracker carrier_;
    LevelModel levels_;
    MarkSpaceViterbi viterbi_;
    ElementAssembler assembler_;
    std::vector<float> steps_;                   // envelope of one block
    std::vector<std::complex<float>> rawSteps_;  // the same before the low-pass
    // The last seconds before the low-pass, kept to decode the acquisition
    // again once the speed is known.
    std::vector<std::complex<float>> history_;
    std::vector<float> historyHz_;  // the mixer's tone for each
    std::size_t historyAt_ = 0;
    std::size_t historyFilled_ = 0;
    std::vector<std::complex<float>> ordered_;  // scratch: the history in order
    std::vector<float> orderedHz_;
    std::vector<float> redone_;  // scratch: it refiltered
    // Scratch for judging a speed found on the acquisition against half it.
    LevelModel probeLevels_;
    MarkSpaceViterbi probe_;
    std::size_t openSteps_ = 0;  // steps since the presence gate opened
    // Steps searched since the middle of the last silence long enough to end
    // an over: the speed of the next one is judged only on what follows.
    std::size_t sinceBreak_ = 0;
    bool newOver_ = false;          // the acquisition under way follows such a silence
    bool decided_ = false;          // runs have been handed on
    std::vector<float> lookahead_;  // envelope awaiting the timing search
    std::vector<TimedRun> runs_;    // scratch for the speed search
    // The steps around those being scored, and their mark level (0: none yet).
    static constexpr std::size_t kMaxLocalSteps = 600;
    std::vector<float> local_ = std::vector<float>(kMaxLocalSteps);
    double markLevel_ = 0.0;
    std::size_t lookaheadAt_ = 0;
    // The tracker's verdict on the last blocks. The steps entering the timing
    // search are about nine blocks old; the verdicts of seven and six blocks
    // ago include the first few blocks of a signal starting in them, and
    // little of the noise before it.
    std::array<bool, 8> presence_{};
    std::size_t presenceAt_ = 0;
    double toneHz_ = 0.0;
    std::int64_t blocks_ = 0;
    double dotSteps_ = 0.0;
    double stepSnr_ = 0.0;  // the carrier's signal-to-noise ratio per step, last seen
    bool speedKnown_ = false;
    int undecidedBlocks_ = 0;
};

}  // namespace morvane::receive::weak
