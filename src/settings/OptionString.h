// The option string: 30 characters, one letter or digit per option at a fixed
// position, stored as settings entry 91. This file holds the positions, the
// completion of a short stored string and what the letters switch.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/SettingsEntries.h"

namespace morvane::settings {

inline constexpr std::size_t kOptionLength = 30;
using common::kDefaultOptions;

// Positions (0-based).
namespace option {
inline constexpr std::size_t FontSize = 0;      // S, M, L
inline constexpr std::size_t Kana = 1;          // H, K
inline constexpr std::size_t FrontDisp = 2;     // F
inline constexpr std::size_t CountryName = 3;   // E, J
inline constexpr std::size_t DxLocalTime = 4;   // L
inline constexpr std::size_t Clock = 5;         // U, J
inline constexpr std::size_t Location = 6;      // J, else abroad
inline constexpr std::size_t GreetingGm = 7;    // two digits
inline constexpr std::size_t GreetingGa = 9;    // two digits
inline constexpr std::size_t GreetingGe = 11;   // two digits
inline constexpr std::size_t RcvdNrCheck = 13;  // R
inline constexpr std::size_t RcvdNrUncut = 14;  // A
inline constexpr std::size_t SendZero = 15;     // 0, O, T
inline constexpr std::size_t SendCut = 16;      // A
inline constexpr std::size_t TxEditStop = 17;   // E
inline constexpr std::size_t Paste = 18;        // P
inline constexpr std::size_t Monitor = 19;      // R, T, S, N
inline constexpr std::size_t FiveNN = 20;       // 9
inline constexpr std::size_t PttLead = 21;      // A to F
inline constexpr std::size_t PttCtrl = 22;      // H
inline constexpr std::size_t GetHisName = 23;   // G
inline constexpr std::size_t LogSoft = 24;      // H, C, B
inline constexpr std::size_t Mode = 25;         // C, A
inline constexpr std::size_t TempMinus = 26;    // M
inline constexpr std::size_t Consolas = 27;     // C
inline constexpr std::size_t Qsl = 28;          // C
inline constexpr std::size_t SaveLog = 29;      // S
}  // namespace option

// A stored string shorter than 30 characters is completed from `current`
// (its characters from the stored length on), so that an option added later
// keeps its current value; a longer one is cut to 30.
std::string CompleteOptionString(std::string_view stored, std::string_view current);

// The character at a position, 'N' beyond the end.
char OptionAt(std::string_view options, std::size_t position);

// What applying an option string switches (the flags and settings of the
// window and of the keying side), decoded once from the letters.
struct OptionEffects {
    std::string FontFamily;  // "Consolas" or "ＭＳ ゴシック"
    double HisCallPoints = 10.5;
    int TextPoints = 15;  // transmit, receive and monitor windows: 12, 15 or 19
    bool Katakana = true;
    bool FrontDisplay = false;
    char CountryName = 'N';  // 'E' English, 'J' Japanese, 'N' none
    bool CountryEnglish = false;
    bool DxLocalTime = false;
    char ClockMode = 'J';  // 'J' or 'U'
    bool Abroad = false;
    std::string LocationCaption;  // the clock button: "J" or "L"
    bool TxEditStop = false;
    bool ExitCopy = false;
    char MonitorMode = 'R';  // 'R', 'T' or 'N'
    bool FiveNN = true;
    int PttLeadMs = 0;
    bool PttByLogger = false;
    bool FetchName = false;
    int LinkMode = 1;  // 0 none, 1 HamLog, 2 CTestWin, 3 both
    bool operator==(const OptionEffects&) const = default;
};

// Effects of `options`; the monitor letter depends on the current mode: "R"
// only when the current mode is not "R", "T" only when it is not "T", else "N".
OptionEffects DecodeOptionEffects(std::string_view options, char currentMonitorMode);

}  // namespace morvane::settings
