#include "form/ReferenceLayout.h"

#include <cmath>

namespace morvane::form {

ClickHit HitTest(PixelPoint p, const FormScale& s) {
    if (kWeatherLabel.Contains(p, s))
        return {ClickArea::Weather};
    if (kTempLabel.Contains(p, s))
        return {ClickArea::Temperature};
    if (kAutoCqLabel.Contains(p, s))
        return {ClickArea::AutoCq};
    for (int label = 1; label <= 15; ++label)
        if (MacroLabelRect(label).Contains(p, s))
            return {ClickArea::MacroLabel, label};
    if (kLevelDisplay.Contains(p, s))
        return {ClickArea::LevelDisplay};
    if (kSpectrumDisplay.Contains(p, s))
        return {ClickArea::Spectrum};
    return {};
}

int ThresholdAt(double y, const FormScale& s) {
    const int top = static_cast<int>(std::lround(kLevelDisplay.Top * s.Sy()));
    const int height = static_cast<int>(std::lround(121 * s.Sy()));
    return -((static_cast<int>(y) - top) * 90 / height);
}

int SpectrumColumnAt(double x, const FormScale& s) {
    const double left = 511 * s.Sx();
    if (x < left)
        return 0;
    const int column = static_cast<int>((x - left) / (6 * s.Sx()));
    return column > 28 ? 28 : column;
}

bool ReleaseEnablesLabels(PixelPoint p, const FormScale& s) {
    const double fx = s.DpiScaleX > 1.0 ? (s.DpiScaleX - 1) * 0.096 + s.DpiScaleX : 1.0;
    const double fy = s.DpiScaleY > 1.0 ? 1.024 * s.DpiScaleY : 1.0;
    return p.x > 470 * fx && p.y > 474 * fy;
}

}  // namespace morvane::form
