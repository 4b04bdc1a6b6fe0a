// Command line of morvane-decode.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "receive/ReceivePath.h"

namespace morvane::tools {

struct DecodeOptions {
    receive::ReceivePathOptions Receive;
    bool KeepLines = false;
    bool Live = false;        // demo paced in real time, text printed as it is decoded
    bool Confidence = false;  // print each character's confidence under the text
    std::optional<double> DemoSeconds;
    std::vector<std::string> Files;
    // Live capture from a sound card: its name, or "default".
    std::optional<std::string> Device;
    bool ListDevices = false;
};

// Parses argv; on a bad option returns the one-line message to print.
struct ParsedOptions {
    DecodeOptions Options;
    std::optional<std::string> Error;
    bool Help = false;
};
ParsedOptions ParseDecodeOptions(const std::vector<std::string>& args);

const char* DecodeUsage();

}  // namespace morvane::tools
