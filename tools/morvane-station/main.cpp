// morvane-station: the whole station without a window. Reads one command per
// line on standard input and writes one event per line on standard output
// (see station/StationScript.h and station/ConsoleView.h for both sides).
//
//   morvane-station [--settings FILE.mrvn] [--device NAME|default | --demo | --file AUDIO]
//                   [--key events|serial:PORT:RTS|DTR|UNO|usb] [--virtual-time]
#include <atomic>
#include <csignal>
#include <iostream>
#include <mutex>
#include <thread>

#include "Devices.h"
#include "StationOptions.h"
#include "common/MessageQueue.h"
#include "platform/audio/DemoSource.h"
#include "platform/audio/FileSource.h"
#include "platform/audio/PortAudioSource.h"
#include "platform/logger/IconvCodePage.h"
#include "platform/logger/UnixLoggerWindows.h"
#include "station/ConsoleView.h"
#include "station/StationScript.h"
#include "station/VirtualStation.h"

namespace {

using namespace morvane;
using Clock = std::chrono::steady_clock;

constexpr int kBadUsage = 2;
constexpr auto kPumpPeriod = std::chrono::milliseconds(100);
constexpr std::int64_t kWaitLimitMs = 600'000;

std::atomic<bool> stopRequested{false};

void OnSignal(int) {
    stopRequested.store(true);
}

// Standard output, one flushed line at a time from any thread.
class Output {
  public:
    void Line(const std::string& text) {
        std::lock_guard lock(mutex_);
        std::cout << text << '\n' << std::flush;
    }

  private:
    std::mutex mutex_;
};

// Wall-clock running: the view thread pumps at block rate and ticks once a
// second while commands wait or time passes.
class RealTime final : public station::ScriptPacer {
  public:
    explicit RealTime(station::Station& station) : station_(station) {}

    void Service() {
        station_.Pump();
        const auto now = Clock::now();
        while (now >= nextSecond_) {
            nextSecond_ += std::chrono::seconds(1);
            station_.OneSecondTick();
        }
    }
    void SleepMs(std::int64_t ms) override {
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end && !stopRequested.load()) {
            std::this_thread::sleep_for(std::min<Clock::duration>(kPumpPeriod, end - Clock::now()));
            Service();
        }
    }
    bool WaitUntilSent() override {
        const auto end = Clock::now() + std::chrono::milliseconds(kWaitLimitMs);
        int idle = 0;
        while (Clock::now() < end && !stopRequested.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            Service();
            idle = station_.Sending() ? 0 : idle + 1;
            if (idle >= 5)
                return true;
        }
        return false;
    }

  private:
    station::Station& station_;
    Clock::time_point nextSecond_ = Clock::now() + std::chrono::seconds(1);
};

class VirtualPacer final : public station::ScriptPacer {
  public:
    explicit VirtualPacer(station::VirtualStation& runner) : runner_(runner) {}
    void SleepMs(std::int64_t ms) override { runner_.AdvanceMs(ms); }
    bool WaitUntilSent() override { return runner_.RunUntilSent(kWaitLimitMs); }

  private:
    station::VirtualStation& runner_;
};

std::vector<std::unique_ptr<platform::audio::AudioSource>> MakeSources(
    const tools::StationOptions& options) {
    using Source = tools::StationOptions::Source;
    std::vector<std::unique_ptr<platform::audio::AudioSource>> sources;
    const bool paced = !options.VirtualTime;
    switch (options.Capture) {
        case Source::Device:
            sources.push_back(std::make_unique<platform::audio::PortAudioSource>());
            sources.push_back(std::make_unique<platform::audio::DemoSource>(
                platform::audio::DemoOptions{.Paced = paced, .LengthS = std::nullopt, .Seed = 1}));
            break;
        case Source::Demo:
            sources.push_back(std::make_unique<platform::audio::DemoSource>(
                platform::audio::DemoOptions{.Paced = paced, .LengthS = std::nullopt, .Seed = 1}));
            break;
        case Source::File:
            sources.push_back(std::make_unique<platform::audio::FileSource>(options.AudioFile));
            break;
        case Source::None:
            break;
    }
    return sources;
}

