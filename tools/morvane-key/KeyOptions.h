// Command-line options of morvane-key.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "transmit/KeyModeLookup.h"
#include "transmit/KeyingTiming.h"

namespace morvane::tools {

enum class OutputKind { Events, Wav, Audio, Serial, Usb };

struct KeyOptions {
    int SpeedStep = transmit::kDefaultSpeedStep;
    transmit::Weights Weights;
    transmit::KeyMode Mode = transmit::KeyMode::English;
    int PttLeadMs = 0;
    OutputKind Output = OutputKind::Events;
    std::string WavPath;     // wav:FILE
    std::string SerialPort;  // serial:PORT:MODE
    std::string SerialMode;  // "RTS", "DTR" or "UNO"
    bool ListPorts = false;
    bool Help = false;
    std::vector<std::string> Text;  // words; stdin when empty
};

// Parses argv[1..]; on failure returns nothing and sets `error`.
std::optional<KeyOptions> ParseKeyOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const kKeyUsage;

}  // namespace morvane::tools
