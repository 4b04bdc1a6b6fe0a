// Everything running at once on the wall clock for a minute: the paced demo
// contact on the capture thread, the keying timer thread keying the keyer
// board on a pseudo-terminal, both logging links, the one-second tick and
// the operator's commands on this thread (edits of the transmit text and TX
// Edit among them). Built only for the thread sanitizer, which is what it is
// for.
#include <gtest/gtest.h>

#include <thread>

#include "../platform/TestSupport.h"
#include "StationRig.h"
#include "platform/audio/DemoSource.h"
#include "platform/audio/StationAudioDevices.h"
#include "platform/serial/StationKeyPort.h"
#include "platform/timer/StationKeyingTimer.h"

namespace morvane::station::test {
namespace {

using Clock = std::chrono::steady_clock;

TEST(StationSoak, CaptureKeyingLinksAndTickTogetherForAMinute) {
    morvane::test::PtyPair pty;
    std::atomic<bool> reading{true};
    std::atomic<std::size_t> boardBytes{0};
    std::thread reader([&] {
        while (reading.load())
            boardBytes += pty.ReadFor(50).size();
    });

    std::vector<std::unique_ptr<platform::audio::AudioSource>> sources;
    sources.push_back(std::make_unique<platform::audio::DemoSource>());
    platform::audio::StationAudioDevices capture(std::move(sources));
    platform::StationKeyPort board;
    FakeLoggers loggers;
    std::vector<std::string> lines;
    ConsoleView view([&](const std::string& line) { lines.push_back(line); });
    Station station({.Capture = &capture,
                     .Port = &board,
                     .KeyingTimer = &platform::StationKeyingTimer::Make,
                     .Loggers = {.Windows = &loggers, .CodePage = nullptr}},
                    view);
    station.Start();
    station.SelectKeyLine("UNO");
    station.SelectKeyPort(pty.Slave());
    station.SelectCaptureDevice("");
    std::string options(settings::kDefaultOptions);
    options[settings::option::LogSoft] = 'B';
    station.ChangeSetting(common::EntryId::OptionString, options);

    const auto start = Clock::now();
    auto nextSecond = start + std::chrono::seconds(1);
    int round = 0;
    while (Clock::now() - start < std::chrono::seconds(60)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        station.Pump();
        if (Clock::now() < nextSecond)
            continue;
        nextSecond += std::chrono::seconds(1);
        station.OneSecondTick();
        switch (++round % 5) {
            case 0: {
                station.AppendTransmit("CQ <DASH4.0>TEST<VK_F6> ");
                // The operator's Backspace while the keying thread reads the text.
                std::string text = station.TransmitText();
                text.pop_back();
                station.EditTransmit(text);
                break;
            }
            case 1:
                station.ChangeSetting(common::EntryId::QrmFilter, round % 2 ? "QRMON" : "QRMOFF");
                station.ChangeSetting(common::EntryId::Extend,
                                      round % 3 ? "ExtendON" : "ExtendOFF");
                break;
            case 2:
                station.SetField(StationField::HisCall, "JA1ABC");
                station.QsoTransfer();
                break;
            case 3:
                station.SetKeyMode(round % 2 ? common::KeyMode::Direct : common::KeyMode::English);
                station.CaptureCall();
                break;
            default:
                station.SetTxEditHold(round % 10 == 4);
                if (auto* chain = station.Chain())
                    station.SetSpeedStep(chain->Options().Threshold.load() < 0 ? 16 : 15);
                break;
        }
    }
    station.Shutdown();
    reading = false;
    reader.join();

    std::string received;
    for (const std::string& line : lines) {
        if (line.starts_with("rx "))
            received += line.substr(3);
    }
    // Keying pauses receiving every few seconds and the sanitizer slows the
    // chain, so only "something was decoded" is asked of the text.
    EXPECT_NE(received.find("CQ"), std::string::npos) << received;
    EXPECT_GT(boardBytes.load(), 30u);
    EXPECT_FALSE(loggers.Hamlog.empty());
}

}  // namespace
}  // namespace morvane::station::test
