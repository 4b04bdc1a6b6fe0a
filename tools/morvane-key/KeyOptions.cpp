#include "KeyOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "transmit/WeightChoices.h"

namespace morvane::tools {

const char* const kKeyUsage =
    "usage: morvane-key [options] [TEXT...]   (text from standard input when none)\n"
    "  --speed STEP        speed step 0-31 (25 + 5*STEP per minute), default 15\n"
    "  --dot W --dash W --cspace W --wspace W   element weights, default 1.0 3.0 3.0 7.0\n"
    "  --key-mode english|direct|ime|kana\n"
    "  --ptt-lead MS       0, 25, 50, 100, 200 or 500\n"
    "  --output events|wav:FILE|audio|serial:PORT:RTS|DTR|UNO|usb   default events\n"
    "  --list-ports        list the keying ports and exit\n";

namespace {

std::optional<int> ParseInt(const std::string& text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

template <std::size_t N>
std::optional<double> ParseChoice(const std::string& text, const std::array<double, N>& choices) {
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    for (double choice : choices) {
        if (std::fabs(choice - value) < 1e-9)
            return choice;
    }
    return std::nullopt;
}

bool ParseOutput(const std::string& text, KeyOptions& options) {
    if (text == "events") {
        options.Output = OutputKind::Events;
    } else if (text == "audio") {
        options.Output = OutputKind::Audio;
    } else if (text == "usb") {
        options.Output = OutputKind::Usb;
    } else if (text.rfind("wav:", 0) == 0 && text.size() > 4) {
        options.Output = OutputKind::Wav;
        options.WavPath = text.substr(4);
    } else if (text.rfind("serial:", 0) == 0) {
        std::size_t modeAt = text.rfind(':');
        if (modeAt <= 7)
            return false;
        options.SerialPort = text.substr(7, modeAt - 7);
        options.SerialMode = text.substr(modeAt + 1);
        if (options.SerialMode != "RTS" && options.SerialMode != "DTR" &&
            options.SerialMode != "UNO") {
            return false;
        }
        options.Output = OutputKind::Serial;
    } else {
        return false;
    }
    return true;
}

}  // namespace

std::optional<KeyOptions> ParseKeyOptions(const std::vector<std::string>& args,
                                          std::string& error) {
    KeyOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--list-ports") {
            options.ListPorts = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.Help = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0 || arg == "--") {
            std::size_t first = arg == "--" ? i + 1 : i;
            options.Text.assign(args.begin() + std::ptrdiff_t(first), args.end());
            break;
        }
        if (i + 1 >= args.size()) {
            error = "missing value for " + arg;
            return std::nullopt;
        }
        const std::string& value = args[++i];
        bool ok = true;
        if (arg == "--speed") {
            auto step = ParseInt(value);
            ok = step && *step >= 0 && *step < transmit::kSpeedStepCount;
            if (ok)
                options.SpeedStep = *step;
        } else if (arg == "--dot") {
            auto w = ParseChoice(value, transmit::kDotWeightChoices);
            ok = w.has_value();
            if (ok)
                options.Weights.Dot = *w;
        } else if (arg == "--dash") {
            auto w = ParseChoice(value, transmit::kDashWeightChoices);
            ok = w.has_value();
            if (ok)
                options.Weights.Dash = *w;
        } else if (arg == "--cspace") {
            auto w = ParseChoice(value, transmit::kCharSpaceWeightChoices);
            ok = w.has_value();
            if (ok)
                options.Weights.CharSpace = *w;
        } else if (arg == "--wspace") {
            auto w = ParseChoice(value, transmit::kWordSpaceWeightChoices);
            ok = w.has_value();
            if (ok)
                options.Weights.WordSpace = *w;
        } else if (arg == "--key-mode") {
            static const std::array<std::string, 4> kModes{"english", "direct", "ime", "kana"};
            auto found = std::find(kModes.begin(), kModes.end(), value);
            ok = found != kModes.end();
            if (ok)
                options.Mode = transmit::KeyMode(found - kModes.begin());
        } else if (arg == "--ptt-lead") {
            auto ms = ParseInt(value);
            const auto& leads = transmit::kPttLeadChoicesMs;
            ok = ms && std::find(leads.begin(), leads.end(), *ms) != leads.end();
            if (ok)
                options.PttLeadMs = *ms;
        } else if (arg == "--output") {
            ok = ParseOutput(value, options);
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
        if (!ok) {
            error = "bad value for " + arg + ": " + value;
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace morvane::tools
