// Capture devices as the device combo takes them: every identified device up
// to the table's 20 slots, and the system default (no identifier) always.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace morvane::receive {

struct CaptureDevice {
    std::string Name;  // shown to the operator
    std::string Id;    // passed back to open it; empty for the system default
};

inline constexpr std::size_t kMaxIdentifiedDevices = 20;

// The enumerated devices in order, without the identified ones beyond the
// first kMaxIdentifiedDevices.
std::vector<CaptureDevice> ComboDevices(std::vector<CaptureDevice> enumerated);

}  // namespace morvane::receive
