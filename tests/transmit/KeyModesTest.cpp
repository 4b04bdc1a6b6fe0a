// The four Key Modes, E/J Direct romaji groups and the speed arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <tuple>

#include "KeyingFixture.h"
#include "common/Utf8.h"
#include "decode/CodeTables.h"
#include "transmit/KeyingTiming.h"

namespace morvane::transmit {
namespace {

using testing::EchoedTexts;
using testing::HeardMorse;
using testing::KeyingRig;
using Texts = std::vector<std::string>;

// Text keyed in one Key Mode: the Morse heard and the echoes, "S:" sent, "U:" unsendable.
TEST(KeyModes, TextKeyedPerMode) {
    using enum KeyMode;
    struct Case {
        KeyMode mode;
        bool katakana;
        const char* text;
        const char* morse;
        Texts echoes;
    };
    const Case cases[] = {
        // "<" is DO run together, カ is .-.., ">" (＞) is SN run together.
        {Direct, true, "<KA>E", "-..--- .-.. ...-. .", {"S:<", "S:カ", "S:＞", "S:E"}},
        {Direct, false, "<KA>", "-..--- .-.. ...-.", {"S:<", "S:か", "S:＞"}},
        // A doubled consonant sends small ツ first.
        {Direct, true, "<KKA", "-..--- .--. .-..", {"S:<", "S:ツ", "S:カ"}},
        // シャ = し + や, チュ = ち + ゆ, ツ; the blank is the full-width space.
        {Direct,
         true,
         "<SHA CHU TSU",
         "-..--- --.-. .-- ..-. -..-- .--.",
         {"S:<", "S:シャ", "S:　", "S:チュ", "S:　", "S:ツ"}},
        // KYX: no three-letter row, only K is consumed; then YX has a second
        // letter that cannot start a third, so both go; then A.
        {Direct, true, "<KYXA", "-..--- --.--", {"S:<", "U:KYX", "U:YX", "S:ア"}},
        // が is か then the voicing mark; katakana is not in the hiragana table.
        {Ime, false, "かがAカ", ".-.. .-.. .. .-", {"S:か", "S:が", "S:A", "U:カ"}},
        {Kana, true, "カッ", ".-.. .--.", {"S:カ", "S:ッ"}},
        {English, true, "カ(", "-.--.", {"U:カ", "S:("}},
    };
    for (const Case& c : cases) {
        KeyingRig rig;
        rig.Engine.SetKeyMode(c.mode);
        rig.Engine.SetKatakanaDisplay(c.katakana);
        EXPECT_EQ(HeardMorse(rig.Send(c.text), 60), c.morse) << c.text;
        EXPECT_EQ(EchoedTexts(rig.Windows), c.echoes) << c.text;
    }
}

TEST(KeyModes, DirectHoldsALoneConsonantUntilMoreTextOrAClear) {
    KeyingRig rig;
    rig.Engine.SetKeyMode(KeyMode::Direct);
    rig.Text.Append("<K");
    EXPECT_FALSE(rig.Timer.RunUntilIdle(rig.Engine, 5'000));
    EXPECT_EQ(HeardMorse(rig.Output.Events(), 60), "-..---");
    EXPECT_EQ(rig.Engine.RomajiLookahead(), 1);
    EXPECT_EQ(rig.Text.Position(), 5u);
    rig.Text.Append("Y");  // still incomplete: KY may start KYA
    EXPECT_FALSE(rig.Timer.RunUntilIdle(rig.Engine, 5'000));
    EXPECT_EQ(rig.Engine.RomajiLookahead(), 2);
    rig.Text.Append("A");
    EXPECT_TRUE(rig.Timer.RunUntilIdle(rig.Engine));
    EXPECT_EQ(EchoedTexts(rig.Windows), (Texts{"S:<", "S:キャ"}));

    rig.Text.Append("K");
    EXPECT_FALSE(rig.Timer.RunUntilIdle(rig.Engine, 5'000));
    rig.Text.Clear();
    rig.Text.Append("E");
    EXPECT_TRUE(rig.Timer.RunUntilIdle(rig.Engine));
    EXPECT_EQ(EchoedTexts(rig.Windows), (Texts{"S:E"}));
}

// Edits of the unsent text while a romaji group waits: the group is examined
// again from its first letter, whether the edit was a Backspace (cut mark) or
// text replaced in place.
TEST(KeyModes, DirectWaitingGroupFollowsEditsOfTheUnsentText) {
    struct Case {
        const char* typed;   // first text, ending in an incomplete group
        const char* edited;  // the whole window after the edit
        bool cut;            // the edit was a Backspace or Delete
        const char* added;   // typed after the edit
        Texts echoes;        // everything after the "<"
    };
    const Case cases[] = {
        {"<K", "TX> <", true, "AIUEO KA", {"S:ア", "S:イ", "S:ウ", "S:エ", "S:オ", "S:　", "S:カ"}},
        {"<K", "TX> <", true, "A", {"S:ア"}},
        // KY waits for a third letter; with Y gone, K waits for a second one.
        {"<KY", "TX> <K", true, "A", {"S:カ"}},
        // The consonant overwritten in place, without a cut.
        {"<K", "TX> <A", false, "", {"S:ア"}},
    };
    for (const Case& c : cases) {
        KeyingRig rig;
        rig.Engine.SetKeyMode(KeyMode::Direct);
        rig.Text.Append(c.typed);
        ASSERT_FALSE(rig.Timer.RunUntilIdle(rig.Engine, 5'000)) << c.typed;
        ASSERT_GT(rig.Engine.RomajiLookahead(), 0) << c.typed;
        rig.Text.Replace(c.edited);
        if (c.cut)
            rig.Engine.MarkTextCut();
        rig.Timer.Tick(rig.Engine);
        rig.Text.Append(c.added);
        EXPECT_TRUE(rig.Timer.RunUntilIdle(rig.Engine, 60'000)) << c.edited << c.added;
        Texts expected{"S:<"};
        expected.insert(expected.end(), c.echoes.begin(), c.echoes.end());
        EXPECT_EQ(EchoedTexts(rig.Windows), expected) << c.edited << c.added;
        EXPECT_EQ(rig.Engine.RomajiLookahead(), 0) << c.edited << c.added;
    }
}

// The rows a lookup searches, in the order it searches them; the character of
// a half-width kana row is its full-width form.
struct SearchedRows {
    std::vector<std::pair<std::string_view, std::string_view>> Rows;  // character, pattern
    void Add(std::span<const decode::TransmitRow> rows, std::size_t first, std::size_t last) {
        ASSERT_LT(last, rows.size());
        for (std::size_t i = first; i <= last; ++i)
            Rows.emplace_back(rows[i].Character, rows[i].Pattern);
    }
    // The pattern of the first row with `ch`: a later row with the same text is never reached.
    std::string_view FirstPattern(std::string_view ch) const {
        for (const auto& [character, pattern] : Rows)
            if (character == ch)
                return pattern;
        return {};
    }
};

// Typing the text of any row a Key Mode searches keys that row's pattern, so
// no row at either end of a searched range is lost.
TEST(KeyModes, EveryTransmitRowIsReachedInItsMode) {
    using enum KeyMode;
    auto mixed = decode::MixedEnglishTransmitTable();
    SearchedRows english, imeKatakana, imeHiragana, kana, direct;
    english.Add(decode::EnglishTransmitTable(), 1, 56);
    direct.Add(mixed, 0, 59);
    for (SearchedRows* rows : {&imeKatakana, &imeHiragana, &kana})
        rows->Add(mixed, 0, 59);
    imeKatakana.Add(decode::KatakanaTransmitTable(), 0, 113);
    imeHiragana.Add(decode::HiraganaTransmitTable(), 1, 113);
    auto halfWidth = decode::HalfWidthKanaTransmitTable();
    ASSERT_EQ(halfWidth.size(), 63u);
    for (std::size_t i = 1; i <= 62; ++i)
        kana.Rows.emplace_back(halfWidth[i].FullWidth, halfWidth[i].Pattern);
    const std::tuple<KeyMode, bool, const SearchedRows*> modes[] = {
        {English, true, &english}, {Ime, true, &imeKatakana}, {Ime, false, &imeHiragana},
        {Kana, true, &kana},       {Direct, true, &direct},
    };
    for (const auto& [mode, katakana, searched] : modes) {
        for (const auto& [ch, pattern] : searched->Rows) {
            if (ch.empty())
                continue;
            std::vector<std::string_view> chars{ch};
            RomajiState romaji;
            LookupResult found = LookupCharacter(chars, 0, mode, katakana, romaji);
            EXPECT_EQ(found.Result, LookupResult::Kind::Hit) << int(mode) << " " << ch;
            EXPECT_EQ(found.Pattern, searched->FirstPattern(ch)) << int(mode) << " " << ch;
            EXPECT_EQ(found.Consumed, 1u) << int(mode) << " " << ch;
        }
    }

    // E/J Direct in a kana section: single rows, pairs and triples of romaji.
    auto romajiRows = decode::RomajiTransmitTable();
    ASSERT_EQ(romajiRows.size(), 288u);
    auto doubles = decode::DoubleConsonantList();
    auto isDouble = [&](std::string_view key) {
        return std::find(doubles.begin(), doubles.end(), key.substr(0, 2)) != doubles.end();
    };
    auto pairRow = [&](std::string_view key) {
        for (std::size_t i = 30; i <= 135; ++i)
            if (romajiRows[i].Key == key)
                return i;
        return std::size_t{0};
    };
    const std::tuple<std::size_t, std::size_t, std::size_t> groups[] = {
        {0, 28, 1}, {30, 135, 2}, {141, 287, 3}};
    int reached = 0;
    for (const auto& [first, last, letters] : groups) {
        for (std::size_t i = first; i <= last; ++i) {
            const decode::RomajiRow& row = romajiRows[i];
            std::vector<std::string_view> chars = common::SplitUtf8(row.Key);
            if (row.Key.empty() || isDouble(row.Key))
                continue;
            ASSERT_EQ(chars.size(), letters) << row.Key;
            // Only the listed consonants start a group, and only the listed
            // second letters a triple (the L and X rows are never typed); a
            // pair row comes first when a triple begins with it.
            std::string_view key = row.Key;
            bool unreachable =
                letters > 1 && std::string_view("BCDFGHJKMNPQRSTVWYZ").find(key[0]) == key.npos;
            unreachable |=
                letters == 3 && (std::string_view("AEHIOSUWY").find(key[1]) == key.npos ||
                                 pairRow(key.substr(0, 2)) != 0);
            unreachable |= letters == 2 && pairRow(key) != i;
            if (unreachable)
                continue;
            RomajiState romaji{.KanaSection = true};
            LookupResult found = LookupCharacter(chars, 0, Direct, true, romaji);
            EXPECT_EQ(found.Result, LookupResult::Kind::Hit) << row.Key;
            EXPECT_EQ(found.Pattern, row.Pattern) << row.Key;
            EXPECT_EQ(found.Echo, row.Katakana) << row.Key;
            EXPECT_EQ(found.Consumed, letters) << row.Key;
            EXPECT_EQ(romaji.RomajiLookahead, 0) << row.Key;
            ++reached;
        }
    }
    EXPECT_GT(reached, 250);
}

TEST(KeyingTiming, SpeedLabelsAndReceivedSpeed) {
    EXPECT_EQ(SpeedLabelText(15, Weights{}), "100/Min");
    EXPECT_DOUBLE_EQ(DotLengthMs(0), 240.0);
    EXPECT_EQ(RoundHalfUpMs(DotLengthMs(31)), 33);
    // PARIS at step 15 with heavier dashes: T = 600 + 4*60*3.4 + 540 + 720 + 420.
    Weights heavy{1.0, 3.4, 3.0, 7.0};
    EXPECT_EQ(SpeedLabelText(15, heavy), std::to_string(int(300000.0 / 3096 + 0.5)) + "/Min");
    // A word space no longer than the character space is left out.
    EXPECT_EQ(ParisSpeedPerMin(60, {1.0, 3.0, 5.0, 4.0}),
              int(300000.0 / (600 + 720 + 540 + 1200) + 0.5));

    EXPECT_EQ(ReceivedSpeedFromLabel("100/Min"), 100);
    EXPECT_EQ(ReceivedSpeedFromLabel("/Min"), 0);
    EXPECT_EQ(ReceivedSpeedFromLabel("abc/Min"), 0);
    // At the defaults each step's truncated-term speed is its own 25 + 5k.
    EXPECT_EQ(StepForReceivedSpeed(100, Weights{}), 15);
    EXPECT_EQ(StepForReceivedSpeed(104, Weights{}), 15);
    EXPECT_EQ(StepForReceivedSpeed(999, Weights{}), 31);
    EXPECT_EQ(StepForReceivedSpeed(10, Weights{}), 0);
}

}  // namespace
}  // namespace morvane::transmit
