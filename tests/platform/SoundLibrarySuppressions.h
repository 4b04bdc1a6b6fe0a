// Thread-sanitizer suppressions for the sound libraries PortAudio loads
// (ALSA and its pulse plugin), which are not built with the sanitizer: their
// own locking looks to it like data races and double locks. Test programs
// that open the real sound system add these to their own suppressions.
#pragma once

#define MORVANE_SOUND_LIBRARY_SUPPRESSIONS \
    "race:libpulse\n"                      \
    "race:libpulsecommon\n"                \
    "race:libasound\n"                     \
    "race:libasound_module_pcm_pulse\n"    \
    "mutex:libpulsecommon\n"               \
    "mutex:libpulse\n"                     \
    "deadlock:libpulsecommon\n"
