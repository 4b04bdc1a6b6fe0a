// The platform pieces of morvane-station behind the interfaces the station
// declares: sound devices with the demo contact, the keying ports, the
// keying timer thread, and key events as lines.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/AudioSource.h"
#include "platform/serial/KeyPorts.h"
#include "platform/timer/KeyingTimerThread.h"
#include "station/StationDevices.h"
#include "transmit/VirtualKeying.h"

namespace morvane::tools {

// Sources by device name; the first name is the one opened by default.
class AudioDevices final : public station::CaptureDevices {
  public:
    // `sources` in the order their devices are offered.
    explicit AudioDevices(std::vector<std::unique_ptr<platform::audio::AudioSource>> sources);
    std::vector<std::string> DeviceNames() override;
    std::optional<std::string> Open(std::string_view name) override;
    receive::BlockSource& Source() override { return *open_; }
    void Stop() override;

  private:
    std::vector<std::unique_ptr<platform::audio::AudioSource>> sources_;
    struct Entry {
        std::string Name, Id;
        platform::audio::AudioSource* Source;
    };
    std::vector<Entry> entries_;
    platform::audio::AudioSource* open_ = nullptr;
};

class PortsAdapter final : public station::KeyingPort {
  public:
    explicit PortsAdapter(platform::KeyPortsOptions options) : ports_(std::move(options)) {}
    std::vector<std::string> ProbePorts() override { return ports_.ProbeKeyPorts(); }
    std::string OpenPort(const std::string& item) override { return ports_.SelectKeyPort(item); }
    void SetLineMode(const std::string& mode) override { ports_.SelectSerialMode(mode); }
    void ClosePorts() override { ports_.CloseKeyPorts(); }
    void KeyDown() override { ports_.KeyDown(); }
    void KeyUp() override { ports_.KeyUp(); }
    void PttOn() override { ports_.PttOn(); }
    void PttOff() override { ports_.PttOff(); }

  private:
    platform::KeyPorts ports_;
};

class TimerAdapter final : public station::KeyingTimer {
  public:
    TimerAdapter(std::function<std::optional<int>()> step, std::function<void()> release)
        : timer_(std::move(step), std::move(release)) {}
    void Start(int initialPeriodMs) override { timer_.Start(initialPeriodMs); }
    void Stop() override { timer_.Stop(); }

  private:
    platform::KeyingTimerThread timer_;
};

// Key actions as "key MS down" lines, ms since the first action. Called on
// the keying thread; `line` must be safe to call from there.
class KeyEventLines final : public transmit::KeyOutput {
  public:
    KeyEventLines(const transmit::KeyingClock& clock, std::function<void(std::string)> line)
        : clock_(clock), line_(std::move(line)) {}
    void KeyDown() override { Emit(transmit::KeyAction::Down); }
    void KeyUp() override { Emit(transmit::KeyAction::Up); }
    void PttOn() override { Emit(transmit::KeyAction::PttOn); }
    void PttOff() override { Emit(transmit::KeyAction::PttOff); }

  private:
    void Emit(transmit::KeyAction action);
    const transmit::KeyingClock& clock_;
    std::function<void(std::string)> line_;
    std::mutex mutex_;
    bool started_ = false;
    std::int64_t firstMs_ = 0;
};

// The wall clock in ms for key events.
class SteadyKeyingClock final : public transmit::KeyingClock {
  public:
    std::int64_t NowMs() const override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};

}  // namespace morvane::tools
