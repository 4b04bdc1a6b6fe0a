#include "qso/LoggerPtt.h"

namespace morvane::qso {

void LoggerPttOutput::PttOn() {
    if (ThroughLogger())
        SendToHamlog(kHamlogPttOn);
    else
        port_.PttOn();
}

void LoggerPttOutput::PttOff() {
    if (ThroughLogger())
        SendToHamlog(kHamlogPttOff);
    else
        port_.PttOff();
}

void LoggerPttOutput::SendToHamlog(std::uint32_t command) {
    if (platform::WindowHandle hamlog = windows_.FindWindowByClass(kHamlogClass))
        windows_.SendCopyData(hamlog, command, {});
}

}  // namespace morvane::qso
