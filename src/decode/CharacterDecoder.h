// Character output: looks finished characters up in the receive table for
// the language and Key Mode, switches language on the agreed bracket signs,
// prints word spaces, and in "Extend" mode splits characters that have no
// entry at their longest inner gaps. Called on the capture thread by
// ElementTiming; the settings the UI changes are atomics.
#pragma once

#include <atomic>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "decode/CharacterSink.h"
#include "decode/CodeTables.h"
#include "decode/ReceiveTextOutput.h"

namespace morvane::decode {

// Entry text for a table and CodeNumber ("*" when empty); tests may pass
// their own table.
using EntryLookup = std::string_view (*)(ReceiveTable, long long);

// Result of the ENG or JPN button.
struct LanguageButtonResult {
    // Re-read text for the selection remembered at the last focus loss;
    // empty when the button switched the language instead.
    std::optional<std::string> Replacement;
    RxLanguage Shown = RxLanguage::English;  // the button to show checked
    std::string LanguageSetting;             // the two letters of the setting
};

// Text decoded in the wrong alphabet, re-read through the kana key table:
// kana become the Latin key of the same pattern and Latin keys become kana
// (katakana or hiragana); anything else stays.
std::string ReReadWithKanaKeys(std::string_view text, bool katakana);

class CharacterDecoder : public CharacterSink {
  public:
    explicit CharacterDecoder(ReceiveTextOutput& output, EntryLookup lookup = &ReceiveEntry);

    // CharacterSink, capture thread.
    bool ExtendOn() const override { return extendOn_; }
    void EmitCharacter(long long CodeNumber) override;
    void EmitWordSpace() override;
    ExtendedResult EmitExtended(const ExtendedCharacter& character) override;
    bool KnowsCode(long long CodeNumber) const override;
    bool KanaTable() const override { return rxLanguage_ == RxLanguage::Japanese; }

    // Prints the entry of `code` when the chosen table has one; reports it.
    bool PrintIfKnown(long long code);
    ReceiveTable ChosenTable() const;

    // UI thread.
    LanguageButtonResult PressLanguageButton(RxLanguage pressed, std::string_view selectedText);
    std::string SetAutoLanguage(bool on);  // returns the language setting
    std::string SetExtendOn(bool on);      // returns "ExtendON" / "ExtendOFF"
    void SetRxLanguage(RxLanguage language) { rxLanguage_ = language; }
    void SetTxInputMode(int mode) { txInputMode_ = mode; }
    void SetKatakanaDisplay(bool on) { katakanaDisplay_ = on; }
    // "E" or "J", then "A" (automatic switching) or "N".
    std::string LanguageSetting() const;

    RxLanguage Language() const { return rxLanguage_; }
    bool AutoLanguage() const { return autoLanguage_; }

  private:
    void SwitchLanguage(RxLanguage language);
    // Prints elements [first, end) of a character (dashes[i] nonzero for a
    // dash, gaps[i] the gap before element i), splitting them where needed.
    bool SplitPrint(std::span<const unsigned char> dashes, std::span<const int> gaps, int first,
                    int end);

    ReceiveTextOutput& output_;
    EntryLookup lookup_;
    std::atomic<RxLanguage> rxLanguage_{RxLanguage::English};
    std::atomic<bool> autoLanguage_{false};
    std::atomic<bool> extendOn_{true};
    std::atomic<int> txInputMode_{0};
    std::atomic<bool> katakanaDisplay_{true};
};

}  // namespace morvane::decode
