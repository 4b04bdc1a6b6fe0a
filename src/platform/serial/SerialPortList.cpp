#include <libserialport.h>

#include "platform/serial/SerialDevice.h"

namespace morvane::platform {

// The library lists from sysfs without opening anything.
std::vector<std::string> ListSerialPorts() {
    std::vector<std::string> names;
    sp_port** ports = nullptr;
    if (sp_list_ports(&ports) != SP_OK)
        return names;
    for (sp_port** port = ports; *port != nullptr; ++port)
        names.emplace_back(sp_get_port_name(*port));
    sp_free_port_list(ports);
    return names;
}

}  // namespace morvane::platform
