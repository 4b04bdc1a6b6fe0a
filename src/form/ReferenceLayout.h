// The form's reference geometry: every mouse test is written for a client
// area of 952 x 558 pixels and scaled to the real one when the screen is
// scaled. Pure functions, so the mapping is testable without a window.
#pragma once

#include <optional>

namespace morvane::form {

inline constexpr int kReferenceWidth = 952;
inline constexpr int kReferenceHeight = 558;

// A point in device pixels of the client area.
struct PixelPoint {
    double x = 0;
    double y = 0;
};

// Screen scale (pixels per inch / 96) and client size in device pixels.
struct FormScale {
    double DpiScaleX = 1.0;
    double DpiScaleY = 1.0;
    double ClientWidth = kReferenceWidth;
    double ClientHeight = kReferenceHeight;

    // Factors a reference coordinate is multiplied by: client / reference
    // when the screen is scaled, else 1.
    double Sx() const { return DpiScaleX > 1.0 ? ClientWidth / kReferenceWidth : 1.0; }
    double Sy() const { return DpiScaleY > 1.0 ? ClientHeight / kReferenceHeight : 1.0; }
};

// Reference rectangle, bounds exclusive.
struct RefRect {
    int Left, Top, Right, Bottom;
    bool Contains(PixelPoint p, const FormScale& s) const {
        return p.x > Left * s.Sx() && p.x < Right * s.Sx() && p.y > Top * s.Sy() &&
               p.y < Bottom * s.Sy();
    }
};

inline constexpr RefRect kWeatherLabel{713, 200, 815, 220};
inline constexpr RefRect kTempLabel{838, 200, 940, 220};
inline constexpr RefRect kAutoCqLabel{657, 444, 745, 470};
inline constexpr RefRect kLevelDisplay{270, 44, 435, 165};
inline constexpr RefRect kSpectrumDisplay{508, 44, 676, 165};
inline constexpr int kMacroColumns[5][2] = {
    {470, 560}, {565, 655}, {660, 750}, {755, 845}, {850, 940}};
inline constexpr int kMacroRows[3][2] = {{474, 494}, {500, 520}, {526, 546}};

inline RefRect MacroLabelRect(int label) {  // 1 to 15
    const int r = (label - 1) / 5, c = (label - 1) % 5;
    return {kMacroColumns[c][0], kMacroRows[r][0], kMacroColumns[c][1], kMacroRows[r][1]};
}

// What a left button press hits, in the order the form tests the areas.
enum class ClickArea { None, Weather, Temperature, AutoCq, MacroLabel, LevelDisplay, Spectrum };
struct ClickHit {
    ClickArea Area = ClickArea::None;
    int Label = 0;  // macro label 1 to 15
};
ClickHit HitTest(PixelPoint p, const FormScale& s);

// Threshold in dB of a click at pixel row y on the level display: 0 at the
// top edge, -90 at the bottom.
int ThresholdAt(double y, const FormScale& s);

// Spectrum column (0 to 28) under pixel x: 6 reference pixels per column
// from x 511; left of that, the first column.
int SpectrumColumnAt(double x, const FormScale& s);

// Button release right of and below the macro area enables the labels again
// (its own scaling of the bounds).
bool ReleaseEnablesLabels(PixelPoint p, const FormScale& s);

}  // namespace morvane::form
