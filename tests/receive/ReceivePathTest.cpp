// End to end: text keyed by the generator, decoded by the receive path.
#include "common/Text.h"
#include "receive/ReceivePath.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>

#include "decode/CodeTables.h"
#include "receive/CaptureThread.h"
#include "synth/CwSynth.h"
#include "synth/TextKeying.h"
#include "text/MonitorWindow.h"
#include "text/ReceiveWindow.h"
#include "text/WindowCommand.h"

namespace morvane::receive {
namespace {

using synth::KeyEvent;

// Decodes the sum of the synths' audio, as long as the first one lasts.
std::string DecodeMix(std::vector<synth::CwSynth> synths, const ReceivePathOptions& options) {
    ReceivePath path(options);
    std::array<std::int16_t, kHalfSamples> mix{}, part{};
    for (std::int64_t done = 0; done < synths[0].TotalFrames(); done += kHalfFrames) {
        mix.fill(0);
        for (auto& synth : synths) {
            synth.Render(part);
            for (std::size_t i = 0; i < mix.size(); ++i)
                mix[i] = static_cast<std::int16_t>(mix[i] + part[i]);
        }
        path.OnBlock(mix, options.Channel);
    }
    path.Flush();
    return common::CollapseBlanks(path.ReceivedText());
}

std::string Decode(const std::vector<KeyEvent>& events, const ReceivePathOptions& options) {
    return DecodeMix({synth::CwSynth({}, {synth::Station{.Events = events, .ToneHz = 603.0}})},
                     options);
}

// What the English receive table makes of a character's transmit pattern:
// the reference the audio path must reproduce.
std::string TableDecoding(std::string_view pattern) {
    std::string elements;
    for (char code : pattern) {
        if (code == '1')
            elements += '.';
        if (code == '3')
            elements += '-';
    }
    return std::string(
        decode::ReceiveEntry(decode::ReceiveTable::English, decode::CodeNumberOf(elements)));
}

// Every English-table character keyed as one plain character (no joined
// signs with gaps inside), in groups of five.
struct PlainText {
    std::string Sent;
    std::string Expected;
};
PlainText AllPlainCharacters() {
    PlainText text;
    int inGroup = 0;
    for (const auto& row : decode::EnglishTransmitTable()) {
        const std::string& p = row.Pattern;
        if (row.Character.empty() || p == "6" || p.find_first_of("056") != std::string::npos ||
            p.find('2') != p.size() - 1)
            continue;
        // Patterns without a receive entry are split by Extend; tested apart.
        if (TableDecoding(p) == decode::kUnknownEntry)
            continue;
        text.Sent += row.Character;
        text.Expected += TableDecoding(p);
        if (++inGroup == 5) {
            text.Sent += ' ';
            text.Expected += ' ';
            inGroup = 0;
        }
    }
    return text;
}

TEST(ReceivePath, AllCharactersDecodeExactlyFrom25To180PerMinute) {
    const PlainText text = AllPlainCharacters();
    ASSERT_GE(text.Sent.size(), 26u + 10u + 8u);
    const std::string expected = common::CollapseBlanks(text.Expected);
    for (int cpm : {25, 50, 100, 150, 180}) {
        const int step = (cpm - 25) / 5;
        // A preamble lets the automatic speed settle from its 100 per minute
        // start, as on the air; only the text after it must be exact.
        auto keyed = synth::TextToEvents("VVV VVV " + text.Sent, synth::TextAlphabet::English, step,
                                         {}, 500.0);
        ASSERT_TRUE(keyed.Missing.empty());
        const std::string decoded = Decode(keyed.Events, {});
        ASSERT_GE(decoded.size(), expected.size());
        EXPECT_EQ(decoded.substr(decoded.size() - expected.size()), expected)
            << cpm << " per minute";
        EXPECT_LE(decoded.size(), expected.size() + 20) << decoded;
        // At a fixed speed the preamble needs no settling.
        if (cpm == 25 || cpm == 180) {
            ReceivePathOptions fixed;
            fixed.SpeedCpm = cpm;
            EXPECT_EQ(Decode(keyed.Events, fixed), "VVV VVV " + expected) << cpm;
        }
    }
}

// English call, the Wabun opening sign, kana, the closing sign, English again.
std::vector<KeyEvent> WabunOver(int step) {
    const double dotMs = synth::DotLengthMs(step);
    auto keyed = synth::TextToEvents("DE JA1ABC ", synth::TextAlphabet::English, step, {}, 500.0);
    double t = keyed.EndMs;
    synth::AppendPattern("143414143412", dotMs, {}, t, keyed.Events);  // .-..-.
    auto kana =
        synth::TextToEvents("コンニチハ　タロウサン", synth::TextAlphabet::Katakana, step, {}, t);
    keyed.Events.insert(keyed.Events.end(), kana.Events.begin(), kana.Events.end());
    t = kana.EndMs;
    synth::AppendPattern("341434341432", dotMs, {}, t, keyed.Events);  // -.--.-
    auto tail = synth::TextToEvents(" K", synth::TextAlphabet::English, step, {}, t);
    keyed.Events.insert(keyed.Events.end(), tail.Events.begin(), tail.Events.end());
    return keyed.Events;
}

// Q and Z with 1.6 dots between them instead of 3 ("--.---.." has no
// entry), then a separate A.
std::vector<KeyEvent> RunTogether() {
    const double dotMs = synth::DotLengthMs(15);
    std::vector<KeyEvent> events;
    double t = 500.0;
    synth::AppendPattern("3434143", dotMs, {}, t, events);
    t += 1.6 * dotMs;
    synth::AppendPattern("34341412", dotMs, {}, t, events);
    t += 7 * dotMs;
    synth::AppendPattern("1432", dotMs, {}, t, events);
    return events;
}

TEST(ReceivePath, LanguageSwitchingAndExtendDecodeOvers) {
    using enum KeyMode;
    const auto wabun = WabunOver(15);
    const auto joined = RunTogether();
    // An empty expectation: the kana must stay Latin letters.
    for (const auto& [events, autoLanguage, mode, katakana, extend, expected] : {
             std::tuple{wabun, true, Direct, true, true, "DE JA1ABC )コンニチハ タロウサン（ K"},
             {wabun, true, Direct, false, true, "DE JA1ABC )こんにちは たろうさん（ K"},
             {wabun, false, Direct, false, true, ""},
             {wabun, true, English, false, true, ""},
             {joined, false, English, true, true, "QZ A"},
             {joined, false, English, true, false, "* A"},
         }) {
        ReceivePathOptions options;
        options.AutoLanguage = autoLanguage;
        options.Mode = mode;
        options.Katakana = katakana;
        options.ExtendOn = extend;
        options.SpeedCpm = 100;
        const std::string decoded = Decode(events, options);
        if (std::string_view(expected).empty())
            EXPECT_EQ(decoded.find("こ"), std::string::npos) << decoded;
        else
            EXPECT_EQ(decoded, expected);
    }
}

TEST(ReceivePath, RightChannelAndFixedToneIgnoreOtherSignals) {
    // The wanted text on the right at 603 Hz; the left carries other text.
    auto keyed = [](const char* text) {
        return synth::TextToEvents(text, synth::TextAlphabet::English, 15, {}, 500.0).Events;
    };
    std::vector<synth::CwSynth> synths;
    synths.emplace_back(
        synth::SynthConfig{.Layout = synth::ChannelLayout::StereoRight},
        std::vector{synth::Station{.Events = keyed("TEST DE JA1ABC"), .ToneHz = 603.0}});
    synths.emplace_back(
        synth::SynthConfig{.Layout = synth::ChannelLayout::StereoLeft},
        std::vector{synth::Station{.Events = keyed("EEEEE EEEEE"), .ToneHz = 603.0}});
    ReceivePathOptions options;
    options.Channel = 1;
    options.ToneBin = 28;
    options.ThresholdDb = -60;
    EXPECT_EQ(DecodeMix(std::move(synths), options), "TEST DE JA1ABC");
}

// Generated audio as a capture source, ending after its last half.
class SynthSource : public BlockSource {
  public:
    explicit SynthSource(synth::CwSynth& synth) : synth_(synth) {}
    ReadStatus WaitHalf(std::span<std::int16_t, kHalfSamples> frames) override {
        if (synth_.Position() >= synth_.TotalFrames())
            return ReadStatus::End;
        synth_.Render(frames);
        return ReadStatus::Block;
    }
    void Interrupt() override {}

