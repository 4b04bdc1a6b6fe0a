// How the contact's fields are written for the logging programs: reports
// with digits, the QTH as a number, the QSL mark for 8N/8J/8K stations, the
// domestic/foreign command and the contest-number count-up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morvane::qso {

// Every "N" as "9": "5NN" is sent as "599".
std::string ReportDigits(std::string_view report);

// A received contest number with letters turned back to digits: N/n as 9,
// A/a as 1, O/o/T/t as 0.
std::string ReceivedNumberDigits(std::string_view number);

// The text with every blank removed.
std::string WithoutBlanks(std::string_view text);

// The QTH as HamLog's numeric code when it is one: 4 to 7 characters that
// are all digits once upper-cased with O and T as 0, A as 1 and N as 9; a
// seven-character "ddddd/L" gives the five digits and the letter. nullopt:
// send the QTH as typed.
std::optional<std::string> QthAsNumber(std::string_view qth);

// The QSL text, with its second character replaced by `eightCharacter` for
// calls beginning 8N, 8J or 8K (a text shorter than three characters becomes
// its first character and that one).
std::string QslTextFor(std::string_view qslText, char eightCharacter, std::string_view hisCall);

// HamLog's command for a Japanese call (JA-JS, 7J-7N, 8J-8N): 26; else 25.
std::uint32_t DomesticCommand(std::string_view hisCall);

// The contest number plus one, zero-padded to its previous length ("009"
// gives "010", "99" gives "100"); empty stays empty.
std::string CountUpContestNumber(std::string_view number);

// Printable ASCII (space to "~") as bytes without a terminator; nullopt when
// the text holds any other character.
std::optional<std::string> PrintableAscii(std::string_view text);

}  // namespace morvane::qso
