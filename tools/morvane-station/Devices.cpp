// The platform pieces of morvane-station; see Devices.h.
#include "Devices.h"

namespace morvane::tools {

AudioDevices::AudioDevices(std::vector<std::unique_ptr<platform::audio::AudioSource>> sources)
    : sources_(std::move(sources)) {
    for (auto& source : sources_) {
        for (const platform::audio::AudioDevice& device : source->ListDevices()) {
            entries_.push_back({device.Name, device.Id, source.get()});
        }
    }
}

std::vector<std::string> AudioDevices::DeviceNames() {
    std::vector<std::string> names;
    for (const Entry& entry : entries_)
        names.push_back(entry.Name);
    return names;
}

std::optional<std::string> AudioDevices::Open(std::string_view name) {
    Stop();
    if (entries_.empty())
        return std::string(platform::audio::kSoundInitFailed);
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

void AudioDevices::Stop() {
    if (open_ != nullptr) {
        open_->Stop();
        open_ = nullptr;
    }
}

void KeyEventLines::Emit(transmit::KeyAction action) {
    std::lock_guard lock(mutex_);
    const std::int64_t now = clock_.NowMs();
    if (!started_) {
        started_ = true;
        firstMs_ = now;
    }
    line_("key " + transmit::FormatKeyEvent({now - firstMs_, action}));
}

}  // namespace morvane::tools
