#include "receive/SignalChain.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "receive/Conditioning.h"
#include "receive/LevelMath.h"
#include "receive/ToneLabels.h"

namespace morvane::receive {

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;
// Columns a finished sweep needs before it may set the threshold.
constexpr int kMinSweepColumns = 101;

}  // namespace

SignalChain::SignalChain(TickSink& sink)
    : sink_(sink),
      blockCorrelator_(600, 300.0, 1200),
      windowCorrelator_(kWindowSize, 768.0),
      spectrumIn_(512),
      spectrumOut_(257),
      spectrumPlan_(FftwPlan::RealToComplex(512, spectrumIn_, spectrumOut_)),
      hamming512_(HammingWindow(512)),
      hamming256_(HammingWindow(256)) {
    levelHistory_.fill(kFloorDb);
    // The window is painted once when it opens.
    options_.RedrawLevelDisplay.store(true);
}

std::span<const double> SignalChain::HistoryWindow(int j) const {
    const int kept = kHistorySize - kWindowStep * j;
    return {signal_.data() + (kHistorySize - kept), static_cast<std::size_t>(kept)};
}

void SignalChain::ReadBlock(std::span<const std::int16_t> interleavedFrames) {
    const int channel = options_.InputChannel.load(kRelaxed);
    if (channel != 0 && channel != 1)
        return;
    // The carry of the previous block moves to the front first, so the
    // median sees the 4 samples that preceded the new ones.
    std::copy_n(rawBlock_.end() - kRawCarry, kRawCarry, rawBlock_.begin());
    for (std::size_t i = 0; i < kBlockSize; ++i)
        rawBlock_[kRawCarry + i] = interleavedFrames[2 * i + static_cast<std::size_t>(channel)];
}

void SignalChain::ProcessBlock() {
    // The first windows of this block start in the previous one.
    std::copy_n(signal_.end() - kHistorySize, kHistorySize, signal_.begin());
    if (options_.WorkBlockClearRequested.exchange(false))
        signal_.fill(0.0);
    if (options_.ToneCandidateResetRequested.exchange(false))
        toneTracker_.ResetCount();

    double* work = signal_.data() + kHistorySize;
    Median5Filter(rawBlock_, {work, kBlockSize});
    if (options_.QrmFilterOn.load(kRelaxed))
        QrmCombFilter({work, kBlockSize}, options_.ToneBin.load(kRelaxed));

    const double gain = options_.InputGain.load(kRelaxed);
    ComputeDisplaySpectrum(gain);
    if (!options_.ToneDisplayStopped.load(kRelaxed))
        UpdateToneDisplay(options_.ToneBin.load(kRelaxed), gain);

    bool levelRan = false;
    for (int j = 0; j < kWindowsPerBlock; ++j) {
        const double windowGain = options_.InputGain.load(kRelaxed);
        const double magnitude =
            WindowToneMagnitude(j, options_.ToneBin.load(kRelaxed), windowGain);
        toneMagnitudes_[static_cast<std::size_t>(j)] = magnitude;
        if (options_.LevelDisplayStopped.load(kRelaxed))
            continue;
        LevelStep(magnitude);
        levelRan = true;
    }
    if (levelRan)
        LevelPicture.Publish(levelDisplay_.Picture());
}

void SignalChain::ComputeDisplaySpectrum(double gain) {
    const double* work = signal_.data() + kHistorySize;
    blockCorrelator_.Compute({work, 600}, blockCorrelation_);
    blockCorrelation_[0] = 0.0;  // no DC term in the power spectrum
    for (std::size_t i = 0; i < 512; ++i)
        spectrumIn_[i] = hamming512_[i] * gain * blockCorrelation_[i];
    spectrumPlan_.Execute();
    for (std::size_t k = 0; k <= 256; ++k)
        displaySpectrum_[k] = std::abs(spectrumOut_[k]);
    // A real input's spectrum is mirrored about bin 256.
    for (std::size_t k = 257; k < 512; ++k)
        displaySpectrum_[k] = displaySpectrum_[512 - k];
}

