// Dump text of the settings entries; see DumpText.h.
#include "settings/DumpText.h"

#include <charconv>

namespace morvane::settings {

namespace {

bool UnescapeValue(std::string_view escaped, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '\\') {
            out.push_back(escaped[i]);
            continue;
        }
        if (++i == escaped.size()) {
            return false;
        }
        switch (escaped[i]) {
            case 't':
                out.push_back('\t');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 'n':
                out.push_back('\n');
                break;
            case '\\':
                out.push_back('\\');
                break;
            default:
                return false;
        }
    }
    return true;
}

}  // namespace

std::string EscapeDumpValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        switch (c) {
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

std::string DumpEntries(const Entries& entries) {
    std::string out;
    for (int index = 1; index <= kEntryCount; ++index) {
        out += std::to_string(index) + '\t' + EscapeDumpValue(entries[index]) + '\n';
    }
    return out;
}

bool ParseDump(std::string_view text, Entries& entries, std::string& error) {
    Entries parsed;
    int lineNumber = 0;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        // Raw CRs are always escaped in a dump, so a trailing one is a CRLF ending.
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty()) {
            continue;
        }
        std::size_t tab = line.find('\t');
        int index = 0;
        std::string_view number = line.substr(0, tab);
        auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), index);
        std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (tab == std::string_view::npos || ec != std::errc() ||
            ptr != number.data() + number.size() || index < 1 || index > kEntryCount) {
            error = where + "expected an entry number 1 to 160, a tab and the value";
            return false;
        }
        if (!UnescapeValue(line.substr(tab + 1), parsed[index])) {
            error = where + "bad escape (only \\t, \\r, \\n and \\\\ are known)";
            return false;
        }
    }
    entries = std::move(parsed);
    return true;
}

}  // namespace morvane::settings
