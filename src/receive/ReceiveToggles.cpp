#include "receive/ReceiveToggles.h"

#include <algorithm>

#include "receive/GainTable.h"
#include "receive/ToneLabels.h"

namespace morvane::receive {

namespace {

NoiseToggleResult ToggleNoise(std::atomic<bool>& mine, std::atomic<bool>& other, bool checked,
                              std::string_view onSetting) {
    if (checked) {
        mine.store(true);
        other.store(false);
        return {onSetting, true};
    }
    if (other.load())
        return {"", false};
    mine.store(false);
    return {"NoiseOFF", false};
}

}  // namespace

NoiseToggleResult ToggleNr1(ReceiveOptions& options, bool checked) {
    return ToggleNoise(options.Nr1On, options.Nr2On, checked, "NoiseON1");
}

NoiseToggleResult ToggleNr2(ReceiveOptions& options, bool checked) {
    return ToggleNoise(options.Nr2On, options.Nr1On, checked, "NoiseON2");
}

std::string_view ToggleQrmFilter(ReceiveOptions& options, bool checked) {
    options.QrmFilterOn.store(checked);
    return checked ? "QRMON" : "QRMOFF";
}

std::string_view ToggleToneAuto(ReceiveOptions& options, bool checked) {
    if (checked)
        options.ToneCandidateResetRequested.store(true);
    options.ToneAuto.store(checked);
    return checked ? "ToneAUTO" : "ToneAutoOff";
}

std::string_view ToggleThresholdAuto(ReceiveOptions& options, bool checked) {
    if (checked)
        options.LevelExtremesResetRequested.store(true);
    options.ThresholdAuto.store(checked);
    return checked ? "ThreON" : "ThreOFF";
}

std::string_view SelectLevelDisplayMode(ReceiveOptions& options, LevelMode mode) {
    options.LevelDisplayMode.store(mode);
    if (mode == LevelMode::CW)
        options.TapeRestartRequested.store(true);
    options.RedrawLevelDisplay.store(true);
    return mode == LevelMode::CW ? "CW" : "Signal";
}

std::string_view SelectToneDisplayMode(ReceiveOptions& options, ToneMode mode) {
    options.ToneDisplayMode.store(mode);
    switch (mode) {
        case ToneMode::Sine:
            return "Sine";
        case ToneMode::Synchro:
            return "Synchro";
        case ToneMode::FFT:
            break;
    }
    return "FFT";
}

std::string SetToneBin(ReceiveOptions& options, int toneBin) {
    const int bin = std::clamp(toneBin, kMinToneBin, kMaxToneBin);
    options.ToneBin.store(bin);
    return ToneLabelHz(bin);
}

void SetInputVolume(ReceiveOptions& options, int position) {
    options.InputGain.store(GainTable[std::clamp(position, kMinInputVolume, kMaxInputVolume)]);
}

bool ChooseSpectrumRangeOnLoad(ReceiveOptions& options) {
    // Bin 26 (560 Hz) is the lowest tone the high range (bins 16 to 44) still
    // shows with some room below it.
    const bool high = options.ToneBin.load() >= 26;
    options.SpectrumHighRange.store(high);
    return high;
}

}  // namespace morvane::receive
