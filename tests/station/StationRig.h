// A station on virtual time with stand-ins around it: capture devices that
// play the demo contact or silence, a keying port that records what it is
// told with the virtual time, and HamLog and CTestWin windows that record
// what reaches them. Events come out as the headless program prints them.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "macros/StationClock.h"
#include "station/ConsoleView.h"
#include "station/Station.h"
#include "station/VirtualStation.h"
#include "synth/CwSynth.h"
#include "synth/DemoContact.h"

namespace morvane::station::test {

// Three devices: "Demo" plays the demo contact, "Silence" nothing, "Keyed"
// the key events in Keyed from the moment it is opened.
class FakeCapture final : public CaptureDevices, public receive::BlockSource {
  public:
    std::vector<std::string> DeviceNames() override { return {"Demo", "Silence", "Keyed"}; }
    std::optional<std::string> Open(std::string_view name) override {
        if (name == "Broken")
            return "サウンドの初期化に失敗しました。";
        demo_ = name != "Silence";
        stream_ = synth::DemoStream(1);
        keyed_.reset();
        if (name == "Keyed") {
            keyed_ = std::make_unique<synth::CwSynth>(
                KeyedSound, std::vector<synth::Station>{{.Events = Keyed}});
        }
        return std::nullopt;
    }
    receive::BlockSource& Source() override { return *this; }
    void Stop() override {}
    receive::ReadStatus WaitHalf(std::span<std::int16_t, receive::kHalfSamples> frames) override {
        ++Blocks;
        if (keyed_)
            keyed_->Render(frames);
        else if (demo_)
            stream_.Render(frames);
        else
            std::fill(frames.begin(), frames.end(), std::int16_t{0});
        return receive::ReadStatus::Block;
    }
    void Interrupt() override {}
    int Blocks = 0;
    std::vector<synth::KeyEvent> Keyed;
    synth::SynthConfig KeyedSound{};  // tone and noise of "Keyed"

  private:
    bool demo_ = true;
    std::unique_ptr<synth::CwSynth> keyed_;
    synth::DemoStream stream_{1};
};

struct PortAction {
    std::int64_t Ms;
    std::string Action;
    bool ReceiveEnabled;
    bool operator==(const PortAction&) const = default;
};

// Records every action with the virtual time and the receive flag of that moment.
class RecordingPort final : public KeyingPort {
  public:
    std::vector<std::string> ProbePorts() override { return {"COM3", "USBIF"}; }
    std::string OpenPort(const std::string& item) override {
        return item == "COM9" ? "COM9ポートが開けませんでした。" : "";
    }
    void SetLineMode(const std::string& mode) override { Mode = mode; }
    void ClosePorts() override { Closed = true; }
    void KeyDown() override { Record("down"); }
    void KeyUp() override { Record("up"); }
    void PttOn() override { Record("ptt-on"); }
    void PttOff() override { Record("ptt-off"); }

    const transmit::KeyingClock* Clock = nullptr;
    const std::atomic<bool>* Receive = nullptr;
    std::vector<PortAction> Actions;
    std::string Mode;
    bool Closed = false;

  private:
    void Record(const char* action) {
        Actions.push_back(
            {Clock != nullptr ? Clock->NowMs() : 0, action, Receive != nullptr && Receive->load()});
    }
};

// HamLog ("TThwin", handle 1) and CTestWin ("Ctestwin", handle 2) windows.
class FakeLoggers final : public platform::LoggerWindows {
  public:
    static constexpr std::uint32_t kCallField = 1;  // what the probe writes and reads back
    static constexpr std::uint32_t kCallFieldRequest = 101;