int Run(const tools::StationOptions& options) {
    Output out;
    auto line = [&out](const std::string& text) { out.Line(text); };
    station::ConsoleView view(line);

    tools::AudioDevices devices(MakeSources(options));
    std::unique_ptr<tools::PortsAdapter> ports;
    if (options.Keying == tools::StationOptions::Key::Serial ||
        options.Keying == tools::StationOptions::Key::Usb) {
        ports = std::make_unique<tools::PortsAdapter>(platform::KeyPortsOptions{
            .ErrorLine = [](std::string_view text) { std::cerr << text << std::endl; }});
    }

    // Key events carry the time of the clock the station runs on.
    tools::SteadyKeyingClock wallClock;
    std::unique_ptr<station::VirtualStation> runner;
    station::Station* stationPtr = nullptr;
    struct RunnerClock final : transmit::KeyingClock {
        std::unique_ptr<station::VirtualStation>* Runner = nullptr;
        std::int64_t NowMs() const override { return *Runner ? (*Runner)->NowMs() : 0; }
    } virtualClock;
    virtualClock.Runner = &runner;
    std::unique_ptr<tools::KeyEventLines> keyEvents;
    if (options.Keying == tools::StationOptions::Key::Events) {
        keyEvents = std::make_unique<tools::KeyEventLines>(
            options.VirtualTime ? static_cast<const transmit::KeyingClock&>(virtualClock)
                                : static_cast<const transmit::KeyingClock&>(wallClock),
            line);
    }

    platform::UnixLoggerWindows loggerWindows("hWndMRVN");
    platform::IconvCodePage codePage;
    station::StationConfig config{
        .Capture = options.Capture == tools::StationOptions::Source::None ? nullptr : &devices,
        .Port = ports.get(),
        .KeyMonitor = keyEvents.get(),
        .Loggers = {.Windows = &loggerWindows, .CodePage = &codePage}};
    if (!options.VirtualTime) {
        config.KeyingTimer = [](std::function<std::optional<int>()> step,
                                std::function<void()> release) {
            return std::make_unique<tools::TimerAdapter>(std::move(step), std::move(release));
        };
    }
    station::Station station(std::move(config), view);
    stationPtr = &station;
    station.Start();
    if (!options.SettingsFile.empty())
        station.OpenSettings(options.SettingsFile);
    if (options.Capture != tools::StationOptions::Source::None)
        station.SelectCaptureDevice(options.Device == "default" ? "" : options.Device);
    if (options.Keying == tools::StationOptions::Key::Serial) {
        station.SelectKeyPort(options.SerialPort);
        station.SelectKeyLine(options.SerialMode);
    } else if (options.Keying == tools::StationOptions::Key::Usb) {
        station.SelectKeyPort("USBIF");
    }

    RealTime realTime(station);
    std::unique_ptr<station::ScriptPacer> virtualPacer;
    if (options.VirtualTime) {
        runner = std::make_unique<station::VirtualStation>(*stationPtr);
        virtualPacer = std::make_unique<VirtualPacer>(*runner);
    }
    station::ScriptPacer& pacer =
        options.VirtualTime ? *virtualPacer : static_cast<station::ScriptPacer&>(realTime);
    station::StationScript script(station, pacer,
                                  [&](const std::string& reason) { line("error " + reason); });

    // Standard input on its own thread, so the station keeps running while
    // no command comes. It is left blocked in its read at the end.
    auto lines = std::make_shared<common::MessageQueue<std::optional<std::string>>>();
    std::thread([lines] {
        std::string text;
        while (std::getline(std::cin, text))
            lines->Push(text);
        lines->Push(std::nullopt);
    }).detach();

    while (!stopRequested.load()) {
        // On virtual time nothing happens between commands, so waiting is free.
        auto next =
            lines->PopFor(options.VirtualTime ? std::chrono::milliseconds(3'600'000) : kPumpPeriod);
        if (next) {
            if (!next->has_value() || !script.Run(**next))
                break;  // end of input, or quit
        }
        if (!options.VirtualTime)
            realTime.Service();
    }
    station.Shutdown();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    auto options = tools::ParseStationOptions(args, error);
    if (!options) {
        std::cerr << "morvane-station: " << error << "\n"
                  << "usage: morvane-station [--settings FILE.mrvn] "
                     "[--device NAME|default | --demo | --file AUDIO]\n"
                     "       [--key events|serial:PORT:RTS|DTR|UNO|usb] [--virtual-time]\n";
        return kBadUsage;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);
    return Run(*options);
}
