// The receive signal chain: per block of 1024 samples it removes clicks,
// optionally combs out QRM, computes the block spectrum for the tone display
// (and the automatic tone tracking), then measures the tone level in 32
// sliding windows of 300 samples, filters it with a 9-point order statistic,
// runs the level display and hands each level to the timing step.
//
// ReadBlock and ProcessBlock run on the capture thread. The user-interface
// thread talks to it only through Options() (atomics) and reads labels and
// pictures from the snapshots.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "decode/TickSink.h"
#include "receive/Autocorrelator.h"
#include "receive/Fftw.h"
#include "receive/LevelDisplay.h"
#include "receive/ReceiveOptions.h"
#include "receive/Snapshot.h"
#include "receive/ToneBinProbe.h"
#include "receive/ToneDisplay.h"

namespace morvane::receive {

using decode::TickSink;

inline constexpr int kBlockSize = 1024;  // samples per block (92.9 ms)
inline constexpr int kWindowSize = 300;  // samples per level window
inline constexpr int kWindowStep = 32;   // samples per tick
inline constexpr int kWindowsPerBlock = 32;
inline constexpr int kHistorySize = 288;  // samples the first windows take from the previous block
inline constexpr int kRawCarry = 4;       // raw samples carried for the median

class SignalChain {
  public:
    explicit SignalChain(TickSink& sink);

    ReceiveOptions& Options() { return options_; }
    const ReceiveOptions& Options() const { return options_; }

    // Takes one channel (InputChannel 0 left, 1 right) of 1024 interleaved
    // 16-bit stereo frames (2048 values) into RawBlock after the 4 values
    // carried from the previous block. Any other channel leaves it as it was.
    void ReadBlock(std::span<const std::int16_t> interleavedFrames);

    // The whole chain for the current RawBlock.
    void ProcessBlock();

    // Outputs for the window owner: latest values only.
    Snapshot<std::string> ThresholdLabel;  // "Threshold -63db"
    Snapshot<std::string> ToneLabel;       // "603Hz"
    Snapshot<DisplayPicture> LevelPicture;
    Snapshot<DisplayPicture> TonePicture;

    // State, readable for inspection on the capture thread.
    std::span<const double> RawBlock() const { return rawBlock_; }
    std::span<const double> WorkBlock() const {
        return {signal_.data() + kHistorySize, kBlockSize};
    }
    // The kept samples of history window j (0 to 8): the last 288 − 32 j
    // samples of the WorkBlock before the current one. All nine are suffixes
    // of one tail, moved into place when a block starts.
    std::span<const double> HistoryWindow(int j) const;
    // Samples of level window j (0 to 31) of the current block.
    std::span<const double> Window(int j) const {
        return {signal_.data() + kWindowStep * j, kWindowSize};
    }
    const std::array<double, 512>& DisplaySpectrum() const { return displaySpectrum_; }
    // M[b] of each window of the last block: the tone bin magnitude of its
    // 256-point spectrum.
    const std::array<double, kWindowsPerBlock>& ToneMagnitudes() const { return toneMagnitudes_; }
    int SignalLevel() const { return signalLevel_; }
    const std::array<int, 9>& LevelHistory() const { return levelHistory_; }
    int LevelMax() const { return levelMax_; }
    int LevelMin() const { return levelMin_; }
    const LevelDisplayModel& LevelDisplay() const { return levelDisplay_; }
    const ToneTracker& Tracker() const { return toneTracker_; }

  private:
    void ApplyDisplaySizes();
    void ComputeDisplaySpectrum(double gain);
    void UpdateToneDisplay(int toneBin, double gain);
    double WindowToneMagnitude(int j, int toneBin, double gain);
    void LevelStep(double toneMagnitude);
    void StartLevelSweep(LevelMode mode);
    void PrepareToneBinTable(int bin);

    ReceiveOptions options_;
    TickSink& sink_;

    std::array<double, kBlockSize + kRawCarry> rawBlock_{};
    // History tail followed by the WorkBlock, so every window is contiguous.
    std::array<double, kHistorySize + kBlockSize> signal_{};
    std::array<double, 512> displaySpectrum_{};

    Autocorrelator blockCorrelator_;
    Autocorrelator windowCorrelator_;
    std::array<double, 600> blockCorrelation_{};
    std::array<double, kWindowSize> nrFirst_{};
    ToneBinProbe nrProbe_;
    RealBuffer spectrumIn_;
    ComplexBuffer spectrumOut_;
    FftwPlan spectrumPlan_;
    std::vector<double> hamming512_;
    std::vector<double> hamming256_;
    // Hamming-weighted DFT kernel of the 256-point bin in use.
    int tableBin_ = -1;
    std::array<double, 256> binCos_{};
    std::array<double, 256> binSin_{};

    std::array<double, kWindowsPerBlock> toneMagnitudes_{};
    int signalLevel_ = -90;
    std::array<int, 9> levelHistory_{};
    int levelMax_ = -90;
    int levelMin_ = 0;

    LevelDisplayModel levelDisplay_;
    ToneDisplayModel toneDisplay_;
    ToneTracker toneTracker_;
    std::string thresholdText_;
};

}  // namespace morvane::receive