    platform::WindowHandle FindWindowByClass(std::string_view name, platform::Deadline) override {
        if (name == "TThwin")
            return HamlogUp ? 1 : 0;
        if (name == "Ctestwin")
            return CtestwinUp ? 2 : 0;
        return 0;
    }
    bool SendCopyData(platform::WindowHandle target, std::uint32_t command,
                      std::span<const std::uint8_t> bytes, platform::Deadline) override {
        if (target != 1 || !HamlogUp)
            return false;
        std::string text(bytes.begin(), bytes.end());
        text = text.substr(0, text.find('\0'));
        if (command == kCallField)
            callField_ = text;
        if (command == kCallFieldRequest) {
            std::vector<std::uint8_t> reply(callField_.begin(), callField_.end());
            reply.push_back(0);
            handler_({.Sender = 1, .Command = 1, .Bytes = reply});
            return true;
        }
        if (auto answer = Replies.find(command); answer != Replies.end()) {
            std::vector<std::uint8_t> reply(answer->second.begin(), answer->second.end());
            reply.push_back(0);
            handler_({.Sender = 1, .Command = command, .Bytes = reply});
        }
        Hamlog.push_back(std::to_string(command) + (text.empty() ? "" : " " + text));
        return true;
    }
    std::vector<platform::ChildWindow> EnumDescendants(platform::WindowHandle parent,
                                                       platform::Deadline) override {
        std::vector<platform::ChildWindow> children;
        if (parent != 2)
            return children;
        for (int k = 0; k < 14; ++k)
            children.push_back({static_cast<platform::WindowHandle>(100 + k), "Edit"});
        for (int k = 0; k < 3; ++k)
            children.push_back({static_cast<platform::WindowHandle>(200 + k), "Button"});
        return children;
    }
    bool SetControlText(platform::WindowHandle control, std::string_view text,
                        platform::Deadline) override {
        Ctestwin.push_back("edit" + std::to_string(control - 100) + " " + std::string(text));
        return CtestwinUp;
    }
    bool ClickButton(platform::WindowHandle button, platform::Deadline) override {
        static constexpr std::array<const char*, 3> kNames = {"enter", "save", "clear"};
        Ctestwin.push_back(kNames.at(button - 200));
        return CtestwinUp;
    }
    bool BringToFront(platform::WindowHandle, platform::Deadline) override { return true; }
    void SetCopyDataHandler(platform::CopyDataHandler handler) override {
        handler_ = std::move(handler);
    }

    bool HamlogUp = true;
    bool CtestwinUp = true;
    std::vector<std::string> Hamlog;               // "command text"
    std::vector<std::string> Ctestwin;             // "editN text", "enter", "save", "clear"
    std::map<std::uint32_t, std::string> Replies;  // command -> the text HamLog sends back

  private:
    std::string callField_;
    platform::CopyDataHandler handler_;
};

// The console's lines, and every transmit text the station reports, which
// the console leaves out.
class RigView final : public ConsoleView {
  public:
    using ConsoleView::ConsoleView;
    void TransmitTextChanged(std::string_view text) override { Transmit.emplace_back(text); }
    std::vector<std::string> Transmit;
    void ShowKeyModeLabels(std::string_view label, std::string_view longForm) override {
        ModeLabels.push_back(std::string(label) + "|" + std::string(longForm));
    }
    std::vector<std::string> ModeLabels;

    // Receive side: "label@step", 'E' or 'J', and clipboard clears.
    void ShowReceiveSpeed(std::string_view label, int step) override {
        Speeds.push_back(std::string(label) + "@" + std::to_string(step));
    }
    void ShowReceiveLanguage(bool japanese) override { Languages += japanese ? 'J' : 'E'; }
    void EmptyClipboard() override { ++ClipboardEmptied; }
    std::vector<std::string> Speeds;
    std::string Languages;
    int ClipboardEmptied = 0;
};

// 2026-12-07 09:30 local (UTC+9).
inline macros::ClockReading TestTime() {
    return {.Local = {2026, 12, 7, 9, 30, 0}, .Utc = {2026, 12, 7, 0, 30, 0}};
}

struct StationRig {
    StationRig() {
        Port.Clock = &Runner;
        Port.Receive = &Sta.ReceiveEnabled();
        Sta.Start();
    }
    // The station's shutdown keys up through the port, whose clock is the
    // runner: shut down while the runner still lives.
    ~StationRig() { Sta.Shutdown(); }
    StationRig(const StationRig&) = delete;
    StationRig& operator=(const StationRig&) = delete;
    // Event lines of a kind ("rx", "msg", ...), texts only.
    std::vector<std::string> Events(std::string_view kind) const {
        std::vector<std::string> found;
        const std::string prefix = std::string(kind) + " ";
        for (const std::string& line : Lines) {
            if (line.starts_with(prefix))
                found.push_back(line.substr(prefix.size()));
        }
        return found;
    }
    std::string Joined(std::string_view kind) const {
        std::string joined;
        for (const std::string& text : Events(kind))
            joined += text;
        return joined;
    }

    std::vector<std::string> Lines;
    RigView View{[this](const std::string& line) { Lines.push_back(line); }};
    FakeCapture Capture;
    RecordingPort Port;
    FakeLoggers Loggers;
    macros::FixedClock Clock{TestTime()};
    station::Station Sta{{.Capture = &Capture,
                          .Port = &Port,
                          .Loggers = {.Windows = &Loggers, .CodePage = nullptr},
                          .Clock = &Clock},
                         View};
    VirtualStation Runner{Sta};
};

}  // namespace morvane::station::test