void SignalChain::UpdateToneDisplay(int toneBin, double gain) {
    const std::span<const double> work = WorkBlock();
    switch (options_.ToneDisplayMode.load(kRelaxed)) {
        case ToneMode::Sine:
            toneDisplay_.DrawSine(work, gain);
            break;
        case ToneMode::Synchro:
            toneDisplay_.DrawSynchro(work, gain, toneBin);
            break;
        case ToneMode::FFT: {
            const int peak = toneDisplay_.DrawSpectrum(displaySpectrum_, toneBin,
                                                       options_.SpectrumHighRange.load(kRelaxed));
            if (options_.ToneAuto.load(kRelaxed)) {
                const int newBin = toneTracker_.Observe(peak, toneBin);
                if (newBin != 0) {
                    options_.ToneBin.store(newBin, kRelaxed);
                    ToneLabel.Publish(ToneLabelHz(newBin));
                }
            }
            break;
        }
    }
    TonePicture.Publish(toneDisplay_.Picture());
}

void SignalChain::PrepareToneBinTable(int bin) {
    for (std::size_t i = 0; i < 256; ++i) {
        const double angle =
            2.0 * std::numbers::pi * static_cast<double>(bin) * static_cast<double>(i) / 256.0;
        binCos_[i] = hamming256_[i] * std::cos(angle);
        binSin_[i] = hamming256_[i] * std::sin(angle);
    }
    tableBin_ = bin;
}

double SignalChain::WindowToneMagnitude(int j, int toneBin, double gain) {
    const std::span<const double> x = Window(j);
    std::span<const double> y;
    if (options_.Nr2On.load(kRelaxed)) {
        windowCorrelator_.Compute(x, nrFirst_);
        nrFirst_[0] = 0.0;
        windowCorrelator_.Compute(nrFirst_, nrSecond_);
        y = nrSecond_;
    } else if (options_.Nr1On.load(kRelaxed)) {
        windowCorrelator_.Compute(x, nrFirst_);
        y = nrFirst_;
    } else {
        y = x;
    }
    // Only the tone bin of the 256-point spectrum feeds the level, so one
    // DFT term replaces the transform. y[0] counts as zero in every mode.
    const int bin = std::clamp(toneBin, 0, 511) / 2;
    if (bin != tableBin_)
        PrepareToneBinTable(bin);
    double re = 0.0;
    double im = 0.0;
    for (std::size_t i = 1; i < 256; ++i) {
        re += y[i] * binCos_[i];
        im += y[i] * binSin_[i];
    }
    return gain * std::sqrt(re * re + im * im);
}

void SignalChain::StartLevelSweep(LevelMode mode) {
    if (mode == LevelMode::Signal && options_.ThresholdAuto.load(kRelaxed) &&
        levelDisplay_.ChartX >= kMinSweepColumns) {
        const int threshold = AutoThreshold(levelMin_, levelMax_);
        options_.Threshold.store(threshold, kRelaxed);
        thresholdText_ = "Threshold ";
        thresholdText_ += std::to_string(threshold);
        thresholdText_ += "db";
        ThresholdLabel.Publish(thresholdText_);
        levelMax_ = kFloorDb;
        levelMin_ = 0;
    }
    levelDisplay_.StartSweep(options_.Threshold.load(kRelaxed));
}

void SignalChain::LevelStep(double toneMagnitude) {
    if (options_.LevelExtremesResetRequested.exchange(false)) {
        levelMax_ = kFloorDb;
        levelMin_ = 0;
    }
    if (options_.TapeRestartRequested.exchange(false))
        levelDisplay_.RestartTape();
    const LevelMode mode = options_.LevelDisplayMode.load(kRelaxed);
    const bool redraw = options_.RedrawLevelDisplay.exchange(false);
    const bool swept = levelDisplay_.SweepDue(redraw);
    if (swept)
        StartLevelSweep(mode);

    const int threshold = options_.Threshold.load(kRelaxed);
    std::shift_left(levelHistory_.begin(), levelHistory_.end(), 1);
    levelHistory_.back() = WindowLevelDb(toneMagnitude);
    signalLevel_ = OrderStatisticLevel(levelHistory_, threshold, mode);

    if (mode == LevelMode::Signal) {
        if (options_.ThresholdAuto.load(kRelaxed)) {
            levelMax_ = std::max(levelMax_, signalLevel_);
            levelMin_ = std::min(levelMin_, signalLevel_);
        }
        levelDisplay_.PlotSignal(signalLevel_);
    } else if (!swept) {
        // A pending redraw is served by one Signal-style sweep start first.
        levelDisplay_.StepTape(signalLevel_, threshold);
    }
    sink_.TimingStep(signalLevel_, threshold);
}

}  // namespace morvane::receive
