// Command line of morvane-station; see StationOptions.h.
#include "StationOptions.h"

namespace morvane::tools {

std::optional<StationOptions> ParseStationOptions(const std::vector<std::string>& args,
                                                  std::string& error) {
    StationOptions options;
    auto source = [&](StationOptions::Source chosen) {
        if (options.Capture != StationOptions::Source::None) {
            error = "choose one of --device, --demo and --file";
            return false;
        }
        options.Capture = chosen;
        return true;
    };
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        const bool hasValue = k + 1 < args.size();
        if (arg == "--virtual-time") {
            options.VirtualTime = true;
        } else if (arg == "--demo") {
            if (!source(StationOptions::Source::Demo))
                return std::nullopt;
        } else if ((arg == "--settings" || arg == "--device" || arg == "--file" ||
                    arg == "--key") &&
                   !hasValue) {
            error = arg + " needs a value";
            return std::nullopt;
        } else if (arg == "--settings") {
            options.SettingsFile = args[++k];
        } else if (arg == "--device") {
            if (!source(StationOptions::Source::Device))
                return std::nullopt;
            options.Device = args[++k];
        } else if (arg == "--file") {
            if (!source(StationOptions::Source::File))
                return std::nullopt;
            options.AudioFile = args[++k];
        } else if (arg == "--key") {
            const std::string& key = args[++k];
            if (key == "events") {
                options.Keying = StationOptions::Key::Events;
            } else if (key == "usb") {
                options.Keying = StationOptions::Key::Usb;
            } else if (key.starts_with("serial:")) {
                const std::string rest = key.substr(7);
                const std::size_t colon = rest.rfind(':');
                options.Keying = StationOptions::Key::Serial;
                options.SerialPort = rest.substr(0, colon);
                if (colon != std::string::npos)
                    options.SerialMode = rest.substr(colon + 1);
                if (options.SerialPort.empty() ||
                    (options.SerialMode != "RTS" && options.SerialMode != "DTR" &&
                     options.SerialMode != "UNO")) {
                    error = "--key serial:PORT:RTS|DTR|UNO";
                    return std::nullopt;
                }
            } else {
                error = "--key takes events, serial:PORT:MODE or usb";
                return std::nullopt;
            }
        } else {
            error = "unknown argument " + arg;
            return std::nullopt;
        }
    }
    if (options.VirtualTime && options.Capture == StationOptions::Source::Device) {
        error = "--virtual-time cannot run a sound device";
        return std::nullopt;
    }
    return options;
}

}  // namespace morvane::tools
