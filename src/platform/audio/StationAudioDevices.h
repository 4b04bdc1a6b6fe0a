// Capture sources as the station's capture devices: each source's devices
// by name, in the order the sources are given.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/audio/AudioSource.h"
#include "station/StationDevices.h"

namespace morvane::platform::audio {

// Sources by device name; the first name is the one opened by default.
class StationAudioDevices final : public station::CaptureDevices {
  public:
    // `sources` in the order their devices are offered.
    explicit StationAudioDevices(std::vector<std::unique_ptr<AudioSource>> sources);
    std::vector<std::string> DeviceNames() override;
    std::optional<std::string> Open(std::string_view name) override;
    receive::BlockSource& Source() override { return *open_; }
    void Stop() override;

  private:
    std::vector<std::unique_ptr<AudioSource>> sources_;
    struct Entry {
        std::string Name, Id;
        AudioSource* Source;
    };
    std::vector<Entry> entries_;
    AudioSource* open_ = nullptr;
};

}  // namespace morvane::platform::audio
