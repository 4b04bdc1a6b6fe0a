#include "decode/CharacterDecoder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "decode/ElementTiming.h"
#include "text/MonitorWindow.h"
#include "text/ReceiveWindow.h"
#include "text/WindowCommand.h"

namespace morvane::decode {
namespace {

using text::DrainInto;
using text::MonitorWindow;
using text::ReceiveWindow;
using text::WindowCommandQueue;

class RecordingOutput : public ReceiveTextOutput {
  public:
    void AppendReceived(std::string_view t) override { text += t; }
    void AppendWordSpace() override { text += ' '; }
    void LanguageSwitched(RxLanguage language) override { switches.push_back(language); }
    std::string text;
    std::vector<RxLanguage> switches;
};

// A character written as dots and dashes with the gap before each further
// element, lengths in ticks (dot 20, dash 60, threshold 41).
struct Built {
    std::vector<int> marks;
    std::vector<int> gaps;
    ExtendedCharacter Character(bool partial = false) const {
        return {.CodeNumber = 1,  // rebuilt from the lengths
                .ElementCount = static_cast<int>(marks.size()),
                .MarkLengths = marks,
                .GapLengths = gaps,
                .DashThreshold = 41,
                .CharGapThreshold = 41,
                .PartialFlush = partial};
    }
};

Built Build(std::string_view pattern, std::vector<int> gapsBefore) {
    Built built;
    for (char element : pattern)
        built.marks.push_back(element == '-' ? 60 : 20);
    built.gaps.push_back(0);
    built.gaps.insert(built.gaps.end(), gapsBefore.begin(), gapsBefore.end());
    return built;
}

class CharacterDecoderTest : public ::testing::Test {
  protected:
    RecordingOutput out;
    CharacterDecoder decoder{out};
};

TEST_F(CharacterDecoderTest, TableFollowsLanguageAndKeyMode) {
    const long long san = CodeNumberOf("...-..-");
    decoder.EmitCharacter(san);
    decoder.SetTxInputMode(1);  // E/J Direct reads the mixed table
    decoder.EmitCharacter(san);
    decoder.EmitCharacter(2992);  // beyond the tables
    decoder.EmitCharacter(1);
    EXPECT_EQ(out.text, "SAN***");
}

TEST_F(CharacterDecoderTest, BracketSignsSwitchLanguageInEJModesWithAuto) {
    decoder.SetTxInputMode(1);
    decoder.SetAutoLanguage(true);
    decoder.EmitCharacter(CodeNumberOf(".-..-."));
    EXPECT_EQ(decoder.Language(), RxLanguage::Japanese);
    decoder.EmitCharacter(CodeNumberOf("-..."));
    decoder.SetKatakanaDisplay(false);
    decoder.EmitCharacter(CodeNumberOf("-..."));
    decoder.EmitCharacter(CodeNumberOf("-.--.-"));  // printed from the kana table
    EXPECT_EQ(decoder.Language(), RxLanguage::English);
    decoder.EmitCharacter(CodeNumberOf("-..."));
    EXPECT_EQ(out.text, ")ハは（B");
    EXPECT_EQ(out.switches, (std::vector<RxLanguage>{RxLanguage::Japanese, RxLanguage::English}));
}

TEST_F(CharacterDecoderTest, KnownCodesAreThoseOfTheTableInUseNow) {
    // "-.--." is "(" in the English table, empty in the mixed one; "--.--"
    // is a kana only. The bracket switch changes the table asked.
    const long long open = CodeNumberOf("-.--.");
    const long long kana = CodeNumberOf("--.--");
    EXPECT_TRUE(decoder.KnowsCode(open));
    EXPECT_FALSE(decoder.KnowsCode(kana));
    EXPECT_FALSE(decoder.KnowsCode(1));
    EXPECT_FALSE(decoder.KnowsCode(2992));
    decoder.SetTxInputMode(1);
    EXPECT_FALSE(decoder.KnowsCode(open));
    decoder.SetAutoLanguage(true);
    decoder.EmitCharacter(CodeNumberOf(".-..-."));
    EXPECT_TRUE(decoder.KnowsCode(kana));
    decoder.EmitCharacter(CodeNumberOf("-.--.-"));
    EXPECT_FALSE(decoder.KnowsCode(kana));
}

TEST_F(CharacterDecoderTest, NoSwitchInEnglishKeyModeOrWithoutAuto) {
    decoder.SetAutoLanguage(true);
    decoder.EmitCharacter(CodeNumberOf(".-..-."));
    EXPECT_EQ(out.text, "\"");
    EXPECT_EQ(decoder.Language(), RxLanguage::English);

    decoder.SetAutoLanguage(false);
    decoder.SetTxInputMode(1);
    decoder.EmitCharacter(CodeNumberOf(".-..-."));
    EXPECT_EQ(decoder.Language(), RxLanguage::English);
    decoder.SetRxLanguage(RxLanguage::Japanese);
    decoder.EmitCharacter(CodeNumberOf("-.--.-"));
    EXPECT_EQ(decoder.Language(), RxLanguage::Japanese);
    EXPECT_EQ(out.text, "\")（");
    EXPECT_TRUE(out.switches.empty());
}

TEST_F(CharacterDecoderTest, ExtendSplitsAtTheLargestGapOrCutsFromTheEnd) {
    struct Case {
        const char* pattern;
        std::vector<int> gaps;
        const char* text;
    };
    const Case cases[] = {
        {".-...-", {10, 10, 10, 30, 10}, "LA"},  // largest gap before element 4
        {".-...-", {20, 20, 20, 20, 20}, "LA"},  // equal: ".-..." unknown, ".-.." known
        {".-...-", {10, 30, 10, 10, 10}, "AV"},  // largest gap after ".-"
        {".-...-", {10, 30, 10, 30, 10}, "LA"},  // two equal largest: the later wins
        {"..--", {10, 20, 10}, "IM"},            // into two known pieces at the largest gap
        {"..--", {41, 10, 10}, "EW"},            // 41 reaches the character gap (>=)
        {".-...-", {27, 20, 20, 20, 20}, "LA"},  // 27 is below 1.4 x the mean of 21.4
        // After "-" the mean leaves out the gap before the rest: 25 splits it.
        {"-.--...", {60, 10, 25, 10, 10, 10}, "TAB"},
    };
    for (const Case& c : cases) {
        out.text.clear();
        EXPECT_TRUE(decoder.EmitExtended(Build(c.pattern, c.gaps).Character()).Printed);
        EXPECT_EQ(out.text, c.text) << c.pattern;
    }
    // Dashes are told from dots again with the threshold in force: 41 ticks
    // is still a dot.
    out.text.clear();
    const std::vector<int> marks{41, 42}, gaps{0, 10};
    decoder.EmitExtended({.CodeNumber = 1,
                          .ElementCount = 2,
                          .MarkLengths = marks,
                          .GapLengths = gaps,
                          .DashThreshold = 41,
                          .CharGapThreshold = 41});
    EXPECT_EQ(out.text, "A");
}

TEST_F(CharacterDecoderTest, ExtendCutAtTheElementLimitReturnsTheRemainder) {
    // Only what lies before the last character gap is printed.
    ExtendedResult result =
        decoder.EmitExtended(Build(".--....", {10, 50, 10, 10, 10, 10}).Character(true));
    EXPECT_EQ(out.text, "A");
    EXPECT_TRUE(result.Printed);
    EXPECT_EQ(result.RemainderStart, 2);
    EXPECT_EQ(result.RemainderCode, CodeNumberOf("-...."));
}

TEST_F(CharacterDecoderTest, ExtendKeepsALetterThatCrossesTheElementLimitWhole) {
    // S and eight digits run together (letter gap 40 ticks, below the
    // character gap of 41): 43 elements. The cut at 30 falls inside the 6;
    // nothing splits off there, and the whole run is split at the end.
    ElementTiming timing(decoder);
    timing.SetRxSpeedAuto(false, 15);  // thresholds 41, no estimate
    ASSERT_EQ(timing.CharGapThreshold(), 41);
    auto run = [&](int level, int ticks) {
        for (int i = 0; i < ticks; ++i)
            timing.TimingStep(level, 0);
    };
    std::string elements;
    for (std::string_view letter :
         {"...", ".----", "..---", "...--", "....-", ".....", "-....", "--...", "---.."}) {
        for (std::size_t i = 0; i < letter.size(); ++i) {
            if (!elements.empty())
                run(-10, i == 0 ? 40 : 20);
            run(10, letter[i] == '-' ? 60 : 20);
            elements += letter[i];
        }
    }
    ASSERT_EQ(elements.size(), 43u);
    run(-10, 1);  // the last mark ends
    EXPECT_EQ(out.text, "") << "nothing is printed at the element limit";
    EXPECT_EQ(timing.ElementCount(), 43 - 30 + 1);
    run(-10, 41);
    EXPECT_EQ(out.text, "S12345678");
}

TEST_F(CharacterDecoderTest, ExtendAlwaysPrintsASingleElement) {
    auto single = [&](long long code) {
        ExtendedCharacter character;
        character.CodeNumber = code;
        character.ElementCount = 1;
        return decoder.EmitExtended(character).Printed;
    };
    EXPECT_TRUE(single(2));
    EXPECT_TRUE(single(3));
    decoder.SetRxLanguage(RxLanguage::Japanese);
    EXPECT_TRUE(single(2));
    decoder.SetKatakanaDisplay(false);
    EXPECT_TRUE(single(3));
    EXPECT_EQ(out.text, "ETヘむ");
}

// A table that knows only E and T, so that splits run out of known pieces.
std::string_view OnlyEAndT(ReceiveTable, long long code) {
    if (code == 2)
        return "E";
    if (code == 3)
        return "T";
    return kUnknownEntry;
}

TEST(CharacterDecoder, ExtendKeepsSplittingAnUnknownRestAndDropsOnlyATwoElementSegment) {
    struct Case {
        const char* pattern;
        std::vector<int> gaps;
        const char* text;
    };
    const Case cases[] = {
        // "-" splits off at the large gap; the rest ".-" has no entry and is
        // split again.
        {"-.-", {30, 10}, "TET"},
        {"-..-", {30, 10, 10}, "TEET"},
        {".-.-", {10, 10, 10}, ""},  // equal gaps: cut from the end down to two elements
        {"..", {10}, ""},            // a two-element segment is not searched
    };
    for (const Case& c : cases) {
        RecordingOutput out;
        CharacterDecoder decoder(out, &OnlyEAndT);
        EXPECT_EQ(decoder.EmitExtended(Build(c.pattern, c.gaps).Character()).Printed, *c.text != 0)
            << c.pattern;
        EXPECT_EQ(out.text, c.text) << c.pattern;
    }
    // A piece printed before the search gives up still counts as printed.
    RecordingOutput out;
    CharacterDecoder decoder(out, [](ReceiveTable, long long code) {
        return code == 3 ? std::string_view("T") : kUnknownEntry;
    });
    EXPECT_TRUE(decoder.EmitExtended(Build("-..", {30, 10}).Character()).Printed);
    EXPECT_EQ(out.text, "T");
}

TEST_F(CharacterDecoderTest, ExtendSwitchesAlsoOnTheLessThanSign) {
    decoder.SetTxInputMode(2);
    decoder.SetAutoLanguage(true);
    EXPECT_TRUE(decoder.PrintIfKnown(CodeNumberOf("-..---")));
    EXPECT_EQ(decoder.Language(), RxLanguage::Japanese);
    EXPECT_TRUE(decoder.PrintIfKnown(CodeNumberOf("-.--.-")));
    EXPECT_EQ(decoder.Language(), RxLanguage::English);
    EXPECT_EQ(out.text, "<（");
}

TEST(CharacterDecoder, KanaKeysReReadTextInTheOtherAlphabet) {
    EXPECT_EQ(ReReadWithKanaKeys("LA", true), "カイ");
    EXPECT_EQ(ReReadWithKanaKeys("LA", false), "かい");
    EXPECT_EQ(ReReadWithKanaKeys("カイ", true), "LA");
    EXPECT_EQ(ReReadWithKanaKeys("かい", true), "LA");
    // Digits and blanks become full-width; characters in no row stay.
    EXPECT_EQ(ReReadWithKanaKeys("CQ 5?", true), "ニネ　５?");
    EXPECT_EQ(ReReadWithKanaKeys("ニネ　５?", true), "CQ 5?");
    EXPECT_EQ(ReReadWithKanaKeys("゛", true), "I");
}

TEST_F(CharacterDecoderTest, LanguageButtonsSwitchOrReReadTheRememberedSelection) {
    LanguageButtonResult jpn = decoder.PressLanguageButton(RxLanguage::Japanese, "");
    EXPECT_FALSE(jpn.Replacement.has_value());
    EXPECT_EQ(jpn.Shown, RxLanguage::Japanese);
    EXPECT_EQ(jpn.LanguageSetting, "JN");
    EXPECT_EQ(decoder.SetAutoLanguage(true), "JA");

    ReceiveWindow rx;
    rx.AppendReceived("DE LA");
    rx.FocusGained();
    rx.Window().Select(7, 9);
    rx.FocusLost();
    LanguageButtonResult eng =
        decoder.PressLanguageButton(RxLanguage::English, rx.RememberedSelectionText());
    ASSERT_TRUE(eng.Replacement.has_value());
    EXPECT_EQ(eng.Shown, RxLanguage::Japanese) << "re-reading leaves the language";
    EXPECT_EQ(decoder.Language(), RxLanguage::Japanese);
    rx.ReplaceRememberedSelection(*eng.Replacement);
    EXPECT_EQ(rx.Window().Text(), "RX> DE カイ");
}

// Element timing, decoder and window wired as on the capture thread.
struct Chain {
    WindowCommandQueue queue;
    QueuedReceiveOutput output{queue};
    CharacterDecoder decoder{output};
    ElementTiming timing{decoder};
    ReceiveWindow rx;
    MonitorWindow monitor;

