#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <mutex>
#include <numbers>
#include <vector>

#include "PulseServer.h"
#include "platform/audio/PortAudioSource.h"
#include "receive/CaptureThread.h"
#include "receive/ReceivePath.h"
#include "synth/CwSynth.h"
#include "synth/TextKeying.h"

namespace morvane::platform::audio {
namespace {

using namespace std::chrono_literals;

// Keeps the captured channel and decodes it through the program's receive path.
class CollectingSink : public receive::BlockSink {
  public:
    void OnBlock(std::span<const std::int16_t, receive::kHalfSamples> frames,
                 int channel) override {
        path_.OnBlock(frames, channel);
        std::lock_guard lock(mutex_);
        for (std::size_t f = 0; f < receive::kHalfFrames; ++f)
            samples_.push_back(frames[2 * f + channel]);
    }
    std::vector<std::int16_t> Samples() {
        std::lock_guard lock(mutex_);
        return samples_;
    }

    // After capture has stopped.
    std::string Decoded() {
        path_.Flush();
        std::string text = path_.ReceivedText();
        // Word spaces printed in the silence around the signal do not count.
        text.erase(0, text.find_first_not_of(' '));
        text.erase(text.find_last_not_of(' ') + 1);
        return text;
    }

  private:
    receive::ReceivePath path_{receive::ReceivePathOptions{}};
    std::mutex mutex_;
    std::vector<std::int16_t> samples_;
};

void WriteWav(const std::filesystem::path& path, const std::vector<std::int16_t>& stereo) {
    SF_INFO info{};
    info.samplerate = 11025;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    sf_writef_short(file, stereo.data(), static_cast<sf_count_t>(stereo.size() / 2));
    sf_close(file);
}

// Mark and space lengths in ms, from the tone power in 32-sample steps.
std::vector<double> KeyedLengthsMs(const std::vector<std::int16_t>& x, double toneHz) {
    std::vector<double> power;
    const double w = 2 * std::numbers::pi * toneHz / 11025.0;
    for (std::size_t start = 0; start + 96 <= x.size(); start += 32) {
        double re = 0, im = 0;
        for (std::size_t i = 0; i < 96; ++i) {
            re += x[start + i] * std::cos(w * i);
            im -= x[start + i] * std::sin(w * i);
        }
        power.push_back(re * re + im * im);
    }
    const double top = *std::max_element(power.begin(), power.end());
    std::vector<double> lengths;
    bool on = false;
    std::size_t since = 0;
    for (std::size_t i = 0; i < power.size(); ++i) {
        const bool now = power[i] > top / 4;
        if (now == on)
            continue;
        if (on || since > 0)
            lengths.push_back((i - since) * 32 * 1000.0 / 11025.0);
        on = now;
        since = i;
    }
    return lengths;
}

TEST(PulseCapture, PlayedCwArrivesThroughPortAudioWithItsTimingAndDecodes) {
    testing::PulseServer server;
    if (auto problem = server.Start())
        GTEST_SKIP() << "no sound server: " << *problem;

    auto keyed = synth::TextToEvents("CQ DE JA1ABC", synth::TextAlphabet::English, 15, {}, 300.0);
    synth::CwSynth synth(
        {.Layout = synth::ChannelLayout::StereoBoth},
        {synth::Station{.Events = keyed.Events, .ToneHz = 603.0, .Amplitude = 8000.0}});
    std::vector<std::int16_t> stereo(2 * synth.TotalFrames());
    synth.Render(stereo);
    const auto wav = server.Folder() / "cw.wav";
    WriteWav(wav, stereo);

    PortAudioSource source;
    bool hasPulse = false;
    for (const auto& device : source.ListDevices())
        hasPulse = hasPulse || device.Id == "pulse";
    if (!hasPulse)
        GTEST_SKIP() << "PortAudio lists no ALSA \"pulse\" device (libasound2-plugins?)";
    if (auto message = source.Open(std::string("pulse")))
        GTEST_SKIP() << "cannot open the pulse device: " << *message;

    CollectingSink sink;
    std::atomic<bool> enabled{true};
    receive::CaptureThread capture(source, sink, enabled);
    ASSERT_TRUE(capture.StartCapture());
    std::this_thread::sleep_for(300ms);
    server.Play(wav).join();
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(capture.StopCapture());
    source.Stop();

    // Expected: the generator's own marks and spaces; captured: whatever came
    // through the server, minus the silence before and after.
    std::vector<double> expected;
    for (std::size_t i = 1; i < keyed.Events.size(); ++i)
        expected.push_back(keyed.Events[i].TimeMs - keyed.Events[i - 1].TimeMs);
    const auto captured = KeyedLengthsMs(sink.Samples(), 603.0);
    ASSERT_GE(captured.size(), expected.size()) << "too few marks captured";
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(captured[i], expected[i], 10.0) << "element " << i;
    EXPECT_EQ(sink.Decoded(), "CQ DE JA1ABC");
}

}  // namespace
}  // namespace morvane::platform::audio
