#include "decode/CharacterDecoder.h"

#include <vector>

#include "common/Utf8.h"

namespace morvane::decode {

namespace {

constexpr long long kOpenJapanese = 82;       // .-..-.  ")" in the mixed table
constexpr long long kOpenJapaneseLess = 103;  // -..---  "<"
constexpr long long kCloseJapanese = 109;     // -.--.-  "（"

bool InTableRange(long long code) {
    return code >= kMinCodeNumber && code <= kMaxCodeNumber;
}

// CodeNumber of elements [first, end).
long long CodeOf(std::span<const unsigned char> dashes, int first, int end) {
    long long code = 1;
    for (int i = first; i < end; ++i)
        code = 2 * code + (dashes[i] != 0 ? 1 : 0);
    return code;
}

}  // namespace

std::string ReReadWithKanaKeys(std::string_view text, bool katakana) {
    std::span<const KanaKeyRow> rows = KanaKeyTable();
    std::string out;
    for (std::string_view character : common::SplitUtf8(text)) {
        std::string_view converted = character;
        for (std::size_t row = 1; row < rows.size(); ++row) {
            const KanaKeyRow& key = rows[row];
            if (character == key.Hiragana || character == key.Katakana) {
                converted = key.Key;
                break;
            }
            if (character == key.Key) {
                converted = katakana ? key.Katakana : key.Hiragana;
                break;
            }
        }
        out += converted;
    }
    return out;
}

CharacterDecoder::CharacterDecoder(ReceiveTextOutput& output, EntryLookup lookup)
    : output_(output), lookup_(lookup) {}

ReceiveTable CharacterDecoder::ChosenTable() const {
    if (rxLanguage_ == RxLanguage::English)
        return txInputMode_ == 0 ? ReceiveTable::English : ReceiveTable::MixedEnglish;
    return katakanaDisplay_ ? ReceiveTable::Katakana : ReceiveTable::Hiragana;
}

void CharacterDecoder::SwitchLanguage(RxLanguage language) {
    rxLanguage_ = language;
    output_.LanguageSwitched(language);
}

void CharacterDecoder::EmitCharacter(long long CodeNumber) {
    if (!InTableRange(CodeNumber)) {
        output_.AppendReceived(kUnknownEntry);
        return;
    }
    const ReceiveTable table = ChosenTable();
    if (rxLanguage_ == RxLanguage::English) {
        output_.AppendReceived(lookup_(table, CodeNumber));
        if (txInputMode_ >= 1 && autoLanguage_ && CodeNumber == kOpenJapanese)
            SwitchLanguage(RxLanguage::Japanese);
        return;
    }
    // The closing bracket is still printed from the kana table.
    if (autoLanguage_ && CodeNumber == kCloseJapanese)
        SwitchLanguage(RxLanguage::English);
    output_.AppendReceived(lookup_(table, CodeNumber));
}

void CharacterDecoder::EmitWordSpace() {
    output_.AppendWordSpace();
}

bool CharacterDecoder::KnowsCode(long long CodeNumber) const {
    return InTableRange(CodeNumber) && lookup_(ChosenTable(), CodeNumber) != kUnknownEntry;
}

bool CharacterDecoder::PrintIfKnown(long long code) {
    if (!InTableRange(code))
        return false;
    std::string_view entry = lookup_(ChosenTable(), code);
    if (entry == kUnknownEntry)
        return false;
    output_.AppendReceived(entry);
    if (rxLanguage_ == RxLanguage::Japanese) {
        if (autoLanguage_ && code == kCloseJapanese)
            SwitchLanguage(RxLanguage::English);
    } else if (txInputMode_ >= 1 && autoLanguage_ &&
               (code == kOpenJapanese || code == kOpenJapaneseLess)) {
        SwitchLanguage(RxLanguage::Japanese);
    }
    return true;
}

ExtendedResult CharacterDecoder::EmitExtended(const ExtendedCharacter& character) {
    ExtendedResult result;
    const int n = character.ElementCount;
    if (character.CodeNumber < 1 || n < 1)
        return result;
    if (n == 1) {
        result.Printed = PrintIfKnown(character.CodeNumber);
        return result;
    }
    // Re-classify the elements with the threshold in force now.
    std::vector<unsigned char> dashes(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        dashes[i] = character.MarkLengths[i] > character.DashThreshold;
    std::span<const int> gaps = character.GapLengths.first(static_cast<std::size_t>(n));

    // Gaps that reach the character gap cut first (they end up here when
    // the speed was not valid yet or the character hit the element limit).
    int splitStart = 0;
    for (int i = 1; i < n; ++i) {
        if (gaps[i] >= character.CharGapThreshold) {
            result.Printed |= SplitPrint(dashes, gaps, splitStart, i);
            splitStart = i;
        }
    }
    if (character.PartialFlush) {
        result.RemainderStart = splitStart;
        result.RemainderCode = CodeOf(dashes, splitStart, n);
        return result;
    }
    result.Printed |= SplitPrint(dashes, gaps, splitStart, n);
    return result;
}

bool CharacterDecoder::SplitPrint(std::span<const unsigned char> dashes, std::span<const int> gaps,
                                  int first, int end) {
    int s = first;
    if (PrintIfKnown(CodeOf(dashes, s, end)))
        return true;
    bool printed = false;
    int e = end;
    while (true) {
        // The search ends when it has come down to the segment's first two
        // elements, or when no gap is left between s and e (from there on
        // only empty pieces could be tried). A short rest after a printed
        // piece is still searched: a known first element splits off.
        if (e - first - 1 < 2 || e - s < 2)
            return printed;
        int sum = 0;
        for (int j = s + 1; j < e; ++j)
            sum += gaps[j];
        int t = static_cast<int>(1.4 * sum / (e - s - 1));
        // The largest gap at or above 1.4 x the mean, the later on equal
        // gaps; without one, cut off the last element.
        int k = e - 1;
        for (int j = s + 1; j < e; ++j) {
            if (gaps[j] >= t) {
                k = j;
                t = gaps[j];
            }
        }
        if (PrintIfKnown(CodeOf(dashes, s, k))) {
            printed = true;
            s = k;
            if (PrintIfKnown(CodeOf(dashes, s, end)))
                return true;
            e = end;
        } else {
            e = k;
        }
    }
}

LanguageButtonResult CharacterDecoder::PressLanguageButton(RxLanguage pressed,
                                                           std::string_view selectedText) {
    LanguageButtonResult result;
    if (selectedText.empty()) {
        rxLanguage_ = pressed;
    } else {
        result.Replacement = ReReadWithKanaKeys(selectedText, katakanaDisplay_);
    }
    result.Shown = rxLanguage_;
    result.LanguageSetting = LanguageSetting();
    return result;
}

std::string CharacterDecoder::SetAutoLanguage(bool on) {
    autoLanguage_ = on;
    return LanguageSetting();
}

std::string CharacterDecoder::SetExtendOn(bool on) {
    extendOn_ = on;
    return on ? "ExtendON" : "ExtendOFF";
}

std::string CharacterDecoder::LanguageSetting() const {
    std::string setting = rxLanguage_ == RxLanguage::English ? "E" : "J";
    setting += autoLanguage_ ? "A" : "N";
    return setting;
}

}  // namespace morvane::decode
