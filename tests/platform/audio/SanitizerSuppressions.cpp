// The sound libraries loaded by PortAudio (ALSA and its pulse plugin) are not
// built with ThreadSanitizer, so their own locking looks to it like data
// races and double locks. Reports whose stacks are inside them are not about
// our code.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libpulse\n"
           "race:libpulsecommon\n"
           "race:libasound\n"
           "race:libasound_module_pcm_pulse\n"
           "mutex:libpulsecommon\n"
           "mutex:libpulse\n"
           "deadlock:libpulsecommon\n";
}
