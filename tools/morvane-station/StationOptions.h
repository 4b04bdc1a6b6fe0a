// Command line of morvane-station:
//   morvane-station [--settings FILE.mrvn] [--device NAME|default | --demo | --file AUDIO]
//                   [--key events|serial:PORT:RTS|DTR|UNO|usb] [--virtual-time]
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace morvane::tools {

struct StationOptions {
    std::string SettingsFile;
    enum class Source { None, Device, Demo, File } Capture = Source::None;
    std::string Device;     // "default" or a name
    std::string AudioFile;  // --file
    enum class Key { None, Events, Serial, Usb } Keying = Key::None;
    std::string SerialPort;
    std::string SerialMode = "RTS";
    bool VirtualTime = false;
};

// Nothing and `error` set when the arguments are not understood.
std::optional<StationOptions> ParseStationOptions(const std::vector<std::string>& args,
                                                  std::string& error);

}  // namespace morvane::tools
