// Text keyed by the engine, synthesized as receiver audio and decoded by the
// receive path must come back as the same text.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "KeyingFixture.h"
#include "common/Utf8.h"
#include "receive/ReceivePath.h"
#include "synth/CwSynth.h"

namespace morvane::transmit {
namespace {

// Received text with line breaks and runs of blanks (also full-width) as one blank.
std::string Collapse(const std::string& text) {
    std::string out;
    for (std::string_view ch : common::SplitUtf8(text)) {
        bool blank = ch == " " || ch == "\r" || ch == "\n" || ch == "　";
        if (blank) {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
        } else {
            out += ch;
        }
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string KeyAndDecode(testing::KeyingRig& rig, const std::string& text,
                         const receive::ReceivePathOptions& options) {
    rig.Send(text);
    std::vector<synth::KeyEvent> events;
    for (const KeyEvent& event : rig.Output.FromFirst()) {
        if (event.Action == KeyAction::Down || event.Action == KeyAction::Up) {
            // Half a second of silence first, as on a receiver.
            events.push_back({double(event.TimeMs) + 500.0, event.Action == KeyAction::Down});
        }
    }
    synth::CwSynth synth({}, {synth::Station{.Events = events, .ToneHz = 603.0}});
    receive::ReceivePath path(options);
    std::array<std::int16_t, receive::kHalfSamples> half{};
    for (std::int64_t done = 0; done < synth.TotalFrames(); done += receive::kHalfFrames) {
        synth.Render(half);
        path.OnBlock(half, options.Channel);
    }
    path.Flush();
    return Collapse(path.ReceivedText());
}

// Romaji become kana (small ョ is keyed full size); ")" switches the decoder
// to Wabun and "（" back to English.
TEST(LoopBack, EnglishAndWabunComeBackAsSent) {
    const std::vector<std::tuple<KeyMode, std::string, std::string>> cases = {
        {KeyMode::English, "CQ CQ DE JA1ABC JA1ABC K 5NN TU 73",
         "CQ CQ DE JA1ABC JA1ABC K 5NN TU 73"},
        {KeyMode::Direct, ")SAKURA TOKYO( DE JA1ABC", ")サクラ トキヨ（ DE JA1ABC"}};
    for (const auto& [mode, text, decoded] : cases) {
        testing::KeyingRig rig;
        rig.Engine.SetKeyMode(mode);
        receive::ReceivePathOptions options;
        options.Mode =
            mode == KeyMode::Direct ? receive::KeyMode::Direct : receive::KeyMode::English;
        options.AutoLanguage = true;
        options.SpeedCpm = 100;
        EXPECT_EQ(KeyAndDecode(rig, text, options), decoded);
    }
}

}  // namespace
}  // namespace morvane::transmit
