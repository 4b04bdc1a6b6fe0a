// PortAudio capture: the device error, and CW played into a private
// PulseAudio server arriving through ALSA's "pulse" device with its timing.
#include "platform/audio/PortAudioSource.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cmath>
#include <mutex>
#include <numbers>
#include <optional>
#include <thread>

#include "../TestSupport.h"
#include "receive/CaptureThread.h"
#include "receive/ReceivePath.h"
#include "synth/CwSynth.h"
#include "synth/TextKeying.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace morvane::platform::audio {
namespace {

using namespace std::chrono_literals;

// ALSA plugins, loaded and unloaded by PortAudio, keep a few small
// allocations for good; leak checking is paused while the sound system is
// opened and closed, so only our own leaks are reported.
struct ForeignLeaksIgnored {
#if defined(__SANITIZE_ADDRESS__)
    ForeignLeaksIgnored() {
        __lsan_disable();
    }
    ~ForeignLeaksIgnored() {
        __lsan_enable();
    }
    ForeignLeaksIgnored(const ForeignLeaksIgnored&) = delete;
    ForeignLeaksIgnored& operator=(const ForeignLeaksIgnored&) = delete;
#endif
};

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

// A private PulseAudio daemon with its own runtime and home folders and a
// null sink "cwsink" at 11025 Hz whose monitor is the default source. The
// process environment points at it, so ALSA's "pulse" device records the sink.
class PulseServer {
  public:
    ~PulseServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            for (int i = 0; i < 50 && kill(pid_, 0) == 0; ++i)
                std::this_thread::sleep_for(100ms);
        }
    }

    // The reason the daemon could not start, or nothing.
    std::optional<std::string> Start() {
        if (std::system("command -v pulseaudio >/dev/null && command -v paplay >/dev/null") != 0)
            return "pulseaudio or paplay is not installed";
        test::fs::create_directories(root_ / "home/.config/pulse");
        test::fs::create_directory(root_ / "run");
        test::fs::permissions(root_ / "run", test::fs::perms::owner_all);
        // Without these the null sink moves itself to 48 kHz.
        std::ofstream(root_ / "home/.config/pulse/daemon.conf")
            << "default-sample-rate = 11025\nalternate-sample-rate = 11025\n";
        setenv("XDG_RUNTIME_DIR", (root_ / "run").c_str(), 1);
        setenv("HOME", (root_ / "home").c_str(), 1);
        const std::string log = (root_ / "daemon.log").string();
        if (std::system(("pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit -n "
                         "--load=module-native-protocol-unix "
                         "--load='module-null-sink sink_name=cwsink rate=11025 channels=2' >" +
                         log + " 2>&1")
                            .c_str()) != 0)
            return "pulseaudio did not start: " + test::Slurp(log);
        for (int i = 0; i < 50 && pid_ <= 0; ++i) {
            std::ifstream(root_ / "run/pulse/pid") >> pid_;
            if (pid_ <= 0)
                std::this_thread::sleep_for(100ms);
        }
        if (pid_ <= 0)
            return "pulseaudio wrote no pid file: " + test::Slurp(log);
        if (std::system("pactl info >/dev/null 2>&1") != 0)
            return "pactl cannot reach the daemon";
        return std::nullopt;
    }

    // Plays a sound file into the null sink; returns at once.
    std::thread Play(const test::fs::path& file) const {
        const std::string command = "paplay --device=cwsink '" + file.string() + "'";
        return std::thread([command] { [[maybe_unused]] int rc = std::system(command.c_str()); });
    }

    test::TempFolder Folder;

  private:
    const test::fs::path& root_ = Folder.Path;
    pid_t pid_ = 0;
};

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
    PulseServer server;
    if (auto problem = server.Start())
        GTEST_SKIP() << "no sound server: " << *problem;

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
    const auto devices = source.ListDevices();
    if (std::none_of(devices.begin(), devices.end(), [](auto& d) { return d.Id == "pulse"; }))
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
    const auto captured = KeyedLengthsMs(sink.Samples(), 603.0);
    ASSERT_GE(captured.size() + 1, keyed.Events.size()) << "too few marks captured";
    for (std::size_t i = 1; i < keyed.Events.size(); ++i)
        EXPECT_NEAR(captured[i - 1], keyed.Events[i].TimeMs - keyed.Events[i - 1].TimeMs, 10.0)
            << "element " << i;
    EXPECT_EQ(sink.Decoded(), "CQ DE JA1ABC");
}

}  // namespace
}  // namespace morvane::platform::audio
