#include "receive/ToneDisplay.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "receive/LevelMath.h"
#include "receive/ReceiveOptions.h"

namespace morvane::receive {

std::array<int, kSpectrumPoints> SpectrumLevels(std::span<const double> displaySpectrum, int lo) {
    std::array<int, kSpectrumPoints> levels{};
    for (int i = 0; i < kSpectrumPoints; ++i)
        levels[static_cast<std::size_t>(i)] =
            DisplayLevelDb(displaySpectrum[static_cast<std::size_t>(lo + i)]);
    return levels;
}

int FindSpectrumPeak(const std::array<int, kSpectrumPoints>& levels, int lo) {
    int maximum = kFloorDb;
    int peak = lo;
    for (int i = 1; i < kSpectrumPoints; ++i) {
        if (levels[static_cast<std::size_t>(i)] > maximum) {
            maximum = levels[static_cast<std::size_t>(i)];
            peak = lo + i;
        }
    }
    return maximum == kFloorDb ? 0 : peak;
}

std::array<Point, kSpectrumPoints> SpectrumPoints(const std::array<int, kSpectrumPoints>& levels,
                                                  int width, int height) {
    std::array<Point, kSpectrumPoints> points{};
    for (int i = 0; i < kSpectrumPoints; ++i) {
        points[static_cast<std::size_t>(i)] = {
            std::min(i * width / 28, width - 1),
            levels[static_cast<std::size_t>(i)] * (height - 1) / -90};
    }
    return points;
}

std::array<std::string_view, 11> ToneDisplayLabels(ToneMode mode, bool highRange) {
    switch (mode) {
        case ToneMode::FFT:
            if (highRange)
                return {"0db", "-45", "-90", "345", "431",  "517",
                        "603", "689", "775", "861", "948Hz"};
            return {"0db", "-45", "-90", "172", "258", "345", "431", "517", "603", "689", "775Hz"};
        case ToneMode::Sine:
            return {"＋", "0", "－", "", "", "", "", "", "", "", "→ t"};
        case ToneMode::Synchro:
            break;
    }
    return {"＋", "0", "－", "", "", "", "", "", "", "", ""};
}

ToneDisplayModel::ToneDisplayModel(int width, int height) : width_(0), height_(0) {
    SetSize(width, height);
}

void ToneDisplayModel::SetSize(int width, int height) {
    // The waveform reads one sample per column plus one from a 1024 block.
    if (width < 2 || height < 2 || width > 1023)
        throw std::invalid_argument("bad tone display size");
    width_ = width;
    height_ = height;
    picture_.Lines.reserve(static_cast<std::size_t>(width + 256));
}

void ToneDisplayModel::Start() {
    picture_.Width = width_;
    picture_.Height = height_;
    picture_.Lines.clear();
}

void ToneDisplayModel::Grid(int rows, int columns) {
    for (int k = 1; k < rows; ++k) {
        const int y = k * Bottom() / rows;
        picture_.Lines.push_back({{0, y}, {width_, y}, Ink::Grid});
    }
    for (int k = 1; k < columns; ++k) {
        const int x = k * width_ / columns;
        picture_.Lines.push_back({{x, 0}, {x, height_}, Ink::Grid});
    }
}

void ToneDisplayModel::Polyline(std::span<const Point> points) {
    for (std::size_t i = 1; i < points.size(); ++i)
        picture_.Lines.push_back({points[i - 1], points[i], Ink::Trace});
}

int ToneDisplayModel::DrawSpectrum(std::span<const double> displaySpectrum, int toneBin,
                                   bool highRange) {
    Start();
    picture_.Lines.push_back({{width_, 0}, {width_, height_}, Ink::Grid});
    Grid(6, 7);
    const int lo = SpectrumLowBin(highRange);
    const int markerX = (toneBin - lo) * width_ / 28;
    picture_.Lines.push_back({{markerX, 0}, {markerX, height_}, Ink::Marker});
    const auto levels = SpectrumLevels(displaySpectrum, lo);
    const auto points = SpectrumPoints(levels, width_, height_);
    Polyline(points);
    return FindSpectrumPeak(levels, lo);
}

int ToneDisplayModel::WaveY(double sample, double inputGain) const {
    const int mid = Bottom() / 2;
    return static_cast<int>(inputGain * sample / 7000.0 * mid);
}

void ToneDisplayModel::DrawSine(std::span<const double> workBlock, double inputGain) {
    Start();
    Grid(4, 10);
    const int mid = Bottom() / 2;
    Point previous{0, mid - std::clamp(WaveY(workBlock[0], inputGain), -60, 60)};
    for (int x = 1; x <= width_; ++x) {
        const Point next{
            x, mid - std::clamp(WaveY(workBlock[static_cast<std::size_t>(x)], inputGain), -60, 60)};
        picture_.Lines.push_back({previous, next, Ink::Trace});
        previous = next;
    }
}

void ToneDisplayModel::DrawSynchro(std::span<const double> workBlock, double inputGain,
                                   int toneBin) {
    Start();
    Grid(4, 6);
    // Bounded so three periods stay inside the block.
    const int bin = std::clamp(toneBin, kMinToneBin, kMaxToneBin);
    const int phaseDegrees = bin * 360 / 512;
    const int mid = Bottom() / 2;
    const int last = 1536 / bin + 2;
    Point previous{};
    for (int n = 0; n <= last; ++n) {
        const double angle = 2.0 * std::numbers::pi * n * phaseDegrees / 360.0;
        const Point p{
            width_ / 2 + static_cast<int>(60.0 * std::cos(angle)),
            std::clamp(mid - WaveY(workBlock[static_cast<std::size_t>(n)], inputGain), 0, 120)};
        if (n > 0)
            picture_.Lines.push_back({previous, p, Ink::Trace});
        previous = p;
    }
}

int ToneTracker::Observe(int peak, int toneBin) {
    if (peak == 0 || peak == toneBin)
        return 0;
    if (peak != ToneCandidate) {
        ToneCandidate = peak;
        ToneCandidateCount = 0;
        return 0;
    }
    const int before = ToneCandidateCount;
    ToneCandidateCount = before + 1 > 1000 ? 3 : before + 1;
    return before == 1 ? peak : 0;
}

}  // namespace morvane::receive
