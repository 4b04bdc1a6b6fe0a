// Model of the level display: a strip chart of SignalLevel with the threshold
// line ("Signal") or a paper tape of detected marks ("CW"). It keeps the
// picture of the current sweep or tape as lines; a window repaints the whole
// picture, so nothing is lost between paints and the picture stays bounded
// (it is cleared whenever the sweep or tape starts afresh).
#pragma once

#include "receive/ReceiveTypes.h"

namespace morvane::receive {

// Reference size of the level display area, pixels.
inline constexpr int kLevelDisplayWidth = 165;
inline constexpr int kLevelDisplayHeight = 121;

class LevelDisplayModel {
  public:
    LevelDisplayModel(int width = kLevelDisplayWidth, int height = kLevelDisplayHeight);

    // Width and height in pixels (at least 2 × 2); the next window starts a
    // fresh sweep or tape.
    void SetSize(int width, int height);

    // True when the Signal chart must start a new sweep: the pen reached the
    // right edge or a redraw was requested.
    bool SweepDue(bool redrawRequested) const {
        return ChartX >= width_ || redrawRequested || resized_;
    }

    // Signal step 1 after any automatic threshold update: clear, scale
    // labels, grid, threshold line (dB), pen back to the left edge.
    void StartSweep(int threshold);

    // Signal step 3: moves or draws on alternate windows (level in dB).
    void PlotSignal(int signalLevel);

    // CW steps 1 and 3: a fresh tape when TapeRow is 0, then a 9-pixel tick
    // on the current row when the level (dB) is above the threshold.
    void StepTape(int signalLevel, int threshold);

    // The "CW" button: the next tape step starts a fresh tape.
    void RestartTape() { TapeRow = 0; }

    const DisplayPicture& Picture() const { return picture_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Pixel row of a level in dB (0 dB top, −90 dB bottom).
    int LevelY(int levelDb) const { return levelDb * Bottom() / -90; }

    int ChartX = 0;
    bool ChartPhase = false;
    int TapeRow = 0;
    Point PrevPoint;

  private:
    int Bottom() const { return height_ - 1; }
    void Clear();
    void AddLine(Point from, Point to, Ink pen);

    int width_;
    int height_;
    std::size_t capacity_ = 0;
    bool resized_ = true;
    DisplayPicture picture_;
};

}  // namespace morvane::receive