    void Send(std::string_view morse) {  // '.', '-', ' ' between characters, '/' word
        for (char c : morse) {
            if (c == '.' || c == '-') {
                Ticks(10, c == '-' ? 62 : 21);
                Ticks(-10, 21);
            } else {
                Ticks(-10, c == ' ' ? 42 : 200);
            }
        }
        Ticks(-10, 60);
    }
    void Ticks(int level, int count) {
        for (int i = 0; i < count; ++i)
            timing.TimingStep(level, 0);
    }
    void Drain() { DrainInto(queue, rx, monitor); }
};

TEST(CharacterDecoder, ReceivedTextReachesTheWindowWithLabelsAndHold) {
    Chain chain;
    chain.decoder.SetExtendOn(false);
    chain.Send("-.-. --.-/");
    chain.Drain();
    // 21 + 200 + 60 ticks after Q: blanks at tick 103 and 206.
    EXPECT_EQ(chain.rx.Window().Text(), "RX> CQ  ");

    chain.rx.EchoSent("K");
    chain.Send(".-.");
    chain.Drain();
    EXPECT_EQ(chain.rx.Window().Text(), "RX> CQ  \r\nTX> K\r\nRX> R");

    chain.rx.FocusGained();
    chain.Send("-");
    chain.Drain();
    EXPECT_EQ(chain.rx.Window().Text(), "RX> CQ  \r\nTX> K\r\nRX> R");
    chain.rx.FocusLost();
    EXPECT_EQ(chain.rx.Window().Text(), "RX> CQ  \r\nTX> K\r\nRX> RT");
}

TEST(CharacterDecoder, SettingsChangeOnTheUiThreadWhileTheCaptureThreadDecodes) {
    Chain chain;
    chain.decoder.SetExtendOn(false);
    constexpr int kRounds = 20;
    std::atomic<bool> done{false};
    std::jthread capture([&] {
        for (int i = 0; i < kRounds; ++i)
            chain.Send("-.-. --.-/");
        done = true;
    });
    // None of these changes how English in Key Mode English decodes.
    for (int i = 0; !done; ++i) {
        chain.decoder.SetKatakanaDisplay(i % 2 == 0);
        chain.decoder.SetAutoLanguage(i % 3 == 0);
        chain.timing.ResetSpeedMeasurement(false);
        chain.Drain();
    }
    capture.join();
    chain.Drain();
    std::string expected = "RX> ";
    for (int i = 0; i < kRounds; ++i)
        expected += "CQ  ";
    EXPECT_EQ(chain.rx.Window().Text(), expected);
}

}  // namespace
}  // namespace morvane::decode
