// Model of the tone display, redrawn completely once per block: the
// waveform ("Sine"), a phase figure against the tone ("Synchro") or the
// spectrum around the tone ("FFT"), plus the spectral peak search that the
// automatic tone tracking uses.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "receive/ReceiveTypes.h"

namespace morvane::receive {

// Reference size of the tone display area, pixels.
inline constexpr int kToneDisplayWidth = 165;
inline constexpr int kToneDisplayHeight = 121;

// Number of spectrum points shown: bins lo to lo + 28.
inline constexpr int kSpectrumPoints = 29;

// First shown 512-point bin: 16 for the high range, 8 for the low range.
inline int SpectrumLowBin(bool highRange) {
    return highRange ? 16 : 8;
}

// Display levels (dB, −90…0) of the shown bins lo…lo + 28.
std::array<int, kSpectrumPoints> SpectrumLevels(std::span<const double> displaySpectrum, int lo);

// The strongest shown bin above lo (the first of equal maxima), or 0 when
// every level is −90. The lowest bin is never a peak.
int FindSpectrumPeak(const std::array<int, kSpectrumPoints>& levels, int lo);

// Spectrum trace points for a width × height area.
std::array<Point, kSpectrumPoints> SpectrumPoints(const std::array<int, kSpectrumPoints>& levels,
                                                  int width, int height);

// Scale labels of the tone display: left scale top to bottom (3), under the
// grid lines (7), right end (1).
std::array<std::string_view, 11> ToneDisplayLabels(ToneMode mode, bool highRange);

class ToneDisplayModel {
  public:
    ToneDisplayModel(int width = kToneDisplayWidth, int height = kToneDisplayHeight);
    void SetSize(int width, int height);

    // Spectrum with the red tone marker; returns the peak bin (0 for none).
    int DrawSpectrum(std::span<const double> displaySpectrum, int toneBin, bool highRange);
    // Waveform of the first width + 1 samples of the block.
    void DrawSine(std::span<const double> workBlock, double inputGain);
    // About three tone periods against a circle at the tone frequency.
    void DrawSynchro(std::span<const double> workBlock, double inputGain, int toneBin);

    const DisplayPicture& Picture() const { return picture_; }

  private:
    int Bottom() const { return height_ - 1; }
    void Start();
    void Grid(int rows, int columns);
    void Polyline(std::span<const Point> points);
    int WaveY(double sample, double inputGain) const;

    int width_;
    int height_;
    DisplayPicture picture_;
};

// Automatic tone tracking: a new tone is taken when the same other peak is
// seen in three blocks, counting only blocks whose peak is not the tone.
class ToneTracker {
  public:
    // Returns the new tone bin, or 0 when the tone stays.
    int Observe(int peak, int toneBin);
    void ResetCount() { ToneCandidateCount = 0; }

    int ToneCandidate = 28;
    int ToneCandidateCount = 0;
};

}  // namespace morvane::receive
