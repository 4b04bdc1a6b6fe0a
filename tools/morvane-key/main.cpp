// morvane-key: sends text through the keying engine to a keying output, a
// sidetone, or (by default) a list of key events on virtual time.
#include <chrono>
#include <ctime>
#include <iostream>
#include <iterator>
#include <thread>
#include <variant>

#include "KeyOptions.h"
#include "Sidetone.h"
#include "platform/serial/KeyPorts.h"
#include "platform/timer/KeyingTimerThread.h"
#include "transmit/KeyingEngine.h"
#include "transmit/VirtualKeying.h"

namespace {

using namespace morvane;

constexpr int kBadUsage = 2;

// No receive path runs beside the keyer.
struct NoReceive final : transmit::ReceiveHandOver {
    void SetReceiveEnabled(bool) override {}
    void ResetSpeedMeasurement() override {}
    void ResetSendMark() override {}
    void ResetElementTiming() override {}
};

struct LocalClock final : transmit::KeyingListener {
    std::string ClockText() override {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        char text[16];
        std::strftime(text, sizeof text, "%H:%M:%S", &local);
        return text;
    }
};

std::string ReadText(const tools::KeyOptions& options) {
    std::string text;
    if (options.Text.empty()) {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        for (const std::string& word : options.Text)
            text += (text.empty() ? "" : " ") + word;
    }
    // Lines of input are words; the transmit window is upper case.
    for (char& c : text) {
        if (c == '\n' || c == '\r')
            c = ' ';
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

void ReportUnsendable(text::WindowCommandQueue& windows) {
    for (const text::WindowCommand& command : windows.Drain()) {
        if (auto* bad = std::get_if<text::command::EchoUnsendable>(&command)) {
            std::cerr << "morvane-key: cannot send \"" << bad->Text << "\"" << std::endl;
        }
    }
}

struct Station {
    transmit::TransmitText Text;
    text::WindowCommandQueue Windows;
    transmit::SendEcho Echo{Windows};
    NoReceive Receive;
    LocalClock Listener;
};

void Configure(transmit::KeyingEngine& engine, const tools::KeyOptions& options) {
    engine.SetSpeedIndex(options.SpeedStep);
    engine.SetWeights(options.Weights);
    engine.SetKeyMode(options.Mode);
    engine.SetPttLeadMs(options.PttLeadMs);
}

int RunVirtual(const tools::KeyOptions& options, const std::string& text) {
    Station station;
    transmit::VirtualKeyingTimer timer;
    transmit::KeyEventRecorder recorder(timer);
    transmit::KeyingEngine engine(
        {station.Text, recorder, station.Echo, station.Receive, station.Listener});
    Configure(engine, options);
    station.Text.Append(text);
    // Long enough for any text at the slowest speed; a held romaji letter
    // keeps the engine busy, so the limit also ends that case.
    timer.RunUntilIdle(engine, 10'000 + std::int64_t(text.size()) * 20'000);
    ReportUnsendable(station.Windows);
    if (engine.RomajiLookahead() > 0)
        std::cerr << "morvane-key: incomplete romaji held\n";
    std::vector<transmit::KeyEvent> events = recorder.FromFirst();
    std::string error;
    if (options.Output == tools::OutputKind::Events) {
        for (const transmit::KeyEvent& event : events) {
            std::cout << transmit::FormatKeyEvent(event) << '\n';
        }
    } else if (options.Output == tools::OutputKind::Wav) {
        error = tools::WriteWav(options.WavPath, tools::RenderSidetone(events));
    } else {
        error = tools::PlayAudio(tools::RenderSidetone(events));
    }
    if (!error.empty()) {
        std::cerr << "morvane-key: " << error << std::endl;
        return 1;
    }
    return 0;
}

int RunRealTime(const tools::KeyOptions& options, const std::string& text) {
    platform::KeyPorts ports;
    if (options.Output == tools::OutputKind::Serial)
        ports.SelectSerialMode(options.SerialMode);
    std::string item =
        options.Output == tools::OutputKind::Usb ? std::string("USBIF") : options.SerialPort;
    std::string message = ports.SelectKeyPort(item);
    if (!message.empty()) {
        std::cerr << message << std::endl;
        return kBadUsage;
    }
    Station station;
    transmit::KeyingEngine engine(
        {station.Text, ports, station.Echo, station.Receive, station.Listener});
    Configure(engine, options);
    platform::KeyingTimerThread timer([&engine] { return engine.KeyingStep(); },
                                      [&ports] {
                                          ports.KeyUp();
                                          ports.PttOff();
                                      });
    station.Text.Append(text);
    timer.Start(transmit::kInitialTimerPeriodMs);
    int quiet = 0;
    while (quiet < 5) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        bool held = engine.RomajiLookahead() > 0 &&
                    station.Text.PendingCharacters() <= std::size_t(engine.RomajiLookahead());
        quiet = (engine.Idle() && station.Text.PendingCharacters() == 0) || held ? quiet + 1 : 0;
    }
    timer.Stop();
    ports.CloseKeyPorts();
    ReportUnsendable(station.Windows);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    std::optional<tools::KeyOptions> options = tools::ParseKeyOptions(args, error);
    if (!options) {
        std::cerr << "morvane-key: " << error << "\n" << tools::kKeyUsage;
        return kBadUsage;
    }
    if (options->Help) {
        std::cout << tools::kKeyUsage;
        return 0;
    }
    if (options->ListPorts) {
        platform::KeyPorts ports;
        for (const std::string& item : ports.ProbeKeyPorts())
            std::cout << item << '\n';
        return 0;
    }
    std::string text = ReadText(*options);
    switch (options->Output) {
        case tools::OutputKind::Serial:
        case tools::OutputKind::Usb:
            return RunRealTime(*options, text);
        default:
            return RunVirtual(*options, text);
    }
}
