// The temperature field's " F" box: the shown number converted between
// Celsius and Fahrenheit in whole degrees, as the operator typed it.
#pragma once

#include <QString>

namespace morvane::form {

// To Fahrenheit (t × 9 / 5 + 32) when `toFahrenheit`, else back
// ((t − 32) × 5 / 9); integer arithmetic, a non-number reads as 0.
inline QString ConvertTemperature(const QString& text, bool toFahrenheit) {
    const int t = text.trimmed().toInt();
    return QString::number(toFahrenheit ? t * 9 / 5 + 32 : (t - 32) * 5 / 9);
}

}  // namespace morvane::form
