// Plain values shared by the receive chain and the windows that show it:
// display modes and the drawing primitives the display models produce.
#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace morvane::receive {

// Level display choice; it also selects the level filter rule.
enum class LevelMode { Signal, CW };

// Tone display choice.
enum class ToneMode { Sine, Synchro, FFT };

// Pixel position in a display area, origin top left.
struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Which pen a line is drawn with: dotted grey grid, green trace, red marker
// (threshold line, tone marker).
enum class Ink { Grid, Trace, Marker };

struct DisplayLine {
    Point From;
    Point To;
    Ink Pen = Ink::Trace;
    friend bool operator==(const DisplayLine&, const DisplayLine&) = default;
};

// Everything a window needs to paint one display area: fill black, then draw
// the lines in order. Labels are the level display's scale texts, top to
// bottom (empty on the CW tape, unused by the tone display).
struct DisplayPicture {
    int Width = 0;
    int Height = 0;
    std::array<std::string_view, 3> Labels{};
    std::vector<DisplayLine> Lines;
};

}  // namespace morvane::receive
