// Finds the tone of a weak signal: a Hann-windowed spectrum of each block,
// averaged with a persistence of seconds, so a tone keyed on and off stands
// out of the noise long before any single block shows it. The strongest peak
// between 300 and 1200 Hz is the tone; a rival peak must be clearly stronger
// before the tracker moves to it, so a weaker neighbour never steals the lock.
// The rival is measured against the locked station's strength held over its
// fades, not against its present strength: a station in a few seconds of QSB
// is still the one being copied. Once it no longer stands out at all, it is
// gone and the strongest peak wins again.
// Presence is the peak's height over the median bin: noise alone stays near 1.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "receive/Fftw.h"

namespace morvane::receive::weak {

struct ToneTrackerConfig {
    int SampleRateHz = 11025;
    int BlockSize = 1024;              // samples per Process call
    double PersistenceS = 2.0;         // time constant of the averaged spectrum
    double AcquirePersistenceS = 0.5;  // the same while no signal is present
    double MinHz = 300.0;
    double MaxHz = 1200.0;
    double SwitchRatio = 1.6;       // a new peak must beat the locked one by this
    double HoldS = 10.0;            // time constant in which a held strength decays
    double HeldSwitchRatio = 1.25;  // and a new peak must beat that by this
    double HoldRatio = 2.0;         // peak over median below which a station is gone
    double PresenceRatio = 4.0;     // peak over median bin when a signal is present
};

class ToneTracker {
  public:
    static constexpr int kMinPresenceBlocks = 4;
    static constexpr int kRivalBlocks = 2;  // blocks a rival must lead a held station

    explicit ToneTracker(const ToneTrackerConfig& config = {});

    // One block of BlockSize samples.
    void Process(std::span<const float> block);
    void Reset();
    // Holds the tone at `hz` (presence is still measured there); empty
    // returns to searching.
    void SetFixedHz(std::optional<double> hz);

    double ToneHz() const { return toneHz_; }
    // Peak bin power over the median bin power (0 before the first block).
    double Prominence() const { return prominence_; }
    // Never on the first few blocks: one block's spectrum has noise peaks
    // five times its median.
    bool SignalPresent() const {
        return blocks_ >= kMinPresenceBlocks && prominence_ >= config_.PresenceRatio;
    }

  private:
    double PeakHz(std::size_t bin) const;
    double Median();

    ToneTrackerConfig config_;
    RealBuffer in_;
    ComplexBuffer out_;
    FftwPlan plan_;
    std::vector<float> window_;
    std::vector<double> average_;
    std::vector<double> quick_;   // the same with the acquiring persistence
    std::vector<double> sorted_;  // scratch for the median
    std::size_t firstBin_ = 0;
    std::size_t lastBin_ = 0;
    std::size_t lockedBin_ = 0;
    std::size_t fixedBin_ = 0;  // 0: search
    double alpha_ = 0.0;
    double acquireAlpha_ = 0.0;
    double holdDecay_ = 1.0;  // per block
    double held_ = 0.0;       // the locked station's strength, held over fades
    std::size_t rivalBin_ = 0;
    int rivalBlocks_ = 0;  // blocks in a row the rival has been ahead
    int blocks_ = 0;
    double toneHz_ = 650.0;
    double prominence_ = 0.0;
};

}  // namespace morvane::receive::weak
