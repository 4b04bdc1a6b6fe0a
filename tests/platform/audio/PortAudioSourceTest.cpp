// PortAudio capture: the device error, CW played into a private PulseAudio
// server arriving through ALSA's "pulse" device with its timing, and the
// server going away in the middle of capture.
#include "platform/audio/PortAudioSource.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cmath>
#include <condition_variable>
#include <mutex>
#include <numbers>
#include <optional>
#include <thread>

#include "../TestSupport.h"
#include "PulseServer.h"
#include "receive/CaptureThread.h"
#include "receive/ReceivePath.h"
#include "synth/CwSynth.h"
#include "synth/TextKeying.h"

namespace morvane::platform::audio {
namespace {

using namespace std::chrono_literals;

using morvane::test::ForeignLeaksIgnored;

TEST(PortAudioSource, UnknownDeviceGivesTheDeviceErrorAndInterruptWakes) {
    [[maybe_unused]] const ForeignLeaksIgnored ignoreForeignLeaks;
    PortAudioSource source;
    const auto message = source.Open(std::string("no such capture device 1234"));
    ASSERT_TRUE(message.has_value());
    // Either PortAudio did not start at all, or the device is not there.
    EXPECT_TRUE(*message == kSoundDeviceError || *message == kSoundInitFailed) << *message;
    EXPECT_EQ(std::string(kSoundDeviceError),
              "サウンドデバイスのエラー!!!\r\nMike/Line/USB入力をチェック願います。");
    std::array<std::int16_t, receive::kHalfSamples> half{};
    std::jthread waker([&source] {
        std::this_thread::sleep_for(20ms);
        source.Interrupt();
    });
    EXPECT_EQ(source.WaitHalf(half), receive::ReadStatus::Interrupted);
}

// Keeps the captured channel and decodes it through the program's receive path.
class CollectingSink : public receive::BlockSink {
  public:
    void OnBlock(std::span<const std::int16_t, receive::kHalfSamples> frames,
                 int channel) override {
        path_.OnBlock(frames, channel);
        {
            std::lock_guard lock(mutex_);
            for (std::size_t f = 0; f < receive::kHalfFrames; ++f)
                samples_.push_back(frames[2 * f + channel]);
        }
        changed_.notify_all();
    }
    void OnSourceEnded(receive::ReadStatus status) override {
        {
            std::lock_guard lock(mutex_);
            ended_.push_back(status);
        }
        changed_.notify_all();
    }
    std::vector<std::int16_t> Samples() {
        std::lock_guard lock(mutex_);
        return samples_;
    }
    void ForgetEnd() {
        std::lock_guard lock(mutex_);
        ended_.clear();
    }
    // Waits at most `limit` for `blocks` blocks in all, or for the end of the source.
    std::size_t WaitBlocks(std::size_t blocks, std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, limit, [&] {
            return samples_.size() >= blocks * receive::kHalfFrames || !ended_.empty();
        });
        return samples_.size() / receive::kHalfFrames;
    }
    // Waits at most `limit` for the source to end; every end reported so far.
    std::vector<receive::ReadStatus> WaitEnded(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, limit, [&] { return !ended_.empty(); });
        return ended_;
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
    std::condition_variable changed_;
    std::vector<std::int16_t> samples_;
    std::vector<receive::ReadStatus> ended_;
};

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

// Opens ALSA's "pulse" device; the problem when it cannot.
std::optional<std::string> PulseDeviceProblem(PortAudioSource& source) {
    const auto devices = source.ListDevices();
    if (std::none_of(devices.begin(), devices.end(), [](auto& d) { return d.Id == "pulse"; }))
        return "PortAudio lists no ALSA \"pulse\" device (libasound2-plugins?)";
    if (auto message = source.Open(std::string("pulse")))
        return "cannot open the pulse device: " + *message;
    return std::nullopt;
}

TEST(PulseCapture, PlayedCwArrivesThroughPortAudioWithItsTimingAndDecodes) {
    test::PulseServer server;
    MORVANE_NEED_SOUND(server.Start());

    auto keyed = synth::TextToEvents("CQ DE JA1ABC", synth::TextAlphabet::English, 15, {}, 300.0);
    synth::CwSynth synth(
        {.Layout = synth::ChannelLayout::StereoBoth},
        {synth::Station{.Events = keyed.Events, .ToneHz = 603.0, .Amplitude = 8000.0}});
    std::vector<std::int16_t> stereo(2 * synth.TotalFrames());
    synth.Render(stereo);
    const auto wav = server.Folder / "cw.wav";
    ASSERT_TRUE(test::WriteSound(wav, stereo, 2));

    [[maybe_unused]] const ForeignLeaksIgnored ignoreForeignLeaks;
    PortAudioSource source;
    MORVANE_NEED_SOUND(PulseDeviceProblem(source));

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
    const auto captured = KeyedLengthsMs(sink.Samples(), 603.0);
    ASSERT_GE(captured.size() + 1, keyed.Events.size()) << "too few marks captured";
    for (std::size_t i = 1; i < keyed.Events.size(); ++i)
        EXPECT_NEAR(captured[i - 1], keyed.Events[i].TimeMs - keyed.Events[i - 1].TimeMs, 10.0)
            << "element " << i;
    EXPECT_EQ(sink.Decoded(), "CQ DE JA1ABC");
}

// The server dies (killed) or freezes (stopped) in the middle of capture: the
// capture thread ends within a few block times, reports the loss once, the
// stream closes without hanging, and once the server is back the same
// source opens and captures again.
TEST(PulseCapture, ALostServerEndsCaptureOnceAndTheSourceOpensAgain) {
    for (int signal : {SIGKILL, SIGSTOP}) {
        SCOPED_TRACE(signal == SIGKILL ? "killed" : "stopped");
        test::PulseServer server;
        MORVANE_NEED_SOUND(server.Start());
        [[maybe_unused]] const ForeignLeaksIgnored ignoreForeignLeaks;
        PortAudioSource source;
        MORVANE_NEED_SOUND(PulseDeviceProblem(source));

        CollectingSink sink;
        std::atomic<bool> enabled{true};
        receive::CaptureThread capture(source, sink, enabled);
        ASSERT_TRUE(capture.StartCapture());
        ASSERT_GE(sink.WaitBlocks(3, 8000ms), 3u) << "no audio before the server went away";

        const auto lostAt = std::chrono::steady_clock::now();
        server.Kill(signal);
        const auto ended = sink.WaitEnded(5000ms);
        const auto noticed = std::chrono::steady_clock::now() - lostAt;
        ASSERT_EQ(ended, std::vector{receive::ReadStatus::Error});
        EXPECT_LT(noticed, 2000ms);
        for (int i = 0; i < 100 && capture.IsRunning(); ++i)
            std::this_thread::sleep_for(10ms);
        EXPECT_FALSE(capture.IsRunning());
        EXPECT_TRUE(capture.TakeSourceFailure());
        EXPECT_FALSE(capture.TakeSourceFailure()) << "reported once";
        std::array<std::int16_t, receive::kHalfSamples> half{};
        EXPECT_EQ(source.WaitHalf(half), receive::ReadStatus::Error) << "a lost source stays lost";

        const auto stopAt = std::chrono::steady_clock::now();
        EXPECT_TRUE(capture.StopCapture());
        source.Stop();
        EXPECT_LT(std::chrono::steady_clock::now() - stopAt, 3000ms) << "closing the lost stream";

        // The operator brings the interface back and picks it again.
        if (signal == SIGSTOP) {
            server.Kill(SIGCONT);
            ASSERT_TRUE(server.Kill(SIGTERM));
        }
        MORVANE_NEED_SOUND(server.Start());
        ASSERT_EQ(source.Open(std::string("pulse")), std::nullopt);
        sink.ForgetEnd();
        const std::size_t before = sink.WaitBlocks(0, 0ms);
        ASSERT_TRUE(capture.StartCapture());
        EXPECT_GE(sink.WaitBlocks(before + 5, 8000ms), before + 5) << "no audio after reopening";
        EXPECT_TRUE(capture.StopCapture());
        EXPECT_FALSE(capture.TakeSourceFailure());
        source.Stop();
    }
}

}  // namespace
}  // namespace morvane::platform::audio
