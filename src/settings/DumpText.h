// The text form of a settings file used by the morvane-settings tool: one
// "N<TAB>value" line per entry, with tab, CR, LF and backslash escaped as
// \t, \r, \n and \\ so that every value fits on one line.
#pragma once

#include <string>
#include <string_view>

#include "settings/DataFile.h"

namespace morvane::settings {

std::string EscapeDumpValue(std::string_view value);

// All 160 entries, one line each, in index order.
std::string DumpEntries(const Entries& entries);

// Parses a dump; entries it does not name are empty. Returns false with
// `error` naming the line for a malformed line, index or escape.
bool ParseDump(std::string_view text, Entries& entries, std::string& error);

}  // namespace morvane::settings
