#include "receive/LevelDisplay.h"

#include <stdexcept>

namespace morvane::receive {

LevelDisplayModel::LevelDisplayModel(int width, int height) : width_(0), height_(0) {
    SetSize(width, height);
}

void LevelDisplayModel::SetSize(int width, int height) {
    if (width < 2 || height < 2)
        throw std::invalid_argument("level display too small");
    width_ = width;
    height_ = height;
    // A tape holds at most one tick per column on three rows; a sweep one
    // segment per column. Reserved here so windows never allocate.
    capacity_ = static_cast<std::size_t>(3 * width + 32);
    picture_.Lines.reserve(capacity_);
    Clear();
    ChartX = 0;
    TapeRow = 0;
    resized_ = true;
}

void LevelDisplayModel::Clear() {
    picture_.Width = width_;
    picture_.Height = height_;
    picture_.Lines.clear();
}

void LevelDisplayModel::AddLine(Point from, Point to, Ink pen) {
    // A mode change without a redraw could otherwise keep adding to a full
    // picture; drop rather than grow.
    if (picture_.Lines.size() < capacity_)
        picture_.Lines.push_back({from, to, pen});
}

void LevelDisplayModel::StartSweep(int threshold) {
    resized_ = false;
    Clear();
    picture_.Labels = {"0db", "-45", "-90"};
    for (int k = 1; k <= 5; ++k) {
        const int y = k * Bottom() / 6;
        AddLine({0, y}, {width_, y}, Ink::Grid);
    }
    for (int k = 1; k <= 3; ++k) {
        const int x = k * width_ / 4;
        AddLine({x, 0}, {x, height_}, Ink::Grid);
    }
    const int y = LevelY(threshold);
    AddLine({0, y}, {width_, y}, Ink::Marker);
    ChartPhase = true;
    ChartX = 0;
    PrevPoint.x = 0;
}

void LevelDisplayModel::PlotSignal(int signalLevel) {
    if (!ChartPhase) {
        ChartX += 1;
        ChartPhase = true;
    } else {
        if (ChartX > 0) {
            const Point to{ChartX, LevelY(signalLevel)};
            AddLine(PrevPoint, to, Ink::Trace);
            PrevPoint.y = to.y;
        }
        ChartPhase = false;
    }
    PrevPoint.x = ChartX;
}

void LevelDisplayModel::StepTape(int signalLevel, int threshold) {
    if (TapeRow == 0) {
        Clear();
        picture_.Labels = {"", "", ""};
        AddLine({0, Bottom() / 3}, {width_, Bottom() / 3}, Ink::Grid);
        AddLine({0, 2 * Bottom() / 3}, {width_, 2 * Bottom() / 3}, Ink::Grid);
        AddLine({width_ / 2, 0}, {width_ / 2, height_}, Ink::Grid);
        ChartX = 0;
        TapeRow = 1;
        ChartPhase = true;
    }
    if (ChartPhase) {
        if (signalLevel > threshold) {
            const int y = TapeRow * Bottom() / 3;
            AddLine({ChartX, y}, {ChartX, y - 9}, Ink::Trace);
        }
        if (ChartX >= width_ - 1) {
            ChartX = 0;
            TapeRow = TapeRow >= 3 ? 0 : TapeRow + 1;
        }
    } else {
        ChartX += 1;
    }
    ChartPhase = !ChartPhase;
}

}  // namespace morvane::receive
