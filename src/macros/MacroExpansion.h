// The macro tag language: "<HisCall>", "<TestNR>", "<RcvdNR%15>" ... are
// replaced by QSO fields, the operator's settings, contest numbers and the
// clock. Sending tags (speeds, spacing, function keys) pass through untouched
// for the keying engine.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "common/SettingsEntries.h"
#include "decode/CodeTables.h"
#include "macros/StationClock.h"

namespace morvane::macros {

// Everything the tags read, as plain text, filled by the caller.
struct ExpansionFields {
    std::string HisCall{}, HisName{}, HisQTH{}, HisRST{}, MyRST{};
    std::string RcvdNR{};  // received contest number field
    std::string TestNR{};  // contest number field (the next serial to send)
    std::string MyCall{}, MyName{}, MyQTH{}, Others{}, TestName{};
    std::string Greeting{};  // "GM", "GA", "GE", "AUTO" or any typed text
    std::string MyWX{}, HisWX{}, MyTemp{}, HisTemp{};
    bool Fahrenheit = false;
    std::string OptionString = std::string(common::kDefaultOptions);
    bool ContestMode = false;
    std::string SendNrTemplate{};  // unexpanded
    std::string SendNrText{};      // template expanded for sending, upper case
    int TxInputMode = 0;           // 3 = E/J KANA: half-width kana become full width
};

// Local hour at the other station for the "AUTO" greeting: 0 to 23, or 25
// when the country or its time offset is unknown.
class GreetingHourSource {
  public:
    virtual ~GreetingHourSource() = default;
    virtual int DxLocalHour(std::string_view hisCall) = 0;
};

// The work text and the two purpose flags; Send when neither flag is set.
class MacroExpander {
  public:
    // `kanaTable` is the half-width kana transmit table (row 0 may be empty).
    MacroExpander(const StationClock& clock, GreetingHourSource& greetingHours,
                  std::span<const decode::HalfWidthKanaRow> kanaTable = {})
        : clock_(clock), greetingHours_(greetingHours), kanaTable_(kanaTable) {}

    std::string WorkText;
    bool HamlogExpansion = false;
    bool CtestwinExpansion = false;

    // Every tag except the width forms; then trims white space at both ends.
    void ExpandMacroTags(const ExpansionFields& fields);
    // HamLog purpose: width forms first, then ExpandMacroTags. Otherwise the same.
    void ExpandLogTags(const ExpansionFields& fields);

    // Convenience: `text` expanded with ExpandMacroTags or, when HamlogExpansion
    // is set, ExpandLogTags, as every sending caller does.
    std::string Expand(std::string_view text, const ExpansionFields& fields);

  private:
    void ReplaceWidthForms(const ExpansionFields& fields);

    const StationClock& clock_;
    GreetingHourSource& greetingHours_;
    std::span<const decode::HalfWidthKanaRow> kanaTable_;
};

// Pure pieces of the expansion, exposed for reuse and tests.

// Replaces every occurrence of `tag` left to right; inserted text is not
// searched again for the same tag. Returns whether anything was replaced.
bool ReplaceTag(std::string& text, std::string_view tag, std::string_view value);

// The contest number as sent: option 15 "O"/"T" for zero, option 16 "A" for 1=A 9=N.
std::string CutNumber(std::string_view number, std::string_view optionString);

// Received number for HamLog with option 14 "A": N->9, A->1, O->0, T->0.
std::string UncutNumber(std::string_view number);

// "AUTO" greeting for a local hour (0 to 23, 25 unknown) and the start hours
// at option positions 7-8, 9-10, 11-12.
std::string AutoGreeting(int localHour, std::string_view optionString);

// "-5" -> "MIN5" with option 26 "M"; then "F" or "C" appended; empty stays empty.
std::string TemperatureText(std::string_view temperature, bool fahrenheit,
                            std::string_view optionString);

// ASCII letters to upper case; other characters (kana) unchanged.
std::string ToUpperAscii(std::string_view text);

// Decimal value as the C library's conversion reads it: leading blanks, a sign,
// digits up to the first other character; 0 when there are none.
int ParseDecimal(std::string_view text);

}  // namespace morvane::macros
