// The keying ports as the station's keying port.
#pragma once

#include "platform/serial/KeyPorts.h"
#include "station/StationDevices.h"

namespace morvane::platform {

class StationKeyPort final : public station::KeyingPort {
  public:
    explicit StationKeyPort(KeyPortsOptions options = {}) : ports_(std::move(options)) {}
    std::vector<std::string> ProbePorts() override { return ports_.ProbeKeyPorts(); }
    std::string OpenPort(const std::string& item) override { return ports_.SelectKeyPort(item); }
    void SetLineMode(const std::string& mode) override { ports_.SelectSerialMode(mode); }
    void ClosePorts() override { ports_.CloseKeyPorts(); }
    void KeyDown() override { ports_.KeyDown(); }
    void KeyUp() override { ports_.KeyUp(); }
    void PttOn() override { ports_.PttOn(); }
    void PttOff() override { ports_.PttOff(); }
    KeyPorts& Ports() { return ports_; }

  private:
    KeyPorts ports_;
};

}  // namespace morvane::platform
