// What the element timing hands to the character output when a character
// is complete or a word space is due.
#pragma once

#include <span>

#include "decode/CodeTables.h"

namespace morvane::decode {

inline constexpr int kMaxCharacterElements = 30;

// A character with its element timing, for the splitting of run-together
// characters. Lengths in ticks.
struct ExtendedCharacter {
    long long CodeNumber = 0;
    // Elements of the whole run, including a remainder carried over from a
    // cut at the element limit.
    int ElementCount = 0;
    // MarkLengths[i] is element i; GapLengths[i] the gap before element i (i >= 1).
    std::span<const int> MarkLengths;
    std::span<const int> GapLengths;
    int DashThreshold = 0;
    int CharGapThreshold = 0;
    // The character was cut at the element limit: print only what splits off
    // at character gaps and hand the rest back.
    bool PartialFlush = false;
};

struct ExtendedResult {
    bool Printed = false;         // something was printed
    int RemainderStart = 0;       // with PartialFlush: first element not yet printed
    long long RemainderCode = 0;  // its CodeNumber
};

class CharacterSink {
  public:
    virtual ~CharacterSink() = default;
    // Whether characters go through EmitExtended instead of EmitCharacter.
    virtual bool ExtendOn() const = 0;
    virtual void EmitCharacter(long long CodeNumber) = 0;
    virtual void EmitWordSpace() = 0;
    virtual ExtendedResult EmitExtended(const ExtendedCharacter& character) = 0;
    // Whether the table in use now has an entry for `CodeNumber`; a decoder
    // weighing several readings prefers those that print a character.
    virtual bool KnowsCode(long long CodeNumber) const {
        return CodeNumber >= kMinCodeNumber && CodeNumber <= kMaxCodeNumber;
    }
    // Whether the table in use now prints kana, so that a decoder weighing
    // readings by likely Latin text leaves them alone.
    virtual bool KanaTable() const { return false; }
};

}  // namespace morvane::decode
