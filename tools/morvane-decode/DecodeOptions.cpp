#include "DecodeOptions.h"

#include <charconv>
#include <cmath>

namespace morvane::tools {

namespace {

std::optional<double> Number(const std::string& text) {
    double value = 0;
    const auto* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

using receive::KeyMode;

}  // namespace

const char* DecodeUsage() {
    return "usage: morvane-decode [options] FILE...\n"
           "       morvane-decode [options] --device NAME|default\n"
           "       morvane-decode --list-devices\n"
           "  --channel left|right        input channel (default left)\n"
           "  --lang en|ja                decode language (default en)\n"
           "  --auto-lang                 switch language on the bracket signs\n"
           "  --key-mode english|direct|ime|kana   (default english)\n"
           "  --kana hiragana|katakana    kana shown (default katakana)\n"
           "  --tone auto|HZ              tone frequency (default auto)\n"
           "  --threshold auto|DB         mark threshold in dB, -90..0 (default auto)\n"
           "  --nr off|1|2                noise reduction (default 2)\n"
           "  --qrm                       comb filter at the tone\n"
           "  --no-extend                 print * for unknown patterns instead of splitting\n"
           "  --speed auto|CPM            receive speed in characters per minute (default auto)\n"
           "  --decoder standard|weak     decoder (default standard)\n"
           "  --squelch LEVEL             weak decoder: drop characters under this confidence,\n"
           "                              0..1 (default 0.1)\n"
           "  --confidence                print each character's confidence (0-9) under the text\n"
           "  --no-text-prior             weak decoder: read without weighing likely text\n"
           "  --keep-lines                keep the decoder's line breaks\n"
           "  --demo SECONDS              decode the built-in demo contact\n"
           "  --live                      with --demo: play it in real time, printing as it "
           "decodes\n"
           "  --device NAME|default       capture from a sound card, printing as it decodes;\n"
           "                              Ctrl+C stops\n"
           "  --list-devices              the sound card inputs --device takes\n";
}

ParsedOptions ParseDecodeOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    auto& options = parsed.Options;
    auto& receive = options.Receive;
    auto fail = [&](std::string message) {
        parsed.Error = std::move(message);
        return parsed;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        if (arg == "-h" || arg == "--help") {
            parsed.Help = true;
        } else if (arg == "--auto-lang") {
            receive.AutoLanguage = true;
        } else if (arg == "--qrm") {
            receive.QrmFilterOn = true;
        } else if (arg == "--no-extend") {
            receive.ExtendOn = false;
        } else if (arg == "--no-text-prior") {
            receive.TextPrior = false;
        } else if (arg == "--keep-lines") {
            options.KeepLines = true;
        } else if (arg == "--live") {
            options.Live = true;
        } else if (arg == "--list-devices") {
            options.ListDevices = true;
        } else if (arg == "--confidence") {
            options.Confidence = true;
            receive.KeepConfidence = true;
        } else if (arg.starts_with("--") && arg.size() > 2) {
            const auto v = value();
            if (!v)
                return fail("option " + arg + " needs a value");
            if (arg == "--channel" && (*v == "left" || *v == "right")) {
                receive.Channel = *v == "left" ? 0 : 1;
            } else if (arg == "--lang" && (*v == "en" || *v == "ja")) {
                receive.Japanese = *v == "ja";
            } else if (arg == "--key-mode" &&
                       (*v == "english" || *v == "direct" || *v == "ime" || *v == "kana")) {
                receive.Mode = *v == "english"  ? KeyMode::English
                               : *v == "direct" ? KeyMode::Direct
                               : *v == "ime"    ? KeyMode::Ime
                                                : KeyMode::Kana;
            } else if (arg == "--kana" && (*v == "hiragana" || *v == "katakana")) {
                receive.Katakana = *v == "katakana";
            } else if (arg == "--tone") {
                if (*v == "auto") {
                    receive.ToneBin.reset();
                } else if (auto hz = Number(*v); hz && *hz > 0 && *hz < 5512) {
                    receive.ToneBin = receive::NearestToneBin(*hz);
                } else {
                    return fail("--tone wants auto or a frequency in Hz, not '" + *v + "'");
                }
            } else if (arg == "--threshold") {
                if (*v == "auto") {
                    receive.ThresholdDb.reset();
                } else if (auto db = Number(*v); db && *db >= -90 && *db <= 0) {
                    receive.ThresholdDb = static_cast<int>(std::lround(*db));
                } else {
                    return fail("--threshold wants auto or dB from -90 to 0, not '" + *v + "'");
                }
            } else if (arg == "--nr" && (*v == "off" || *v == "1" || *v == "2")) {
                receive.NoiseReduction = *v == "off" ? 0 : *v == "1" ? 1 : 2;
            } else if (arg == "--speed") {
                if (*v == "auto") {
                    receive.SpeedCpm.reset();
                } else if (auto cpm = Number(*v); cpm && *cpm >= 25 && *cpm <= 180) {
                    receive.SpeedCpm = static_cast<int>(std::lround(*cpm));
                } else {
                    return fail("--speed wants auto or 25..180 characters per minute, not '" + *v +
                                "'");
                }
            } else if (arg == "--device") {
                if (v->empty())
                    return fail("--device wants a device name or default");
                options.Device = *v;
            } else if (arg == "--decoder" && (*v == "standard" || *v == "weak")) {
                receive.Decoder =
                    *v == "weak" ? receive::DecoderKind::Weak : receive::DecoderKind::Standard;
            } else if (arg == "--squelch") {
                auto level = Number(*v);
                if (!level || *level < 0 || *level > 1)
                    return fail("--squelch wants a confidence from 0 to 1, not '" + *v + "'");
                receive.Squelch = *level;
            } else if (arg == "--demo") {
                auto seconds = Number(*v);
                if (!seconds || *seconds <= 0 || *seconds > 86400)
                    return fail("--demo wants a length in seconds, not '" + *v + "'");
                options.DemoSeconds = *seconds;
            } else if (arg == "--channel" || arg == "--lang" || arg == "--key-mode" ||
                       arg == "--kana" || arg == "--nr" || arg == "--decoder") {
                return fail("bad value '" + *v + "' for " + arg);
            } else {
                return fail("unknown option " + arg);
            }
        } else if (arg == "-" || !arg.starts_with("-")) {
            options.Files.push_back(arg);
        } else {
            return fail("unknown option " + arg);
        }
    }
    const int inputs = !options.Files.empty() + options.DemoSeconds.has_value() +
                       options.Device.has_value() + options.ListDevices;
    if (!parsed.Help && inputs == 0)
        return fail("no input: give one or more audio files, --demo SECONDS or --device NAME");
    if ((options.Device || options.ListDevices) && inputs > 1)
        return fail("--device and --list-devices go without files, --demo or each other");
    if (options.Live && !options.DemoSeconds)
        return fail("--live plays the demo in real time; it needs --demo SECONDS");
    return parsed;
}

}  // namespace morvane::tools
