// User-interface handlers of the receive options: each changes the options
// and returns the setting text to store (empty when the stored value must be
// emptied). They run on the user-interface thread.
#pragma once

#include <string>
#include <string_view>

#include "receive/ReceiveOptions.h"

namespace morvane::receive {

struct NoiseToggleResult {
    std::string_view Setting;   // "NoiseON1", "NoiseON2", "NoiseOFF" or empty
    bool UncheckOther = false;  // the other NR box must be shown unchecked
};

// The two noise reductions exclude each other; unchecking one while the other
// is on changes nothing.
NoiseToggleResult ToggleNr1(ReceiveOptions& options, bool checked);
NoiseToggleResult ToggleNr2(ReceiveOptions& options, bool checked);

// "QRMON" / "QRMOFF".
std::string_view ToggleQrmFilter(ReceiveOptions& options, bool checked);
// "ToneAUTO" / "ToneAutoOff"; turning it on restarts the candidate count.
std::string_view ToggleToneAuto(ReceiveOptions& options, bool checked);
// "ThreON" / "ThreOFF"; turning it on restarts the level extremes.
std::string_view ToggleThresholdAuto(ReceiveOptions& options, bool checked);

// "Signal" / "CW"; requests a fresh sweep (and for CW a fresh tape).
std::string_view SelectLevelDisplayMode(ReceiveOptions& options, LevelMode mode);
// "Sine" / "Synchro" / "FFT"; the caller writes ToneDisplayLabels().
std::string_view SelectToneDisplayMode(ReceiveOptions& options, ToneMode mode);

// Sets ToneBin, limited to 8 to 44; returns its label ("603Hz").
std::string SetToneBin(ReceiveOptions& options, int toneBin);

// Input level slider, position 1 to 11 (limited): InputGain from GainTable.
void SetInputVolume(ReceiveOptions& options, int position);

// After a settings file is applied: the spectrum shows the high range when the
// tone bin is 26 or more, else the low one. Returns SpectrumHighRange; the
// caller writes the FFT labels again.
bool ChooseSpectrumRangeOnLoad(ReceiveOptions& options);

}  // namespace morvane::receive
