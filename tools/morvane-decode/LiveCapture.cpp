#include "LiveCapture.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <ctime>
#include <iostream>
#include <optional>
#include <string_view>

#include "platform/audio/PortAudioSource.h"
#include "receive/CaptureThread.h"

namespace morvane::tools {

namespace {

// Messages carry the window's "\r\n"; a console has its own line ends.
std::string ForConsole(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

void ReportSoundError(std::string_view message) {
    std::cout.flush();
    std::cerr << "morvane-decode: " << ForConsole(message) << "\n";
}

// Hands each half to the receive path; notes whether the source failed.
class LiveSink final : public receive::BlockSink {
  public:
    explicit LiveSink(receive::ReceivePath& path) : path_(path) {}
    void OnBlock(std::span<const std::int16_t, receive::kHalfSamples> frames,
                 int channel) override {
        path_.OnBlock(frames, channel);
    }
    void OnSourceEnded(receive::ReadStatus) override { ended_ = true; }
    bool Ended() const { return ended_; }

  private:
    receive::ReceivePath& path_;
    std::atomic<bool> ended_{false};
};

// Keeps standard error closed while the sound libraries start and open a
// device: they report every device they probe and fail to find (ALSA, JACK)
// where only the operator's message belongs. Used before any other thread
// runs that could write there.
class QuietStderr {
  public:
    QuietStderr() : saved_(dup(STDERR_FILENO)) {
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDERR_FILENO);
            close(null);
        }
    }
    ~QuietStderr() { Restore(); }
    void Restore() {
        if (saved_ >= 0) {
            dup2(saved_, STDERR_FILENO);
            close(saved_);
            saved_ = -1;
        }
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

  private:
    int saved_;
};

// The signals that end a live run. They are blocked in every thread and taken
// by the main loop, so nothing runs in a signal handler; blocking them before
// PortAudio starts its threads makes those threads inherit the mask.
sigset_t StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

// Text the decoder wrote since the last call (read on this thread only).
void PrintNew(receive::ReceivePath& path, std::size_t& printed) {
    const std::string text = path.ReceivedText();
    if (text.size() <= printed)
        return;
    std::cout << ForConsole(std::string_view(text).substr(printed));
    std::cout.flush();
    printed = text.size();
}

}  // namespace

int ListCaptureDevices() {
    QuietStderr quiet;
    platform::audio::PortAudioSource source;
    const auto devices = source.ListDevices();
    quiet.Restore();
    if (!source.Initialised()) {
        ReportSoundError(platform::audio::kSoundInitFailed);
        return 2;
    }
    for (const auto& device : devices)
        std::cout << device.Name << "\n";
    return 0;
}

int CaptureLive(const std::string& device, const receive::ReceivePathOptions& options) {
    const sigset_t stops = StopSignals();
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);

    QuietStderr quiet;
    platform::audio::PortAudioSource source;
    const auto opened =
        source.Open(device == "default" ? std::nullopt : std::optional<std::string>(device));
    quiet.Restore();
    if (opened) {
        ReportSoundError(*opened);
        return 2;
    }
    receive::ReceivePath path(options);
    LiveSink sink(path);
    const std::atomic<bool> receiveEnabled{true};
    receive::CaptureThread capture(source, sink, receiveEnabled);
    capture.SetInputChannel(options.Channel);
    capture.StartCapture();

    std::size_t printed = 0;
    const timespec poll{.tv_sec = 0, .tv_nsec = 100'000'000};
    while (!sink.Ended() && sigtimedwait(&stops, nullptr, &poll) < 0)
        PrintNew(path, printed);
    const bool stopped = capture.StopCapture();
    source.Stop();
    // A character still being timed is printed, unless the thread is stuck.
    if (stopped)
        path.Flush();
    PrintNew(path, printed);
    std::cout << "\n";
    std::cout.flush();
    if (capture.TakeSourceFailure()) {
        ReportSoundError(platform::audio::kSoundDeviceError);
        return 2;
    }
    return 0;
}

}  // namespace morvane::tools
