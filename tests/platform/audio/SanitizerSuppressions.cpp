// The sound libraries loaded by PortAudio (ALSA and its pulse plugin) are not
// built with ThreadSanitizer, so their own locking looks to it like data
// races and double locks. Reports whose stacks are inside them are not about
// our code.
#include "../SoundLibrarySuppressions.h"

extern "C" const char* __tsan_default_suppressions() {
    return MORVANE_SOUND_LIBRARY_SUPPRESSIONS;
}
