// Capture sources as the station's capture devices; see StationAudioDevices.h.
#include "platform/audio/StationAudioDevices.h"

namespace morvane::platform::audio {

StationAudioDevices::StationAudioDevices(std::vector<std::unique_ptr<AudioSource>> sources)
    : sources_(std::move(sources)) {
    for (auto& source : sources_) {
        for (const AudioDevice& device : source->ListDevices()) {
            entries_.push_back({device.Name, device.Id, source.get()});
        }
    }
}

std::vector<std::string> StationAudioDevices::DeviceNames() {
    std::vector<std::string> names;
    for (const Entry& entry : entries_)
        names.push_back(entry.Name);
    return names;
}

std::optional<std::string> StationAudioDevices::Open(std::string_view name) {
    Stop();
    if (entries_.empty())
        return std::string(kSoundInitFailed);
    const Entry* chosen = &entries_.front();
    for (const Entry& entry : entries_) {
        if (entry.Name == name) {
            chosen = &entry;
            break;
        }
    }
    if (auto failure = chosen->Source->Open(chosen->Id))
        return failure;
    open_ = chosen->Source;
    return std::nullopt;
}

void StationAudioDevices::Stop() {
    if (open_ != nullptr) {
        open_->Stop();
        open_ = nullptr;
    }
}

}  // namespace morvane::platform::audio
