#include "app/SystemDevices.h"

#include "platform/timer/KeyingTimerThread.h"

namespace morvane::app {

namespace {

class ThreadKeyingTimer final : public station::KeyingTimer {
  public:
    ThreadKeyingTimer(std::function<std::optional<int>()> step, std::function<void()> release)
        : thread_(std::move(step), std::move(release)) {}
    void Start(int initialPeriodMs) override { thread_.Start(initialPeriodMs); }
    void Stop() override { thread_.Stop(); }

  private:
    platform::KeyingTimerThread thread_;
};

}  // namespace

SystemCapture::SystemCapture(bool demoFirst)
    : demoFirst_(demoFirst), cards_(std::make_unique<platform::audio::PortAudioSource>()) {}

std::vector<std::string> SystemCapture::DeviceNames() {
    std::vector<std::string> names;
    for (const auto& device : cards_->ListDevices())
        names.push_back(device.Name);
    if (demoFirst_ || names.empty())
        names.insert(names.begin(), kDemoDeviceName);
    else
        names.push_back(kDemoDeviceName);
    listed_ = names;
    return names;
}

std::optional<std::string> SystemCapture::Open(std::string_view name) {
    Stop();
    // The names the operator chose from; listing the cards again only to
    // check the choice would read the whole sound system once more.
    const auto names = listed_.empty() ? DeviceNames() : listed_;
    const std::string chosen =
        name.empty() || std::find(names.begin(), names.end(), name) == names.end()
            ? names.front()
            : std::string(name);
    if (chosen == kDemoDeviceName) {
        open_ = &demo_;
        return demo_.Open(std::nullopt);
    }
    open_ = cards_.get();
    return cards_->Open(chosen);
}

receive::BlockSource& SystemCapture::Source() {
    return open_ ? *open_ : demo_;
}

void SystemCapture::Stop() {
    if (open_)
        open_->Stop();
    open_ = nullptr;
}

SystemDevices::SystemDevices(bool demoFirst) : capture_(demoFirst), windows_("hWndMRVN") {}

station::StationConfig SystemDevices::Config() {
    station::StationConfig config;
    config.Capture = &capture_;
    config.Port = &port_;
    config.KeyingTimer = [](std::function<std::optional<int>()> step,
                            std::function<void()> release) {
        return std::make_unique<ThreadKeyingTimer>(std::move(step), std::move(release));
    };
    config.Loggers = {&windows_, &codePage_};
    return config;
}

}  // namespace morvane::app
