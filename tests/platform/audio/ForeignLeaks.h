// ALSA plugins, loaded and unloaded by PortAudio, keep a few small
// allocations for good; leak checking is paused on the calling thread while
// the sound system is opened and closed, so only our own leaks are reported.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace morvane::platform::audio::testing {

struct ForeignLeaksIgnored {
#if defined(__SANITIZE_ADDRESS__)
    ForeignLeaksIgnored() {
        __lsan_disable();
    }
    ~ForeignLeaksIgnored() {
        __lsan_enable();
    }
    ForeignLeaksIgnored(const ForeignLeaksIgnored&) = delete;
    ForeignLeaksIgnored& operator=(const ForeignLeaksIgnored&) = delete;
#endif
};

}  // namespace morvane::platform::audio::testing
