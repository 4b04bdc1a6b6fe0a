#include "synth/TextKeying.h"

#include <gtest/gtest.h>

#include <set>

#include "synth/DemoContact.h"

namespace morvane::synth {
namespace {

// Durations in dots of the marks and gaps of `events`, starting with the
// first key-down.
std::vector<double> Durations(const std::vector<KeyEvent>& events, double dotMs) {
    std::vector<double> dots;
    for (std::size_t i = 1; i < events.size(); ++i)
        dots.push_back((events[i].TimeMs - events[i - 1].TimeMs) / dotMs);
    return dots;
}

TEST(TextKeying, LettersAndWordSpacesTimeOut) {
    // "AN E" at 100 per minute (dot 60 ms): .- gap -. word gap .
    const auto keyed = TextToEvents("AN E", TextAlphabet::English, 15);
    EXPECT_TRUE(keyed.Missing.empty());
    const std::vector<double> expected = {1, 1, 3, 3, 3, 1, 1, 7, 1};
    const auto dots = Durations(keyed.Events, 60.0);
    ASSERT_EQ(dots.size(), expected.size());
    for (std::size_t i = 0; i < dots.size(); ++i)
        EXPECT_NEAR(dots[i], expected[i], 1e-9) << i;
    EXPECT_NEAR(keyed.EndMs, keyed.Events.back().TimeMs + 3 * 60.0, 1e-9);
    EXPECT_DOUBLE_EQ(keyed.Events.front().TimeMs, 0.0);
}

TEST(TextKeying, KanaUsesWabunAndUnknownCharactersAreListed) {
    // ハ is -... in Wabun (B in international Morse); Latin letters still
    // work inside a kana text.
    for (auto [text, alphabet, pattern] : {std::tuple{"ハ", TextAlphabet::Katakana, "34141412"},
                                           {"は", TextAlphabet::Hiragana, "34141412"},
                                           {"B", TextAlphabet::English, "34141412"},
                                           {"K", TextAlphabet::Katakana, "341432"},
                                           {"　", TextAlphabet::Katakana, "6"}})
        EXPECT_EQ(PatternForCharacter(text, alphabet), pattern) << text;
    const auto keyed = TextToEvents("A{B", TextAlphabet::English, 15);
    EXPECT_EQ(keyed.Missing, std::vector<std::string>{"{"});
    EXPECT_EQ(keyed.Events.size(), 2u * (2 + 4));
}

TEST(DemoContact, EveryOverCanBeKeyedAndSpeedsDiffer) {
    std::set<int> speeds;
    bool wabun = false;
    for (const auto& over : DemoOvers()) {
        const auto keyed = TextToEvents(
            over.Text, over.Wabun ? TextAlphabet::Katakana : TextAlphabet::English, over.SpeedStep);
        EXPECT_TRUE(keyed.Missing.empty()) << over.Text;
        speeds.insert(over.SpeedStep);
        wabun = wabun || over.Wabun;
    }
    EXPECT_GE(speeds.size(), 3u);
    EXPECT_TRUE(wabun);
    const auto script = MakeDemoScript(1);
    EXPECT_GT(script.DurationMs, 60000.0);
    // The contact is sent one over at a time: no two main stations key at once.
    std::vector<std::pair<double, double>> spans;
    for (std::size_t s = 0; s + 1 < script.Stations.size(); ++s)
        spans.emplace_back(script.Stations[s].Events.front().TimeMs,
                           script.Stations[s].Events.back().TimeMs);
    for (std::size_t s = 1; s < spans.size(); ++s)
        EXPECT_GT(spans[s].first, spans[s - 1].second);
}

}  // namespace
}  // namespace morvane::synth