  private:
    synth::CwSynth& synth_;
};

TEST(ReceivePath, CaptureThreadTextReachesTheWindowOwnerThroughTheQueue) {
    auto keyed = synth::TextToEvents("CQ TEST", synth::TextAlphabet::English, 15, {}, 500.0);
    synth::CwSynth synth({}, {synth::Station{.Events = keyed.Events, .ToneHz = 603.0}});
    SynthSource source(synth);
    text::WindowCommandQueue queue;
    ReceivePath path(ReceivePathOptions{}, queue);
    std::atomic<bool> enabled{true};
    CaptureThread capture(source, path, enabled);
    text::ReceiveWindow window;
    text::MonitorWindow monitor;
    ASSERT_TRUE(capture.StartCapture());
    // The window owner drains while the capture thread decodes.
    while (capture.IsRunning()) {
        text::DrainInto(queue, window, monitor);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(capture.StopCapture());
    path.Flush();
    text::DrainInto(queue, window, monitor);
    EXPECT_EQ(common::CollapseBlanks(window.Window().Text()), "RX> CQ TEST");
    EXPECT_EQ(path.Text(), "RX> ") << "text went to the caller's queue only";
}

TEST(ReceivePath, ToneBinsFollowFrequency) {
    // Nearest bin of 11025 / 512 Hz, limited to 8..44; 710.6 Hz is bin 33.
    for (auto [hz, bin] :
         {std::pair{603.0, 28}, {172.0, 8}, {50.0, 8}, {948.0, 44}, {3000.0, 44}, {710.0, 33}})
        EXPECT_EQ(NearestToneBin(hz), bin) << hz;
}

}  // namespace
}  // namespace morvane::receive
