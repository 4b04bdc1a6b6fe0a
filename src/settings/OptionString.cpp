// The option string; see OptionString.h.
#include "settings/OptionString.h"

namespace morvane::settings {

std::string CompleteOptionString(std::string_view stored, std::string_view current) {
    std::string out(stored.substr(0, kOptionLength));
    if (out.size() < kOptionLength && current.size() > out.size()) {
        out += current.substr(out.size(), kOptionLength - out.size());
    }
    return out;
}

char OptionAt(std::string_view options, std::size_t position) {
    return position < options.size() ? options[position] : 'N';
}

namespace {

int TextPointsFor(char size) {
    switch (size) {
        case 'S':
            return 12;
        case 'L':
            return 19;
        default:
            return 15;
    }
}

int PttLeadMsFor(char letter) {
    switch (letter) {
        case 'B':
            return 25;
        case 'C':
            return 50;
        case 'D':
            return 100;
        case 'E':
            return 200;
        case 'F':
            return 500;
        default:
            return 0;
    }
}

int LinkModeFor(char letter) {
    switch (letter) {
        case 'H':
            return 1;
        case 'C':
            return 2;
        case 'B':
            return 3;
        default:
            return 0;
    }
}

}  // namespace

OptionEffects DecodeOptionEffects(std::string_view options, char currentMonitorMode) {
    using namespace option;
    OptionEffects e;
    e.FontFamily = OptionAt(options, Consolas) == 'C' ? "Consolas" : "ＭＳ ゴシック";
    e.TextPoints = TextPointsFor(OptionAt(options, FontSize));
    e.Katakana = OptionAt(options, Kana) != 'H';
    e.FrontDisplay = OptionAt(options, FrontDisp) == 'F';
    char country = OptionAt(options, CountryName);
    e.CountryName = (country == 'E' || country == 'J') ? country : 'N';
    e.CountryEnglish = country == 'E';
    e.DxLocalTime = OptionAt(options, DxLocalTime) != 'N';
    e.ClockMode = OptionAt(options, Clock) == 'J' ? 'J' : 'U';
    e.Abroad = OptionAt(options, Location) != 'J';
    e.LocationCaption = e.Abroad ? "L" : "J";
    e.TxEditStop = OptionAt(options, TxEditStop) == 'E';
    e.ExitCopy = OptionAt(options, Paste) == 'P';
    char monitor = OptionAt(options, Monitor);
    if (monitor == 'R' && currentMonitorMode != 'R') {
        e.MonitorMode = 'R';
    } else if (monitor == 'T' && currentMonitorMode != 'T') {
        e.MonitorMode = 'T';
    } else {
        e.MonitorMode = 'N';
    }
    e.FiveNN = OptionAt(options, FiveNN) == '9';
    e.PttLeadMs = PttLeadMsFor(OptionAt(options, PttLead));
    e.PttByLogger = OptionAt(options, PttCtrl) == 'H';
    e.FetchName = OptionAt(options, GetHisName) == 'G';
    e.LinkMode = LinkModeFor(OptionAt(options, LogSoft));
    return e;
}

}  // namespace morvane::settings
