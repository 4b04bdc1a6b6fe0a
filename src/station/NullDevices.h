// Stand-ins for devices a station was built without: no logging program's
// window is ever found, text passes through unchanged, pauses take no time.
#pragma once

#include "qso/Clock.h"
#include "qso/LoggerWindows.h"
#include "transmit/KeyOutput.h"

namespace morvane::station {

class NoLoggerWindows final : public platform::LoggerWindows {
  public:
    platform::WindowHandle FindWindowByClass(std::string_view, platform::Deadline) override {
        return 0;
    }
    bool SendCopyData(platform::WindowHandle, std::uint32_t, std::span<const std::uint8_t>,
                      platform::Deadline) override {
        return false;
    }
    std::vector<platform::ChildWindow> EnumDescendants(platform::WindowHandle,
                                                       platform::Deadline) override {
        return {};
    }
    bool SetControlText(platform::WindowHandle, std::string_view, platform::Deadline) override {
        return false;
    }
    bool ClickButton(platform::WindowHandle, platform::Deadline) override { return false; }
    bool BringToFront(platform::WindowHandle, platform::Deadline) override { return false; }
    void SetCopyDataHandler(platform::CopyDataHandler) override {}
};

class PlainCodePage final : public platform::SystemCodePage {
  public:
    std::vector<std::uint8_t> Encode(std::string_view utf8,
                                     std::size_t maxCharacters) const override {
        std::vector<std::uint8_t> bytes(utf8.begin(),
                                        utf8.begin() + std::min(utf8.size(), maxCharacters));
        bytes.push_back(0);
        return bytes;
    }
    std::string Decode(std::span<const std::uint8_t> bytes) const override {
        std::string text(bytes.begin(), bytes.end());
        return text.substr(0, text.find('\0'));
    }
};

class NoKeyPort final : public transmit::KeyOutput {
  public:
    void KeyDown() override {}
    void KeyUp() override {}
    void PttOn() override {}
    void PttOff() override {}
};

class NoSleep final : public qso::Sleeper {
  public:
    void SleepMs(int) const override {}
};

}  // namespace morvane::station
