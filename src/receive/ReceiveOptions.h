// Options of the receive chain. The user-interface thread writes them, the
// capture thread reads each one once per block or window, so a change takes
// effect at the next window. Requests ask the capture thread to reset state
// it owns; it clears them when served.
#pragma once

#include <atomic>

#include "receive/ReceiveTypes.h"

namespace morvane::receive {

inline constexpr int kDefaultToneBin = 28;  // 603 Hz
inline constexpr int kMinToneBin = 8;
inline constexpr int kMaxToneBin = 44;

struct ReceiveOptions {
    // Tone frequency as a 512-point bin (bin × 11025 / 512 Hz), 8 to 44.
    std::atomic<int> ToneBin{kDefaultToneBin};
    // Mark/space threshold in dB.
    std::atomic<int> Threshold{-45};
    std::atomic<bool> ToneAuto{false};
    std::atomic<bool> ThresholdAuto{false};
    std::atomic<bool> Nr1On{false};
    std::atomic<bool> Nr2On{true};
    std::atomic<bool> QrmFilterOn{false};
    // Multiplies both window functions and the waveform displays.
    std::atomic<double> InputGain{1.0};
    // Spectrum shows bins 16 to 44 when set, 8 to 36 when clear.
    std::atomic<bool> SpectrumHighRange{true};
    std::atomic<LevelMode> LevelDisplayMode{LevelMode::Signal};
    std::atomic<ToneMode> ToneDisplayMode{ToneMode::FFT};
    std::atomic<bool> ToneDisplayStopped{false};
    // Also stops level detection and decoding.
    std::atomic<bool> LevelDisplayStopped{false};
    // 0 left, 1 right; anything else leaves the raw block untouched.
    std::atomic<int> InputChannel{3};

    // Requests served by the capture thread.
    std::atomic<bool> RedrawLevelDisplay{false};
    std::atomic<bool> TapeRestartRequested{false};
    std::atomic<bool> ToneCandidateResetRequested{false};
    std::atomic<bool> LevelExtremesResetRequested{false};
    std::atomic<bool> WorkBlockClearRequested{false};
};

}  // namespace morvane::receive
