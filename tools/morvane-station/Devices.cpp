// The platform pieces of morvane-station; see Devices.h.
#include "Devices.h"

namespace morvane::tools {

void KeyEventLines::Emit(transmit::KeyAction action) {
    std::lock_guard lock(mutex_);
    const std::int64_t now = clock_.NowMs();
    if (!started_) {
        started_ = true;
        firstMs_ = now;
    }
    line_("key " + transmit::FormatKeyEvent({now - firstMs_, action}));
}

}  // namespace morvane::tools
