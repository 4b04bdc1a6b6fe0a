// The machine's devices handed to the station: sound cards and the demo
// contact, the keying ports, the keying timer thread and the logging
// programs' windows.
#pragma once

#include <memory>

#include "platform/audio/DemoSource.h"
#include "platform/audio/PortAudioSource.h"
#include "platform/logger/IconvCodePage.h"
#include "platform/logger/UnixLoggerWindows.h"
#include "platform/serial/KeyPorts.h"
#include "station/Station.h"

namespace morvane::app {

inline constexpr const char* kDemoDeviceName = "Demo";

// Sound cards by name, with the demo contact as one more device. With
// `demoFirst`, or when no card is found, the demo is the default.
class SystemCapture final : public station::CaptureDevices {
  public:
    explicit SystemCapture(bool demoFirst);
    std::vector<std::string> DeviceNames() override;
    std::optional<std::string> Open(std::string_view name) override;
    receive::BlockSource& Source() override;
    void Stop() override;

  private:
    bool demoFirst_;
    std::unique_ptr<platform::audio::PortAudioSource> cards_;
    platform::audio::DemoSource demo_;
    platform::audio::AudioSource* open_ = nullptr;
    std::vector<std::string> listed_;  // the last DeviceNames()
};

class SystemKeyingPort final : public station::KeyingPort {
  public:
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

// Everything at once, alive as long as the station that uses it.
class SystemDevices {
  public:
    explicit SystemDevices(bool demoFirst);
    station::StationConfig Config();

  private:
    SystemCapture capture_;
    SystemKeyingPort port_;
    platform::UnixLoggerWindows windows_;
    platform::IconvCodePage codePage_;
};

}  // namespace morvane::app
