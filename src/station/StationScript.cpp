// The headless station's command language; see StationScript.h.
#include "station/StationScript.h"

#include <charconv>

#include "station/ConsoleView.h"

namespace morvane::station {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    return text;
}

// The first word and the rest after one blank.
std::pair<std::string_view, std::string_view> SplitWord(std::string_view text) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos)
        return {text, {}};
    return {text.substr(0, blank), text.substr(blank + 1)};
}

bool ParseInt(std::string_view text, long long& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// A level from 0 to 1 ("0.25", "1").
bool ParseLevel(std::string_view text, double& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= 0.0 && value <= 1.0;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

}  // namespace

bool StationScript::Run(std::string_view line) {
    line = Trim(line);
    if (line.empty())
        return true;
    auto [command, rest] = SplitWord(line);
    long long number = 0;
    if (command == "quit") {
        return false;
    } else if (command == "send") {
        // The transmit window holds upper case; tags keep their spelling.
        std::string text;
        bool inTag = false;
        for (char c : rest) {
            inTag = c == '<' ? true : c == '>' ? false : inTag;
            text += inTag ? c : Upper(std::string_view(&c, 1))[0];
        }
        station_.AppendTransmit(text);
    } else if (command == "macro") {
        if (!ParseInt(rest, number) || number < 1 || number > 15)
            Error("macro takes 1 to 15");
        else
            station_.FireMacro(static_cast<int>(number));
    } else if (command == "bank") {
        if (rest != "1" && rest != "2")
            Error("bank takes 1 or 2");
        else
            station_.SetBank(rest == "2" ? 2 : 1);
    } else if (command == "clear") {
        if (rest == "tx")
            station_.ClearTransmit();
        else if (rest == "rx")
            station_.ClearReceive();
        else if (rest == "monitor")
            station_.ClearMonitor();
        else
            Error("clear takes tx, rx or monitor");
    } else if (command == "key-mode") {
        constexpr std::string_view kModes[] = {"english", "direct", "ime", "kana"};
        int mode = -1;
        for (int k = 0; k < 4; ++k) {
            if (rest == kModes[k])
                mode = k;
        }
        if (mode < 0)
            Error("key-mode takes english, direct, ime or kana");
        else
            station_.SetKeyMode(static_cast<common::KeyMode>(mode));
    } else if (command == "speed") {
        if (!ParseInt(rest, number) || number < 0 || number > 31)
            Error("speed takes a step 0 to 31");
        else
            station_.SetSpeedStep(static_cast<int>(number));
    } else if (command == "autocq") {
        if (rest == "on")
            station_.StartAutoCq();
        else if (rest == "off")
            station_.StopAutoCq();
        else
            Error("autocq takes on or off");
    } else if (command == "field") {
        auto [name, value] = SplitWord(rest);
        StationField field{};
        if (!FieldByName(name, field))
            Error("unknown field " + std::string(name));
        else
            station_.SetField(field, value);
    } else if (command == "enter") {
        station_.LookupHisCall();
    } else if (command == "capture") {
        station_.CaptureCall();
    } else if (command == "qso") {
        station_.QsoTransfer();
    } else if (command == "save-qso") {
        station_.SaveTransfer();
    } else if (command == "clear-qso") {
        station_.ClearQso();
    } else if (command == "time") {
        station_.SendTime();
    } else if (command == "contest") {
        if (rest == "on" || rest == "off")
            station_.SetContest(rest == "on");
        else
            Error("contest takes on or off");
    } else if (command == "decoder") {
        if (rest == "standard")
            station_.SetDecoder(receive::DecoderKind::Standard);
        else if (rest == "weak")
            station_.SetDecoder(receive::DecoderKind::Weak);
        else
            Error("decoder takes standard or weak");
    } else if (command == "squelch") {
        double level = 0.0;
        if (ParseLevel(rest, level))
            station_.SetSquelch(level);
        else
            Error("squelch takes a confidence from 0 to 1");
    } else if (command == "open") {
        if (rest.empty())
            Error("open takes a file");
        else
            station_.OpenSettings(std::string(rest));
    } else if (command == "save") {
        if (rest.empty())
            Error("save takes a file");
        else
            station_.SaveSettings(std::string(rest));
    } else if (command == "wait") {
        if (!pacer_.WaitUntilSent())
            Error("wait: the transmit text was not keyed in time");
    } else if (command == "sleep") {
        if (!ParseInt(rest, number) || number < 0)
            Error("sleep takes milliseconds");
        else
            pacer_.SleepMs(number);
    } else {
        Error("unknown command " + std::string(command));
    }
    return true;
}

}  // namespace morvane::station
