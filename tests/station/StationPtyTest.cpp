// A macro with tags keyed by the station on virtual time to the keyer board
// on a pseudo-terminal: the board receives its commands in order, and each
// command left the station at its exact virtual time.
#include <gtest/gtest.h>

#include "../platform/TestSupport.h"
#include "StationRig.h"
#include "platform/serial/StationKeyPort.h"

namespace morvane::station::test {
namespace {

// Records the virtual time of each action on the way to the real port.
class TimedPort final : public KeyingPort {
  public:
    TimedPort(KeyingPort& port, const transmit::KeyingClock& clock) : port_(port), clock_(clock) {}
    std::vector<std::string> ProbePorts() override { return {}; }
    std::string OpenPort(const std::string& item) override { return port_.OpenPort(item); }
    void SetLineMode(const std::string& mode) override { port_.SetLineMode(mode); }
    void ClosePorts() override { port_.ClosePorts(); }
    void KeyDown() override { Do('a', &KeyingPort::KeyDown); }
    void KeyUp() override { Do('b', &KeyingPort::KeyUp); }
    void PttOn() override { Do('d', &KeyingPort::PttOn); }
    void PttOff() override { Do('e', &KeyingPort::PttOff); }
    std::string Letters;
    std::vector<std::int64_t> Times;

  private:
    void Do(char letter, void (KeyingPort::*action)()) {
        Letters += letter;
        Times.push_back(clock_.NowMs());
        (port_.*action)();
    }
    KeyingPort& port_;
    const transmit::KeyingClock& clock_;
};

TEST(StationPty, MacroWithTagsKeysTheBoardAtExactTimes) {
    morvane::test::PtyPair pty;
    platform::StationKeyPort board;
    std::vector<std::string> lines;
    ConsoleView view([&](const std::string& line) { lines.push_back(line); });
    transmit::KeyingClock* clock = nullptr;
    struct Forward final : transmit::KeyingClock {
        transmit::KeyingClock** Target;
        std::int64_t NowMs() const override { return *Target ? (*Target)->NowMs() : 0; }
    } forward;
    forward.Target = &clock;
    TimedPort timed(board, forward);
    macros::FixedClock wall(TestTime());
    Station station({.Port = &timed, .Clock = &wall}, view);
    VirtualStation runner(station);
    clock = &runner;
    station.Start();

    station.SelectKeyLine("UNO");
    station.SelectKeyPort(pty.Slave());
    EXPECT_EQ(pty.ReadFor(100), "be");  // the board starts released
    // PTT lead 50 ms.
    std::string options(settings::kDefaultOptions);
    options[settings::option::PttLead] = 'C';
    station.ChangeSetting(common::EntryId::OptionString, options);
    station.ChangeSetting(common::MacroTextEntry(1), "<HisCall> <DASH4.0>T");
    station.SetField(StationField::HisCall, "E");
    timed.Letters.clear();
    timed.Times.clear();
    station.FireMacro(1);
    ASSERT_TRUE(runner.RunUntilSent(10'000));

    EXPECT_EQ(timed.Letters, "dababe");  // PTT on, down, up, down, up, PTT off
    ASSERT_EQ(timed.Times.size(), 6u);
    // PTT lead, dot, the gap of "E T", the dash at weight 4.0, the PTT tail.
    const std::int64_t expected[] = {50, 60, 420, 240, 20};
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(timed.Times[i + 1] - timed.Times[i], expected[i]) << i;
    // Each command is a letter and two zero bytes on the wire, in order.
    const std::string bytes = pty.ReadFor(500, 18);
    ASSERT_EQ(bytes.size(), 18u);
    std::string wire;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        wire += bytes[i];
        EXPECT_EQ(bytes.substr(i + 1, 2), std::string(2, '\0'));
    }
    EXPECT_EQ(wire, timed.Letters);
    station.Shutdown();
    EXPECT_EQ(pty.ReadFor(100).substr(0, 6), std::string("b\0\0e\0\0", 6));
}

}  // namespace
}  // namespace morvane::station::test
