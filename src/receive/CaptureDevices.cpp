#include "receive/CaptureDevices.h"

namespace morvane::receive {

std::vector<CaptureDevice> ComboDevices(std::vector<CaptureDevice> enumerated) {
    std::vector<CaptureDevice> combo;
    std::size_t identified = 0;
    for (auto& device : enumerated) {
        if (!device.Id.empty()) {
            // Enumeration goes on past a full table: a default reported
            // later still gets its item.
            if (identified == kMaxIdentifiedDevices)
                continue;
            ++identified;
        }
        combo.push_back(std::move(device));
    }
    return combo;
}

}  // namespace morvane::receive
