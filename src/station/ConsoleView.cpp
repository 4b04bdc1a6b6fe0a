// The station's view as lines of text; see ConsoleView.h.
#include "station/ConsoleView.h"

#include <array>

namespace morvane::station {

namespace {

constexpr std::array<std::string_view, kStationFieldCount> kFieldNames = {
    "HisCall", "HisName", "HisQTH", "HisRST", "MyRST", "RcvdNR", "Greeting", "MyWX", "MyTemp"};

// "\r\n" and "\n" as the two characters "\n"; other control characters dropped.
std::string OneLine(std::string_view text) {
    std::string out;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (c == '\r' && k + 1 < text.size() && text[k + 1] == '\n')
            continue;
        if (c == '\n' || c == '\r')
            out += "\\n";
        else if (static_cast<unsigned char>(c) >= 0x20)
            out += c;
    }
    return out;
}

}  // namespace

std::string_view FieldName(StationField field) {
    const auto k = static_cast<std::size_t>(field);
    return k < kFieldNames.size() ? kFieldNames[k] : std::string_view{};
}

bool FieldByName(std::string_view name, StationField& field) {
    for (std::size_t k = 0; k < kFieldNames.size(); ++k) {
        if (kFieldNames[k] == name) {
            field = static_cast<StationField>(k);
            return true;
        }
    }
    return false;
}

void ConsoleView::Emit(std::string_view kind, std::string_view text) {
    line_(std::string(kind) + " " + OneLine(text));
}

void ConsoleView::FieldChanged(StationField field, std::string_view value) {
    Emit("field", std::string(FieldName(field)) + " " + std::string(value));
}

void ConsoleView::LookupLine(std::string_view line) {
    // The line starts with its own line break in the receive window.
    while (!line.empty() && (line.front() == '\r' || line.front() == '\n'))
        line.remove_prefix(1);
    Emit("lookup", line);
}

void ConsoleView::LinkChanged(LoggerLink link, bool up) {
    Emit("link",
         std::string(link == LoggerLink::Hamlog ? "hamlog" : "ctestwin") + (up ? " up" : " down"));
}

void ConsoleView::ReceiveTextChanged(std::string_view appended, bool cleared) {
    if (cleared)
        return;  // a clear starts the window again with its "RX> " label
    if (!appended.empty())
        Emit("rx", appended);
}

}  // namespace morvane::station
